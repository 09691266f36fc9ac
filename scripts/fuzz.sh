#!/bin/sh
# Builds the libFuzzer targets with clang and runs each for a bounded time
# (seconds in $1, default 30) from the seed corpus in fuzz/corpus. A crash, a
# leak, a hang or a sanitizer report ends the run with a failure.
set -eu
root="$(cd "$(dirname "$0")/.." && pwd)"
seconds="${1:-30}"
build="$root/build-fuzz"
targets="$(sed -n 's/^set(OVLIX_FUZZERS \(.*\))$/\1/p' "$root/fuzz/CMakeLists.txt")"
if [ -z "$targets" ]; then
    echo "No fuzz targets found in fuzz/CMakeLists.txt (set(OVLIX_FUZZERS ...)): nothing was fuzzed"
    exit 1
fi
"$root/scripts/setup-debian.sh" test
CXX=clang++ cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DOVLIX_BUILD_TESTS=OFF -DOVLIX_BUILD_FUZZERS=ON -DOVLIX_WERROR=ON \
    -DCMAKE_CXX_FLAGS="-fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=undefined"
# shellcheck disable=SC2086
cmake --build "$build" -j"$(nproc)" --target $targets
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT INT TERM
for target in $targets; do
    corpus="$(echo "$target" | sed 's/Fuzz$//' | tr 'A-Z' 'a-z')"
    mkdir -p "$work/$corpus"
    cp "$root/fuzz/corpus/$corpus/"* "$work/$corpus/"
    echo "== $target: $seconds s"
    (cd "$work" && "$build/fuzz/$target" -max_total_time="$seconds" -timeout=10 \
        -rss_limit_mb=2048 -print_final_stats=1 "$work/$corpus" 2>"$work/$target.log") || {
        tail -60 "$work/$target.log"
        echo "$target found a fault"
        exit 1
    }
    grep -E "^Done|stat::number_of_executed_units" "$work/$target.log"
done

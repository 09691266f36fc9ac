#!/bin/sh
# Installs what the tests need, checks the formatting, builds OvlixSetup with
# warnings as errors and runs every test: the suite on a normal build, the
# clang-tidy checks, the same suite on a build with the address and
# undefined-behaviour sanitizers, the Windows build with its suite and its
# installer under Wine, and each fuzz target for a bounded time. --quick runs the
# format check and the normal suite only.
set -eu
root="$(cd "$(dirname "$0")/.." && pwd)"
export OVLIX_WERROR=ON OVLIX_BENCHMARKS=ON

"$root/scripts/setup-debian.sh" test
echo "== Formatting (.clang-format)"
(cd "$root" && find bench fuzz src tests tools -name '*.cpp' -o -name '*.h' | sort |
    xargs clang-format --dry-run --Werror)
"$root/scripts/build.sh" "$root/build"
(cd "$root/build" && QT_QPA_PLATFORM=offscreen ctest --output-on-failure)
[ "${1:-}" = "--quick" ] && exit 0

echo "== clang-tidy (.clang-tidy) over src/ and tools/"
run-clang-tidy -p "$root/build" -quiet -header-filter="^$root/(src|tools)/" "^$root/(src|tools)/"

echo "== The Windows build, its suite and its installer under Wine"
"$root/scripts/build-windows.sh" "$root/build-windows"
"$root/scripts/test-windows.sh" "$root/build-windows"

echo "== The suite under AddressSanitizer and UndefinedBehaviorSanitizer"
sanitizers="-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined"
CMAKE_BUILD_TYPE=Debug OVLIX_CXX_FLAGS="$sanitizers" \
    "$root/scripts/build.sh" "$root/build-asan"
(cd "$root/build-asan" && QT_QPA_PLATFORM=offscreen ctest --output-on-failure)

echo "== Fuzzing"
"$root/scripts/fuzz.sh" "${OVLIX_FUZZ_SECONDS:-30}"

#!/bin/sh
# Installs what the tests need, builds OvlixSetup and runs every test: the
# suite on a normal build, the same suite on a build with the address and
# undefined-behaviour sanitizers, the Windows-only files cross-compiled (and
# run under Wine), and each fuzz target for a bounded time. --quick runs the normal suite only.
set -eu
root="$(cd "$(dirname "$0")/.." && pwd)"

"$root/scripts/setup-debian.sh" test
"$root/scripts/build.sh" "$root/build"
(cd "$root/build" && QT_QPA_PLATFORM=offscreen ctest --output-on-failure)
[ "${1:-}" = "--quick" ] && exit 0

echo "== Windows-only files, cross-compiled"
"$root/scripts/cross-windows.sh"

echo "== The suite under AddressSanitizer and UndefinedBehaviorSanitizer"
sanitizers="-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined"
CMAKE_BUILD_TYPE=Debug OVLIX_CXX_FLAGS="$sanitizers" \
    "$root/scripts/build.sh" "$root/build-asan"
(cd "$root/build-asan" && QT_QPA_PLATFORM=offscreen ctest --output-on-failure)

echo "== Fuzzing"
"$root/scripts/fuzz.sh" "${OVLIX_FUZZ_SECONDS:-30}"

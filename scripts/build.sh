#!/bin/sh
# Installs what building needs when it is missing, then configures and builds into build/ (or $1).
# CMAKE_BUILD_TYPE and OVLIX_CXX_FLAGS, when set, choose the kind of build;
# CMAKE_INSTALL_PREFIX where it installs (/usr, as the package does: the
# programs start the ARP helper by a path under it, fixed here);
# OVLIX_WERROR=ON, set by the test command, makes every warning an error (not
# for those who only build to run: a newer compiler's new warning must not stop them).
# OVLIX_BENCHMARKS=ON, also set by the test command, builds the benchmark
# programs of bench/ too.
set -eu
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${1:-$root/build}"
"$root/scripts/setup-debian.sh" run
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE="${CMAKE_BUILD_TYPE:-RelWithDebInfo}" \
    -DCMAKE_INSTALL_PREFIX="${CMAKE_INSTALL_PREFIX:-/usr}" \
    -DCMAKE_CXX_FLAGS="${OVLIX_CXX_FLAGS:-}" ${OVLIX_WERROR:+"-DOVLIX_WERROR=$OVLIX_WERROR"} \
    ${OVLIX_BENCHMARKS:+"-DOVLIX_BUILD_BENCHMARKS=$OVLIX_BENCHMARKS"}
cmake --build "$build" -j"$(nproc)"

#!/bin/sh
# Installs what is missing, then configures and builds into build/ (or $1).
set -eu
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${1:-$root/build}"
"$root/scripts/setup-debian.sh"
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE="${CMAKE_BUILD_TYPE:-RelWithDebInfo}" ${OVLIX_CMAKE_ARGS:-}
cmake --build "$build" -j"$(nproc)"

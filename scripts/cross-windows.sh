#!/bin/sh
# Compiles the Windows-only files that need no Qt with Debian's mingw-w64 cross
# compiler and, where Wine is installed, runs their tests under it.
set -eu
root="$(cd "$(dirname "$0")/.." && pwd)"
out="$root/build-mingw"
mkdir -p "$out"
cxx=x86_64-w64-mingw32-g++-posix
flags="-std=c++20 -Wall -Wextra -Wpedantic -Werror -static -I$root/src"
$cxx $flags -o "$out/DetachedStartTest.exe" \
    "$root/tests/win32/DetachedStartTest.cpp" "$root/src/core/win32/DetachedStart.cpp"
echo "mingw-w64: Windows-only files compiled"
wine="$(command -v wine || true)"
[ -z "$wine" ] && [ -x /usr/lib/wine/wine64 ] && wine=/usr/lib/wine/wine64
if [ -n "$wine" ]; then
    WINEPREFIX="$out/wineprefix" WINEDEBUG=-all timeout 300 "$wine" "$out/DetachedStartTest.exe"
else
    echo "Wine is not installed: the Windows tests were compiled, not run"
fi

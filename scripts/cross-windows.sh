#!/bin/sh
# Compiles the Windows-only files that need no Qt with Debian's mingw-w64 cross
# compiler and, where Wine is installed, runs their tests under it.
set -eu
root="$(cd "$(dirname "$0")/.." && pwd)"
out="$root/build-mingw"
mkdir -p "$out"
cxx=x86_64-w64-mingw32-g++-posix
# The warnings of cmake/BuildOptions.cmake, as errors.
warnings="-Wall -Wextra -Wpedantic -Wshadow -Wold-style-cast -Woverloaded-virtual -Wcast-qual \
    -Wnon-virtual-dtor -Werror"
flags="-std=c++20 $warnings -static -I$root/src"
$cxx $flags -o "$out/DetachedStartTest.exe" \
    "$root/tests/win32/DetachedStartTest.cpp" "$root/src/core/win32/DetachedStart.cpp"
$cxx $flags -o "$out/WinSocketsTest.exe" \
    "$root/tests/win32/WinSocketsTest.cpp" "$root/src/network/win32/WinSockets.cpp" -lws2_32
# The Windows files that use Qt: checked against this machine's Qt headers,
# since no Qt for Windows is at hand here.
qt="$(pkg-config --cflags Qt6Core Qt6Network | sed "s/-I/-isystem /g")"
for file in core/ProcessStart_win.cpp discovery/NeighbourTable_win.cpp network/ArpPlatform_win.cpp \
    network/HostAddress.cpp network/HostAddress_win.cpp; do
    # shellcheck disable=SC2086
    $cxx -std=c++20 $warnings -fsyntax-only -DQT_NO_KEYWORDS -DQT_NO_CAST_FROM_ASCII \
        -DQT_NO_CAST_TO_ASCII -DQT_NO_CAST_FROM_BYTEARRAY -DQT_NO_URL_CAST_FROM_STRING $qt -I"$root/src" \
        -I"$root/src/core" -I"$root/src/network" "$root/src/$file"
done
echo "mingw-w64: Windows-only files compiled"
wine="$(command -v wine || true)"
[ -z "$wine" ] && [ -x /usr/lib/wine/wine64 ] && wine=/usr/lib/wine/wine64
if [ -n "$wine" ]; then
    for test in DetachedStartTest WinSocketsTest; do
        WINEPREFIX="$out/wineprefix" WINEDEBUG=-all timeout 300 "$wine" "$out/$test.exe"
    done
else
    echo "Wine is not installed: the Windows tests were compiled, not run"
fi

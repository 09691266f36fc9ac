#!/bin/sh
# Builds OvlixSetup for Windows on Debian 12:
#   build-windows.sh [DIR]    (DIR defaults to build-windows/)
# Debian ships no Qt for Windows, so Qt Base is built first from Debian's own
# source package with the mingw-w64 cross compiler, Debian's Qt serving as the
# host tools (moc, uic, rcc). That Qt is kept in a cache folder named after
# its version and reused as long as the version matches. Then the three
# programs and their tests are built into DIR, and the NSIS installer made.
# OVLIX_WERROR and OVLIX_BENCHMARKS work as for scripts/build.sh.
set -eu
root="$(cd "$(dirname "$0")/.." && pwd)"
out="$(realpath -m "${1:-$root/build-windows}")"
jobs="${OVLIX_JOBS:-2}"

# The Qt for Windows is built from the same source version as the installed
# Linux Qt, whose moc, uic and rcc it uses.
qt_version="$(dpkg-query -W -f='${Version}' qt6-base-dev)"
if [ -w /var/cache ]; then
    cache_root=/var/cache/ovlixsetup
else
    cache_root="${XDG_CACHE_HOME:-$HOME/.cache}/ovlixsetup"
fi
qt="$cache_root/qt-$qt_version-mingw-w64"

# Fetches Debian's qt6-base source with a source list of this script's own,
# leaving the machine's apt sources as they are: the mirror and suite are
# those that the installed qt6-base-dev came from.
fetch_qt_source() {
    dest="$1"
    origin="$(apt-cache policy qt6-base-dev | sed -n '/^ \*\*\* /,/^ [^ ]/{s/^ *[0-9]\{1,\} \(http[^ ]*\) \([^ /]*\)\/\([^ ]*\) .*/\1 \2 \3/p}' | head -1)"
    [ -n "$origin" ] || { echo "no Debian mirror serves qt6-base-dev $qt_version" >&2; exit 1; }
    set -- $origin
    apt="$dest/apt"
    mkdir -p "$apt/lists/partial" "$apt/cache/archives/partial" "$apt/parts"
    echo "deb-src [signed-by=/usr/share/keyrings/debian-archive-keyring.gpg] $1 $2 $3" >"$apt/sources.list"
    set -- -o Dir::Etc::SourceList="$apt/sources.list" -o Dir::Etc::SourceParts="$apt/parts" \
        -o Dir::State::Lists="$apt/lists" -o Dir::Cache="$apt/cache" -qq
    apt-get "$@" update
    (cd "$dest" && apt-get "$@" source "qt6-base=$qt_version")
}

# Qt Base for Windows: Core, Gui, Widgets, Network and Test, the windows,
# offscreen and windowsvista plugins, with its own copies of the third-party
# libraries (the offscreen plugin needs FreeType). What OvlixSetup does not
# use is left out to keep the build short. The windows plugin of Qt 6.4 needs
# OpenGL to compile, and DirectWrite goes together with Direct2D: Gui leaves
# out its DirectWrite font database without Direct2D, while the plugin still
# uses it. Fonts come through GDI, Qt 6.4's default on Windows.
build_qt() {
    work="$cache_root/build-$qt_version"
    # A build that was stopped goes on where it stopped, from the same source.
    if [ ! -f "$work/source-unpacked" ]; then
        rm -rf "$work"
        mkdir -p "$work"
        fetch_qt_source "$work"
        # Qt's build reads its toolchain file again whenever it configures.
        cp "$root/cmake/mingw-w64.cmake" "$work/"
        touch "$work/source-unpacked"
    fi
    src="$(find "$work" -maxdepth 1 -type d -name 'qt6-base-*' | head -1)"
    # The compiler launcher of the project's build stays out of Qt's.
    env -u CMAKE_CXX_COMPILER_LAUNCHER -u CMAKE_C_COMPILER_LAUNCHER \
        cmake -S "$src" -B "$work/build" -G Ninja -Wno-dev \
        -DCMAKE_TOOLCHAIN_FILE="$work/mingw-w64.cmake" \
        -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$qt" \
        -DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake \
        -DQT_BUILD_EXAMPLES=OFF -DQT_BUILD_TESTS=OFF \
        -DFEATURE_system_zlib=OFF -DFEATURE_system_pcre2=OFF -DFEATURE_system_harfbuzz=OFF \
        -DFEATURE_system_libpng=OFF -DFEATURE_system_doubleconversion=OFF \
        -DFEATURE_freetype=ON -DFEATURE_system_freetype=OFF -DFEATURE_opengl=ON -DINPUT_opengl=desktop \
        -DFEATURE_sql=OFF -DFEATURE_printsupport=OFF -DFEATURE_dbus=OFF -DFEATURE_vulkan=OFF \
        -DFEATURE_tabletevent=OFF -DFEATURE_concurrent=OFF -DFEATURE_xml=OFF \
        -DFEATURE_direct2d=OFF -DFEATURE_directwrite=OFF -DFEATURE_openssl=OFF -DFEATURE_schannel=OFF \
        -DFEATURE_jpeg=OFF -DFEATURE_gif=OFF -DFEATURE_ico=OFF -DFEATURE_tuiotouch=OFF \
        -DFEATURE_pdf=OFF -DFEATURE_movie=OFF -DFEATURE_textodfwriter=OFF \
        -DFEATURE_textmarkdownreader=OFF -DFEATURE_textmarkdownwriter=OFF \
        -DFEATURE_graphicsview=OFF -DFEATURE_style_stylesheet=OFF
    cmake --build "$work/build" --parallel "$jobs"
    cmake --install "$work/build"
    rm -rf "$work"
    echo "$qt_version" >"$qt/ovlix-qt-version"
}

if [ "$(cat "$qt/ovlix-qt-version" 2>/dev/null)" != "$qt_version" ]; then
    # Another version's Qt, or its build, is of no more use.
    find "$cache_root" -mindepth 1 -maxdepth 1 ! -name "build-$qt_version" -exec rm -rf {} + \
        2>/dev/null || true
    start=$(date +%s)
    build_qt
    echo "Qt $qt_version for Windows built in $(($(date +%s) - start)) s: $qt"
fi

# GoogleTest for the Windows tests, from Debian's own source (libgtest-dev).
gtest="$out/googletest"
if [ ! -f "$gtest/lib/cmake/GTest/GTestConfig.cmake" ]; then
    cmake -S /usr/src/googletest -B "$out/googletest-build" -G Ninja -Wno-dev \
        -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64.cmake" -DCMAKE_BUILD_TYPE=Release \
        -DCMAKE_INSTALL_PREFIX="$gtest"
    cmake --build "$out/googletest-build" --parallel "$jobs"
    cmake --install "$out/googletest-build" >/dev/null
fi

# The programs and their tests, which ctest runs under Wine through the
# build's own runner: a Wine prefix of the build's own, with the Qt and
# compiler runtime libraries on its path.
runtime="$(dirname "$(x86_64-w64-mingw32-g++-posix -print-file-name=libstdc++-6.dll)")"
winpthread="$(dirname "$(x86_64-w64-mingw32-g++-posix -print-file-name=libwinpthread-1.dll)")"
mkdir -p "$out"
cat >"$out/wine" <<EOF
#!/bin/sh
# Runs a program of this Windows build under Wine: wine PROGRAM.exe [ARGUMENTS]
export WINEPREFIX="$out/wineprefix" WINEPATH="Z:$qt/bin;Z:$runtime;Z:$winpthread"
EOF
cat >>"$out/wine" <<'EOF'
# Wine keeps the QT_ variables from its programs, and passes WINEQT_ ones as QT_.
for variable in $(env | sed -n 's/^\(QT_[A-Za-z0-9_]*\)=.*/\1/p'); do
    export "WINE$variable=$(printenv "$variable")"
done
WINEDEBUG="${WINEDEBUG:--all}" exec /usr/lib/wine/wine64 "$@"
EOF
chmod +x "$out/wine"
"$qt/bin/qt-cmake" -S "$root" -B "$out" -G Ninja -DCMAKE_BUILD_TYPE=Release \
    -DQT_CHAINLOAD_TOOLCHAIN_FILE="$root/cmake/mingw-w64.cmake" \
    -DGTest_DIR="$gtest/lib/cmake/GTest" ${OVLIX_WERROR:+"-DOVLIX_WERROR=$OVLIX_WERROR"} \
    ${OVLIX_BENCHMARKS:+"-DOVLIX_BUILD_BENCHMARKS=$OVLIX_BENCHMARKS"} \
    -DCMAKE_CROSSCOMPILING_EMULATOR="$out/wine"
cmake --build "$out" --parallel "$jobs"
(cd "$out" && cpack -G NSIS >/dev/null)
echo "Windows build: $out (installer: $(cd "$out" && ls OvlixSetup-*-win64.exe))"

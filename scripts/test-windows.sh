#!/bin/sh
# Runs the Windows build's tests under Wine, in a Wine prefix of the build's
# own and in a network namespace with only loopback (needs root), so that
# nothing a program under Wine sends can leave this machine: the ctest suite,
# then the installer, which installs silently, whose OvlixSetup.exe shows its
# main window under Xvfb and keeps its files in the user's folder, and whose
# uninstaller removes what it installed.
#   usage: test-windows.sh [DIR]    (DIR: the Windows build, build-windows/)
set -eu
root="$(cd "$(dirname "$0")/.." && pwd)"
out="$(realpath -m "${1:-$root/build-windows}")"
if [ -z "${OVLIX_LOOPBACK_ONLY:-}" ]; then
    if [ "$(id -u)" -ne 0 ]; then
        echo "test-windows.sh: needs root, for a network namespace with only loopback" >&2
        exit 1
    fi
    OVLIX_LOOPBACK_ONLY=1 exec "$root/scripts/run-isolated.sh" "$0" "$out"
fi

wine="$out/wine" # the build's own prefix, with Qt on the path
export WINEPREFIX="$out/wineprefix" # for its wineserver and its files
"$wine" wineboot --init
/usr/lib/wine/wineserver -w

echo "== The suite under Wine"
(cd "$out" && QT_QPA_PLATFORM=offscreen ctest --output-on-failure)

echo "== The installer under Wine"
fail() { echo "FAILED: $*"; exit 1; }
installed="$WINEPREFIX/drive_c/Program Files/OvlixSetup"
menu="$WINEPREFIX/drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs/OvlixSetup"
"$wine" "$(ls "$out"/OvlixSetup-*-win64.exe)" /S
/usr/lib/wine/wineserver -w
for file in OvlixSetup.exe ovlix.exe ovlix-devsim.exe Qt6Core.dll Qt6Gui.dll Qt6Widgets.dll \
    Qt6Network.dll platforms/qwindows.dll styles/qwindowsvistastyle.dll libstdc++-6.dll \
    libgcc_s_seh-1.dll libwinpthread-1.dll README.md Uninstall.exe; do
    [ -f "$installed/$file" ] || fail "$file was not installed"
done
[ -f "$menu/OvlixSetup.lnk" ] || fail "no Start menu entry: $(find "$WINEPREFIX/drive_c" -name '*.lnk')"

display=":88"
Xvfb "$display" -screen 0 1024x768x24 >/dev/null 2>&1 &
xvfb=$!
trap 'kill $xvfb 2>/dev/null || true' EXIT INT TERM
sleep 1
DISPLAY="$display" "$wine" "C:\\Program Files\\OvlixSetup\\OvlixSetup.exe" &
program=$!
i=0
until DISPLAY="$display" xdotool search --onlyvisible --name '^Ovlix 2\.0\.0$' >/dev/null 2>&1; do
    i=$((i + 1))
    [ "$i" -le 600 ] || fail "the installed OvlixSetup.exe showed no main window"
    sleep 0.1
done
kill "$program"
wait "$program" 2>/dev/null || true
/usr/lib/wine/wineserver -w
[ -f "$installed/OvlixSetup.log" ] && fail "the log was written into Program Files"
ls "$WINEPREFIX"/drive_c/users/*/AppData/Roaming/OvlixSetup/OvlixSetup.log >/dev/null ||
    fail "no log in the user's folder"

"$wine" "C:\\Program Files\\OvlixSetup\\Uninstall.exe" /S
/usr/lib/wine/wineserver -w
[ ! -e "$installed" ] || fail "the uninstaller left $(find "$installed")"
[ ! -e "$menu" ] || fail "the uninstaller left the Start menu entry"
echo "installer: installed, started and uninstalled"

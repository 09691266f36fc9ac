#!/bin/sh
# OvlixSetup on a Wayland desktop: under weston's headless backend, run as a
# user with Qt's Wayland platform, its main window becomes a toplevel with the
# window's title and the desktop entry's name as its app id (which gives it
# its icon), and the program draws into it. The Wayland messages are what
# libwayland prints with WAYLAND_DEBUG=1.
#   usage: wayland-test.sh PROGRAM   (skipped, 77, without weston or Qt's Wayland platform)
set -u
[ -x /usr/bin/weston ] && [ -e /usr/lib/x86_64-linux-gnu/qt6/plugins/platforms/libqwayland-generic.so ] ||
    { echo "Skipped: weston or Qt's Wayland platform (qt6-wayland) is not installed"; exit 77; }
work="$(mktemp -d)"
compositor="" app=""
# Each runs in a session of its own, whose id is its process id, so that all
# it started ends with it.
trap '[ -n "$app" ] && kill -- -"$app"; [ -n "$compositor" ] && kill -- -"$compositor"; wait; rm -rf "$work"' EXIT
as_user="" isolated=""
if [ "$(id -u)" -eq 0 ]; then
    as_user="setpriv --reuid=nobody --regid=nogroup --clear-groups"
    # Nothing the program might send leaves this machine.
    isolated="$(dirname "$0")/../../scripts/run-isolated.sh"
fi
mkdir -m 700 "$work/runtime" "$work/program"
cp "$1" "$work/program/OvlixSetup"
[ -z "$as_user" ] || chown -R nobody "$work"
chmod 755 "$work"
export XDG_RUNTIME_DIR="$work/runtime" WAYLAND_DISPLAY=wayland-ovlix
setsid $as_user weston --backend=headless-backend.so --socket=wayland-ovlix --idle-time=0 \
    >"$work/weston.log" 2>&1 &
compositor=$!
for _ in $(seq 100); do [ -S "$work/runtime/wayland-ovlix" ] && break; sleep 0.05; done
QT_QPA_PLATFORM=wayland WAYLAND_DEBUG=1 setsid $isolated $as_user "$work/program/OvlixSetup" \
    >/dev/null 2>"$work/wayland.log" &
app=$!
# The toplevel's name and title, then its first drawing, as the program said them.
expected='-> xdg_toplevel.set_title("Ovlix N")
-> xdg_toplevel.set_app_id("io.github.ovlixsetup.ovlixsetup")
-> wl_surface.attach(wl_buffer, 0, 0)'
for _ in $(seq 200); do
    said="$(sed -n 's/^\[[0-9. ]*\] *//; s/@[0-9]*//g; s/"Ovlix [0-9.]*"/"Ovlix N"/
        /xdg_toplevel\.set_\(title\|app_id\)\|wl_surface\.attach/p' "$work/wayland.log" | head -3)"
    [ "$said" = "$expected" ] && { echo "Wayland: $said"; exit 0; }
    sleep 0.05
done
printf '%s\n' "$said" >"$work/said"
echo "FAILED: the main window on Wayland"
echo "$expected" | diff -u - "$work/said"
cat "$work/weston.log"
exit 1

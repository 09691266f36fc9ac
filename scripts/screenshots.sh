#!/bin/sh
# Remakes the README's screenshots in docs/screenshots: the built program runs
# under its own Xvfb, in a network namespace with only loopback (needs root),
# with no font but the one its look is measured with (as the window tests
# have it), and each window is opened with the mouse as a user would. Then the
# same for the Windows build under Wine and Wine's fonts, when there is one
# (scripts/build-windows.sh): its main window becomes windows.png, and every
# window of it lands in build-windows/screenshots, to be looked at.
set -eu
root="$(cd "$(dirname "$0")/.." && pwd)"
out="$root/docs/screenshots"
display=":89"
work="$(mktemp -d)"
mkdir -p "$out"
Xvfb "$display" -screen 0 1024x768x24 >/dev/null 2>&1 &
xvfb=$!
trap 'kill -- -"$program" 2>/dev/null; kill $xvfb 2>/dev/null; rm -rf "$work"' EXIT INT TERM
program=""
sleep 1
export DISPLAY="$display"


window() { # title: waits for the window and prints its id
    i=0
    until id=$(xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | head -1) && [ -n "$id" ]; do
        i=$((i + 1)); [ "$i" -gt 200 ] && { echo "no window $1" >&2; exit 1; }
        sleep 0.05
    done
    echo "$id"
}
shoot() { # id name
    sleep 0.5
    timeout 10 import -window "$1" "$shots/$2.png"
    echo "$shots/$2.png"
}
click() { # id x y, relative to the window
    eval "$(xdotool getwindowgeometry --shell "$1")"
    xdotool mousemove $((X + $2)) $((Y + $3)) click 1
}

# Opens every window of the running program and shoots it into $shots.
shoot_all() {
    main=$(window "Ovlix 2.0.0")
    shoot "$main" main
    click "$main" 55 8           # Help, after Tools
    sleep 0.3
    xdotool key Down Return      # About
    shoot "$(window Ovlix)" about

    # The main window's buttons, by their place in the form (below the menu bar).
    menu=22
    click "$main" 362 $((136 + 34 + 11 + menu))   # Edit Device Labels
    labels=$(window "Device Labels")
    shoot "$labels" labels
    xdotool windowmove "$labels" 0 0    # out of the way of the main window's buttons
    click "$main" 362 $((136 + 72 + 11 + menu))   # Control Devices
    x10=$(window "Control X10 Devices")
    shoot "$x10" x10
    xdotool windowmove "$x10" 600 0
    click "$main" 90 $((16 + 54 + 11 + menu))     # Network Setup
    shoot "$(window "Ovlix Network Setup")" network
    click "$main" 18 8           # Tools
    sleep 0.3
    xdotool key Down Return      # Find Devices..., which finds no network here but loopback
    shoot "$(window "Find Ovlix Devices")" find
}

cp "$root/build/src/OvlixSetup" "$work/"
FONTCONFIG_FILE="$root/tests/ui/fonts.conf" setsid "$root/scripts/run-isolated.sh" \
    "$work/OvlixSetup" >/dev/null 2>&1 &
program=$!
shots="$out"
shoot_all
kill -- -"$program"

windows="$root/build-windows"
[ -f "$windows/src/OvlixSetup.exe" ] || exit 0
mkdir -p "$windows/screenshots" "$work/windows"
cp "$windows/src/OvlixSetup.exe" "$work/windows/"
setsid "$root/scripts/run-isolated.sh" "$windows/wine" "$work/windows/OvlixSetup.exe" >/dev/null 2>&1 &
program=$!
shots="$windows/screenshots"
shoot_all
cp "$shots/main.png" "$out/windows.png"
echo "$out/windows.png"

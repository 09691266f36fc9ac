#!/bin/sh
# The demo that needs no hardware (scripts/run.sh --demo). It starts the device
# simulator on a free loopback port and OvlixSetup from a temporary folder
# whose netset points at it, so that Verify, the labels and the X10 window all
# talk to the simulator, which prints what they send. With root it also puts a
# simulated factory-fresh device behind a pair of network namespaces and runs
# the program on the PC side, from where nothing can leave this machine, so
# that "Set IP Address" can be tried end to end. Started by a user at a
# terminal, it asks for root through sudo only to make the namespaces: the
# program runs as that user, on that user's display, with CAP_NET_ADMIN as its
# one extra right, which the network setup needs. Whatever it started ends
# when the program closes; it touches no file outside its temporary folder.
#   OVLIX_BUILD_DIR  the build folder (default build/), built only when its
#                    programs are missing
set -eu
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${OVLIX_BUILD_DIR:-$root/build}"
program="$build/src/OvlixSetup"
devsim="$build/tools/devsim/ovlix-devsim"

if [ "${1:-}" != "--pc-side" ]; then
    if [ ! -x "$program" ] || [ ! -x "$devsim" ]; then
        "$root/scripts/build.sh" "$build"
    fi
    if [ "$(id -u)" -eq 0 ] && unshare --net true 2>/dev/null; then
        # The fresh device lives as long as anyone may want to try it; the
        # namespaces script removes it, and them, when the program closes.
        export OVLIX_FRESH_VERSION=2.1a-fresh OVLIX_FRESH_SECONDS=86400
        exec "$root/scripts/in-namespaces.sh" "$devsim" "$root/scripts/demo.sh" --pc-side
    fi
    if [ "$(id -u)" -ne 0 ] && [ -t 0 ] && command -v sudo >/dev/null &&
        echo "The simulated fresh device needs network namespaces, which need root:" &&
        sudo -v; then
        # What the program needs of this user's session, to open its windows there.
        set -- OVLIX_DEMO_USER="$(id -un):$(id -g)"
        for name in DISPLAY XAUTHORITY WAYLAND_DISPLAY XDG_RUNTIME_DIR XDG_SESSION_TYPE \
            DBUS_SESSION_BUS_ADDRESS QT_QPA_PLATFORM HOME LANG LC_ALL; do
            if value="$(printenv "$name")"; then set -- "$@" "$name=$value"; fi
        done
        exec sudo env OVLIX_FRESH_VERSION=2.1a-fresh OVLIX_FRESH_SECONDS=86400 "$@" \
            "$root/tests/e2e/in-namespaces.sh" "$devsim" "$root/scripts/demo.sh" --pc-side
    fi
fi

work="$(mktemp -d "${TMPDIR:-/tmp}/ovlix-demo.XXXXXX")"
simulator=""
shown=""
app=""
cleanup() {
    for pid in $app $shown $simulator; do kill "$pid" 2>/dev/null || true; done
    wait
    rm -rf "$work"
}
trap cleanup EXIT
trap 'exit 130' INT
trap 'exit 143' TERM

: >"$work/simulator.out"
"$devsim" --port 0 --firmware 2.1a-demo >"$work/simulator.out" 2>&1 &
simulator=$!
until port="$(sed -n 's|^.*listening on http://127\.0\.0\.1:\([0-9]*\)$|\1|p' "$work/simulator.out")" &&
    [ -n "$port" ]; do
    kill -0 "$simulator" 2>/dev/null || {
        cat "$work/simulator.out"
        exit 1
    }
    sleep 0.05
done

mkdir "$work/program"
cp "$program" "$work/program/OvlixSetup"
# The fresh device's MAC address, as the namespaces script gives it.
printf 'lastip, 127.0.0.1:%s\r\nlastmac, 00-03-75-10-01-55\r\n' "$port" >"$work/program/netset"

echo "OvlixSetup demo, no hardware needed"
echo "  simulated device: 127.0.0.1:$port (Verify, Edit Device Labels and Control"
echo "                    Devices talk to it; it prints what they send, below)"
echo "  program folder:   $work/program (its log, labels and netset; removed at the end)"
if [ -n "${OVLIX_NETNS_DEVICE:-}" ]; then
    echo "  Network Setup:    a factory-fresh device with MAC address 00-03-75-10-01-55"
    echo "                    waits on this PC's network ($OVLIX_NETNS_PC); give it"
    echo "                    $OVLIX_NETNS_DEVICE and press \"Set IP Address\""
else
    echo "  Network Setup:    the simulated factory-fresh device needs root, which"
    echo "                    the demo asks for through sudo when started at a terminal"
fi
tail -n +2 -f "$work/simulator.out" &
shown=$!

# A user's demo: the program is that user's, with CAP_NET_ADMIN alone added.
as_user=""
if [ -n "${OVLIX_DEMO_USER:-}" ]; then
    chown -R "${OVLIX_DEMO_USER%%:*}" "$work"
    as_user="setpriv --reuid=${OVLIX_DEMO_USER%%:*} --regid=${OVLIX_DEMO_USER#*:} --init-groups"
    as_user="$as_user --inh-caps=-all,+net_admin --ambient-caps=+net_admin"
fi
$as_user "$work/program/OvlixSetup" &
app=$!
status=0
wait "$app" || status=$?
app=""
exit "$status"

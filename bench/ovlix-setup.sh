#!/bin/sh
# The setup of a device just reset, in network namespaces made here (root):
#  - a device that takes its address at once: `ovlix setup`, the whole process
#    from start to exit and the time it printed for the device's answer;
#  - a device that takes its address 7 s after the first packet sent to it:
#    `ovlix setup --wait 20`, and the network window's procedure (five-second
#    wait, one probe with the 60-second deadline), also against a quick one.
# Each run has a device of its own, fresh from its reset. Run through
# tests/e2e/with-polkit.sh (its polkit says yes to nobody without asking), it
# also times the quick setup as nobody, through pkexec and the ARP helper.
#   usage: bench/ovlix-setup.sh [BUILD_DIR] [RUNS]   (default: build 10)
set -eu
root="$(cd "$(dirname "$0")/.." && pwd)"
build="$(cd "${1:-$root/build}" && pwd)"
[ -d "$build/bench" ] || { echo "Build the benchmarks first: OVLIX_BENCHMARKS=ON scripts/build.sh" >&2; exit 1; }
runs="${2:-10}"
tag=$$
pc="ovlixbench-pc-$tag"
dev="ovlixbench-dev-$tag"
work="$(mktemp -d)"
device=""
cleanup() {
    [ -z "$device" ] || kill "$device" 2>/dev/null || true
    wait
    ip netns del "$pc" 2>/dev/null || true
    ip netns del "$dev" 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT
trap 'exit 130' INT TERM HUP PIPE

# A copy of its own keeps the program's log and netset out of the build folder.
cp "$build/src/ovlix" "$work/ovlix"
ip netns add "$pc"
ip netns add "$dev"
ip link add pc0 netns "$pc" type veth peer name dev0 netns "$dev"
ip -n "$dev" link set dev0 address 00:03:75:10:01:55
for ns in "$pc" "$dev"; do
    ip netns exec "$ns" sh -c 'echo 1 >/proc/sys/net/ipv6/conf/all/disable_ipv6'
    ip -n "$ns" link set lo up
done
ip -n "$pc" addr add 10.213.7.1/24 dev pc0
ip -n "$pc" link set pc0 up
ip -n "$dev" link set dev0 up

fresh_device() { # take-delay-ms
    if [ -n "$device" ]; then kill "$device"; wait "$device" 2>/dev/null || true; fi
    ip -n "$dev" addr flush dev dev0
    ip -n "$pc" neigh flush dev pc0
    : >"$work/device.out"
    ip netns exec "$dev" timeout 120 "$build/tools/devsim/ovlix-devsim" --fresh dev0 --port 80 \
        --take-delay "$1" >"$work/device.out" 2>&1 &
    device=$!
    until grep -q waiting "$work/device.out"; do sleep 0.02; done
}
millis() { echo $(($(date +%s%N) / 1000000)); }

quick() { # what, then how ovlix is started
    what="$1"
    shift
    : >"$work/quick"
    i=0
    while [ "$i" -lt "$runs" ]; do
        fresh_device 0
        start=$(millis)
        ip netns exec "$pc" "$@" "$work/ovlix" setup --mac 00-03-75-10-01-55 10.213.7.5 \
            >"$work/out" 2>&1
        end=$(millis)
        answered=$(sed -n 's/^ *\([0-9.]*\) s  probe .*version.*/\1/p' "$work/out")
        echo "$((end - start)) $answered" >>"$work/quick"
        i=$((i + 1))
    done
    sort -n "$work/quick" | awk -v what="$what" '{ t[NR] = $1; if (NR == 1 || $2 > most) most = $2 } END {
        printf "quick device, ovlix setup %s: start to exit median %d ms (min %d, max %d); ", what, t[int((NR + 1) / 2)], t[1], t[NR]
        printf "the answer printed at %s s at the latest  [%d runs]\n", most, NR }'
}
quick "as root" env
if [ -n "${OVLIX_POLKIT_NAMESPACE:-}" ]; then
    chmod 777 "$work"
    quick "as nobody, through the helper" setpriv --reuid=nobody --regid=nogroup --clear-groups
fi

fresh_device 7000
start=$(millis)
status=0
ip netns exec "$pc" "$work/ovlix" setup --mac 00-03-75-10-01-55 --wait 20 10.213.7.5 \
    >"$work/out" 2>&1 || status=$?
echo "late device (7 s), ovlix setup --wait 20: exit $status after $(($(millis) - start)) ms"
sed 's/^/    /' "$work/out"

window() { # what
    status=0
    ip netns exec "$pc" "$build/bench/ovlix-bench-window-setup" 10.213.7.5 00-03-75-10-01-55 \
        >"$work/out" 2>&1 || status=$?
    echo "$1, the window's procedure: exit $status, $(cat "$work/out")"
}
fresh_device 7000
window "late device (7 s)"
fresh_device 0
window "quick device"

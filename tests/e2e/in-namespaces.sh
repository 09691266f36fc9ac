#!/bin/sh
# Runs a test program inside a PC-side network namespace joined by a veth pair
# to a device-side namespace, where a simulated factory-fresh device waits for
# its address. Everything made here is removed again, whatever the outcome.
# Usage: in-namespaces.sh DEVSIM PROGRAM [ARGUMENTS...]   (needs root)
# Exits 77 (skipped) where network namespaces cannot be made.
# OVLIX_FRESH_VERSION is the version the device reports (default e2e-1.7) and
# OVLIX_FRESH_SECONDS bounds its life (default 120).
set -u
devsim="$1"
version="${OVLIX_FRESH_VERSION:-e2e-1.7}"
lifetime="${OVLIX_FRESH_SECONDS:-120}"
shift
tag=$$
pc="ovlixnet-pc-$tag"
dev="ovlixnet-dev-$tag"
devsim_pid=""
devsim_out="$(mktemp)"

# Namespaces of earlier runs that were killed before they could clean up.
for ns in $(ip netns list 2>/dev/null | awk '{print $1}' | grep -E '^ovlixnet-(pc|dev)-[0-9]+$'); do
    kill -0 "${ns##*-}" 2>/dev/null || ip netns del "$ns" 2>/dev/null
done

cleanup() {
    [ -n "$devsim_pid" ] && kill "$devsim_pid" 2>/dev/null && wait "$devsim_pid" 2>/dev/null
    ip netns del "$pc" 2>/dev/null
    ip netns del "$dev" 2>/dev/null
    rm -f "$devsim_out"
}
trap cleanup EXIT
trap 'exit 130' INT TERM

if ! why="$(ip netns add "$pc" 2>&1)"; then
    echo "Skipped: network namespaces cannot be made here: $why"
    exit 77
fi
set -e
ip netns add "$dev"
# The veth ends are made straight inside the namespaces: nothing appears on
# this machine's own network, and deleting the namespaces removes them.
ip link add pc0 netns "$pc" type veth peer name dev0 netns "$dev"
ip -n "$dev" link set dev0 address 00:03:75:10:01:55
# IPv4 only: the device should see nothing but what the program sends.
for ns in "$pc" "$dev"; do
    ip netns exec "$ns" sh -c 'echo 1 >/proc/sys/net/ipv6/conf/all/disable_ipv6'
done
ip -n "$pc" addr add 10.213.0.1/24 dev pc0
for ns in "$pc" "$dev"; do ip -n "$ns" link set lo up; done
ip -n "$pc" link set pc0 up
ip -n "$dev" link set dev0 up

# Bounded, so that a device left behind by a killed run ends by itself.
ip netns exec "$dev" timeout "$lifetime" "$devsim" --fresh dev0 --port 80 --version "$version" \
    >"$devsim_out" 2>&1 &
devsim_pid=$!
tries=0
until grep -q "waiting" "$devsim_out"; do
    tries=$((tries + 1))
    if [ "$tries" -gt 100 ] || ! kill -0 "$devsim_pid" 2>/dev/null; then
        echo "The simulated device did not start:"
        cat "$devsim_out"
        exit 1
    fi
    sleep 0.05
done
set +e

OVLIX_NETNS_PC=10.213.0.1 OVLIX_NETNS_DEVICE=10.213.0.5 OVLIX_NETNS_NOBODY=10.213.0.6 \
    ip netns exec "$pc" "$@"
status=$?
echo "--- simulated device:"
cat "$devsim_out"
exit "$status"

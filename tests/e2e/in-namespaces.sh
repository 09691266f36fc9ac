#!/bin/sh
# Runs a test program inside a PC-side network namespace with two cards:
#   pc0 10.213.0.1/24, the first card (the host's address), joined to a LAN
#       where a web server that is not an Ovlix answers at 10.213.0.7 on the
#       MAC address 00:03:75:20:00:07;
#   pc1 10.213.1.1/24, joined through a switch to three simulated devices just
#       reset to their factory defaults, without addresses: MAC addresses
#       00:03:75:10:01:55 and :56 take their address at once, :57 only seven
#       seconds after the first packet sent to it.
# Everything made here is removed again, whatever the outcome.
# Usage: in-namespaces.sh DEVSIM PROGRAM [ARGUMENTS...]   (needs root)
# Exits 77 (skipped) where network namespaces cannot be made.
# OVLIX_FRESH_VERSION is the version the devices report (default e2e-1.7) and
# OVLIX_FRESH_SECONDS bounds their life (default 120).
set -u
devsim="$1"
version="${OVLIX_FRESH_VERSION:-e2e-1.7}"
lifetime="${OVLIX_FRESH_SECONDS:-120}"
shift
tag=$$
pc="ovlixnet-pc-$tag"
lan="ovlixnet-lan-$tag"
switch="ovlixnet-sw-$tag"
devices="1 2 3"
namespaces="$pc $lan $switch"
for n in $devices; do namespaces="$namespaces ovlixnet-dev$n-$tag"; done
work="$(mktemp -d)"

# Namespaces of earlier runs that were killed before they could clean up.
for ns in $(ip netns list 2>/dev/null | awk '{print $1}' | grep -E '^ovlixnet-[a-z0-9]+-[0-9]+$'); do
    kill -0 "${ns##*-}" 2>/dev/null || ip netns del "$ns" 2>/dev/null
done

cleanup() {
    for pid in $(cat "$work"/*.pid 2>/dev/null); do kill "$pid" 2>/dev/null; done
    wait
    for ns in $namespaces; do ip netns del "$ns" 2>/dev/null; done
    rm -rf "$work"
}
trap cleanup EXIT
trap 'exit 130' INT TERM HUP PIPE

if ! why="$(ip netns add "$pc" 2>&1)"; then
    echo "Skipped: network namespaces cannot be made here: $why"
    exit 77
fi
set -e
for ns in $namespaces; do
    [ "$ns" = "$pc" ] || ip netns add "$ns"
    # IPv4 only: the devices should see nothing but what the program sends.
    ip netns exec "$ns" sh -c 'echo 1 >/proc/sys/net/ipv6/conf/all/disable_ipv6'
    ip -n "$ns" link set lo up
done

# The veth ends are made straight inside the namespaces: nothing appears on
# this machine's own network, and deleting the namespaces removes them.
link() { # namespace name address peer-namespace peer-name [peer-mac]
    ip link add "$2" netns "$1" type veth peer name "$5" netns "$4"
    [ -z "${6:-}" ] || ip -n "$4" link set "$5" address "$6"
    [ -z "$3" ] || ip -n "$1" addr add "$3" dev "$2"
    ip -n "$1" link set "$2" up
    ip -n "$4" link set "$5" up
}
link "$pc" pc0 10.213.0.1/24 "$lan" lan0 00:03:75:20:00:07
ip -n "$lan" addr add 10.213.0.7/24 dev lan0
link "$pc" pc1 10.213.1.1/24 "$switch" uplink
ip -n "$switch" link add br0 type bridge
ip -n "$switch" link set uplink master br0
for n in $devices; do
    link "$switch" "port$n" "" "ovlixnet-dev$n-$tag" dev0 "00:03:75:10:01:5$((4 + n))"
    ip -n "$switch" link set "port$n" master br0
done
ip -n "$switch" link set br0 up

serve() { # name namespace readiness-word devsim-arguments...
    name="$1" ns="$2" word="$3"
    shift 3
    # Bounded, so that one left behind by a killed run ends by itself.
    : >"$work/$name.out"
    ip netns exec "$ns" timeout "$lifetime" "$devsim" "$@" >"$work/$name.out" 2>&1 &
    echo $! >"$work/$name.pid"
    tries=0
    until grep -q "$word" "$work/$name.out"; do
        tries=$((tries + 1))
        if [ "$tries" -gt 100 ] || ! kill -0 "$(cat "$work/$name.pid")" 2>/dev/null; then
            echo "The simulated $name did not start:"
            cat "$work/$name.out"
            exit 1
        fi
        sleep 0.05
    done
}
serve webserver "$lan" listening --not-ovlix --bind 10.213.0.7 --port 80
serve device1 "ovlixnet-dev1-$tag" waiting --fresh dev0 --port 80 --version "$version"
serve device2 "ovlixnet-dev2-$tag" waiting --fresh dev0 --port 80 --version "$version"
serve device3 "ovlixnet-dev3-$tag" waiting --fresh dev0 --port 80 --version "$version" \
    --take-delay 7000
set +e

# The first fresh device, and the card that faces it, for those who try it.
OVLIX_NETNS=1 OVLIX_NETNS_PC=10.213.1.1 OVLIX_NETNS_DEVICE=10.213.1.5 ip netns exec "$pc" "$@"
status=$?
for name in webserver device1 device2 device3; do
    echo "--- simulated $name:"
    cat "$work/$name.out"
done
exit "$status"

#!/bin/sh
# Runs a program in a PC namespace on a small bridged network of simulated
# devices, each in a namespace of its own, so that a device search reaches
# nothing but them. Everything made here is removed again, whatever the outcome.
# Usage: find-in-namespaces.sh DEVSIM PROGRAM [ARGUMENTS...]   (needs root)
# Exits 77 (skipped) where network namespaces cannot be made.
#
#   PC        10.213.1.1/24 and 10.214.0.1/16 (larger than a search sweeps)
#   device 1  10.213.1.10   Ovlix find-1.0
#   device 2  10.213.1.20   Ovlix find-2.0, answers after 0.5 s
#   device 3  10.213.1.30   a web server that is no Ovlix
#   device 4  10.214.0.7    Ovlix find-3.0
#   device 5  10.214.9.9    Ovlix find-4.0, outside the /24 a search is cut to
set -u
devsim="$1"
shift
tag=$$
prefix="ovlixfind"
bridge="$prefix-br-$tag"
pc="$prefix-pc-$tag"
out="$(mktemp -d)"
pids=""

# Namespaces of earlier runs that were killed before they could clean up.
for ns in $(ip netns list 2>/dev/null | awk '{print $1}' | grep -E "^$prefix-[a-z0-9]+-[0-9]+\$"); do
    kill -0 "${ns##*-}" 2>/dev/null || ip netns del "$ns" 2>/dev/null
done

cleanup() {
    for pid in $pids; do kill "$pid" 2>/dev/null && wait "$pid" 2>/dev/null; done
    for ns in $(ip netns list 2>/dev/null | awk '{print $1}' | grep -E "^$prefix-[a-z0-9]+-$tag\$"); do
        ip netns del "$ns"
    done
    rm -rf "$out"
}
trap cleanup EXIT
trap 'exit 130' INT TERM

if ! why="$(ip netns add "$bridge" 2>&1)"; then
    echo "Skipped: network namespaces cannot be made here: $why"
    exit 77
fi
set -e
ip -n "$bridge" link add br0 type bridge
ip -n "$bridge" link set br0 up

# Joins namespace $1 to the bridge with the MAC address $2 and the addresses after it.
join() {
    ns="$1"
    mac="$2"
    shift 2
    ip netns add "$ns"
    # IPv4 only: the devices should see nothing but what the search sends.
    ip netns exec "$ns" sh -c 'echo 1 >/proc/sys/net/ipv6/conf/all/disable_ipv6'
    port="p$(echo "$ns" | cut -d- -f2)"
    ip link add eth0 netns "$ns" address "$mac" type veth peer name "$port" netns "$bridge"
    ip -n "$bridge" link set "$port" master br0 up
    for address in "$@"; do ip -n "$ns" addr add "$address" dev eth0; done
    ip -n "$ns" link set lo up
    ip -n "$ns" link set eth0 up
}

# Device $1 at address $2 (a /24 or /16 host), then the simulator's options.
device() {
    name="$1"
    address="$2"
    shift 2
    ns="$prefix-$name-$tag"
    join "$ns" "00:03:75:00:00:0${name#d}" "$address"
    # Bounded, so that a device left behind by a killed run ends by itself.
    ip netns exec "$ns" timeout 300 "$devsim" --bind "${address%/*}" --port 80 "$@" \
        >"$out/$name" 2>&1 &
    pids="$pids $!"
}

join "$pc" 00:03:75:00:00:99 10.213.1.1/24 10.214.0.1/16
device d1 10.213.1.10/24 --version find-1.0
device d2 10.213.1.20/24 --version find-2.0 --delay 500
device d3 10.213.1.30/24 --not-ovlix
device d4 10.214.0.7/16 --version find-3.0
device d5 10.214.9.9/16 --version find-4.0
for name in d1 d2 d3 d4 d5; do
    tries=0
    until grep -q "listening" "$out/$name"; do
        tries=$((tries + 1))
        if [ "$tries" -gt 100 ]; then
            echo "Simulated device $name did not start:"
            cat "$out/$name"
            exit 1
        fi
        sleep 0.05
    done
done
set +e

OVLIX_FIND_NETNS=1 ip netns exec "$pc" "$@"
status=$?
for name in d1 d2 d3 d4 d5; do
    echo "--- simulated device $name:"
    cat "$out/$name"
done
# A search never goes beyond the /24 it was cut to.
if grep -q "GET" "$out/d5"; then
    echo "FAILED: a search reached the device outside the /24 it was cut to"
    status=1
fi
exit "$status"

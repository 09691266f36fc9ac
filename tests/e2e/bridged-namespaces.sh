# Sourced: a small bridged network of network namespaces for device searches.
# A bridge namespace, a PC namespace and device namespaces, each joined to the
# bridge by a veth pair, the simulator serving port 80 in each device's. All
# of it is removed on exit, whatever the outcome. Needs root.
#
#   bridged_start PREFIX     makes the bridge; exits 77 where namespaces cannot be made
#   bridged_join NS MAC ADDRESS/PREFIX...
#   bridged_device NAME MAC ADDRESS/PREFIX [SIMULATOR OPTIONS...]   (needs $devsim)
#   bridged_wait NAME...     until each device listens
# Sets $pc, the PC namespace's name, and $out, a folder that holds each device's output.

bridged_start() {
    prefix="$1"
    tag=$$
    bridge="$prefix-br-$tag"
    pc="$prefix-pc-$tag"
    out="$(mktemp -d)"
    pids=""
    # Namespaces of earlier runs that were killed before they could clean up.
    for ns in $(ip netns list 2>/dev/null | awk '{print $1}' | grep -E "^$prefix-[a-z0-9]+-[0-9]+\$"); do
        kill -0 "${ns##*-}" 2>/dev/null || ip netns del "$ns" 2>/dev/null
    done
    trap bridged_cleanup EXIT
    trap 'exit 130' INT TERM
    if ! why="$(ip netns add "$bridge" 2>&1)"; then
        echo "Skipped: network namespaces cannot be made here: $why"
        exit 77
    fi
    ip -n "$bridge" link add br0 type bridge
    ip -n "$bridge" link set br0 up
}

bridged_cleanup() {
    for pid in $pids; do kill "$pid" 2>/dev/null && wait "$pid" 2>/dev/null; done
    for ns in $(ip netns list 2>/dev/null | awk '{print $1}' | grep -E "^$prefix-[a-z0-9]+-$tag\$"); do
        ip netns del "$ns"
    done
    rm -rf "$out"
}

bridged_join() {
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

bridged_device() {
    name="$1"
    mac="$2"
    address="$3"
    shift 3
    bridged_join "$prefix-$name-$tag" "$mac" "$address"
    # Bounded, so that a device left behind by a killed run ends by itself.
    ip netns exec "$prefix-$name-$tag" timeout 600 "$devsim" --bind "${address%/*}" --port 80 "$@" \
        >"$out/$name" 2>&1 &
    pids="$pids $!"
}

bridged_wait() {
    for name in "$@"; do
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
}

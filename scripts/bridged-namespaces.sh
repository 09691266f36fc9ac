# Sourced: a bridged network of network namespaces: a bridge namespace, a PC
# namespace and device namespaces, each card a veth pair to the bridge, a
# simulator serving port 80 in each device's. All of it is removed on exit,
# whatever the outcome. Needs root; exits 77 where namespaces cannot be made.
#
#   bridged_start PREFIX       makes the bridge; sets $pc, the PC namespace's name,
#                              and $out, a folder that holds each device's output
#   bridged_join NS CARD MAC [ADDRESS/PREFIX...]
#   bridged_device NAME MAC ADDRESS/PREFIX|fresh [SIMULATOR OPTIONS...]   (needs $devsim)
#                              fresh: factory-fresh, taking the address first sent to it
#   bridged_wait NAME...       until each device listens or waits
# $lifetime bounds each simulator's life (default 600 s).

bridged_start() {
    prefix="$1" tag=$$ pids=""
    bridge="$prefix-br-$tag" pc="$prefix-pc-$tag" out="$(mktemp -d)"
    # Namespaces of earlier runs that were killed before they could clean up.
    for ns in $(ip netns list 2>/dev/null | awk '{print $1}' | grep -E "^$prefix-[a-z0-9]+-[0-9]+\$"); do
        kill -0 "${ns##*-}" 2>/dev/null || ip netns del "$ns" 2>/dev/null
    done
    trap bridged_cleanup EXIT
    trap 'exit 130' INT TERM HUP PIPE
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
    rm -rf "$out" "/etc/netns/$pc"
}

bridged_join() {
    ns="$1" card="$2" mac="$3"
    shift 3
    ip netns list | grep -q "^$ns\b" || {
        ip netns add "$ns"
        # IPv4 only: the devices should see nothing but what the program sends.
        ip netns exec "$ns" sh -c 'echo 1 >/proc/sys/net/ipv6/conf/all/disable_ipv6'
        ip -n "$ns" link set lo up
    }
    # Made straight inside the namespaces: nothing appears on this machine's network.
    port="$(echo "$ns" | cut -d- -f2)-$card"
    ip link add "$card" netns "$ns" address "$mac" type veth peer name "$port" netns "$bridge"
    ip -n "$bridge" link set "$port" master br0 up
    for address in "$@"; do ip -n "$ns" addr add "$address" dev "$card"; done
    ip -n "$ns" link set "$card" up
}

bridged_device() {
    name="$1" mac="$2" address="$3"
    shift 3
    if [ "$address" = fresh ]; then
        bridged_join "$prefix-$name-$tag" eth0 "$mac"
        set -- --fresh eth0 "$@"
    else
        bridged_join "$prefix-$name-$tag" eth0 "$mac" "$address"
        set -- --bind "${address%/*}" "$@"
    fi
    # Bounded, so that a device left behind by a killed run ends by itself.
    ip netns exec "$prefix-$name-$tag" timeout "${lifetime:-600}" "$devsim" --port 80 "$@" \
        >"$out/$name" 2>&1 &
    pids="$pids $!"
}

bridged_wait() {
    for name in "$@"; do
        tries=0
        until grep -qE "listening|waiting" "$out/$name"; do
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

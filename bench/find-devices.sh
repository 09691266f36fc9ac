#!/bin/sh
# Device search benchmark, in network namespaces of its own (needs root):
# a /22 on a bridge holding five simulated devices (one answers only after
# 0.8 s), a web server that is no Ovlix, and nothing at every other address.
# Times a search of the PC's /24 (all five found, nothing else, within the
# 1.5 s per-address deadline plus 0.5 s), then the peak memory of a search of
# the whole /22 against the idle process.
#   usage: bench/find-devices.sh [BUILD_DIR] [runs]
set -u
root="$(cd "$(dirname "$0")/.." && pwd)"
build="$(cd "${1:-$root/build}" && pwd)"
[ -d "$build/bench" ] || { echo "Build the benchmarks first: OVLIX_BENCHMARKS=ON scripts/build.sh" >&2; exit 1; }
runs="${2:-5}"
devsim="$build/tools/devsim/ovlix-devsim"
finder="$build/bench/ovlix-bench-find"
ovlix="$build/src/ovlix"
. "$root/scripts/bridged-namespaces.sh"
bridged_start ovlixbench
set -e
bridged_join "$pc" eth0 00:03:75:00:01:99 10.215.0.1/22
for n in 1 2 3 4; do
    bridged_device "d$n" "00:03:75:00:01:0$n" "10.215.0.1$n/22" --firmware "bench-$n"
done
bridged_device d5 00:03:75:00:01:05 10.215.0.15/22 --firmware bench-5 --delay 800
bridged_device web 00:03:75:00:01:06 10.215.0.20/22 --not-ovlix
bridged_wait d1 d2 d3 d4 d5 web
set +e

echo "== /24, $runs runs"
i=0
while [ "$i" -lt "$runs" ]; do
    ip netns exec "$pc" "$finder" 10.215.0.0/24 | tee "$out/run"
    found=$(grep -c "^found" "$out/run")
    [ "$found" -eq 5 ] || echo "FAILED: $found devices found, not 5"
    grep "^found" "$out/run" | grep -q " 10.215.0.20 " && echo "FAILED: the web server was listed"
    i=$((i + 1))
done
echo "== /22"
ip netns exec "$pc" "$finder" 10.215.0.0/22

# The whole ovlix process, from a folder of its own so that its log stays there.
cp "$ovlix" "$out/ovlix"
echo "== ovlix find, /24, whole process"
start=$(date +%s%N)
ip netns exec "$pc" "$out/ovlix" find --network 10.215.0.0/24
echo "exit $?, $(( ($(date +%s%N) - start) / 1000000 )) ms"
echo "== ovlix find, /22, peak memory read every 10 ms"
ip netns exec "$pc" "$out/ovlix" find --network 10.215.0.0/22 >/dev/null &
search=$!
peak=""
while status=$(cat "/proc/$search/status" 2>/dev/null) && ! echo "$status" | grep -q "^State:.*Z"; do
    peak=$(echo "$status" | awk '/^VmHWM/ {print $2 " " $3}')
    sleep 0.01
done
wait "$search"
echo "VmHWM $peak"

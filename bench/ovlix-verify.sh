#!/bin/sh
# `ovlix verify` against `curl -s -o /dev/null` of the same URL: the whole
# process from start to exit, both asking the device simulator's root page on
# loopback. The two alternate (the first of each pair swapping every round),
# and the script prints each one's median and the ratio of the medians.
#   usage: bench/ovlix-verify.sh [BUILD_DIR] [RUNS]   (default: build 21)
set -eu
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${1:-$root/build}"
runs="${2:-21}"
work="$(mktemp -d)"
# A copy of its own keeps the program's log out of the build folder.
cp "$build/src/ovlix" "$work/ovlix"
: >"$work/devsim.out"
"$build/tools/devsim/ovlix-devsim" --port 0 >"$work/devsim.out" &
simulator=$!
trap 'kill $simulator; rm -rf "$work"' EXIT INT TERM
i=0
until address="$(sed -n 's|.*listening on http://\(127\.0\.0\.1:[0-9]*\).*|\1|p' "$work/devsim.out")" &&
    [ -n "$address" ]; do
    i=$((i + 1))
    [ "$i" -gt 100 ] && { echo "the simulator did not start" >&2; exit 1; }
    sleep 0.05
done

micros() { echo $(($(date +%s%N) / 1000)); }
run_ovlix() {
    start=$(micros)
    "$work/ovlix" verify "$address" >/dev/null
    echo "ovlix $(($(micros) - start))" >>"$work/times"
}
run_curl() {
    start=$(micros)
    curl -s -o /dev/null "http://$address"
    echo "curl $(($(micros) - start))" >>"$work/times"
}

run_ovlix && run_curl && : >"$work/times" # warm the caches, then start counting
i=0
while [ "$i" -lt "$runs" ]; do
    if [ $((i % 2)) -eq 0 ]; then run_ovlix && run_curl; else run_curl && run_ovlix; fi
    i=$((i + 1))
done

median() { grep "^$1 " "$work/times" | cut -d' ' -f2 | sort -n | awk '{ t[NR] = $1 } END { print t[int((NR + 1) / 2)] }'; }
ovlix=$(median ovlix)
curl=$(median curl)
awk -v o="$ovlix" -v c="$curl" -v n="$runs" 'BEGIN {
    printf "ovlix verify: median %.2f ms\ncurl:         median %.2f ms\nratio:        %.2f  [%d runs each, alternating]\n",
        o / 1000, c / 1000, o / c, n }'

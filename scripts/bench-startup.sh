#!/bin/sh
# Start-up benchmark: time from launch until the main window is mapped on an
# X server, and resident memory with the window open, for OvlixSetup and for a
# minimal Qt window built alongside it; then the same pair of the Windows build
# under Wine, when there is one (scripts/build-windows.sh). Runs under its own
# Xvfb, each program in a network namespace with only loopback (needs root).
#   usage: scripts/bench-startup.sh [runs]
set -eu
root="$(cd "$(dirname "$0")/.." && pwd)"
runs="${1:-10}"
build="$root/build"
[ -d "$build/bench" ] || { echo "Build the benchmarks first: OVLIX_BENCHMARKS=ON scripts/build.sh" >&2; exit 1; }
display=":87"
work="$(mktemp -d)"
Xvfb "$display" -screen 0 1024x768x24 >/dev/null 2>&1 &
xvfb=$!
trap 'kill $xvfb 2>/dev/null; rm -rf "$work"' EXIT INT TERM
sleep 1
export DISPLAY="$display"

measure() { # program title [runner...]: the runner, Wine, starts the program
    cp "$1" "$work/"
    program="$work/$(basename "$1")"
    title="$2"
    shift 2
    i=0
    while [ "$i" -lt "$runs" ]; do
        rm -f "$work/OvlixSetup.log"
        start=$(date +%s%N)
        setsid "$root/scripts/run-isolated.sh" "$@" "$program" >/dev/null 2>&1 &
        launcher=$!
        until xdotool search --onlyvisible --name "$title" >/dev/null 2>&1; do sleep 0.005; done
        end=$(date +%s%N)
        sleep 1
        pid=$(xdotool search --onlyvisible --name "$title" getwindowpid 2>/dev/null | head -1)
        rss=$(awk '/VmRSS/ {print $2}' "/proc/$pid/status")
        echo "$(( (end - start) / 1000000 )) $rss"
        kill -- -"$launcher"
        wait "$launcher" 2>/dev/null || true
        i=$((i + 1))
    done | sort -n | awk -v name="$title" '{ t[NR] = $1; r += $2 } END {
        printf "%-20s start to window: median %d ms (min %d, max %d)  RSS: mean %.1f MiB  [%d runs]\n",
        name, t[int((NR + 1) / 2)], t[1], t[NR], r / NR / 1024, NR }'
}

measure "$build/bench/ovlix-bench-minimal-window" "Minimal Qt window"
measure "$build/src/OvlixSetup" "Ovlix 2.0.0"

windows="$root/build-windows"
[ -f "$windows/src/OvlixSetup.exe" ] || exit 0
"$windows/wine" wineboot --init >/dev/null 2>&1
measure "$windows/bench/ovlix-bench-minimal-window.exe" "Minimal Qt window" "$windows/wine"
measure "$windows/src/OvlixSetup.exe" "Ovlix 2.0.0" "$windows/wine"

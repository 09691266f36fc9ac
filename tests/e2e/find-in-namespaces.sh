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
. "$(dirname "$0")/bridged-namespaces.sh"
bridged_start ovlixfind
set -e
bridged_join "$pc" 00:03:75:00:00:99 10.213.1.1/24 10.214.0.1/16
bridged_device d1 00:03:75:00:00:01 10.213.1.10/24 --version find-1.0
bridged_device d2 00:03:75:00:00:02 10.213.1.20/24 --version find-2.0 --delay 500
bridged_device d3 00:03:75:00:00:03 10.213.1.30/24 --not-ovlix
bridged_device d4 00:03:75:00:00:04 10.214.0.7/16 --version find-3.0
bridged_device d5 00:03:75:00:00:05 10.214.9.9/16 --version find-4.0
bridged_wait d1 d2 d3 d4 d5
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

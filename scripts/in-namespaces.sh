#!/bin/sh
# Runs a program in a PC namespace on a bridged network of simulated devices,
# each in a namespace of its own, so that what it sends reaches nothing but
# them. Everything made here is removed again, whatever the outcome.
# Usage: in-namespaces.sh DEVSIM PROGRAM [ARGUMENTS...]   (needs root)
# Exits 77 (skipped) where network namespaces cannot be made.
#
#   PC   pc0 10.213.0.1/24 and 10.214.0.1/16 (larger than a search sweeps)
#        pc1 10.213.1.1/28
#        pc2 down, without an address
#   web  10.213.0.7    00:03:75:20:00:07  a web server that is no Ovlix
#   d1   10.213.0.10   00:03:75:00:00:01  Ovlix find-1.0
#   d2   10.213.0.20   00:03:75:00:00:02  Ovlix find-2.0, answers after 0.5 s
#   d4   10.214.0.7    00:03:75:00:00:04  Ovlix find-3.0
#   d5   10.214.9.9    00:03:75:00:00:05  Ovlix find-4.0, outside the /24 a search is cut to
#   f1 to f5  just reset, without addresses: 00:03:75:10:01:55, :56, :5a and
#        :5b take theirs at once, :57 seven seconds after the first packet sent to it
# OVLIX_FRESH_VERSION is the version the fresh devices report (default e2e-1.7)
# and OVLIX_FRESH_SECONDS bounds the simulators' life (default 120).
set -u
devsim="$1"
shift
lifetime="${OVLIX_FRESH_SECONDS:-120}"
fresh="${OVLIX_FRESH_VERSION:-e2e-1.7}"
. "$(dirname "$0")/bridged-namespaces.sh"
bridged_start ovlixnet
# The PC's host name resolves as Debian maps it, to 127.0.1.1, also where the
# machine has no /etc/hosts: ip netns exec puts this file in its place.
mkdir -p "/etc/netns/$pc"
printf '127.0.0.1 localhost\n127.0.1.1 %s\n' "$(uname -n)" >"/etc/netns/$pc/hosts"
set -e
bridged_join "$pc" pc0 00:03:75:00:00:99 10.213.0.1/24 10.214.0.1/16
bridged_join "$pc" pc1 00:03:75:00:00:98 10.213.1.1/28
ip -n "$pc" link add pc2 type bridge
# Both cards are on one bridge: each answers ARP only for its own addresses.
ip netns exec "$pc" sysctl -qw net.ipv4.conf.all.arp_ignore=1
bridged_device web 00:03:75:20:00:07 10.213.0.7/24 --not-ovlix
bridged_device d1 00:03:75:00:00:01 10.213.0.10/24 --firmware find-1.0
bridged_device d2 00:03:75:00:00:02 10.213.0.20/24 --firmware find-2.0 --delay 500
bridged_device d4 00:03:75:00:00:04 10.214.0.7/16 --firmware find-3.0
bridged_device d5 00:03:75:00:00:05 10.214.9.9/16 --firmware find-4.0
bridged_device f1 00:03:75:10:01:55 fresh --firmware "$fresh"
bridged_device f2 00:03:75:10:01:56 fresh --firmware "$fresh"
bridged_device f3 00:03:75:10:01:57 fresh --firmware "$fresh" --take-delay 7000
bridged_device f4 00:03:75:10:01:5b fresh --firmware "$fresh"
bridged_device f5 00:03:75:10:01:5a fresh --firmware "$fresh"
bridged_wait web d1 d2 d4 d5 f1 f2 f3 f4 f5
set +e

# The first fresh device, and the card that faces it, for those who try it.
OVLIX_NETNS=1 OVLIX_NETNS_PC=10.213.1.1 OVLIX_NETNS_DEVICE=10.213.1.5 ip netns exec "$pc" "$@"
status=$?
tail -n +1 "$out"/* # what each simulated device printed
# A search never goes beyond the /24 it was cut to.
if grep -q "GET" "$out/d5"; then
    echo "FAILED: a search reached the device outside the /24 it was cut to"
    status=1
fi
exit "$status"

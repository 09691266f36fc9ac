#!/bin/sh
# Runs a test where the network has nothing but loopback, so that nothing the
# program under test sends can leave this machine, whatever it is made to do:
# as root in a network namespace of its own, else in a user namespace.
if [ "$(id -u)" -eq 0 ]; then
    exec "$(dirname "$0")/../../scripts/run-isolated.sh" "$@"
fi
exec unshare --net --map-root-user sh -c 'ip link set lo up && exec "$@"' loopback-only "$@"

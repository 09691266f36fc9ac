#!/bin/sh
# Runs a command in a network namespace of its own that has only loopback, so
# nothing the program sends can leave this machine (the documented default
# device address is a real private address). Needs root.
set -eu
ns="ovlix-isolated-$$"
ip netns add "$ns"
trap 'ip netns del "$ns" 2>/dev/null || true' EXIT INT TERM
ip -n "$ns" link set lo up
ip netns exec "$ns" "$@"

#!/bin/sh
# Builds OvlixSetup and starts it. With --demo it starts it against simulated
# devices instead, for trying it without hardware (see scripts/demo.sh).
set -eu
root="$(cd "$(dirname "$0")/.." && pwd)"
case "${1:-}" in
"") ;;
--demo) exec "$root/scripts/demo.sh" ;;
*)
    echo "usage: $0 [--demo]" >&2
    exit 2
    ;;
esac
"$root/scripts/build.sh"
exec "$root/build/src/OvlixSetup"

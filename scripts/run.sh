#!/bin/sh
# Builds OvlixSetup and starts it.
set -eu
root="$(cd "$(dirname "$0")/.." && pwd)"
"$root/scripts/build.sh"
exec "$root/build/src/OvlixSetup"

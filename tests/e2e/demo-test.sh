#!/bin/bash
# Runs the README's first command, scripts/run.sh --demo, headless and without
# root: the program it starts keeps its files in a folder whose netset names
# an address that answers with a version page, and once the program is closed
# every process the demo started is gone, and so is that folder.
#   usage: demo-test.sh SOURCE_DIR BUILD_DIR
set -u
out="$(mktemp)"
demo=""
# The demo runs in a session of its own, whose id is its process id, so that
# whatever it starts can be found by it; the trap ends what is left behind.
trap '[ -n "$demo" ] && kill -- -"$demo" 2>/dev/null; rm -f "$out"' EXIT
fail() {
    echo "FAILED: $*"
    echo "--- the demo printed:"
    cat "$out"
    exit 1
}
within_10s() { # the command succeeds within ten seconds
    for _ in $(seq 200); do
        eval "$1" && return 0
        sleep 0.05
    done
    return 1
}

as_user=()
[ "$(id -u)" -eq 0 ] && as_user=(setpriv --reuid=nobody --regid=nogroup --clear-groups)
OVLIX_BUILD_DIR="$2" QT_QPA_PLATFORM=offscreen \
    setsid "${as_user[@]}" "$1/scripts/run.sh" --demo >"$out" 2>&1 </dev/null &
demo=$!
within_10s 'grep -q "program folder:" "$out"' || fail "no program folder was named"
folder="$(sed -n 's/^ *program folder: *\([^ ]*\) .*$/\1/p' "$out")"
within_10s 'grep -q -- "---- Ovlix Setup .* Started ----" "$folder/OvlixSetup.log" 2>/dev/null' ||
    fail "the program wrote no banner in $folder"

address="$(sed -n 's/^lastip, \(.*\)\r$/\1/p' "$folder/netset")"
[[ "$address" == 127.0.0.1:* ]] || fail "the netset names $address, not a loopback address"
exec 3<>"/dev/tcp/127.0.0.1/${address#*:}" || fail "nothing answers at $address"
printf 'GET / HTTP/1.0\r\nHost: %s\r\n\r\n' "$address" >&3
page="$(timeout 5 cat <&3)"
exec 3<&-
[[ "$page" == *"<version>2.1a-demo</version>"* ]] || fail "the page at $address: $page"

program="$(pgrep -s "$demo" -x OvlixSetup)" || fail "the program does not run from $folder"
[ "$(readlink "/proc/$program/exe")" = "$folder/OvlixSetup" ] || fail "the program runs elsewhere"
kill -TERM "$program"
within_10s '! kill -0 "$demo" 2>/dev/null' || fail "the demo did not end when the program closed"
left="$(pgrep -s "$demo" -a)" && fail "left behind: $left"
[ ! -e "$folder" ] || fail "the demo left $folder behind"
(exec 3<>"/dev/tcp/127.0.0.1/${address#*:}") 2>/dev/null && fail "the simulator still answers"
echo "demo: version page at $address, everything gone after the program closed"

#!/bin/bash
# Runs the README's first command, scripts/run.sh --demo, headless and without
# root: the program it starts keeps its files in a folder whose netset names
# an address that answers with a version page, and once the program is closed
# every process the demo started is gone, and so is that folder.
#   usage: demo-test.sh SOURCE_DIR BUILD_DIR
set -u
source_dir="$1"
build="$2"
out="$(mktemp)"
demo=""
trap '[ -n "$demo" ] && kill -- -"$demo" 2>/dev/null; rm -f "$out"' EXIT
# The demo runs in a session of its own, whose id is its process id, so that
# whatever it starts can be found by it.
fail() {
    echo "FAILED: $*"
    echo "--- the demo printed:"
    cat "$out"
    exit 1
}
# Waits up to ten seconds for the command to succeed.
within_10s() {
    for _ in $(seq 200); do
        "$@" && return 0
        sleep 0.05
    done
    return 1
}
session_processes() { # the processes of session $1
    for stat in /proc/[0-9]*/stat; do
        # After the name in brackets: state, parent, group, session, ...
        read -r _ _ _ session _ <<<"$(sed 's/^.*) //' "$stat" 2>/dev/null)"
        [ "$session" = "$1" ] && echo "${stat//[^0-9]/}"
    done
}

as_user=()
[ "$(id -u)" -eq 0 ] && as_user=(setpriv --reuid=nobody --regid=nogroup --clear-groups)
OVLIX_BUILD_DIR="$build" QT_QPA_PLATFORM=offscreen \
    setsid "${as_user[@]}" "$source_dir/scripts/run.sh" --demo >"$out" 2>&1 </dev/null &
demo=$!

folder_line() { grep -q "program folder:" "$out"; }
within_10s folder_line || fail "no program folder was named"
folder="$(sed -n 's/^ *program folder: *\([^ ]*\) .*$/\1/p' "$out")"
log_started() { grep -q -- "---- Ovlix Setup .* Started ----" "$folder/OvlixSetup.log" 2>/dev/null; }
within_10s log_started || fail "the program wrote no banner in $folder"

address="$(sed -n 's/^lastip, \(.*\)\r$/\1/p' "$folder/netset")"
[[ "$address" == 127.0.0.1:* ]] || fail "the netset names $address, not a loopback address"
exec 3<>"/dev/tcp/127.0.0.1/${address#*:}" || fail "nothing answers at $address"
printf 'GET / HTTP/1.0\r\nHost: %s\r\n\r\n' "$address" >&3
page="$(timeout 5 cat <&3)"
exec 3<&-
[[ "$page" == *"<version>2.1a-demo</version>"* ]] || fail "the page at $address: $page"

program=""
for exe in /proc/[0-9]*/exe; do
    [ "$(readlink "$exe")" = "$folder/OvlixSetup" ] && program="${exe//[^0-9]/}"
done
[ -n "$program" ] || fail "the program does not run from $folder"
kill -TERM "$program"
demo_ended() { ! kill -0 "$demo" 2>/dev/null; }
within_10s demo_ended || fail "the demo did not end when the program closed"
# The trap ends what is left behind, after this says what it was.
for pid in $(session_processes "$demo"); do
    fail "left behind: process $pid, $(tr '\0' ' ' <"/proc/$pid/cmdline")"
done
[ ! -e "$folder" ] || fail "the demo left $folder behind"
(exec 3<>"/dev/tcp/127.0.0.1/${address#*:}") 2>/dev/null && fail "the simulator still answers"
echo "demo: version page at $address, everything gone after the program closed"

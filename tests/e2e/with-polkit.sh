#!/bin/sh
# Runs a command where polkit answers as on a desktop, without changing this
# machine: in a mount namespace of its own, with tmpfs over /run, a system bus
# and polkitd, the ARP helper's polkit action alone, the built helper at the path
# the action names, and a rules file that answers the user nobody yes, except
# for a request about 10.213.1.8, which it refuses.
# Usage: with-polkit.sh HELPER ACTION COMMAND [ARGUMENTS...]   (needs root)
# The command finds the helper's installed path in OVLIX_INSTALLED_HELPER.
# Exits 77 (skipped) where polkit cannot be set up so.
set -eu
if [ -z "${OVLIX_POLKIT_NAMESPACE:-}" ]; then
    [ -x /usr/bin/pkexec ] && [ -x /usr/lib/polkit-1/polkitd ] && [ -x /usr/bin/dbus-daemon ] &&
        unshare -m true 2>/dev/null || { echo "Skipped: no pkexec, polkitd, dbus or root"; exit 77; }
    OVLIX_POLKIT_NAMESPACE=1 exec unshare -m --propagation private "$0" "$@"
fi
helper="$1" action="$2"
shift 2
installed="$(sed -n 's|.*"org.freedesktop.policykit.exec.path">\(.*\)</annotate>.*|\1|p' "$action")"
work="$(mktemp -d)"
polkitd=""
trap '[ -n "$polkitd" ] && kill "$polkitd" 2>/dev/null; [ -f /run/dbus/pid ] && kill "$(cat /run/dbus/pid)"; rm -rf "$work"' EXIT

# The helper at its installed path, over whatever part of that path exists.
above="$(dirname "$installed")"
while [ ! -d "$above" ]; do above="$(dirname "$above")"; done
relative="${installed#"$above"/}"
mkdir -p "$work/top/$(dirname "$relative")"
cp "$helper" "$work/top/$relative"
mount -t overlay overlay -o "lowerdir=$work/top:$above" "$above" || { echo "Skipped: no overlay"; exit 77; }
for folder in /run /etc/polkit-1/rules.d /usr/share/polkit-1/actions; do
    mount -t tmpfs -o mode=755 tmpfs "$folder"
done
mkdir /run/dbus
cp "$action" /usr/share/polkit-1/actions/
cat >/etc/polkit-1/rules.d/50-ovlix-test.rules <<'EOF'
polkit.addRule(function(action, subject) {
    if (action.id == "io.github.ovlixsetup.arp-entry" && subject.user == "nobody")
        return / 10\.213\.1\.8( |$)/.test(action.lookup("command_line")) ? polkit.Result.NO
                                                                         : polkit.Result.YES;
});
EOF
dbus-daemon --system --fork
/usr/lib/polkit-1/polkitd --no-debug >"$work/polkitd.log" 2>&1 &
polkitd=$!
for _ in $(seq 100); do pkaction --action-id io.github.ovlixsetup.arp-entry >/dev/null 2>&1 && break; sleep 0.05; done
pkaction --action-id io.github.ovlixsetup.arp-entry >/dev/null || cat "$work/polkitd.log"
set +e
OVLIX_INSTALLED_HELPER="$installed" "$@"

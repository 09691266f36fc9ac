#!/bin/sh
# Builds the Debian package from the build tree, unpacks it into a temporary
# folder and checks that its files sit where they belong, that it names the
# libraries and tools the programs need, that Debian's and AppStream's checkers
# find nothing to report, and that the unpacked programs start.
#   usage: package-test.sh BUILD_DIR
set -eu
build="$1"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT INT TERM
fail() { echo "FAILED: $*"; exit 1; }
id=io.github.ovlixsetup.ovlixsetup
share="$work/root/usr/share"

(cd "$build" && cpack -G DEB -B "$work/out" >"$work/cpack.log" 2>&1) || { cat "$work/cpack.log"; fail "cpack"; }
deb="$(ls "$work"/out/*.deb)"
dpkg-deb -x "$deb" "$work/root"
action=share/polkit-1/actions/io.github.ovlixsetup.arp-entry.policy
for file in bin/OvlixSetup bin/ovlix bin/ovlix-devsim share/man/man1/ovlix.1.gz $action \
    share/man/man1/OvlixSetup.1.gz share/man/man1/ovlix-devsim.1.gz \
    share/bash-completion/completions/ovlix share/applications/$id.desktop \
    share/metainfo/$id.metainfo.xml share/icons/hicolor/scalable/apps/$id.svg \
    share/icons/hicolor/16x16/apps/$id.png share/icons/hicolor/256x256/apps/$id.png \
    share/doc/ovlixsetup/README.md share/doc/ovlixsetup/copyright share/doc/ovlixsetup/changelog.gz; do
    [ -f "$work/root/usr/$file" ] || fail "usr/$file is not in the package"
done
desktop-file-validate "$share/applications/$id.desktop" || fail "the desktop entry does not validate"
depends="$(dpkg-deb -f "$deb" Depends) $(dpkg-deb -f "$deb" Recommends)"
for needed in libqt6widgets6 libqt6network6 libqt6core6 net-tools iputils-ping fonts-liberation2 pkexec qt6-wayland; do
    echo "$depends" | grep -q "$needed" || fail "Depends and Recommends lack $needed: $depends"
done
# The ARP helper: where the action says, root's and not setuid, and the path
# the programs start it by (ovlix's core is OvlixSetup's).
helper="$(sed -n 's|.*"org.freedesktop.policykit.exec.path">\(.*\)</annotate>.*|\1|p' "$work/root/usr/$action")"
[ "$(dpkg-deb -c "$deb" | awk -v f=".$helper" '$6 == f {print $1, $2}')" = "-rwxr-xr-x root/root" ] ||
    fail "the package has no helper at $helper, root's, mode 755: $(dpkg-deb -c "$deb" | grep helper)"
strings -a -el "$work/root/usr/bin/ovlix" | grep -qxF "$helper" || fail "ovlix does not start $helper"
# The manual page is the one help2man made from the command line's --help.
zcat "$share/man/man1/ovlix.1.gz" | grep -q '^\.TH OVLIX "1"' || fail "ovlix.1 is not a help2man page"
zcat "$share/man/man1/ovlix.1.gz" | grep -q 'labels send' || fail "ovlix.1 lacks its commands"
completes() { bash -c '. "$0"; COMP_WORDS=(ovlix "$@"); COMP_CWORD=$#; _ovlix; echo "${COMPREPLY[*]}"' \
    "$share/bash-completion/completions/ovlix" "$@"; }
[ "$(completes labels s)" = "show send" ] || fail "the completion of labels s: $(completes labels s)"
grep -q "<id>$id</id>" "$share/metainfo/$id.metainfo.xml" || fail "the metainfo does not have the id $id"

# What Debian's package checker and AppStream's validator say: nothing.
# lintian runs as an ordinary user, as it asks.
appstream="$(appstreamcli validate-tree --no-net --pedantic "$work/root" 2>&1)" ||
    fail "appstreamcli validate-tree: $appstream"
echo "$appstream" | grep -E '^[EWIP]: ' && fail "appstreamcli has something to report"
chmod 755 "$work" "$work/out"
chmod 644 "$deb"
as_user=""
[ "$(id -u)" -eq 0 ] && as_user="setpriv --reuid=nobody --regid=nogroup --clear-groups"
# Perl warns of a locale that is set but not installed.
lintian_says="$(cd / && HOME="$work" LC_ALL=C.UTF-8 $as_user lintian "$deb" 2>&1)" ||
    fail "lintian: $lintian_says"
[ -z "$lintian_says" ] || fail "lintian reports: $lintian_says"

# The unpacked program, started from another folder, writes its log beside
# itself: the banner first, its stamp, in any locale, running straight into it.
bin="$work/root/usr/bin"
(cd "$work" && QT_QPA_PLATFORM=offscreen exec "$bin/OvlixSetup" >/dev/null 2>&1) &
program=$!
i=0
until [ "$(grep -c . "$bin/OvlixSetup.log" 2>/dev/null)" = 2 ]; do
    i=$((i + 1))
    [ "$i" -gt 100 ] && { kill "$program"; fail "the unpacked program wrote no banner"; }
    sleep 0.1
done
kill "$program"
sed 's/^[^ ].*[^[:space:]]\(----\)/\1/; s/^.*\(System variable\)/\1/' "$bin/OvlixSetup.log" >"$work/log"
printf -- '---- Ovlix Setup 2.0.0 Started ----\r\nSystem variable lastip missing in %s/netset\r\n' \
    "$bin" | cmp -s - "$work/log" || fail "the log: $(cat "$bin/OvlixSetup.log")"
[ ! -e "$work/OvlixSetup.log" ] || fail "the program wrote a log where it was started"
[ "$("$bin/ovlix" --version)" = "ovlix 2.0.0" ] || fail "the unpacked ovlix does not run"
echo "package $(basename "$deb"): files, dependencies and start checked"

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

(cd "$build" && cpack -G DEB -B "$work/out" >"$work/cpack.log" 2>&1) || { cat "$work/cpack.log"; fail "cpack"; }
deb="$(ls "$work"/out/*.deb)"
dpkg-deb -x "$deb" "$work/root"

for file in usr/bin/OvlixSetup usr/bin/ovlix usr/bin/ovlix-devsim \
    usr/share/man/man1/ovlix.1.gz \
    usr/share/bash-completion/completions/ovlix \
    usr/share/applications/$id.desktop \
    usr/share/metainfo/$id.metainfo.xml \
    usr/share/icons/hicolor/scalable/apps/$id.svg \
    usr/share/icons/hicolor/16x16/apps/$id.png \
    usr/share/icons/hicolor/256x256/apps/$id.png; do
    [ -f "$work/root/$file" ] || fail "$file is not in the package"
done
desktop-file-validate "$work/root/usr/share/applications/$id.desktop" ||
    fail "the desktop entry does not validate"
depends="$(dpkg-deb -f "$deb" Depends)"
for needed in libqt6widgets6 libqt6network6 libqt6core6 net-tools iputils-ping; do
    echo "$depends" | grep -q "$needed" || fail "Depends lacks $needed: $depends"
done

# The manual page is the one help2man made from the command line's --help.
zcat "$work/root/usr/share/man/man1/ovlix.1.gz" | grep -q '^\.TH OVLIX "1"' ||
    fail "the manual page of ovlix is not a help2man page"
zcat "$work/root/usr/share/man/man1/ovlix.1.gz" | grep -q 'labels send' ||
    fail "the manual page of ovlix lacks its commands"

# The documentation, and what Debian's package checker and AppStream's
# validator say: nothing. lintian runs as an ordinary user, as it asks.
for file in usr/share/doc/ovlixsetup/README.md usr/share/doc/ovlixsetup/copyright \
    usr/share/doc/ovlixsetup/changelog.gz usr/share/man/man1/OvlixSetup.1.gz \
    usr/share/man/man1/ovlix-devsim.1.gz; do
    [ -f "$work/root/$file" ] || fail "$file is not in the package"
done
grep -q "<id>$id</id>" "$work/root/usr/share/metainfo/$id.metainfo.xml" ||
    fail "the metainfo does not have the id $id"
appstream="$(appstreamcli validate-tree --no-net --pedantic "$work/root" 2>&1)" ||
    fail "appstreamcli validate-tree: $appstream"
echo "$appstream" | grep -E '^[EWIP]: ' && fail "appstreamcli has something to report"
chmod 755 "$work" "$work/out"
chmod 644 "$deb"
as_user=""
[ "$(id -u)" -eq 0 ] && as_user="setpriv --reuid=nobody --regid=nogroup --clear-groups"
lintian_says="$(cd / && HOME="$work" $as_user lintian "$deb" 2>&1)" || fail "lintian: $lintian_says"
[ -z "$lintian_says" ] || fail "lintian reports: $lintian_says"

# The unpacked program starts and writes its banner beside itself.
QT_QPA_PLATFORM=offscreen "$work/root/usr/bin/OvlixSetup" >/dev/null 2>&1 &
program=$!
i=0
until grep -q -- "---- Ovlix Setup 2.0.0 Started ----" "$work/root/usr/bin/OvlixSetup.log" 2>/dev/null; do
    i=$((i + 1))
    [ "$i" -gt 100 ] && { kill "$program" 2>/dev/null; fail "the unpacked program wrote no banner"; }
    sleep 0.1
done
kill "$program"
"$work/root/usr/bin/ovlix" --version | grep -qx "ovlix 2.0.0" || fail "the unpacked ovlix does not run"
echo "package $(basename "$deb"): files, dependencies and start checked"

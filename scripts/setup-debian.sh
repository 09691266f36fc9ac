#!/bin/sh
# Installs the Debian 12 packages that OvlixSetup needs:
#   setup-debian.sh run    what building and running the program needs (the default)
#   setup-debian.sh test   that, and what the tests need in addition
# Safe to run again: packages already present are left alone, and when all are
# there it says nothing.
set -eu

# Building (help2man writes the manual pages at build time) and running: the
# network setup starts arp and ping, the demo builds network namespaces, and
# the windows are drawn in Liberation Sans.
run_packages="cmake g++ make pkg-config \
  qt6-base-dev qt6-base-dev-tools libgl-dev help2man \
  net-tools iputils-ping iproute2 fonts-liberation2"

# The tests: GoogleTest; the sanitizer runtime, clang and libFuzzer; clang's
# format and tidy checks; the Windows build (Qt Base's source comes through
# apt-get source, which dpkg-dev unpacks; ninja builds it), Wine and NSIS;
# Xvfb, fonts and xdotool for windows; the tools that build and check the
# Debian package; curl, which the benchmarks time; a system bus, polkitd and
# pkexec for the ARP helper's end-to-end test, and weston with Qt's Wayland
# platform for the Wayland test.
test_packages="libgtest-dev libgmock-dev \
  clang libclang-rt-14-dev clang-format clang-tidy \
  g++-mingw-w64-x86-64-posix ninja-build wine64 nsis \
  xvfb xauth fonts-dejavu-core xdotool \
  dpkg-dev file desktop-file-utils appstream lintian curl \
  dbus polkitd pkexec weston qt6-wayland"

case "${1:-run}" in
run) packages="$run_packages" ;;
test) packages="$run_packages $test_packages" ;;
*)
    echo "usage: $0 [run|test]" >&2
    exit 2
    ;;
esac

missing=""
for p in $packages; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing="$missing $p"
done
[ -z "$missing" ] && exit 0

SUDO=""
[ "$(id -u)" -ne 0 ] && SUDO="sudo"
echo "Installing:$missing"
$SUDO apt-get update -qq
# shellcheck disable=SC2086
DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends $missing

#!/bin/sh
# Installs the Debian 12 packages that building, running and testing OvlixSetup need.
# Safe to run again: packages already present are left alone.
set -eu

packages="cmake g++ make pkg-config \
  qt6-base-dev qt6-base-dev-tools libgl-dev \
  libgtest-dev libgmock-dev dpkg-dev desktop-file-utils help2man curl \
  net-tools iputils-ping iproute2 \
  clang libclang-rt-14-dev g++-mingw-w64-x86-64-posix wine64 \
  xvfb xauth fonts-dejavu-core fonts-liberation2"

missing=""
for p in $packages; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing="$missing $p"
done
[ -z "$missing" ] && exit 0

SUDO=""
[ "$(id -u)" -ne 0 ] && SUDO="sudo"
$SUDO apt-get update
# shellcheck disable=SC2086
DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y --no-install-recommends $missing

#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs the Debian packages Skyvane needs to build, run and test.
# Installs only what is missing: apt-get as root, sudo otherwise.
set -eu

PACKAGES="cmake g++ make pkg-config dpkg-dev clang qt6-base-dev fonts-dejavu-core libgtest-dev
libgmock-dev libbenchmark-dev liberfa-dev libx11-dev xvfb xauth xdotool imagemagick libhamlib-utils
lintian appstream desktop-file-utils tzdata"

missing=""
for package in $PACKAGES; do
  if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
    missing="$missing $package"
  fi
done
[ -z "$missing" ] && exit 0

echo "Installing:$missing"
if [ "$(id -u)" -eq 0 ]; then
  SUDO=""
else
  SUDO="sudo"
fi
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -q
# shellcheck disable=SC2086
$SUDO apt-get install -y -q --no-install-recommends $missing

#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# The Debian package built from BUILD_DIR: its contents and metadata, then installed into a scratch
# root, run, and removed. Usage: package_test.sh BUILD_DIR; exits 77 (skipped) without dpkg-deb.
set -eu
BUILD=$1
command -v dpkg-deb >/dev/null 2>&1 || { echo "skipped: dpkg-deb is not installed"; exit 77; }
WORK=$(mktemp -d)
trap 'rm -rf "$WORK"' EXIT
fail() { echo "FAIL: $*"; exit 1; }
cd "$BUILD"
cpack -G DEB -B "$WORK/out" >"$WORK/cpack.log" 2>&1 || { cat "$WORK/cpack.log"; exit 1; }
DEB=$(ls "$WORK"/out/*.deb | head -1)
dpkg-deb -c "$DEB" | awk '{print $6}' >"$WORK/files"
for path in ./usr/bin/skyvane ./usr/lib/skyvane/skyvane ./usr/lib/skyvane/StarData.txt \
            ./usr/share/applications/skyvane.desktop ./usr/share/man/man1/skyvane.1.gz \
            ./usr/share/doc/skyvane/copyright ./usr/share/doc/skyvane/changelog.gz \
            ./usr/share/metainfo/org.example.skyvane.metainfo.xml \
            ./usr/share/icons/hicolor/scalable/apps/skyvane.svg; do
  grep -qx "$path" "$WORK/files" || fail "$path missing from the package"
done
DEPENDS=$(dpkg-deb -f "$DEB" Depends)
for needed in libqt6widgets6 liberfa1 fonts-dejavu-core; do
  echo "$DEPENDS" | grep -q "$needed" || fail "Depends lacks $needed: $DEPENDS"
done

dpkg-deb -x "$DEB" "$WORK/unpacked"
# Lint, AppStream and the desktop entry, where their tools are installed.
if command -v lintian >/dev/null 2>&1; then
  lintian "$DEB" >"$WORK/lintian.log" 2>&1 || true
  ! grep -E '^[EW]: ' "$WORK/lintian.log" || fail "lintian reports errors or warnings"
fi
! command -v appstreamcli >/dev/null 2>&1 ||
  appstreamcli validate --no-net "$WORK"/unpacked/usr/share/metainfo/*.xml >/dev/null ||
  fail "the AppStream metainfo does not validate"
! command -v desktop-file-validate >/dev/null 2>&1 ||
  desktop-file-validate "$WORK/unpacked/usr/share/applications/skyvane.desktop" ||
  fail "the desktop entry does not validate"

# Installed into a scratch root with its own package database.
ROOT=$WORK/root
mkdir -p "$ROOT/var/lib/dpkg/info" "$ROOT/var/lib/dpkg/updates"
touch "$ROOT/var/lib/dpkg/status"
DPKG="dpkg --root=$ROOT --force-not-root --force-depends --force-script-chrootless"
$DPKG -i "$DEB" >"$WORK/dpkg.log" 2>&1 || { cat "$WORK/dpkg.log"; fail "dpkg could not install it"; }
SKYVANE=$ROOT/usr/bin/skyvane
[ "$("$SKYVANE" --version)" = "skyvane 1.0.0" ] || fail "--version says $("$SKYVANE" --version)"
# With its catalogue beside it the program keeps running until stopped.
STATUS=0
QT_QPA_PLATFORM=offscreen HOME=$WORK timeout 3 "$SKYVANE" >"$WORK/run.log" 2>&1 || STATUS=$?
[ $STATUS -eq 124 ] || { cat "$WORK/run.log"; fail "the installed program ended with $STATUS"; }
$DPKG -r skyvane >"$WORK/dpkg.log" 2>&1 || { cat "$WORK/dpkg.log"; fail "dpkg could not remove it"; }
LEFT=$(find "$ROOT" -mindepth 1 -not -path "$ROOT/var*" -not -type d)
[ -z "$LEFT" ] || fail "removal left $LEFT"
echo "ok - $(basename "$DEB") installs, runs and removes cleanly; Depends: $DEPENDS"

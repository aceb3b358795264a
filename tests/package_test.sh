#!/bin/sh
# Builds the Debian package from a build folder and checks what it installs:
# the program beside its catalogue, the launcher, the desktop entry and icon,
# and the declared dependencies. Then unpacks it into a scratch root and
# checks that the launcher finds the program there.
# Usage: package_test.sh BUILD_DIR. Exits 77 (skipped) without dpkg-deb.
set -eu
BUILD=$1
command -v dpkg-deb >/dev/null 2>&1 || { echo "skipped: dpkg-deb is not installed"; exit 77; }
WORK=$(mktemp -d)
trap 'rm -rf "$WORK"' EXIT
cd "$BUILD"
cpack -G DEB -B "$WORK/out" >"$WORK/cpack.log" 2>&1 || { cat "$WORK/cpack.log"; exit 1; }
DEB=$(ls "$WORK"/out/*.deb | head -1)
[ -f "$DEB" ] || { echo "FAIL: no package built"; exit 1; }
dpkg-deb -c "$DEB" | awk '{print $6}' >"$WORK/files"
for path in ./usr/bin/skyvane ./usr/lib/skyvane/skyvane ./usr/lib/skyvane/StarData.txt \
            ./usr/share/applications/skyvane.desktop \
            ./usr/share/icons/hicolor/scalable/apps/skyvane.svg; do
  grep -qx "$path" "$WORK/files" || { echo "FAIL: $path missing from the package"; exit 1; }
done
DEPENDS=$(dpkg-deb -f "$DEB" Depends)
for needed in libqt6widgets6 libqt6gui6 libqt6core6 liberfa1 fonts-dejavu-core; do
  echo "$DEPENDS" | grep -q "$needed" || { echo "FAIL: Depends lacks $needed: $DEPENDS"; exit 1; }
done
dpkg-deb -x "$DEB" "$WORK/root"
cmp "$WORK/root/usr/lib/skyvane/StarData.txt" "$(dirname "$0")/../data/StarData.txt"
# The launcher resolves the program beside it through its own path.
TARGET=$(sed -n 's/^exec "\$(dirname "\$(readlink -f "\$0")")\/\(.*\)\/skyvane".*/\1/p' \
  "$WORK/root/usr/bin/skyvane")
[ -x "$WORK/root/usr/bin/$TARGET/skyvane" ] || { echo "FAIL: launcher points to $TARGET"; exit 1; }
# Started through the unpacked launcher, the program finds its catalogue and
# keeps running (until the time limit stops it) instead of reporting it missing.
set +e
QT_QPA_PLATFORM=offscreen timeout 3 "$WORK/root/usr/bin/skyvane" >"$WORK/run.log" 2>&1
STATUS=$?
set -e
[ "$STATUS" -eq 124 ] || { echo "FAIL: the installed program ended with $STATUS"; cat "$WORK/run.log"; exit 1; }
if command -v desktop-file-validate >/dev/null 2>&1; then
  desktop-file-validate "$WORK/root/usr/share/applications/skyvane.desktop"
fi
echo "ok - $(basename "$DEB"): Depends: $DEPENDS"

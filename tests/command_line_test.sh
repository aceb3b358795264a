#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# The command line and start-up without a window system. Usage: command_line_test.sh SKYVANE
set -u
SKYVANE=$1
WORK=$(mktemp -d)
trap 'rm -rf "$WORK"' EXIT
fail() { echo "FAIL: $*"; cat "$WORK/out" 2>/dev/null; exit 1; }
# Runs the program with the environment given first; $STATUS and $WORK/out keep the outcome.
run() {
  timeout 30 env -u DISPLAY -u WAYLAND_DISPLAY -u XDG_DATA_HOME HOME="$WORK" "$@" >"$WORK/out" 2>&1
  STATUS=$?
}
expect() { # STATUS TEXT: what the last run ended with and said
  [ "$STATUS" -eq "$1" ] && grep -q -- "$2" "$WORK/out" || fail "ended with $STATUS, not $1 saying \"$2\""
}

run "$SKYVANE" --version; expect 0 "^skyvane 1.0.0$"
[ "$(cat "$WORK/out")" = "skyvane 1.0.0" ] || fail "more than the version was written"
run "$SKYVANE" -display :5 --version; expect 0 "^skyvane 1.0.0$"  # Qt's own options pass
run "$SKYVANE" --version -display; expect 2 "Missing value after '-display'"
run "$SKYVANE" --help; expect 0 "--catalogue <file>"
run "$SKYVANE" --no-such-option; expect 2 "no-such-option"
run "$SKYVANE" stray; expect 2 "Unexpected argument: stray"
run "$SKYVANE" --catalogue; expect 2 "Missing value after '--catalogue'"
run "$SKYVANE" --equinox J2001; expect 2 "takes J2000 or B1950, not J2001"
run QT_QPA_PLATFORM= "$SKYVANE" --catalogue "$WORK/none.txt"; expect 1 "no display"
run QT_QPA_PLATFORM=xcb "$SKYVANE"; expect 1 "no display"
run QT_QPA_PLATFORM= "$SKYVANE" -platform offscreen --catalogue "$WORK/none.txt"; expect 1 "not found"
# A display that cannot be opened ends the program with its reason, never an abort.
run QT_QPA_PLATFORM=xcb DISPLAY=:987 "$SKYVANE"; expect 1 "could not be started"
run QT_QPA_PLATFORM= "$SKYVANE" -display :987; expect 1 "could not be started"  # -display counts
# A folder name that is no UTF-8 keeps its bytes, into the message too.
BYTES=$(printf 'lat\351in')
mkdir "$WORK/$BYTES" && cp "$(dirname "$SKYVANE")/StarData.txt" "$WORK/$BYTES/cat.txt"
run QT_QPA_PLATFORM=offscreen timeout 2 "$SKYVANE" --catalogue "$WORK/$BYTES/cat.txt"
[ "$STATUS" -eq 124 ] || fail "a catalogue in a folder that is no UTF-8 ended with $STATUS"
run QT_QPA_PLATFORM=offscreen "$SKYVANE" --catalogue "$WORK/$BYTES/none.txt"; expect 1 'lat\\xE9in/none.txt'
run QT_QPA_PLATFORM=offscreen "$SKYVANE" --catalogue="$WORK/$BYTES/none.txt"
expect 1 "^$WORK/lat\\\\xE9in/none.txt\$"  # the whole path, on its own line

# A catalogue its user may not read is reported as such (run as nobody,
# since root reads everything).
if [ "$(id -u)" -eq 0 ] && command -v setpriv >/dev/null 2>&1; then
  chmod 755 "$WORK"
  printf '1\t\tA\t5\n' >"$WORK/secret.txt"
  chmod 600 "$WORK/secret.txt"
  run QT_QPA_PLATFORM=offscreen setpriv --reuid=65534 --regid=65534 --clear-groups \
    "$SKYVANE" --catalogue "$WORK/secret.txt"
  expect 1 "cannot be read"
fi
# With the catalogue beside it the program keeps running until stopped, also
# started through a link elsewhere, as the installed program is.
ln -s "$SKYVANE" "$WORK/skyvane"
run QT_QPA_PLATFORM=offscreen timeout 2 "$WORK/skyvane"
[ "$STATUS" -eq 124 ] || fail "the program ended with $STATUS"
# Its choices are kept where every version of it looks for them.
[ -f "$WORK/.config/Skyvane/Skyvane.conf" ] || fail "no settings in .config/Skyvane/Skyvane.conf"
# One in the user's data folder comes first: here a file that is no catalogue.
mkdir -p "$WORK/.local/share/skyvane" && printf '\0' >"$WORK/.local/share/skyvane/StarData.txt"
run QT_QPA_PLATFORM=offscreen timeout 5 "$SKYVANE"; expect 1 "share/skyvane/StarData.txt"
# XDG_DATA_HOME names that folder when it is set to a whole path.
mkdir -p "$WORK/data/skyvane" && cp "$WORK/.local/share/skyvane/StarData.txt" "$WORK/data/skyvane/"
run XDG_DATA_HOME="$WORK/data" QT_QPA_PLATFORM=offscreen timeout 5 "$SKYVANE"
expect 1 "$WORK/data/skyvane/StarData.txt"
echo "ok - the command line and start-up"

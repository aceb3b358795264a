#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# Skyvane on a real X server (Xvfb), driven with xdotool as a person would, the screen read back.
# Usage: e2e_test.sh SKYVANE CLOSE_WINDOW [SCREENSHOT]; exits 77 (skipped) when a tool is missing.
set -u
SKYVANE=$1 CLOSE_WINDOW=$2 SCREENSHOT=${3:-}
for tool in Xvfb xdotool import convert; do
  command -v "$tool" >/dev/null 2>&1 || { echo "skipped: $tool is not installed"; exit 77; }
done
WORK=$(mktemp -d) XVFB="" APP=""
trap '[ -n "$APP" ] && kill $APP; [ -n "$XVFB" ] && kill $XVFB; wait; rm -rf "$WORK"' EXIT
trap 'exit 1' INT TERM
fail() { echo "FAIL: $*"; tail -n 20 "$WORK"/*.log; exit 1; }
wait_for() { # SECONDS COMMAND...: runs the command every 0.1 s until it succeeds
  tries=$(($1 * 10)) && shift
  until "$@" >/dev/null 2>&1; do [ $((tries -= 1)) -gt 0 ] && sleep 0.1 || return 1; done
}
window() { xdotool search --onlyvisible --name "$1" | head -1 | grep .; }
shot() { import -window root "$WORK/$1.png"; }
pixels() { convert "$WORK/$1.png" -crop "$4x$5+$2+$3" +repage -depth 8 txt:-; }
count() { pixels "$@" | grep -c "$6"; }
click_at() { xdotool mousemove "$((WX + $1))" "$((WY + $2))" click 1 && sleep 0.2; }

# A display of our own that never resets: a client leaving (the probe below,
# or the first program) must not pull it from under the next one.
n=90
while [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ]; do n=$((n + 1)); done
Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp -noreset >"$WORK/xvfb.log" 2>&1 &
XVFB=$! DISPLAY=":$n" && export DISPLAY
wait_for 15 xdotool getdisplaygeometry || fail "the X server did not start"

# A home of its own: the program remembers the observer and the window there.
HOME=$WORK XDG_CONFIG_HOME= XDG_DATA_HOME= "$SKYVANE" >"$WORK/app.log" 2>&1 &
APP=$!
wait_for 60 window '^4C Skyvane' || fail "no main window appeared"  # a sanitized build is slow
W=$(window '^4C Skyvane')
eval "$(xdotool getwindowgeometry --shell "$W")"
WX=$X MENU=$((HEIGHT - 570)) WY=$((Y + HEIGHT - 570))
[ "$WIDTH" = 777 ] && [ "$MENU" -gt 10 ] && [ "$MENU" -lt 60 ] ||
  fail "client area is ${WIDTH}x$HEIGHT, not 777x570 below a menu bar"
echo "ok - a $MENU-pixel menu bar over a 777x570 design area"
sleep 1

# A fixed moment: "Stop", "24", 21 June 2024 at noon, typed into the fields.
click_at 612 16
click_at 284 40
for field in "132 41 6" "164 41 21" "200 41 2024" "132 17 12" "164 17 0" "196 17 0"; do
  set -- $field
  click_at "$1" "$2"
  xdotool key ctrl+a type --delay 20 "$3" && xdotool key Return && sleep 0.3
done
shot day
CY=$((WY + 56))
[ "$(pixels day $((WX + 10)) $((CY + 410)) 1 2 | grep -o '#[0-9A-F]\{6\}' | tr '\n' ' ')" = "#000000 #015101 " ] ||
  fail "not a black sky over green ground at the horizon by day"
LIT=$((777 * 340 - $(count day "$WX" "$((CY + 10))" 777 340 '#000000')))
[ "$LIT" -gt 500 ] || fail "no source discs drawn ($LIT lit pixels)"
echo "ok - black sky, green ground from the horizon at 80 %, $LIT pixels of discs"

# Pointing at a grey disc shows the green readout beside it.
SPOT=$(pixels day $((WX + 60)) $((WY + 100)) 560 300 | grep -m1 -E '#(F[2-9])\1\1' | cut -d: -f1)
[ -n "$SPOT" ] || fail "no grey source disc to point at"
SX=$((WX + 60 + ${SPOT%,*})) SY=$((WY + 101 + ${SPOT#*,}))
BEFORE=$(count day "$((SX + 15))" "$((SY - 25))" 140 60 '#00[89A-F][0-9A-F]00')
xdotool mousemove "$SX" "$SY" && sleep 0.4
shot hover
AFTER=$(count hover "$((SX + 15))" "$((SY - 25))" 140 60 '#00[89A-F][0-9A-F]00')
[ "$AFTER" -gt "$((BEFORE + 30))" ] || fail "no green readout beside the source ($BEFORE -> $AFTER)"
echo "ok - pointing at a source shows the readout"
[ -z "$SCREENSHOT" ] || convert "$WORK/hover.png" -crop "777x$HEIGHT+$WX+$Y" +repage "$SCREENSHOT"

# Ctrl+L opens the plan in a window of its own.
xdotool windowfocus "$W" && sleep 0.2 && xdotool key ctrl+l
wait_for 10 window '^Plan - Skyvane$' || fail "Ctrl+L opened no plan window"
"$CLOSE_WINDOW" "$(window '^Plan - Skyvane$')" || fail "could not ask the plan window to close"
echo "ok - Ctrl+L opens the plan"

# The information window outlives the main window; the last one closing ends
# the program. CLOSE_WINDOW asks as a window manager's close box does.
click_at 728 13
wait_for 10 window '^INFO$' || fail "\"INFO\" opened no window"
INFO=$(window '^INFO$')
"$CLOSE_WINDOW" "$W" || fail "could not ask the main window to close"
wait_for 10 sh -c "! xdotool search --onlyvisible --name '^4C Skyvane'" || fail "the main window stayed"
sleep 0.5
kill -0 "$APP" 2>/dev/null || fail "closing the main window ended the program while INFO was open"
"$CLOSE_WINDOW" "$INFO" || fail "could not ask INFO to close"
wait_for 10 sh -c "! kill -0 $APP" || fail "the program kept running after its last window closed"
wait "$APP"
STATUS=$? APP=""
[ "$STATUS" -eq 0 ] || fail "the program ended with status $STATUS"
echo "ok - \"INFO\" stays after the main window; the program ends with the last window"

# Ctrl+Q ends the program from the keyboard.
HOME=$WORK XDG_CONFIG_HOME= XDG_DATA_HOME= "$SKYVANE" >>"$WORK/app.log" 2>&1 &
APP=$!
wait_for 60 window '^4C Skyvane' || fail "no main window appeared the second time"
xdotool windowfocus "$(window '^4C Skyvane')" && sleep 0.2 && xdotool key ctrl+q
wait_for 10 sh -c "! kill -0 $APP" || fail "Ctrl+Q left the program running"
wait "$APP"
STATUS=$? APP=""
[ "$STATUS" -eq 0 ] || fail "the program ended with status $STATUS after Ctrl+Q"
echo "ok - Ctrl+Q quits"
echo "all end-to-end checks passed"

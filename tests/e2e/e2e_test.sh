#!/bin/sh
# End-to-end test on a real X server: starts Xvfb on a free display, runs
# Skyvane, drives it with xdotool as a person would and reads the screen back.
# Usage: e2e_test.sh SKYVANE CLOSE_WINDOW [SCREENSHOT]
#   SKYVANE       the executable, with StarData.txt beside it
#   CLOSE_WINDOW  the helper that asks a window to close
#   SCREENSHOT    where to save a picture of the window (optional)
# Exits 77 (skipped) when no X server program is installed.
set -u
SKYVANE=$1
CLOSE_WINDOW=$2
SCREENSHOT=${3:-}

for tool in Xvfb xdotool import convert compare; do
  command -v "$tool" >/dev/null 2>&1 || { echo "skipped: $tool is not installed"; exit 77; }
done

WORK=$(mktemp -d)
XVFB=""
APP=""
cleanup() {
  [ -n "$APP" ] && kill "$APP" 2>/dev/null
  [ -n "$XVFB" ] && kill "$XVFB" 2>/dev/null
  wait 2>/dev/null
  rm -rf "$WORK"
}
trap cleanup EXIT
trap 'exit 1' INT TERM

fail() {
  echo "FAIL: $*"
  for log in "$WORK"/*.log; do
    [ -s "$log" ] && echo "--- $(basename "$log")" && tail -20 "$log"
  done
  [ -f "$WORK/last.png" ] && cp "$WORK/last.png" "${TMPDIR:-/tmp}/skyvane-e2e-failure.png" &&
    echo "last screen: ${TMPDIR:-/tmp}/skyvane-e2e-failure.png"
  exit 1
}
pass() { echo "ok - $*"; }

# Runs a command every 0.1 s until it succeeds or SECONDS have passed.
wait_for() {
  limit=$(($1 * 10))
  shift
  tries=0
  until "$@" >/dev/null 2>&1; do
    tries=$((tries + 1))
    [ "$tries" -ge "$limit" ] && return 1
    sleep 0.1
  done
}

# Waits (bounded) for the program to end and leaves its exit status in STATUS.
app_ended() {
  wait_for 10 sh -c "! kill -0 $APP" || fail "$1"
  wait "$APP"
  STATUS=$?
  APP=""
}

# A free display number.
n=90
while [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ]; do n=$((n + 1)); done
Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp -noreset >"$WORK/xvfb.log" 2>&1 &
XVFB=$!
export DISPLAY=":$n"
wait_for 15 xdotool getdisplaygeometry || fail "the X server did not start"

# --- helpers reading the screen -------------------------------------------
shot() { import -window root "$WORK/$1.png" && cp "$WORK/$1.png" "$WORK/last.png"; }
# Colour of one screen pixel as RRGGBB.
pixel() {
  convert "$WORK/$1.png" -crop "1x1+$2+$3" +repage -depth 8 txt:- | grep -o '#[0-9A-F]\{6\}' | head -1
}
# Number of pixels of colour $6 in the rectangle x y w h of shot $1.
count() {
  convert "$WORK/$1.png" -crop "$4x$5+$2+$3" +repage -depth 8 txt:- | grep -c "$6"
}
# Number of differing pixels between two shots inside the chart.
changed() {
  compare -metric AE -extract "777x514+$WX+$((WY + 56))" "$WORK/$1.png" "$WORK/$2.png" null: 2>&1 |
    cut -d' ' -f1
}
# Screen position of a point given in the window's client coordinates.
click_at() { xdotool mousemove "$((WX + $1))" "$((WY + $2))" click 1; sleep 0.2; }
type_into() {
  click_at "$1" "$2"
  xdotool key ctrl+a
  printf "%s" "$3" | xdotool type --delay 20 --file -
  xdotool key Return
  sleep 0.3
}

# --- the main window --------------------------------------------------------
# A program's first start on a fresh machine builds the font cache, and a
# sanitized build starts slowly: windows get a minute to appear.
"$SKYVANE" >"$WORK/app.log" 2>&1 &
APP=$!
wait_for 60 xdotool search --onlyvisible --name '^4C Skyvane' || fail "no main window appeared"
W=$(xdotool search --onlyvisible --name '^4C Skyvane' | head -1)
GEOMETRY=$(xdotool getwindowgeometry "$W")
WX=$(echo "$GEOMETRY" | sed -n 's/.*Position: \([0-9]*\),\([0-9]*\).*/\1/p')
WY=$(echo "$GEOMETRY" | sed -n 's/.*Position: \([0-9]*\),\([0-9]*\).*/\2/p')
SIZE=$(echo "$GEOMETRY" | sed -n 's/.*Geometry: \([0-9x]*\).*/\1/p')
# The menu bar sits above the design area of 777 x 570.
MENU=$((${SIZE#*x} - 570))
[ "${SIZE%x*}" = 777 ] && [ "$MENU" -gt 10 ] && [ "$MENU" -lt 60 ] ||
  fail "client area is $SIZE, not 777x570 below a menu bar"
WY=$((WY + MENU))
pass "main window \"$(xdotool getwindowname "$W")\": a $MENU-pixel menu bar over a 777x570 design area"
sleep 1

# A fixed moment: stop following the clock, 24-hour mode, 21 June 2024, noon.
click_at 612 16            # "Stop"
click_at 284 40            # "24"
type_into 132 41 6
type_into 164 41 21
type_into 200 41 2024
type_into 132 17 12
type_into 164 17 0
type_into 196 17 0
sleep 0.5
shot day
# The horizon lies at 80 % of the chart's 514 rows: row 411 of the chart.
[ "$(pixel day $((WX + 10)) $((WY + 56 + 411)))" = "#015101" ] || fail "no green ground at the horizon by day"
[ "$(pixel day $((WX + 10)) $((WY + 56 + 410)))" = "#000000" ] || fail "sky not black just above the horizon"
[ "$(pixel day $((WX + 10)) $((WY + 56 + 500)))" = "#018101" ] || fail "ground below the band is not RGB(1,129,1)"
SKY_BLACK=$(count day "$WX" "$((WY + 56))" 777 400 '#000000')
[ "$SKY_BLACK" -gt 200000 ] || fail "the sky is not black ($SKY_BLACK black pixels)"
DISC=$(count day "$WX" "$((WY + 66))" 777 340 '#[0-9A-F]\{6\}' )
LIT=$((DISC - $(count day "$WX" "$((WY + 66))" 777 340 '#000000')))
[ "$LIT" -gt 500 ] || fail "no source discs drawn ($LIT lit pixels)"
pass "black sky, green ground from the horizon line at 80 %, $LIT pixels of discs"

type_into 196 17 0
type_into 132 17 0         # midnight
shot night
[ "$(pixel night $((WX + 10)) $((WY + 56 + 411)))" = "#010151" ] || fail "no blue ground at night"
pass "blue ground at night"

type_into 56 17 -33.9      # latitude
shot south
[ "$(changed night south)" -gt 1000 ] || fail "a new latitude did not change the chart"
pass "typing a latitude and Enter redraws the chart"

click_at 652 16            # "Fwd"
sleep 0.5
shot play1
sleep 0.5
shot play2
[ "$(changed south play1)" -gt 0 ] && [ "$(changed play1 play2)" -gt 0 ] ||
  fail "fast play does not move the chart"
click_at 612 16            # "Stop"
pass "\"Fwd\" moves the chart on every tick"

# Hovering over a drawn source: find the first grey disc pixel in the sky.
shot still
SPOT=$(convert "$WORK/still.png" -crop "560x300+$((WX + 60))+$((WY + 100))" +repage -depth 8 txt:- |
  grep -m1 -E '#(F[2-9])\1\1' | cut -d: -f1)
[ -n "$SPOT" ] || fail "no grey source disc to point at"
SX=$((WX + 60 + ${SPOT%,*}))
SY=$((WY + 100 + ${SPOT#*,} + 1))
BEFORE=$(count still "$((SX + 15))" "$((SY - 25))" 140 60 '#00FF00')
xdotool mousemove "$SX" "$SY"
sleep 0.4
shot hover
AFTER=$(count hover "$((SX + 15))" "$((SY - 25))" 140 60 '#00FF00')
[ "$AFTER" -gt "$((BEFORE + 30))" ] || fail "no green readout beside the source ($BEFORE -> $AFTER)"
pass "pointing at a source shows the green readout beside it"
if [ -n "$SCREENSHOT" ]; then
  convert "$WORK/hover.png" -crop "777x$((570 + MENU))+$WX+$((WY - MENU))" +repage "$SCREENSHOT" &&
    pass "screenshot saved"
fi

# The information window, and closing the main window under it.
click_at 728 13            # "INFO"
wait_for 10 xdotool search --onlyvisible --name '^INFO$' || fail "\"INFO\" opened no window"
INFO=$(xdotool search --onlyvisible --name '^INFO$' | head -1)
pass "\"INFO\" opens a window titled INFO"
"$CLOSE_WINDOW" "$W" || fail "could not ask the main window to close"
wait_for 10 sh -c "! xdotool search --onlyvisible --name '^4C Skyvane'" || fail "the main window did not close"
sleep 0.5
kill -0 "$APP" 2>/dev/null || fail "closing the main window ended the program while INFO was open"
xdotool search --onlyvisible --name '^INFO$' >/dev/null || fail "INFO closed with the main window"
"$CLOSE_WINDOW" "$INFO" || fail "could not ask INFO to close"
app_ended "the program kept running after its last window closed"
[ "$STATUS" -eq 0 ] || fail "the program ended with status $STATUS"
pass "the program ends when its last window closes, not before"

# --- no catalogue beside the executable -------------------------------------
mkdir "$WORK/lonely"
cp "$SKYVANE" "$WORK/lonely/skyvane"
"$WORK/lonely/skyvane" >"$WORK/lonely.log" 2>&1 &
APP=$!
wait_for 60 xdotool search --onlyvisible --name '^Skyvane$' || fail "no message box without a catalogue"
BOX=$(xdotool search --onlyvisible --name '^Skyvane$' | head -1)
xdotool windowfocus "$BOX" 2>/dev/null
sleep 0.3
xdotool key Return
app_ended "the program did not end after the message"
[ "$STATUS" -ne 0 ] || fail "the program ended with status 0 without its catalogue"
pass "without a catalogue a message box appears and the program exits with status $STATUS"
echo "all end-to-end checks passed"

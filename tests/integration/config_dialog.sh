#!/usr/bin/env bash
# The configuration dialog in a virtual X server, driven by real clicks and key presses:
#   config_dialog.sh PROGRAM SCREENSHOT_FOLDER
set -euo pipefail
program=$1
shots=$2
work=$(mktemp -d)
mkdir -p "$shots" "$work/bin" "$work/config" "$work/runtime" "$work/site/files"
export XDG_CONFIG_HOME=$work/config XDG_RUNTIME_DIR=$work/runtime
export PATH=$work/bin:$PATH
config="$work/config/Corvantic/Flurrix Screensaver/config.ini"

cat > "$work/bin/xdg-open" <<SCRIPT
#!/bin/sh
echo "\$1" >> "$work/opened"
SCRIPT
chmod +x "$work/bin/xdg-open"

# The maker's site on loopback: the update file names this very version.
echo 330 > "$work/site/files/flurrix.dat"
python3 - "$work/site" "$work/port" <<'PY' >/dev/null 2>&1 &
import functools, http.server, sys
handler = functools.partial(http.server.SimpleHTTPRequestHandler, directory=sys.argv[1])
server = http.server.HTTPServer(("127.0.0.1", 0), handler)
open(sys.argv[2], "w").write(str(server.server_port))
server.serve_forever()
PY
site=$!

Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp -noreset 3>"$work/display" >/dev/null 2>&1 &
xvfb=$!
cleanup() { kill "$xvfb" "$site" 2>/dev/null || true; rm -rf "$work"; }
trap cleanup EXIT
for _ in $(seq 100); do [[ -s $work/display && -s $work/port ]] && break; sleep 0.1; done
export DISPLAY=:$(head -n 1 "$work/display")
export FLURRIX_SITE=http://127.0.0.1:$(cat "$work/port")
for _ in $(seq 100); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done

fail() { echo "FAIL: $*" >&2; exit 1; }
passed=0
pass() { passed=$((passed + 1)); echo "ok: $*"; }

# Waits for a visible window whose name matches $1 and prints its id.
find_window() {
  for _ in $(seq 200); do
    local id
    id=$(xdotool search --onlyvisible --name "$1" 2>/dev/null | head -n 1 || true)
    [[ -n "$id" ]] && { echo "$id"; return 0; }
    sleep 0.05
  done
  return 1
}

# Starts the dialog and sets $window; prints the milliseconds until its window was on screen.
start_dialog() {
  local t0 t1
  t0=$(date +%s%N)
  "$program" "${@:-/c}" &
  dialog=$!
  window=$(find_window '^Flurrix Screensaver 3\.3$') || fail "the dialog did not appear"
  t1=$(date +%s%N)
  startup_ms=$(((t1 - t0) / 1000000))
  sleep 0.3
}

wait_gone() {
  for _ in $(seq 100); do kill -0 "$dialog" 2>/dev/null || { wait "$dialog"; return $?; }; sleep 0.1; done
  fail "the dialog did not close"
}

# Clicks at client coordinates; page controls are given in page coordinates.
click() { xdotool mousemove --window "$window" "$1" "$2" click 1; sleep 0.15; }
click_page() { click $((140 + $1)) $((50 + $2)); }
tab() {  # tab number 0 to 8: four in the first row, five in the second
  if (($1 < 4)); then click $((140 + 95 * $1 + 47)) 20; else click $((140 + 76 * ($1 - 4) + 38)) 40; fi
}
# Picks item $3 of the drop-down list at page coordinates $1, $2.
choose() {
  click_page "$1" "$2"
  for _ in $(seq 8); do xdotool key Up; done
  for _ in $(seq "$3"); do xdotool key Down; done
  xdotool key Return
  sleep 0.15
}
# Replaces the text of the field at page coordinates $1, $2.
type_into() {
  click_page "$1" "$2"
  xdotool key ctrl+a BackSpace
  xdotool type --delay 20 "$3"
  sleep 0.1
}
shot() { import -window "$window" "$shots/$1.png" 2>/dev/null || true; }
key_of() { grep -a "^$1 = " "$config" | head -n 1 | sed "s/^[^=]*= //" | tr -d "\r"; }

"$program" /i  # config.ini with the defaults, to compare with
before_x=$(key_of aclockx)

# 1. /c shows the window with the title text; every page, for the eye.
start_dialog
echo "start-up: ${startup_ms} ms until the window was on screen"
geometry=$(xdotool getwindowgeometry "$window")
echo "$geometry" | grep -q 'Geometry: 530x330' || fail "window geometry: $geometry"
names=(general background foreground snowflakes wind sound clock calendar about)
for page in 0 1 2 3 4 5 6 7 8; do
  tab "$page"
  shot "dialog-$page-${names[$page]}"
done
pass "the window and its nine pages"

# 2. Typing into "Number of Flakes" and OK writes the clamped value; the rules follow the
#    clicks: unticking the analog clock disables its fields, so typing there changes nothing.
tab 0
type_into 180 105 5000
tab 6
click_page 25 40                  # "Display Analog Clock" off (it is on by default)
type_into 65 70 777               # 81 is disabled now: nothing is typed
choose 290 165 1                  # "Time Format": American
tab 1
choose 200 40 3                   # "Blank Screen" shows the colour sliders
shot "dialog-background-blank"
click 390 302                     # OK
wait_gone || fail "exit code"
[[ -f $config ]] || fail "no config.ini after OK"
[[ $(key_of flakes) == 2000 ]] || fail "flakes=$(key_of flakes)"
[[ $(key_of aclock) == 0 ]] || fail "aclock=$(key_of aclock)"
[[ $(key_of aclockx) == "$before_x" ]] || fail "aclockx=$(key_of aclockx)"
[[ $(key_of timefrm) == 2 ]] || fail "timefrm=$(key_of timefrm)"
[[ $(key_of background) == 3 ]] || fail "background=$(key_of background)"
pass "typing, rules and OK"

# 3. Cancel after edits leaves config.ini's bytes unchanged; so does the close box.
cp "$config" "$work/before.ini"
start_dialog
type_into 180 105 900
tab 7
click_page 25 40
click 480 302                     # Cancel
wait_gone || fail "exit code"
cmp -s "$config" "$work/before.ini" || fail "Cancel changed config.ini"
start_dialog
type_into 180 105 900
xdotool windowfocus --sync "$window" key Escape
wait_gone || fail "exit code"
cmp -s "$config" "$work/before.ini" || fail "closing changed config.ini"
pass "Cancel and the close box"

# 4. A requester opened with a browse button and cancelled changes nothing.
start_dialog
tab 2
click_page 25 40                  # "Display Custom Image" on
click_page 342 70                 # browse
requester=$(find_window '^Open Image$') || fail "the requester did not appear"
import -window "$requester" "$shots/dialog-requester.png" 2>/dev/null || true
xdotool windowfocus --sync "$requester" key Escape
sleep 0.5
xdotool search --onlyvisible --name '^Open Image$' >/dev/null 2>&1 && fail "the requester stayed open"
old_image=$(key_of foregroundimage)
click 390 302                     # OK
wait_gone || fail "exit code"
[[ $(key_of foregroundimage) == "$old_image" ]] || fail "foregroundimage=$(key_of foregroundimage)"
[[ $(key_of foreground) == 1 ]] || fail "foreground=$(key_of foreground)"
pass "a cancelled requester"

# 5. The update check against the loopback site shows its box; the links go to the site.
start_dialog
click 222 302                     # "Check For New Version"
box=$(find_window '^No Update$') || fail "no update box"
import -window "$box" "$shots/dialog-update-box.png" 2>/dev/null || true
xdotool windowfocus --sync "$box" key Return
sleep 0.3
click 152 302                     # home page
click 187 302                     # feedback
click 480 302
wait_gone || fail "exit code"
grep -qx "$FLURRIX_SITE/screensavers/flurrix.html" "$work/opened" || fail "opened: $(cat "$work/opened")"
grep -q '^mailto:.*?subject=Flurrix%20Screensaver%203.3%20Feedback$' "$work/opened" ||
  fail "opened: $(cat "$work/opened")"
pass "update check and links"

# 6. OK with a failing check shows its box and keeps the dialog open.
start_dialog
tab 1
choose 200 40 4                   # "Custom Images" with an empty list
shot "dialog-background-custom"
# A double-click on the empty list asks for pictures to add; cancelled, it adds nothing.
xdotool mousemove --window "$window" 250 200 click --repeat 2 --delay 80 1
requester=$(find_window '^Add Image$') || fail "no Add Image requester after a double-click"
xdotool windowfocus --sync "$requester" key Escape
sleep 0.5
click 390 302
box=$(find_window '^Error$') || fail "no error box"
xdotool windowfocus --sync "$box" key Return
sleep 0.3
kill -0 "$dialog" 2>/dev/null || fail "the dialog closed"
click 480 302
wait_gone || fail "exit code"
[[ $(key_of background) == 3 ]] || fail "background=$(key_of background)"
pass "a failing check"

# 7. With a window handle the dialog stays above that window (transient for it).
xmessage -name flurrix-owner -title flurrix-owner "owner" &
owner_pid=$!
owner=$(find_window '^flurrix-owner$') || fail "the owner window did not appear"
start_dialog "/c:$owner"
transient=$(xprop -id "$window" WM_TRANSIENT_FOR 2>/dev/null || true)
kill "$owner_pid" 2>/dev/null || true
click 480 302
wait_gone || fail "exit code"
[[ $transient == *"$(printf '0x%x' "$owner")"* ]] || fail "WM_TRANSIENT_FOR: $transient, owner $owner"
pass "owned by the window of /c:HANDLE"

# 8. Tab goes as a person reads: the tab strip, the page's controls top to bottom and left to
#    right, the icons, OK and Cancel, and round again; the arrow keys on the tab strip choose the
#    page beside. With FLURRIX_REPORT_FOCUS the dialog writes "focus NUMBER" for each control that
#    takes the keyboard focus. Numbers: 1 the tab strip; 4 Display Mode, 9 Number of Flakes,
#    11 Transition Time, 13 Exit on, 17 Language; 56 Original Snowflake, 57 its slider, 59 Custom
#    Snowflake, 63 Snowflake Size, 64 3D Rotation; 112 to 114 the icons, 116 OK, 117 Cancel.
export FLURRIX_REPORT_FOCUS=1
start_dialog >"$work/focus"
unset FLURRIX_REPORT_FOCUS
xdotool windowfocus --sync "$window"
# press KEY...: presses each key; the numbers of the controls focused after each.
press() {
  local key lines
  for key in "$@"; do
    lines=$(wc -l <"$work/focus")
    xdotool key "$key"
    for _ in $(seq 40); do (($(wc -l <"$work/focus") > lines)) && break; sleep 0.05; done
    echo -n "$(tail -n 1 "$work/focus" | cut -d' ' -f2) "
  done
}
first=$(head -n 1 "$work/focus")
[[ $first == "focus 116" ]] || fail "first focus: $first, not OK"
order=$(press Tab Tab Tab Tab Tab Tab Tab Tab Tab Tab Tab Tab)
[[ $order == "117 1 4 9 11 13 17 112 113 114 116 117 " ]] || fail "Tab order on General: $order"
press Tab >/dev/null                    # the tab strip
xdotool key Right Right Right           # Snowflakes
sleep 0.2
order=$(press Tab Tab Tab Tab Tab Tab)
[[ $order == "56 57 59 63 64 112 " ]] || fail "Tab order on Snowflakes: $order"
order=$(press shift+Tab shift+Tab)
[[ $order == "64 63 " ]] || fail "Shift+Tab order on Snowflakes: $order"
click 480 302
wait_gone || fail "exit code"
pass "Tab in reading order from the tab strip to Cancel"

echo "configuration dialog: $passed passed, 0 failed"

#!/usr/bin/env bash
# The uninstall page in a virtual X server, driven by real mouse clicks and key presses:
#   uninstall_page.sh PROGRAM SCREENSHOT_FOLDER
set -euo pipefail
source "$(dirname "$0")/virtual_display.sh"
program=$1
shots=$2
work=$(mktemp -d)
mkdir -p "$shots" "$work/bin" "$work/config" "$work/runtime"
export XDG_CONFIG_HOME=$work/config XDG_RUNTIME_DIR=$work/runtime
export FLURRIX_SITE=http://127.0.0.1:9/mirror
export PATH=$work/bin:$PATH

# xdg-open stand-in: records what the page opens.
cat > "$work/bin/xdg-open" <<SCRIPT
#!/bin/sh
echo "\$1" >> "$work/opened"
SCRIPT
chmod +x "$work/bin/xdg-open"

cleanup() { kill "$xvfb" 2>/dev/null || true; rm -rf "$work"; }
trap cleanup EXIT
start_virtual_display 1024x768

# Starts the page and prints its process id once its window is mapped.
start_page() {
  "$program" /u &
  page=$!
  for _ in $(seq 100); do
    window=$(xdotool search --onlyvisible --name '^Uninstall$' 2>/dev/null | head -n 1 || true)
    [[ -n "$window" ]] && return 0
    sleep 0.1
  done
  fail "the uninstall window did not appear"
}

wait_gone() {
  for _ in $(seq 100); do kill -0 "$page" 2>/dev/null || { wait "$page"; return $?; }; sleep 0.1; done
  fail "the program did not end"
}

# 1. Next with the box ticked opens the uninstall page of the site.
start_page
sleep 0.3
import -window root "$shots/uninstall-page.png" 2>/dev/null || true
geometry=$(xdotool getwindowgeometry "$window")
echo "$geometry" | grep -q 'Geometry: 300x100' || fail "window geometry: $geometry"
# The configuration dialog's look: its light surface, not FLTK's plain grey.
import -window "$window" "$work/page.png" 2>/dev/null || fail "no picture of the page"
surface=$(convert "$work/page.png" -depth 8 -format '%[hex:p{5,5}]' info:)
[[ $surface == F3F3F3 ]] || fail "the page's surface is #$surface, not the dialog's #F3F3F3"
# A second copy started now ends at once and writes nothing.
timeout 10 "$program" /i || fail "second copy"
[[ ! -e "$work/config/Corvantic/Flurrix Screensaver/config.ini" ]] || fail "second copy wrote config.ini"
xdotool mousemove --window "$window" 240 72 click 1
wait_gone || fail "exit code"
# The address is opened without waiting: the stand-in browser writes it a moment later.
address=http://127.0.0.1:9/mirror/screensavers/flurrix-uninstall.html
for _ in $(seq 100); do [[ "$(cat "$work/opened" 2>/dev/null)" == "$address" ]] && break; sleep 0.1; done
[[ "$(cat "$work/opened" 2>/dev/null)" == "$address" ]] || fail "opened: $(cat "$work/opened" 2>/dev/null)"

# 2. Untick, then Next: nothing is opened.
rm -f "$work/opened"
start_page
xdotool mousemove --window "$window" 40 30 click 1
sleep 0.2
xdotool mousemove --window "$window" 240 72 click 1
wait_gone || fail "exit code"
[[ ! -e "$work/opened" ]] || fail "opened after unticking: $(cat "$work/opened")"

# 3. Closing the window (Escape) opens nothing.
start_page
xdotool windowfocus --sync "$window" key Escape
wait_gone || fail "exit code"
[[ ! -e "$work/opened" ]] || fail "opened after closing"
echo "uninstall page: 3 passed, 0 failed"

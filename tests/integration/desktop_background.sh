#!/usr/bin/env bash
# The "Desktop" and "Wallpaper" backgrounds on a 1280 x 720 virtual X server whose root window
# shows a known pattern: "desktop.bmp" holds the pattern at 1:1 while a run is on (the top-left
# part when the run is smaller than the screen, blurred when asked), an F12 shot shows it behind
# the snow, and the file is gone after the run; a wallpaper is prepared from the desktop's
# settings, and a missing one is reported and starts no run.
#   desktop_background.sh PROGRAM SCREENSHOT_FOLDER
set -euo pipefail
source "$(dirname "$0")/virtual_display.sh"
program=$1
shots=$2
work=$(mktemp -d)
mkdir -p "$shots" "$work/config" "$work/runtime" "$work/bin"
export XDG_CONFIG_HOME=$work/config XDG_RUNTIME_DIR=$work/runtime
folder="$work/config/Corvantic/Flurrix Screensaver"
mkdir -p "$folder"

run=
cleanup() {
  [[ -n $run ]] && kill "$run" 2>/dev/null || true
  kill "$xvfb" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT
start_virtual_display 1280x720

# Root-mean-square difference (0..1) of two pictures of the same size.
difference() { compare -metric RMSE "$1" "$2" null: 2>&1 | sed 's/.*(\(.*\)).*/\1/' || true; }
below() { awk -v d="$1" -v limit="$2" 'BEGIN { exit !(d < limit) }'; }

# A colour ramp under a checkerboard: any scaling or shift shows.
convert -size 1280x720 -define gradient:direction=east gradient:'#e03020'-'#2040e0' \
  \( -size 1280x720 pattern:checkerboard \) -compose multiply -composite "$work/painted.png"
# display reports failure even when it has painted the root; what the screen shows is the truth.
display -window root "$work/painted.png" || true
import -window root "$work/pattern.png"

settings() {
  cat > "$folder/config.ini" <<INI
[Screensaver]
videow = $1
videoh = $2
videod = 32
flakes = 200
exiton = 2
background = $3
desktopblur = $4
INI
}

start() {
  "$program" /s &
  run=$!
}

# A key sent before the run's window takes input is lost: Esc is pressed again until it ends.
stop() {
  for _ in $(seq 10); do
    kill -0 "$run" 2>/dev/null || break
    xdotool key Escape
    for _ in $(seq 20); do kill -0 "$run" 2>/dev/null || break; sleep 0.1; done
  done
  kill -0 "$run" 2>/dev/null && fail "Esc did not end the run"
  wait "$run" || fail "exit code $?"
  run=
}

# Waits for "desktop.bmp" of `bytes` bytes while the run is on.
wait_file() {
  for _ in $(seq 100); do
    [[ -f $folder/$1 && $(stat -c %s "$folder/$1") == "$2" ]] && return 0
    sleep 0.1
  done
  fail "no $1 of $2 bytes"
}

# 1. The whole screen, unblurred, and an F12 shot of the snow in front of it.
settings 1280 720 1 0
start
wait_file desktop.bmp $((54 + 1280 * 720 * 3))
d=$(difference "$folder/desktop.bmp" "$work/pattern.png")
below "$d" 0.001 || fail "desktop.bmp differs from the screen by $d"
passed=
for try in $(seq 15); do
  sleep 2
  kill -0 "$run" 2>/dev/null || fail "the run ended early"
  xdotool key F12
  shot=
  for _ in $(seq 50); do
    shot=$(ls -t "$folder"/scr*.bmp 2>/dev/null | head -n 1 || true)
    [[ -n $shot && $(stat -c %s "$shot") == $((54 + 1280 * 720 * 3)) ]] && break
    sleep 0.1
  done
  [[ -n $shot ]] || fail "F12 wrote no screenshot"
  d=$(difference "$shot" "$work/pattern.png")
  # The snow covers a little of it; a black or faded background differs by far more.
  if below "$d" 0.08; then passed=1; break; fi
  echo "try $try: the screenshot differs from the desktop by $d"
  rm -f "$shot"
done
convert "$shot" "$shots/desktop-background.png"
[[ -n $passed ]] || fail "the desktop is not behind the snow (see $shots/desktop-background.png)"
stop
[[ -e $folder/desktop.bmp ]] && fail "desktop.bmp is left after the run"

# 2. A run smaller than the screen takes the top-left part at 1:1; the blur softens it.
settings 640 360 1 4
start
wait_file desktop.bmp $((54 + 640 * 360 * 3))
convert "$work/pattern.png" -crop 640x360+0+0 +repage "$work/part.png"
convert "$work/pattern.png" -resize 640x360! "$work/scaled.png"
part=$(difference "$folder/desktop.bmp" "$work/part.png")
scaled=$(difference "$folder/desktop.bmp" "$work/scaled.png")
cp "$folder/desktop.bmp" "$work/blurred.bmp"
stop
below "$part" 0.2 || fail "the small desktop.bmp is not the top-left part ($part)"
below 0.001 "$part" || fail "desktop.bmp is not blurred"
below "$part" "$scaled" || fail "desktop.bmp looks scaled ($part against $scaled)"
[[ -e $folder/desktop.bmp ]] && fail "desktop.bmp is left after the run"

# 3. The wallpaper named by the desktop's settings, stretched, present during the run only.
convert -size 100x50 xc:'#2080c0' "$work/wall.png"
cat > "$work/bin/gsettings" <<SH
#!/bin/sh
case "\$3" in
  picture-uri) echo "'file://$work/wall.png'";;
  picture-options) echo "'zoom'";;
  *) exit 1;;
esac
SH
chmod +x "$work/bin/gsettings"
settings 1280 720 2 0
PATH=$work/bin:$PATH start
wait_file wallpaper.bmp $((54 + 1280 * 720 * 3))
colour=$(convert "$folder/wallpaper.bmp" -format '%[pixel:p{1279,719}]' info:)
stop
[[ $colour == "srgb(32,128,192)" ]] || fail "wallpaper.bmp shows $colour"
[[ -e $folder/wallpaper.bmp ]] && fail "wallpaper.bmp is left after the run"

# 4. No wallpaper set: the error is reported (on stderr without a display) and nothing runs.
printf '#!/bin/sh\nexit 1\n' > "$work/bin/gsettings"
out=$(PATH=$work/bin:$PATH DISPLAY= timeout 20 "$program" /s 2>&1) || fail "exit code $? without a wallpaper"
[[ $out == *"Wallpaper not found! Please set a bitmap image as desktop background."* ]] ||
  fail "no wallpaper error: $out"
echo "desktop background: captured, shown, blurred, cleaned up; wallpaper prepared and reported"

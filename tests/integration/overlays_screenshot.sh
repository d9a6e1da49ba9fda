#!/usr/bin/env bash
# A full-screen run at 1920 x 1080 in a virtual X server with both clocks, the calendar, the
# foreground picture and the foreground text on, photographed with F12: each overlay must show
# white (the picture: itself) where its settings put it, and nothing white elsewhere.
#   overlays_screenshot.sh PROGRAM SCREENSHOT_FOLDER
set -euo pipefail
source "$(dirname "$0")/virtual_display.sh"
program=$1
shots=$2
data=$(dirname "$program")/data
work=$(mktemp -d)
mkdir -p "$shots" "$work/config" "$work/runtime"
export XDG_CONFIG_HOME=$work/config XDG_RUNTIME_DIR=$work/runtime
folder="$work/config/Corvantic/Flurrix Screensaver"
mkdir -p "$folder"

# A plain dark background without snow, so that only the overlays are white.
cat > "$folder/config.ini" <<INI
[Screensaver]
videow = 1920
videoh = 1080
videod = 32
flakes = 0
exiton = 2
background = 3
blankr = 20
blankg = 40
blankb = 80
foreground = 1
foregroundimagex = 150
foregroundimagey = 300
foregroundtxt = 1
foregroundtext = Merry Christmas
foregroundtextx = 290
foregroundtexty = 10
aclock = 1
aclocksize = 10
aclockx = -300
aclocky = -150
dclock = 1
dclockx = -260
dclocky = -70
timefrm = 1
calendar = 1
calendarx = -280
calendary = 10
calendarsize = 2
calendarfirst = 1
INI

run=
cleanup() {
  [[ -n $run ]] && kill "$run" 2>/dev/null || true
  kill "$xvfb" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT
start_virtual_display 1920x1080

# Near-white pixels in a crop (WxH+X+Y) of a picture.
white() { convert "$1" -crop "$2" +repage -colorspace gray -threshold 80% -format '%[fx:round(mean*w*h)]' info:; }
# Root-mean-square difference (0..1) of a crop against a picture of the same size.
difference() {
  convert "$1" -crop "$2" +repage "$work/crop.png"
  compare -metric RMSE "$work/crop.png" "$3" null: 2>&1 | sed 's/.*(\(.*\)).*/\1/' || true
}

check() {
  local shot=$1 count
  count=$(white "$shot" 470x60+290+0);       (( count > 300 )) || { echo "foreground text: $count"; return 1; }
  count=$(white "$shot" 240x230+1680+0);     (( count > 150 )) || { echo "calendar: $count"; return 1; }
  count=$(white "$shot" 180x180+1529+839);   (( count > 300 )) || { echo "analog clock: $count"; return 1; }
  count=$(white "$shot" 214x60+1706+1020);   (( count > 300 )) || { echo "digital clock: $count"; return 1; }
  count=$(white "$shot" 900x500+620+450);    (( count == 0 )) || { echo "white in the middle: $count"; return 1; }
  local d
  d=$(difference "$shot" 440x140+150+300 "$data/foreground/happynewyear.bmp")
  awk -v d="$d" 'BEGIN { exit !(d < 0.02) }' || { echo "foreground picture differs by $d"; return 1; }
}

"$program" /s &
run=$!
# The run fades in from black; photograph until every overlay shows, or give up.
passed=
for try in $(seq 20); do
  sleep 2
  kill -0 "$run" 2>/dev/null || fail "the run ended early"
  xdotool key F12
  # Waits for the whole file: a 24-bit 1920 x 1080 BMP.
  shot=
  for _ in $(seq 50); do
    shot=$(ls -t "$folder"/scr*.bmp 2>/dev/null | head -n 1 || true)
    [[ -n $shot && $(stat -c %s "$shot") == 6220854 ]] && break
    sleep 0.1
  done
  [[ -n $shot ]] || fail "F12 wrote no screenshot"
  if reason=$(check "$shot"); then
    passed=1
    break
  fi
  echo "try $try: $reason"
  mv "$shot" "$work/previous.bmp"
  shot=$work/previous.bmp
done
convert "$shot" "$shots/overlays-1920x1080.png"
[[ -n $passed ]] || fail "$reason (see $shots/overlays-1920x1080.png)"

xdotool key Escape
for _ in $(seq 100); do kill -0 "$run" 2>/dev/null || break; sleep 0.1; done
kill -0 "$run" 2>/dev/null && fail "Esc did not end the run"
wait "$run" || fail "exit code $?"
run=
echo "overlays: every overlay in its place"

#!/usr/bin/env bash
# The full-screen run in a virtual X server: backgrounds and snow read back from F12 screenshots,
# and hand-edited settings and broken picture files that must leave a running program which
# still ends on a mouse move.
#   snow_backgrounds.sh PROGRAM SCREENSHOT_FOLDER
set -euo pipefail
source "$(dirname "$0")/virtual_display.sh"
program=$1
shots=$2
work=$(mktemp -d)
config="$work/config/Corvantic/Flurrix Screensaver"
mkdir -p "$shots" "$config/imgs" "$work/runtime"
chmod 700 "$work/runtime"
export XDG_CONFIG_HOME=$work/config XDG_RUNTIME_DIR=$work/runtime
unset SDL_VIDEODRIVER

saver=
cleanup() {
  if [[ -n $saver ]]; then kill "$saver" 2>/dev/null || true; fi
  kill "$xvfb" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT
start_virtual_display 640x360

passed=0

# Starts a run with these config.ini lines under [Screensaver].
start() {
  printf '[Screensaver]\n' >"$config/config.ini"
  printf '%s\n' "$@" >>"$config/config.ini"
  rm -f "$config"/scr*.bmp
  "$program" /s &
  saver=$!
}

# Presses F12 until a screenshot appears and keeps it as $shots/NAME.png.
shoot() {
  local shot=
  for _ in $(seq 60); do
    kill -0 "$saver" 2>/dev/null || fail "$1: the program ended"
    xdotool key F12
    sleep 0.5
    shot=$(ls "$config"/scr*.bmp 2>/dev/null | head -n 1 || true)
    [[ -n $shot ]] && whole_bmp "$shot" && break
    shot=
  done
  [[ -n $shot ]] || fail "$1: no screenshot"
  convert "$shot" "$shots/$1.png"
  rm -f "$config"/scr*.bmp
}

mean() { convert "$shots/$1.png" -format '%[fx:mean]' info:; }

# Screenshots a second apart until the picture no longer fades (the mean level stays put).
settled() {
  local last=-1 now
  for _ in $(seq 30); do
    shoot "$1"
    now=$(mean "$1")
    awk -v a="$last" -v b="$now" 'BEGIN { exit !(a - b < 0.003 && b - a < 0.003) }' && return 0
    last=$now
    sleep 1
  done
  fail "$1: the picture never settled"
}

# A mouse move ends the run within 20 seconds, with exit code 0 (moved again each second: a move
# made before the run takes input is lost).
finish() {
  for i in $(seq 200); do
    kill -0 "$saver" 2>/dev/null || break
    ((i % 10 == 1)) && xdotool mousemove_relative 60 0
    sleep 0.1
  done
  kill -0 "$saver" 2>/dev/null && fail "$1: still running after the mouse moved"
  wait "$saver" || fail "$1: exit code $?"
  saver=
  passed=$((passed + 1))
}

above() { awk -v a="$1" -v b="$2" 'BEGIN { exit !(a > b) }'; }

# Fraction of a kept screenshot that is exactly the colour r, g, b (0..1).
share_of() {
  convert "$shots/$1.png" -fx "(abs(r - $2) + abs(g - $3) + abs(b - $4)) < 0.002" \
    -format '%[fx:mean]' info:
}

# 1. A plain colour: pure red wherever there is no flake, and flakes on it.
start background=3 blankr=255 blankg=0 blankb=0
shoot blank-red
red=$(share_of blank-red 1 0 0)
above "$red" 0.9 || fail "blank screen: only $red of it pure red"
above 0.9999 "$red" || fail "blank screen: no snow on it"
finish "blank screen"

# 2. The slide shows show a picture once it has faded in: the winter pictures, the gradients, and
# one picture of the user's own, dark blue, with the snow in front of it.
convert -size 64x64 xc:'rgb(0,0,160)' "$config/imgs/blue.png"
for mode in 0 4 5; do
  start background=$mode pictime=1000
  settled "slide-show-$mode"
  level=$(mean "slide-show-$mode")
  above "$level" 0.08 || fail "mode $mode: dark screen ($level)"
  finish "mode $mode"
done
blue=$(share_of slide-show-4 0 0 0.62745)
above "$blue" 0.8 || fail "own picture: only $blue of the screen shows it"
snow=$(convert "$shots/slide-show-4.png" -fx 'r > 0.1' -format '%[fx:mean]' info:)
above "$snow" 0.0008 || fail "own picture: no snow in front ($snow)"

# 3. Broken files among the user's pictures, changed without a pause: passed over.
convert -size 64x64 xc:gray "$config/imgs/small.jpg"
python3 - "$config/imgs" <<'PY'
import os, struct, sys, zlib
folder = sys.argv[1]
def chunk(kind, data):
    return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))
def png_header(w, h):
    return b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", w, h, 8, 2, 0, 0, 0))
def write(name, data):
    with open(os.path.join(folder, name), "wb") as f:
        f.write(data)
write("zero.jpg", b"")
write("notapicture.png", b"just some text, not a picture\n" * 20)
write("noise.jpg", os.urandom(5000))
write("huge-20000.png", png_header(20000, 20000) + chunk(b"IDAT", zlib.compress(b"\0" * 60001)))
write("huge-16000.png", png_header(16000, 16000) + chunk(b"IDAT", zlib.compress(b"\0" * 48001)))
# A real small JPEG whose frame header claims 16000 x 16000: libjpeg would fill it out in grey.
jpeg = bytearray(open(os.path.join(folder, "small.jpg"), "rb").read())
sof = jpeg.find(b"\xff\xc0")
jpeg[sof + 5:sof + 9] = struct.pack(">HH", 16000, 16000)
write("huge-16000.jpg", bytes(jpeg))
good = open(os.path.join(folder, "blue.png"), "rb").read()
write("truncated.png", good[: len(good) // 2])
os.remove(os.path.join(folder, "small.jpg"))
PY
mkdir "$config/imgs/folder.png"
for pictime in 0 -1; do
  start background=4 pictime=$pictime
  sleep 3
  # The one good picture shows between the fades.
  shown=
  for _ in $(seq 5); do
    shoot "broken-files-$pictime"
    level=$(convert "$shots/broken-files-$pictime.png" -format '%[fx:mean.b]' info:)
    above "$level" 0.1 && shown=yes && break
  done
  [[ -n $shown ]] || fail "broken files, pictime $pictime: the good picture never shows"
  finish "broken files, pictime $pictime"
done

# 4. Hand-edited numbers out of range.
for setting in flakes=10000000 flakes=0 flakes=-5 flakesize=100000 background=200 speed=-3; do
  start "$setting"
  sleep 2
  shoot "hostile-${setting/=/-}"
  finish "$setting"
done
echo "snow and backgrounds: $passed passed, 0 failed"

#!/usr/bin/env bash
# Two monitors side by side (Xephyr with Xinerama inside a virtual X server: 1920x1080 and
# 1280x1024): the run shows the picture and snow on both, each at its own size and shape; the
# mouse and keys end it whichever monitor the pointer is on; F12 saves the primary monitor; a
# monitor that cannot take the context stays black and the run goes on.
#   two_monitors.sh PROGRAM SCREENSHOT_FOLDER
set -euo pipefail
source "$(dirname "$0")/virtual_display.sh"
program=$(realpath "$1")
shots=$2
work=$(mktemp -d)
config="$work/config/Corvantic/Flurrix Screensaver"
mkdir -p "$shots" "$work/config" "$work/runtime"
export XDG_CONFIG_HOME=$work/config XDG_RUNTIME_DIR=$work/runtime FLURRIX_SITE=http://127.0.0.1:9
cleanup() { pkill -P $$ 2>/dev/null || true; rm -rf "$work"; }
trap cleanup EXIT

start_virtual_display 3200x1080
Xephyr -displayfd 4 -screen 1920x1080+0+0 -screen 1280x1024+1920+0 +xinerama -nolisten tcp \
  -noreset 4>"$work/nested" >/dev/null 2>&1 &
for _ in $(seq 100); do [[ -s $work/nested ]] && break; sleep 0.1; done
[[ -s $work/nested ]] || fail "Xephyr did not start"
outer=$DISPLAY
export DISPLAY=:$(head -n 1 "$work/nested")
for _ in $(seq 100); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done
xdpyinfo >/dev/null 2>&1 || fail "Xephyr does not answer"

"$program" /i
sed -i -e 's/^flakes = .*/flakes = 2000/' -e 's/^flakesize = .*/flakesize = 8/' \
  -e 's/^music = .*/music = 0/' "$config/config.ini"

# Both monitors as Xephyr's window on the outer server shows them; `monitor SHOT N OUT` cuts
# monitor N out of a shot.
shoot() { DISPLAY=$outer import -window root -crop 3200x1080+0+0 "$1"; }
monitor() {
  case $2 in
    1) convert "$1" -crop 1920x1080+0+0 +repage "$3" ;;
    2) convert "$1" -crop 1280x1024+1920+0 +repage "$3" ;;
  esac
}
brightest() { convert "$1" -format '%[fx:maxima.r+maxima.g+maxima.b]' info:; }
changed() { compare -metric AE -fuzz 10% "$1" "$2" null: 2>&1 || true; }
rmse() { compare -metric RMSE "$1" "$2" null: 2>&1 | sed 's/.*(\(.*\))/\1/' || true; }
# Waits until the first picture has faded in on both monitors.
faded_in() {
  for _ in $(seq 60); do
    shoot "$work/now.png"
    monitor "$work/now.png" 1 "$work/h1.png"
    monitor "$work/now.png" 2 "$work/h2.png"
    [[ $(convert "$work/h1.png" -format '%[fx:int(mean*255)]' info:) -gt 100 &&
       $(convert "$work/h2.png" -format '%[fx:int(mean*255)]' info:) -gt 100 ]] && return 0
    sleep 0.5
  done
  fail "the picture did not fade in on both monitors"
}

start_run
faded_in
shoot "$work/a.png"
sleep 1
shoot "$work/b.png"
cp "$work/a.png" "$shots/run-two-monitors.png"
for n in 1 2; do
  monitor "$work/a.png" $n "$work/a$n.png"
  monitor "$work/b.png" $n "$work/b$n.png"
  [[ $(changed "$work/a$n.png" "$work/b$n.png") -gt 300 ]] || fail "no snow moves on monitor $n"
done
# The second monitor shows the middle of the picture at the primary's scale (the picture keeps
# its shape and covers the 5:4 monitor), not the whole picture squeezed into 5:4.
convert "$work/a1.png" -crop 1350x1080+285+0 +repage -resize 1280x1024! "$work/middle.png"
convert "$work/a1.png" -resize 1280x1024! "$work/squeezed.png"
middle=$(rmse "$work/a2.png" "$work/middle.png")
squeezed=$(rmse "$work/a2.png" "$work/squeezed.png")
awk -v m="$middle" -v s="$squeezed" 'BEGIN { exit !(m < 0.6 * s) }' \
  || fail "the second monitor is not the middle of the picture ($middle against $squeezed squeezed)"

# F12 saves the primary monitor only.
xdotool key F12
for _ in $(seq 50); do ls "$config"/scr*.bmp >/dev/null 2>&1 && break; sleep 0.1; done
[[ $(identify -format '%w %h' "$config"/scr*.bmp) == "1920 1080" ]] || fail "F12 did not save the primary monitor"

# The mouse on the second monitor ends the run.
xdotool mousemove 2600 600
[[ $(xdotool getmouselocation --shell | sed -n 's/^X=//p') -gt 1920 ]] || fail "the pointer is not on the second monitor"
xdotool mousemove_relative 60 0
ended() {
  for _ in $(seq 50); do kill -0 $run 2>/dev/null || { wait $run; return $?; }; sleep 0.1; done
  fail "the run did not end"
}
ended

# So does a key, with exiton 1, the pointer still on the second monitor.
sed -i 's/^exiton = .*/exiton = 1/' "$config/config.ini"
start_run
xdotool key b
ended

# A monitor whose window cannot take the context is covered in black; the run goes on.
FLURRIX_FAIL_MONITOR=2 start_run
faded=
for _ in $(seq 60); do
  shoot "$work/c.png"
  monitor "$work/c.png" 1 "$work/c1.png"
  [[ $(convert "$work/c1.png" -format '%[fx:int(mean*255)]' info:) -gt 100 ]] && { faded=1; break; }
  sleep 0.5
done
[[ -n $faded ]] || fail "the primary monitor shows no picture beside a failed one"
monitor "$work/c.png" 2 "$work/c2.png"
[[ $(brightest "$work/c2.png") == 0 ]] || fail "the failed monitor is not black"
kill -0 $run || fail "the run ended with a failed monitor"
xdotool key c
ended

echo "two-monitor tests passed"

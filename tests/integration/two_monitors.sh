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
bright() { [[ $(convert "$1" -format '%[fx:int(mean*255)]' info:) -gt 100 ]]; }
# True once the first picture has faded in on both monitors.
faded_in() {
  shoot "$work/now.png"
  monitor "$work/now.png" 1 "$work/h1.png"
  monitor "$work/now.png" 2 "$work/h2.png"
  bright "$work/h1.png" && bright "$work/h2.png"
}
# True once monitor N of a new shot differs from a.png's by more than the change of a few flakes.
snow_moved() {
  shoot "$work/b.png"
  monitor "$work/b.png" "$1" "$work/b$1.png"
  moved=$(changed "$work/a$1.png" "$work/b$1.png")
  awk -v m="$moved" 'BEGIN { exit !(m > 300) }'  # compare may write large counts as 2.07e+06
}

start_run
wait_until 120 faded_in || fail "the picture did not fade in on both monitors"
shoot "$work/a.png"
cp "$work/a.png" "$shots/run-two-monitors.png"
for n in 1 2; do
  monitor "$work/a.png" $n "$work/a$n.png"
  wait_until 60 snow_moved $n || fail "no snow moves on monitor $n ($moved pixels changed)"
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
saved() { whole_bmp "$(ls "$config"/scr*.bmp 2>/dev/null | head -n 1)"; }
wait_until 60 saved || fail "F12 saved nothing"
[[ $(identify -format '%w %h' "$config"/scr*.bmp) == "1920 1080" ]] || fail "F12 did not save the primary monitor"

# The mouse on the second monitor ends the run.
xdotool mousemove 2600 600
[[ $(xdotool getmouselocation --shell | sed -n 's/^X=//p') -gt 1920 ]] || fail "the pointer is not on the second monitor"
xdotool mousemove_relative 60 0
gone() { ! kill -0 $run 2>/dev/null; }
ended() {
  wait_until 60 gone || fail "the run did not end"
  wait $run
}
ended

# So does a key, with exiton 1, the pointer still on the second monitor.
sed -i 's/^exiton = .*/exiton = 1/' "$config/config.ini"
start_run
xdotool key b
ended

# A monitor whose window cannot take the context is covered in black; the run goes on.
FLURRIX_FAIL_MONITOR=2 start_run
primary_bright() {
  shoot "$work/c.png"
  monitor "$work/c.png" 1 "$work/c1.png"
  bright "$work/c1.png"
}
wait_until 120 primary_bright || fail "the primary monitor shows no picture beside a failed one"
monitor "$work/c.png" 2 "$work/c2.png"
[[ $(brightest "$work/c2.png") == 0 ]] || fail "the failed monitor is not black"
kill -0 $run || fail "the run ended with a failed monitor"
xdotool key c
ended

echo "two-monitor tests passed"

#!/usr/bin/env bash
# `flurrix --wayland` under a headless sway with two outputs (needs root, for the throwaway user
# that sway demands; skipped otherwise): a layer-shell surface on each output shows the picture
# and moving snow at the output's own size; SIGTERM ends it within a second leaving nothing
# behind; at scale 2, set while it runs, it draws the 1280x720 panel at its 1280x720 pixels (its
# buffers, and a shot at the panel's resolution as sharp as at scale 1); a portrait output
# (turned 90 degrees) shows the picture upright and cut to its shape, as an X11 monitor of that
# shape does; the compositor going away ends it; swayidle starts it after its timeout and a key
# typed with wtype ends it through the resume command.
#   wayland.sh BUILD_DIR SCREENSHOT_FOLDER VIRTUAL_POINTER
set -euo pipefail
source "$(dirname "$0")/virtual_display.sh"
source "$(dirname "$0")/wayland_checks.sh"
if [[ $(id -u) != 0 ]]; then
  echo "SKIPPED: sway runs only as a user of its own, which takes root to make"
  exit 0
fi
build=$(realpath "$1")
shots=$(realpath "$2")
pointer_tool=$(realpath "$3")
work=$(mktemp -d)
chmod 755 "$work"
user=flurrix-wl-$$
sway=
xephyr=
# Everything of the user's goes: its processes (gone before the user is, or userdel refuses), and
# the X sockets and locks that sway's Xwayland readiness leaves in /tmp when it is killed.
cleanup() {
  pkill -9 -u "$user" 2>/dev/null || true
  for _ in $(seq 100); do pgrep -u "$user" >/dev/null || break; sleep 0.1; done
  find /tmp /tmp/.X11-unix -maxdepth 1 -user "$user" -delete 2>/dev/null || true
  userdel "$user" 2>/dev/null || true
  [[ -n $xephyr ]] && kill "$xephyr" 2>/dev/null || true
  [[ -n $xvfb ]] && kill "$xvfb" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT
mkdir -p "$shots"
useradd --no-create-home --home-dir "$work/home" "$user"
mkdir -p "$work/home" "$work/runtime" "$work/config"
shots_dir=$work/home
chown "$user" "$work/home" "$work/runtime" "$work/config"
chmod 700 "$work/runtime"

# The program, its engine and its content where the user can reach them.
cp "$build/flurrix" "$build/libflurrix.so" "$pointer_tool" "$work/"
cp -r "$build/data" "$work/data"
program=$work/flurrix

# The compositor's socket and its IPC socket, once sway is up.
socket=
ipc=
as_user() {
  runuser -u "$user" -- env -u WAYLAND_DISPLAY -u SWAYSOCK HOME="$work/home" \
    XDG_RUNTIME_DIR="$work/runtime" XDG_CONFIG_HOME="$work/config" \
    ${socket:+WAYLAND_DISPLAY=$socket} ${ipc:+SWAYSOCK=$ipc} FLURRIX_SITE=http://127.0.0.1:9 "$@"
}

# A headless sway of two outputs of different sizes, nothing on them but an empty workspace.
printf 'output HEADLESS-1 resolution 1280x720\noutput * bg #203040 solid_color\n' \
  >"$work/sway.config"
start_sway() {
  socket= ipc= as_user env WLR_BACKENDS=headless WLR_RENDERER=pixman WLR_LIBINPUT_NO_DEVICES=1 \
    sway --config "$work/sway.config" >"$work/sway.log" 2>&1 &
  sway=$!
  for _ in $(seq 100); do
    socket=$(ls "$work/runtime"/wayland-? 2>/dev/null | head -n 1 || true)
    ipc=$(ls "$work/runtime"/sway-ipc.*.sock 2>/dev/null | head -n 1 || true)
    [[ -S $socket && -S $ipc ]] && break
    sleep 0.1
  done
  [[ -S $socket && -S $ipc ]] || fail "sway did not start: $(tail -n 3 "$work/sway.log")"
  as_user swaymsg create_output >/dev/null
  for _ in $(seq 50); do
    [[ $(as_user swaymsg -t get_outputs -r | grep -c '"name": "HEADLESS') == 2 ]] && return 0
    sleep 0.1
  done
  fail "sway has not two outputs"
}
stop_sway() {
  pkill -u "$user" -x sway 2>/dev/null || true
  wait "$sway" 2>/dev/null || true
  rm -f "$work/runtime"/wayland-* "$work/runtime"/sway-ipc.*
  socket= ipc=
}
outputs() { as_user swaymsg -t get_outputs -r | sed -n 's/.*"name": "\(HEADLESS-[0-9]*\)".*/\1/p'; }
shoot() { as_user grim -o "$1" "$shots_dir/$2"; }
# A process that has not ended (one ended but not yet reaped by its parent counts as ended).
running() {
  local state
  state=$(ps -o stat= -p "$1" 2>/dev/null) && [[ $state != Z* ]]
}
mean() { convert "$1" -format '%[fx:int(mean*255)]' info:; }
# Waits up to half a minute for the picture (brighter than sway's own background) on OUTPUT, shot
# into NAME.
picture_on() {
  for _ in $(seq 60); do
    shoot "$1" "$2" 2>/dev/null && [[ $(mean "$shots_dir/$2") -gt 100 ]] && return 0
    sleep 0.5
  done
  return 1
}
shot_file() { echo "$shots_dir/$1"; }
# SIGTERM to the run's process; waits for its end.
end_run() {
  local pid
  pid=$(run_pid)
  kill -TERM "$pid"
  wait "$run" || true
  for _ in $(seq 100); do running "$pid" || return 0; sleep 0.1; done
  fail "SIGTERM did not end the run"
}
# The lines of the run's log after the first N.
log_after() { tail -n "+$(($1 + 1))" "$work/stderr"; }

as_user "$program" /i
sed -i -e 's/^flakes = .*/flakes = 2000/' -e 's/^flakesize = .*/flakesize = 8/' \
  -e 's/^music = .*/music = 0/' "$work/config/Corvantic/Flurrix Screensaver/config.ini"

# Both outputs covered: the picture fades in and the snow moves on each, at the output's size.
start_sway
as_user "$program" --wayland 2>"$work/stderr" &
run=$!
snow_moved() {  # snow_moved OUTPUT: a new shot differs from OUTPUT-a.png by more than a few flakes
  shoot "$1" "$1-b.png"
  moved=$(compare -metric AE -fuzz 10% "$shots_dir/$1-a.png" "$shots_dir/$1-b.png" null: 2>&1 || true)
  awk -v m="$moved" 'BEGIN { exit !(m > 300) }'
}
for output in $(outputs); do
  picture_on "$output" "$output-a.png" || fail "$output shows no picture: $(cat "$work/stderr")"
  wait_until 60 snow_moved "$output" || fail "no snow moves on $output ($moved pixels changed)"
  cp "$shots_dir/$output-a.png" "$shots/wayland-$output.png"
done
[[ $(identify -format '%w %h' "$shots_dir/HEADLESS-1-a.png") == "1280 720" &&
   $(identify -format '%w %h' "$shots_dir/HEADLESS-2-a.png") == "1920 1080" ]] \
  || fail "a surface is not its output's size"

# An output turned off and on again keeps the run going and shows it again; sway 1.7 announces
# neither as a change of its outputs, so the run sees only its surface closed or resized.
as_user swaymsg output HEADLESS-2 disable >/dev/null
pgrep -u "$user" -x flurrix >/dev/null || fail "the run ended when an output went away"
as_user swaymsg output HEADLESS-2 enable >/dev/null
for output in HEADLESS-1 HEADLESS-2; do
  picture_on "$output" "$output-c.png" || fail "$output shows no picture after an output came back"
done
# An output plugged in during the run (a new output global) gets a surface of its own at once.
as_user swaymsg create_output >/dev/null
plugged=$(outputs | grep -vx 'HEADLESS-[12]' | head -n 1)
[[ -n $plugged ]] || fail "sway made no third output"
picture_on "$plugged" plugged.png || fail "$plugged, plugged in during the run, shows no picture"
as_user swaymsg output "$plugged" disable >/dev/null  # two outputs again for what follows

# SIGTERM ends it within a second, leaving no process and no file behind.
ls "$work/config/Corvantic/Flurrix Screensaver" >"$work/files-before"
pid=$(pgrep -u "$user" -x flurrix) || fail "the run's process is not there"
kill -TERM "$pid"
for _ in $(seq 10); do running "$pid" || break; sleep 0.1; done
running "$pid" && fail "SIGTERM did not end the run within a second"
wait "$run" || true
pgrep -u "$user" -x flurrix >/dev/null && fail "a process of the run is left"
ls "$work/config/Corvantic/Flurrix Screensaver" | cmp -s - "$work/files-before" \
  || fail "the run left files behind"

# Snow on a plain colour, whose flakes' edges are the picture's finest detail. Scale 2 set while
# the run goes on: HEADLESS-1 is 640x360 units now, and the run draws it at the panel's 1280x720
# pixels with a buffer scale of 2, as sharp as before.
settings="$work/config/Corvantic/Flurrix Screensaver/config.ini"
cp "$settings" "$work/settings-snow"
sed -i -e 's/^background = .*/background = 3/' -e 's/^blankr = .*/blankr = 90/' \
  -e 's/^blankg = .*/blankg = 120/' -e 's/^blankb = .*/blankb = 170/' "$settings"
as_user env WAYLAND_DEBUG=client "$program" --wayland 2>"$work/stderr" &
run=$!
settled HEADLESS-1 scale1.png
mark=$(wc -l <"$work/stderr")
as_user swaymsg output HEADLESS-1 scale 2 >/dev/null
# Shown once two frames of each surface went after the new scale.
for _ in $(seq 300); do
  log_after "$mark" | sed -n '/set_buffer_scale(2)/,$p' | grep -c '\.attach(' | grep -vx '[0-3]' >/dev/null && break
  sleep 0.1
done
log_after "$mark" | grep 'set_buffer_scale(2)' >/dev/null || fail "scale 2: no buffer scale of 2 was set"
# HEADLESS-1's buffers are 1280x720 before and after, HEADLESS-2's 1920x1080; Mesa keeps buffers
# of an unchanged size, so a new one would be of another size.
[[ $(log_after "$mark" | buffers /dev/stdin | tail -n 2 | grep -vx '1280x720\|1920x1080') == "" ]] ||
  fail "scale 2: the run drew at fewer pixels: $(log_after "$mark" | buffers /dev/stdin | uniq)"
settled HEADLESS-1 scale2.png
[[ $(identify -format '%w %h' "$shots_dir/scale2.png") == "1280 720" ]] ||
  fail "scale 2: the output is not shot at its 1280x720 pixels"
as_sharp "$shots_dir/scale2.png" "$shots_dir/scale1.png" ||
  fail "scale 2: the picture is softer than at scale 1"
cp "$shots_dir/scale1.png" "$shots/wayland-scale1.png"
cp "$shots_dir/scale2.png" "$shots/wayland-scale2.png"

# No pointer over the run: a pointer put over it (near the layout's top-left corner, on
# HEADLESS-1) is told to show nothing there.
mark=$(wc -l <"$work/stderr")
as_user "$work/$(basename "$pointer_tool")" 1 1 100 100 >"$work/pointer" 2>&1 &
pointer=$!
hidden() { log_after "$mark" | sed -n '/wl_pointer@[0-9]*\.enter(/,$p' | grep -q 'wl_pointer@[0-9]*\.set_cursor([0-9]*, nil, 0, 0)'; }
wait_until 30 hidden || fail "the pointer over the run is not hidden: $(cat "$work/pointer")"
pkill -u "$user" -f "$work/$(basename "$pointer_tool")" || true
wait "$pointer" || true
end_run

# A portrait output: HEADLESS-2 at 640x360 turned 90 degrees is covered at 360x640 and shows the
# picture upright and cut to that shape, as the run does on an X11 monitor of 360x640 beside a
# landscape one of HEADLESS-1's shape (a picture of the user's own with shapes in two corners, a
# few small flakes, no clocks).
as_user swaymsg output HEADLESS-1 scale 1 >/dev/null
as_user swaymsg output HEADLESS-2 resolution 640x360 transform 90 >/dev/null
picture_folder="$work/config/Corvantic/Flurrix Screensaver/imgs"
mkdir -p "$picture_folder"
convert -size 800x600 gradient:'rgb(120,170,230)-rgb(250,250,250)' -fill 'rgb(200,40,40)' \
  -draw 'circle 200,150 200,60' -fill 'rgb(40,90,40)' -draw 'polygon 500,600 800,250 800,600' \
  "$picture_folder/upright.png"
chown -R "$user" "$picture_folder"
sed -e 's/^background = .*/background = 4/' -e 's/^flakes = .*/flakes = 10/' \
  -e 's/^flakesize = .*/flakesize = 1/' -e 's/^aclock = .*/aclock = 0/' -e 's/^dclock = .*/dclock = 0/' \
  "$work/settings-snow" >"$settings"
as_user env WAYLAND_DEBUG=client "$program" --wayland 2>"$work/stderr" &
run=$!
for _ in $(seq 300); do drawn_at "$work/stderr" 360x640 && break; sleep 0.1; done
drawn_at "$work/stderr" 360x640 ||
  fail "portrait: no buffer of 360x640, only $(buffers "$work/stderr" | sort -u)"
settled HEADLESS-2 portrait.png
[[ $(identify -format '%w %h' "$shots_dir/portrait.png") == "360 640" ]] ||
  fail "portrait: the output is not shot at 360x640"
end_run
start_virtual_display 1000x640
outer=$DISPLAY
Xephyr -displayfd 4 -screen 640x360+0+0 -screen 360x640+640+0 +xinerama -nolisten tcp -noreset \
  4>"$work/nested" >/dev/null 2>&1 &
xephyr=$!
for _ in $(seq 100); do [[ -s $work/nested ]] && break; sleep 0.1; done
[[ -s $work/nested ]] || fail "Xephyr did not start"
export DISPLAY=:$(head -n 1 "$work/nested")
for _ in $(seq 100); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done
mkdir -p "$work/x11-runtime"
chmod 700 "$work/x11-runtime"
XDG_CONFIG_HOME=$work/config XDG_RUNTIME_DIR=$work/x11-runtime FLURRIX_SITE=http://127.0.0.1:9 \
  "$program" /s 2>"$work/stderr" &
x11_run=$!
last=-100
for _ in $(seq 60); do
  DISPLAY=$outer import -window root -crop 360x640+640+0 +repage "$work/x11.png"
  now=$(mean "$work/x11.png")
  ((now > 100 && now - last < 3 && last - now < 3)) && break
  last=$now
  sleep 0.5
done
kill -TERM "$x11_run"
wait "$x11_run" || true
kill "$xephyr"
wait "$xephyr" || true
xephyr=
rmse() { compare -metric RMSE "$1" "$2" null: 2>&1 | sed 's/.*(\(.*\))/\1/' || true; }
cp "$shots_dir/portrait.png" "$shots/wayland-portrait.png"
cp "$work/x11.png" "$shots/x11-portrait.png"
difference=$(rmse "$shots_dir/portrait.png" "$work/x11.png")
convert "$work/x11.png" -rotate 180 "$work/x11-turned.png"
turned=$(rmse "$shots_dir/portrait.png" "$work/x11-turned.png")
echo "portrait: differs from X11's by $difference, from X11's turned over by $turned"
awk -v d="$difference" 'BEGIN { exit !(d < 0.05) }' ||
  fail "portrait: the picture is not as on an X11 monitor of that shape (RMSE $difference)"
as_user swaymsg output HEADLESS-2 resolution 1920x1080 transform normal >/dev/null
cp "$work/settings-snow" "$settings"

# The compositor going away ends it.
as_user "$program" --wayland 2>/dev/null &
picture_on HEADLESS-1 gone.png || fail "the run shows no picture"
pid=$(pgrep -u "$user" -x flurrix) || fail "the run ended by itself"
stop_sway
ended() { ! running "$pid"; }
wait_until 30 ended || fail "the run outlived its compositor"

# swayidle starts it after its timeout; a key ends it through the resume command.
start_sway
as_user swayidle -w timeout 2 "$program --wayland &" resume "pkill -x -f '$program --wayland'" \
  >/dev/null 2>&1 &
started=
run_started() { started=$(pgrep -u "$user" -x -f "$program --wayland"); }
wait_until 60 run_started || fail "swayidle did not start the run"
picture_on HEADLESS-1 idle.png || fail "the run swayidle started shows no picture"
as_user wtype a
pid=$started
wait_until 30 ended || fail "a key did not end the run through swayidle"
stop_sway

echo "Wayland tests passed"

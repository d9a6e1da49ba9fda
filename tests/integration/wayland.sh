#!/usr/bin/env bash
# `flurrix --wayland` under a headless sway with two outputs (needs root, for the throwaway user
# that sway demands; skipped otherwise): a layer-shell surface on each output shows the picture
# and moving snow at the output's own size; SIGTERM ends it within a second leaving nothing
# behind; the compositor going away ends it; swayidle starts it after its timeout and a key typed
# with wtype ends it through the resume command.
#   wayland.sh BUILD_DIR SCREENSHOT_FOLDER
set -euo pipefail
source "$(dirname "$0")/virtual_display.sh"
if [[ $(id -u) != 0 ]]; then
  echo "SKIPPED: sway runs only as a user of its own, which takes root to make"
  exit 0
fi
build=$(realpath "$1")
shots=$(realpath "$2")
work=$(mktemp -d)
chmod 755 "$work"
user=flurrix-wl-$$
sway=
cleanup() {
  pkill -9 -u "$user" 2>/dev/null || true
  userdel "$user" 2>/dev/null || true
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
cp "$build/flurrix" "$build/libflurrix.so" "$work/"
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

as_user "$program" /i
sed -i -e 's/^flakes = .*/flakes = 2000/' -e 's/^flakesize = .*/flakesize = 8/' \
  -e 's/^music = .*/music = 0/' "$work/config/Corvantic/Flurrix Screensaver/config.ini"

# Both outputs covered: the picture fades in and the snow moves on each, at the output's size.
start_sway
as_user "$program" --wayland 2>"$work/stderr" &
run=$!
for output in $(outputs); do
  shown=
  for _ in $(seq 60); do
    shoot "$output" "$output-a.png" 2>/dev/null && [[ $(mean "$shots_dir/$output-a.png") -gt 100 ]] \
      && { shown=1; break; }
    sleep 0.5
  done
  [[ -n $shown ]] || fail "$output shows no picture: $(cat "$work/stderr")"
  sleep 0.5
  shoot "$output" "$output-b.png"
  moved=$(compare -metric AE -fuzz 10% "$shots_dir/$output-a.png" "$shots_dir/$output-b.png" null: 2>&1 || true)
  [[ $moved -gt 300 ]] || fail "no snow moves on $output ($moved pixels changed)"
  cp "$shots_dir/$output-a.png" "$shots/wayland-$output.png"
done
[[ $(identify -format '%w %h' "$shots_dir/HEADLESS-1-a.png") == "1280 720" &&
   $(identify -format '%w %h' "$shots_dir/HEADLESS-2-a.png") == "1920 1080" ]] \
  || fail "a surface is not its output's size"

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

# The compositor going away ends it.
as_user "$program" --wayland 2>/dev/null &
sleep 3
pid=$(pgrep -u "$user" -x flurrix) || fail "the run ended by itself"
stop_sway
for _ in $(seq 30); do running "$pid" || break; sleep 0.1; done
running "$pid" && fail "the run outlived its compositor"

# swayidle starts it after its timeout; a key ends it through the resume command.
start_sway
as_user swayidle -w timeout 2 "$program --wayland &" resume "pkill -x -f '$program --wayland'" \
  >/dev/null 2>&1 &
started=
for _ in $(seq 60); do
  started=$(pgrep -u "$user" -x -f "$program --wayland" || true)
  [[ -n $started ]] && break
  sleep 0.1
done
[[ -n $started ]] || fail "swayidle did not start the run"
sleep 1
as_user wtype a
for _ in $(seq 10); do running "$started" || break; sleep 0.1; done
running "$started" && fail "a key did not end the run through swayidle"
stop_sway

echo "Wayland tests passed"

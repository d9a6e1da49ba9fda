#!/usr/bin/env bash
# `flurrix --wayland` under KWin, KDE Plasma's compositor, headless on its virtual backend (needs
# root, for the throwaway user KWin runs as; skipped, saying why, where KWin is not installed or
# cannot start): two outputs each covered, and SIGTERM ends it; on a 1280x720 panel at scale 2
# and at 1.5 it draws at the panel's 1280x720 pixels (its buffers, and KWin's own screenshot at
# the panel's resolution as sharp as at scale 1); swayidle starts it through the idle protocol
# KWin offers, and the user's activity ends it.
#   kwin.sh BUILD_DIR USER_ACTIVITY_PROGRAM SCREENSHOT_FOLDER
set -euo pipefail
source "$(dirname "$0")/virtual_display.sh"
source "$(dirname "$0")/wayland_checks.sh"
skip() {
  echo "SKIPPED: $*"
  exit 0
}
[[ $(id -u) == 0 ]] || skip "KWin runs only as a user of its own, which takes root to make"
kwin_program=$(command -v kwin_wayland) || skip "KWin is not installed (package kwin-wayland)"
build=$(realpath "$1")
activity=$(realpath "$2")
shots=$(realpath "$3")
work=$(mktemp -d)
chmod 755 "$work"
user=flurrix-kw-$$
# Everything of the user's goes: its processes (gone before the user is), and the sockets and
# locks that KWin's Xwayland readiness leaves in /tmp when it is killed.
cleanup() {
  pkill -9 -u "$user" 2>/dev/null || true
  for _ in $(seq 100); do pgrep -u "$user" >/dev/null || break; sleep 0.1; done
  find /tmp /tmp/.X11-unix -maxdepth 1 -user "$user" -delete 2>/dev/null || true
  userdel "$user" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT
mkdir -p "$shots"
useradd --no-create-home --home-dir "$work/home" "$user"
mkdir -p "$work/home" "$work/runtime" "$work/config"
chown "$user" "$work/home" "$work/runtime" "$work/config"
chmod 700 "$work/runtime"

# The program, its engine and its content where the user can reach them. KWin as a plain copy:
# the installed program carries a file capability (cap_sys_resource) that a container may not
# grant, and then does not start at all.
cp "$build/flurrix" "$build/libflurrix.so" "$activity" "$kwin_program" "$work/"
cp -r "$build/data" "$work/data"
program=$work/flurrix
# KWin's session bus listens in the user's runtime folder, not in /tmp.
sed 's|<listen>.*</listen>|<listen>unix:dir='"$work/runtime"'</listen>|' \
  /usr/share/dbus-1/session.conf >"$work/bus.conf"
config="$work/config/Corvantic/Flurrix Screensaver/config.ini"

socket=
bus=
as_user() {
  runuser -u "$user" -- env -u WAYLAND_DISPLAY -u DBUS_SESSION_BUS_ADDRESS -u DISPLAY \
    HOME="$work/home" XDG_RUNTIME_DIR="$work/runtime" XDG_CONFIG_HOME="$work/config" \
    ${socket:+WAYLAND_DISPLAY=$socket} ${bus:+DBUS_SESSION_BUS_ADDRESS=$bus} \
    FLURRIX_SITE=http://127.0.0.1:9 "$@"
}
# A process that has not ended (one ended but not yet reaped by its parent counts as ended).
running() {
  local state
  state=$(ps -o stat= -p "$1" 2>/dev/null) && [[ $state != Z* ]]
}

# start_kwin SCALE WIDTH HEIGHT OUTPUTS: KWin with OUTPUTS outputs of WIDTHxHEIGHT units at
# SCALE, on a session bus of its own, from a fresh configuration (it writes kwinrc), taking
# screenshots for anyone. Waits until its screenshot service answers; false when it does not.
start_kwin() {
  rm -rf "$work/kwin-config" "$work/runtime/bus"
  mkdir "$work/kwin-config"
  chown "$user" "$work/kwin-config"
  as_user env XDG_CONFIG_HOME="$work/kwin-config" KWIN_SCREENSHOT_NO_PERMISSION_CHECKS=1 \
    dbus-run-session --config-file="$work/bus.conf" -- sh -c 'echo "$DBUS_SESSION_BUS_ADDRESS" >"$0.part" && mv "$0.part" "$0" &&
      exec "$@"' "$work/runtime/bus" "$work/kwin_wayland" --virtual --socket flurrix-kwin \
    --no-lockscreen --no-global-shortcuts --no-kactivities --scale "$1" --width "$2" \
    --height "$3" --output-count "$4" >"$work/kwin.log" 2>&1 &
  local kwin=$!
  for _ in $(seq 300); do
    if [[ -S $work/runtime/flurrix-kwin && -s $work/runtime/bus ]]; then
      socket=flurrix-kwin
      bus=$(cat "$work/runtime/bus")
      as_user gdbus introspect --session -d org.kde.KWin -o /org/kde/KWin/ScreenShot2 2>/dev/null |
        grep CaptureScreen >/dev/null && return 0
    fi
    running "$kwin" || return 1
    sleep 0.1
  done
  return 1
}
# Ends everything the user runs: KWin, its bus, the run, swayidle.
stop_all() {
  pkill -9 -u "$user" 2>/dev/null || true
  for _ in $(seq 100); do pgrep -u "$user" >/dev/null || break; sleep 0.1; done
  pgrep -u "$user" >/dev/null && fail "the user's processes outlived SIGKILL"
  rm -f "$work/runtime"/flurrix-kwin*
  socket= bus=
}

# shoot OUTPUT NAME: KWin's screenshot of OUTPUT (Virtual-0, Virtual-1) at its own pixels, as
# $work/NAME.png. KWin writes the pixels into a pipe it is handed and sends their layout.
shoot() {
  local pipe=$work/pipe reply width height stride format
  rm -f "$pipe" "$work/raw"
  mkfifo "$pipe"
  cat "$pipe" >"$work/raw" &
  local reader=$!
  reply=$(as_user gdbus call --session -d org.kde.KWin -o /org/kde/KWin/ScreenShot2 \
    -m org.kde.KWin.ScreenShot2.CaptureScreen "$1" "{'native-resolution': <true>}" 3 \
    3>"$pipe" 2>&1) || {
    wait "$reader"
    return 1
  }
  wait "$reader"
  field() { sed -n "s/.*'$1': <uint32 \([0-9]*\)>.*/\1/p" <<<"$reply"; }
  width=$(field width)
  height=$(field height)
  stride=$(field stride)
  format=$(field format)
  # 4, 5, 6: QImage's 32-bit RGB formats, blue first in memory.
  [[ $format == [456] ]] || fail "a screenshot in a format this test does not read: $reply"
  convert -size "$((stride / 4))x$height" -depth 8 "bgra:$work/raw" -crop "${width}x$height+0+0" \
    +repage -alpha off "$work/$2.png"
}
mean() { convert "$1" -format '%[fx:int(mean*255)]' info:; }
# The run's colour on an output (KWin shows black without it) is darker than a picture.
shot_file() { echo "$work/$1.png"; }
# SIGTERM ends the run within five seconds, leaving no process of it.
ends_on_sigterm() {
  local pid
  pid=$(run_pid)
  kill -TERM "$pid"
  for _ in $(seq 50); do running "$pid" || break; sleep 0.1; done
  running "$pid" && fail "SIGTERM did not end the run under KWin"
  wait "$run" || true
  pgrep -u "$user" -x flurrix >/dev/null && fail "a process of the run is left"
  return 0
}

as_user "$program" /i
# Snow on a plain colour: the flakes' edges are the picture's finest detail.
sed -i -e 's/^flakes = .*/flakes = 2000/' -e 's/^flakesize = .*/flakesize = 8/' \
  -e 's/^music = .*/music = 0/' -e 's/^background = .*/background = 3/' \
  -e 's/^blankr = .*/blankr = 60/' -e 's/^blankg = .*/blankg = 90/' -e 's/^blankb = .*/blankb = 140/' \
  "$config"

# Two outputs at scale 1, each covered at its size.
start_kwin 1 1280 720 2 || skip "KWin cannot start here: $(tail -n 3 "$work/kwin.log")"
as_user "$program" --wayland 2>"$work/stderr" &
run=$!
for output in Virtual-0 Virtual-1; do
  settled "$output" "scale1-$output" 40
  [[ $(identify -format '%w %h' "$work/scale1-$output.png") == "1280 720" ]] ||
    fail "$output is not 1280x720"
  cp "$work/scale1-$output.png" "$shots/kwin-scale1-$output.png"
done
ends_on_sigterm
stop_all

# The same panel at scale 2 (640x360 units) and 1.5 (853x480 units): the run draws 1280x720
# pixels, through a viewport of the surface's size, from its first frame at 2 and once KWin names
# the scale at 1.5 (853 x 1.5 = 1279.5 goes up); the picture is as sharp as at scale 1.
for panel in "2 640 360" "1.5 853 480"; do
  read -r scale width height <<<"$panel"
  start_kwin "$scale" "$width" "$height" 1 || fail "KWin did not start at scale $scale"
  as_user env WAYLAND_DEBUG=client "$program" --wayland 2>"$work/stderr" &
  run=$!
  for _ in $(seq 300); do drawn_at "$work/stderr" 1280x720 && break; sleep 0.1; done
  drawn_at "$work/stderr" 1280x720 ||
    fail "scale $scale: no buffer of the panel's pixels, only $(buffers "$work/stderr" | sort -u)"
  grep -q "set_destination($width, $height)" "$work/stderr" ||
    fail "scale $scale: the surface is not shown at its ${width}x$height units"
  [[ $scale != 2 || $(buffers "$work/stderr" | head -n 1) == 1280x720 ]] ||
    fail "scale 2: the first frame is not at the panel's pixels: $(buffers "$work/stderr" | uniq)"
  settled Virtual-0 "scale$scale" 40
  cp "$work/scale$scale.png" "$shots/kwin-scale$scale.png"
  as_sharp "$work/scale$scale.png" "$work/scale1-Virtual-0.png" ||
    fail "scale $scale: the picture is softer than at scale 1"
  echo "scale $scale: buffers $(buffers "$work/stderr" | uniq -c | awk '{ printf "%s x%s ", $2, $1 }')"
  ends_on_sigterm
  if [[ $scale == 2 ]]; then stop_all; fi
done

# swayidle starts the run after its timeout through KWin's idle notifications; the user's
# activity ends it through the resume command.
as_user swayidle -d -w timeout 2 "$program --wayland &" resume "pkill -x -f '$program --wayland'" \
  >"$work/swayidle.log" 2>&1 &
started=
for _ in $(seq 300); do
  started=$(pgrep -u "$user" -x -f "$program --wayland" || true)
  [[ -n $started ]] && break
  sleep 0.1
done
[[ -n $started ]] || fail "swayidle did not start the run under KWin"
settled Virtual-0 idle 40
as_user "$work/$(basename "$activity")" || fail "KWin took no user activity"
for _ in $(seq 200); do running "$started" || break; sleep 0.1; done
running "$started" && fail "the user's activity did not end the run through swayidle: $(grep -E 'state|Cmd' "$work/swayidle.log")"
stop_all

echo "KWin tests passed (${SECONDS}s)"

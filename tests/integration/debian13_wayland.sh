#!/usr/bin/env bash
# The Debian package on Debian 13 (trixie) under sway 1.10 at a fractional scale (needs root;
# skipped otherwise): in a minimal trixie (debian_root.sh) `apt-get install ./flurrix_*.deb`,
# then sway and grim; `flurrix --wayland` as a user of that system on a headless 1280x720 output
# at scale 1, then 1.5 set while it runs: it draws the panel's 1280x720 pixels through a viewport
# of the output's 853x480 units, as sharp as at scale 1, takes wl_compositor 6's preferred buffer
# scale through the libwayland of that system, and SIGTERM ends it.
#   debian13_wayland.sh BUILD_DIR SCREENSHOT_FOLDER
set -euo pipefail
source "$(dirname "$0")/virtual_display.sh"
source "$(dirname "$0")/debian_root.sh"
source "$(dirname "$0")/wayland_checks.sh"
if [[ $(id -u) != 0 ]]; then
  echo "SKIPPED: making a Debian system needs root"
  exit 0
fi
debian_root_private_mounts "$@"
build=$(realpath "$1")
shots=$(realpath "$2")
mkdir -p "$shots"
work=$(mktemp -d)
cleanup() {
  debian_root_cleanup
  rm -rf "$work"
}
trap cleanup EXIT
debian_root_make trixie

debian_root_install "$build" sway grim
sway_version=$(in_root dpkg-query -W -f='${Version}' sway)

# A user of the new system, and the devices sway and Mesa open.
in_root useradd --create-home tester
mount_into /dev /dev --bind
# wlroots makes its shared-memory buffers in /dev/shm.
mount_into flurrix-shm /dev/shm -t tmpfs -o mode=1777
mkdir -p "$root/tmp/runtime"
in_root chown tester /tmp/runtime
chmod 700 "$root/tmp/runtime"
socket=
as_tester() {
  in_root runuser -u tester -- env HOME=/home/tester XDG_RUNTIME_DIR=/tmp/runtime \
    ${socket:+WAYLAND_DISPLAY=$socket SWAYSOCK=/tmp/runtime/sway.sock} \
    FLURRIX_SITE=http://127.0.0.1:9 "$@"
}
running() {
  local state
  state=$(ps -o stat= -p "$1" 2>/dev/null) && [[ $state != Z* ]]
}

printf 'output HEADLESS-1 resolution 1280x720\nxwayland disable\n' >"$root/tmp/sway.config"
as_tester env WLR_BACKENDS=headless WLR_RENDERER=pixman WLR_LIBINPUT_NO_DEVICES=1 \
  SWAYSOCK=/tmp/runtime/sway.sock sway --config /tmp/sway.config >"$work/sway.log" 2>&1 &
for _ in $(seq 300); do
  socket=$(cd "$root/tmp/runtime" && ls wayland-? 2>/dev/null | head -n 1 || true)
  [[ -n $socket && -S $root/tmp/runtime/sway.sock ]] && break
  sleep 0.1
done
[[ -n $socket && -S $root/tmp/runtime/sway.sock ]] ||
  fail "sway $sway_version did not start: $(tail -n 3 "$work/sway.log")"

as_tester flurrix /i || fail "flurrix /i failed"
# Snow on a plain colour: the flakes' edges are the picture's finest detail.
sed -i -e 's/^flakes = .*/flakes = 2000/' -e 's/^flakesize = .*/flakesize = 8/' \
  -e 's/^background = .*/background = 3/' -e 's/^blankr = .*/blankr = 90/' \
  -e 's/^blankg = .*/blankg = 120/' -e 's/^blankb = .*/blankb = 170/' \
  "$root/home/tester/.config/Corvantic/Flurrix Screensaver/config.ini"
as_tester env WAYLAND_DEBUG=client flurrix --wayland 2>"$work/stderr" &
# The run's own process: the one inside the new system.
run=
for _ in $(seq 100); do
  for pid in $(pgrep -f -x 'flurrix --wayland' || true); do
    [[ $(readlink "/proc/$pid/root") == "$root" ]] && run=$pid
  done
  [[ -n $run ]] && break
  sleep 0.1
done
[[ -n $run ]] || fail "the run did not start: $(tail -n 3 "$work/stderr")"

mean() { convert "$1" -format '%[fx:int(mean*255)]' info:; }
# settled NAME: waits up to half a minute for the picture with its fade in over (two shots in a
# row of the same brightness), shot into NAME.
settled() {
  local last=-100 now
  for _ in $(seq 60); do
    if as_tester grim -o HEADLESS-1 "/tmp/$1" 2>"$work/grim"; then
      now=$(mean "$root/tmp/$1")
      ((now > 100 && now - last < 3 && last - now < 3)) && return 0
      last=$now
    fi
    sleep 0.5
  done
  fail "no settled picture (mean $last): $(tail -n 3 "$work/grim") $(tail -n 3 "$work/stderr")"
}
settled scale1.png
mark=$(wc -l <"$work/stderr")
as_tester swaymsg output HEADLESS-1 scale 1.5 >/dev/null
log_after() { tail -n "+$((mark + 1))" "$work/stderr"; }
# Shown once two frames went after the new size reached the viewport.
for _ in $(seq 300); do
  log_after | sed -n '/set_destination(/,$p' | grep -c '\.attach(' | grep -vx '[01]' >/dev/null && break
  sleep 0.1
done
destination=$(log_after | sed -n 's/.*set_destination(\([0-9]*\), \([0-9]*\)).*/\1x\2/p' | tail -n 1)
[[ $destination == 853x480 ]] || fail "scale 1.5: the surface is not shown at 853x480 units: $destination"
# Drawn at 1280x720 at scale 1 and still at 1.5 (Mesa keeps a buffer of an unchanged size).
drawn=$(buffers "$work/stderr" | tail -n 1)
[[ $drawn == 1280x720 ]] || fail "scale 1.5: drawn at $drawn rather than the panel's 1280x720"
# wl_compositor 6 where the libwayland of the system knows it: its preferred buffer scale comes
# (the fractional scale decides).
grep -q 'bind([0-9]*, "wl_compositor", 6,' "$work/stderr" || fail "wl_compositor is not bound at 6"
log_after | grep 'preferred_buffer_scale(2)' >/dev/null || fail "no preferred buffer scale of 2 came"
settled scale1.5.png
[[ $(identify -format '%w %h' "$root/tmp/scale1.5.png") == "1280 720" ]] ||
  fail "scale 1.5: the output is not shot at its 1280x720 pixels"
cp "$root/tmp/scale1.png" "$shots/debian13-sway-scale1.png"
cp "$root/tmp/scale1.5.png" "$shots/debian13-sway-scale1.5.png"
as_sharp "$root/tmp/scale1.5.png" "$root/tmp/scale1.png" ||
  fail "scale 1.5: the picture is softer than at scale 1"

# An output plugged in during the run gets a surface of its own; unplugged again (sway 1.10 takes
# the output's global away), the run goes on drawing the one left.
as_tester swaymsg create_output >/dev/null
shows() {
  as_tester grim -o "$1" "/tmp/$2" 2>/dev/null && (($(mean "$root/tmp/$2") > 100))
}
wait_until 60 shows HEADLESS-2 plugged.png || fail "an output plugged in during the run shows no picture"
as_tester swaymsg output HEADLESS-2 unplug >/dev/null || fail "sway $sway_version cannot unplug"
moving() {
  as_tester grim -o HEADLESS-1 /tmp/after-b.png 2>/dev/null &&
    awk -v m="$(compare -metric AE -fuzz 10% "$root/tmp/after-a.png" "$root/tmp/after-b.png" \
      null: 2>&1 || true)" 'BEGIN { exit !(m > 300) }'
}
as_tester grim -o HEADLESS-1 /tmp/after-a.png
wait_until 60 moving || fail "the snow stopped when an output was unplugged"
running "$run" || fail "the run ended when an output was unplugged"

kill -TERM "$run"
for _ in $(seq 50); do running "$run" || break; sleep 0.1; done
running "$run" && fail "SIGTERM did not end the run"
echo "Debian $root_release, sway $sway_version: the package installed and drew at scale 1.5 at the panel's pixels (${SECONDS}s)"

#!/usr/bin/env bash
# The real program on hostile files and faulty disks, in a virtual X server:
#   disk_faults.sh PROGRAM
# 1. A fast slide show of the user's pictures while they are replaced, cut short, deleted and
#    turned into folders: the run goes on and ends normally.
# 2. As root, the settings folder on a 64 KiB file system, full and then read-only: "/i", a run
#    with the desktop background and F12 leave config.ini whole and nothing half-written behind.
set -euo pipefail
program=$(realpath "$1")
work=$(mktemp -d)
config="$work/config/Corvantic/Flurrix Screensaver"
mkdir -p "$work/config" "$work/runtime"
export XDG_CONFIG_HOME=$work/config XDG_RUNTIME_DIR=$work/runtime
export FLURRIX_SITE=http://127.0.0.1:9
source "$(dirname "$0")/virtual_display.sh"
mounted=
cleanup() {
  [[ -n "$xvfb" ]] && kill "$xvfb" 2>/dev/null
  [[ -n "$mounted" ]] && umount -l "$work/config"
  rm -rf "$work"
}
trap cleanup EXIT
start_virtual_display 320x240

configure() {
  "$program" /i
  for change in "$@"; do sed -i "s/^${change%% = *} = .*/$change/" "$config/config.ini"; done
}
alive() { kill -0 $run 2>/dev/null || fail "$1: the run ended: $(cat "$work/stderr")"; }
# Moves the mouse each second until the run ends (a move made before it takes input is lost).
end_run() {
  for i in $(seq 100); do
    kill -0 $run 2>/dev/null || { wait $run || fail "$1: the run ended with $?"; return 0; }
    ((i % 10 == 1)) && xdotool mousemove_relative 60 0
    sleep 0.1
  done
  fail "$1: the run did not end"
}

# 1. Mangled pictures during a slide show that changes every second.
configure "exiton = 0" "background = 4" "pictime = 1" "flakes = 100"
mkdir -p "$config/imgs"
colours=(red green blue white yellow)
picture() { convert -size 64x48 "xc:${colours[$2]}" "BMP3:$config/imgs/$1.bmp"; }
for i in 0 1 2 3 4; do picture "p$i" "$i"; done
start_run
for round in $(seq 24); do
  name="$config/imgs/p$((round % 5))"
  rm -rf "$name.bmp"
  case $((round % 4)) in
    0) picture "p$((round % 5))" $((round % 5)) ;;
    1) picture "p$((round % 5))" 0 && truncate -s 30 "$name.bmp" ;;
    2) mkdir "$name.bmp" ;;
    3) head -c 5000 /dev/urandom >"$name.bmp" ;;
  esac
  sleep 0.5
  alive "slide show, round $round"
done
end_run "slide show"

# 2. A full and a read-only settings folder.
if [[ $(id -u) -ne 0 ]]; then
  echo "disk faults skipped: mounting a small file system needs root"
  exit 0
fi
if ! mount -t tmpfs -o size=64k tmpfs "$work/config" 2>/dev/null; then
  echo "disk faults skipped: a small file system cannot be mounted here"
  exit 0
fi
mounted=yes
configure "exiton = 0" "background = 1"
echo "; kept by hand" >>"$config/config.ini"
cp "$config/config.ini" "$work/config.before"
# Leaves the folder exactly as before: config.ini unchanged, nothing else in it.
unchanged() {
  cmp -s "$config/config.ini" "$work/config.before" || fail "$1: config.ini changed"
  [[ $(ls -A "$config") == "config.ini" ]] || fail "$1: left behind: $(ls -A "$config" | tr '\n' ' ')"
}
faulty_disk() {
  "$program" /i || fail "$1: /i failed"
  unchanged "$1, /i"
  start_run
  xdotool key F12
  sleep 1
  alive "$1, F12"
  end_run "$1, run"
  unchanged "$1, run"
}
dd if=/dev/zero of="$work/config/filler" bs=4k 2>/dev/null || true
faulty_disk "full disk"
rm "$work/config/filler"
mount -o remount,ro "$work/config"
faulty_disk "read-only disk"
mount -o remount,rw "$work/config"
echo "disk fault tests passed"

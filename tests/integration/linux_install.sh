#!/usr/bin/env bash
# The installed program, away from its build folder: installed into a temporary prefix and run
# from another folder, it finds its engine and content; as a display mode inside a 320 x 240
# window of a stand-in host it draws the scene at that size, ignores the mouse and keys, and the
# host's SIGTERM ends it within a second with exit code 0.
#   linux_install.sh BUILD_DIR HOST SCREENSHOT_FOLDER
set -euo pipefail
source "$(dirname "$0")/virtual_display.sh"
build=$(realpath "$1")
host_program=$(realpath "$2")
shots=$3
work=$(mktemp -d)
mkdir -p "$shots" "$work/config" "$work/elsewhere"
export XDG_CONFIG_HOME=$work/config
run=
host=
cleanup() {
  [[ -n $run ]] && kill -9 "$run" 2>/dev/null || true
  [[ -n $host ]] && kill "$host" 2>/dev/null || true
  kill "$xvfb" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

cmake --install "$build" --prefix "$work/prefix" >/dev/null
program=$work/prefix/bin/flurrix
cd "$work/elsewhere"
"$program" /i
config="$work/config/Corvantic/Flurrix Screensaver/config.ini"
grep -q "^Path = $work/prefix/libexec/flurrix/" "$config" || fail "Path is not the installed folder"
music=$(sed -n 's/^musicfile = \(.*\)\r$/\1/p' "$config")
[[ -s $music ]] || fail "the default music file $music is not there"

start_virtual_display 800x600
mkfifo "$work/input"
"$host_program" <"$work/input" >"$work/id" &
host=$!
exec 4>"$work/input"
for _ in $(seq 100); do [[ -s $work/id ]] && break; sleep 0.1; done
id=$(head -n 1 "$work/id")
[[ -n $id ]] || fail "the host made no window"

"$program" -window-id "$id" 4>&- 2>"$work/stderr" &
run=$!
# Our window fills the host's; the host's grey is gone and a picture shows once it has faded in.
inside= shown=
for _ in $(seq 60); do
  sleep 0.5
  kill -0 "$run" 2>/dev/null || fail "the run in the host's window ended: $(cat "$work/stderr")"
  xwininfo -children -id "$id" | grep -q '320x240+0+0' && inside=1 || continue
  import -window "$id" "$work/host.png"
  read -r mean deviation < <(convert "$work/host.png" -colorspace gray -format '%[fx:mean] %[fx:standard_deviation]\n' info:)
  awk -v m="$mean" -v d="$deviation" 'BEGIN { exit !(m > 0.2 && d > 0.05) }' && shown=1 && break
done
[[ -n $inside ]] || fail "no 320x240 window inside the host"
convert "$work/host.png" "$shots/hosted-320x240.png"
[[ -n $shown ]] ||
  fail "the host shows no picture (mean $mean, deviation $deviation; see $shots/hosted-320x240.png)"

# The host owns the input: neither the mouse nor a key nor F3 ends the run.
xdotool mousemove 100 100 mousemove 300 200 key Escape key F3 key F12
sleep 1
kill -0 "$run" 2>/dev/null || fail "input ended the run in the host's window"
[[ -z $(ls "$work/config/Corvantic/Flurrix Screensaver/" | grep scr) ]] || fail "F12 saved a picture"

kill -TERM "$run"
for _ in $(seq 10); do kill -0 "$run" 2>/dev/null || break; sleep 0.1; done
kill -0 "$run" 2>/dev/null && fail "SIGTERM did not end the run within a second"
wait "$run" || fail "exit code $? after SIGTERM"
run=
[[ ! -s $work/stderr ]] || fail "the run printed: $(cat "$work/stderr")"
echo "installed program: engine and content found, hosted run drawn and ended"

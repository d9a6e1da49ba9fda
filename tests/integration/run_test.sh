#!/usr/bin/env bash
# The full-screen run in a virtual X server, driven by real key presses and mouse moves:
#   run_test.sh PROGRAM WRONG_ENGINE SCREENSHOT_FOLDER LOGIND_STANDIN
set -euo pipefail
source "$(dirname "$0")/virtual_display.sh"
program=$(realpath "$1")
wrong_engine=$(realpath "$2")
shots=$3
logind=$(realpath "$4")
work=$(mktemp -d)
config="$work/config/Corvantic/Flurrix Screensaver"
mkdir -p "$shots" "$work/config" "$work/runtime"
export XDG_CONFIG_HOME=$work/config XDG_RUNTIME_DIR=$work/runtime
export FLURRIX_SITE=http://127.0.0.1:9

Xvfb -displayfd 3 -screen 0 800x600x24 -nolisten tcp -noreset 3>"$work/display" >/dev/null 2>&1 &
servers=$!
cleanup() { pkill -P $$ 2>/dev/null || true; kill $servers 2>/dev/null || true; rm -rf "$work"; }
trap cleanup EXIT
for _ in $(seq 100); do [[ -s $work/display ]] && break; sleep 0.1; done
export DISPLAY=:$(head -n 1 "$work/display")
for _ in $(seq 100); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done

# Writes config.ini with the defaults and the given "key = value" changes.
configure() {
  rm -rf "$config"
  "$program" /i
  for change in "$@"; do sed -i "s/^${change%% = *} = .*/$change/" "$config/config.ini"; done
}

alive() { sleep "${1:-1}"; kill -0 $run 2>/dev/null; }
ended() {
  for _ in $(seq 50); do kill -0 $run 2>/dev/null || { wait $run; return $?; }; sleep 0.1; done
  fail "the run did not end"
}
# Waits for an F12 screenshot and prints its name.
screenshot() {
  xdotool key F12
  for _ in $(seq 100); do
    shot=$(ls "$config"/scr*.bmp 2>/dev/null | grep -vxF -f "$work/seen" | head -n 1 || true)
    [[ -n "$shot" ]] && whole_bmp "$shot" && { echo "$shot" >>"$work/seen"; echo "$shot"; return 0; }
    sleep 0.1
  done
  fail "F12 wrote no screenshot"
}
touch "$work/seen"

# exiton 0: F12 writes the screen and the run goes on; a key does not end it; 51 pixels do.
configure "exiton = 0" "background = 3" "blankr = 200" "blankg = 30" "blankb = 10"
start_run
shot=$(screenshot)
[[ $(identify -format '%m %w %h %[channels]' "$shot") == "BMP3 800 600 srgb" ]] || fail "screenshot: $(identify "$shot")"
# The blank colour fills the screen where no flake is.
[[ $(convert "$shot" -format '%[pixel:p{400,300}]' info:) =~ srgb\(200,30,10\)|rgb\(200,30,10\) ]] \
  || [[ $(convert "$shot" -crop 50x50+0+0 -format '%c' histogram:info: | sort -rn | head -n 1) == *"(200,30,10)"* ]] \
  || fail "the blank colour is not on the screen"
cp "$shot" "$shots/run-blank.bmp"
screenshot >/dev/null
xdotool key a
alive || fail "a key ended a mouse run"
xdotool mousemove_relative 50 0
alive || fail "50 pixels ended the run"
xdotool mousemove_relative 1 0
ended
[[ $(ls "$config"/scr*.bmp | wc -l) -eq 2 ]] || fail "not one screenshot per F12"

# A wheel notch ends a mouse run (once the run has taken a key: then it reads the input).
start_run
screenshot >/dev/null
xdotool click 4
ended

# exiton 1: the mouse does not end it, a key does.
configure "exiton = 1" "background = 3"
start_run
xdotool mousemove_relative 200 200
alive || fail "the mouse ended a key run"
xdotool key b
ended
# So do keys without a scan code of their own: a mail key, and one the keyboard map lacks.
for key in XF86Mail Greek_OMEGA; do
  start_run
  xdotool key $key
  ended
done

# exiton 2: only Esc; F3 ends any run and opens the dialog with the stored units.
configure "exiton = 2" "background = 3" "pictime = 20"
start_run
screenshot >/dev/null
xdotool key b mousemove_relative 200 200
alive || fail "a key or the mouse ended an Esc run"
xdotool key Escape
ended
start_run
screenshot >/dev/null
xdotool key F3
# The run's window goes, then the dialog (with the same title) comes.
for _ in $(seq 100); do
  [[ $(xdotool search --onlyvisible --name '^Flurrix Screensaver 3.3$' getwindowgeometry 2>/dev/null) != *"800x600"* ]] && break
  sleep 0.1
done
dialog=
for _ in $(seq 100); do
  dialog=$(xdotool search --onlyvisible --name '^Flurrix Screensaver 3.3$' 2>/dev/null | head -n 1 || true)
  [[ -n "$dialog" ]] && break
  sleep 0.1
done
[[ -n "$dialog" ]] || fail "F3 did not open the dialog"
sleep 0.5
xdotool windowfocus --sync "$dialog" key Return
ended
tr -d '\r' <"$config/config.ini" | grep -q '^pictime = 20$' || fail "after F3 the dialog saved pictime in working units"

# The winter pictures with snow, for a person to look at.
configure "exiton = 0" "flakes = 2000" "flakesize = 8"
start_run
sleep 8
cp "$(screenshot)" "$shots/run-winter.bmp"
xdotool mousemove_relative 60 0
ended

# A mode the display does not offer falls back to the desktop's mode.
configure "videow = 640" "videoh = 480" "videod = 16" "background = 3"
start_run
[[ $(identify -format '%w %h' "$(screenshot)") == "800 600" ]] || fail "no fall-back to the desktop mode"
xdotool mousemove_relative 60 0
ended

# The sleep timer (exiton 4) ends the run and suspends the computer when logind allows it; a run
# the mouse ends asks nothing. A stand-in logind on a bus of the test's own records the calls.
read -r bus_address bus_pid < <(dbus-daemon --session --fork --print-address=1 --print-pid=1 | paste -s -d ' ')
[[ -n $bus_pid ]] || fail "no bus for the stand-in logind"
trap 'kill "$bus_pid" 2>/dev/null || true; cleanup' EXIT
sleep_run() {  # sleep_run ANSWER [mouse]: one run with the stand-in answering CanSuspend
  DBUS_SYSTEM_BUS_ADDRESS=$bus_address "$logind" "$1" >"$work/logind" &
  local standin=$!
  for _ in $(seq 100); do grep -q '^ready$' "$work/logind" && break; sleep 0.1; done
  grep -q '^ready$' "$work/logind" || fail "the stand-in logind did not start"
  if [[ ${2:-} == mouse ]]; then
    DBUS_SYSTEM_BUS_ADDRESS=$bus_address start_run
    xdotool mousemove_relative 100 0
  else
    DBUS_SYSTEM_BUS_ADDRESS=$bus_address "$program" /s 2>"$work/stderr" &
    run=$!
  fi
  ended || fail "exit code $? after the sleep timer"
  kill $standin
  wait $standin || true
}
configure "exiton = 4" "exitonsleep = 0" "background = 3"
sleep_run yes
[[ $(grep -v '^ready$' "$work/logind" | paste -s -d ,) == "CanSuspend,Suspend false" ]] ||
  fail "the sleep timer's suspend: $(cat "$work/logind")"
sleep_run no
[[ $(grep -v '^ready$' "$work/logind" | paste -s -d ,) == "CanSuspend" ]] ||
  fail "a suspend logind does not allow: $(cat "$work/logind")"
configure "exiton = 4" "exitonsleep = 60" "background = 3"
sleep_run yes mouse
[[ $(grep -cv '^ready$' "$work/logind") == 0 ]] || fail "the mouse ended a run that then asked logind"
kill "$bus_pid"

# A run in a mode of its own (here 640 x 480 on the 800 x 600 desktop): SIGTERM or SIGINT ends it
# through its close, which puts the desktop's mode back, and the picture goes with it.
xrandr --newmode 640x480_run 25.175 640 656 752 800 480 490 492 525 -hsync -vsync
xrandr --addmode screen 640x480_run
configure "videow = 640" "videoh = 480" "videod = 32" "background = 1"
for signal in TERM INT; do
  start_run
  [[ $(xrandr | head -n 1) == *"current 640 x 480"* ]] || fail "the run did not switch the mode"
  kill -$signal $run
  ended || fail "exit code $? after SIG$signal"
  [[ $(xrandr | head -n 1) == *"current 800 x 600"* ]] ||
    fail "SIG$signal left the display at $(xrandr | head -n 1)"
  [[ ! -e $config/desktop.bmp ]] || fail "SIG$signal left the desktop picture"
done

# A start-up failure after the video layer has started (here no OpenGL 3.3): the box nobody may
# see must not outlive SIGTERM (a logout, `timeout`) or SIGINT, and the picture goes with it.
configure "background = 1"
for signal in TERM INT; do
  MESA_GL_VERSION_OVERRIDE=3.0 "$program" /s 2>"$work/stderr" &
  run=$!
  for _ in $(seq 100); do
    xdotool search --onlyvisible --name '^Error$' >/dev/null 2>&1 && break
    kill -0 $run 2>/dev/null || fail "the run ended before its failure box: $(cat "$work/stderr")"
    sleep 0.1
  done
  xdotool search --onlyvisible --name '^Error$' >/dev/null 2>&1 || fail "no failure box"
  [[ -f $config/desktop.bmp ]] || fail "no desktop picture before the run"
  kill -$signal $run
  ended || fail "exit code $? after SIG$signal"
  [[ ! -e $config/desktop.bmp ]] || fail "SIG$signal left the desktop picture"
done

# Start-up failures, headless: the messages go to stderr and the run never starts.
mkdir -p "$work/empty" "$work/wrong"
configure "background = 3"
sed -i "s|^Path = .*|Path = $work/empty/|" "$config/config.ini"
(cd "$work/empty" && DISPLAY= "$program" /s 2>"$work/stderr")
grep -q "flurrix.dll coudn't be found in the screen-saver's folder" "$work/stderr" \
  || fail "missing engine: $(cat "$work/stderr")"
cp "$wrong_engine" "$work/wrong/libflurrix.so"
sed -i "s|^Path = .*|Path = $work/wrong/|" "$config/config.ini"
(cd "$work/empty" && DISPLAY= "$program" /s 2>"$work/stderr")
grep -q "3D Graphics system coudn't be initialized!" "$work/stderr" \
  || fail "engine of another version: $(cat "$work/stderr")"

echo "run tests passed"

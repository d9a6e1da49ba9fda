# Two monitors under Wine: Xephyr with two heads (16:9 and 5:4) nested in the stage's Xvfb, Wine's
# monitor list read from Xinerama (Xephyr's RandR shows one output). Both heads show the picture
# and moving snow, F12 saves the primary head, the mouse ends the run. Sourced by
# scripts/test.d/40-windows.sh in a subshell: uses its $work, $scr, step, fail, wait_window and
# remove_config.
outer=$DISPLAY
wineserver -k >/dev/null 2>&1 || true
Xephyr -displayfd 4 -screen 768x432+0+0 -screen 480x384+768+0 +xinerama -nolisten tcp -noreset \
  4>"$work/nested" >/dev/null 2>&1 &
xephyr=$!
trap 'wineserver -k >/dev/null 2>&1 || true; kill $xephyr 2>/dev/null || true' EXIT
for _ in $(seq 100); do [[ -s $work/nested ]] && break; sleep 0.1; done
[[ -s $work/nested ]] || fail "Xephyr did not start"
export DISPLAY=:$(head -n 1 "$work/nested")
for _ in $(seq 100); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done
timeout 120 wine reg add 'HKCU\Software\Wine\X11 Driver' /v UseXRandR /t REG_SZ /d N /f \
  >/dev/null 2>&1 || fail "the Wine registry could not be changed"
timeout 120 wineserver -w || true

remove_config
rm -f "$WINEPREFIX"/drive_c/users/*/AppData/Roaming/Corvantic/Flurrix\ Screensaver/scr*.bmp
wine "$scr" /s >>"$work/wine.log" 2>&1 &
saver=$!
id=$(wait_window "Flurrix Screensaver 3.3") || fail "the two-monitor run did not open its screen"
shoot() { DISPLAY=$outer import -window root -crop 1248x432+0+0 "$1"; }
# monitor SHOT N OUT: head N of a shot.
monitor() {
  if [[ $2 == 1 ]]; then convert "$1" -crop 768x432+0+0 +repage "$3"; else convert "$1" -crop 480x384+768+0 +repage "$3"; fi
}
moved=
for _ in $(seq 60); do
  sleep 1
  shoot "$work/m-a.png"
  sleep 0.5
  shoot "$work/m-b.png"
  moved=1
  for n in 1 2; do
    monitor "$work/m-a.png" $n "$work/m-a$n.png"
    monitor "$work/m-b.png" $n "$work/m-b$n.png"
    changed=$(compare -metric AE -fuzz 5% "$work/m-a$n.png" "$work/m-b$n.png" null: 2>&1 || true)
    [[ $changed -gt 20 ]] || moved=
  done
  [[ -n $moved ]] && break
done
cp "$work/m-a.png" build/screenshots/run-windows-two-monitors.png
[[ -n $moved ]] || fail "the snow does not move on both heads under Wine"
[[ $(convert "$work/m-a2.png" -format '%[fx:int(mean*255)]' info:) -gt 10 ]] \
  || fail "the second head shows no picture under Wine"
shot=
for _ in $(seq 10); do
  xdotool windowfocus --sync "$id" key F12 >/dev/null 2>&1 || true
  sleep 2
  shot=$(find "$WINEPREFIX/drive_c/users" -path '*/Corvantic/Flurrix Screensaver/scr*.bmp' | head -n 1)
  [[ -n $shot ]] && break
done
[[ -n $shot ]] || fail "F12 wrote no screenshot on two monitors"
[[ $(identify -format '%w %h' "$shot") == "768 432" ]] || fail "F12 did not save the primary head: $(identify "$shot")"
for _ in $(seq 10); do
  kill -0 "$saver" 2>/dev/null || break
  xdotool mousemove 1000 200 mousemove_relative 80 80 >/dev/null 2>&1 || true
  sleep 1
done
kill -0 "$saver" 2>/dev/null && { kill "$saver"; fail "the mouse on the second head did not end the run"; }
wait "$saver" || fail "/s on two monitors exited with $?"
timeout 120 wine reg delete 'HKCU\Software\Wine\X11 Driver' /v UseXRandR /f >/dev/null 2>&1 || true
step "/s on two heads: picture and moving snow on both, F12 saved the primary head, the mouse on the second ended it"

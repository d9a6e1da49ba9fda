#!/usr/bin/env bash
# The Windows target: builds the third-party libraries (cached) and build-win/flurrix.scr, checks
# that the program needs only the system's DLLs, and runs it under Wine in a virtual X server,
# in a Wine prefix of its own inside build-win/.
set -euo pipefail
cd "$(dirname "$0")/../.."
repo=$PWD

step() { echo "-- $*"; }
fail() {
  echo "FAILED: $*" >&2
  exit 1
}
seconds() { echo $(($(date +%s) - $1)); }

# ---- Build ----
started=$(date +%s)
scripts/build-win-deps.sh >/dev/null
step "third-party libraries ready after $(seconds "$started") s"
# The Linux build first: its artgen paints the Windows build's content and built-in pictures,
# and its program writes the config.ini that the Windows one is compared with.
scripts/build.sh default >/dev/null
built=$(date +%s)
scripts/build.sh windows
step "build-win/ built in $(seconds "$built") s"

scr=build-win/flurrix.scr
check=build-win/flurrix_platform_check.exe
[[ -f $scr ]] || fail "$scr was not built"

# ---- Only system DLLs ----
# Everything else (the C++ runtime, winpthread, SDL2, ...) is linked in statically.
system_dlls=" $(echo advapi32 bcrypt cfgmgr32 comctl32 comdlg32 crypt32 dinput8 dnsapi dwmapi dxgi \
  gdi32 hid imm32 iphlpapi kernel32 msimg32 msvcrt ole32 oleaut32 opengl32 powrprof rpcrt4 secur32 \
  setupapi shell32 shlwapi user32 userenv usp10 uxtheme version winmm winspool ws2_32) "
for binary in "$scr" build-win/*.dll; do
  [[ -f $binary ]] || continue
  imports=$(x86_64-w64-mingw32-objdump -p "$binary" | awk '/DLL Name:/ { print tolower($3) }')
  [[ -n $imports ]] || fail "no import table read from $binary"
  for dll in $imports; do
    base=${dll%.dll}
    base=${base%.drv}
    [[ $system_dlls == *" $base "* ]] || fail "$binary imports $dll, which is not a system DLL"
  done
  step "$binary imports only system DLLs: $(echo $imports)"
done

# ---- Wine in a virtual X server ----
export WINEPREFIX=$repo/build-win/wine
export WINEARCH=win64
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
screen=1280x1024
work=$(mktemp -d)
xvfb_pid=
cleanup() {
  wineserver -k >/dev/null 2>&1 || true
  [[ -n $xvfb_pid ]] && kill "$xvfb_pid" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

# -displayfd: a display number that no other server uses; -noreset: no restart between clients.
Xvfb -displayfd 3 -screen 0 "${screen}x24" -nolisten tcp -noreset 3>"$work/display" >/dev/null 2>&1 &
xvfb_pid=$!
for _ in $(seq 100); do
  [[ -s $work/display ]] && break
  sleep 0.1
done
[[ -s $work/display ]] || fail "Xvfb did not start"
export DISPLAY=:$(head -n 1 "$work/display")

prefix_started=$(date +%s)
if [[ ! -f $WINEPREFIX/system.reg ]]; then
  timeout 300 wine wineboot --init >/dev/null 2>&1 || fail "the Wine prefix could not be made"
fi
# No crash dialog: a crash must end the program, not wait for a click.
timeout 120 wine reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f \
  >/dev/null 2>&1 || fail "the Wine registry could not be changed"
# Sound goes through ALSA, which the music check points at its null device.
timeout 120 wine reg add 'HKCU\Software\Wine\Drivers' /v Audio /t REG_SZ /d alsa /f \
  >/dev/null 2>&1 || fail "the Wine registry could not be changed"
timeout 120 wineserver -w || true
step "Wine prefix ready after $(seconds "$prefix_started") s"

# run SECONDS PROGRAM ARGS...: one Windows program, bounded; its exit code.
run() {
  local limit=$1
  shift
  timeout "$limit" wine "$@" >>"$work/wine.log" 2>&1
}

# wait_window TITLE: the id of the first window named exactly TITLE, polled for a minute.
wait_window() {
  local id
  for _ in $(seq 120); do
    id=$(xdotool search --name "^$1\$" 2>/dev/null | head -n 1) || true
    [[ -n $id ]] && { echo "$id"; return 0; }
    sleep 0.5
  done
  return 1
}

# press_until_gone PID TITLE KEY: focuses the window and presses KEY until the process ends. A key
# sent once can land before the window takes input, so it is sent again every two seconds.
press_until_gone() {
  local pid=$1 title=$2 key=$3 id
  for _ in $(seq 15); do
    kill -0 "$pid" 2>/dev/null || return 0
    id=$(xdotool search --name "^$title\$" 2>/dev/null | head -n 1) || true
    if [[ -n $id ]]; then
      xdotool windowfocus --sync "$id" key --clearmodifiers "$key" >/dev/null 2>&1 || true
    fi
    sleep 2
  done
  ! kill -0 "$pid" 2>/dev/null
}

appdata_config() {
  find "$WINEPREFIX/drive_c/users" -path '*/AppData/Roaming/Corvantic/Flurrix Screensaver/config.ini' \
    2>/dev/null | head -n 1
}
remove_config() {
  local file
  file=$(appdata_config)
  [[ -z $file ]] || rm -f "$file"
}

# ---- The Windows side of platform/ ----
[[ -f $check ]] || fail "$check was not built (GoogleTest's sources come with libgtest-dev)"
if ! FLURRIX_CHECK_SCREEN=$screen timeout 300 wine "$check" --gtest_brief=1 >"$work/check.log" 2>&1; then
  cat "$work/check.log"
  fail "the Windows platform checks failed"
fi
step "platform checks: $(grep -a 'PASSED' "$work/check.log" | tr -d '[]=' | xargs)"

# ---- Music through DirectShow ----
# ALSA's null device (found through HOME's .asoundrc) keeps time and makes no sound; the shipped
# pieces play to their end, so this takes as long as forest.mp3, about 90 s.
music_check=build-win/flurrix_music_check.exe
[[ -f $music_check ]] || fail "$music_check was not built"
mkdir -p "$work/null-audio"
echo 'pcm.!default { type null }' >"$work/null-audio/.asoundrc"
if ! HOME=$work/null-audio timeout 300 wine "$music_check" --gtest_brief=1 >"$work/music.log" 2>&1; then
  cat "$work/music.log"
  fail "the Windows music checks failed"
fi
step "music checks: $(grep -a 'PASSED' "$work/music.log" | tr -d '[]=' | xargs)"

# ---- /i writes the same config.ini as Linux but for Path, the desktop and backslashes ----
# From a settings folder of its own: a run of this stage that failed may have left anything there
# (the blocked config.ini.tmp below).
rm -rf "$WINEPREFIX"/drive_c/users/*/AppData/Roaming/Corvantic
run 120 "$scr" /i || fail "/i exited with $?"
win_config=$(appdata_config)
[[ -f $win_config ]] || fail "/i wrote no config.ini under AppData\\Roaming\\Corvantic\\Flurrix Screensaver"

mkdir -p "$work/xdg" "$work/run"
env -u DISPLAY XDG_CONFIG_HOME="$work/xdg" XDG_RUNTIME_DIR="$work/run" build/flurrix /i
linux_config="$work/xdg/Corvantic/Flurrix Screensaver/config.ini"
[[ -f $linux_config ]] || fail "the Linux build wrote no config.ini"

# Masks the values that depend on the machine (Path, the desktop, the date of the defaults) and
# writes the data folder in paths as <Path>/ with forward slashes.
normalise() {
  LC_ALL=C awk '
    BEGIN { RS = "\n" }
    { lines[NR] = $0 }
    /^Path = / { path = substr($0, 8); sub(/\r$/, "", path) }
    END {
      for (i = 1; i <= NR; i++) {
        line = lines[i]
        if (line ~ /^(Path|videow|videoh|videod|Update Date) = /) {
          cr = line ~ /\r$/ ? "\r" : ""
          sub(/ = .*/, " = *", line)
          line = line cr
        } else if (path != "" && (at = index(line, path)) > 0) {
          line = substr(line, 1, at - 1) "<Path>" substr(line, at + length(path))
        }
        gsub(/\\/, "/", line)
        printf "%s\n", line
      }
    }' "$1"
}
normalise "$win_config" >"$work/win.ini"
normalise "$linux_config" >"$work/linux.ini"
cmp "$work/win.ini" "$work/linux.ini" || {
  diff "$work/win.ini" "$work/linux.ini" | cat -A | head -20
  fail "config.ini differs from the Linux one"
}
grep -q $'^Path = [A-Z]:\\\\.*\\\\build-win\\\\\r$' "$win_config" ||
  fail "Path is not the program's Windows folder: $(grep -a '^Path = ' "$win_config")"
grep -q / "$win_config" && fail "config.ini holds a forward slash: $(grep -a / "$win_config")"
width=${screen%x*}
height=${screen#*x}
for expected in "videow = $width" "videoh = $height" "videod = 32"; do
  grep -q "^$expected"$'\r$' "$win_config" || fail "config.ini lacks $expected (the desktop)"
done
step "/i wrote config.ini: same bytes as Linux but for Path, the desktop and backslashes"

# ---- /a does nothing and exits 0 ----
run 120 "$scr" /a || fail "/a exited with $?"
step "/a exited 0"

# ---- A second copy ends at once while the first holds the guard ----
wine "$scr" /u >>"$work/wine.log" 2>&1 &
first=$!
wait_window Uninstall >/dev/null || fail "the uninstall page of the first copy did not open"
remove_config
run 120 "$scr" /i || fail "the second copy exited with $?"
[[ -z $(appdata_config) ]] || fail "the second copy ran its /i while the first was running"
press_until_gone "$first" Uninstall alt+F4 || {
  kill "$first" 2>/dev/null || true
  fail "the uninstall page did not close on Alt+F4"
}
wait "$first" || fail "the first copy exited with $?"
run 120 "$scr" /i || fail "/i after the first copy ended exited with $?"
[[ -n $(appdata_config) ]] || fail "the guard was not released when the first copy ended"
step "a second copy ended at once while the first ran; the guard was released after it"

# ---- A message box is found by its title and answered with Return ----
for style_answer in 36:6 64:1 16:1; do
  style=${style_answer%:*}
  answer=${style_answer#*:}
  title="Flurrix Check $style"
  wine "$check" --message-box "$title" "Let it snow" "$style" >>"$work/wine.log" 2>&1 &
  box=$!
  wait_window "$title" >/dev/null || fail "no message box titled '$title' appeared"
  press_until_gone "$box" "$title" Return || {
    kill "$box" 2>/dev/null || true
    fail "the message box '$title' was not dismissed"
  }
  code=0
  wait "$box" || code=$?
  [[ $code -eq $answer ]] || fail "message box style $style answered $code, not $answer"
done
step "message boxes (styles 36, 64, 16) found by title and answered"

# ---- /c opens the dialog: Return is OK and saves config.ini in AppData; Escape saves nothing ----
dialog_title="Flurrix Screensaver 3.3"
remove_config
wine "$scr" /c >>"$work/wine.log" 2>&1 &
dialog=$!
id=$(wait_window "$dialog_title") || fail "the configuration dialog did not open"
sleep 2
mkdir -p build/screenshots
import -window "$id" build/screenshots/dialog-windows.png 2>/dev/null || true
press_until_gone "$dialog" "$dialog_title" Return || {
  kill "$dialog" 2>/dev/null || true
  fail "the configuration dialog did not close on Return (OK)"
}
wait "$dialog" || fail "/c exited with $?"
saved=$(appdata_config)
[[ -n $saved ]] || fail "OK in the dialog saved no config.ini"
grep -q $'^flakes = 500\r$' "$saved" || fail "config.ini after OK: $(grep -a '^flakes' "$saved")"
cp "$saved" "$work/after-ok.ini"
wine "$scr" /c >>"$work/wine.log" 2>&1 &
dialog=$!
wait_window "$dialog_title" >/dev/null || fail "the configuration dialog did not open again"
press_until_gone "$dialog" "$dialog_title" Escape || {
  kill "$dialog" 2>/dev/null || true
  fail "the configuration dialog did not close on Escape"
}
wait "$dialog" || fail "/c exited with $?"
cmp -s "$saved" "$work/after-ok.ini" || fail "closing the dialog changed config.ini"
step "/c opened the dialog (build/screenshots/dialog-windows.png); OK saved config.ini, closing did not"

# ---- The dialog's native controls, driven through their names by build-win/flurrix_dialog_check.exe ----
dialog_check=build-win/flurrix_dialog_check.exe
[[ -f $dialog_check ]] || fail "$dialog_check was not built"
shots=build-win/screenshots
mkdir -p "$shots"
# drive ARGS...: one run of the check program; its failures are printed.
drive() {
  timeout 120 wine "$dialog_check" "$@" 2>>"$work/wine.log" | tr -d '\r' || fail "dialog check $1 failed"
}
# wait_gone PID WHAT: the process ends within 30 s.
wait_gone() {
  for _ in $(seq 60); do
    kill -0 "$1" 2>/dev/null || { wait "$1" || fail "$2 exited with $?"; return 0; }
    sleep 0.5
  done
  kill "$1" 2>/dev/null || true
  fail "$2 did not close"
}
wine "$scr" /c >>"$work/wine.log" 2>&1 &
dialog=$!
id=$(wait_window "$dialog_title") || fail "the configuration dialog did not open"
drive rules "$dialog_title"
drive keys "$dialog_title"
drive looks "$dialog_title"
for page in 0 1 2 3 4 5 6 7 8; do
  drive page "$dialog_title" "$page"
  sleep 0.5
  import -window "$id" "$shots/dialog-page-$page.png" 2>/dev/null || true
done
# Moved to a monitor of 144 DPI: the controls are made again at 150 % and keep their values.
drive dpi "$dialog_title" 144
drive keys "$dialog_title"
drive looks "$dialog_title"
for page in 0 1 2 3 4 5 6 7 8; do
  drive page "$dialog_title" "$page"
  sleep 0.5
  import -window "$id" "$shots/dialog-144dpi-page-$page.png" 2>/dev/null || true
done
drive click "$dialog_title" ok
wait_gone "$dialog" "the dialog after OK"
saved=$(appdata_config)
for expected in "flakes = 2000" "pictime = 10" "blankr = 255" "flaketype = 5"; do
  grep -q "^$expected"$'\r$' "$saved" || fail "config.ini after OK lacks $expected"
done
cp "$saved" "$work/after-ok.ini"
# OK with "Custom Images" and no image, and an empty custom text: two boxes, then Cancel.
wine "$scr" /c >>"$work/wine.log" 2>&1 &
dialog=$!
drive boxes "$dialog_title"
drive click "$dialog_title" cancel
wait_gone "$dialog" "the dialog after Cancel"
cmp -s "$saved" "$work/after-ok.ini" || fail "Cancel after edits changed config.ini"
# OK while config.ini cannot be written (a folder where its new copy goes): an error box names
# the file and the system's reason and the dialog stays open; with the way clear, OK saves.
blocked="$(dirname "$saved")/config.ini.tmp"
mkdir "$blocked"
wine "$scr" /c >>"$work/wine.log" 2>&1 &
dialog=$!
drive unsaved "$dialog_title"
rmdir "$blocked"
drive click "$dialog_title" ok
wait_gone "$dialog" "the dialog after OK"
# The uninstall page: its check box unticked, Next ends it without opening the web page.
wine "$scr" /u >>"$work/wine.log" 2>&1 &
page=$!
id=$(wait_window Uninstall) || fail "the uninstall page did not open"
sleep 0.5
import -window "$id" "$shots/uninstall-page.png" 2>/dev/null || true
drive click Uninstall uninstall-check
drive click Uninstall uninstall-next
wait_gone "$page" "the uninstall page after Next"
step "native dialog: rules, keyboard order and looks at 96 and 144 DPI, clamp, OK saved, two boxes in order, Cancel kept config.ini, a failed save reported; pages in $shots/"

# ---- /s: the full-screen run; F12 writes a BMP of the screen and the run goes on; the mouse ends it ----
remove_config
wine "$scr" /s >>"$work/wine.log" 2>&1 &
saver=$!
id=$(wait_window "$dialog_title") || fail "the full-screen run did not open its screen"
sleep 6
shot=
for _ in $(seq 10); do
  xdotool windowfocus --sync "$id" key F12 >/dev/null 2>&1 || true
  sleep 2
  shot=$(find "$WINEPREFIX/drive_c/users" -path '*/Corvantic/Flurrix Screensaver/scr*.bmp' | head -n 1)
  # The whole file: a 24-bit BMP of the screen (it is written while this looks).
  [[ -n $shot && $(stat -c %s "$shot") == $((54 + width * height * 3)) ]] && break
done
[[ -n $shot ]] || fail "F12 wrote no screenshot"
[[ $(identify -format '%w %h' "$shot") == "${screen/x/ }" ]] || fail "screenshot: $(identify "$shot")"
cp "$shot" build/screenshots/run-windows.bmp
kill -0 "$saver" 2>/dev/null || fail "F12 ended the run"
for _ in $(seq 10); do
  kill -0 "$saver" 2>/dev/null || break
  xdotool mousemove_relative 80 80 >/dev/null 2>&1 || true
  sleep 1
done
kill -0 "$saver" 2>/dev/null && { kill "$saver"; fail "moving the mouse did not end the run"; }
wait "$saver" || fail "/s exited with $?"
step "/s ran (build/screenshots/run-windows.bmp); F12 wrote a screenshot, the mouse ended the run"

# ---- /s on two monitors ----
(source tests/windows/two_monitors.sh)

# ---- The setup program and the portable zip, in a Wine prefix of their own ----
(source tests/windows/installer.sh)

# ---- The desktop and wallpaper backgrounds: a picture in AppData while the run is on ----
folder=$(find "$WINEPREFIX/drive_c/users" -type d -path '*/AppData/Roaming/Corvantic/Flurrix Screensaver' \
  | head -n 1)
[[ -d $folder ]] || fail "no settings folder under AppData"
# settings BACKGROUND: a 640 x 480 run that ends on a key press.
settings() {
  printf '[Screensaver]\r\nvideow = 640\r\nvideoh = 480\r\nvideod = 32\r\nexiton = 2\r\nbackground = %s\r\n' \
    "$1" >"$folder/config.ini"
}
# background_run FILE: starts /s, waits for FILE of a 640 x 480 24-bit BMP, ends the run.
background_run() {
  local saver
  wine "$scr" /s >>"$work/wine.log" 2>&1 &
  saver=$!
  for _ in $(seq 120); do
    [[ -f $folder/$1 && $(stat -c %s "$folder/$1") == $((54 + 640 * 480 * 3)) ]] && break
    sleep 0.5
  done
  cp "$folder/$1" "$work/$1" 2>/dev/null || true
  press_until_gone "$saver" "$dialog_title" Escape || {
    kill "$saver" 2>/dev/null || true
    fail "the run with $1 did not end on Escape"
  }
  wait "$saver" || fail "the run with $1 exited with $?"
  [[ -f $work/$1 ]] || fail "the run wrote no $1 of 640 x 480"
  [[ -e $folder/$1 ]] && fail "$1 is left after the run"
  return 0
}
settings 1
background_run desktop.bmp
convert -size 100x50 xc:'#2080c0' "BMP3:$WINEPREFIX/drive_c/flurrix-wall.bmp"
timeout 120 wine reg add 'HKCU\Control Panel\Desktop' /v Wallpaper /t REG_SZ /d 'C:\flurrix-wall.bmp' /f \
  >/dev/null 2>&1 || fail "the Wine registry could not be changed"
timeout 120 wine reg add 'HKCU\Control Panel\Desktop' /v WallpaperStyle /t REG_SZ /d 2 /f \
  >/dev/null 2>&1 || fail "the Wine registry could not be changed"
settings 2
background_run wallpaper.bmp
colour=$(convert "$work/wallpaper.bmp" -format '%[pixel:p{639,479}]' info:)
[[ $colour == "srgb(32,128,192)" ]] || fail "wallpaper.bmp shows $colour, not the stretched wallpaper"
# No wallpaper: the error box, and no run after it.
timeout 120 wine reg add 'HKCU\Control Panel\Desktop' /v Wallpaper /t REG_SZ /d '' /f \
  >/dev/null 2>&1 || fail "the Wine registry could not be changed"
wine "$scr" /s >>"$work/wine.log" 2>&1 &
saver=$!
wait_window Error >/dev/null || fail "no wallpaper: no error box"
press_until_gone "$saver" Error Return || {
  kill "$saver" 2>/dev/null || true
  fail "no wallpaper: the program went on after the error box"
}
wait "$saver" || fail "no wallpaper: exit code $?"
settings 0
step "desktop.bmp and wallpaper.bmp were there during the run and gone after; no wallpaper was reported"

step "Windows smoke tests passed in $(seconds "$started") s"

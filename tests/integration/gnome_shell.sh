#!/usr/bin/env bash
# The GNOME Shell extension in a headless GNOME Shell on Wayland with two monitors of different
# sizes (needs root, for the throwaway user the shell runs as; skipped otherwise or when the shell
# cannot start): input-idle starts `flurrix --wayland`, every monitor shows the picture and
# moving snow over the top bar, with no banner over it; a key ends it leaving no process; the
# next idle starts it again; disabling the extension ends a run; nothing starts while the
# session's idle inhibitor is held, and the release lets it start; the preferences set the idle
# time and open the configuration dialog; locking the screen ends the run and nothing starts
# while locked.
# The session around the shell is real but for its display manager, which locking asks for only
# its version (gnome_shell.py display-manager answers that): gnome-session as the session
# manager, and private session and system buses.
#   gnome_shell.sh BUILD_DIR SCREENSHOT_FOLDER        installs the build into a folder first
#   gnome_shell.sh --installed PREFIX SCREENSHOT_FOLDER  the program and extension under PREFIX
set -euo pipefail
source "$(dirname "$0")/virtual_display.sh"
if [[ $(id -u) != 0 ]]; then
  echo "SKIPPED: GNOME Shell runs only as a user of its own, which takes root to make"
  exit 0
fi
command -v gnome-shell >/dev/null || { echo "SKIPPED: gnome-shell is not installed"; exit 0; }
helper=$(realpath "$(dirname "$0")/gnome_shell.py")
work=$(mktemp -d)
chmod 755 "$work"
if [[ $1 == --installed ]]; then
  prefix=$2
  shots=$3
else
  prefix=$work/prefix
  shots=$2
  cmake --install "$1" --prefix "$prefix" >"$work/install.log" 2>&1 ||
    fail "cmake --install: $(tail -n 3 "$work/install.log")"
fi
mkdir -p "$shots"
shots=$(realpath "$shots")
uuid=flurrix@flurrix.example.com
extension=$prefix/share/gnome-shell/extensions/$uuid
[[ -f $extension/schemas/gschemas.compiled ]] || fail "no compiled schema in $extension"
version=$(gnome-shell --version | sed 's/[^0-9]*\([0-9]*\).*/\1/')
rm -f "$shots/gnome$version-not-covered.png"
user=flurrix-gs-$$
# A failure shows the end of the shell's log too.
fail() {
  echo "FAIL: $*" >&2
  [[ -f $work/shell.log ]] && tail -n 15 "$work/shell.log" >&2
  exit 1
}
cleanup() {
  # userdel refuses a user whose processes are still ending.
  for _ in $(seq 50); do pkill -9 -u "$user" 2>/dev/null || break; sleep 0.1; done
  # The X server's sockets and locks.
  find /tmp/.X11-unix /tmp -maxdepth 1 -user "$user" \( -name 'X[0-9]*' -o -name '.X*-lock' \) \
    -delete 2>/dev/null || true
  userdel "$user" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT
useradd --no-create-home --home-dir "$work/home" "$user"
mkdir -p "$work/home" "$work/runtime" "$work/data/gnome-session/sessions" "$work/autostart"
chown "$user" "$work/home" "$work/runtime"
chmod 700 "$work/runtime"
# A session of no components: gnome-session only as the session manager the inhibitor lives in.
printf '[GNOME Session]\nName=Test\nRequiredComponents=\n' \
  >"$work/data/gnome-session/sessions/flurrix-test.session"

bus=
system_bus=
as_user() {
  runuser -u "$user" -- env -u DISPLAY -u WAYLAND_DISPLAY HOME="$work/home" \
    XDG_RUNTIME_DIR="$work/runtime" XDG_CONFIG_HOME="$work/home/.config" \
    ${bus:+DBUS_SESSION_BUS_ADDRESS=$bus} ${system_bus:+DBUS_SYSTEM_BUS_ADDRESS=$system_bus} \
    FLURRIX_SITE=http://127.0.0.1:9 "$@"
}
shell_do() { as_user env WAYLAND_DISPLAY=wayland-0 /usr/bin/python3 "$helper" "$@"; }
# Polls COMMAND... every fifth of a second for up to SECONDS; false if it never succeeded.
wait_for() {
  local tries=$(($1 * 5))
  shift
  for _ in $(seq "$tries"); do "$@" && return 0; sleep 0.2; done
  return 1
}
saver_running() { pgrep -u "$user" -f -- "bin/flurrix --wayland" >/dev/null; }
# No process of the program at all.
saver_gone() { ! pgrep -u "$user" -f -- "bin/flurrix" >/dev/null; }
idle_for() { [[ $(shell_do idletime) -ge $1 ]]; }
start_after=3
# Nothing may have started once the user has been idle well past start-after.
stays_off() {
  wait_for 30 idle_for $((start_after * 1000 + 2000)) || fail "the idle time did not grow"
  saver_gone || fail "the snow started $1"
}

as_user "$prefix/bin/flurrix" /i || fail "flurrix /i failed"
# Ten frames a second leave the machine's cores to the shell and the checks.
sed -i -e 's/^flakes = .*/flakes = 2000/' -e 's/^flakesize = .*/flakesize = 8/' \
  -e 's/^music = .*/music = 0/' -e 's/^fps = .*/fps = 10/' \
  "$work/home/.config/Corvantic/Flurrix Screensaver/config.ini"

system_bus=$(as_user dbus-daemon --session --fork --print-address)
bus=$(as_user dbus-daemon --session --fork --print-address)
as_user env XDG_DATA_DIRS="$work/data:/usr/share" XDG_CONFIG_DIRS="$work/autostart" \
  /usr/libexec/gnome-session-binary --systemd-service --session=flurrix-test -a "$work/autostart" \
  --disable-acceleration-check >"$work/session.log" 2>&1 &
shell_do display-manager >"$work/display-manager.log" 2>&1 &
as_user gsettings set org.gnome.shell disable-user-extensions false
as_user gsettings reset org.gnome.shell disabled-extensions
as_user gsettings set org.gnome.shell enabled-extensions "['$uuid']"
# start-after: its value printed, or set to $1.
start_after_setting() {
  local command=get
  [[ $# == 0 ]] || command=set
  as_user gsettings --schemadir "$extension/schemas" $command \
    org.gnome.shell.extensions.flurrix start-after "$@"
}
start_after_setting 600
wait_for 30 as_user gdbus introspect --session --dest org.gnome.SessionManager \
  --object-path /org/gnome/SessionManager >/dev/null 2>&1 ||
  { echo "SKIPPED: gnome-session did not start: $(tail -n 3 "$work/session.log")"; exit 0; }
wait_for 30 as_user gdbus introspect --system --dest org.gnome.DisplayManager \
  --object-path /org/gnome/DisplayManager/Manager >/dev/null 2>&1 || fail "no display manager"

# The shell, with an X server for the configuration dialog (at once, or when a client comes).
[[ -d /tmp/.X11-unix ]] || mkdir -m 1777 /tmp/.X11-unix
ls /tmp/.X11-unix >"$work/x-sockets"
data_dirs=$prefix/share:/usr/share
[[ $prefix == /usr ]] && data_dirs=/usr/share
as_user env XDG_DATA_DIRS="$data_dirs" gnome-shell --headless --wayland \
  --virtual-monitor 1920x1080 --virtual-monitor 1280x1024 >"$work/shell.log" 2>&1 &
wait_for 60 shell_do ready ||
  { echo "SKIPPED: GNOME Shell did not start: $(tail -n 5 "$work/shell.log")"; exit 0; }
state=$(as_user gnome-extensions info "$uuid" | sed -n 's/ *State: //p')
# GNOME 48 says ACTIVE where GNOME 43 says ENABLED.
[[ $state == ENABLED || $state == ACTIVE ]] || fail "the extension is $state"
mapfile -t monitors < <(shell_do monitors)
[[ ${#monitors[@]} == 2 ]] || fail "the shell has not two monitors: ${monitors[*]}"

shoot() { shell_do shot "$work/home/$1"; }
# The pixels that differ by more than a tenth between shots $1 and $2, in each area of the
# screen that a crop geometry ($3...) cuts (4x4@ on a monitor's area: in each of its sixteen
# tiles), all from one decoding of the shots.
changed() {
  local areas=() area
  for area in "${@:3}"; do
    areas+=("(" mpr:changed -crop "$area" +repage -crop 4x4@ +repage ")")
  done
  convert "$work/home/$1" "$work/home/$2" -compose difference -composite -separate \
    -evaluate-sequence max -threshold 10% -write mpr:changed +delete "${areas[@]}" \
    -format '%[fx:int(mean*w*h)] ' info:
}
monitor_area() { awk '{ print $3 "x" $4 "+" $1 "+" $2 }' <<<"${monitors[$1]}"; }
# True when snow moved in every sixteenth of every monitor between shots $1 and $2.
moves_everywhere() {
  local tile
  for tile in $(changed "$1" "$2" $(monitor_area 0) $(monitor_area 1)); do
    [[ $tile -gt 10 ]] || return 1
  done
}
# Waits up to a minute for the run to cover every monitor: snow moving everywhere between two
# pairs of shots in a row (one pair could span the run's windows appearing over a still desktop).
# The last two shots are left in a.png and b.png.
covered() {
  local moving=0 until=$((SECONDS + 60))
  shoot b.png || return 1
  while [[ $SECONDS -lt $until ]]; do
    mv "$work/home/b.png" "$work/home/a.png"
    shoot b.png || return 1
    if moves_everywhere a.png b.png; then
      moving=$((moving + 1))
      [[ $moving == 2 ]] && return 0
    else
      moving=0
    fi
  done
  return 1
}

# Idle starts the run over the window the user left focused: each monitor shows the picture over
# its whole area (the top bar covered) and snow that moves, and a critical notification sent
# meanwhile shows no banner.
shell_do window Editor >"$work/window.log" 2>&1 &
shell_do wait FRAME Editor || fail "the user's window did not open: $(cat "$work/window.log")"
# Out of the overview the shell starts in, to the desktop.
shell_do key Escape
start_after_setting "$start_after"
wait_for 60 saver_running || fail "idle did not start the snow: $(tail -n 5 "$work/shell.log")"
as_user gdbus call --session --dest org.freedesktop.Notifications \
  --object-path /org/freedesktop/Notifications --method org.freedesktop.Notifications.Notify \
  test 0 "" "Battery low" "Plug in now" "[]" "{'urgency': <byte 2>}" 5000 >/dev/null
if ! covered; then
  cp "$work/home/b.png" "$shots/gnome$version-not-covered.png"
  fail "the run does not cover every monitor (gnome$version-not-covered.png)"
fi
for i in "${!monitors[@]}"; do
  read -r x y width height <<<"${monitors[$i]}"
  convert "$work/home/b.png" -crop "${width}x$height+$x+$y" +repage \
    "$shots/gnome$version-monitor$((i + 1)).png"
done
# Snow moves along the whole top edge, where the top bar would be, and in the middle below it,
# where the notification's banner would be.
read -r _ _ width _ <<<"${monitors[0]}"
read -r top middle < <(changed a.png b.png "${width}x30+0+0" "300x40+$(((width - 300) / 2))+20" |
  awk '{ for (i = 1; i <= 16; i++) { t += $i; m += $(i + 16) } print t, m }')
[[ $top -gt 30 ]] || fail "the top bar covers the run ($top pixels changed under it)"
[[ $middle -gt 30 ]] || fail "a banner covers the run ($middle pixels changed under it)"

# A key ends it, leaving no process; the next idle starts it again.
shell_do key Shift_L
wait_for 10 saver_gone || fail "a key did not end the snow"
wait_for 30 saver_running || fail "the next idle did not start the snow again"

# Disabling the extension ends the run, and nothing starts while it is disabled.
as_user gnome-extensions disable "$uuid"
wait_for 10 saver_gone || fail "disabling the extension did not end the snow"
shell_do key Shift_L
stays_off "while the extension was disabled"
as_user gsettings reset org.gnome.shell disabled-extensions
as_user gnome-extensions enable "$uuid"

# Nothing starts while the session's idle inhibitor is held (a video playing); its release lets
# the snow start.
# (Not a job of this shell, so that its end is not reported.)
(as_user gnome-session-inhibit --inhibit idle --reason video sleep infinity >/dev/null 2>&1 &)
inhibited() { as_user gnome-session-inhibit --list | grep -q video; }
wait_for 10 inhibited || fail "the inhibitor was not taken"
shell_do key Shift_L
stays_off "while the idle inhibitor was held"
pkill -u "$user" -f "sleep infinity"
wait_for 30 saver_running || fail "the snow did not start once the inhibitor was released"
shell_do key Shift_L
wait_for 10 saver_gone || fail "a key did not end the snow"

# The preferences (the Extensions app's page) open the configuration dialog, an X11 window of
# the program, and set start-after. The session manager hands the X server's address to the
# programs the bus starts (the Extensions app among them): here the test does it.
start_after_setting 600
x_server() {
  display=$(comm -13 "$work/x-sockets" <(ls /tmp/.X11-unix) | sed -n 's/^X/:/p' | head -n 1)
  authority=$(ls "$work/runtime"/.mutter-Xwaylandauth.* 2>/dev/null | head -n 1)
  [[ -n $display && -n $authority ]]
}
wait_for 30 x_server || fail "the shell offers no X server"
as_user gdbus call --session --dest org.freedesktop.DBus --object-path /org/freedesktop/DBus \
  --method org.freedesktop.DBus.UpdateActivationEnvironment \
  "{'DISPLAY': '$display', 'XAUTHORITY': '$authority', 'WAYLAND_DISPLAY': 'wayland-0'}" >/dev/null
as_user gnome-extensions prefs "$uuid"
shell_do press PUSH_BUTTON "Pictures, snow, clocks and music"
dialog_shown() {
  pgrep -u "$user" -f -- "bin/flurrix /c" >/dev/null && as_user env DISPLAY="$display" \
    XAUTHORITY="$authority" xdotool search --onlyvisible --name '^Flurrix Screensaver 3\.3$' \
    >/dev/null 2>&1
}
wait_for 30 dialog_shown || fail "Open showed no configuration dialog"
read -r x y width height <<<"${monitors[0]}"
shoot dialog.png
convert "$work/home/dialog.png" -crop "${width}x$height+$x+$y" +repage \
  "$shots/gnome$version-preferences-dialog.png"
pkill -u "$user" -f -- "bin/flurrix /c"
start_after_is() { [[ $(start_after_setting) == "uint32 $1" ]]; }
shell_do set SPIN_BUTTON "Start after" 2
wait_for 10 start_after_is 2 || fail "the preferences did not set start-after"
start_after=2

# Locking the screen ends the run; nothing starts while it is locked.
wait_for 30 saver_running || fail "idle did not start the snow before the lock"
as_user gdbus call --session --dest org.gnome.ScreenSaver --object-path /org/gnome/ScreenSaver \
  --method org.gnome.ScreenSaver.Lock >/dev/null
wait_for 10 saver_gone || fail "locking the screen did not end the snow"
stays_off "while the screen was locked"
echo "GNOME Shell $version tests passed (${SECONDS}s)"

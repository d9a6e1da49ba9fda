#!/usr/bin/env bash
# The Debian package on this machine (needs root; skipped otherwise): lintian finds no error,
# apt-get installs it, the program works from /usr/bin, a real XScreenSaver daemon runs it as
# its only display mode on both screens of a virtual display (snow over a picture on each, then
# over the desktop it covered) and ends it within a second leaving no file behind, and removing the package leaves nothing.
#   debian_package.sh BUILD_DIR SCREENSHOT_FOLDER
set -euo pipefail
source "$(dirname "$0")/virtual_display.sh"
if [[ $(id -u) != 0 ]]; then
  echo "SKIPPED: installing a package needs root"
  exit 0
fi
build=$(realpath "$1")
shots=$(realpath "$2")
work=$(mktemp -d)
chmod 755 "$work"
user=flurrix-xss-$$
daemon=
cleanup() {
  [[ -n $daemon ]] && kill "$daemon" 2>/dev/null || true
  # userdel refuses a user whose processes are still ending.
  for _ in $(seq 50); do pkill -9 -u "$user" 2>/dev/null || break; sleep 0.1; done
  userdel "$user" 2>/dev/null || true
  kill "$xvfb" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT
mkdir -p "$shots"

(cd "$build" && cpack -G DEB >/dev/null 2>&1) || fail "cpack could not make the package"
deb=$(ls -t "$build"/flurrix_*.deb | head -n 1)
lintian --fail-on error "$deb" >"$work/lintian" 2>&1 || fail "lintian: $(cat "$work/lintian")"

apt-get install -y -q --reinstall "$deb" >"$work/apt" 2>&1 || fail "apt-get install: $(tail -n 5 "$work/apt")"
dpkg -L flurrix >"$work/files"
for path in /usr/bin/flurrix /usr/libexec/flurrix/libflurrix.so /usr/libexec/xscreensaver/flurrix \
    /usr/share/xscreensaver/config/flurrix.xml /usr/share/applications/flurrix.desktop \
    /usr/share/flurrix/data/forest/aurora.jpg; do
  [[ -e $path ]] || fail "$path is not installed"
done
# The GNOME Shell extension in both its forms, with its compiled settings schema.
extension=/usr/share/gnome-shell/extensions/flurrix@flurrix.example.com
for path in metadata.json extension.js extension/__init__.js prefs.js prefs/__init__.js saver.js \
    preferences.js schemas/gschemas.compiled; do
  grep -qx "$extension/$path" "$work/files" || fail "the package has no $extension/$path"
done
(cd / && XDG_CONFIG_HOME=$work/config flurrix /i) || fail "flurrix /i failed"
grep -q "^Path = /usr/libexec/flurrix/" "$work/config/Corvantic/Flurrix Screensaver/config.ini" ||
  fail "/i did not write the installed folder"

# XScreenSaver launches no display mode as root: a throwaway user runs the daemon.
home=$work/home
useradd --no-create-home --home-dir "$home" "$user"
mkdir -p "$home"
cat >"$home/.xscreensaver" <<'CONF'
mode: one
selected: 0
timeout: 0:30:00
lock: False
fade: False
unfade: False
splash: False
dpmsEnabled: False
grabDesktopImages: True
programs: GL: flurrix -root \n
CONF
chown -R "$user" "$home"
Xvfb -displayfd 3 -screen 0 800x600x24 -screen 1 640x480x24 -nolisten tcp -noreset \
  3>"$work/display" >/dev/null 2>&1 &
xvfb=$!
for _ in $(seq 100); do [[ -s $work/display ]] && break; sleep 0.1; done
display=:$(head -n 1 "$work/display")
as_user() { runuser -u "$user" -- env DISPLAY="$display" HOME="$home" "$@"; }
for _ in $(seq 100); do DISPLAY=$display xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done
as_user xscreensaver -no-splash >"$work/daemon.log" 2>&1 &
daemon=$!
for _ in $(seq 50); do as_user xscreensaver-command -time >/dev/null 2>&1 && break; sleep 0.2; done

# Copies that have not ended (an ended copy may wait a moment for the daemon's helper, which
# was stopped with it, to be reaped by someone else).
running() { ps -u "$user" -o stat=,comm= | awk '$1 !~ /^Z/ && $2 == "flurrix" { n++ } END { exit !n }'; }

# Activates the daemon, checks both screens show a picture (where the run shows one, $3),
# deactivates it and checks that every copy has ended within a second.
blank_and_unblank() {
  as_user xscreensaver-command -activate >/dev/null || fail "the daemon did not activate"
  local copies=0
  for _ in $(seq 50); do
    copies=$(pgrep -c -u "$user" -x flurrix || true)
    ((copies == 2)) && break
    sleep 0.2
  done
  ((copies == 2)) || fail "$copies copies run, not one per screen: $(cat "$work/daemon.log")"
  # A loaded machine may take a while to fade the first picture in.
  for screen in 0 1; do
    [[ -n $3 ]] || break
    local shown=
    for _ in $(seq 90); do
      sleep 0.5
      import -display "$display.$screen" -window root "$shots/xscreensaver-$1-$screen.png"
      read -r mean deviation < <(convert "$shots/xscreensaver-$1-$screen.png" -colorspace gray \
        -format '%[fx:mean] %[fx:standard_deviation]\n' info:)
      awk -v m="$mean" -v d="$deviation" 'BEGIN { exit !(m > 0.15 && d > 0.05) }' && shown=1 && break
    done
    [[ -n $shown ]] || fail "screen $screen shows no picture (mean $mean, deviation $deviation)"
  done
  if [[ -n $2 ]]; then
    # $2 is a pattern: "desktop-*.bmp" wants one file per copy.
    local made=0
    for _ in $(seq 50); do
      made=$(compgen -G "$folder/$2" | wc -l)
      ((made == ${4:-1})) && break
      sleep 0.2
    done
    ((made == ${4:-1})) || fail "$made files $2, not ${4:-1}, while the run is on"
  fi
  as_user xscreensaver-command -deactivate >/dev/null
  for _ in $(seq 10); do running || break; sleep 0.1; done
  running && fail "a copy still runs a second after deactivation: $(ps -u "$user" -o pid,stat,args)"
  ! grep -q "crashed" "$work/daemon.log" || fail "$(cat "$work/daemon.log")"
  ls "$home" | grep -q core && fail "a copy left a core file"
  true
}
folder="$home/.config/Corvantic/Flurrix Screensaver"
blank_and_unblank slides "" picture
# The desktop background shows the picture of the desktop that the daemon kept when it covered
# it (the user lets display modes show the desktop): each copy keeps its own screen's in a file of
# its own ("desktop-WINDOW.bmp", two while the run is on), each screen shows its own desktop, and
# the files are gone after the run. Light patterns (the check of a shown picture asks for a mean
# level above 0.15), warm on screen 0 and cool on screen 1.
gradients=('#f0a090'-'#f0d090' '#90b0f0'-'#90f0c0')
for screen in 0 1; do
  convert -size 800x600 -define gradient:direction=east gradient:"${gradients[$screen]}" \
    \( -size 800x600 pattern:checkerboard \) -compose multiply -composite "$work/painted.png"
  DISPLAY=$display.$screen display -window root "$work/painted.png" || true
done
printf '[Screensaver]\r\nbackground = 1\r\nvideow = 800\r\nvideoh = 600\r\n' >"$folder/config.ini"
chown "$user" "$folder/config.ini"
blank_and_unblank desktop "desktop-*.bmp" picture 2
for screen in 0 1; do
  # Red against blue over the whole screen: above 1 on the warm desktop, below on the cool one.
  ratio=$(convert "$shots/xscreensaver-desktop-$screen.png" -format '%[fx:mean.r/mean.b]' info:)
  awk -v r="$ratio" -v s="$screen" 'BEGIN { exit !(s == 0 ? r > 1.2 : r < 0.8) }' ||
    fail "screen $screen does not show its own desktop (red/blue $ratio)"
done
leftover=$(ls -A "$folder" | grep -v '^config.ini$' || true)
[[ -z $leftover ]] || fail "left behind: $leftover"

apt-get purge -y -q flurrix >"$work/apt" 2>&1 || fail "apt-get purge: $(tail -n 5 "$work/apt")"
while read -r path; do
  [[ $path == /. || $path == /usr || $path == /usr/* && -d $path && $(dpkg -S "$path" 2>/dev/null) ]] && continue
  [[ -e $path || -L $path ]] && fail "$path is left after removal"
done <"$work/files"
echo "package: lintian clean, installed, shown by XScreenSaver on two screens, removed"

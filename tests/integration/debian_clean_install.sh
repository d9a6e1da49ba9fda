#!/usr/bin/env bash
# The Debian package as a user meets it (needs root; skipped otherwise): a minimal Debian of this
# machine's release made with debootstrap, `apt-get install ./flurrix_*.deb` with nothing else
# named, then `flurrix /s` drawing into a virtual X server of this machine and its music reaching
# a fakesink. What SDL and GStreamer open at run time must come with the package.
# The new system (debian_root.sh) gets this machine's Debian sources of its release.
#   debian_clean_install.sh BUILD_DIR SCREENSHOT_FOLDER
set -euo pipefail
source "$(dirname "$0")/virtual_display.sh"
source "$(dirname "$0")/debian_root.sh"
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
  [[ -n $xvfb ]] && kill "$xvfb" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT
suite=$(. /etc/os-release && echo "$VERSION_CODENAME")
debian_root_make "$suite"

debian_root_install "$build"

start_virtual_display 800x600
mount_into /tmp/.X11-unix /tmp/.X11-unix --bind -o ro
settings=/tmp/config/Corvantic/Flurrix\ Screensaver/config.ini
in_root env XDG_CONFIG_HOME=/tmp/config flurrix /i || fail "flurrix /i failed"
sed -i 's/^music = 0/music = 1/' "$root$settings"
# dump=true prints every buffer that reaches the sink.
exec_in_root env DISPLAY="$DISPLAY" XDG_CONFIG_HOME=/tmp/config XDG_RUNTIME_DIR=/tmp \
  FLURRIX_AUDIO_SINK="fakesink sync=true dump=true" flurrix /s >"$work/sink" 2>"$work/stderr" &
run=$!
shown=
for _ in $(seq 40); do
  sleep 0.5
  kill -0 "$run" 2>/dev/null || fail "the run ended: $(cat "$work/stderr")"
  import -window root "$shots/clean-install.png"
  read -r mean deviation < <(convert "$shots/clean-install.png" -colorspace gray \
    -format '%[fx:mean] %[fx:standard_deviation]\n' info:)
  awk -v m="$mean" -v d="$deviation" 'BEGIN { exit !(m > 0.15 && d > 0.05) }' && shown=1 && break
done
[[ -n $shown ]] || fail "the run shows no picture (mean $mean, deviation $deviation): $(cat "$work/stderr")"
for _ in $(seq 50); do [[ -s $work/sink ]] && break; sleep 0.2; done
grep -q '^00000000 ' "$work/sink" || fail "no music reached the sink: $(cat "$work/stderr")"
kill -TERM "$run"
wait "$run" || fail "exit code $? after SIGTERM"
echo "clean $suite $root_release: the package installed with what it opens, drew the run and played its music (${SECONDS}s)"

#!/usr/bin/env bash
# The Debian package as a user meets it (needs root; skipped otherwise): a minimal Debian of this
# machine's release made with debootstrap, `apt-get install ./flurrix_*.deb` with nothing else
# named, then `flurrix /s` drawing into a virtual X server of this machine and its music reaching
# a fakesink. What SDL and GStreamer open at run time must come with the package.
# The base system is made once into ~/.cache/flurrix/debian-base/ and the packages apt fetched
# are kept there too.
#   debian_clean_install.sh BUILD_DIR SCREENSHOT_FOLDER
set -euo pipefail
source "$(dirname "$0")/virtual_display.sh"
if [[ $(id -u) != 0 ]]; then
  echo "SKIPPED: making a Debian system needs root"
  exit 0
fi
build=$(realpath "$1")
shots=$(realpath "$2")
mkdir -p "$shots"
source /etc/os-release
suite=$VERSION_CODENAME
mirror=http://deb.debian.org/debian
cache=$HOME/.cache/flurrix/debian-base
mkdir -p "$cache/archives/partial"
work=$(mktemp -d)
root=$work/root
mounted=()
run=
cleanup() {
  [[ -n $run ]] && kill -9 "$run" 2>/dev/null || true
  kill "$xvfb" 2>/dev/null || true
  for ((i = ${#mounted[@]} - 1; i >= 0; i--)); do
    umount "${mounted[i]}" 2>/dev/null || umount -l "${mounted[i]}" 2>/dev/null || true
  done
  # Never remove through a mount that is still there (/tmp/.X11-unix is this machine's own).
  if grep -q " $root" /proc/mounts; then
    echo "left $work in place: something is still mounted there" >&2
  else
    rm -rf "$work"
  fi
}
trap cleanup EXIT
mount_into() {
  mkdir -p "$root$2"
  mount "${@:3}" "$1" "$root$2"
  mounted+=("$root$2")
}

# One test at a time per machine: the base and the package cache are shared.
exec 9>"$cache/lock"
flock 9
base=$cache/$suite-minbase.tar
if [[ ! -f $base ]]; then
  debootstrap --variant=minbase "$suite" "$work/base" "$mirror" >"$work/debootstrap.log" 2>&1 ||
    fail "debootstrap: $(tail -n 5 "$work/debootstrap.log")"
  tar -C "$work/base" -cf "$base.part" . && mv "$base.part" "$base"
  rm -rf "$work/base"
fi
mkdir -p "$root"
tar -C "$root" -xpf "$base"

(cd "$build" && cpack -G DEB >/dev/null 2>&1) || fail "cpack could not make the package"
deb=$(ls -t "$build"/flurrix_*.deb | head -n 1)
cp "$deb" "$root/tmp/"
mount_into proc /proc -t proc
mount_into "$cache/archives" /var/cache/apt/archives --bind
in_root() { chroot "$root" env -i PATH=/usr/sbin:/usr/bin:/sbin:/bin HOME=/root "$@"; }
# The same as the process itself, so that its id is the program's.
exec_in_root() { exec chroot "$root" env -i PATH=/usr/sbin:/usr/bin:/sbin:/bin HOME=/root "$@"; }
in_root apt-get update -q >"$work/apt" 2>&1 || fail "apt-get update: $(tail -n 5 "$work/apt")"
in_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -q "/tmp/$(basename "$deb")" \
  >"$work/apt" 2>&1 || fail "apt-get install: $(tail -n 5 "$work/apt")"

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
run=
echo "clean $suite: the package installed with what it opens, drew the run and played its music"

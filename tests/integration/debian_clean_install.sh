#!/usr/bin/env bash
# The Debian package as a user meets it (needs root; skipped otherwise): a minimal Debian of this
# machine's release made with debootstrap, `apt-get install ./flurrix_*.deb` with nothing else
# named, then `flurrix /s` drawing into a virtual X server of this machine and its music reaching
# a fakesink. What SDL and GStreamer open at run time must come with the package.
# The new system gets this machine's Debian sources of its release (no host name is written
# here). Its base is made once per point release and debootstrap version and kept as a tarball
# in ~/.cache/flurrix/debian-base/, with the packages apt fetched; each run unpacks it into a
# tmpfs of its own mount namespace, so nothing it mounted outlives it, however it ends.
#   debian_clean_install.sh BUILD_DIR SCREENSHOT_FOLDER
set -euo pipefail
source "$(dirname "$0")/virtual_display.sh"
if [[ $(id -u) != 0 ]]; then
  echo "SKIPPED: making a Debian system needs root"
  exit 0
fi
if [[ -z ${CLEAN_INSTALL_OWN_MOUNTS:-} ]]; then
  CLEAN_INSTALL_OWN_MOUNTS=1 exec unshare --mount --propagation private bash "$0" "$@"
fi
build=$(realpath "$1")
shots=$(realpath "$2")
mkdir -p "$shots"
source /etc/os-release
suite=$VERSION_CODENAME
# "URI RELEASE" of each of this machine's main components of its release and its updates.
mapfile -t sources < <(apt-get indextargets --format '$(REPO_URI) $(RELEASE)' \
  'Identifier: Packages' 'Component: main' | sort -u |
  awk -v s="$suite" '$2 == s || index($2, s "-") == 1')
mirror=$(printf '%s\n' "${sources[@]}" | awk -v s="$suite" '$2 == s { print $1; exit }')
[[ -n $mirror ]] || fail "this machine's apt sources have no main component of $suite"
mirror=${mirror%/}
cache=$HOME/.cache/flurrix/debian-base
mkdir -p "$cache/archives/partial"
work=$(mktemp -d)
root=$work/root
cleanup() {
  # Whatever runs inside the new system: the program, a daemon a package may have started.
  for proc in /proc/[0-9]*; do
    [[ $(readlink "$proc/root" 2>/dev/null) == "$root" ]] && kill -9 "${proc#/proc/}" 2>/dev/null || true
  done
  [[ -n $xvfb ]] && kill "$xvfb" 2>/dev/null || true
  # Never remove through a mount (the package cache is one).
  if mountpoint -q "$root" && ! umount -R "$root" 2>/dev/null && ! umount -R -l "$root"; then
    echo "left $work in place: it is still mounted" >&2
    return
  fi
  rm -rf "$work"
}
trap cleanup EXIT

# One test at a time per machine: the base and the package cache are shared.
exec 9>"$cache/lock"
flock 9
/usr/lib/apt/apt-helper download-file "$mirror/dists/$suite/InRelease" "$work/InRelease" \
  >"$work/fetch" 2>&1 || fail "$mirror/dists/$suite/InRelease: $(cat "$work/fetch")"
release=$(sed -n 's/^Version: //p' "$work/InRelease")
key=$(printf '%s\n' "$mirror" "$(dpkg --print-architecture)" \
  "$(dpkg-query -W -f='${Version}' debootstrap)" | sha256sum | cut -c1-12)
base=$cache/$suite-$release-minbase-$key.tar
mkdir "$root"
mount -t tmpfs -o size=4g,mode=755 flurrix-clean-debian "$root"
if [[ -f $base ]]; then
  tar -C "$root" -xpf "$base"
else
  debootstrap --variant=minbase "$suite" "$root" "$mirror" >"$work/debootstrap.log" 2>&1 ||
    fail "debootstrap: $(tail -n 5 "$work/debootstrap.log")"
  # The package cache is mounted over its own.
  rm -f "$root"/var/cache/apt/archives/*.deb
  rm -f "$cache"/*.tar
  tar -C "$root" -cf "$base.part" . && mv "$base.part" "$base"
fi

(cd "$build" && cpack -G DEB >/dev/null 2>&1) || fail "cpack could not make the package"
deb=$(ls -t "$build"/flurrix_*.deb | head -n 1)
cp "$deb" "$root/tmp/"
printf 'deb %s main\n' "${sources[@]}" >"$root/etc/apt/sources.list"
mount_into() {
  mkdir -p "$root$2"
  mount "${@:3}" "$1" "$root$2"
}
mount_into proc /proc -t proc
mount_into "$cache/archives" /var/cache/apt/archives --bind
in_root() { chroot "$root" env -i PATH=/usr/sbin:/usr/bin:/sbin:/bin HOME=/root "$@"; }
# The same as the process itself, so that its id is the program's.
exec_in_root() { exec chroot "$root" env -i PATH=/usr/sbin:/usr/bin:/sbin:/bin HOME=/root "$@"; }
in_root apt-get update -q >"$work/apt" 2>&1 || fail "apt-get update: $(tail -n 5 "$work/apt")"
in_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -q "/tmp/$(basename "$deb")" \
  >"$work/apt" 2>&1 || fail "apt-get install: $(tail -n 5 "$work/apt")"
# Versions the archive no longer serves leave the shared package cache.
in_root apt-get autoclean -q >/dev/null

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
echo "clean $suite $release: the package installed with what it opens, drew the run and played its music (${SECONDS}s)"

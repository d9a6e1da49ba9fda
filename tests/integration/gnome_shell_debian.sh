#!/usr/bin/env bash
# The GNOME Shell extension in the GNOME Shell of another Debian release (needs root; skipped
# otherwise): a minimal Debian of SUITE (debian_root.sh), the package built here installed in it
# with apt-get beside the packages the test needs, and gnome_shell.sh run inside it.
# Debian 13 has GNOME 48, which loads the extension as ES modules where Debian 12's GNOME 43
# takes it through its older importer.
# The GNOME packages make the base's system several times larger: the system with them is kept
# beside the base (~/.cache/flurrix/debian-base/SUITE-RELEASE-gnome-KEY.tar), made again when the
# base or the list of packages changes.
#   gnome_shell_debian.sh BUILD_DIR SCREENSHOT_FOLDER [SUITE]   (SUITE: trixie unless named)
set -euo pipefail
source "$(dirname "$0")/virtual_display.sh"
source "$(dirname "$0")/debian_root.sh"
if [[ $(id -u) != 0 ]]; then
  echo "SKIPPED: making a Debian system needs root"
  exit 0
fi
debian_root_private_mounts "$@"
tests=$(realpath "$(dirname "$0")")
build=$(realpath "$1")
mkdir -p "$2"
shots=$(realpath "$2")
suite=${3:-trixie}
trap debian_root_cleanup EXIT

debian_root_make "$suite"
# The shell and what the test runs beside it, as ./test.sh installs them here (the GNOME line of
# the test packages), and the tools this machine has anyway. Kept without the program, which is
# installed afresh each time.
mapfile -t -d ' ' packages < <(grep -m 1 '^gnome-shell ' \
  "$tests/../../scripts/packages/linux-test.txt" | tr -d '\n')
[[ ${#packages[@]} -gt 1 ]] || fail "no GNOME line in scripts/packages/linux-test.txt"
packages+=(imagemagick xdotool procps)
key=$(printf '%s\n' "$root_release" "${packages[@]}" | sha256sum | cut -c1-12)
gnome=$debian_root_cache/$suite-$root_release-gnome-$key.tar
if [[ -f $gnome ]]; then
  tar -C "$root" -xpf "$gnome"
else
  in_root apt-get update -q >"$debian_root_work/apt" 2>&1 ||
    fail "apt-get update: $(tail -n 5 "$debian_root_work/apt")"
  in_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends \
    "${packages[@]}" >"$debian_root_work/apt" 2>&1 ||
    fail "apt-get install: $(tail -n 5 "$debian_root_work/apt")"
  rm -f "$debian_root_cache/$suite"-*-gnome-*.tar
  tar -C "$root" --exclude=./proc --exclude=./var/cache/apt/archives -cf "$gnome.part" . &&
    mv "$gnome.part" "$gnome"
fi
debian_root_install "$build"

mount_into sysfs /sys -t sysfs -o ro
mount_into tmpfs /dev/shm -t tmpfs
mkdir -p "$root/tmp/tests" "$root/tmp/shots"
cp "$tests/gnome_shell.sh" "$tests/gnome_shell.py" "$tests/virtual_display.sh" "$root/tmp/tests/"
status=0
in_root bash /tmp/tests/gnome_shell.sh --installed /usr /tmp/shots | tee "$debian_root_work/run" ||
  status=$?
# The shots, a failure's among them.
cp "$root"/tmp/shots/*.png "$shots/" 2>/dev/null || true
[[ $status == 0 ]] || exit "$status"
grep -q '^SKIPPED' "$debian_root_work/run" && exit 0
echo "$suite $root_release: ${SECONDS}s"

# Sourced by the tests that run something in a minimal Debian (needs root): a minbase of a given
# suite (bookworm, trixie) from the mirror of this machine's own apt sources, unpacked into a
# tmpfs of the test's own mount namespace, so nothing mounted there outlives the test, however it
# ends. No host name is written here. Each suite's base is made once per point release and
# debootstrap version and kept as a tarball in ~/.cache/flurrix/debian-base/, with the packages
# apt fetched for it.
#   debian_root_private_mounts "$@"   first thing: runs the calling script again in a mount
#                                     namespace of its own (returns in that run)
#   debian_root_make SUITE            the system in $root, with the suite's sources, /proc and
#                                     the kept package cache; $root_release is its point release
#   debian_root_install BUILD PKG...  the Debian package made from the build folder BUILD, then
#                                     the packages PKG... (no recommends), installed inside by
#                                     apt-get as a user installs them
#   in_root CMD...                    runs CMD inside, with a clean environment
#   exec_in_root CMD...               the same, as this (sub)shell itself, so its id is CMD's
#   debian_root_cleanup               ends whatever runs inside and removes the system: the
#                                     caller's trap of EXIT calls it
# The caller defines fail (virtual_display.sh has it).
debian_root_cache=$HOME/.cache/flurrix/debian-base
root=
root_release=
debian_root_work=

debian_root_private_mounts() {
  if [[ -z ${DEBIAN_ROOT_OWN_MOUNTS:-} ]]; then
    DEBIAN_ROOT_OWN_MOUNTS=1 exec unshare --mount --propagation private bash "$0" "$@"
  fi
}

debian_root_cleanup() {
  [[ -n $debian_root_work ]] || return 0
  # Whatever runs inside the system: the program, a daemon a package may have started.
  local proc
  for proc in /proc/[0-9]*; do
    [[ $(readlink "$proc/root" 2>/dev/null) == "$root" ]] && kill -9 "${proc#/proc/}" 2>/dev/null || true
  done
  # Never remove through a mount (the package cache is one).
  if mountpoint -q "$root" && ! umount -R "$root" 2>/dev/null && ! umount -R -l "$root"; then
    echo "left $debian_root_work in place: it is still mounted" >&2
    return 0
  fi
  rm -rf "$debian_root_work"
  debian_root_work=
}

debian_root_make() {
  local suite=$1 own mirror key base archives
  own=$(. /etc/os-release && echo "$VERSION_CODENAME")
  # "URI RELEASE" of each of this machine's main components of its release and its updates,
  # the release's name turned into the suite's.
  mapfile -t debian_root_sources < <(apt-get indextargets --format '$(REPO_URI) $(RELEASE)' \
    'Identifier: Packages' 'Component: main' | sort -u |
    awk -v s="$own" -v t="$suite" '$2 == s || index($2, s "-") == 1 { print $1, t substr($2, length(s) + 1) }')
  mirror=$(printf '%s\n' "${debian_root_sources[@]}" | awk -v s="$suite" '$2 == s { print $1; exit }')
  [[ -n $mirror ]] || fail "this machine's apt sources have no main component of $own"
  mirror=${mirror%/}
  archives=$debian_root_cache/archives-$suite
  mkdir -p "$archives/partial"
  debian_root_work=$(mktemp -d)
  root=$debian_root_work/root

  # One test at a time per machine: the bases and the package caches are shared.
  exec 9>"$debian_root_cache/lock"
  flock 9
  /usr/lib/apt/apt-helper download-file "$mirror/dists/$suite/InRelease" \
    "$debian_root_work/InRelease" >"$debian_root_work/fetch" 2>&1 ||
    fail "$mirror/dists/$suite/InRelease: $(cat "$debian_root_work/fetch")"
  root_release=$(sed -n 's/^Version: //p' "$debian_root_work/InRelease")
  key=$(printf '%s\n' "$mirror" "$(dpkg --print-architecture)" \
    "$(dpkg-query -W -f='${Version}' debootstrap)" | sha256sum | cut -c1-12)
  base=$debian_root_cache/$suite-$root_release-minbase-$key.tar
  mkdir "$root"
  mount -t tmpfs -o size=4g,mode=755 flurrix-clean-debian "$root"
  if [[ -f $base ]]; then
    tar -C "$root" -xpf "$base"
  else
    debootstrap --variant=minbase "$suite" "$root" "$mirror" >"$debian_root_work/debootstrap.log" 2>&1 ||
      fail "debootstrap $suite: $(tail -n 5 "$debian_root_work/debootstrap.log")"
    # The package cache is mounted over its own.
    rm -f "$root"/var/cache/apt/archives/*.deb
    # Earlier point releases of the suite go.
    rm -f "$debian_root_cache/$suite"-*-minbase-*.tar
    tar -C "$root" -cf "$base.part" . && mv "$base.part" "$base"
  fi
  printf 'deb %s main\n' "${debian_root_sources[@]}" >"$root/etc/apt/sources.list"
  mount_into proc /proc -t proc
  mount_into "$archives" /var/cache/apt/archives --bind
}

debian_root_install() {
  local build=$1 deb log=$debian_root_work/apt
  shift
  (cd "$build" && cpack -G DEB >/dev/null 2>&1) || fail "cpack could not make the package"
  deb=$(ls -t "$build"/flurrix_*.deb | head -n 1)
  cp "$deb" "$root/tmp/"
  in_root apt-get update -q >"$log" 2>&1 || fail "apt-get update: $(tail -n 5 "$log")"
  in_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -q "/tmp/$(basename "$deb")" \
    >"$log" 2>&1 || fail "apt-get install of the package: $(tail -n 5 "$log")"
  if (($#)); then
    in_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends "$@" \
      >"$log" 2>&1 || fail "apt-get install $*: $(tail -n 5 "$log")"
  fi
  # Versions the archive no longer serves leave the shared package cache.
  in_root apt-get autoclean -q >/dev/null
}

# mount_into SOURCE PATH_INSIDE MOUNT_OPTIONS...
mount_into() {
  mkdir -p "$root$2"
  mount "${@:3}" "$1" "$root$2"
}
in_root() { chroot "$root" env -i PATH=/usr/sbin:/usr/bin:/sbin:/bin HOME=/root "$@"; }
exec_in_root() { exec chroot "$root" env -i PATH=/usr/sbin:/usr/bin:/sbin:/bin HOME=/root "$@"; }

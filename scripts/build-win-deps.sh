#!/usr/bin/env bash
# Builds the third-party libraries of the Windows target (SDL2, libpng, libjpeg-turbo, FreeType,
# FLTK 1.3) as static MinGW-w64 archives from Debian's own source packages.
#
#   scripts/build-win-deps.sh            build (once) and print the prefix
#   scripts/build-win-deps.sh --prefix   only print the prefix
#
# The prefix is cached outside the repository, keyed by the hash of this script and the toolchain
# file: ~/.cache/flurrix/mingw-deps-<hash>. The link ~/.cache/flurrix/mingw-deps points at the
# prefix last built; the `windows` preset finds the libraries through it. Builds run at -j2.
set -euo pipefail
shopt -s nullglob
cd "$(dirname "$0")/.."
repo=$PWD
toolchain=$repo/cmake/mingw-w64-x86_64.cmake
triple=x86_64-w64-mingw32
sysroot=/usr/$triple

cache=$HOME/.cache/flurrix
hash=$(cat "$0" "$toolchain" | sha256sum | cut -c1-16)
prefix=$cache/mingw-deps-$hash

if [[ ${1:-} == --prefix ]]; then
  echo "$prefix"
  exit 0
fi

mkdir -p "$cache"
# One build at a time: a second caller waits, then finds the finished prefix.
exec 9>"$cache/mingw-deps.lock"
flock 9

if [[ -f $prefix/.complete ]]; then
  ln -sfn "$prefix" "$cache/mingw-deps"
  echo "$prefix"
  exit 0
fi

log() { echo "build-win-deps: $*" >&2; }
started=$(date +%s)

# ---- Debian source packages through a private apt configuration ----
# The deb-src entries are made from the machine's own bookworm entries (the same URIs and
# keyring), so no host name is written here. Bookworm's fltk1.3 source files are not served:
# trixie is added as a source suite the same way, and only fltk1.3 is taken from it.
apt_dir=$cache/apt
src_dir=$cache/sources
mkdir -p "$apt_dir/lists/partial" "$apt_dir/cache/archives/partial" "$apt_dir/sources.list.d" "$src_dir"

system_entries() {
  # deb822 files: one stanza per paragraph.
  local f
  for f in /etc/apt/sources.list.d/*.sources; do
    awk 'BEGIN { RS = ""; FS = "\n" } { print; print "" }' "$f"
  done
  # One-line files become stanzas.
  for f in /etc/apt/sources.list /etc/apt/sources.list.d/*.list; do
    [[ -f $f ]] || continue
    sed -e 's/#.*//' "$f" | awk '
      $1 == "deb" {
        i = 2; signed = ""
        if ($2 ~ /^\[/) {
          while (i <= NF) {
            o = $i; gsub(/[][]/, "", o)
            if (o ~ /^signed-by=/) { sub(/^signed-by=/, "", o); signed = o }
            if ($i ~ /\]$/) { i++; break }
            i++
          }
        }
        comps = ""
        for (j = i + 2; j <= NF; j++) comps = comps (comps == "" ? "" : " ") $j
        print "Types: deb"; print "URIs: " $i; print "Suites: " $(i + 1)
        print "Components: " comps
        if (signed != "") print "Signed-By: " signed
        print ""
      }'
  done
  return 0
}

# Keeps the enabled binary entries of bookworm's suites; writes each as deb-src, and the one
# with the plain bookworm suite a second time for trixie.
system_entries | awk '
  BEGIN { RS = ""; FS = "\n" }
  {
    types = ""; uris = ""; suites = ""; comps = ""; signed = ""; enabled = "yes"
    for (i = 1; i <= NF; i++) {
      line = $i
      if (line ~ /^#/) continue
      if (line ~ /^[ \t]/) { if (key == "signed-by") signed = signed "\n" line; continue }
      key = tolower(substr(line, 1, index(line, ":") - 1))
      val = substr(line, index(line, ":") + 1); sub(/^[ \t]+/, "", val); sub(/[ \t]+$/, "", val)
      if (key == "types") types = val
      else if (key == "uris") uris = val
      else if (key == "suites") suites = val
      else if (key == "components") comps = val
      else if (key == "signed-by") signed = val
      else if (key == "enabled") enabled = tolower(val)
    }
    if (enabled == "no" || (" " types " ") !~ / deb /) next
    n = split(suites, s, /[ \t]+/); kept = ""; plain = 0
    for (i = 1; i <= n; i++) {
      if (s[i] ~ /^bookworm(-updates|-security)?$/) kept = kept (kept == "" ? "" : " ") s[i]
      if (s[i] == "bookworm") plain = 1
    }
    if (kept == "") next
    out = "Types: deb-src\nURIs: " uris "\nComponents: " comps
    if (signed != "") out = out "\nSigned-By: " signed
    print out "\nSuites: " kept "\n"
    if (plain) print out "\nSuites: trixie\n"
  }' > "$apt_dir/sources.list.d/flurrix-src.sources"

if ! grep -q '^Suites: trixie' "$apt_dir/sources.list.d/flurrix-src.sources"; then
  log "no bookworm entry in the machine's apt sources to make source entries from"
  exit 1
fi

cat > "$apt_dir/apt.conf" <<EOF
Dir::Etc::SourceList "/dev/null";
Dir::Etc::SourceParts "$apt_dir/sources.list.d";
Dir::State::Lists "$apt_dir/lists";
Dir::Cache "$apt_dir/cache";
APT::Sandbox::User "root";
Acquire::Languages "none";
EOF
if [[ $(id -u) -ne 0 ]]; then
  sed -i '/Sandbox/d' "$apt_dir/apt.conf"
fi
export APT_CONFIG=$apt_dir/apt.conf

log "updating the source indexes"
apt-get -qq update

# Work folders and unfinished prefixes left by an interrupted build (of any version) are stale:
# the lock is ours.
rm -rf "$cache"/work-* "$prefix"
for old in "$cache"/mingw-deps-*; do
  [[ -d $old && ! -f $old/.complete ]] && rm -rf "$old"
done
work=$cache/work-$hash
mkdir -p "$work" "$prefix"

# fetch SOURCE/SUITE: downloads (or reuses) the source package and unpacks it into $work/SOURCE.
# (The listing is made in the empty work folder: apt leaves out files that are already there.)
# Every file is checked against the hash of the signed source index. Where the mirror serves the
# upstream tarball but not Debian's own files (fltk1.3 here), the upstream tarball is used as it is.
fetch() {
  local pinned=$1 name=${1%/*} uris file hash sum dsc orig
  uris=$(cd "$work" && apt-get source --print-uris "$pinned" 2>/dev/null | grep "^'" || true)
  [[ -n $uris ]] || { log "no source package for $pinned"; return 1; }
  (cd "$src_dir" && apt-get -qq source --download-only "$pinned" >/dev/null 2>&1) ||
    log "not every file of $pinned is served"
  while read -r _ file _ hash; do
    [[ -f $src_dir/$file ]] || continue
    sum=$(echo "${hash%%:*}" | tr 'A-Z' 'a-z')sum
    echo "${hash#*:}  $src_dir/$file" | "$sum" -c --quiet - >&2 || rm -f "$src_dir/$file"
  done <<<"$uris"
  dsc=$(awk '$2 ~ /\.dsc$/ { print $2 }' <<<"$uris")
  if [[ -f $src_dir/$dsc ]] && dpkg-source --no-check -x "$src_dir/$dsc" "$work/$name" >/dev/null 2>&1; then
    return 0
  fi
  rm -rf "${work:?}/$name"
  orig=$(awk '$2 ~ /\.orig\.tar\./ { print $2 }' <<<"$uris" | head -n 1)
  [[ -n $orig && -f $src_dir/$orig ]] || { log "the sources of $pinned could not be fetched"; return 1; }
  log "using the upstream tarball $orig without Debian's changes"
  mkdir -p "$work/$name"
  tar -xf "$src_dir/$orig" -C "$work/$name" --strip-components=1
}

# build NAME SOURCE_FOLDER CMAKE_ARGS...: configures, builds at -j2 and installs into the prefix.
build() {
  local name=$1 source=$2
  shift 2
  log "building $name"
  cmake -S "$source" -B "$work/build-$name" -G Ninja \
    -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
    -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_INSTALL_PREFIX="$prefix" \
    -DCMAKE_FIND_ROOT_PATH="$prefix" \
    -DCMAKE_PREFIX_PATH="$prefix" \
    -DBUILD_SHARED_LIBS=OFF \
    -DZLIB_LIBRARY="$sysroot/lib/libz.a" \
    -DZLIB_INCLUDE_DIR="$sysroot/include" \
    "$@" > "$work/$name.log" 2>&1 || { tail -40 "$work/$name.log" >&2; return 1; }
  cmake --build "$work/build-$name" -j2 >> "$work/$name.log" 2>&1 || { tail -40 "$work/$name.log" >&2; return 1; }
  cmake --install "$work/build-$name" >> "$work/$name.log" 2>&1
}

# The host's .pc files describe Linux libraries; only the prefix's and MinGW's own count.
export PKG_CONFIG_LIBDIR=$prefix/lib/pkgconfig:$sysroot/lib/pkgconfig
export PKG_CONFIG_PATH=

fetch libpng1.6/bookworm
build png "$work/libpng1.6" \
  -DPNG_SHARED=OFF -DPNG_STATIC=ON -DPNG_TESTS=OFF -DPNG_EXECUTABLES=OFF -DSKIP_INSTALL_PROGRAMS=ON

fetch libjpeg-turbo/bookworm
build jpeg "$work/libjpeg-turbo" \
  -DENABLE_SHARED=OFF -DENABLE_STATIC=ON -DWITH_TURBOJPEG=OFF -DREQUIRE_SIMD=ON \
  -DCMAKE_ASM_NASM_COMPILER=nasm

# FreeType with MinGW's zlib (its bundled copy would clash with zlib where the engine links both
# with libpng), no PNG, bzip2, Brotli or HarfBuzz.
fetch freetype/bookworm
build freetype "$work/freetype" \
  -DFT_REQUIRE_ZLIB=ON -DZLIB_LIBRARY="$sysroot/lib/libz.a" -DZLIB_INCLUDE_DIR="$sysroot/include" \
  -DFT_DISABLE_BZIP2=ON -DFT_DISABLE_PNG=ON -DFT_DISABLE_HARFBUZZ=ON -DFT_DISABLE_BROTLI=ON

fetch libsdl2/bookworm
build sdl2 "$work/libsdl2" -DSDL_SHARED=OFF -DSDL_STATIC=ON -DSDL_TEST=OFF

# FLTK without OpenGL and without its test programs; its image library uses the PNG and JPEG
# libraries built above.
fetch fltk1.3/trixie
build fltk "$work/fltk1.3" \
  -DOPTION_BUILD_SHARED_LIBS=OFF -DOPTION_USE_GL=OFF -DFLTK_BUILD_TEST=OFF \
  -DOPTION_USE_SYSTEM_LIBPNG=ON -DOPTION_USE_SYSTEM_LIBJPEG=ON -DOPTION_USE_SYSTEM_ZLIB=ON

rm -rf "$work"
touch "$prefix/.complete"
ln -sfn "$prefix" "$cache/mingw-deps"
log "done in $(($(date +%s) - started)) s"
echo "$prefix"

#!/usr/bin/env bash
# Builds the Debian package from the release build: scripts/package-deb.sh [BUILD_DIR]
# Writes flurrix_VERSION_ARCH.deb into the build folder and prints its path.
set -euo pipefail
cd "$(dirname "$0")/.."
dir=${1:-build}
scripts/install-deps.sh linux-build linux-package
[[ $dir == build ]] && scripts/build.sh default >/dev/null
(cd "$dir" && cpack -G DEB >/dev/null)
ls -t "$dir"/flurrix_*.deb | head -n 1

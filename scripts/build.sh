#!/usr/bin/env bash
# Configures (once) and builds one preset incrementally: scripts/build.sh [PRESET [--target T...]]
set -euo pipefail
cd "$(dirname "$0")/.."
preset=${1:-default}
shift || true
dir=$(cmake -DPRESET="$preset" -P cmake/PresetBinaryDir.cmake)
[[ -f "$dir/build.ninja" ]] || cmake --preset "$preset" >/dev/null
cmake --build --preset "$preset" -j2 "$@"

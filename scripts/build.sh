#!/usr/bin/env bash
# Configures (once) and builds one preset incrementally: scripts/build.sh [PRESET]
set -euo pipefail
cd "$(dirname "$0")/.."
preset=${1:-default}
dir=$(sed -n "/\"name\": \"$preset\"/,/binaryDir/ s/.*\"binaryDir\": \"\${sourceDir}\/\([^\"]*\)\".*/\1/p" CMakePresets.json | head -n 1)
[[ -f "$dir/build.ninja" ]] || cmake --preset "$preset" >/dev/null
cmake --build --preset "$preset" -j2

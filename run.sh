#!/usr/bin/env bash
# Installs what is missing, builds, and runs the screensaver: ./run.sh [SWITCH...]
# Only what the program takes: the packages of scripts/packages/linux-build.txt, and the program,
# its engine and its content (./test.sh adds the rest). Without a display (and without switches)
# it records a short demo of the real run offscreen into build/demo/ instead.
set -euo pipefail
cd "$(dirname "$0")"
scripts/install-deps.sh linux-build
if [[ -z ${DISPLAY:-} && $# -eq 0 ]]; then
  scripts/build.sh default --target flurrix flurrix_engine flurrix_recorder
  echo "No display: recording ten seconds of the run offscreen (a minute or two on a CPU renderer)."
  exec build/flurrix_recorder build/demo
fi
scripts/build.sh default --target flurrix flurrix_engine
exec build/flurrix "$@"

#!/usr/bin/env bash
# Installs what is missing, builds, and runs the screensaver: ./run.sh [SWITCH...]
# Only what the program takes: the packages of scripts/packages/linux-build.txt, and the program,
# its engine and its content (./test.sh adds the rest).
set -euo pipefail
cd "$(dirname "$0")"
scripts/install-deps.sh linux-build
scripts/build.sh default --target flurrix flurrix_engine
exec build/flurrix "$@"

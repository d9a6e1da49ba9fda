#!/usr/bin/env bash
# Installs what is missing, builds, and runs the screensaver: ./run.sh [SWITCH...]
set -euo pipefail
cd "$(dirname "$0")"
scripts/install-deps.sh
scripts/build.sh default
exec build/flurrix "$@"

#!/usr/bin/env bash
# The long soak: a million frames of the real run offscreen, every background in turn for a sixth
# of them, printing the memory curve (frame, run clock, local date, resident memory, open
# descriptors, bytes in the settings folder). Small screen and snow, so that it ends within an hour
# on a software renderer. Options are passed on to flurrix_soak (a later one wins).
#   scripts/soak.sh [flurrix_soak options]
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/build.sh default --target flurrix_soak >/dev/null
exec nice build/flurrix_soak --frames 166667 --size 192x108 --flakes 200 --sample 5000 --curve "$@"

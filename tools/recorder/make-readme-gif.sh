#!/usr/bin/env bash
# Remakes docs/run.gif, the README's animation: the run offscreen with 2,000 flakes of size 8
# (every other setting at its default), its last five seconds at 640 x 360, 12 frames a second.
# At that size a default flake (500 of size 3) would be a pixel.
# Run after scripts/build.sh default: tools/recorder/make-readme-gif.sh
set -euo pipefail
cd "$(dirname "$0")/../.."
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
build/flurrix_recorder "$tmp" --flakes 2000 --flakesize 8 --gif "$PWD/docs/run.gif" >/dev/null
ls -l docs/run.gif

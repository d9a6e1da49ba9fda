#!/usr/bin/env bash
# Remakes docs/artwork.png, the README's small overview of the artwork, with artgen itself.
# Run after scripts/build.sh default: tools/artgen/make-readme-picture.sh
set -euo pipefail
cd "$(dirname "$0")/../.."
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
build/artgen --data "$tmp/data" --builtin "$tmp/builtin" \
  --fonts /usr/share/fonts/truetype/dejavu --font-licence /usr/share/doc/fonts-dejavu-core/copyright \
  --only forest/ --contact-sheet docs/artwork.png --sheet-width 976

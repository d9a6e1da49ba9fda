#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test stage in scripts/test.d/ in order.
set -euo pipefail
cd "$(dirname "$0")"
scripts/install-deps.sh
for stage in scripts/test.d/*.sh; do
  echo "== ${stage##*/}"
  bash "$stage"
done
echo "All test stages passed."

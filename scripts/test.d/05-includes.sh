#!/usr/bin/env bash
# Every module includes only what the module table of docs/ARCHITECTURE.md allows it.
set -euo pipefail
scripts/check-includes.sh

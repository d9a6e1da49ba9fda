#!/usr/bin/env bash
# The Linux build and every test registered with CTest.
set -euo pipefail
scripts/build.sh default
ctest --preset default

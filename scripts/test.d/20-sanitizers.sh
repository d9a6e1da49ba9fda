#!/usr/bin/env bash
# The same tests built with AddressSanitizer and UndefinedBehaviorSanitizer.
set -euo pipefail
scripts/build.sh asan
export ASAN_OPTIONS=detect_leaks=1
export LSAN_OPTIONS=suppressions=$PWD/tests/lsan.supp,print_suppressions=0
export UBSAN_OPTIONS=print_stacktrace=1
ctest --preset asan

#!/usr/bin/env bash
# The decoder fuzzers, the EXIF one and those of the text parsers (libFuzzer with ASan and UBSan),
# each for a short bounded time, seeded with small generated files. Any finding fails the stage; its input is kept in build-fuzz/findings/
# and replays with: build-fuzz/fuzz_NAME FILE (or imgtool info FILE for a picture).
set -euo pipefail
seconds=${FLURRIX_FUZZ_SECONDS:-20}
scripts/build.sh fuzz
rm -rf build-fuzz/seeds build-fuzz/findings
build-fuzz/fuzz_make_seeds build-fuzz/seeds
mkdir -p build-fuzz/findings
for format in bmp tga png jpeg exif config language http_token command_line font_script; do
  corpus=build-fuzz/corpus/$format
  log=build-fuzz/findings/$format.log
  mkdir -p "$corpus"
  # The corpus grows across runs; the seeds come back each time.
  if ! build-fuzz/fuzz_$format "$corpus" "build-fuzz/seeds/$format" -max_total_time="$seconds" \
      -max_len=65536 -timeout=10 -rss_limit_mb=1024 -print_final_stats=1 \
      -artifact_prefix="build-fuzz/findings/$format-" >"$log" 2>&1; then
    grep -E '^(==[0-9]+==|SUMMARY|artifact_prefix|Test unit written)' "$log" || tail -20 "$log"
    echo "the $format fuzzer found a problem; see $log"
    exit 1
  fi
  echo "$format: $(grep -E '^stat::number_of_executed_units' "$log" | awk '{print $2}') runs in ${seconds}s, no findings"
done

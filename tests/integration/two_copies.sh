#!/usr/bin/env bash
# Copies racing: ten starts at once in every mode leave exactly one running, and config.ini whole.
#   two_copies.sh PROGRAM
set -euo pipefail
source "$(dirname "$0")/virtual_display.sh"
program=$(realpath "$1")
work=$(mktemp -d)
config="$work/config/Corvantic/Flurrix Screensaver"
mkdir -p "$work/config" "$work/runtime" "$work/reference"
export XDG_CONFIG_HOME=$work/config XDG_RUNTIME_DIR=$work/runtime
export FLURRIX_SITE=http://127.0.0.1:9 FLURRIX_AUDIO_SINK=fakesink

pids=()
cleanup() {
  for pid in "${pids[@]}"; do kill -9 "$pid" 2>/dev/null || true; done
  kill "$xvfb" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT
start_virtual_display 800x600

checks=0

# A single /i, alone, in a folder of its own: what config.ini must look like.
XDG_CONFIG_HOME=$work/reference "$program" /i
reference="$work/reference/Corvantic/Flurrix Screensaver/config.ini"
[[ -s $reference ]] || fail "a single /i wrote no config.ini"

# Starts ten copies with the given switch, all released at the same moment, and leaves their
# process ids in `pids`. Each copy waits on opening a FIFO until the writer opens it.
race() {
  rm -f "$work/gate"
  mkfifo "$work/gate"
  pids=()
  for n in $(seq 10); do
    (: <"$work/gate"; exec "$@" 2>>"$work/stderr") &
    pids+=($!)
  done
  sleep 0.3
  exec 9>"$work/gate"
  exec 9>&-
}
running() {
  local count=0
  for pid in "${pids[@]}"; do kill -0 "$pid" 2>/dev/null && count=$((count + 1)); done
  echo $count
}
# Waits until at most $1 copies are left and prints how many are.
settle() {
  for _ in $(seq 150); do (($(running) <= $1)) && break; sleep 0.1; done
  running
}
# Every copy that has ended ended well: the losers quietly, with status 0.
ended_well() {
  for pid in "${pids[@]}"; do
    kill -0 "$pid" 2>/dev/null && continue
    wait "$pid" || fail "$1: a copy ended with status $?: $(cat "$work/stderr")"
  done
}
# config.ini is whole: byte for byte what it was, and no half-written file beside it.
whole() {
  cmp -s "$config/config.ini" "$1" || fail "$2: config.ini changed: $(diff <(tr -d '\r' <"$1") \
    <(tr -d '\r' <"$config/config.ini") || true)"
  [[ -z $(find "$config" -name '*.tmp') ]] || fail "$2: a temporary file was left: $(ls "$config")"
}

# /i from nothing: one copy writes the defaults, the others end. "Update Date" holds the clock
# and may differ by a second from the reference.
race "$program" /i
(($(settle 0) == 0)) || fail "/i: copies still running"
ended_well /i
cmp -s <(grep -v '^Update Date' "$config/config.ini") <(grep -v '^Update Date' "$reference") ||
  fail "/i from nothing: config.ini differs from a single /i"
checks=$((checks + 1))
cp "$config/config.ini" "$work/saved.ini"

# Over an existing file, and the short-lived switches: all end, the file stays as it was.
for mode in /i /a /p:1234; do
  race "$program" "$mode"
  (($(settle 0) == 0)) || fail "$mode: copies still running"
  ended_well "$mode"
  whole "$work/saved.ini" "$mode"
  checks=$((checks + 1))
done

# The long-lived ones: exactly one copy is left, and it stays; SIGTERM ends it.
for mode in /s "" /c:0 /u; do
  if [[ $mode == /s || -z $mode ]]; then
    race env SDL_VIDEODRIVER=offscreen "$program" ${mode:+"$mode"}
  else
    race "$program" "$mode"
  fi
  left=$(settle 1)
  sleep 2
  ((left == 1 && $(running) == 1)) || fail "'$mode': $(running) copies running, not one"
  ended_well "'$mode'"
  for pid in "${pids[@]}"; do
    kill -0 "$pid" 2>/dev/null || continue
    kill -TERM "$pid"
    for _ in $(seq 100); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
    kill -0 "$pid" 2>/dev/null && fail "'$mode': SIGTERM did not end the copy left"
    status=0
    wait "$pid" || status=$?
    # The run ends cleanly on SIGTERM; the windows of the dialogs just go.
    [[ $mode == /s || -z $mode ]] && ((status != 0)) && fail "'$mode': the run ended with $status"
  done
  whole "$work/saved.ini" "'$mode'"
  checks=$((checks + 1))
done
echo "two copies: $checks passed, 0 failed"

#!/usr/bin/env bash
# The preview in a stand-in settings page's window: the built-in picture shows in the host's
# top-left corner, closing the host ends the program within a second with exit code 0, and
# handle 0 or a handle of no window ends it at once.
#   preview.sh PROGRAM HOST PREVIEW_PICTURE SCREENSHOT_FOLDER
set -euo pipefail
source "$(dirname "$0")/virtual_display.sh"
program=$1
host_program=$2
picture=$3
shots=$4
work=$(mktemp -d)
mkdir -p "$shots" "$work/config" "$work/runtime"
export XDG_CONFIG_HOME=$work/config XDG_RUNTIME_DIR=$work/runtime

preview=
host=
cleanup() {
  [[ -n $preview ]] && kill "$preview" 2>/dev/null || true
  [[ -n $host ]] && kill "$host" 2>/dev/null || true
  kill "$xvfb" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT
start_virtual_display 800x600

# Ends at once (the time includes the program's start-up), quietly, with exit code 0.
for handle in "/p 0" "/p" "/l:0" "/p:123456789"; do
  start=$(date +%s%N)
  # shellcheck disable=SC2086
  out=$(timeout 10 "$program" $handle 2>&1) || fail "$handle: exit code $?"
  [[ -z $out ]] || fail "$handle printed: $out"
  (( ($(date +%s%N) - start) / 1000000 < 3000 )) || fail "$handle did not end at once"
done

# The host keeps its window open until its input closes.
mkfifo "$work/input"
"$host_program" <"$work/input" >"$work/id" &
host=$!
exec 4>"$work/input"
for _ in $(seq 100); do [[ -s $work/id ]] && break; sleep 0.1; done
id=$(head -n 1 "$work/id")
[[ -n $id ]] || fail "the host made no window"

"$program" /p "$id" 4>&- &
preview=$!
passed=
for _ in $(seq 30); do
  sleep 0.2
  kill -0 "$preview" 2>/dev/null || fail "the preview ended early"
  import -window "$id" "$work/host.png"
  convert "$work/host.png" -crop 152x112+0+0 +repage "$work/corner.png"
  d=$(compare -metric RMSE "$work/corner.png" "$picture" null: 2>&1 | sed 's/.*(\(.*\)).*/\1/' || true)
  if awk -v d="$d" 'BEGIN { exit !(d < 0.01) }'; then passed=1; break; fi
done
cp "$work/host.png" "$shots/preview-in-host.png"
[[ -n $passed ]] || fail "the host does not show the preview picture ($d, see $shots/preview-in-host.png)"
# Black around the picture, not the host's grey.
colour=$(convert "$work/host.png" -format '%[pixel:p{300,200}]' info:)
[[ $colour == "srgb(0,0,0)" || $colour == "black" ]] || fail "the rest of the host shows $colour"

# Closing the host ends the preview within a second.
exec 4>&-
wait "$host" || fail "the host ended with exit code $?"
host=
for _ in $(seq 10); do kill -0 "$preview" 2>/dev/null || break; sleep 0.1; done
kill -0 "$preview" 2>/dev/null && fail "the preview outlived its host"
wait "$preview" || fail "the preview ended with exit code $?"
preview=
echo "preview: shown in the host, ended with it"

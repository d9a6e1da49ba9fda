# Sourced by the Wayland tests: what a run drew, read from its WAYLAND_DEBUG=client log and from
# screenshots.
#   buffers LOG              the size (WxH) of every buffer the run made, in order
#   drawn_at LOG WxH         true when the run made a buffer of that size
#   detail PNG               the picture's finest detail: how far it is, on average, from itself
#                            blurred by a fraction of a pixel (a picture drawn at fewer pixels and
#                            blown up to these has little)
#   settled OUTPUT NAME [LEAST]  waits up to half a minute until the caller's `shoot OUTPUT NAME`
#                            gives a picture brighter than LEAST (100) at the same brightness
#                            twice in a row (its fade in over), in the file `shot_file NAME` names
#   run_pid                  the run's own process of user $user, once it is there (`as_user`
#                            runs it as a child of runuser)
#   as_sharp SHOT REFERENCE  true when SHOT has at least two thirds of REFERENCE's detail (says
#                            both figures). Measured on snow over a plain colour at 1280x720:
#                            0.83 to 1.06 of the scale-1 detail where the run draws the panel's
#                            pixels, 0.33 (scale 2) and 0.47 (scale 1.5) where it was blown up.
buffers() {
  # Shared-memory buffers (Mesa's software renderer) and dmabuf ones (a GPU's).
  # libwayland 1.23 writes wl_buffer#N where 1.21 wrote wl_buffer@N.
  sed -n -e 's/.*create_buffer(new id wl_buffer[@#][0-9]*, [0-9-]*, \([0-9]*\), \([0-9]*\),.*/\1x\2/p' \
    -e 's/.*create_immed(new id wl_buffer[@#][0-9]*, \([0-9]*\), \([0-9]*\),.*/\1x\2/p' "$1"
}
drawn_at() { buffers "$1" | grep -x "$2" >/dev/null; }
detail() {
  convert "$1" -colorspace gray \( +clone -blur 0x0.6 \) -compose difference -composite \
    -format '%[fx:mean*1000]' info:
}
as_sharp() {
  local shot reference
  shot=$(detail "$1")
  reference=$(detail "$2")
  echo "detail ${shot} against ${reference}"
  awk -v s="$shot" -v r="$reference" 'BEGIN { exit !(3 * s >= 2 * r) }'
}
settled() {
  local last=-100 now least=${3:-100}
  for _ in $(seq 60); do
    if shoot "$1" "$2" 2>/dev/null; then
      now=$(convert "$(shot_file "$2")" -format '%[fx:int(mean*255)]' info:)
      ((now > least && now - last < 3 && last - now < 3)) && return 0
      last=$now
    fi
    sleep 0.5
  done
  fail "$1 shows no settled picture (mean $last): $(tail -n 3 "$work/stderr" 2>/dev/null)"
}
run_pid() {
  local pid
  for _ in $(seq 100); do
    pid=$(pgrep -u "$user" -x flurrix) && echo "$pid" && return 0
    sleep 0.1
  done
  fail "the run's process is not there: $(tail -n 3 "$work/stderr")"
}

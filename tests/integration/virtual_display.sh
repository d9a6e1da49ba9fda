# Sourced by the integration scripts: a virtual X server of their own and the failure helper.
#   start_virtual_display WxH   starts Xvfb (its process id in $xvfb) and exports DISPLAY.
# -displayfd picks a display number no other server uses; -noreset keeps it up between clients.
start_virtual_display() {
  Xvfb -displayfd 3 -screen 0 "$1x24" -nolisten tcp -noreset 3>"$work/display" >/dev/null 2>&1 &
  xvfb=$!
  for _ in $(seq 100); do [[ -s $work/display ]] && break; sleep 0.1; done
  export DISPLAY=:$(head -n 1 "$work/display")
  for _ in $(seq 100); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done
}

xvfb=
fail() { echo "FAIL: $*" >&2; exit 1; }

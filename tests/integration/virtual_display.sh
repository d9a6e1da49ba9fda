# Sourced by the integration scripts: a virtual X server of their own and the failure helper.
#   start_virtual_display WxH   starts Xvfb (its process id in $xvfb) and exports DISPLAY.
#   start_run                   starts the run of $program and waits for its window.
#   whole_bmp FILE              true when FILE is a BMP written to its end (its header's size).
#   wait_until SECONDS CMD...   runs CMD until it succeeds, for at most SECONDS; its last status.
# A loaded machine (a parallel build beside the tests) can be many times slower than an idle one:
# waits are for the state a test checks, with generous limits, never a fixed time.
# -displayfd picks a display number no other server uses; -noreset keeps it up between clients.
start_virtual_display() {
  Xvfb -displayfd 3 -screen 0 "$1x24" -nolisten tcp -noreset 3>"$work/display" >/dev/null 2>&1 &
  xvfb=$!
  for _ in $(seq 100); do [[ -s $work/display ]] && break; sleep 0.1; done
  export DISPLAY=:$(head -n 1 "$work/display")
  for _ in $(seq 100); do xdpyinfo >/dev/null 2>&1 && return 0; sleep 0.1; done
  fail "the virtual X server did not start"
}

wait_until() {
  local limit=$(($(date +%s) + $1))
  shift
  until "$@"; do
    (($(date +%s) < limit)) || return 1
    sleep 0.2
  done
}

whole_bmp() {
  [[ -f $1 ]] || return 1
  local declared
  declared=$(od -An -t u4 -j 2 -N 4 "$1" 2>/dev/null | tr -d ' ')
  [[ -n $declared && $declared == "$(stat -c %s "$1")" ]]
}

# Starts `$program /s` (its process id in $run, its stderr in $work/stderr) and waits for its
# window.
start_run() {
  "$program" /s 2>"$work/stderr" &
  run=$!
  for _ in $(seq 300); do
    xdotool search --onlyvisible --name '^Flurrix Screensaver 3.3$' >/dev/null 2>&1 && { sleep 1; return 0; }
    kill -0 $run 2>/dev/null || fail "the run ended before its window appeared: $(cat "$work/stderr")"
    sleep 0.1
  done
  fail "the run's window did not appear"
}

xvfb=
fail() { echo "FAIL: $*" >&2; exit 1; }

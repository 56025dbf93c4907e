# Sourced by the tests that need an X display of their own (bash).
#
# xvfb_start FIRST LAST SCREEN: starts Xvfb with a screen of SCREEN (WxHxD)
# on the first free display number from FIRST to LAST and exports DISPLAY once
# the server answers. A number that a server starting at the same moment takes
# makes ours fail, then the next is tried. -noreset: the readiness probe's
# disconnect must not reset the server just as the program connects. Ends the
# test when no server comes up.
#
# On exit the program under test (its id in app_pid) is ended, then the
# script's own `cleanup` function runs, if it defines one, then the server
# goes down.
#
# wait_window REGEX [TRIES]: prints the id of the first window whose title
# matches, polling every 0.1 s; fails when the program ends first or no such
# window comes up.
xvfb_pid=""
app_pid=""

xvfb_start() {
  local first=$1 last=$2 screen=$3 n ready=""
  for n in $(seq "$first" "$last"); do
    [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ] && continue
    Xvfb ":$n" -screen 0 "$screen" -nolisten tcp -noreset >/dev/null 2>&1 &
    xvfb_pid=$!
    sleep 0.5
    if kill -0 "$xvfb_pid" 2>/dev/null; then export DISPLAY=":$n"; break; fi
    xvfb_pid=""
  done
  [ -n "$xvfb_pid" ] || { echo "no free display"; exit 1; }
  for _ in $(seq 1 100); do
    if timeout 2 xdotool getdisplaygeometry >/dev/null 2>&1; then ready=1; break; fi
    sleep 0.1
  done
  [ -n "$ready" ] || { echo "the X server did not start"; exit 1; }
}

stop_app() {
  [ -n "$app_pid" ] || return 0
  kill "$app_pid" 2>/dev/null
  sleep 0.5
  kill -9 "$app_pid" 2>/dev/null
  wait "$app_pid" 2>/dev/null
  app_pid=""
}

xvfb_on_exit() {
  stop_app
  if declare -F cleanup >/dev/null; then cleanup; fi
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null
  wait 2>/dev/null
}
trap xvfb_on_exit EXIT

wait_window() {
  local regex=$1 tries=${2:-100} id=""
  for _ in $(seq 1 "$tries"); do
    kill -0 "$app_pid" 2>/dev/null || { echo "the program ended early" >&2; return 1; }
    id=$(timeout 5 xdotool search --name "$regex" 2>/dev/null | head -n1)
    [ -n "$id" ] && { echo "$id"; return 0; }
    sleep 0.1
  done
  return 1
}

# A private virtual display for the windows Wine opens; sourced by the
# scripts in this folder (not run by itself).
#
# zq_xvfb_start FIRST LAST
#   Starts Xvfb on the first display number in FIRST..LAST that has neither a
#   socket nor a lock file, exports DISPLAY=:N and sets xvfb_pid, then waits up
#   to 5 s for the display's socket. When every number is taken nothing is
#   started and DISPLAY stays as it was.
# zq_xvfb_stop
#   Stops the display zq_xvfb_start started, if any. Never fails, so it is safe
#   in an EXIT trap.
xvfb_pid=""

zq_xvfb_start() {
  local n
  for n in $(seq "$1" "$2"); do
    [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ] && continue
    Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp </dev/null >/dev/null 2>&1 &
    xvfb_pid=$!
    export DISPLAY=":$n"
    break
  done
  for _ in $(seq 50); do [ -e "/tmp/.X11-unix/X${DISPLAY#:}" ] && break; sleep 0.1; done
}

zq_xvfb_stop() {
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true
}

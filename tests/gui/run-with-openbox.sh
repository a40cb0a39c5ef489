#!/usr/bin/env bash
# Runs a GUI test program under a window manager (the X server and bus come from the caller).
set -euo pipefail
work=$(mktemp -d)
wm_pid=
spy_pid=
stop() {
  for pid in $spy_pid $wm_pid; do
    kill "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
  done
  rm -rf "$work"
}
trap stop EXIT

# The root window's properties are watched over one connection that lasts the whole wait: the X
# server resets when its last client leaves and refuses connections meanwhile, so clients that
# came and went before openbox connected could make it fail to open the display.
xprop -root -spy >"$work/root" 2>&1 &
spy_pid=$!
openbox >"$work/openbox" 2>&1 &
wm_pid=$!
# Openbox names itself on the root window once it manages the screen; one that ran before may have
# left its name there.
managed() { grep -q "^_OPENBOX_PID(CARDINAL) = $wm_pid\$" "$work/root"; }
for _ in $(seq 100); do
  managed && break
  sleep 0.1
done
if ! managed; then
  echo "waited 10 s for openbox to manage the screen; openbox said:" >&2
  cat "$work/openbox" >&2
  exit 1
fi
kill "$spy_pid"
wait "$spy_pid" 2>/dev/null || true
spy_pid=
"$@"

#!/usr/bin/env bash
# In a Wayland session with XWayland (weston's headless backend), the program opens its window on
# the X11 backend, as its window behaviour needs, and says nothing about Wayland. Without an X
# server it runs on Wayland and says once which window behaviours the session does not allow.
# Usage: wayland-test.sh PROGRAM
set -euo pipefail
# shellcheck source=scripts/work-folder.sh
source "$(dirname "$0")/../../scripts/work-folder.sh"
fail() { echo "FAIL: $*" >&2; exit 1; }
# Polls a condition for up to 60 seconds.
wait_for() {
  for _ in $(seq 600); do eval "$1" && return 0; sleep 0.1; done
  return 1
}

export XDG_RUNTIME_DIR=$work/runtime
mkdir -m 700 "$XDG_RUNTIME_DIR"
weston --backend=headless-backend.so --xwayland --socket=wayland-test --idle-time=0 \
  --log="$work/weston.log" &
pids+=($!)
wait_for 'grep -q "xserver listening on display" "$work/weston.log"' || fail "weston did not start"
xwayland=$(sed -n 's/.*xserver listening on display \(:[0-9]*\).*/\1/p' "$work/weston.log")
cp "$1" "$work/lumora"

WAYLAND_DISPLAY=wayland-test DISPLAY=$xwayland "$work/lumora" 2>"$work/x11.err" &
pids+=($!)
wait_for '[[ -n $(DISPLAY=$xwayland xdotool search --onlyvisible --name "^Lumora$") ]]' ||
  fail "no window on XWayland"
grep -q Wayland "$work/x11.err" && fail "Wayland note on X11: $(cat "$work/x11.err")"
kill "${pids[1]}"
wait "${pids[1]}" || true

WAYLAND_DISPLAY=wayland-test DISPLAY= "$work/lumora" 2>"$work/wayland.err" &
pids+=($!)
wait_for 'grep -q "native Wayland client" "$work/wayland.err"' || fail "no note on Wayland"
wait_for '! kill -0 ${pids[2]} 2>/dev/null || [[ -f $work/c.htm ]]'
[[ $(grep -c "always on top" "$work/wayland.err") == 1 ]] || fail "note not said once"
echo "wayland test passed"

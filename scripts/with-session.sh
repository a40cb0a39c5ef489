#!/usr/bin/env bash
# Runs a command inside its own X server (Xvfb) and session bus, and stops both afterwards.
set -euo pipefail

display_file=$(mktemp)
# Xvfb picks a free display itself and writes its number, so parallel sessions never share one.
Xvfb -displayfd 3 -screen 0 1600x1000x24 -nolisten tcp 3>"$display_file" >/dev/null 2>&1 &
xvfb_pid=$!
trap 'kill "$xvfb_pid" 2>/dev/null || true; wait "$xvfb_pid" 2>/dev/null || true; rm -f "$display_file"' EXIT
for _ in $(seq 200); do
  [[ -s $display_file ]] && break
  kill -0 "$xvfb_pid" 2>/dev/null || { echo "Xvfb did not start" >&2; exit 1; }
  sleep 0.05
done
display=$(tr -d '[:space:]' <"$display_file")
[[ -n $display ]] || { echo "Xvfb gave no display" >&2; exit 1; }

DISPLAY=":$display" dbus-run-session -- "$@"

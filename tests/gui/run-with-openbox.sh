#!/usr/bin/env bash
# Runs a GUI test program under a window manager (the X server and bus come from the caller).
set -euo pipefail
openbox >/dev/null 2>&1 &
wm_pid=$!
trap 'kill "$wm_pid" 2>/dev/null || true; wait "$wm_pid" 2>/dev/null || true' EXIT
sleep 0.5
"$@"

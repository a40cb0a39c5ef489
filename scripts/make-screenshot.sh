#!/usr/bin/env bash
# Makes the AppStream screenshot of the real program: a build's demo server and program under a
# private X server and session bus, its main window captured once the portal's page has settled.
# The build runs it; the demo server's package installs the image in its site, at the path the
# metainfo names under the homepage. Usage: make-screenshot.sh BUILD_DIR OUT.png
set -euo pipefail
build=$(realpath "$1")
out=$(realpath -m "$2")
if [[ -z ${LUMORA_SCREENSHOT_SESSION:-} ]]; then
  LUMORA_SCREENSHOT_SESSION=1 exec "$(dirname "$0")/with-session.sh" "$0" "$build" "$out"
fi

# shellcheck source=scripts/work-folder.sh
source "$(dirname "$0")/work-folder.sh"

# Waits for a command to succeed, up to a deadline in tenths of a second, naming what it waited for.
wait_for() {
  local what=$1 tenths=$2
  shift 2
  for _ in $(seq "$tenths"); do "$@" && return 0; sleep 0.1; done
  echo "make-screenshot: no $what; the program said: $(cat "$work/program.log" 2>/dev/null)" >&2
  exit 1
}

# Captures a rectangle of the screen into a PNG file: capture X Y WIDTH HEIGHT FILE.
capture() {
  /usr/bin/python3 - "$@" <<'PY'
import sys
import gi
gi.require_version("Gdk", "3.0")
from gi.repository import Gdk
x, y, width, height = (int(value) for value in sys.argv[1:5])
Gdk.pixbuf_get_from_window(Gdk.get_default_root_window(), x, y, width, height).savev(
    sys.argv[5], "png", [], [])
PY
}

port=$(sed -n 's/^LUMORA_DEMO_PORT:STRING=//p' "$build/CMakeCache.txt")
"$build/lumora-demo-server" --port "$port" >"$work/server.log" &
pids+=($!)
wait_for "demo server on port $port" 100 grep -q serving "$work/server.log"

# A copy of the program keeps its files beside itself, so the build folder stays as it was.
mkdir "$work/home" "$work/program"
cp "$build/lumora" "$work/program/"
HOME=$work/home NO_AT_BRIDGE=1 "$work/program/lumora" >"$work/program.log" 2>&1 &
pids+=($!)
wait_for "portal page served" 300 grep -qE '^GET /box/(index\.html)? 200$' "$work/server.log"
window=
find_window() { window=$(xdotool search --onlyvisible --name '^Lumora$' 2>/dev/null | head -1); [[ -n $window ]]; }
wait_for "main window" 300 find_window
eval "$(xdotool getwindowgeometry --shell "$window")"

# The ticker scrolls in the status strip at the bottom: the page has settled when everything
# above the strip stays the same over a second.
settled() {
  capture "$X" "$Y" "$WIDTH" "$((HEIGHT * 9 / 10))" "$work/now.png"
  if [[ -f $work/before.png ]] && cmp -s "$work/now.png" "$work/before.png"; then
    return 0
  fi
  mv "$work/now.png" "$work/before.png"
  sleep 0.9
  return 1
}
wait_for "settled page" 600 settled
capture "$X" "$Y" "$WIDTH" "$HEIGHT" "$work/window.png"
mkdir -p "$(dirname "$out")"
mv "$work/window.png" "$out"
echo "make-screenshot: $out (${WIDTH}x${HEIGHT})"

# Sourced by scripts that start processes in a temporary work folder: `pids+=($!)` after each
# start; on exit every one of them and their descendants (the web engine's helpers, which may
# still be writing into the folder) end before the folder goes.
work=$(mktemp -d)
pids=()

# The process and all its descendants, parents first.
process_tree() {
  local child
  echo "$1"
  for child in $(pgrep -P "$1" 2>/dev/null); do process_tree "$child"; done
}

cleanup() {
  local tree=() pid
  for pid in "${pids[@]}"; do
    mapfile -t -O "${#tree[@]}" tree < <(process_tree "$pid")
  done
  for pid in "${tree[@]}"; do kill "$pid" 2>/dev/null || true; done
  for pid in "${pids[@]}"; do wait "$pid" 2>/dev/null || true; done
  local alive
  for _ in $(seq 100); do
    alive=0
    for pid in "${tree[@]}"; do kill -0 "$pid" 2>/dev/null && alive=1; done
    ((alive)) || break
    sleep 0.1
  done
  rm -rf "$work"
}
trap cleanup EXIT

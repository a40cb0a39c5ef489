#!/usr/bin/env bash
# Sets everything up and runs Lumora against the embedded demo content server.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/setup.sh
scripts/build.sh build

port=$(sed -n 's/^LUMORA_DEMO_PORT:STRING=//p' build/CMakeCache.txt)
build/lumora-demo-server --port "$port" &
server_pid=$!
trap 'kill "$server_pid" 2>/dev/null || true; wait "$server_pid" 2>/dev/null || true' EXIT
until (exec 3<>"/dev/tcp/127.0.0.1/$port") 2>/dev/null; do
  kill -0 "$server_pid" 2>/dev/null || { echo "the demo server did not start" >&2; exit 1; }
  sleep 0.05
done

build/lumora "$@"

#!/usr/bin/env bash
# Start-up benchmark: runs the program's start-up and the floor (a bare window with the same
# nine web views and start pages) alternately, each in a fresh process with fresh data
# directories, and prints the medians and the ratios program/floor.
#
#   bench/run.sh [BUILD_DIR] [RUNS]      (defaults: build, 5)
#
# Builds nothing: build the targets lumora-startup-bench and lumora-floor first. Without a
# display and session bus it runs itself under scripts/with-session.sh.
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=$(cd "${1:-$root/build}" && pwd)
runs=${2:-5}

declare -A binary=([program]="$build/bench/lumora-startup-bench" [floor]="$build/bench/lumora-floor")
for variant in program floor; do
  [[ -x ${binary[$variant]} ]] || { echo "missing ${binary[$variant]}: build it first" >&2; exit 1; }
done

if [[ -z ${DISPLAY:-} || -z ${DBUS_SESSION_BUS_ADDRESS:-} ]]; then
  # The session's daemons chatter on stdout and stderr: only this script's own output, passed
  # on as fd 3, reaches the caller.
  LUMORA_BENCH_OUTPUT_FD=3 exec "$root/scripts/with-session.sh" "$0" "$build" "$runs" \
    3>&1 >/dev/null 2>&1
fi
if [[ -n ${LUMORA_BENCH_OUTPUT_FD:-} ]]; then exec 1>&3 2>&3 3>&-; fi

results=$(mktemp)
trap 'rm -f "$results"' EXIT

# One run of a variant: its figure line goes to the results, the engine's chatter is dropped.
run_once() {
  local variant=$1 home line
  home=$(mktemp -d)
  line=$(cd "$home" && XDG_CACHE_HOME=$home/cache XDG_DATA_HOME=$home/data \
    XDG_CONFIG_HOME=$home/config LUMORA_BENCH_LAUNCHED_AT=$(date +%s%N) \
    "${binary[$variant]}" 2>/dev/null) || true
  rm -rf "$home"
  echo "${line:-$variant error: no output (crashed?)}"
  if [[ $line == "$variant mapped_ms="* ]]; then echo "$line" >>"$results"; fi
}

# Alternating, and swapping which goes first, so drift in the machine's load hits both alike.
for ((i = 1; i <= runs; i++)); do
  if ((i % 2)); then order="program floor"; else order="floor program"; fi
  for variant in $order; do run_once "$variant"; done
done

# The median of one figure of one variant; empty without successful runs.
median() {
  { grep "^$1 " "$results" || true; } | sed -n "s/.* $2=\([0-9.]*\).*/\1/p" | sort -n |
    awk '{v[NR] = $1} END {if (NR) print (NR % 2 ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2)}'
}

echo
status=0
for figure in "mapped_ms:time to window mapped (ms)" "loaded_ms:time to all start pages finished (ms)" \
  "pss_kb:PSS of all processes (kB)"; do
  key=${figure%%:*}
  program=$(median program "$key")
  floor=$(median floor "$key")
  if [[ -z $program || -z $floor ]]; then
    printf '%-40s no successful runs\n' "${figure#*:}"
    status=1
    continue
  fi
  awk -v name="${figure#*:}" -v p="$program" -v f="$floor" \
    'BEGIN {printf "%-40s program %10.1f   floor %10.1f   program/floor %.2f\n", name, p, f, p / f}'
done
exit "$status"

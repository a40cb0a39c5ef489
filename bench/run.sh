#!/usr/bin/env bash
# Benchmarks, each by the name of its figures. Those with a floor (the least a bare engine does
# for the same result) run the program and the floor alternately, each in a fresh process with
# fresh data directories, and print the medians with min, max and runs and the ratios
# program/floor; the others print the figures of one run.
#
#   bench/run.sh [-b BUILD_DIR] NAME [RUNS]       (BUILD_DIR defaults to build)
#
#   startup         window mapped, portal first paint, all start pages finished, PSS (RUNS 5)
#   first-frame     pointer click on a portal tile until the video's first frame is shown (RUNS 5)
#   playback        CPU time (all, the window's main thread, the web process) and PSS while the
#                   demo video plays for 30 s (RUNS 3)
#   long-session    growth of PSS, fds and threads over RUNS plays (default 200), extras on
#   play-latency    play link in the portal until the player page is asked for
#   extras-cost     popup ad memory and idle CPU with the ticker and popup on
#   exit-ad-memory  what showing the exit ad adds
#   smoke           each of the above once and briefly; checks only that each gives its figures
#
# Builds nothing: build the bench targets first. Without a display and session bus it runs
# itself under scripts/with-session.sh.
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=$root/build
if [[ ${1:-} == -b ]]; then
  build=$2
  shift 2
fi
build=$(cd "$build" && pwd)
name=${1:?usage: bench/run.sh [-b BUILD_DIR] NAME [RUNS]}
runs=${2:-}

if [[ -z ${DISPLAY:-} || -z ${DBUS_SESSION_BUS_ADDRESS:-} ]]; then
  # The session's daemons chatter on stdout and stderr: only this script's own output, passed
  # on as fd 3, reaches the caller.
  LUMORA_BENCH_OUTPUT_FD=3 exec "$root/scripts/with-session.sh" "$0" -b "$build" "$@" \
    3>&1 >/dev/null 2>&1
fi
if [[ -n ${LUMORA_BENCH_OUTPUT_FD:-} ]]; then exec 1>&3 2>&3 3>&-; fi

bin=$build/bench
results=$(mktemp)
# GStreamer's registry of plugins, as any user who has played a video before has it in their
# cache: without it every run would scan the plugins again before its first video.
media_cache=$(mktemp -d)
trap 'rm -rf "$results" "$media_cache"' EXIT
XDG_CACHE_HOME=$media_cache gst-inspect-1.0 >/dev/null 2>&1

# One run of a command in a fresh home: its figure line (the first line starting with the
# variant's name) goes to the results, the engine's chatter is dropped.
run_once() {
  local variant=$1 home line
  shift
  home=$(mktemp -d)
  mkdir "$home/cache" && cp -r "$media_cache/gstreamer-1.0" "$home/cache/"
  line=$(cd "$home" && XDG_CACHE_HOME=$home/cache XDG_DATA_HOME=$home/data \
    XDG_CONFIG_HOME=$home/config LUMORA_BENCH_LAUNCHED_AT=$(date +%s%N) \
    nice -n 5 "$@" 2>/dev/null | grep -m1 "^$variant " || true)
  rm -rf "$home"
  echo "${line:-$variant error: no output (crashed?)}"
  if [[ $line == "$variant "*=* && $line != *" error:"* ]]; then echo "$line" >>"$results"; fi
}

# Runs program and floor (each a command line, split at spaces) alternately, swapping which goes
# first, so drift in the machine's load hits both alike.
# shellcheck disable=SC2086
alternate() {
  local runs=$1 program=$2 floor=$3 i variant
  for ((i = 1; i <= runs; i++)); do
    if ((i % 2)); then order="program floor"; else order="floor program"; fi
    for variant in $order; do
      if [[ $variant == program ]]; then run_once program $program; else run_once floor $floor; fi
    done
  done
}

# "median min max runs" of one figure of one variant; empty without successful runs.
stats() {
  { grep "^$1 " "$results" || true; } | sed -n "s/.* $2=\([0-9.]*\).*/\1/p" | sort -n |
    awk '{v[NR] = $1} END {
      if (NR) printf "%s %s %s %d\n", (NR % 2 ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2), v[1], v[NR], NR
    }'
}

# The figures "key:description" of program against floor; fails when one has no runs.
compare() {
  local figure key program floor status=0
  echo
  for figure in "$@"; do
    key=${figure%%:*}
    program=$(stats program "$key")
    floor=$(stats floor "$key")
    if [[ -z $program || -z $floor ]]; then
      printf '%-34s no successful runs\n' "${figure#*:}"
      status=1
      continue
    fi
    # Small figures (seconds of CPU time) keep two decimals, the others one.
    awk -v name="${figure#*:}" -v p="$program" -v f="$floor" 'BEGIN {
      split(p, a, " "); split(f, b, " ")
      d = a[1] < 100 ? 2 : 1
      printf "%-34s program %9.*f [%.*f-%.*f]  floor %9.*f [%.*f-%.*f]  runs %d/%d  program/floor %.2f\n",
        name, d, a[1], d, a[2], d, a[3], d, b[1], d, b[2], d, b[3], a[4], b[4], (b[1] ? a[1] / b[1] : 0)
    }'
  done
  return "$status"
}

# One run of a benchmark without a floor; fails unless it printed its figures.
single() {
  local variant=$1
  shift
  run_once "$variant" "$@"
  grep -q "^$variant " "$results"
}

startup() {
  alternate "${1:-5}" "$bin/lumora-startup-bench" "$bin/lumora-floor"
  compare "mapped_ms:window mapped (ms)" "portal_paint_ms:portal first paint (ms)" \
    "loaded_ms:all start pages finished (ms)" "pss_kb:PSS of all processes (kB)"
}

first_frame() {
  alternate "${1:-5}" "$bin/lumora-video-bench first-frame program" \
    "$bin/lumora-video-bench first-frame floor"
  compare "first_frame_ms:click to first video frame (ms)"
}

playback() {
  alternate "${1:-3}" "$bin/lumora-video-bench playback program" \
    "$bin/lumora-video-bench playback floor"
  compare "cpu_s:CPU time while playing (s)" "main_thread_cpu_s:  of it the window's main thread" \
    "web_cpu_s:  of it the web process" "pss_kb:PSS while playing (kB)"
}

long_session() {
  LUMORA_BENCH_PLAYS=${1:-200} single long-session "$bin/lumora-video-bench" long-session program
}

# One benchmark by its name.
benchmark() {
  local name=$1
  shift
  case $name in
    startup | first-frame | playback | long-session) "${name//-/_}" "$@" ;;
    play-latency) single play-latency "$bin/lumora-play-latency" ;;
    extras-cost) single extras-cost "$bin/lumora-extras-cost" ;;
    exit-ad-memory) single exit-ad "$bin/lumora-exit-ad-memory" ;;
    *)
      echo "unknown benchmark: $name" >&2
      return 2
      ;;
  esac
}

smoke() {
  local failed=() step
  export LUMORA_BENCH_BRIEF=1
  for step in "startup 1" "first-frame 1" "playback 1" "long-session 4" play-latency extras-cost \
    exit-ad-memory; do
    echo "== $step"
    : >"$results"
    # shellcheck disable=SC2086
    benchmark $step || failed+=("${step% *}")
  done
  if ((${#failed[@]})); then
    echo "no figures from: ${failed[*]}"
    return 1
  fi
}

if [[ $name == smoke ]]; then smoke; else benchmark "$name" ${runs:+"$runs"}; fi

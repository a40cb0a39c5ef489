#!/usr/bin/env bash
# Configures and builds one build tree: build.sh DIR [cmake options...]
# BUILD_TARGETS, when set, names the targets to build instead of all of them. Builds are Release,
# as packagers build, unless the options say otherwise.
set -euo pipefail
cd "$(dirname "$0")/.."
dir=$1
shift
cmake -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=Release -DLUMORA_WERROR=ON "$@" >/dev/null
# shellcheck disable=SC2086
cmake --build "$dir" ${BUILD_TARGETS:+--target $BUILD_TARGETS}

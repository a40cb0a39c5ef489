#!/usr/bin/env bash
# Sets everything up and runs all tests: the Release build (what packagers build) with every
# test, the install test included; then the unit and integration tests again under
# AddressSanitizer and UndefinedBehaviorSanitizer; then each fuzz target for a short while.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/setup.sh
# GStreamer's plugin registry is built once here, not by the first web view inside a test's deadline.
gst-inspect-1.0 >/dev/null
scripts/build.sh build
scripts/with-session.sh ctest --test-dir build --output-on-failure -j2

BUILD_TARGETS='unit_tests integration_tests' scripts/build.sh build-asan -DLUMORA_SANITIZE=ON \
  -DCMAKE_BUILD_TYPE=Debug
ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 \
  scripts/with-session.sh ctest --test-dir build-asan --output-on-failure -j2 -L 'unit|integration'

# Every parser of outside input under libFuzzer for a short while from its seed corpus.
CC=clang CXX=clang++ BUILD_TARGETS=fuzz_targets scripts/build.sh build-fuzz -DLUMORA_FUZZ=ON
ctest --test-dir build-fuzz --output-on-failure -j2 -L fuzz

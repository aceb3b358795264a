#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs what is missing, builds Skyvane and runs every test: first the
# normal build (build/), then the same suite under AddressSanitizer and
# UndefinedBehaviorSanitizer (build-sanitize/), which halt on the first
# finding. Works without a display: widget tests use Qt's offscreen platform
# and the end-to-end test starts its own X server.
# SKYVANE_SANITIZE=0 skips the sanitizer run; SKYVANE_SANITIZE=1 runs only it.
set -eu
cd "$(dirname "$0")/.."
scripts/install-deps.sh
JOBS=$(nproc 2>/dev/null || echo 2)
MODE=${SKYVANE_SANITIZE:-both}

if [ "$MODE" != 1 ]; then
  SKYVANE_SANITIZE=0 SKYVANE_BUILD_DIR=build scripts/build.sh
  ctest --test-dir build --output-on-failure -j "$JOBS"
fi
if [ "$MODE" != 0 ]; then
  SKYVANE_SANITIZE=1 SKYVANE_BUILD_DIR=build-sanitize scripts/build.sh
  export ASAN_OPTIONS=halt_on_error=1:abort_on_error=1:detect_leaks=1
  export UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1
  export LSAN_OPTIONS="suppressions=$(pwd)/tests/lsan.supp:print_suppressions=0"
  # The package test builds a .deb from the build folder: the normal run covers it.
  ctest --test-dir build-sanitize --output-on-failure -j "$JOBS" -E '^debian_package$'
fi

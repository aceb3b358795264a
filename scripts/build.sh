#!/bin/sh
# Configures and builds Skyvane into build/ (or $SKYVANE_BUILD_DIR).
# SKYVANE_SANITIZE=1 builds with AddressSanitizer and UndefinedBehaviorSanitizer.
set -eu
cd "$(dirname "$0")/.."
SANITIZE=${SKYVANE_SANITIZE:-0}
if [ "$SANITIZE" = 1 ]; then
  DEFAULT_DIR=build-sanitize
  SANITIZE_FLAG=ON
else
  DEFAULT_DIR=build
  SANITIZE_FLAG=OFF
fi
BUILD_DIR=${SKYVANE_BUILD_DIR:-$DEFAULT_DIR}
JOBS=$(nproc 2>/dev/null || echo 2)
# The sanitizer build leaves the benchmarks out: their figures mean nothing there.
BENCH=ON
[ "$SANITIZE" = 1 ] && BENCH=OFF
cmake -S . -B "$BUILD_DIR" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DSKYVANE_SANITIZE="$SANITIZE_FLAG" \
  -DSKYVANE_BUILD_BENCH="$BENCH" >/dev/null
cmake --build "$BUILD_DIR" -j "$JOBS"

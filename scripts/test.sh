#!/bin/sh
# Installs what is missing, builds Skyvane and runs every test.
# Works without a display: widget tests use Qt's offscreen platform and the
# end-to-end tests start their own X server.
# SKYVANE_SANITIZE=1 runs the same tests under AddressSanitizer and
# UndefinedBehaviorSanitizer in build-sanitize/.
set -eu
cd "$(dirname "$0")/.."
scripts/install-deps.sh
scripts/build.sh
if [ "${SKYVANE_SANITIZE:-0}" = 1 ]; then
  BUILD_DIR=${SKYVANE_BUILD_DIR:-build-sanitize}
else
  BUILD_DIR=${SKYVANE_BUILD_DIR:-build}
fi
ctest --test-dir "$BUILD_DIR" --output-on-failure -j "$(nproc 2>/dev/null || echo 2)"

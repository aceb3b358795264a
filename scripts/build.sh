#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# Configures and builds Skyvane into build/ (or $SKYVANE_BUILD_DIR): a
# Release build with Debian's hardening flags, the one the package is made
# from. SKYVANE_SANITIZE=1 builds with AddressSanitizer and
# UndefinedBehaviorSanitizer into build-sanitize/ instead.
set -eu
cd "$(dirname "$0")/.."
SANITIZE=${SKYVANE_SANITIZE:-0}
JOBS=$(nproc 2>/dev/null || echo 2)
if [ "$SANITIZE" = 1 ]; then
  BUILD_DIR=${SKYVANE_BUILD_DIR:-build-sanitize}
  # The benchmarks' figures mean nothing under the sanitizers.
  cmake -S . -B "$BUILD_DIR" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DSKYVANE_SANITIZE=ON \
    -DSKYVANE_BUILD_BENCH=OFF >/dev/null
else
  BUILD_DIR=${SKYVANE_BUILD_DIR:-build}
  CXXFLAGS="" LDFLAGS=""
  if command -v dpkg-buildflags >/dev/null 2>&1; then
    export DEB_BUILD_MAINT_OPTIONS=hardening=+all
    CXXFLAGS="$(dpkg-buildflags --get CPPFLAGS) $(dpkg-buildflags --get CXXFLAGS)"
    LDFLAGS=$(dpkg-buildflags --get LDFLAGS)
  fi
  cmake -S . -B "$BUILD_DIR" -DCMAKE_BUILD_TYPE=Release -DSKYVANE_SANITIZE=OFF \
    -DSKYVANE_BUILD_BENCH=ON -DCMAKE_CXX_FLAGS="$CXXFLAGS" -DCMAKE_C_FLAGS="$CXXFLAGS" \
    -DCMAKE_EXE_LINKER_FLAGS="$LDFLAGS" >/dev/null
fi
cmake --build "$BUILD_DIR" -j "$JOBS"

#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs what is missing, builds Skyvane and starts it with the shipped catalogue.
set -eu
cd "$(dirname "$0")/.."
scripts/install-deps.sh
scripts/build.sh
exec "${SKYVANE_BUILD_DIR:-build}/bin/skyvane" "$@"

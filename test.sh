#!/usr/bin/env bash
# Installs what is missing, builds in build/ and runs every test (those needing a display under Xvfb).
set -euo pipefail
cd "$(dirname "$0")"
scripts/dependances.sh
cmake --preset dev >/dev/null
cmake --build --preset dev
xvfb-run -a -s "-screen 0 1280x1024x24 -noreset" ctest --preset dev "$@"

#!/usr/bin/env bash
# Installs what is missing, builds in build/ and starts Tessarc on the sample vault scan (generated on
# first use into data/, outside git). Any argument is passed to the program instead of the sample.
set -euo pipefail
cd "$(dirname "$0")"
scripts/dependances.sh
cmake --preset dev >/dev/null
cmake --build --preset dev
exemple=data/voute.xyz
if [ ! -f "$exemple" ]; then
    mkdir -p data
    build/tools/tessarc-genvoute --points 300000 --sortie "$exemple"
fi
if [ -x build/src/app/tessarc ]; then
    exec build/src/app/tessarc "${@:-$exemple}"
fi
exec build/src/cli/tessarc-cli proprietes "${@:-$exemple}"

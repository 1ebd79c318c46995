#!/usr/bin/env bash
# Installs what is missing, builds in build/ and starts Tessarc on the sample vault scan (generated on
# first use into data/, outside git). Any argument is passed to the program instead of the sample.
set -euo pipefail
cd "$(dirname "$0")"
scripts/dependances.sh
cmake --preset dev >/dev/null
cmake --build --preset dev
# The barrel vault whose arch shows in the opening view; a new name, so that a sample made by an older
# generator is not reused.
exemple=data/voute-berceau.xyz
if [ ! -f "$exemple" ]; then
    mkdir -p data
    build/tools/tessarc-genvoute --berceau --points 300000 --sortie "$exemple"
fi
if [ -x build/src/app/tessarc ]; then
    exec build/src/app/tessarc "${@:-$exemple}"
fi
exec build/src/cli/tessarc-cli proprietes "${@:-$exemple}"

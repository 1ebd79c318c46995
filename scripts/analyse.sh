#!/usr/bin/env bash
# Static analysis of the sources with the checks of .clang-tidy, over the dev build's compile commands;
# any finding fails. Usage: scripts/analyse.sh [folder of src...] (all of src by default).
set -euo pipefail
cd "$(dirname "$0")/.."
[ -f build/compile_commands.json ] || cmake --preset dev >/dev/null
dossiers=("${@:-src}")
git ls-files -- "${dossiers[@]/%//*.cpp}" | xargs -r -n 4 -P "$(nproc)" clang-tidy -p build --quiet --extra-arg=-Wno-unknown-warning-option

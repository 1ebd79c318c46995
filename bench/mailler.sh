#!/bin/sh
# Times tessarc-cli mailler on a vault from tessarc-genvoute (8 m x 6 m from the origin), load
# included: boundary on the vault's plan, 5 cm grid, model texts.
# Usage: bench/mailler.sh VOUTE.xyz [BUILD]
set -eu
voute=$1
build=${2:-build}
dossier=$(mktemp -d)
trap 'rm -rf "$dossier"' EXIT
printf '0 0\n8 0\n8 6\n0 6\n' >"$dossier/frontiere.txt"
/usr/bin/time -f "mailler : %e s, %M Ko au plus" "$build/src/cli/tessarc-cli" mailler "$voute" \
    --sortie "$dossier/modele" --frontiere "$dossier/frontiere.txt" --trame 0.05
wc -l "$dossier/modele/noeuds.txt" "$dossier/modele/elements.txt"

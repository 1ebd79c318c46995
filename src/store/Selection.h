#pragma once
// The "Sélection" commands: exact bit operations on the cubes of the displayed level (and, for the
// deletions and their undo, on whole subtrees). DonneesModifiees is the document's pending-deletions
// flag.

#include "UTessarcGlb.h"

namespace tessarc {

void Deselectionner(TNuage& n);
void MasquerSelection(TNuage& n);
void Demasquer(TNuage& n);
void InverserMasque(TNuage& n);
void SupprimerSelection(TNuage& n, bool& DonneesModifiees);
void SupprimerLesPointsMasques(TNuage& n, bool& DonneesModifiees);
void AnnulerSuppressions(TNuage& n, bool& DonneesModifiees);

} // namespace tessarc

#include "Selection.h"

namespace tessarc {

void Deselectionner(TNuage& n) {
    for (TCube* c : n.CubesAffiches) c->etatSP &= 0xFE;
}

void MasquerSelection(TNuage& n) {
    for (TCube* c : n.CubesAffiches)
        if (c->etatSP & EtatSelectionne)
            c->etatSP = static_cast<std::uint8_t>((c->etatSP & 0xFE) | EtatMasque);
}

void Demasquer(TNuage& n) {
    for (TCube* c : n.CubesAffiches)
        if (!(c->etatSP & EtatSupprime)) c->etatSP &= 0xFD;
}

void InverserMasque(TNuage& n) {
    for (TCube* c : n.CubesAffiches) c->etatSP = static_cast<std::uint8_t>((c->etatSP & 0xFE) ^ EtatMasque);
}

void SupprimerSelection(TNuage& n, bool& DonneesModifiees) {
    for (TCube* c : n.CubesAffiches)
        if (c->etatSP & EtatSelectionne) n.MarquerSupprime(c, true);
    DonneesModifiees = true;
}

void SupprimerLesPointsMasques(TNuage& n, bool& DonneesModifiees) {
    for (TCube* c : n.CubesAffiches)
        if (c->etatSP & EtatMasque) n.MarquerSupprime(c, true);
    DonneesModifiees = true;
}

void AnnulerSuppressions(TNuage& n, bool& DonneesModifiees) {
    n.PourRacines([&](TCube* r) { n.MarquerSupprime(r, false); });
    DonneesModifiees = false;
}

} // namespace tessarc

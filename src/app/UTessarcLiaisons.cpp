// What the window asks of the document, view, settings and meshing libraries. The window holds no
// cloud of its own: until these libraries are linked in, the document stays empty, so the answers below
// are those of an empty document, and the commands that need a cloud say plainly that they cannot run.

#include "UTessarc.h"

#include <stdexcept>
#include <string>

namespace tessarc {

namespace {

[[noreturn]] void Indisponible(const char* commande) {
    throw std::runtime_error(std::string(commande) +
                             " : pas encore disponible dans cette version du programme");
}

} // namespace

// Document.

void TFTessarc::LireDocument(const QString&) {
    Indisponible("Lecture des scans et des projets");
}

void TFTessarc::EcrireDocument(int, int) {
    Indisponible("Enregistrement");
}

// Nothing is held yet: an empty document has nothing to empty.
void TFTessarc::ViderDocument() {}

QString TFTessarc::RapportProprietes() const {
    Indisponible("Propriétés");
}

// An empty tree has its leaf and displayed levels at 0.
int TFTessarc::NivMaxDocument() const {
    return 0;
}

int TFTessarc::NivAfficheDocument() const {
    return 0;
}

void TFTessarc::AppliquerNiveauDocument(int) {}

// An empty document has no displayed cube to mark.
void TFTessarc::MarquerCubes(TCommandeSelection) {}

// Settings: nothing is kept between runs yet.

void TFTessarc::ChargerReglages() {}

void TFTessarc::RangerReglages() {}

// View: the placeholder panel has no drawing lists, camera or cursor of its own.

void TFTessarc::InvaliderListesVue(bool) {}

void TFTessarc::OrienterCamera(int) {}

void TFTessarc::PoserCurseurMire() {}

// Meshing: no boundary and no grid are held yet.

void TFTessarc::ViderFrontiere() {}

int TFTessarc::NbPointsFrontiere() const {
    return 0;
}

void TFTessarc::EntrerPageGrille() {
    VuePlanXY = true;
}

bool TFTessarc::GrilleCalculee() const {
    return false;
}

void TFTessarc::Trianguler() {}

} // namespace tessarc

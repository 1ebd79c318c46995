// Menu "Sélection", "Définir axe X" with its picks, menu lock and transform, and Esc.

#include "AxeX.h"
#include "DlphUtil.h"
#include "Selection.h"
#include "UTessarc.h"
#include "Vue3D.h"

#include <QKeyEvent>
#include <QLabel>
#include <QMenuBar>

#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

namespace tessarc {

namespace {

// "1 234 567": French thousands, separated by a space.
std::string Milliers(std::size_t n) {
    std::string chiffres = std::to_string(n);
    for (auto i = static_cast<std::ptrdiff_t>(chiffres.size()) - 3; i > 0; i -= 3)
        chiffres.insert(static_cast<std::size_t>(i), 1, ' ');
    return chiffres;
}

// "0 cube masqué", "1 cube masqué", "1 234 cubes masqués".
std::string TexteCubes(std::size_t n, std::string_view participe) {
    const char* s = n > 1 ? "s" : "";
    return Milliers(n) + " cube" + s + " " + std::string(participe) + s;
}

std::vector<std::uint8_t> Etats(std::span<TCube* const> cubes) {
    std::vector<std::uint8_t> etats(cubes.size());
    for (std::size_t i = 0; i < cubes.size(); ++i) etats[i] = cubes[i]->etatSP;
    return etats;
}

// What a command changed among the cubes of the displayed level, as the status line says it.
std::string Bilan(TCommandeSelection commande, std::span<const std::uint8_t> avant,
                  std::span<TCube* const> cubes) {
    std::size_t changes = 0, masques = 0;
    for (std::size_t i = 0; i < cubes.size(); ++i) {
        if (cubes[i]->etatSP == avant[i]) continue;
        ++changes;
        if ((cubes[i]->etatSP & EtatMasque) != 0) ++masques;
    }
    switch (commande) {
    case TCommandeSelection::Deselectionner:
        return TexteCubes(changes, "désélectionné");
    case TCommandeSelection::MasquerSelection:
        return TexteCubes(changes, "masqué");
    case TCommandeSelection::Demasquer:
        return TexteCubes(changes, "démasqué");
    case TCommandeSelection::InverserMasque:
        return TexteCubes(masques, "masqué") + ", " + TexteCubes(changes - masques, "démasqué");
    case TCommandeSelection::SupprimerSelection:
    case TCommandeSelection::SupprimerPointsMasques:
        return TexteCubes(changes, "supprimé");
    case TCommandeSelection::AnnulerSuppressions:
        break;
    }
    return TexteCubes(changes, "rétabli");
}

} // namespace

void TFTessarc::MiDeselectionnerClick() {
    AppliquerCommandeSelection(TCommandeSelection::Deselectionner);
}

void TFTessarc::MiMasquerSelectionClick() {
    AppliquerCommandeSelection(TCommandeSelection::MasquerSelection);
}

void TFTessarc::MiDemasquerClick() {
    AppliquerCommandeSelection(TCommandeSelection::Demasquer);
}

void TFTessarc::MiInverserMasqueClick() {
    AppliquerCommandeSelection(TCommandeSelection::InverserMasque);
}

void TFTessarc::MiSupprimerSelectionClick() {
    AppliquerCommandeSelection(TCommandeSelection::SupprimerSelection);
}

void TFTessarc::MiSupprimerLesPointsMasquesClick() {
    AppliquerCommandeSelection(TCommandeSelection::SupprimerPointsMasques);
}

void TFTessarc::MiAnnulerSuppressionsClick() {
    AppliquerCommandeSelection(TCommandeSelection::AnnulerSuppressions);
}

// The deletions set the pending flag even when no cube matched; their undo clears it.
// The status line then says how many cubes of the displayed level the command changed.
void TFTessarc::AppliquerCommandeSelection(TCommandeSelection commande) {
    TNuage& nuage = doc_.Nuage;
    const std::vector<std::uint8_t> avant = Etats(nuage.CubesAffiches);
    switch (commande) {
    case TCommandeSelection::Deselectionner:
        Deselectionner(nuage);
        break;
    case TCommandeSelection::MasquerSelection:
        MasquerSelection(nuage);
        break;
    case TCommandeSelection::Demasquer:
        Demasquer(nuage);
        break;
    case TCommandeSelection::InverserMasque:
        InverserMasque(nuage);
        break;
    case TCommandeSelection::SupprimerSelection:
        SupprimerSelection(nuage, doc_.DonneesModifiees);
        break;
    case TCommandeSelection::SupprimerPointsMasques:
        SupprimerLesPointsMasques(nuage, doc_.DonneesModifiees);
        break;
    case TCommandeSelection::AnnulerSuppressions:
        AnnulerSuppressions(nuage, doc_.DonneesModifiees);
        break;
    }
    RetracerPoints();
    PanneauxInfo[1]->setText(QString::fromStdString(Bilan(commande, avant, nuage.CubesAffiches)));
}

// The cubes the band added, and all those now selected when others already were.
void TFTessarc::AfficherSelectionRectangle(std::size_t nouveaux) {
    std::size_t total = 0;
    for (const TCube* c : doc_.Nuage.CubesAffiches)
        if ((c->etatSP & EtatSelectionne) != 0) ++total;
    std::string texte = TexteCubes(nouveaux, "sélectionné");
    if (total != nouveaux) texte += ", " + Milliers(total) + " en tout";
    PanneauxInfo[1]->setText(QString::fromStdString(texte));
}

// A pending Esc answered Yes stops the command before the menu is locked: no pick may then wait.
void TFTessarc::MiDefinirAxeXClick() {
    Commande(*this, [this] {
        int& mode = vue_->Etat().ModeDefinirAxeX;
        mode = 1;
        try {
            AffiInfo(1, "Saisir le point origine (échap pour annuler)");
        } catch (const EStopError&) {
            mode = 0;
            throw;
        }
        svgetatmenu = SauverEtatMenu(menuBar());
    });
}

// A click over the view while the axis is being defined, with the last cube found under the mouse.
// The picked points are copied: the transform must not read a cube the tree no longer holds.
void TFTessarc::PiqueAxeX(const TCube& cube) {
    int& mode = vue_->Etat().ModeDefinirAxeX;
    if (mode == 1) {
        NvCooOrig = cube.CooMoyPts;
        mode = 2;
        AffiInfo(1, "sélectionner le 2è point (échap pour annuler)");
        return;
    }
    if (mode != 2) return;
    NvCooX = cube.CooMoyPts;
    vue_->JeterPoints();
    mode = 0;
    AffiInfo(1, "recalcul ...");
    AppliquerAxeXFenetre();
    RestaurerMenu();
}

// The companion point file is turned and shifted; the cloud in memory is not, so it is no longer shown.
// A refusal, an abandon or a failure leaves the companion file as it was: the cloud is still the
// document, shown, and its pending deletions still asked about when it is closed.
void TFTessarc::AppliquerAxeXFenetre() {
    TResultatAxeX r;
    {
        const TTravail travail(*this);
        const TAttenteCurseur attente;
        const bool scanPret = doc_.ScanPret;
        doc_.ScanPret = false;
        std::filesystem::path compagnon = doc_.PFsansext;
        compagnon += ".ANSCSRC";
        r = AppliquerAxeX(NvCooOrig, NvCooX, compagnon, *this);
        if (r.Applique) {
            doc_.Nuage.CooMin = FaireV3S(0.0f, 0.0f, 0.0f);
            doc_.Nuage.CooMax = r.CooMax;
            vue_->OrienterVue(1);
        } else {
            doc_.ScanPret = scanPret;
            RetracerTout();
        }
    }
    if (!r.Applique && !r.Abandonne) Message(r.Message);
    Message(std::to_string(r.N) + " points traités");
}

// Re-enables the menu first: on Yes to "Annuler?" the menu stays usable and the saved state is kept for
// the next Esc.
void TFTessarc::RestaurerMenu() {
    if (svgetatmenu.empty()) return;
    RestaurerEtatMenu(menuBar(), svgetatmenu);
    AffiInfo(1, "");
    svgetatmenu.clear();
}

// Esc also abandons an X-axis definition; a locked menu is given back at once, which asks "Annuler?"
// since Echap is set. While long work runs (the axis transform among it) the question is left to the
// work's next status update, so that Yes stops the work itself; the work gives the menu back.
void TFTessarc::FormKeyPress(const QKeyEvent& touche) {
    if (touche.key() != Qt::Key_Escape) return;
    Echap = true;
    vue_->Etat().ModeDefinirAxeX = 0;
    if (TravailEnCours()) return;
    if (!svgetatmenu.empty()) Commande(*this, [this] { RestaurerMenu(); });
}

} // namespace tessarc

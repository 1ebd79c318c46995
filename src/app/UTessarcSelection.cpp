// Menu "Sélection", "Définir axe X" with its menu lock, the status line and Esc.

#include "UTessarc.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>

namespace tessarc {

namespace {

// Every menu item depth first: an item, then its sub-items; top-level items in order. Separators count.
template <typename F> void ParcourirMenu(const QList<QAction*>& actions, F&& f) {
    for (QAction* action : actions) {
        f(action);
        if (const QMenu* sous = action->menu()) ParcourirMenu(sous->actions(), f);
    }
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
void TFTessarc::AppliquerCommandeSelection(TCommandeSelection commande) {
    MarquerCubes(commande);
    if (commande == TCommandeSelection::SupprimerSelection ||
        commande == TCommandeSelection::SupprimerPointsMasques)
        DonneesModifiees = true;
    else if (commande == TCommandeSelection::AnnulerSuppressions)
        DonneesModifiees = false;
    RetracerPoints();
}

void TFTessarc::MiDefinirAxeXClick() {
    Commande([this] {
        ModeDefinirAxeX = 1;
        AffiInfo(1, "Saisir le point origine (échap pour annuler)");
        VerrouillerMenu();
    });
}

void TFTessarc::VerrouillerMenu() {
    svgetatmenu = EtatMenu();
    ParcourirMenu(menuBar()->actions(), [](QAction* action) { action->setEnabled(false); });
}

// Re-enables the menu first: on Yes to "Annuler?" the menu stays usable and the saved state is kept for
// the next Esc.
void TFTessarc::RestaurerMenu() {
    if (svgetatmenu.empty()) return;
    AppliquerEtatMenu(svgetatmenu);
    AffiInfo(1, "");
    svgetatmenu.clear();
}

std::string TFTessarc::EtatMenu() const {
    std::string etat;
    ParcourirMenu(menuBar()->actions(),
                  [&](const QAction* action) { etat += action->isEnabled() ? 'T' : 'F'; });
    return etat;
}

void TFTessarc::AppliquerEtatMenu(const std::string& etat) {
    std::size_t k = 0;
    ParcourirMenu(menuBar()->actions(), [&](QAction* action) {
        action->setEnabled(k < etat.size() && etat[k] == 'T');
        ++k;
    });
}

void TFTessarc::AffiInfo(int panneau, const std::string& texte) {
    if (DemandeAbandon()) throw EStopError();
    PanneauxInfo[panneau <= 0 ? 0 : 1]->setText(QString::fromStdString(texte));
    QCoreApplication::processEvents();
}

bool TFTessarc::DemandeAbandon() {
    if (!Echap) return false;
    Echap = false;
    return Dlg.Question(this, QStringLiteral("Annuler?")) == TReponse::Oui;
}

QString TFTessarc::TexteStatut(int panneau) const {
    return PanneauxInfo[panneau <= 0 ? 0 : 1]->text();
}

// Esc also abandons an X-axis definition; a locked menu is given back at once, which asks "Annuler?"
// since Echap is set.
void TFTessarc::FormKeyPress(const QKeyEvent& touche) {
    if (touche.key() != Qt::Key_Escape) return;
    Echap = true;
    ModeDefinirAxeX = 0;
    if (!svgetatmenu.empty()) Commande([this] { RestaurerMenu(); });
}

} // namespace tessarc

#pragma once
// The meshing work pages of the main window, "Frontière", "Grille de capture", "Triangulation" and
// "Modèle" with its result sheet, and the rule that governs moving between them. Each page builds and
// owns its widgets (PageFrontiere, PageGrille, PageModele; "Triangulation" has none); the window puts
// their sheets in its page control and asks the controller what a page change does.

#include "PageFrontiere.h"
#include "PageGrille.h"
#include "PageMaillage.h"
#include "PageModele.h"

#include <array>
#include <cstddef>

namespace tessarc {

// A sheet of the window's page control and its tab caption.
struct TOngletPage {
    QWidget* Feuille;
    QString Titre;
};

// Owned by the window; a QObject only so that its connections end with it.
class TPagesMaillage final : public QObject {
public:
    // The sheets are built under parent, until the window takes them.
    TPagesMaillage(QWidget& parent, TNuage& nuage, TMaillage& maillage, const TV3R& decalage,
                   IUtilisateur& utilisateur, TLiensPagesMaillage liens, TEtatVueMaillage etat);

    // Pages 1 to 4, in order.
    [[nodiscard]] std::array<TOngletPage, 4> Onglets() const;
    [[nodiscard]] TPageModele& Modele() { return modele_; }
    [[nodiscard]] const TPageModele& Modele() const { return modele_; }

    // Back any number of pages, forward one at a time, Triangulation only once the grid points exist.
    // When refused, the window shows `pageQuittee` again and does nothing else.
    [[nodiscard]] bool Accepter(int pageQuittee, int page) const;
    // After an accepted change and once the window shows the view or the result sheet: input off, the
    // page's own entry work, then the whole view redrawn.
    void EntrerPage(int page);

    // Menu "Triangulation".
    void MiDefinirFrontiereClick() { frontiere_.MiDefinirFrontiereClick(); }
    void MiTriangulerClick();
    // The view appended boundary point i after a click.
    void SurPointFrontiere(std::size_t i) { frontiere_.SurPointFrontiere(i); }

private:
    void Trianguler();

    TContextePages contexte_;
    TPageFrontiere frontiere_;
    TPageGrille grille_;
    QWidget* triangulation_;
    TPageModele modele_;
};

} // namespace tessarc

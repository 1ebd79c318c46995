#pragma once
// The page "Grille de capture": the grid's origin and spacing, and the computation of its points.

#include "PageMaillage.h"

class QLineEdit;

namespace tessarc {

struct TTextesGrille;

class TPageGrille final : public QObject {
public:
    TPageGrille(QWidget& parent, TContextePages& contexte);

    [[nodiscard]] QWidget* Feuille() const { return feuille_; }
    // Top view; the origin at the boundary's minimum, the grid discarded.
    void Entrer();

private:
    void BtValiderGrilleClick();
    void BtCalcPointsGrClick();
    void Afficher(const TTextesGrille& t);

    TContextePages& c_;
    QWidget* feuille_;
    QLineEdit* EdOriGrilX;
    QLineEdit* EdOriGrilY;
    QLineEdit* EdTrameGrille;
};

} // namespace tessarc

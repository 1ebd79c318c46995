#pragma once
// The page "Frontière": boundary input in the view, the list of its points and the editing of one.

#include "PageMaillage.h"

#include <cstddef>

class QComboBox;
class QLineEdit;
class QToolButton;

namespace tessarc {

class TPageFrontiere final : public QObject {
public:
    TPageFrontiere(QWidget& parent, TContextePages& contexte);

    [[nodiscard]] QWidget* Feuille() const { return feuille_; }
    // Top view, input off, the list refilled with nothing selected; the points stay.
    void Entrer();
    // Menu "Définir frontière".
    void MiDefinirFrontiereClick();
    // The view appended boundary point i after a click.
    void SurPointFrontiere(std::size_t i);

private:
    void SBsaisirFrontClick();
    void CmBxNumPtFrontCloseUp(int i);
    void BtValidFrClick();
    void RemplirPoints(int choisi);
    void AfficherPoint(int i);

    TContextePages& c_;
    QWidget* feuille_;
    QToolButton* SBsaisirFront;
    QComboBox* CmBxNumPtFront;
    QLineEdit* EdPtFronX;
    QLineEdit* EdPtFronY;
};

} // namespace tessarc

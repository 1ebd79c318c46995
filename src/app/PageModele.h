#pragma once
// The page "Modèle" and the result sheet it shows instead of the view: the five values of the model,
// its three texts in tabs, the copy to the clipboard and the mesh exports.

#include "Modele.h"
#include "PageMaillage.h"

class QButtonGroup;
class QLineEdit;
class QPlainTextEdit;

namespace tessarc {

// The export dialog's types: Gmsh mesh, VTK mesh, plan picture, plan picture with node numbers.
[[nodiscard]] QString FiltreExport();

class TPageModele final : public QObject {
public:
    TPageModele(QWidget& parent, TContextePages& contexte);

    [[nodiscard]] QWidget* Feuille() const { return feuille_; }
    [[nodiscard]] QWidget* FeuilleResultat() const { return resultat_; }
    // The result text, which scrolls under the wheel.
    [[nodiscard]] const QWidget* Memo() const;
    // The memo emptied, no tab chosen, and the tabs locked until the next computation.
    void Entrer();

    [[nodiscard]] const QString& ResulGen() const { return resulGen_; }
    [[nodiscard]] const QString& ResulNds() const { return resulNds_; }
    [[nodiscard]] const QString& ResulElts() const { return resulElts_; }
    // Tab of TCresul shown, -1 for none.
    [[nodiscard]] int OngletResultat() const { return ongletResultat_; }

private:
    void CreerPage();
    void CreerFeuilleResultat();
    QWidget* CreerOnglets();
    void BtCalcModeleClick();
    void BtExporterMaillageClick();
    void TCresulChange(int onglet);
    void SelectionnerOngletResultat(int onglet);
    void BtResulPPClick();

    TContextePages& c_;
    QWidget* feuille_;
    QWidget* resultat_;
    QLineEdit* EdModNds = nullptr;
    QLineEdit* EdModElts = nullptr;
    QLineEdit* EdModZ = nullptr;
    QLineEdit* EdModRot = nullptr;
    QLineEdit* EdModTranches = nullptr;
    QButtonGroup* OngletsResul = nullptr;
    QPlainTextEdit* MmResul = nullptr;
    QString resulGen_;
    QString resulNds_;
    QString resulElts_;
    TModeleNumerote modele_;
    int ongletResultat_ = -1;
};

} // namespace tessarc

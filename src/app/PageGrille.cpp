#include "PageGrille.h"

#include "Composants.h"
#include "Controles.h"
#include "DlphUtil.h"
#include "GrilleCapture.h"
#include "StringUtils.h"

#include <QBoxLayout>
#include <QLineEdit>
#include <QPushButton>

namespace tessarc {

TPageGrille::TPageGrille(QWidget& parent, TContextePages& contexte)
    : c_(contexte), feuille_(Panneau(&parent, "TSgrille")) {
    QHBoxLayout* rangee = Rangee(feuille_);
    EdOriGrilX = Champ(feuille_, rangee, QStringLiteral("Origine grille : X"), "EdOriGrilX",
                       QStringLiteral("999.00"), 72);
    EdOriGrilY = Champ(feuille_, rangee, QStringLiteral("Y"), "EdOriGrilY", QStringLiteral("999.00"), 72);
    EdTrameGrille =
        Champ(feuille_, rangee, QStringLiteral("Trame grille :"), "EdTrameGrille", QStringLiteral("0.22"));
    Relier(Bouton(feuille_, rangee, "BtValiderGrille", QStringLiteral("Valider")), this, c_.Utilisateur,
           [this] { BtValiderGrilleClick(); });
    Relier(Bouton(feuille_, rangee, "BtCalcPointsGr", QStringLiteral("Calculer les points")), this,
           c_.Utilisateur, [this] { BtCalcPointsGrClick(); });
    rangee->addStretch(1);
}

void TPageGrille::Entrer() {
    c_.Etat.VuePlanXY = true;
    Afficher(EntrerPageGrille(c_.Maillage, c_.Nuage.CooMin[3], c_.Decalage));
}

void TPageGrille::BtValiderGrilleClick() {
    Afficher(ValiderGrille(c_.Maillage, Texte(EdOriGrilX), Texte(EdOriGrilY), Texte(EdTrameGrille), c_.Decalage));
}

void TPageGrille::Afficher(const TTextesGrille& t) {
    Ecrire(EdOriGrilX, t.OrigineX);
    Ecrire(EdOriGrilY, t.OrigineY);
    Ecrire(EdTrameGrille, t.Trame);
}

// A refused grid (bad spacing, origin beyond the boundary) changes nothing and says why in a box; the
// warnings of a computed one (dropped crossings, no height) and the supports of each segment go to the
// wide status panel, which the hover figures do not overwrite. The grid and its nodes are drawn afresh
// at every paint: a repaint shows them, where discarding the lists would rebuild the whole cloud. The
// repaint comes first: a pending Esc answered at the status line must not leave the new points undrawn.
void TPageGrille::BtCalcPointsGrClick() {
    TCompteRenduGrille cr;
    {
        const TAttenteCurseur attente;
        cr = CalculerPointsGrille(c_.Maillage, c_.Nuage.CubesAffiches);
    }
    if (!cr.Calcule) {
        c_.Utilisateur.Message(cr.Message);
        return;
    }
    c_.Liens.Repeindre();
    std::string etat = cr.Message;
    AjouterNote(etat, ControleAppuis(c_.Maillage));
    c_.Utilisateur.AffiInfo(1, etat);
}

} // namespace tessarc

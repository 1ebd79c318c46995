#include "PageFrontiere.h"

#include "Composants.h"
#include "Frontiere.h"
#include "Nombres.h"

#include <QBoxLayout>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QStringList>
#include <QToolButton>

namespace tessarc {

TPageFrontiere::TPageFrontiere(QWidget& parent, TContextePages& contexte)
    : c_(contexte), feuille_(Panneau(&parent, "TSfrontiere")) {
    QHBoxLayout* rangee = Rangee(feuille_);
    SBsaisirFront = new QToolButton(feuille_);
    SBsaisirFront->setObjectName(QStringLiteral("SBsaisirFront"));
    SBsaisirFront->setText(QStringLiteral("Saisir la frontière"));
    SBsaisirFront->setCheckable(true);
    rangee->addWidget(SBsaisirFront);
    rangee->addSpacing(12);
    Etiquette(feuille_, rangee, QStringLiteral("Editer la frontière : - point n°"));
    CmBxNumPtFront = new QComboBox(feuille_);
    CmBxNumPtFront->setObjectName(QStringLiteral("CmBxNumPtFront"));
    CmBxNumPtFront->setMinimumWidth(64);
    rangee->addWidget(CmBxNumPtFront);
    EdPtFronX = Champ(feuille_, rangee, QStringLiteral("coo.X"), "EdPtFronX", QStringLiteral("0"), 72);
    EdPtFronY = Champ(feuille_, rangee, QStringLiteral("coo.Y"), "EdPtFronY", QStringLiteral("0"), 72);
    QPushButton* BtValidFr = Bouton(feuille_, rangee, "BtValidFr", QStringLiteral("Valider"));
    rangee->addStretch(1);

    Relier(SBsaisirFront, this, c_.Utilisateur, [this] { SBsaisirFrontClick(); });
    Relier(BtValidFr, this, c_.Utilisateur, [this] { BtValidFrClick(); });
    // The view marks the point the list shows, however it was chosen.
    connect(CmBxNumPtFront, &QComboBox::currentIndexChanged, this,
            [this](int i) { c_.Etat.PointFrontiereChoisi = i; });
    connect(CmBxNumPtFront, &QComboBox::activated, this,
            [this](int i) { Commande(c_.Utilisateur, [&] { CmBxNumPtFrontCloseUp(i); }); });
}

void TPageFrontiere::Entrer() {
    c_.Etat.VuePlanXY = true;
    SBsaisirFront->setChecked(false);
    RemplirPoints(-1);
}

// The boundary starts again from nothing, so the list and its selection go too.
void TPageFrontiere::MiDefinirFrontiereClick() {
    DefinirFrontiere(c_.Maillage);
    RemplirPoints(-1);
    c_.Etat.FrontiereEnCours = true;
    c_.Liens.Repeindre();
}

void TPageFrontiere::SBsaisirFrontClick() {
    c_.Etat.FrontiereEnCours = !c_.Etat.FrontiereEnCours;
    SBsaisirFront->setChecked(c_.Etat.FrontiereEnCours);
    c_.Liens.Repeindre();
}

void TPageFrontiere::SurPointFrontiere(std::size_t i) {
    RemplirPoints(static_cast<int>(i));
    AfficherPoint(static_cast<int>(i));
    c_.Liens.Repeindre();
}

void TPageFrontiere::RemplirPoints(int choisi) {
    CmBxNumPtFront->clear();
    QStringList items;
    for (const std::string& n : NumerosPointsFrontiere(c_.Maillage)) items << QString::fromStdString(n);
    CmBxNumPtFront->addItems(items);
    CmBxNumPtFront->setCurrentIndex(choisi);
}

void TPageFrontiere::CmBxNumPtFrontCloseUp(int i) {
    if (i < 0 || static_cast<std::size_t>(i) >= c_.Maillage.Frontiere.size()) return;
    AfficherPoint(i);
    c_.Liens.Repeindre();
}

void TPageFrontiere::AfficherPoint(int i) {
    const TTextesPoint t = AfficherPointFrontiere(c_.Maillage, i, c_.Decalage);
    Ecrire(EdPtFronX, t.X);
    Ecrire(EdPtFronY, t.Y);
}

// An unreadable box keeps its coordinate, and the boxes then show what is stored.
void TPageFrontiere::BtValidFrClick() {
    if (const auto t = ValiderPointFrontiere(c_.Maillage, CmBxNumPtFront->currentIndex(), Texte(EdPtFronX),
                                             Texte(EdPtFronY), c_.Decalage)) {
        Ecrire(EdPtFronX, t->X);
        Ecrire(EdPtFronY, t->Y);
    }
    c_.Liens.Repeindre();
}

} // namespace tessarc

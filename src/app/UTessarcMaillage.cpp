// The page controller of the work pages and menu "Triangulation". The meshing pages build their sheets
// and do their own work (TPagesMaillage); the window puts the sheets in its page controls and decides
// which page and which sheet show.

#include "PagesMaillage.h"
#include "Triangulation.h"
#include "UTessarc.h"
#include "Vue3D.h"

#include <QSignalBlocker>
#include <QStackedWidget>
#include <QTabWidget>

namespace tessarc {

void TFTessarc::CreerPagesMaillage() {
    TEtatVueMaillage etat{vue_->Etat().FrontiereEnCours, vue_->Camera().VuePlanXY,
                          vue_->Etat().PointFrontiereChoisi};
    TLiensPagesMaillage liens{[this] { RetracerTout(); }, [this] { vue_->Repeindre(); },
                              [this](const QString& filtre) {
                                  return Dlg.NomAEnregistrer(
                                      this, QString::fromStdString(doc_.PFsansext.string()), filtre);
                              }};
    pages_ =
        std::make_unique<TPagesMaillage>(*PCavct, doc_.Nuage, doc_.Maillage, doc_.Decalage, *this,
                                         std::move(liens), etat);
    for (const TOngletPage& onglet : pages_->Onglets()) PCavct->addTab(onglet.Feuille, onglet.Titre);
    PCaffi->addWidget(pages_->Modele().FeuilleResultat());
    // The scene still shows the page being left.
    connect(PCavct, &QTabWidget::currentChanged, this, [this](int) {
        PCavctChanging(vue_->Etat().PageActive);
        PCavctChange();
    });
    vue_->SurPointFrontiere = [this](std::size_t i, const TV3S&) { pages_->SurPointFrontiere(i); };
}

// Shows a page from the program: the page controller is not told.
void TFTessarc::AfficherPage(int page) {
    const QSignalBlocker silence(PCavct);
    PCavct->setCurrentIndex(page);
    vue_->Etat().PageActive = page;
}

void TFTessarc::PCavctChanging(int pageQuittee) {
    ongletactif = pageQuittee;
}

// A refused change shows the page left again; an accepted one starts the page's work.
void TFTessarc::PCavctChange() {
    const int page = PCavct->currentIndex();
    vue_->Etat().PageActive = page;
    if (!pages_->Accepter(ongletactif, page)) {
        AfficherPage(ongletactif);
        return;
    }
    PCaffi->setCurrentWidget(page == PageModele ? pages_->Modele().FeuilleResultat() : TSvgl);
    pages_->EntrerPage(page);
}

void TFTessarc::MiDefinirFrontiereClick() {
    pages_->MiDefinirFrontiereClick();
}

void TFTessarc::MiTriangulerClick() {
    pages_->MiTriangulerClick();
}

} // namespace tessarc

// The page controller of the work pages and menu "Triangulation". The meshing pages do their own work
// (TPagesMaillage); the window decides which page and which sheet show.

#include "PagesMaillage.h"
#include "Triangulation.h"
#include "UTessarc.h"
#include "Vue3D.h"

#include <QSignalBlocker>
#include <QStackedWidget>
#include <QTabWidget>

namespace tessarc {

void TFTessarc::CreerPagesMaillage() {
    TEtatVueMaillage etat{FrontiereEnCours, VuePlanXY, vue_->Etat().PointFrontiereChoisi};
    TLiensPagesMaillage liens{[this] { RetracerTout(); },
                              [this] { vue_->Repeindre(); },
                              [this](int panneau, const std::string& texte) { AffiInfo(panneau, texte); },
                              [this](const QString& texte) { Dlg.Message(this, texte); },
                              [this](const std::string& texte) { AffiInfo(1, texte); },
                              [this](const QString& filtre) {
                                  return Dlg.NomAEnregistrer(
                                      this, QString::fromStdString(doc_.PFsansext.string()), filtre);
                              }};
    pages_ = std::make_unique<TPagesMaillage>(*this, doc_.Nuage, doc_.Maillage, std::move(liens), etat);
    vue_->SurPointFrontiere = [this](std::size_t i, const TV3S& p) { pages_->SurPointFrontiere(i, p); };
}

// Shows a page from the program: the page controller is not told.
void TFTessarc::AfficherPage(int page) {
    const QSignalBlocker silence(PCavct);
    PCavct->setCurrentIndex(page);
    pageAffichee_ = page;
}

void TFTessarc::PCavctChanging(int pageQuittee) {
    ongletactif = pageQuittee;
}

// A refused change shows the page left again; an accepted one starts the page's work.
void TFTessarc::PCavctChange() {
    const int page = PCavct->currentIndex();
    pageAffichee_ = page;
    if (!pages_->Accepter(ongletactif, page)) {
        AfficherPage(ongletactif);
        return;
    }
    PCaffi->setCurrentWidget(page == PageModele ? TSresul : TSvgl);
    pages_->EntrerPage(page);
}

void TFTessarc::MiDefinirFrontiereClick() {
    pages_->MiDefinirFrontiereClick();
}

void TFTessarc::MiTriangulerClick() {
    pages_->MiTriangulerClick();
}

} // namespace tessarc

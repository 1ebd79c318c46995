#include "PagesMaillage.h"

#include "Composants.h"
#include "Controles.h"
#include "DlphUtil.h"
#include "Triangulation.h"

#include <utility>

namespace tessarc {

namespace {

TLiensPagesMaillage SansTrou(TLiensPagesMaillage liens) {
    if (!liens.RetracerTout) liens.RetracerTout = [] {};
    if (!liens.Repeindre) liens.Repeindre = [] {};
    if (!liens.NomExport) liens.NomExport = [](const QString&) { return std::nullopt; };
    return liens;
}

} // namespace

TPagesMaillage::TPagesMaillage(QWidget& parent, TNuage& nuage, TMaillage& maillage, const TV3R& decalage,
                               IUtilisateur& utilisateur, TLiensPagesMaillage liens, TEtatVueMaillage etat)
    : contexte_{nuage, maillage, decalage, utilisateur, SansTrou(std::move(liens)), etat},
      frontiere_(parent, contexte_), grille_(parent, contexte_), triangulation_(Panneau(&parent, "TStriang")),
      modele_(parent, contexte_) {}

std::array<TOngletPage, 4> TPagesMaillage::Onglets() const {
    return {{{frontiere_.Feuille(), QStringLiteral("Frontière")},
             {grille_.Feuille(), QStringLiteral("Grille de capture")},
             {triangulation_, QStringLiteral("Triangulation")},
             {modele_.Feuille(), QStringLiteral("Modèle")}}};
}

bool TPagesMaillage::Accepter(int pageQuittee, int page) const {
    return ChangementPageAccepte(pageQuittee, page, contexte_.Maillage);
}

void TPagesMaillage::EntrerPage(int page) {
    contexte_.Etat.FrontiereEnCours = false;
    contexte_.Etat.VuePlanXY = false;
    Commande(contexte_.Utilisateur, [&] {
        contexte_.Utilisateur.AffiInfo(1, "");
        switch (page) {
        case PageFrontiere:
            frontiere_.Entrer();
            break;
        case PageGrille:
            grille_.Entrer();
            break;
        case PageTriangulation:
            Trianguler();
            break;
        case PageModele:
            modele_.Entrer();
            break;
        default:
            break;
        }
    });
    contexte_.Liens.RetracerTout();
}

void TPagesMaillage::MiTriangulerClick() {
    Commande(contexte_.Utilisateur, [&] { Trianguler(); });
    contexte_.Liens.RetracerTout();
}

// Without grid points the core does nothing and there is nothing to check.
void TPagesMaillage::Trianguler() {
    TCompteRenduTriangulation cr;
    {
        const TAttenteCurseur attente;
        cr = tessarc::Trianguler(contexte_.Maillage);
    }
    if (cr.Triangule) contexte_.Utilisateur.AffiInfo(1, ControleTriangulation(contexte_.Maillage, cr));
}

} // namespace tessarc

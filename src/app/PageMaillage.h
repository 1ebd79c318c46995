#pragma once
// What the meshing work pages share: the document's cloud and meshing state, the user's channel, the
// links to the window's view and dialogs, and the view state they set. Each page builds its own sheet
// under the parent it is given, with the object names the settings and the tests know, and runs each
// handler as a command: an error, an abandon included, goes to the user.

#include "Dialogues.h"
#include "Maillage.h"
#include "UTessarcGlb.h"
#include "Utilisateur.h"

#include <QAbstractButton>
#include <QObject>
#include <QString>

#include <functional>
#include <optional>
#include <utility>

namespace tessarc {

// What the pages ask of the window's view and dialogs; a link left empty does nothing. The user hears
// the refusals and errors as messages, and the checks of each page in the wide status panel, until the
// next page.
struct TLiensPagesMaillage {
    std::function<void()> RetracerTout; // drop the view's lists and repaint
    std::function<void()> Repeindre;    // repaint only
    // Save dialog for the exports; nothing when cancelled.
    std::function<std::optional<TChoixEnregistrement>(const QString& filtre)> NomExport;
};

// The view's state that the pages set.
struct TEtatVueMaillage {
    bool& FrontiereEnCours;
    bool& VuePlanXY;
    int& PointFrontiereChoisi; // item of the boundary point list, -1 for none
};

struct TContextePages {
    TNuage& Nuage;
    TMaillage& Maillage;
    const TV3R& Decalage; // the scan's shift: the boxes show and take true coordinates
    IUtilisateur& Utilisateur;
    TLiensPagesMaillage Liens;
    TEtatVueMaillage Etat;
};

// A click of the button runs the work as a command, for as long as the page lives.
template <typename F>
void Relier(QAbstractButton* bouton, QObject* page, IUtilisateur& utilisateur, F travail) {
    QObject::connect(bouton, &QAbstractButton::clicked, page,
                     [&utilisateur, travail = std::move(travail)] { Commande(utilisateur, travail); });
}

} // namespace tessarc

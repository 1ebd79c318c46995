#include "CwinReg.h"

#include "CwinRegInterne.h"
#include "Nombres.h"
#include "Placement.h"
#include "PlacementFiche.h"

#include <QCoreApplication>
#include <QWidget>

namespace tessarc {

using namespace cwinreg;

void TWinReg::RangeFenReg() {
    QWidget* fiche = Fiche();
    if (fiche == nullptr) return;
    try {
        if (!mainWR) {
            if (Instances().empty() || FicheDe(Instances().front()) == nullptr) return;
            mainWR = Instances().front();
        }
        if (FCleFiche.empty()) FCleFiche = NomFiche();
        PutLong("PixelsPerInchDsgn", PixelsPerInchDsgn);
        const Qt::WindowStates etat = fiche->windowState();
        const char lettre = etat.testFlag(Qt::WindowMinimized)   ? 'I'
                            : etat.testFlag(Qt::WindowMaximized) ? 'A'
                                                                 : '\0';
        QRect r = fiche->normalGeometry();
        if (!r.isValid()) r = fiche->geometry();
        PutStr("WinLTWH", EcrireWinLTWH(lettre, {r.x(), r.y(), r.width(), r.height()}));
        std::string extensions, refus;
        for (const TAutoFile& f : AutoFile) {
            extensions += f.Fext;
            refus += f.FNoAutoAssoc ? 'T' : 'F';
        }
        if (!Rogner(extensions).empty()) PutStr("NoAutoAssociation", refus);
        if (OnRangeReg) OnRangeReg();
        EnvoyerEvenement(1);
    } catch (const std::exception&) {
        // Saving the other windows and writing the table go on.
    }
}

void TWinReg::ChargeFenReg(const std::string& cleFicheForcee) {
    QWidget* fiche = Fiche();
    if (fiche == nullptr) return;
    try {
        QCoreApplication::processEvents();
        TWinReg& principal = Principal();
        if (FicheDe(&principal) == nullptr) return;
        mainWR = &principal;
        FCleFiche = cleFicheForcee.empty() ? NomFiche() : cleFicheForcee;
        char etat = '\0';
        if (!principal.FInitAlign) {
            if (const int ppp = GetLong("PixelsPerInchDsgn", 0); ppp != 0) PixelsPerInchDsgn = ppp;
            if (const std::string ltwh = GetStr("WinLTWH"); !ltwh.empty()) {
                const WinLTWH lu = LireWinLTWH(ltwh);
                etat = lu.etat;
                fiche->setWindowState(fiche->windowState() &
                                      ~(Qt::WindowMinimized | Qt::WindowMaximized | Qt::WindowFullScreen));
                AppliquerLTWH(fiche, lu.rectangle);
            }
        }
        // Kept on screen while still normal, so that the restored rectangle is reachable too.
        RamenerFicheDansEcran(fiche);
        if (etat == 'A')
            fiche->setWindowState((fiche->windowState() & ~Qt::WindowMinimized) | Qt::WindowMaximized);
        if (etat == 'I') fiche->setWindowState(fiche->windowState() | Qt::WindowMinimized);
        QCoreApplication::processEvents();
        const std::string refus = GetStr("NoAutoAssociation") + "FFF";
        for (std::size_t k = 0; k < AutoFile.size(); ++k) AutoFile[k].FNoAutoAssoc = refus[k] == 'T';
        if (OnChargeReg) OnChargeReg();
        EnvoyerEvenement(0);
    } catch (const std::exception&) {
        // What was applied stays.
    }
}

void TWinReg::EnvoyerEvenement(int drapeau) {
    QWidget* fiche = Fiche();
    if (fiche == nullptr) return;
    const QList<QWidget*> enfants = fiche->findChildren<QWidget*>();
    const std::vector<QPointer<QWidget>> cibles(enfants.begin(), enfants.end());
    for (const QPointer<QWidget>& cible : cibles) {
        if (!cible) continue;
        EvenementWinReg evenement(this, drapeau);
        QCoreApplication::sendEvent(cible, &evenement);
    }
}

void TWinReg::Associer() {
    tessarc::Associer(AutoFile, utilisateur_);
}

} // namespace tessarc

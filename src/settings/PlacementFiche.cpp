#include "PlacementFiche.h"

#include "Placement.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

namespace tessarc {

bool AppliquerLTWH(QWidget* fiche, std::string_view texte) {
    const auto r = LireLTWH(texte);
    if (!r) return false;
    fiche->setGeometry(r->gauche, r->haut, r->largeur, r->hauteur);
    QCoreApplication::processEvents();
    return true;
}

void RamenerFicheDansEcran(QWidget* fiche, const QRect& ecran) {
    if (ecran.isEmpty() ||
        (fiche->windowState() & (Qt::WindowMaximized | Qt::WindowMinimized | Qt::WindowFullScreen)))
        return;
    const QRect g = fiche->geometry();
    const LTWH p = RamenerDansEcran({g.x(), g.y(), g.width(), g.height()},
                                    {ecran.x(), ecran.y(), ecran.width(), ecran.height()});
    if (p.gauche != g.x() || p.haut != g.y()) fiche->setGeometry(p.gauche, p.haut, g.width(), g.height());
}

void RamenerFicheDansEcran(QWidget* fiche) {
    QScreen* ecran = QGuiApplication::screenAt(fiche->geometry().center());
    if (ecran == nullptr) ecran = fiche->screen();
    if (ecran == nullptr) ecran = QGuiApplication::primaryScreen();
    if (ecran != nullptr) RamenerFicheDansEcran(fiche, ecran->availableGeometry());
}

} // namespace tessarc

// Menu "Aide": the French user guide in the desktop's viewer, at its first page.

#include "Aide.h"
#include "UTessarc.h"

#include <QDir>
#include <QFileInfo>
#include <QUrl>

namespace tessarc {

void TFTessarc::MiAideClick() {
    AfficherAide();
}

void TFTessarc::AfficherAide() {
    const QString guide = FichierAide();
    const QString montre = QDir::toNativeSeparators(guide);
    if (!QFileInfo::exists(guide)) {
        Dlg.Message(this, QStringLiteral("Le guide de l'utilisateur est introuvable : ") + montre);
        return;
    }
    Dlg.OuvrirLien(this, QUrl::fromLocalFile(guide), [this, montre] {
        Dlg.Message(this,
                    QStringLiteral("Aucun navigateur n'a pu ouvrir le guide de l'utilisateur ; ouvrez ce "
                                   "fichier dans un navigateur : ") +
                        montre);
    });
}

} // namespace tessarc

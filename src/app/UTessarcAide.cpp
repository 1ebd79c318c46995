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
    const std::string montre = QDir::toNativeSeparators(guide).toStdString();
    if (!QFileInfo::exists(guide)) {
        Message("Le guide de l'utilisateur est introuvable : " + montre);
        return;
    }
    Dlg.OuvrirLien(this, QUrl::fromLocalFile(guide), [this, montre] {
        Message("Aucun navigateur n'a pu ouvrir le guide de l'utilisateur ; ouvrez ce fichier dans un "
                "navigateur : " +
                montre);
    });
}

} // namespace tessarc

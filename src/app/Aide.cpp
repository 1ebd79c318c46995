#include "Aide.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace tessarc {

namespace {
QString& CheminAide() {
    static QString chemin;
    return chemin;
}
} // namespace

void DefinirFichierAide(const QString& chemin) {
    CheminAide() = chemin;
}

QString FichierAide() {
    return CheminAide().isEmpty() ? GuideParDefaut() : CheminAide();
}

QString GuideParDefaut() {
    const QDir dossier(QCoreApplication::applicationDirPath());
    QString aCote = dossier.filePath(QStringLiteral("aide/index.html"));
    QString installe =
        QDir::cleanPath(dossier.filePath(QStringLiteral(TESSARC_AIDE_INSTALLEE "/index.html")));
    if (!QFileInfo::exists(aCote) && QFileInfo::exists(installe)) return installe;
    return aCote;
}

} // namespace tessarc

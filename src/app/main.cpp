// Tessarc: one optional argument, a scan or project to open once the window is up.

#include "Application.h"
#include "DlphUtil.h"
#include "UTessarc.h"
#include "Vue3D.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QFileInfo>
#include <QIcon>

int main(int argc, char* argv[]) {
    // Every context shares the compatibility profile the fixed-function view needs.
    QSurfaceFormat::setDefaultFormat(tessarc::TVue3D::FormatApplication());
    QApplication application(argc, argv);
    tessarc::PreparerApplication(application);
    tessarc::DemarrerUtilitaires();
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/tessarc.svg")));

    QCommandLineParser arguments;
    arguments.setApplicationDescription(
        QStringLiteral("Transforme le scan 3D d'une voûte en modèle aux éléments finis."));
    arguments.addHelpOption();
    arguments.addPositionalArgument(QStringLiteral("fichier"),
                                    QStringLiteral("scan (.xyz, .xyb) ou projet (.tsrk) à ouvrir"),
                                    QStringLiteral("[fichier]"));
    arguments.process(application);

    tessarc::TFTessarc fenetre;
    if (const QStringList fichiers = arguments.positionalArguments(); !fichiers.isEmpty())
        fenetre.OuvrirAuDemarrage(QFileInfo(fichiers.constFirst()).absoluteFilePath());
    fenetre.show();
    return QApplication::exec();
}

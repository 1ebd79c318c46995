#include "Application.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

#include <clocale>
#include <memory>

namespace tessarc {

bool InstallerFrancais(QCoreApplication& application) {
    QLocale::setDefault(QLocale(QLocale::French, QLocale::France));
    std::setlocale(LC_NUMERIC, "C");

    static std::unique_ptr<QTranslator> traduction;
    if (traduction) return true;
    auto t = std::make_unique<QTranslator>();
    if (!t->load(QStringLiteral("qtbase_fr"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        return false;
    application.installTranslator(t.get());
    traduction = std::move(t);
    return true;
}

void PreparerApplication(QCoreApplication& application) {
    QCoreApplication::setApplicationName(QStringLiteral("tessarc"));
    QCoreApplication::setOrganizationName(QStringLiteral("Tessarc"));
    QGuiApplication::setDesktopFileName(QStringLiteral("tessarc"));
    InstallerFrancais(application);
}

} // namespace tessarc

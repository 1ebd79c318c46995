// Qt's own texts in French, numbers with a point whatever the locale.

#include "Application.h"
#include "Nombres.h"

#include <QAbstractButton>
#include <QCoreApplication>
#include <QFileInfo>
#include <QLibraryInfo>
#include <QLocale>
#include <QMessageBox>

#include <gtest/gtest.h>

#include <clocale>
#include <cstdio>

using namespace tessarc;

TEST(Francais, StandardButtonsReadOuiNon) {
    const QString fichier = QLibraryInfo::path(QLibraryInfo::TranslationsPath) + "/qtbase_fr.qm";
    if (!QFileInfo::exists(fichier)) GTEST_SKIP() << "qtbase_fr.qm absent";
    ASSERT_TRUE(InstallerFrancais(*QCoreApplication::instance()));
    QMessageBox boite;
    boite.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
    EXPECT_EQ(boite.button(QMessageBox::Yes)->text().remove('&'), "Oui");
    EXPECT_EQ(boite.button(QMessageBox::No)->text().remove('&'), "Non");
}

TEST(Francais, NumbersKeepThePointUnderAFrenchLocale) {
    if (!std::setlocale(LC_ALL, "fr_FR.UTF-8")) GTEST_SKIP() << "no French locale on this machine";
    InstallerFrancais(*QCoreApplication::instance());
    EXPECT_EQ(QLocale().language(), QLocale::French);
    char texte[16];
    std::snprintf(texte, sizeof texte, "%.2f", 999.0);
    EXPECT_STREQ(texte, "999.00");
    EXPECT_EQ(FormatC("%.2f", 0.22), "0.22");
    std::setlocale(LC_ALL, "C");
}

// Start-up once after the window is shown, the open command with and without its dialog, the save
// question when closing, and the help command.

#include "Aide.h"
#include "CwinReg.h"
#include "FauxDialogues.h"
#include "UTessarc.h"

#include <QCoreApplication>
#include <QFile>
#include <QProcess>
#include <QSettings>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

using namespace tessarc;

namespace {

class Demarrage : public testing::Test {
protected:
    TFauxDialogues faux;
    TFTessarc fenetre{faux.Dialogues()};

    void Montrer() {
        fenetre.show();
        QCoreApplication::processEvents();
    }
    void Cliquer(int page) { fenetre.findChild<QTabWidget*>("PCavct")->setCurrentIndex(page); }
};

TEST_F(Demarrage, RunsOnceAfterTheWindowIsShown) {
    EXPECT_FALSE(fenetre.InitDone) << "nothing runs before the window is shown";
    Montrer();
    EXPECT_TRUE(fenetre.InitDone);
    EXPECT_EQ(fenetre.PageActive(), 0);
    EXPECT_FALSE(fenetre.Doc().ScanPret);

    // A second run would reset the document to page 0.
    Cliquer(1);
    Cliquer(2);
    fenetre.Doc().ScanPret = true;
    fenetre.hide();
    Montrer();
    fenetre.DemarrageDiffere();
    EXPECT_EQ(fenetre.PageActive(), 2);
    EXPECT_TRUE(fenetre.Doc().ScanPret);
    EXPECT_TRUE(faux.messages.empty());
}

TEST_F(Demarrage, TheSettingsComponentIsDesignedAt120PixelsPerInch) {
    EXPECT_EQ(fenetre.Reglages().PixelsPerInchDsgn, 120);
    Montrer();
    ASSERT_TRUE(fenetre.close());
    const QSettings stockage(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("Vornak"),
                             QString::fromStdString(fenetre.Reglages().NomAppli()));
    EXPECT_EQ(stockage.value("FTessarc/PixelsPerInchDsgn").toString(), "120");
}

TEST_F(Demarrage, SetsTheHelpFileBesideTheProgram) {
    DefinirFichierAide("/ailleurs/index.html");
    Montrer();
    EXPECT_EQ(FichierAide(), GuideParDefaut());
    EXPECT_TRUE(FichierAide().endsWith("/aide/index.html"));
}

TEST_F(Demarrage, CommandLineFileOpensWithoutTheDialog) {
    QTemporaryDir dossier;
    const QString scan = dossier.filePath("voute.Xyz");
    QFile(scan).open(QIODevice::WriteOnly);
    fenetre.OuvrirAuDemarrage(scan);
    Montrer();
    EXPECT_TRUE(faux.dossiersOuverture.empty());
    EXPECT_EQ(QString::fromStdString(fenetre.Doc().PFsansext.string()), dossier.filePath("voute"));
    EXPECT_EQ(QString::fromStdString(fenetre.Doc().DernierScan.string()), dossier.path());
    EXPECT_TRUE(fenetre.Doc().ScanPret) << "the closing block runs whatever the load gave";
    EXPECT_EQ(fenetre.PageActive(), 0);
}

TEST_F(Demarrage, ACancelledOpenOrAnUnknownTypeLeavesTheDocumentAsItWas) {
    Montrer();
    fenetre.Doc().ScanPret = true;
    fenetre.Doc().DonneesModifiees = true;
    Cliquer(1);
    fenetre.findChild<QAction*>("MiOuvrir")->trigger();
    ASSERT_EQ(faux.dossiersOuverture.size(), 1u);
    EXPECT_EQ(faux.dossiersOuverture[0], QCoreApplication::applicationDirPath());
    // Every scan type first; the entries of the program's own types keep their order; all files last.
    const QStringList filtres = faux.filtresOuverture[0].split(";;");
    EXPECT_TRUE(filtres.front().startsWith("fichiers de scan (*.tsrk *.xyz *.xyb *.e57")) << filtres.front().toStdString();
    EXPECT_EQ(filtres.mid(1, 3), (QStringList{"fichier Tessarc (*.tsrk)", "fichier XYZ ascii (*.xyz)",
                                             "fichier XYZ binaire (*.xyb)"}));
    EXPECT_EQ(filtres.back(), "tous les fichiers (*.*)");
    QTemporaryDir dossier;
    faux.nomAOuvrir = dossier.filePath("notes.txt");
    fenetre.findChild<QAction*>("MiOuvrir")->trigger();
    ASSERT_EQ(faux.messages.size(), 1u);
    EXPECT_TRUE(faux.messages[0].contains("type de fichier non reconnu (.TXT)")) << faux.messages[0].toStdString();
    EXPECT_TRUE(faux.questions.empty()) << "nothing to save: nothing changes";
    EXPECT_TRUE(fenetre.Doc().ScanPret);
    EXPECT_TRUE(fenetre.Doc().DonneesModifiees);
    EXPECT_EQ(fenetre.PageActive(), 1);

    fenetre.Doc().DernierScan = "/donnees/scans";
    faux.nomAOuvrir.clear();
    fenetre.findChild<QAction*>("MiOuvrir")->trigger();
    EXPECT_EQ(faux.dossiersOuverture.back(), "/donnees/scans");
}

TEST_F(Demarrage, OpenAsksToSaveOnceTheFileIsChosenAndClosingTheQuestionKeepsTheDocument) {
    Montrer();
    fenetre.Doc().ScanPret = true;
    fenetre.Doc().DonneesModifiees = true;
    QTemporaryDir dossier;
    faux.nomAOuvrir = dossier.filePath("autre.xyz");
    faux.reponses = {TReponse::Annuler};
    fenetre.findChild<QAction*>("MiOuvrir")->trigger();
    EXPECT_EQ(faux.dossiersOuverture.size(), 1u);
    ASSERT_EQ(faux.questions.size(), 1u);
    EXPECT_EQ(faux.questions[0], "les données ont été modifiées, enregistrer?");
    EXPECT_TRUE(fenetre.Doc().ScanPret);
    EXPECT_TRUE(fenetre.Doc().DonneesModifiees);
}

class Fermeture : public Demarrage {
protected:
    void SetUp() override {
        Montrer();
        fenetre.Doc().ScanPret = true;
        fenetre.Doc().DonneesModifiees = true;
        fenetre.Doc().PFsansext = "/dossier-inexistant-tessarc/scan";
    }
};

TEST_F(Fermeture, QuestionClosedKeepsTheWindowOpen) {
    faux.reponses = {TReponse::Annuler};
    EXPECT_FALSE(fenetre.close());
    EXPECT_TRUE(fenetre.isVisible());
    EXPECT_TRUE(fenetre.Doc().ScanPret) << "the document is not changed";
    EXPECT_EQ(faux.questions.size(), 1u);
}

TEST_F(Fermeture, NoClosesWithoutSaving) {
    faux.reponses = {TReponse::Non};
    EXPECT_TRUE(fenetre.close());
    EXPECT_FALSE(fenetre.isVisible());
    EXPECT_TRUE(faux.messages.empty());
}

TEST_F(Fermeture, YesWithAFailedSaveShowsTheErrorAndKeepsTheWindow) {
    faux.reponses = {TReponse::Oui};
    EXPECT_FALSE(fenetre.close());
    EXPECT_TRUE(fenetre.isVisible());
    EXPECT_EQ(faux.messages.size(), 1u);
}

TEST_F(Fermeture, CtrlQClosesThroughTheSameQuestion) {
    fenetre.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&fenetre));
    faux.reponses = {TReponse::Annuler, TReponse::Non};
    QTest::keyClick(&fenetre, Qt::Key_Q, Qt::ControlModifier);
    EXPECT_EQ(faux.questions.size(), 1u);
    EXPECT_TRUE(fenetre.isVisible());
    QTest::keyClick(&fenetre, Qt::Key_Q, Qt::ControlModifier);
    EXPECT_EQ(faux.questions.size(), 2u);
    EXPECT_FALSE(fenetre.isVisible());
}

TEST_F(Fermeture, NoQuestionWithoutPendingDeletionsOrWithoutAScan) {
    fenetre.Doc().DonneesModifiees = false;
    EXPECT_TRUE(fenetre.close());
    fenetre.show();
    fenetre.Doc().DonneesModifiees = true;
    fenetre.Doc().ScanPret = false;
    EXPECT_TRUE(fenetre.close());
    EXPECT_TRUE(faux.questions.empty());
}

class Aide : public Demarrage {
protected:
    QTemporaryDir dossier;
    QString guide = dossier.filePath("index.html");
};

TEST_F(Aide, OpensTheGuideAtItsFirstPage) {
    QFile page(guide);
    ASSERT_TRUE(page.open(QIODevice::WriteOnly));
    page.close();
    DefinirFichierAide(guide);
    fenetre.findChild<QAction*>("MiAide")->trigger();
    ASSERT_EQ(faux.liens.size(), 1u);
    EXPECT_EQ(faux.liens[0], QUrl::fromLocalFile(guide));
    EXPECT_TRUE(faux.messages.empty());
}

// The desktop's own opener, as the program starts it: missing, or ending without a viewer, it leads to
// the French message with the guide's path; ending well, to nothing.
TEST_F(Aide, TheDesktopOpenerFailingIsSaidWithTheGuidesPath) {
    QFile page(guide);
    ASSERT_TRUE(page.open(QIODevice::WriteOnly));
    page.close();
    DefinirFichierAide(guide);
    TDialogues dialogues = faux.Dialogues();
    dialogues.OuvrirLien = TDialogues::Standard().OuvrirLien;
    TFTessarc autre{dialogues};
    const QTemporaryDir outils;
    struct TChemin {
        QByteArray avant = qgetenv("PATH");
        ~TChemin() { qputenv("PATH", avant); }
    } const chemin;
    qputenv("PATH", outils.path().toUtf8());
    const auto aide = [&] {
        autre.findChild<QAction*>("MiAide")->trigger();
        for (QProcess* ouvreur : autre.findChildren<QProcess*>()) ouvreur->waitForFinished(60000);
        QCoreApplication::processEvents();
    };
    aide();
    ASSERT_EQ(faux.messages.size(), 1u) << "no opener at all";
    for (const int code : {3, 0}) {
        QFile script(outils.filePath("xdg-open"));
        ASSERT_TRUE(script.open(QIODevice::WriteOnly | QIODevice::Truncate));
        script.write(QStringLiteral("#!/bin/sh\nexit %1\n").arg(code).toUtf8());
        script.close();
        script.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        aide();
    }
    ASSERT_EQ(faux.messages.size(), 2u) << "the opener's failure is seen, its success is not";
    for (const QString& m : faux.messages) {
        EXPECT_TRUE(m.startsWith("Aucun navigateur n'a pu ouvrir le guide de l'utilisateur"))
            << m.toStdString();
        EXPECT_TRUE(m.endsWith(guide)) << m.toStdString();
    }
}

TEST_F(Aide, MissingGuideGetsAFrenchMessage) {
    DefinirFichierAide(guide);
    fenetre.findChild<QAction*>("MiAide")->trigger();
    EXPECT_TRUE(faux.liens.empty());
    ASSERT_EQ(faux.messages.size(), 1u);
    EXPECT_TRUE(faux.messages[0].startsWith("Le guide de l'utilisateur est introuvable"));
    EXPECT_TRUE(faux.messages[0].endsWith(guide));
}

} // namespace

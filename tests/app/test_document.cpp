// The window on a real document: open through the command's own path, Esc during a load, the save
// question with a real save, properties, and the settings kept between runs.

#include "CwinReg.h"
#include "FauxDialogues.h"
#include "Scans.h"
#include "UTessarc.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QMenuBar>
#include <QSettings>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>

using namespace tessarc;
using namespace tessarc::essais;

namespace {

class DocumentFenetre : public testing::Test {
protected:
    QTemporaryDir dossier;
    QString scan = dossier.filePath("nuage.xyz");
    TFauxDialogues faux;
    std::unique_ptr<TFTessarc> fenetre = std::make_unique<TFTessarc>(faux.Dialogues());

    void SetUp() override {
        EcrireGrilleXYZ(scan.toStdString());
        fenetre->show();
        QCoreApplication::processEvents();
    }
    [[nodiscard]] bool TemporaireRestant() const {
        return !QDir(dossier.path()).entryList({QStringLiteral("*.tmp")}, QDir::Files).isEmpty();
    }
};

TEST_F(DocumentFenetre, OpenThroughTheDialogLoadsTheScan) {
    faux.nomAOuvrir = scan;
    fenetre->findChild<QAction*>("MiOuvrir")->trigger();
    const TDocument& d = fenetre->Doc();
    EXPECT_TRUE(faux.messages.empty());
    EXPECT_TRUE(d.ScanPret);
    EXPECT_EQ(d.NbPts, 100);
    EXPECT_EQ(d.Nuage.NivAffiche, 2);
    EXPECT_EQ(d.Nuage.CubesAffiches.size(), 100u);
    EXPECT_EQ(QString::fromStdString(d.PFsansext.string()), dossier.filePath("nuage"));
    EXPECT_FALSE(TemporaireRestant());
    EXPECT_TRUE(fenetre->menuBar()->isEnabled()) << "the menu comes back after the load";

    // Cancelled this time: the document stays.
    faux.nomAOuvrir.clear();
    fenetre->findChild<QAction*>("MiOuvrir")->trigger();
    EXPECT_EQ(faux.dossiersOuverture.back(), dossier.path());
    EXPECT_EQ(fenetre->Doc().NbPts, 100);
    EXPECT_EQ(fenetre->Doc().Nuage.CubesAffiches.size(), 100u);
}

TEST_F(DocumentFenetre, EscDuringALoadAnsweredNoGoesOn) {
    faux.reponses = {TReponse::Non};
    const TEchapPendant echap(*fenetre, QStringLiteral("lecture"));
    fenetre->OuvrirFichier(scan);
    EXPECT_TRUE(echap.Fait());
    ASSERT_EQ(faux.questions.size(), 1u);
    EXPECT_EQ(faux.questions[0], "Annuler?");
    EXPECT_EQ(fenetre->Doc().NbPts, 100);
    EXPECT_TRUE(faux.messages.empty());
}

TEST_F(DocumentFenetre, EscDuringALoadAnsweredYesLeavesAnEmptyDocument) {
    faux.reponses = {TReponse::Oui};
    const TEchapPendant echap(*fenetre, QStringLiteral("construction"));
    fenetre->OuvrirFichier(scan);
    EXPECT_TRUE(echap.Fait());
    ASSERT_EQ(faux.messages.size(), 1u);
    EXPECT_EQ(faux.messages[0], "abandon");
    EXPECT_EQ(fenetre->Doc().NbPts, 0);
    EXPECT_TRUE(fenetre->Doc().Nuage.CubesAffiches.empty());
    EXPECT_EQ(fenetre->Doc().Nuage.NbCubesNiv[4], 0);
    EXPECT_FALSE(TemporaireRestant());
    EXPECT_TRUE(fenetre->menuBar()->isEnabled());
}

TEST_F(DocumentFenetre, WhileALoadRunsMenuShortcutsPagesAndClosingAreRefused) {
    bool menu = true;
    bool pages = true;
    bool ferme = true;
    fenetre->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(fenetre.get()));
    faux.choixEnregistrement = TChoixEnregistrement{dossier.filePath("pendant.tsrk"), 1};
    const TPendantTravail pendant(*fenetre, QStringLiteral("construction"), [&] {
        menu = fenetre->menuBar()->isEnabled();
        pages = fenetre->findChild<QTabWidget*>("PCavct")->isEnabled();
        QTest::keyClick(fenetre.get(), Qt::Key_S, Qt::ControlModifier);
        QTest::keyClick(fenetre.get(), Qt::Key_S, Qt::ControlModifier | Qt::ShiftModifier);
        ferme = fenetre->close();
    });
    fenetre->OuvrirFichier(scan);
    ASSERT_TRUE(pendant.Fait());
    EXPECT_FALSE(menu);
    EXPECT_FALSE(pages);
    EXPECT_FALSE(ferme);
    EXPECT_TRUE(faux.nomsProposes.empty()) << "no save dialog in the middle of the load";
    EXPECT_TRUE(QDir(dossier.path()).entryList({QStringLiteral("*.tsrk")}, QDir::Files).isEmpty());
    EXPECT_TRUE(fenetre->isVisible());
    EXPECT_EQ(fenetre->Doc().NbPts, 100) << "the load went to its end";
    EXPECT_TRUE(fenetre->menuBar()->isEnabled());
    EXPECT_TRUE(fenetre->findChild<QTabWidget*>("PCavct")->isEnabled());
}

TEST_F(DocumentFenetre, SaveQuestionAnsweredYesSavesTheProjectAndCloses) {
    fenetre->OuvrirFichier(scan);
    fenetre->findChild<QAction*>("MiSupprimerLesPointsMasques")->trigger();
    ASSERT_TRUE(fenetre->Doc().DonneesModifiees);
    faux.reponses = {TReponse::Oui};
    EXPECT_TRUE(fenetre->close());
    ASSERT_EQ(faux.questions.size(), 1u);
    EXPECT_EQ(faux.questions[0], "les données ont été modifiées, enregistrer?");
    EXPECT_TRUE(QFileInfo::exists(dossier.filePath("nuage.tsrk")));
    EXPECT_TRUE(faux.messages.empty());
}

TEST_F(DocumentFenetre, PropertiesShowTheReportOfTheLoadedScan) {
    fenetre->findChild<QAction*>("MiProprietes")->trigger();
    ASSERT_EQ(faux.messages.size(), 1u);
    EXPECT_TRUE(faux.messages[0].startsWith("Définition du scan : 1000.0 mm\r\nNombre de points : 0\r\n"));

    fenetre->OuvrirFichier(scan);
    fenetre->findChild<QAction*>("MiProprietes")->trigger();
    ASSERT_EQ(faux.messages.size(), 2u);
    EXPECT_TRUE(faux.messages[1].contains("Nombre de points : 100\r\n"));
    EXPECT_TRUE(faux.messages[1].contains("  - 2 : 4 cm : 100\r\n"));
    EXPECT_TRUE(faux.messages[1].endsWith(" - sur Z : 0.500 < 0.500"));
}

TEST_F(DocumentFenetre, LevelListShowsTheChosenLevelLoweredToTheDeepest) {
    fenetre->OuvrirFichier(scan);
    auto* niveaux = fenetre->findChild<QComboBox*>("CmBxNivAff");
    EXPECT_EQ(niveaux->currentIndex(), 2);
    niveaux->setCurrentIndex(0);
    fenetre->CmBxNivAffChange(0);
    EXPECT_EQ(fenetre->Doc().Nuage.NivAffiche, 0);
    EXPECT_EQ(fenetre->Doc().Nuage.CubesAffiches.size(), 1u);
}

TEST_F(DocumentFenetre, SettingsAreWrittenAtCloseAndReadAtStart) {
    fenetre->OuvrirFichier(scan);
    fenetre->setGeometry(40, 60, 1000, 450);
    QCoreApplication::processEvents();
    const std::string appli = fenetre->Reglages().NomAppli();
    ASSERT_TRUE(fenetre->close());
    fenetre.reset();

    QSettings stockage(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("Vornak"),
                       QString::fromStdString(appli));
    EXPECT_EQ(stockage.value("FTessarc/DernierScan").toString(), dossier.path());
    const QString place = stockage.value("FTessarc/WinLTWH").toString();
    EXPECT_TRUE(place.endsWith(" 1000 450")) << place.toStdString();

    stockage.setValue("FTessarc/DernierScan", QStringLiteral("/donnees/scans"));
    stockage.sync();
    fenetre = std::make_unique<TFTessarc>(faux.Dialogues());
    fenetre->show();
    QCoreApplication::processEvents();
    EXPECT_EQ(fenetre->Doc().DernierScan, "/donnees/scans");
    EXPECT_EQ(fenetre->width(), 1000);
    EXPECT_EQ(fenetre->height(), 450);
    fenetre->findChild<QAction*>("MiOuvrir")->trigger();
    EXPECT_EQ(faux.dossiersOuverture.back(), "/donnees/scans");
}

} // namespace

// Each menu entry reaches its handler: the effects that the window itself owns.

#include "FauxDialogues.h"
#include "UTessarc.h"
#include "Vue3D.h"

#include <QAbstractButton>
#include <QCoreApplication>
#include <QDir>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTabWidget>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace tessarc;

namespace {

class Commandes : public testing::Test {
protected:
    TFauxDialogues faux;
    TFTessarc fenetre{faux.Dialogues()};

    void Declencher(const char* nom) {
        auto* action = fenetre.findChild<QAction*>(QString::fromLatin1(nom));
        ASSERT_NE(action, nullptr) << nom;
        action->trigger();
    }
};

TEST_F(Commandes, PointColourCommands) {
    Declencher("MiCoulPtsForcee");
    EXPECT_TRUE(fenetre.Vue().Reglages().CouleurForcee);
    Declencher("MiCoulPtsNaturelle");
    EXPECT_FALSE(fenetre.Vue().Reglages().CouleurForcee);

    faux.couleur = QColor(200, 180, 160);
    Declencher("MiCoulPtsDefinir");
    EXPECT_EQ(fenetre.Vue().Reglages().CouleurPoints, FaireCouleur(200, 180, 160));
    EXPECT_FALSE(fenetre.Vue().Reglages().CouleurForcee) << "defining the colour does not force it";

    faux.couleur.reset();
    Declencher("MiCoulPtsDefinir");
    EXPECT_EQ(fenetre.Vue().Reglages().CouleurPoints, FaireCouleur(200, 180, 160))
        << "a cancelled dialog keeps the colour";
}

TEST_F(Commandes, DeletionsSetThePendingFlagAndUndoClearsIt) {
    for (const char* nom : {"MiDeselectionner", "MiMasquerSelection", "MiDemasquer", "MiInverserMasque"}) {
        Declencher(nom);
        EXPECT_FALSE(fenetre.Doc().DonneesModifiees) << nom;
    }
    Declencher("MiSupprimerSelection");
    EXPECT_TRUE(fenetre.Doc().DonneesModifiees);
    Declencher("MiAnnulerSuppressions");
    EXPECT_FALSE(fenetre.Doc().DonneesModifiees);
    Declencher("MiSupprimerLesPointsMasques");
    EXPECT_TRUE(fenetre.Doc().DonneesModifiees);

    // After the undo, closing no longer asks to save.
    fenetre.Doc().ScanPret = true;
    Declencher("MiAnnulerSuppressions");
    EXPECT_TRUE(fenetre.close());
    EXPECT_TRUE(faux.questions.empty());
}

TEST_F(Commandes, ViewPresetsEndTheTurnedTopView) {
    auto* rotation = fenetre.findChild<QPushButton*>("BtRot");
    ASSERT_NE(rotation, nullptr);
    for (const char* nom : {"MiVuePlanXZ", "MiVuePlanYZ", "MiVuePlanXY"}) {
        rotation->click();
        EXPECT_EQ(fenetre.Vue().Camera().TagBtRot, 1);
        Declencher(nom);
        EXPECT_EQ(fenetre.Vue().Camera().TagBtRot, 0) << nom;
    }
}

TEST_F(Commandes, RedrawRequestsFocusTheViewOnlyWhileItIsShown) {
    fenetre.show();
    QCoreApplication::processEvents();
    QWidget* vue = fenetre.findChild<QWidget*>("VGL");
    auto* copie = fenetre.findChild<QPushButton*>("BtResulPP");
    copie->setFocus();
    Declencher("rafraichir1");
    EXPECT_EQ(fenetre.focusWidget(), vue);

    // On the page "Modèle" the result sheet hides the view.
    fenetre.PCavctChanging(3);
    {
        const QSignalBlocker silence(fenetre.findChild<QTabWidget*>("PCavct"));
        fenetre.findChild<QTabWidget*>("PCavct")->setCurrentIndex(4);
    }
    fenetre.PCavctChange();
    copie->setFocus();
    Declencher("rafraichir1");
    EXPECT_EQ(fenetre.focusWidget(), copie);
}

TEST_F(Commandes, SaveAsNamesTheDocumentAfterTheChosenFile) {
    QTemporaryDir dossier;
    fenetre.Doc().PFsansext = dossier.filePath("scan").toStdString();
    faux.choixEnregistrement = TChoixEnregistrement{dossier.filePath("voute.txt"), 3};
    Declencher("MiEnregistrerSous");
    ASSERT_EQ(faux.nomsProposes.size(), 1u);
    EXPECT_EQ(faux.nomsProposes[0], dossier.filePath("scan"));
    EXPECT_EQ(QString::fromStdString(fenetre.Doc().PFsansext.string()), dossier.filePath("voute"));
    EXPECT_TRUE(faux.messages.empty()) << "the third filter writes nothing";
    EXPECT_TRUE(QDir(dossier.path()).entryList(QDir::Files).isEmpty());

    faux.choixEnregistrement = TChoixEnregistrement{dossier.filePath("a.b/sans_extension"), 3};
    Declencher("MiEnregistrerLeNiveauAffiche");
    EXPECT_EQ(QString::fromStdString(fenetre.Doc().PFsansext.string()),
              dossier.filePath("a.b/sans_extension"));

    faux.choixEnregistrement.reset();
    Declencher("MiEnregistrerSous");
    EXPECT_EQ(QString::fromStdString(fenetre.Doc().PFsansext.string()),
              dossier.filePath("a.b/sans_extension"))
        << "a cancelled dialog changes nothing";
}

TEST_F(Commandes, FailedSavesReachTheUserAsAMessage) {
    fenetre.Doc().PFsansext = "/dossier-inexistant-tessarc/scan";
    Declencher("MiEnregistrer");
    ASSERT_EQ(faux.messages.size(), 1u);
    EXPECT_FALSE(faux.messages[0].isEmpty());

    faux.choixEnregistrement = TChoixEnregistrement{"/dossier-inexistant-tessarc/voute.xyz", 2};
    Declencher("MiEnregistrerSous");
    EXPECT_EQ(faux.messages.size(), 2u);
    EXPECT_EQ(QString::fromStdString(fenetre.Doc().PFsansext.string()), "/dossier-inexistant-tessarc/voute");
}

} // namespace

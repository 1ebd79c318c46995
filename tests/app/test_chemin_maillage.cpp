// The whole meshing road in the window — open, boundary, grid, points, triangulation, model — gives the
// very texts that tessarc-cli mailler writes for the same scan, boundary and level.

#include "FauxDialogues.h"
#include "Frontiere.h"
#include "Nombres.h"
#include "OutilsCli.h"
#include "PagesMaillage.h"
#include "UTessarc.h"
#include "clSetupGL.h"

#include <QAbstractButton>
#include <QCoreApplication>
#include <QLineEdit>
#include <QTabWidget>

#include <gtest/gtest.h>

using namespace tessarc;
using namespace tessarc::essais;

namespace {

// A 3 m x 2 m vault-like surface sampled every 2 cm, curved in both directions so that levels and
// nodes get different heights.
std::string Surface() {
    std::string t;
    for (int i = 0; i <= 150; ++i)
        for (int j = 0; j <= 100; ++j) {
            const double x = 0.02 * i;
            const double y = 0.02 * j;
            t += FormatC("%.4f %.4f %.4f 120 100 90\n", x, y,
                         2.0 - 0.2 * (x - 1.5) * (x - 1.5) - 0.3 * (y - 1) * (y - 1));
        }
    return t;
}

// A non-convex outline, so that rows cross it more than twice.
const std::vector<std::pair<double, double>> Contour{{0.15, 0.1}, {2.8, 0.1}, {2.8, 1.9},
                                                     {1.6, 1.9},  {1.4, 0.9}, {0.15, 1.9}};

TEST(CheminMaillage, WindowAndCommandLineWriteTheSameTexts) {
    TDossierTemporaire dossier;
    const auto scan = dossier / "voute.xyz";
    EcrireFichier(scan, Surface());
    std::string frontiere;
    for (auto [x, y] : Contour) frontiere += FormatC("%.2f %.2f\n", x, y);
    EcrireFichier(dossier / "frontiere.txt", frontiere);

    TFauxDialogues faux;
    TFTessarc fenetre{faux.Dialogues()};
    fenetre.OuvrirFichier(QString::fromStdString(scan.string()));
    ASSERT_TRUE(fenetre.Doc().ScanPret);
    auto* pages = fenetre.findChild<QTabWidget*>("PCavct");
    auto cliquer = [&](const char* nom) { fenetre.findChild<QAbstractButton*>(nom)->click(); };

    pages->setCurrentIndex(1);
    fenetre.MiDefinirFrontiereClick();
    // The same points as clicks would give: the view un-projects onto the cloud's lowest height.
    TMaillage& m = fenetre.Doc().Maillage;
    for (auto [x, y] : Contour) {
        const auto p = AjouterPointFrontiere(m, x, y, fenetre.Doc().Nuage.CooMin[3]);
        ASSERT_TRUE(p.has_value());
        fenetre.Pages().SurPointFrontiere(m.Frontiere.size() - 1);
    }
    pages->setCurrentIndex(2);
    fenetre.findChild<QLineEdit*>("EdTrameGrille")->setText("0.15");
    cliquer("BtValiderGrille");
    cliquer("BtCalcPointsGr");
    pages->setCurrentIndex(3);
    ASSERT_EQ(fenetre.PageActive(), 3) << "grid points were computed";
    pages->setCurrentIndex(4);
    fenetre.findChild<QLineEdit*>("EdModRot")->setText("30");
    fenetre.findChild<QLineEdit*>("EdModTranches")->setText("20");
    cliquer("BtCalcModele");
    ASSERT_FALSE(fenetre.Pages().Modele().ResulGen().isEmpty());
    ASSERT_GT(m.Triangles.size(), 100u);
    faux.choixEnregistrement =
        TChoixEnregistrement{QString::fromStdString((dossier / "fenetre").string()), 1};
    cliquer("BtExporterMaillage");
    EXPECT_EQ(faux.nomsProposes.back().toStdString(), (dossier / "voute").string());

    const auto sortie = dossier / "sortie";
    TProcessusCli cli(dossier,
                      {"mailler", scan.string(), "--sortie", sortie.string(), "--frontiere",
                       (dossier / "frontiere.txt").string(), "--niveau",
                       std::to_string(fenetre.Doc().Nuage.NivAffiche), "--trame", "0.15", "--rotation", "30",
                       "--tranches", "20", "--maillage", (dossier / "cli.msh").string()});
    const TResultatCli r = cli.Attendre();
    ASSERT_EQ(r.Code, 0) << r.Erreur;
    EXPECT_EQ(LireFichier(sortie / "general.txt"), fenetre.Pages().Modele().ResulGen().toStdString());
    EXPECT_EQ(LireFichier(sortie / "noeuds.txt"), fenetre.Pages().Modele().ResulNds().toStdString());
    EXPECT_EQ(LireFichier(sortie / "elements.txt"), fenetre.Pages().Modele().ResulElts().toStdString());
    EXPECT_EQ(LireFichier(dossier / "fenetre.msh"), LireFichier(dossier / "cli.msh"));
    EXPECT_GT(LireFichier(dossier / "cli.msh").size(), 1000u);
}

// Crossings dropped by an origin typed inside the boundary are said in the status line with the supports,
// and the drawing of the computed grid or of the triangulation does not wipe the checks away.
TEST(CheminMaillage, GridWarningOutlivesTheRedraw) {
    TDossierTemporaire dossier;
    const auto scan = dossier / "voute.xyz";
    EcrireFichier(scan, Surface());
    TFauxDialogues faux;
    TFTessarc fenetre{faux.Dialogues()};
    fenetre.show();
    QCoreApplication::processEvents();
    fenetre.OuvrirFichier(QString::fromStdString(scan.string()));
    auto* pages = fenetre.findChild<QTabWidget*>("PCavct");
    auto* vgl = fenetre.findChild<TSetupGL*>("VGL");
    ASSERT_NE(vgl, nullptr);

    pages->setCurrentIndex(1);
    fenetre.MiDefinirFrontiereClick();
    TMaillage& m = fenetre.Doc().Maillage;
    for (auto [x, y] : Contour)
        ASSERT_TRUE(AjouterPointFrontiere(m, x, y, fenetre.Doc().Nuage.CooMin[3]).has_value());
    pages->setCurrentIndex(2);
    fenetre.findChild<QLineEdit*>("EdOriGrilX")->setText("1.00");
    fenetre.findChild<QAbstractButton*>("BtValiderGrille")->click();
    static_cast<void>(vgl->grabFramebuffer());
    fenetre.findChild<QAbstractButton*>("BtCalcPointsGr")->click();
    static_cast<void>(vgl->grabFramebuffer());
    EXPECT_TRUE(fenetre.TexteStatut(1).contains("hors de la grille ignorés"))
        << fenetre.TexteStatut(1).toStdString();
    EXPECT_TRUE(fenetre.TexteStatut(1).contains(" ; appuis par segment : "))
        << fenetre.TexteStatut(1).toStdString();

    // The triangulation discards the drawing lists, whose rebuild clears the panel: the checks come back.
    pages->setCurrentIndex(3);
    static_cast<void>(vgl->grabFramebuffer());
    EXPECT_TRUE(fenetre.TexteStatut(1).startsWith("éléments : ")) << fenetre.TexteStatut(1).toStdString();
    pages->setCurrentIndex(0);
    EXPECT_TRUE(fenetre.TexteStatut(1).isEmpty()) << fenetre.TexteStatut(1).toStdString();
}

} // namespace

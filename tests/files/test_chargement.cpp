#include "Document.h"
#include "DossierTemporaire.h"
#include "ExportXYZ.h"
#include "Nombres.h"
#include "SortiePoints.h"
#include "UtilisateurEspion.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <thread>
#include <unistd.h>

using namespace tessarc;
using namespace tessarc::essais;

namespace {

// A Lambert-93 survey: a 40 x 40 patch of points 5 mm apart, far from the origin.
std::string ScanLambert(int cote = 40) {
    std::string t;
    for (int i = 0; i < cote; ++i)
        for (int j = 0; j < cote; ++j)
            t += FormatC("%.4f %.4f %.4f 120 110 100\n", 652341.1234 + 0.005 * i, 6862123.4567 + 0.005 * j,
                         35.25 + 0.001 * j);
    return t;
}

std::vector<double> PremieresValeurs(const std::string& ligne) {
    double x = 0, y = 0, z = 0;
    EXPECT_EQ(std::sscanf(ligne.c_str(), "%lf %lf %lf", &x, &y, &z), 3) << ligne;
    return {x, y, z};
}

} // namespace

TEST(DecalageCoordonnees, OnlyAxesBeyondTwoKilometresAreShiftedByWholeKilometres) {
    const TV3R d =
        DecalageCoordonnees(FaireV3R(652341.1, -1999.0, -2000.5), FaireV3R(652400.0, 1999.0, 10.0));
    EXPECT_EQ(d[1], 652000.0);
    EXPECT_EQ(d[2], 0.0);
    EXPECT_EQ(d[3], -3000.0);
    EXPECT_EQ(DecalageCoordonnees(FaireV3R(-5.0, 0.0, 0.0), FaireV3R(2500.0, 1.0, 1.0))[1], -1000.0);
}

TEST(Chargement, AFarScanKeepsItsLeavesAndTrueCoordinatesThroughSaveReopenAndExport) {
    TDossierTemporaire dossier;
    EcrireFichier(dossier / "l93.xyz", ScanLambert());
    TDocument doc;
    ASSERT_TRUE(doc.OuvrirFichier(dossier / "l93.xyz")) << doc.DerniereErreur;
    EXPECT_EQ(doc.Decalage[1], 652000.0);
    EXPECT_EQ(doc.Decalage[2], 6862000.0);
    EXPECT_EQ(doc.Decalage[3], 0.0);
    // Points 5 mm apart each keep a 1.6 mm leaf; on the 1/2 m lattice of unshifted singles they would merge.
    EXPECT_EQ(doc.Nuage.NbCubesNiv[4], 1600);
    const std::string proprietes = doc.Proprietes();
    EXPECT_NE(proprietes.find(" - sur X : 652341.123 < 652341.318"), std::string::npos) << proprietes;
    EXPECT_TRUE(proprietes.ends_with("\r\nDécalage des coordonnées : 652000 6862000 0")) << proprietes;

    doc.PFsansext = dossier / "copie";
    ASSERT_TRUE(doc.EnregistrerFichier(GenreProjet, 4));
    EXPECT_EQ(LireFichier(dossier / "copie.tsrk")[0], '\x02'); // version 2 holds the shift
    TDocument relu;
    ASSERT_TRUE(relu.OuvrirFichier(dossier / "copie.tsrk")) << relu.DerniereErreur;
    EXPECT_EQ(relu.Decalage[2], 6862000.0);
    EXPECT_EQ(relu.Nuage.NbCubesNiv[4], 1600);
    EXPECT_EQ(relu.Proprietes().substr(relu.Proprietes().find("Dimensions")),
              proprietes.substr(proprietes.find("Dimensions")));

    relu.PFsansext = dossier / "export";
    ASSERT_TRUE(relu.EnregistrerFichier(GenreXYZ, 4));
    const std::string texte = LireFichier(dossier / "export.xyz");
    const auto v = PremieresValeurs(texte.substr(0, texte.find('\r')));
    // Every exported point is one of the scan's, within the rounding of a local single.
    const double i = std::round((v[0] - 652341.1234) / 0.005);
    const double j = std::round((v[1] - 6862123.4567) / 0.005);
    EXPECT_NEAR(v[0], 652341.1234 + 0.005 * i, 1e-4);
    EXPECT_NEAR(v[1], 6862123.4567 + 0.005 * j, 1e-4);
    EXPECT_NEAR(v[2], 35.25 + 0.001 * j, 1e-5);
}

TEST(Chargement, ALocalScanIsNotShiftedAndItsProjectStaysVersionOne) {
    TDossierTemporaire dossier;
    EcrireFichier(dossier / "local.xyz", "1999.5 -1999.5 0\n0 0 0\n");
    TDocument doc;
    ASSERT_TRUE(doc.OuvrirFichier(dossier / "local.xyz"));
    EXPECT_EQ(doc.Decalage, TV3R{});
    EXPECT_EQ(doc.Proprietes().find("Décalage"), std::string::npos);
    doc.PFsansext = dossier / "local";
    ASSERT_TRUE(doc.EnregistrerFichier(GenreProjet, 4));
    EXPECT_EQ(LireFichier(dossier / "local.tsrk")[0], '\x01');
}

TEST(Chargement, TheTemporaryRecordsNeverTouchAFileOrALinkOfTheOldName) {
    TDossierTemporaire dossier;
    EcrireFichier(dossier / "scan.xyz", "1 2 3\n4 5 6\n");
    EcrireFichier(dossier / "scan.xyz.tmp", "mes notes");
    EcrireFichier(dossier / "autre.xyz", "7 8 9\n");
    std::filesystem::create_symlink(dossier / "autre.xyz", dossier / "autre.xyz.tmp");
    for (const char* nom : {"scan.xyz", "autre.xyz"}) {
        TDocument doc;
        ASSERT_TRUE(doc.OuvrirFichier(dossier / nom)) << doc.DerniereErreur;
    }
    EXPECT_EQ(LireFichier(dossier / "scan.xyz.tmp"), "mes notes");
    EXPECT_EQ(LireFichier(dossier / "autre.xyz"), "7 8 9\n");
    EXPECT_EQ(dossier.Contenu(),
              (std::vector<std::string>{"autre.xyz", "autre.xyz.tmp", "scan.xyz", "scan.xyz.tmp"}));
}

TEST(Chargement, TwoLoadsOfOneScanAtOnceEachReadEveryPoint) {
    TDossierTemporaire dossier;
    EcrireFichier(dossier / "l93.xyz", ScanLambert(200));
    TDocument a;
    TDocument b;
    std::thread autre([&] { static_cast<void>(b.OuvrirFichier(dossier / "l93.xyz")); });
    static_cast<void>(a.OuvrirFichier(dossier / "l93.xyz"));
    autre.join();
    EXPECT_EQ(a.NbPts, 40000) << a.DerniereErreur;
    EXPECT_EQ(b.NbPts, 40000) << b.DerniereErreur;
    EXPECT_EQ(a.Nuage.NbCubesNiv[4], b.Nuage.NbCubesNiv[4]);
}

TEST(Chargement, AFolderThatTakesNoFileSendsTheRecordsToTheTemporaryFolder) {
    // Even the administrator cannot create files in /proc.
    TFichier t = TFichier::Temporaire("/proc/scan.xyz");
    const char octets[] = "records";
    t.Ecrire(octets, sizeof octets);
    t.Rembobiner();
    char relus[sizeof octets] = {};
    t.LireExact(relus, sizeof relus);
    EXPECT_STREQ(relus, octets);
    if (::geteuid() == 0) return;
    TDossierTemporaire dossier;
    EcrireFichier(dossier / "scan.xyz", "1 2 3\n");
    std::filesystem::permissions(dossier.Chemin(),
                                 std::filesystem::perms::owner_read | std::filesystem::perms::owner_exec);
    TDocument doc;
    EXPECT_TRUE(doc.OuvrirFichier(dossier / "scan.xyz")) << doc.DerniereErreur;
}

TEST(Chargement, TextMarksLinesWithoutNumbersAndProgress) {
    TDossierTemporaire dossier;
    TDocument doc;
    EcrireFichier(dossier / "u16.xyz", std::string("\xFF\xFE"
                                                   "1\0 \0"
                                                   "2\0",
                                                   8));
    EXPECT_FALSE(doc.OuvrirFichier(dossier / "u16.xyz"));
    EXPECT_NE(doc.DerniereErreur.find("fichier texte UTF-16 : enregistrez-le en UTF-8"), std::string::npos);
    // Marks count at the start of the file only.
    EcrireFichier(dossier / "milieu.xyz", "\n\xFF\xFE" "1 2 3\n");
    EXPECT_TRUE(doc.OuvrirFichier(dossier / "milieu.xyz")) << doc.DerniereErreur;
    EXPECT_EQ(doc.NbPts, 2);

    EcrireFichier(dossier / "bom.xyz", "\xEF\xBB\xBF"
                                       "1.5 2 3\nX;Y;Z\n1,5 2,5 3,5\n\n4 5 6\n");
    TUtilisateurEspion espion;
    doc.DefinirUtilisateur(&espion);
    ASSERT_TRUE(doc.OuvrirFichier(dossier / "bom.xyz"));
    EXPECT_EQ(doc.NbPts, 5);
    EXPECT_EQ(doc.Nuage.CooMax[1], 4.0f);
    EXPECT_EQ(doc.Nuage.CooMin[1], 0.0f);
    EXPECT_NE(doc.Proprietes().find("sur X : 0.000 < 4.000"), std::string::npos);
    EXPECT_EQ(doc.Remarques, std::vector<std::string>{"3 lignes sans coordonnées lues comme 0 0 0"});
    for (const std::string& t : espion.Textes) {
        const auto pourcent = std::stoi(t.substr(t.find(':') + 2));
        EXPECT_LE(pourcent, 100) << t;
    }
}

// tessarc-cli mailler against the meshing core driven as the pages drive it, on a small generated
// surface, a project made from it, and the shared scan when it is there.

#include "Controles.h"
#include "Document.h"
#include "DonneesPartagees.h"
#include "FormatsMaillage.h"
#include "Frontiere.h"
#include "GrilleCapture.h"
#include "ImagePlan.h"
#include "Modele.h"
#include "Nombres.h"
#include "OutilsCli.h"
#include "Triangulation.h"

#include <gtest/gtest.h>

#include <algorithm>

#include <cmath>

using namespace tessarc;
using namespace tessarc::essais;

namespace {

using TPlan = std::vector<std::pair<float, float>>;

// A 2 m x 1.5 m surface sampled every 2 cm, rising along X and curved along Y, so that cubes of
// different levels give different heights.
// With a step of 1/64 m and an origin far away, every coordinate stays exact once shifted back.
std::string Surface(double pas = 0.02, double x0 = 0, double y0 = 0) {
    std::string t;
    const long nx = std::lround(2.0 / pas), ny = std::lround(1.5 / pas);
    for (long i = 0; i <= nx; ++i)
        for (long j = 0; j <= ny; ++j) {
            const double x = pas * i;
            const double y = pas * j;
            t += FormatC("%.6f %.6f %.4f 100 90 80\n", x0 + x, y0 + y, 1.0 + 0.3 * x + 0.4 * (y - 0.7) * (y - 0.7));
        }
    return t;
}

const TPlan Rectangle{{0.1f, 0.1f}, {1.9f, 0.1f}, {1.9f, 1.4f}, {0.1f, 1.4f}};

// The grid page's boxes and the model page's boxes, as typed.
struct TPages {
    std::string OrigineX, OrigineY, Trame;
    TSaisieModele Modele;
};

// What the window's pages give: level shown, boundary drawn (or kept from the project), grid page
// entered and validated, points computed, triangulation page, model computed; with the status line's
// checks as the command writes them on standard error.
struct TRoute {
    TResultatModele Modele;
    std::string Controles;
};

TRoute Route(const std::filesystem::path& entree, int niveau, const TPlan* frontiere,
             const TPages& pages = {}) {
    TDocument doc;
    if (!doc.OuvrirFichier(entree)) throw std::runtime_error(doc.DerniereErreur);
    doc.ChangerNivAffiche(niveau);
    TMaillage& m = doc.Maillage;
    const float zBas = doc.Nuage.CooMin[3];
    if (frontiere) {
        DefinirFrontiere(m);
        for (auto [x, y] : *frontiere) AjouterPointFrontiere(m, x, y, zBas);
    }
    EntrerPageGrille(m, zBas);
    ValiderGrille(m, pages.OrigineX, pages.OrigineY, pages.Trame);
    if (!CalculerPointsGrille(m, doc.Nuage.CubesAffiches).Calcule) throw std::runtime_error("grille");
    TRoute r;
    r.Controles = "tessarc-cli : " + ControleAppuis(m) + "\n";
    const TCompteRenduTriangulation t = Trianguler(m);
    if (!t.Triangule) throw std::runtime_error("triangulation");
    r.Controles += "tessarc-cli : " + ControleTriangulation(m, t) + "\n";
    r.Modele = CalculerModele(m, pages.Modele);
    return r;
}

TResultatModele ParLesPages(const std::filesystem::path& entree, int niveau, const TPlan* frontiere,
                            const TPages& pages = {}) {
    return Route(entree, niveau, frontiere, pages).Modele;
}

std::string TexteFrontiere(const TPlan& plan) {
    std::string t;
    for (auto [x, y] : plan) t += FormatC("%g %g\n", static_cast<double>(x), static_cast<double>(y));
    return t;
}

bool LignesCrLf(const std::string& t) {
    std::size_t lf = 0;
    for (std::size_t i = 0; i < t.size(); ++i)
        if (t[i] == '\n' && (++lf, i == 0 || t[i - 1] != '\r')) return false;
    return lf > 0 && t.ends_with("\r\n");
}

class Mailler : public ::testing::Test {
protected:
    TDossierTemporaire dossier;
    std::filesystem::path scan = dossier / "surface.xyz";
    std::filesystem::path rectangle = dossier / "rectangle.txt";

    void SetUp() override {
        EcrireFichier(scan, Surface());
        EcrireFichier(rectangle, TexteFrontiere(Rectangle));
    }
    TResultatCli Cmd(std::vector<std::string> a) {
        a.insert(a.begin(), "mailler");
        return LancerCli(dossier, a);
    }
    // The three files of a folder, checked to be the texts of r.
    void AttendreTextes(const std::filesystem::path& sortie, const TResultatModele& r) {
        ASSERT_TRUE(r.Calcule) << r.Message;
        EXPECT_EQ(LireFichier(sortie / "general.txt"), r.ResulGen);
        EXPECT_EQ(LireFichier(sortie / "noeuds.txt"), r.ResulNds);
        EXPECT_EQ(LireFichier(sortie / "elements.txt"), r.ResulElts);
    }
};

} // namespace

TEST_F(Mailler, WritesTheTextsOfThePagesForAScanAndABoundaryFile) {
    // Blanks and tabs of any length, CR LF and blank lines in the boundary file.
    EcrireFichier(rectangle, "  0.1 0.1\n\n1.9\t0.1\r\n1.9    1.4  \n \t\n0.1 1.4");
    const auto sortie = dossier / "modele" / "v1";
    const auto r = Cmd({scan.string(), "--sortie", sortie.string(), "--frontiere", rectangle.string()});
    ASSERT_EQ(r.Code, 0) << r.Erreur;
    EXPECT_TRUE(r.Sortie.empty());

    // A scan shows its finest level by default, not the overview shown after opening it.
    const TRoute route = Route(scan, 4, &Rectangle);
    EXPECT_EQ(r.Erreur, route.Controles) << "the checks of the status line, nothing else";
    const TResultatModele& fin = route.Modele;
    ASSERT_FALSE(fin.ResulNds == ParLesPages(scan, NivAfficheApresScan, &Rectangle).ResulNds);
    AttendreTextes(sortie, fin);
    EXPECT_GT(std::count(fin.ResulNds.begin(), fin.ResulNds.end(), '\n'), 50);
    EXPECT_NE(fin.ResulGen.find(";segment 3\r\nA "), std::string::npos);
    std::vector<std::string> noms;
    for (const auto& e : std::filesystem::directory_iterator(sortie)) {
        noms.push_back(e.path().filename().string());
        EXPECT_TRUE(LignesCrLf(LireFichier(e.path()))) << noms.back();
    }
    std::sort(noms.begin(), noms.end());
    EXPECT_EQ(noms, (std::vector<std::string>{"elements.txt", "general.txt", "noeuds.txt"}));

    // Run again over the same folder: the set is replaced.
    const auto r2 = Cmd(
        {scan.string(), "--sortie", sortie.string(), "--frontiere", rectangle.string(), "--noeuds", "11"});
    ASSERT_EQ(r2.Code, 0) << r2.Erreur;
    TPages p;
    p.Modele.Noeuds = "11";
    AttendreTextes(sortie, ParLesPages(scan, 4, &Rectangle, p));
}

// A survey in Lambert-93: boundary and origin given in its coordinates, the same structure as the
// same vault near the origin, the general text saying the shift.
TEST_F(Mailler, AFarScanTakesItsBoundaryAndOriginInTrueCoordinates) {
    constexpr double X0 = 652000, Y0 = 6862000;
    EcrireFichier(scan, Surface(1.0 / 64));
    EcrireFichier(dossier / "loin.xyz", Surface(1.0 / 64, X0, Y0));
    std::string texteLoin;
    for (auto [x, y] : Rectangle) texteLoin += FormatC("%.2f %.2f\n", X0 + x, Y0 + y);
    EcrireFichier(dossier / "loin.txt", texteLoin);

    const auto r = Cmd({scan.string(), "--sortie", (dossier / "pres").string(), "--frontiere", rectangle.string(),
                        "--origine", "0.05", "0.05"});
    ASSERT_EQ(r.Code, 0) << r.Erreur;
    const auto rl = Cmd({(dossier / "loin.xyz").string(), "--sortie", (dossier / "loin").string(), "--frontiere",
                         (dossier / "loin.txt").string(), "--origine", "652000.05", "6862000.05"});
    ASSERT_EQ(rl.Code, 0) << rl.Erreur;
    for (const char* nom : {"noeuds.txt", "elements.txt"})
        EXPECT_EQ(LireFichier(dossier / "loin" / nom), LireFichier(dossier / "pres" / nom)) << nom;
    std::string general = LireFichier(dossier / "loin" / "general.txt");
    const std::string ligne = ";decalage 652000 6862000 0\r\n";
    const std::size_t ou = general.find(ligne);
    ASSERT_NE(ou, std::string::npos) << general;
    EXPECT_EQ(general.erase(ou, ligne.size()), LireFichier(dossier / "pres" / "general.txt"));
}

TEST_F(Mailler, OptionsTakeThePlaceOfTheBoxes) {
    const auto sortie = dossier / "s";
    auto r = Cmd({scan.string(), "--sortie",  sortie.string(), "--frontiere", rectangle.string(), "--niveau",
                  "2",           "--origine", "0.15",          "0.05",        "--trame",          "0.1",
                  "--noeuds",    "101",       "--elements",    "7",           "--zbas",           "10",
                  "--rotation",  "90",        "--tranches",    "25"});
    ASSERT_EQ(r.Code, 0) << r.Erreur;
    TPages p{"0.15", "0.05", "0.1", {"101", "7", "10", "90", "25"}};
    const TResultatModele attendu = ParLesPages(scan, 2, &Rectangle, p);
    AttendreTextes(sortie, attendu);
    EXPECT_TRUE(attendu.ResulNds.starts_with("GROUPE NDS_TR25\r\n       101 "))
        << attendu.ResulNds.substr(0, 80);
    EXPECT_TRUE(attendu.ResulElts.starts_with("GROUPE TRI_TR25\r\n         7 "));
    EXPECT_NE(attendu.ResulNds.find("     10.00\r\n"), std::string::npos);

    // Origin and spacing: a lattice point of (0.15, 0.05) + k 0.1 is a node; under the defaults
    // (boundary minimum, spacing 0.2) it is not.
    const std::string point = "      0.25       0.35 ";
    r = Cmd({scan.string(), "--sortie", sortie.string(), "--frontiere", rectangle.string(), "--origine",
             "0.15", "0.05", "--trame", "0.1"});
    ASSERT_EQ(r.Code, 0) << r.Erreur;
    EXPECT_NE(LireFichier(sortie / "noeuds.txt").find(point), std::string::npos);
    r = Cmd({scan.string(), "--sortie", sortie.string(), "--frontiere", rectangle.string()});
    ASSERT_EQ(r.Code, 0) << r.Erreur;
    EXPECT_EQ(LireFichier(sortie / "noeuds.txt").find(point), std::string::npos);

    // An origin beyond the boundary's minimum drops crossings: the status line goes to the terminal.
    r = Cmd({scan.string(), "--sortie", sortie.string(), "--frontiere", rectangle.string(), "--origine",
             "0.5", "0.5"});
    ASSERT_EQ(r.Code, 0) << r.Erreur;
    EXPECT_NE(r.Erreur.find("hors de la grille"), std::string::npos) << r.Erreur;
    AttendreTextes(sortie, ParLesPages(scan, 4, &Rectangle, {"0.5", "0.5", "", {}}));
}

TEST_F(Mailler, AProjectGivesItsBoundarySpacingAndLevel) {
    const auto projet = dossier / "voute.tsrk";
    {
        TDocument doc;
        ASSERT_TRUE(doc.OuvrirFichier(scan));
        doc.ChangerNivAffiche(1);
        for (auto [x, y] : Rectangle) AjouterPointFrontiere(doc.Maillage, x, y, doc.Nuage.CooMin[3]);
        doc.Maillage.TrameGrille = 0.15f;
        ASSERT_TRUE(doc.EnregistrerFichierSous(GenreProjet, doc.Nuage.NivMax, projet));
    }
    const auto sortie = dossier / "p";
    auto r = Cmd({projet.string(), "--sortie", sortie.string()});
    ASSERT_EQ(r.Code, 0) << r.Erreur;
    const TResultatModele attendu = ParLesPages(projet, 1, nullptr);
    ASSERT_FALSE(attendu.ResulNds == ParLesPages(projet, 4, nullptr).ResulNds);
    AttendreTextes(sortie, attendu);
    EXPECT_NE(attendu.ResulNds.find("      0.25       0.25 "), std::string::npos);

    // A boundary file replaces the project's.
    const TPlan triangle{{0.2f, 0.2f}, {1.8f, 0.3f}, {1.0f, 1.3f}};
    EcrireFichier(dossier / "triangle.txt", TexteFrontiere(triangle));
    r = Cmd(
        {projet.string(), "--sortie", sortie.string(), "--frontiere", (dossier / "triangle.txt").string()});
    ASSERT_EQ(r.Code, 0) << r.Erreur;
    AttendreTextes(sortie, ParLesPages(projet, 1, &triangle));
    EXPECT_EQ(LireFichier(sortie / "general.txt").find(";segment 3"), std::string::npos);
}

TEST_F(Mailler, UnreadableOptionsAreUsageErrorsNamingTheOption) {
    const std::string s = scan.string();
    const std::string f = rectangle.string();
    const std::string d = (dossier / "d").string();
    const std::vector<std::pair<std::vector<std::string>, std::string>> cas{
        {{s, "--frontiere", f}, "--sortie"},
        {{s, "--sortie", d, "--trame", "0,2"}, "--trame"},
        {{s, "--sortie", d, "--origine", "1", "y"}, "--origine"},
        {{s, "--sortie", d, "--origine", "1"}, "--origine"},
        {{s, "--sortie", d, "--noeuds", "1.5"}, "--noeuds"},
        {{s, "--sortie", d, "--elements", "x"}, "--elements"},
        {{s, "--sortie", d, "--zbas", "nan"}, "--zbas"},
        {{s, "--sortie", d, "--rotation", "1e40"}, "--rotation"},
        {{s, "--sortie", d, "--tranches", ""}, "--tranches"},
        {{s, "--sortie", d, "--niveau", "5"}, "niveau"},
        {{s, "--sortie", d, "--plouf", "1"}, "--plouf"},
        {{s, s, "--sortie", d}, "une entrée"},
        {{s, "--sortie", d, "--maillage", "m.txt"}, "--maillage"},
        {{s, "--sortie", d, "--maillage", "m.png"}, "--maillage"},
        {{s, "--sortie", d, "--image", "i.vtk"}, "--image"},
        {{s, "--sortie", d, "--frontiere", f, "--numeros"}, "--numeros"},
        // Values that read but that the pages refuse, the scan loaded.
        {{s, "--sortie", d, "--frontiere", f, "--trame", "0"}, "--trame : trame de grille incorrecte"},
        {{s, "--sortie", d, "--frontiere", f, "--trame", "0.00001"}, "--trame : trame de grille trop fine"},
        {{s, "--sortie", d, "--frontiere", f, "--origine", "5", "5"}, "--origine : la grille ne couvre pas"},
        {{s, "--sortie", d, "--frontiere", f, "--tranches", "-5"},
         "--tranches : hauteur de tranche incorrecte"},
        {{s, "--sortie", d, "--frontiere", f, "--noeuds", "2147483647"}, "--noeuds : base de numérotation"},
        {{s, "--sortie", d, "--frontiere", f, "--elements", "2147483647"},
         "--elements : base de numérotation"},
    };
    for (const auto& [a, nom] : cas) {
        const auto r = Cmd(a);
        EXPECT_EQ(r.Code, 2) << nom;
        EXPECT_NE(r.Erreur.find(nom), std::string::npos) << r.Erreur;
        EXPECT_NE(r.Erreur.find("usage : tessarc-cli mailler ENTREE --sortie DOSSIER"), std::string::npos);
    }
    EXPECT_FALSE(std::filesystem::exists(d));
    const auto aide = LancerCli(dossier, {"--help"});
    EXPECT_NE(aide.Sortie.find("mailler ENTREE --sortie DOSSIER [--frontiere FICHIER]"), std::string::npos);
}

TEST_F(Mailler, ProcessingErrorsExitWithOneAndNameTheFile) {
    const std::string s = scan.string();
    const std::string d = (dossier / "d").string();
    EcrireFichier(dossier / "mauvaise.txt", "0 0\n\n1 2 3\n1 1\n");
    auto r = Cmd({s, "--sortie", d, "--frontiere", (dossier / "mauvaise.txt").string()});
    EXPECT_EQ(r.Code, 1);
    EXPECT_NE(r.Erreur.find("mauvaise.txt » : ligne 3 "), std::string::npos) << r.Erreur;
    EcrireFichier(dossier / "mauvaise.txt", "0 0\n1 x\n");
    r = Cmd({s, "--sortie", d, "--frontiere", (dossier / "mauvaise.txt").string()});
    EXPECT_NE(r.Erreur.find("ligne 2 "), std::string::npos) << r.Erreur;

    EcrireFichier(dossier / "mauvaise.txt", " \n\n");
    r = Cmd({s, "--sortie", d, "--frontiere", (dossier / "mauvaise.txt").string()});
    EXPECT_EQ(r.Code, 1);
    EXPECT_NE(r.Erreur.find("mauvaise.txt » : aucun point de frontière"), std::string::npos) << r.Erreur;

    r = Cmd({s, "--sortie", d});
    EXPECT_EQ(r.Code, 1);
    EXPECT_NE(r.Erreur.find("surface.xyz » : un scan n'a pas de frontière"), std::string::npos) << r.Erreur;
    // A project saved without a boundary.
    {
        TDocument doc;
        ASSERT_TRUE(doc.OuvrirFichier(scan));
        ASSERT_TRUE(doc.EnregistrerFichierSous(GenreProjet, 4, dossier / "nu.tsrk"));
    }
    r = Cmd({(dossier / "nu.tsrk").string(), "--sortie", d});
    EXPECT_EQ(r.Code, 1);
    EXPECT_NE(r.Erreur.find("nu.tsrk » : le projet n'a pas de frontière"), std::string::npos) << r.Erreur;

    // A boundary that encloses nothing: two distinct points (the third within 1 mm of the first), or
    // three on one line, which give no element.
    EcrireFichier(dossier / "mauvaise.txt", "0.5 0.5\n1.5 0.5\n0.5005 0.5009\n");
    r = Cmd({s, "--sortie", d, "--frontiere", (dossier / "mauvaise.txt").string()});
    EXPECT_EQ(r.Code, 1);
    EXPECT_NE(r.Erreur.find("mauvaise.txt » : la frontière n'a que 2 point(s) distinct(s)"),
              std::string::npos)
        << r.Erreur;
    EcrireFichier(dossier / "mauvaise.txt", "0.5 0.5\n1.0 0.5\n1.5 0.5\n");
    r = Cmd({s, "--sortie", d, "--frontiere", (dossier / "mauvaise.txt").string()});
    EXPECT_EQ(r.Code, 1);
    EXPECT_NE(r.Erreur.find("mauvaise.txt » : le modèle n'a aucun élément"), std::string::npos) << r.Erreur;
    {
        TDocument doc;
        ASSERT_TRUE(doc.OuvrirFichier(scan));
        for (const float x : {0.2f, 0.8f}) AjouterPointFrontiere(doc.Maillage, x, 0.5f, 0.0f);
        ASSERT_TRUE(doc.EnregistrerFichierSous(GenreProjet, 4, dossier / "segment.tsrk"));
    }
    r = Cmd({(dossier / "segment.tsrk").string(), "--sortie", d});
    EXPECT_EQ(r.Code, 1);
    EXPECT_NE(r.Erreur.find("segment.tsrk » : la frontière n'a que 2 point(s)"), std::string::npos)
        << r.Erreur;
    r = Cmd({(dossier / "absent.xyz").string(), "--sortie", d, "--frontiere", rectangle.string()});
    EXPECT_EQ(r.Code, 1);
    EXPECT_NE(r.Erreur.find("absent.xyz"), std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(d));
}

TEST_F(Mailler, AFailedWriteLeavesNoMixedSet) {
    // The last file cannot replace a folder of its name: the old set stays as it was.
    const auto sortie = dossier / "s";
    std::filesystem::create_directories(sortie / "elements.txt");
    EcrireFichier(sortie / "general.txt", "ancien\r\n");
    const auto r = Cmd({scan.string(), "--sortie", sortie.string(), "--frontiere", rectangle.string()});
    EXPECT_EQ(r.Code, 1);
    EXPECT_NE(r.Erreur.find("elements.txt"), std::string::npos) << r.Erreur;
    std::vector<std::string> noms;
    for (const auto& e : std::filesystem::directory_iterator(sortie))
        noms.push_back(e.path().filename().string());
    std::sort(noms.begin(), noms.end());
    EXPECT_EQ(noms, (std::vector<std::string>{"elements.txt", "general.txt"}));
    EXPECT_EQ(LireFichier(sortie / "general.txt"), "ancien\r\n");
}

TEST_F(Mailler, CtrlCStopsBeforeAnyOutput) {
    const auto r = LancerCliInterrompu(
        dossier,
        {"mailler", scan.string(), "--sortie", (dossier / "s").string(), "--frontiere", rectangle.string()},
        "INT construction");
    EXPECT_EQ(r.Code, 1);
    EXPECT_NE(r.Erreur.find("abandon"), std::string::npos) << r.Erreur;
    EXPECT_EQ(dossier.Contenu(), (std::vector<std::string>{"rectangle.txt", "surface.xyz"}));
}

TEST(MaillerScanPartage, TheWholeRoadOnTheSharedScan) {
    const std::filesystem::path lion = DonneesPartagees("lion_takanawa.xyz");
    if (!std::filesystem::exists(lion)) GTEST_SKIP() << "scan partagé absent";
    TDocument doc;
    ASSERT_TRUE(doc.OuvrirFichier(lion)) << doc.DerniereErreur;
    // A quadrilateral just inside the extent, not aligned with the lattice.
    const float x0 = doc.Nuage.CooMin[1], y0 = doc.Nuage.CooMin[2];
    const float x1 = doc.Nuage.CooMax[1], y1 = doc.Nuage.CooMax[2];
    const TPlan plan{{x0 + 0.13f, y0 + 0.21f},
                     {x1 - 0.07f, y0 + 0.05f},
                     {x1 - 0.11f, y1 - 0.17f},
                     {x0 + 0.03f, y1 - 0.09f}};
    TDossierTemporaire dossier;
    EcrireFichier(dossier / "f.txt", TexteFrontiere(plan));
    const auto r = LancerCli(dossier, {"mailler", lion.string(), "--sortie", (dossier / "m").string(),
                                       "--frontiere", (dossier / "f.txt").string(), "--trame", "0.1"});
    ASSERT_EQ(r.Code, 0) << r.Erreur;
    const TResultatModele attendu = ParLesPages(lion, 4, &plan, {"", "", "0.1", {}});
    ASSERT_TRUE(attendu.Calcule);
    EXPECT_GT(std::count(attendu.ResulElts.begin(), attendu.ResulElts.end(), '\n'), 1000);
    EXPECT_EQ(LireFichier(dossier / "m" / "general.txt"), attendu.ResulGen);
    EXPECT_EQ(LireFichier(dossier / "m" / "noeuds.txt"), attendu.ResulNds);
    EXPECT_EQ(LireFichier(dossier / "m" / "elements.txt"), attendu.ResulElts);

    // A boundary that crosses one cell edge twice, which put three nodes of a pattern on one line: that
    // element is dropped and said. (One test for the scan: a scan being read has a temporary beside it.)
    const TPlan biais{{-4.03f, 5.87f}, {-1.37f, 6.07f}, {-1.20f, 3.80f}, {-1.50f, 1.90f}, {-4.03f, 1.90f}};
    const TRoute route = Route(lion, 4, &biais, {"-4.10", "1.80", "0.25", {}});
    ASSERT_TRUE(route.Modele.Calcule);
    EXPECT_NE(route.Controles.find("triangles sans aire écartés : 1\n"), std::string::npos)
        << route.Controles;
    EcrireFichier(dossier / "f.txt", TexteFrontiere(biais));
    const auto rb = LancerCli(dossier, {"mailler", lion.string(), "--sortie", (dossier / "b").string(),
                                        "--frontiere", (dossier / "f.txt").string(), "--niveau", "4",
                                        "--trame", "0.25", "--origine", "-4.10", "1.80"});
    ASSERT_EQ(rb.Code, 0) << rb.Erreur;
    EXPECT_EQ(rb.Erreur, route.Controles);
    EXPECT_EQ(LireFichier(dossier / "b" / "elements.txt"), route.Modele.ResulElts);
}

TEST_F(Mailler, ExportsTheMeshAndThePictureOfTheModelItComputed) {
    const auto sortie = dossier / "s";
    const auto r =
        Cmd({scan.string(), "--sortie", sortie.string(), "--frontiere", rectangle.string(), "--noeuds", "5",
             "--rotation", "30", "--maillage", (dossier / "a.msh").string(), "--maillage",
             (dossier / "b.VTK").string(), "--image", (dossier / "c.png").string(), "--numeros"});
    ASSERT_EQ(r.Code, 0) << r.Erreur;
    TPages p;
    p.Modele.Noeuds = "5";
    p.Modele.Rotation = "30";
    const TResultatModele attendu = ParLesPages(scan, 4, &Rectangle, p);
    AttendreTextes(sortie, attendu);
    EXPECT_EQ(LireFichier(dossier / "a.msh"), TexteMsh(attendu.Modele));
    EXPECT_EQ(LireFichier(dossier / "b.VTK"), TexteVtk(attendu.Modele));
    EXPECT_EQ(LireFichier(dossier / "c.png"), ImagePlanPng(attendu.Modele, true));

    // Numbers Gmsh cannot take: the file is named and not written.
    const auto r0 = Cmd({scan.string(), "--sortie", sortie.string(), "--frontiere", rectangle.string(),
                         "--noeuds", "0", "--maillage", (dossier / "z.msh").string()});
    EXPECT_EQ(r0.Code, 1);
    EXPECT_NE(r0.Erreur.find("z.msh » : maillage msh : les numéros"), std::string::npos) << r0.Erreur;
    EXPECT_FALSE(std::filesystem::exists(dossier / "z.msh"));
}

TEST(MaillerVouteExemple, TheSpringingLineOnTheFirstRowIsHeldByAllItsNodes) {
    TDossierTemporaire dossier;
    const auto voute = dossier / "voute.xyz";
    const std::string generer =
        std::string(TESSARC_GENVOUTE) + " --points 300000 --sortie " + voute.string() + " > /dev/null";
    ASSERT_EQ(std::system(generer.c_str()), 0);
    EcrireFichier(dossier / "f.txt", "0.15 5.85\n7.87 5.85\n7.87 0.18\n0.15 0.18\n");
    const auto r =
        LancerCli(dossier, {"mailler", voute.string(), "--sortie", (dossier / "m").string(), "--frontiere",
                            (dossier / "f.txt").string(), "--niveau", "2", "--trame", "0.50"});
    ASSERT_EQ(r.Code, 0) << r.Erreur;
    EXPECT_NE(r.Erreur.find("appuis par segment : 16, 11, 16, 12\n"), std::string::npos) << r.Erreur;
    EXPECT_EQ(r.Erreur.find("attention"), std::string::npos) << r.Erreur;
    const std::string general = LireFichier(dossier / "m" / "general.txt");
    const std::size_t debut = general.find(";segment 2\r\nA ");
    ASSERT_NE(debut, std::string::npos);
    const std::string liste = general.substr(debut + 14, general.find("\r\n", debut + 14) - debut - 14);
    EXPECT_EQ(std::count(liste.begin(), liste.end(), ','), 15) << liste;
}

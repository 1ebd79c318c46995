#include "Document.h"
#include "DossierTemporaire.h"
#include "PointFichier.h"
#include "Projet.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <optional>

using namespace tessarc;
using namespace tessarc::essais;

namespace {

constexpr float NaN = std::numeric_limits<float>::quiet_NaN();

// A project file built field by field, as the format describes it.
struct TProjetEcrit {
    std::int64_t Version = 1;
    std::optional<std::int64_t> F; // default: the number of boundary points given
    TV3S Origine = FaireV3S(1, 2, 3);
    float Trame = 0.25f;
    std::int64_t L = 4;
    std::optional<std::int64_t> N; // default: the number of points given
    TV3S Min = FaireV3S(0, 0, 0);
    TV3S Max = FaireV3S(2, 2, 2);
    std::int64_t NivAffiche = 3;
    std::vector<TV3S> Frontiere;
    std::vector<TPointFichier> Points;

    [[nodiscard]] std::string Octets() const {
        std::string s;
        auto entier = [&](std::int64_t v) {
            for (int i = 0; i < 8; ++i) s += static_cast<char>(static_cast<std::uint64_t>(v) >> (8 * i));
        };
        auto reel = [&](float v) {
            std::uint32_t u = 0;
            std::memcpy(&u, &v, 4);
            for (int i = 0; i < 4; ++i) s += static_cast<char>(u >> (8 * i));
        };
        auto v3 = [&](const TV3S& v) {
            for (int i = 1; i <= 3; ++i) reel(v[i]);
        };
        entier(Version);
        entier(F.value_or(static_cast<std::int64_t>(Frontiere.size())));
        v3(Origine);
        reel(Trame);
        entier(L);
        entier(N.value_or(static_cast<std::int64_t>(Points.size())));
        v3(Min);
        v3(Max);
        if (Version != 0) entier(NivAffiche);
        for (const TV3S& p : Frontiere) v3(p);
        for (const TPointFichier& p : Points) {
            reel(p.X);
            reel(p.Y);
            reel(p.Z);
            for (int k = 1; k <= 4; ++k) s += static_cast<char>(p.Couleur[k]);
        }
        return s;
    }
};

TPointFichier Point(float x, float y, float z, std::uint8_t r = 0) {
    return TPointFichier{x, y, z, TV4By{{r, 2, 3, 4}}};
}

TProjetEcrit Valide() {
    TProjetEcrit p;
    p.Frontiere = {FaireV3S(0.5f, 0.5f, 0), FaireV3S(1.5f, 0.5f, 0)};
    p.Points = {Point(0.1f, 0.2f, 0.3f, 10), Point(1.7f, 1.2f, 0.3f, 20), Point(0.11f, 0.2f, 0.3f, 30)};
    return p;
}

class Projet : public ::testing::Test {
protected:
    TDossierTemporaire dossier;
    TDocument doc;

    bool Ouvrir(const std::string& octets, const std::string& nom = "projet.tsrk") {
        EcrireFichier(dossier / nom, octets);
        return doc.OuvrirFichier(dossier / nom);
    }
};

} // namespace

TEST_F(Projet, AWrittenFileHasTheDocumentedLayout) {
    TProjetEcrit p = Valide();
    ASSERT_TRUE(Ouvrir(p.Octets())) << doc.DerniereErreur;
    doc.ChangerNivAffiche(3);
    doc.PFsansext = dossier / "copie";
    ASSERT_TRUE(doc.EnregistrerFichier(GenreProjet, 4));
    const std::string s = LireFichier(dossier / "copie.tsrk");
    // Written newest cube first: the records come back in reverse order.
    TProjetEcrit attendu = p;
    std::reverse(attendu.Points.begin(), attendu.Points.end());
    EXPECT_EQ(s, attendu.Octets());
}

TEST_F(Projet, ReadsVersionZeroWithItsShorterHeaderAndShowsLevelTwo) {
    TProjetEcrit p = Valide();
    p.Version = 0;
    const std::string octets = p.Octets();
    ASSERT_EQ(octets.size(), 72u + 2 * 12 + 3 * 16);
    ASSERT_TRUE(Ouvrir(octets)) << doc.DerniereErreur;
    EXPECT_EQ(doc.Maillage.Frontiere, p.Frontiere);
    EXPECT_EQ(doc.Maillage.OrigineGrille, p.Origine);
    EXPECT_EQ(doc.Maillage.TrameGrille, 0.25f);
    EXPECT_EQ(doc.NbPts, 3);
    EXPECT_EQ(doc.Nuage.NbCubesNiv[4], 3);
    EXPECT_EQ(doc.Nuage.NivAffiche, 2);
    EXPECT_EQ(doc.NivAfficheCharge, 2);
}

TEST_F(Projet, ShowsTheStoredDisplayedLevelLoweredToTheStoredLevel) {
    TProjetEcrit p = Valide();
    p.L = 1;
    p.NivAffiche = 4;
    ASSERT_TRUE(Ouvrir(p.Octets())) << doc.DerniereErreur;
    EXPECT_EQ(doc.Nuage.NivMax, 1);
    EXPECT_EQ(doc.Nuage.NivAffiche, 1);
    EXPECT_EQ(doc.Nuage.NbCubesNiv[1], 2); // two of the points share a 20 cm cube
    EXPECT_EQ(doc.Nuage.NbCubesNiv[2], 0);
}

TEST_F(Projet, RefusesDamagedOrForgedFilesAndResetsTheDocument) {
    struct Cas {
        const char* quoi;
        std::string octets;
        const char* message;
    };
    std::vector<Cas> cas;
    auto avec = [](auto&& modifier) {
        TProjetEcrit p = Valide();
        modifier(p);
        return p.Octets();
    };
    const std::string bon = Valide().Octets();
    cas.push_back({"trop court", bon.substr(0, 5), "trop court"});
    cas.push_back({"en-tête tronqué", bon.substr(0, 79), "en-tête incomplet"});
    cas.push_back(
        {"en-tête v0 tronqué", avec([](auto& p) { p.Version = 0; }).substr(0, 71), "en-tête incomplet"});
    cas.push_back({"corps tronqué", bon.substr(0, bon.size() - 1), "nombre de points 3 impossible"});
    cas.push_back({"frontière tronquée", bon.substr(0, 80 + 12), "nombre de points de frontière 2"});
    cas.push_back({"version 3", avec([](auto& p) { p.Version = 3; }), "version 3 inconnue"});
    // Wide fields are forged: their low 32 bits would pass for valid ones.
    cas.push_back({"version 2^32 + 1", avec([](auto& p) { p.Version = (std::int64_t{1} << 32) + 1; }), "version"});
    cas.push_back({"niveau 2^62", avec([](auto& p) { p.L = std::int64_t{1} << 62; }), "niveau enregistré"});
    cas.push_back({"niveau affiché 2^40 + 2", avec([](auto& p) { p.NivAffiche = (std::int64_t{1} << 40) + 2; }),
                   "niveau affiché"});
    cas.push_back({"octets en trop", bon + std::string(5, '\0'), "5 octets après le dernier des 3 points"});
    cas.push_back({"N nul et points", avec([](auto& p) { p.N = 0; }), "48 octets après le dernier des 0 points"});
    cas.push_back({"étendue inversée", avec([](auto& p) { std::swap(p.Min, p.Max); }), "étendue du nuage inversée"});
    cas.push_back({"version -1", avec([](auto& p) { p.Version = -1; }), "version -1 inconnue"});
    cas.push_back({"niveau 5", avec([](auto& p) { p.L = 5; }), "niveau enregistré 5"});
    cas.push_back({"niveau -1", avec([](auto& p) { p.L = -1; }), "niveau enregistré -1"});
    cas.push_back({"niveau affiché 7", avec([](auto& p) { p.NivAffiche = 7; }), "niveau affiché 7"});
    cas.push_back({"F énorme", avec([](auto& p) { p.F = std::int64_t{1} << 60; }), "frontière"});
    cas.push_back({"F négatif", avec([](auto& p) { p.F = -5; }), "frontière"});
    cas.push_back({"N énorme", avec([](auto& p) { p.N = std::int64_t{1} << 62; }), "nombre de points"});
    cas.push_back(
        {"N 2^32 + 3", avec([](auto& p) { p.N = (std::int64_t{1} << 32) + 3; }), "nombre de points"});
    cas.push_back({"N négatif", avec([](auto& p) { p.N = -2; }), "nombre de points"});
    cas.push_back({"étendue NaN", avec([](auto& p) { p.Min[2] = NaN; }), "étendue du nuage non finie"});
    cas.push_back({"trame infinie", avec([](auto& p) { p.Trame = INFINITY; }), "trame"});
    cas.push_back(
        {"frontière NaN", avec([](auto& p) { p.Frontiere[1][3] = NaN; }), "point de frontière n° 2"});
    cas.push_back(
        {"point NaN", avec([](auto& p) { p.Points[1].Y = NaN; }), "point n° 2 a une coordonnée non finie"});
    cas.push_back({"point infini", avec([](auto& p) { p.Points[2].X = -INFINITY; }), "point n° 3"});
    cas.push_back({"point hors étendue", avec([](auto& p) { p.Points[0].Z = 7.5f; }), "point n° 1 est hors"});
    // Records are checked a block at a time: a fault far in the file still names its own point.
    cas.push_back({"point hors étendue loin", avec([](auto& p) {
                       p.Points.resize(200000, p.Points[0]);
                       p.Points[199990].Y = NaN;
                       p.Points[170001].Z = 7.5f;
                   }),
                   "point n° 170002 est hors"});
    cas.push_back(
        {"étendue hors des 32 bits", avec([](auto& p) { p.Max = FaireV3S(3e9f, 1000, 1000); }), "trop grande"});
    for (const Cas& c : cas) {
        ASSERT_TRUE(Ouvrir(bon)) << doc.DerniereErreur;
        ASSERT_FALSE(doc.Maillage.Frontiere.empty());
        EXPECT_FALSE(Ouvrir(c.octets)) << c.quoi;
        EXPECT_NE(doc.DerniereErreur.find(c.message), std::string::npos)
            << c.quoi << " : " << doc.DerniereErreur;
        EXPECT_NE(doc.DerniereErreur.find("projet.tsrk"), std::string::npos) << doc.DerniereErreur;
        EXPECT_EQ(doc.NbPts, 0) << c.quoi;
        EXPECT_EQ(doc.Nuage.NbCubesTotal(), 0) << c.quoi;
        EXPECT_TRUE(doc.Maillage.Frontiere.empty()) << c.quoi;
        EXPECT_EQ(doc.Maillage.TrameGrille, 0.2f) << c.quoi;
    }
}

TEST_F(Projet, AnEmptyProjectLoadsAsAnEmptyCloud) {
    TProjetEcrit p;
    p.Min = FaireV3S(1, 1, 1);
    p.Max = FaireV3S(-1, -1, -1);
    ASSERT_TRUE(Ouvrir(p.Octets())) << doc.DerniereErreur;
    EXPECT_EQ(doc.NbPts, 0);
    EXPECT_EQ(doc.Nuage.NbCubesTotal(), 0);
}

TEST_F(Projet, BinaryScansReadRecordsAndComputeTheirBox) {
    std::string octets;
    const std::vector<TPointFichier> points{Point(-1.25f, 2, 3, 7), Point(4, -0.5f, 0.75f, 8),
                                            Point(4, 2, 3, 9)};
    for (const TPointFichier& p : points) {
        unsigned char b[16];
        EncoderPoint(b, p);
        octets.append(reinterpret_cast<const char*>(b), 16);
    }
    ASSERT_TRUE(Ouvrir(octets, "scan.XYB")) << doc.DerniereErreur;
    EXPECT_EQ(doc.NbPts, 3);
    EXPECT_EQ(doc.Nuage.NivMax, 4);
    EXPECT_EQ(doc.Nuage.CooMin, FaireV3S(-1.25f, -0.5f, 0.75f));
    EXPECT_EQ(doc.Nuage.CooMax, FaireV3S(4, 2, 3));
    EXPECT_EQ(doc.Nuage.NbCubesNiv[4], 3);
    EXPECT_EQ(doc.Nuage.TeteNiv(4)->ColCube, (TV4By{{9, 2, 3, 4}})); // the fourth byte is kept
    EXPECT_EQ(doc.PFsansext, dossier / "scan");

    unsigned char b[16];
    EncoderPoint(b, Point(NaN, 0, 0));
    EXPECT_FALSE(Ouvrir(octets + std::string(reinterpret_cast<const char*>(b), 16), "nan.xyb"));
    EXPECT_NE(doc.DerniereErreur.find("point n° 4 a une coordonnée non finie"), std::string::npos);
}

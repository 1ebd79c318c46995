#include "Document.h"
#include "DonneesPartagees.h"
#include "DossierTemporaire.h"
#include "EcrivainE57.h"
#include "LecteurE57.h"
#include "LectureEssai.h"
#include "UtilisateurEspion.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <functional>

using namespace tessarc;
using namespace tessarc::essais;

namespace {

const std::filesystem::path DossierE57 = DonneesPartagees("e57");

struct TAttendu {
    double X, Y, Z;
    int R, G, B;
};

// The pose applied as q (0, p) q⁻¹ + t, the quaternion normalised: not the reader's rotation matrix.
std::array<double, 3> Poser(std::array<double, 4> q, std::array<double, 3> p, std::array<double, 3> t) {
    const double n = std::sqrt(q[0] * q[0] + q[1] * q[1] + q[2] * q[2] + q[3] * q[3]);
    for (double& c : q) c /= n;
    using Q = std::array<double, 4>;
    auto produit = [](const Q& a, const Q& b) {
        return Q{a[0] * b[0] - a[1] * b[1] - a[2] * b[2] - a[3] * b[3],
                 a[0] * b[1] + a[1] * b[0] + a[2] * b[3] - a[3] * b[2],
                 a[0] * b[2] - a[1] * b[3] + a[2] * b[0] + a[3] * b[1],
                 a[0] * b[3] + a[1] * b[2] - a[2] * b[1] + a[3] * b[0]};
    };
    const Q r = produit(produit(q, Q{0, p[0], p[1], p[2]}), Q{q[0], -q[1], -q[2], -q[3]});
    return {r[1] + t[0], r[2] + t[1], r[3] + t[2]};
}

int Octet(double v, double min, double max) {
    return static_cast<int>(std::floor((v - min) * 255.0 / (max - min) + 0.5));
}

using enum ETypeEcrit;

// Scaled integers of odd widths up to 63 bits, a non-normalised quaternion, invalid records, colour limits
// for red only, records straddling packets of 7, an empty packet and an index packet.
TScanEcrit ScanEntiers(std::vector<TAttendu>& attendus) {
    TScanEcrit s = ScanEssai(
        {{"cartesianX", EntierEchelle, -3000, 5000, 0.001, 10.0},
         {"cartesianY", EntierEchelle, 0, 100000, 0.0005, -2.0},
         {"cartesianZ", EntierEchelle, -(std::int64_t{1} << 62), (std::int64_t{1} << 62) - 2, 1e-15, 4611.7},
         {"cartesianInvalidState", Entier, 0, 2},
         {"colorRed", Entier, 0, 31},
         {"colorGreen", Entier, 0, 31},
         {"colorBlue", Entier, 0, 31}},
        60, 7);
    s.PaquetsVides = true;
    s.XmlEnPlus = PoseE57(2, 0, 0, 2, 100, -50, 3) + "<colorLimits type=\"Structure\">" +
                  ElementE57("colorRedMinimum", "Integer", 0) + ElementE57("colorRedMaximum", "Integer", 62) +
                  "</colorLimits>";
    for (std::size_t i = 0; i < 60; ++i) {
        auto e = [&](std::size_t k) { return s.Champs[k].Valeurs[i]; };
        const auto p = Poser({2, 0, 0, 2}, {e(0) * 0.001 + 10.0, e(1) * 0.0005 - 2.0, e(2) * 1e-15 + 4611.7},
                             {100, -50, 3});
        if (e(3) == 0)
            attendus.push_back(
                {p[0], p[1], p[2], Octet(e(4), 0, 62), Octet(e(5), 0, 31), Octet(e(6), 0, 31)});
    }
    return s;
}

// Spherical coordinates, intensity as grey within its limits, and an intensity stream that does not
// keep pace with the others (all of it in the first packet).
TScanEcrit ScanSpherique(std::vector<TAttendu>& attendus) {
    TScanEcrit s = ScanEssai({{"sphericalRange", Double},
                              {"sphericalAzimuth", Double},
                              {"sphericalElevation", Simple},
                              {"sphericalInvalidState", Entier, 0, 1},
                              {"intensity", Entier, 0, 4095},
                              {"isIntensityInvalid", Entier, 0, 1}},
                             50, 5);
    s.Champs[4].ParPaquet = 50;
    // A minimum written below the double range is 0.
    s.XmlEnPlus = "<intensityLimits type=\"Structure\"><intensityMinimum type=\"Float\">1e-400</intensityMinimum>" +
                  ElementE57("intensityMaximum", "Float", 4095) + "</intensityLimits>";
    for (std::size_t i = 0; i < 50; ++i) {
        auto e = [&](std::size_t k) { return s.Champs[k].Valeurs[i]; };
        const int g = e(5) != 0 ? 0 : Octet(e(4), 0, 4095);
        if (e(3) == 0)
            attendus.push_back({e(0) * std::cos(e(2)) * std::cos(e(1)),
                                e(0) * std::cos(e(2)) * std::sin(e(1)), e(0) * std::sin(e(2)), g, g, g});
    }
    return s;
}

// Single reals, colour from the fields' own limits, intensity where the colour is invalid, black where
// both are.
TScanEcrit ScanReels(std::vector<TAttendu>& attendus) {
    TScanEcrit s = ScanEssai({{"cartesianX", Simple},
                              {"cartesianY", Simple},
                              {"cartesianZ", Simple},
                              {"colorRed", Entier, 0, 255},
                              {"colorGreen", Entier, 0, 255},
                              {"colorBlue", Entier, 0, 255},
                              {"isColorInvalid", Entier, 0, 1},
                              {"intensity", Entier, 100, 1123},
                              {"isIntensityInvalid", Entier, 0, 1}},
                             40, 8);
    s.XmlEnPlus = PoseE57(1, 0, 0, 0, 0.5, 0.25, -1);
    for (std::size_t i = 0; i < 40; ++i) {
        auto e = [&](std::size_t k) { return s.Champs[k].Valeurs[i]; };
        const int g = e(8) != 0 ? 0 : Octet(e(7), 100, 1123);
        const bool couleur = e(6) == 0;
        attendus.push_back({e(0) + 0.5, e(1) + 0.25, e(2) - 1.0, couleur ? int(e(3)) : g,
                            couleur ? int(e(4)) : g, couleur ? int(e(5)) : g});
    }
    return s;
}

void Poser64(std::string& l, std::size_t a, std::uint64_t v) {
    for (int i = 0; i < 8; ++i) l[a + static_cast<std::size_t>(i)] = static_cast<char>(v >> (8 * i));
}

TRetouchesE57 Logique(std::function<void(std::string&)> f) {
    return {{}, std::move(f), -1};
}

// Every de of the XML becomes par.
TRetouchesE57 Xml(std::string de, std::string par) {
    return {[de = std::move(de), par = std::move(par)](std::string& t) {
                for (std::size_t i = t.find(de); i != std::string::npos; i = t.find(de, i + par.size()))
                    t.replace(i, de.size(), par);
            },
            {},
            -1};
}

} // namespace

TEST(LecteurE57, ScansWithPosesAndEveryEncodingLandInOneCloudInTheFileOrder) {
    std::vector<TAttendu> attendus;
    std::vector<TScanEcrit> scans{ScanEntiers(attendus)};
    scans.push_back(ScanSpherique(attendus));
    scans.push_back(ScanReels(attendus));
    TDossierTemporaire dossier;
    EcrireFichier(dossier / "scans.e57", EcrireE57(scans));

    TUtilisateurEspion espion;
    const std::vector<TPointLu> lus = LireAvec(LireE57, dossier / "scans.e57", &espion);
    ASSERT_EQ(lus.size(), attendus.size());
    for (std::size_t i = 0; i < lus.size(); ++i) {
        const TAttendu& a = attendus[i];
        EXPECT_NEAR(lus[i].X, a.X, 1e-9) << i;
        EXPECT_NEAR(lus[i].Y, a.Y, 1e-9) << i;
        EXPECT_NEAR(lus[i].Z, a.Z, 1e-9) << i;
        const TV4By c{static_cast<std::uint8_t>(a.R), static_cast<std::uint8_t>(a.G),
                      static_cast<std::uint8_t>(a.B), 0};
        EXPECT_EQ(lus[i].Couleur, c) << i;
    }
    // One progress over the 150 records of the three scans, never going back; Esc stops the reading.
    EXPECT_EQ(espion.Textes.back(), "lecture : 100%");
    EXPECT_TRUE(std::is_sorted(espion.Textes.begin(), espion.Textes.end(),
                               [](const std::string& a, const std::string& b) {
                                   return std::stoi(a.substr(10)) < std::stoi(b.substr(10));
                               }));
    TUtilisateurEspion echap("lecture");
    EXPECT_THROW((void)LireAvec(LireE57, dossier / "scans.e57", &echap), EStopError);
}

TEST(LecteurE57, EveryFaultIsRefusedWithItsMessageAndTheFileName) {
    struct TCas {
        const char* Attendu;
        TRetouchesE57 Retouches;
        std::size_t Taille = 0; // the file cut to this size
    };
    const std::string codec = "allowHeterogeneousChildren=\"1\"><vectorChild type=\"Structure\"><zLibCodec "
                              "type=\"Structure\"/></vectorChild></codecs>";
    const TCas cas[] = {
        {"signature « ASTM-E57 » absente : ce n'est pas un fichier E57",
         Logique([](std::string& l) { l[3] = 'X'; })},
        {"version 2.0 du format E57 non prise en charge (1.0 attendue)",
         Logique([](std::string& l) { l[8] = 2; })},
        {"taille de page de 2048 octets non prise en charge (1024 attendus)",
         Logique([](std::string& l) { l[41] = 8; })},
        {"fichier tronqué : en-tête E57 incomplet (20 octets sur 48)", {}, 20},
        {"fichier tronqué : 2048 octets annoncés, 1500 présents", {}, 1500},
        {"page 1 corrompue (somme de contrôle fausse, octets 1024 à 2047)", {{}, {}, 1}},
        {"la section XML commence dans une somme de contrôle (octet 1021)",
         Logique([](std::string& l) { Poser64(l, 24, 1021); })},
        {"section XML de 100000 octets hors du fichier",
         Logique([](std::string& l) { Poser64(l, 32, 100000); })},
        {"XML illisible : Start-end tags mismatch", Xml("</e57Root>", "</e57Rot>")},
        {"XML sans élément e57Root", Xml("e57Root", "racine")},
        {"scan 1 : codec « zLibCodec » inconnu : seul bitPackCodec existe",
         Xml("allowHeterogeneousChildren=\"1\"/>", codec)},
        {"scan 1 : le prototype n'a pas de coordonnées", Xml("<cartesianZ", "<cartesianW")},
        {"scan 1 : champ « cartesianX » : minimum au-dessus du maximum",
         Xml("minimum=\"0\" ", "minimum=\"2000\" ")},
        {"scan 1 : 1000000 points annoncés, la section de",
         Xml("recordCount=\"50\"", "recordCount=\"1000000\"")},
        {"scan 1 : données interrompues : 51 points annoncés, 50 lus (champ cartesianX)",
         Xml("recordCount=\"50\"", "recordCount=\"51\"")},
        {"scan 1 : en-tête de la section des points invalide (identifiant 7 au lieu de 1)",
         Logique([](std::string& l) { l[48] = 7; })},
        {"fichier tronqué : scan 1 : la section des points (1000000 octets) dépasse la fin du fichier",
         Logique([](std::string& l) { Poser64(l, 56, 1000000); })},
        {"scan 1 : paquet de 65536 octets à l'octet 80, au-delà de la fin de la section",
         Logique([](std::string& l) { l[82] = l[83] = '\xFF'; })},
        {"scan 1 : paquet de données à 9 flux, le prototype a 3 champs",
         Logique([](std::string& l) { l[84] = 9; })},
        {"scan 1 : paquet de type 5 inconnu à l'octet 80", Logique([](std::string& l) { l[80] = 5; })},
        {"scan 1 : pose : quaternion de rotation nul ou infini",
         Xml("<points", PoseE57(0, 0, 0, 0, 1, 2, 3) + "<points")},
    };
    // 50 records of three 10-bit scaled integers in packets of 16: the section starts at logical byte
    // 48, its first data packet at 80.
    const std::vector<TScanEcrit> scan{ScanEssai({{"cartesianX", EntierEchelle, 0, 1000, 0.01},
                                                  {"cartesianY", EntierEchelle, 0, 1000, 0.01},
                                                  {"cartesianZ", EntierEchelle, 0, 1000, 0.01}},
                                                 50, 16)};
    TDossierTemporaire dossier;
    const auto nom = dossier / "faute.e57";
    for (const TCas& c : cas) {
        std::string f = EcrireE57(scan, c.Retouches);
        if (c.Taille > 0) f.resize(c.Taille);
        EcrireFichier(nom, f);
        try {
            (void)LireAvec(LireE57, nom);
            ADD_FAILURE() << "accepté : " << c.Attendu;
        } catch (const std::runtime_error& e) {
            EXPECT_NE(std::string(e.what()).find("fichier « " + nom.string() + " » : " + c.Attendu),
                      std::string::npos)
                << e.what();
        }
    }
}

TEST(LecteurE57, ReferenceFilesGiveTheirPointsAndExtents) {
    if (!std::filesystem::exists(DossierE57)) GTEST_SKIP() << "pas de fichiers E57 de référence";
    // The same cloud as doubles and as 32-bit scaled integers (scale 1e-6), with the bounds its XML gives.
    const auto reels = LireAvec(LireE57, DossierE57 / "bunnyDouble.e57");
    const auto entiers = LireAvec(LireE57, DossierE57 / "bunnyInt32.e57");
    ASSERT_EQ(reels.size(), 30571u);
    ASSERT_EQ(entiers.size(), reels.size());
    TV3R min = FaireV3R(1, 1, 1);
    TV3R max = FaireV3R(-1, -1, -1);
    for (std::size_t i = 0; i < reels.size(); ++i) {
        const double p[3] = {reels[i].X, reels[i].Y, reels[i].Z};
        const double q[3] = {entiers[i].X, entiers[i].Y, entiers[i].Z};
        for (int a = 0; a < 3; ++a) {
            ASSERT_NEAR(p[a], q[a], 1e-9) << i;
            min[a + 1] = std::min(min[a + 1], p[a]);
            max[a + 1] = std::max(max[a + 1], p[a]);
        }
    }
    const double bornes[6] = {-0.094689, 0.061009, 0.040011, 0.187321, -0.061873, 0.058799};
    for (int a = 1; a <= 3; ++a) {
        EXPECT_NEAR(min[a], bornes[2 * a - 2], 1e-9);
        EXPECT_NEAR(max[a], bornes[2 * a - 1], 1e-9);
    }
    // A cube of side 1 whose faces are red (Z), green (Y) and blue (X).
    const auto cube = LireAvec(LireE57, DossierE57 / "ColouredCubeFloat.e57");
    ASSERT_EQ(cube.size(), 7680u);
    for (const TPointLu& p : cube) {
        const bool rouge =
            std::abs(p.Z) == 0.5 && p.Couleur[1] == 255 && p.Couleur[2] == 0 && p.Couleur[3] == 0;
        const bool vert =
            std::abs(p.Y) == 0.5 && p.Couleur[1] == 0 && p.Couleur[2] == 255 && p.Couleur[3] == 0;
        const bool bleu =
            std::abs(p.X) == 0.5 && p.Couleur[1] == 0 && p.Couleur[2] == 0 && p.Couleur[3] == 255;
        ASSERT_TRUE(rouge || vert || bleu) << p.X << " " << p.Y << " " << p.Z;
    }
}

TEST(LecteurE57, DegenerateReferenceFilesOpenWithTheirFault) {
    if (!std::filesystem::exists(DossierE57)) GTEST_SKIP() << "pas de fichiers E57 de référence";
    const std::pair<const char*, const char*> cas[] = {
        {"bunnyInt32.e57", ""},
        {"ZeroPoints.e57", "aucun point, le fichier est vide"},
        {"empty.e57", "aucun point, le fichier est vide"},
        {"bad-crc.e57", "page 0 corrompue (somme de contrôle fausse, octets 0 à 1023)"},
        {"InvalidCVHeader.e57",
         "scan 1 : en-tête de la section des points invalide (identifiant 182 au lieu de 1)"},
    };
    for (const auto& [fichier, attendu] : cas) {
        TDocument doc;
        const bool ouvert = doc.OuvrirFichier(DossierE57 / fichier);
        EXPECT_EQ(ouvert, *attendu == '\0') << fichier;
        if (ouvert)
            EXPECT_EQ(doc.NbPts, 30571);
        else
            EXPECT_NE(doc.DerniereErreur.find(std::string(fichier) + " » : " + attendu), std::string::npos)
                << doc.DerniereErreur;
    }
}

#include "Document.h"
#include "EcrivainE57.h"
#include "LecteurE57.h"
#include "OutilsTests.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <functional>
#include <set>

using namespace tessarc;
using namespace tessarc::essais;

namespace {

const std::filesystem::path DossierE57 = std::filesystem::path(TESSARC_SHARED_DATA) / "e57";

struct TAttendu {
    double X, Y, Z;
    int R, G, B;
};

TChampEcrit Champ(std::string nom, ETypeEcrit type, std::size_t n,
                  const std::function<double(std::size_t)>& valeur, std::int64_t min = 0,
                  std::int64_t max = 0, double echelle = 1.0, double decalage = 0.0) {
    TChampEcrit c{std::move(nom), type, min, max, echelle, decalage, {}, 0};
    for (std::size_t i = 0; i < n; ++i) c.Valeurs.push_back(valeur(i));
    return c;
}

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

std::string Element(const char* nom, const char* type, double v) {
    return "<" + std::string(nom) + " type=\"" + type + "\">" + Nombre17(v) + "</" + nom + ">";
}

// Scaled integers of odd widths, a non-normalised quaternion, invalid records, colour limits for red
// only, records straddling packets of 7, an empty packet and an index packet.
TScanEcrit ScanEntiers(std::vector<TAttendu>& attendus) {
    const std::size_t n = 40;
    TScanEcrit s;
    s.ParPaquet = 7;
    s.PaquetsVides = true;
    auto x = [](std::size_t i) { return -3000.0 + double((i * 397) % 8001); };
    auto y = [](std::size_t i) { return double((i * 7919) % 100001); };
    auto z = [](std::size_t i) { return -7.0 + double(i % 15); };
    auto etat = [](std::size_t i) { return i % 9 == 4 ? 2.0 : i % 11 == 5 ? 1.0 : 0.0; };
    auto rouge = [](std::size_t i) { return double((i * 3) % 32); };
    auto vert = [](std::size_t i) { return double((i * 5) % 32); };
    auto bleu = [](std::size_t i) { return double((i * 7) % 32); };
    s.Champs = {Champ("cartesianX", ETypeEcrit::EntierEchelle, n, x, -3000, 5000, 0.001, 10.0),
                Champ("cartesianY", ETypeEcrit::EntierEchelle, n, y, 0, 100000, 0.0005, -2.0),
                Champ("cartesianZ", ETypeEcrit::Entier, n, z, -7, 7),
                Champ("cartesianInvalidState", ETypeEcrit::Entier, n, etat, 0, 2),
                Champ("colorRed", ETypeEcrit::Entier, n, rouge, 0, 31),
                Champ("colorGreen", ETypeEcrit::Entier, n, vert, 0, 31),
                Champ("colorBlue", ETypeEcrit::Entier, n, bleu, 0, 31)};
    s.XmlEnPlus = PoseE57(2, 0, 0, 2, 100, -50, 3) + "<colorLimits type=\"Structure\">" +
                  Element("colorRedMinimum", "Integer", 0) + Element("colorRedMaximum", "Integer", 62) +
                  "</colorLimits>";
    for (std::size_t i = 0; i < n; ++i) {
        if (etat(i) != 0) continue;
        const auto p = Poser({2, 0, 0, 2}, {x(i) * 0.001 + 10.0, y(i) * 0.0005 - 2.0, z(i)}, {100, -50, 3});
        attendus.push_back(
            {p[0], p[1], p[2], Octet(rouge(i), 0, 62), Octet(vert(i), 0, 31), Octet(bleu(i), 0, 31)});
    }
    return s;
}

// Spherical coordinates, intensity as grey within its limits, and an intensity stream that does not
// keep pace with the others (all of it in the first packet).
TScanEcrit ScanSpherique(std::vector<TAttendu>& attendus) {
    const std::size_t n = 30;
    TScanEcrit s;
    s.ParPaquet = 5;
    auto r = [](std::size_t i) { return 1.0 + 0.37 * double(i); };
    auto az = [](std::size_t i) { return 0.41 * double(i) - 3.0; };
    auto el = [](std::size_t i) { return 0.05 * double(i) - 0.7; };
    auto etat = [](std::size_t i) { return i % 7 == 3 ? 1.0 : 0.0; };
    auto intensite = [](std::size_t i) { return double((i * 577) % 4096); };
    auto sansIntensite = [](std::size_t i) { return i % 6 == 1 ? 1.0 : 0.0; };
    s.Champs = {Champ("sphericalRange", ETypeEcrit::Double, n, r),
                Champ("sphericalAzimuth", ETypeEcrit::Double, n, az),
                Champ("sphericalElevation", ETypeEcrit::Simple, n, el),
                Champ("sphericalInvalidState", ETypeEcrit::Entier, n, etat, 0, 1),
                Champ("intensity", ETypeEcrit::Entier, n, intensite, 0, 4095),
                Champ("isIntensityInvalid", ETypeEcrit::Entier, n, sansIntensite, 0, 1)};
    s.Champs[4].ParPaquet = 50;
    s.XmlEnPlus = "<intensityLimits type=\"Structure\">" + Element("intensityMinimum", "Float", 0) +
                  Element("intensityMaximum", "Float", 4095) + "</intensityLimits>";
    for (std::size_t i = 0; i < n; ++i) {
        if (etat(i) != 0) continue;
        const double e = static_cast<float>(el(i));
        const int g = sansIntensite(i) != 0 ? 0 : Octet(intensite(i), 0, 4095);
        attendus.push_back({r(i) * std::cos(e) * std::cos(az(i)), r(i) * std::cos(e) * std::sin(az(i)),
                            r(i) * std::sin(e), g, g, g});
    }
    return s;
}

// Single reals, colour from the fields' own limits, intensity where the colour is invalid, black where
// both are.
TScanEcrit ScanReels(std::vector<TAttendu>& attendus) {
    const std::size_t n = 20;
    TScanEcrit s;
    s.ParPaquet = 8;
    auto c = [](std::size_t i, double k) { return static_cast<float>(0.25 * double(i) * k - 1.0); };
    auto couleur = [](std::size_t i, std::size_t k) { return double((i * k) % 256); };
    auto sansCouleur = [](std::size_t i) { return i % 4 == 2 ? 1.0 : 0.0; };
    auto intensite = [](std::size_t i) { return 100.0 + double((i * 101) % 1024); };
    auto sansIntensite = [](std::size_t i) { return i % 8 == 6 ? 1.0 : 0.0; };
    s.Champs = {
        Champ("cartesianX", ETypeEcrit::Simple, n, [&](std::size_t i) { return c(i, 1); }),
        Champ("cartesianY", ETypeEcrit::Simple, n, [&](std::size_t i) { return c(i, 0.5); }),
        Champ("cartesianZ", ETypeEcrit::Simple, n, [&](std::size_t i) { return c(i, -3); }),
        Champ(
            "colorRed", ETypeEcrit::Entier, n, [&](std::size_t i) { return couleur(i, 13); }, 0, 255),
        Champ(
            "colorGreen", ETypeEcrit::Entier, n, [&](std::size_t i) { return couleur(i, 29); }, 0, 255),
        Champ(
            "colorBlue", ETypeEcrit::Entier, n, [&](std::size_t i) { return couleur(i, 41); }, 0, 255),
        Champ("isColorInvalid", ETypeEcrit::Entier, n, sansCouleur, 0, 1),
        Champ("intensity", ETypeEcrit::Entier, n, intensite, 100, 1123),
        Champ("isIntensityInvalid", ETypeEcrit::Entier, n, sansIntensite, 0, 1)};
    s.XmlEnPlus = PoseE57(1, 0, 0, 0, 0.5, 0.25, -1);
    for (std::size_t i = 0; i < n; ++i) {
        TAttendu a{c(i, 1) + 0.5, c(i, 0.5) + 0.25, c(i, -3) - 1.0, 0, 0, 0};
        if (sansCouleur(i) == 0) {
            a.R = int(couleur(i, 13));
            a.G = int(couleur(i, 29));
            a.B = int(couleur(i, 41));
        } else if (sansIntensite(i) == 0) {
            a.R = a.G = a.B = Octet(intensite(i), 100, 1123);
        }
        attendus.push_back(a);
    }
    return s;
}

// A plain scan of 50 records of three 10-bit scaled integers in packets of 16: its section starts at
// logical byte 48, its first data packet at 80.
std::vector<TScanEcrit> ScanSimple() {
    TScanEcrit s;
    s.ParPaquet = 16;
    for (const char* nom : {"cartesianX", "cartesianY", "cartesianZ"})
        s.Champs.push_back(Champ(
            nom, ETypeEcrit::EntierEchelle, 50, [](std::size_t i) { return double(i * 17 % 1001); }, 0, 1000,
            0.01));
    return {s};
}

void Poser64(std::string& l, std::size_t a, std::uint64_t v) {
    for (int i = 0; i < 8; ++i) l[a + static_cast<std::size_t>(i)] = static_cast<char>(v >> (8 * i));
}

// Every de of a text becomes par.
std::function<void(std::string&)> Remplacer(std::string de, std::string par) {
    return [de = std::move(de), par = std::move(par)](std::string& t) {
        for (std::size_t i = t.find(de); i != std::string::npos; i = t.find(de, i + par.size()))
            t.replace(i, de.size(), par);
    };
}

} // namespace

TEST(LecteurE57, ScansWithPosesAndEveryEncodingLandInOneCloudInTheFileOrder) {
    std::vector<TAttendu> attendus;
    std::vector<TScanEcrit> scans{ScanEntiers(attendus)};
    scans.push_back(ScanSpherique(attendus));
    scans.push_back(ScanReels(attendus));
    TDossierTemporaire dossier;
    EcrireFichier(dossier / "scans.e57", EcrireE57(scans));

    TProgressionEspion espion;
    const std::vector<TPointLu> lus = LireAvec(LireE57, dossier / "scans.e57", &espion);
    ASSERT_EQ(lus.size(), attendus.size());
    for (std::size_t i = 0; i < lus.size(); ++i) {
        const TAttendu& a = attendus[i];
        EXPECT_NEAR(lus[i].X, a.X, 1e-9) << i;
        EXPECT_NEAR(lus[i].Y, a.Y, 1e-9) << i;
        EXPECT_NEAR(lus[i].Z, a.Z, 1e-9) << i;
        EXPECT_EQ(
            (std::array<int, 4>{lus[i].Couleur[1], lus[i].Couleur[2], lus[i].Couleur[3], lus[i].Couleur[4]}),
            (std::array<int, 4>{a.R, a.G, a.B, 0}))
            << i;
    }
    // One progress over the 90 records of the three scans (1 % a record below 100); Esc stops the reading.
    EXPECT_EQ(espion.Textes.back(), "lecture : 90%");
    EXPECT_EQ(std::set<std::string>(espion.Textes.begin(), espion.Textes.end()).size(), espion.Textes.size());
    TProgressionEspion echap("lecture");
    EXPECT_THROW((void)LireAvec(LireE57, dossier / "scans.e57", &echap), EStopError);
}

TEST(LecteurE57, EveryFaultIsRefusedWithItsMessageAndTheFileName) {
    struct TCas {
        const char* Attendu;
        TRetouchesE57 Retouches;
        std::function<void(std::string&)> Fichier;
    };
    auto logique = [](std::function<void(std::string&)> f) { return TRetouchesE57{{}, std::move(f), -1}; };
    auto xml = [](std::string de, std::string par) {
        return TRetouchesE57{Remplacer(std::move(de), std::move(par)), {}, -1};
    };
    const std::vector<TCas> cas = {
        {"signature « ASTM-E57 » absente : ce n'est pas un fichier E57",
         {},
         [](std::string& f) { f[3] = 'X'; }},
        {"version 2.0 du format E57 non prise en charge (1.0 attendue)",
         logique([](std::string& l) { l[8] = 2; }),
         {}},
        {"taille de page de 2048 octets non prise en charge (1024 attendus)",
         logique([](std::string& l) { l[41] = 8; }),
         {}},
        {"fichier tronqué : en-tête E57 incomplet (20 octets sur 48)",
         {},
         [](std::string& f) { f.resize(20); }},
        {"fichier tronqué : 2048 octets annoncés, 1500 présents", {}, [](std::string& f) { f.resize(1500); }},
        {"page 1 corrompue (somme de contrôle fausse, octets 1024 à 2047)", {{}, {}, 1}, {}},
        {"la section XML commence dans une somme de contrôle (octet 1021)",
         logique([](std::string& l) { Poser64(l, 24, 1021); }),
         {}},
        {"section XML de 100000 octets hors du fichier",
         logique([](std::string& l) { Poser64(l, 32, 100000); }),
         {}},
        {"XML illisible : Start-end tags mismatch", xml("</e57Root>", "</e57Rot>"), {}},
        {"XML sans élément e57Root", xml("e57Root", "racine"), {}},
        {"scan 1 : codec « zLibCodec » inconnu : seul bitPackCodec existe",
         xml("allowHeterogeneousChildren=\"1\"/>",
             "allowHeterogeneousChildren=\"1\"><vectorChild type=\"Structure\"><zLibCodec "
             "type=\"Structure\"/></vectorChild></codecs>"),
         {}},
        {"scan 1 : le prototype n'a pas de coordonnées", xml("<cartesianZ", "<cartesianW"), {}},
        {"scan 1 : champ « cartesianX » : minimum au-dessus du maximum",
         xml("minimum=\"0\" maximum", "minimum=\"2000\" maximum"),
         {}},
        {"scan 1 : 1000000 points annoncés, la section de",
         xml("recordCount=\"50\"", "recordCount=\"1000000\""),
         {}},
        {"scan 1 : données interrompues : 51 points annoncés, 50 lus (champ cartesianX)",
         xml("recordCount=\"50\"", "recordCount=\"51\""),
         {}},
        {"scan 1 : en-tête de la section des points invalide (identifiant 7 au lieu de 1)",
         logique([](std::string& l) { l[48] = 7; }),
         {}},
        {"fichier tronqué : scan 1 : la section des points (1000000 octets) dépasse la fin du fichier",
         logique([](std::string& l) { Poser64(l, 56, 1000000); }),
         {}},
        {"scan 1 : paquet de 65536 octets à l'octet 80, au-delà de la fin de la section",
         logique([](std::string& l) { l[82] = l[83] = '\xFF'; }),
         {}},
        {"scan 1 : paquet de données à 9 flux, le prototype a 3 champs",
         logique([](std::string& l) { l[84] = 9; }),
         {}},
        {"scan 1 : paquet de type 5 inconnu à l'octet 80", logique([](std::string& l) { l[80] = 5; }), {}},
        {"scan 1 : pose : quaternion de rotation nul ou infini",
         xml("<points", PoseE57(0, 0, 0, 0, 1, 2, 3) + "<points"),
         {}},
    };
    TDossierTemporaire dossier;
    const auto nom = dossier / "faute.e57";
    for (const TCas& c : cas) {
        std::string f = EcrireE57(ScanSimple(), c.Retouches);
        if (c.Fichier) c.Fichier(f);
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

#include "AxeX.h"
#include "DossierTemporaire.h"
#include "Fichier.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <bit>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

using namespace tessarc;
using namespace tessarc::essais;
namespace fs = std::filesystem;

namespace {

struct TEnregistrement {
    float x, y, z;
    std::array<std::uint8_t, 8> attributs;
};

std::string Octets(const std::vector<TEnregistrement>& e) {
    std::string o;
    for (const TEnregistrement& r : e) {
        for (const float f : {r.x, r.y, r.z}) {
            const auto v = std::bit_cast<std::uint32_t>(f);
            for (int k = 0; k < 4; ++k) o.push_back(static_cast<char>(v >> (8 * k)));
        }
        o.insert(o.end(), r.attributs.begin(), r.attributs.end());
    }
    return o;
}

std::vector<TEnregistrement> Enregistrements(const fs::path& chemin) {
    const std::string octets = LireFichier(chemin);
    const auto* o = reinterpret_cast<const std::uint8_t*>(octets.data());
    std::vector<TEnregistrement> e(octets.size() / 20);
    for (std::size_t k = 0; k < e.size(); ++k) {
        const std::uint8_t* p = o + 20 * k;
        const auto f = [&](int i) {
            std::uint32_t v = 0;
            for (int b = 0; b < 4; ++b) v |= std::uint32_t{p[4 * i + b]} << (8 * b);
            return std::bit_cast<float>(v);
        };
        e[k] = {f(0), f(1), f(2), {}};
        std::copy(p + 12, p + 20, e[k].attributs.begin());
    }
    return e;
}

std::array<std::uint8_t, 8> Attributs(int k) {
    std::array<std::uint8_t, 8> a;
    for (int i = 0; i < 8; ++i)
        a[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(k * 31 + i * 7 + 200);
    return a;
}

class TJournal final : public IProgression {
public:
    explicit TJournal(int arretAuMessage = -1) : arret_(arretAuMessage) {}
    void AffiInfo(int panneau, const std::string& texte) override {
        if (static_cast<int>(textes.size()) == arret_) throw EStopError();
        EXPECT_EQ(panneau, 1);
        textes.push_back(texte);
    }
    std::vector<std::string> textes;

private:
    int arret_;
};

std::vector<TEnregistrement> Nuage(int n) {
    std::vector<TEnregistrement> e;
    for (int k = 0; k < n; ++k)
        e.push_back({0.37f * float(k % 13) - 2.0f, 0.11f * float(k % 29) + 5.0f, 0.05f * float(k % 7) - 1.0f,
                     Attributs(k)});
    return e;
}

} // namespace

TEST(AppliquerAxeX, PickingXThenYTurnsMinus90DegreesThenShiftsToTheOrigin) {
    TDossierTemporaire d;
    // Before the shift: (0, 1, z) -> (1, 0, z), (1, 0, z) -> (0, -1, z), (2, 2, z) -> (2, -2, z).
    EcrireFichier(d / "scan.ANSCSRC",
           Octets({{0, 1, 5, Attributs(0)}, {1, 0, 7, Attributs(1)}, {2, 2, 6, Attributs(2)}}));
    TJournal j;
    const TResultatAxeX r = AppliquerAxeX(FaireV3S(0, 0, 3), FaireV3S(0, 1, 9), d / "scan.ANSCSRC", j);
    ASSERT_TRUE(r.Applique) << r.Message;
    EXPECT_EQ(r.N, 3);
    EXPECT_EQ(r.CooMax, FaireV3S(2, 2, 2));
    const std::vector<TEnregistrement> e = Enregistrements(d / "scan.ANSCSRC");
    ASSERT_EQ(e.size(), 3u);
    EXPECT_EQ((std::array<float, 3>{e[0].x, e[0].y, e[0].z}), (std::array<float, 3>{1, 2, 0}));
    EXPECT_EQ((std::array<float, 3>{e[1].x, e[1].y, e[1].z}), (std::array<float, 3>{0, 1, 2}));
    EXPECT_EQ((std::array<float, 3>{e[2].x, e[2].y, e[2].z}), (std::array<float, 3>{2, 0, 1}));
    for (int k = 0; k < 3; ++k) EXPECT_EQ(e[static_cast<std::size_t>(k)].attributs, Attributs(k));
    EXPECT_TRUE(j.textes.empty()); // fewer than 20 records: no progress step, and no division by zero
    EXPECT_EQ(d.Contenu(), std::vector<std::string>{"scan.ANSCSRC"});
}

TEST(AppliquerAxeX, MinimaAreZeroAttributesIntactAndProgressEveryTwentieth) {
    TDossierTemporaire d;
    const std::vector<TEnregistrement> avant = Nuage(41);
    EcrireFichier(d / "v.ANSCSRC", Octets(avant));
    TJournal j;
    const TResultatAxeX r = AppliquerAxeX(FaireV3S(1, 1, 0), FaireV3S(4, 5, 2), d / "v.ANSCSRC", j);
    ASSERT_TRUE(r.Applique) << r.Message;
    EXPECT_EQ(r.N, 41);
    const std::vector<TEnregistrement> apres = Enregistrements(d / "v.ANSCSRC");
    ASSERT_EQ(apres.size(), 41u);
    std::array<float, 3> mini{1e30f, 1e30f, 1e30f};
    std::array<float, 3> maxi{-1e30f, -1e30f, -1e30f};
    for (std::size_t k = 0; k < apres.size(); ++k) {
        EXPECT_EQ(apres[k].attributs, avant[k].attributs);
        const std::array<float, 3> p{apres[k].x, apres[k].y, apres[k].z};
        for (std::size_t i = 0; i < 3; ++i) {
            mini[i] = std::min(mini[i], p[i]);
            maxi[i] = std::max(maxi[i], p[i]);
        }
        // Z is unchanged up to the shift; distances in plan are kept.
        EXPECT_FLOAT_EQ(apres[k].z - apres[0].z, avant[k].z - avant[0].z);
        const double dp = std::hypot(double(avant[k].x) - avant[0].x, double(avant[k].y) - avant[0].y);
        const double da = std::hypot(double(apres[k].x) - apres[0].x, double(apres[k].y) - apres[0].y);
        EXPECT_NEAR(da, dp, 1e-5);
    }
    EXPECT_EQ(mini, (std::array<float, 3>{0, 0, 0}));
    EXPECT_EQ(r.CooMax, FaireV3S(maxi[0], maxi[1], maxi[2]));
    // Progress: 41 div 20 = 2, so every second record, 5 % at a time.
    ASSERT_EQ(j.textes.size(), 40u);
    EXPECT_EQ(j.textes.front(), "rotation 5%");
    EXPECT_EQ(j.textes[19], "rotation 100%");
    EXPECT_EQ(j.textes[20], "translation 5%");
    EXPECT_EQ(j.textes.back(), "translation 100%");
}

TEST(AppliquerAxeX, TheDirectionOfThePicksBecomesX) {
    TDossierTemporaire d;
    EcrireFichier(d / "a.ANSCSRC",
           Octets({{1, 1, 0, Attributs(0)}, {4, 5, 0, Attributs(1)}, {-3, 4, 0, Attributs(2)}}));
    TJournal j;
    ASSERT_TRUE(AppliquerAxeX(FaireV3S(1, 1, 0), FaireV3S(4, 5, 0), d / "a.ANSCSRC", j).Applique);
    const std::vector<TEnregistrement> e = Enregistrements(d / "a.ANSCSRC");
    // O and A end on one line of constant Y, 5 apart; (-3, 4) is 5 to the left of O across it.
    EXPECT_FLOAT_EQ(e[1].x - e[0].x, 5.0f);
    EXPECT_NEAR(e[1].y, e[0].y, 1e-6);
    EXPECT_NEAR(e[2].x - e[0].x, 0.0f, 1e-6);
    EXPECT_FLOAT_EQ(e[2].y - e[0].y, 5.0f);
}

TEST(AppliquerAxeX, AnAbandonInEitherPassLeavesTheFileUntouched) {
    for (const int arret : {3, 25}) {
        TDossierTemporaire d;
        const std::string avant = Octets(Nuage(100));
        EcrireFichier(d / "s.ANSCSRC", avant);
        TJournal j(arret);
        const TResultatAxeX r = AppliquerAxeX(FaireV3S(0, 0, 0), FaireV3S(1, 1, 0), d / "s.ANSCSRC", j);
        EXPECT_FALSE(r.Applique);
        EXPECT_TRUE(r.Abandonne);
        EXPECT_EQ(r.Message, "abandon");
        EXPECT_EQ(r.N, 100);
        EXPECT_EQ(LireFichier(d / "s.ANSCSRC"), avant) << "arrêt au message " << arret;
        EXPECT_EQ(d.Contenu(), std::vector<std::string>{"s.ANSCSRC"});
    }
}

TEST(AppliquerAxeX, TwoPicksAtTheSameXAndYTouchNothing) {
    TDossierTemporaire d;
    const std::string avant = Octets(Nuage(30));
    EcrireFichier(d / "s.ANSCSRC", avant);
    TJournal j;
    const TResultatAxeX r = AppliquerAxeX(FaireV3S(2, 3, 0), FaireV3S(2, 3, 5), d / "s.ANSCSRC", j);
    EXPECT_FALSE(r.Applique);
    EXPECT_FALSE(r.Abandonne);
    EXPECT_NE(r.Message.find("mêmes X et Y"), std::string::npos) << r.Message;
    EXPECT_EQ(LireFichier(d / "s.ANSCSRC"), avant);
    EXPECT_TRUE(j.textes.empty());
    EXPECT_EQ(d.Contenu(), std::vector<std::string>{"s.ANSCSRC"});
}

TEST(AppliquerAxeX, AMissingCompanionFileIsReported) {
    TDossierTemporaire d;
    TJournal j;
    const TResultatAxeX r = AppliquerAxeX(FaireV3S(0, 0, 0), FaireV3S(1, 0, 0), d / "absent.ANSCSRC", j);
    EXPECT_FALSE(r.Applique);
    EXPECT_EQ(r.N, 0);
    EXPECT_NE(r.Message.find("introuvable"), std::string::npos) << r.Message;
    EXPECT_TRUE(d.Contenu().empty());
}

TEST(AppliquerAxeX, AnEmptyFileStaysEmptyAndATrailingPartialRecordIsIgnored) {
    TDossierTemporaire d;
    EcrireFichier(d / "vide.ANSCSRC", {});
    TJournal j;
    const TResultatAxeX r = AppliquerAxeX(FaireV3S(0, 0, 0), FaireV3S(1, 0, 0), d / "vide.ANSCSRC", j);
    ASSERT_TRUE(r.Applique);
    EXPECT_EQ(r.N, 0);
    EXPECT_EQ(r.CooMax, FaireV3S(0, 0, 0));
    EXPECT_TRUE(LireFichier(d / "vide.ANSCSRC").empty());

    std::string o = Octets({{3, 4, 5, Attributs(9)}});
    o += "\x01\x02\x03";
    EcrireFichier(d / "bout.ANSCSRC", o);
    const TResultatAxeX r2 = AppliquerAxeX(FaireV3S(0, 0, 0), FaireV3S(1, 0, 0), d / "bout.ANSCSRC", j);
    ASSERT_TRUE(r2.Applique);
    EXPECT_EQ(r2.N, 1);
    EXPECT_EQ(LireFichier(d / "bout.ANSCSRC").size(), 20u);
}

TEST(AppliquerAxeX, AFullDiskIsReportedInFrenchAndTheFileKept) {
    if (!fs::exists("/dev/full")) GTEST_SKIP() << "pas de /dev/full";
    TDossierTemporaire d;
    const std::string avant = Octets(Nuage(25));
    EcrireFichier(d / "s.ANSCSRC", avant);
    InjecterPanneEcriture(1, ENOSPC);
    TJournal j;
    const TResultatAxeX r = AppliquerAxeX(FaireV3S(0, 0, 0), FaireV3S(1, 2, 0), d / "s.ANSCSRC", j);
    InjecterPanneEcriture(0, 0);
    EXPECT_FALSE(r.Applique);
    EXPECT_FALSE(r.Abandonne);
    EXPECT_EQ(r.N, 25);
    EXPECT_NE(r.Message.find("disque plein"), std::string::npos) << r.Message;
    EXPECT_NE(r.Message.find("aucun point n'a été modifié"), std::string::npos) << r.Message;
    EXPECT_EQ(LireFichier(d / "s.ANSCSRC"), avant);
    EXPECT_EQ(d.Contenu(), std::vector<std::string>{"s.ANSCSRC"});
}

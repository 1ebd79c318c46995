// The sorting builder against the point-by-point one: every cube of every level, in list order, with
// its corner, sums, colour, count, slot and children, before and after averaging, and the messages.

#include "ConstructionArbre.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <thread>
#include <vector>

using namespace tessarc;

namespace {

struct TArbre {
    TNuage n;
    std::vector<std::string> messages;
};

void Preparer(TArbre& a, const std::vector<TPointFichier>& pts, int nivMax) {
    a.n.NivMax = nivMax;
    a.n.SurMessage = [&a](const std::string& m) { a.messages.push_back(m); };
    a.n.CooMin = FaireV3S(3.4028235e38f, 3.4028235e38f, 3.4028235e38f);
    a.n.CooMax = FaireV3S(-3.4028235e38f, -3.4028235e38f, -3.4028235e38f);
    for (const TPointFichier& p : pts) {
        const float v[4] = {0, p.X, p.Y, p.Z};
        for (int k = 1; k <= 3; ++k) {
            a.n.CooMin[k] = std::min(a.n.CooMin[k], v[k]);
            a.n.CooMax[k] = std::max(a.n.CooMax[k], v[k]);
        }
    }
    (void)a.n.CalculerEtendue();
    a.n.DimensionnerGrille();
}

void ParPoints(TArbre& a, const std::vector<TPointFichier>& pts, int nivMax) {
    Preparer(a, pts, nivMax);
    for (const TPointFichier& p : pts) a.n.InsererPoint(p.X, p.Y, p.Z, p.Couleur);
}

void ParTri(TArbre& a, const std::vector<TPointFichier>& pts, int nivMax, bool moyenner = true) {
    Preparer(a, pts, nivMax);
    TSourceMemoire source(pts);
    TOptionsConstruction options;
    options.Moyenner = moyenner;
    ConstruireArbreTrie(a.n, source, options);
}

bool Egaux(const TV3S& a, const TV3S& b) {
    for (int k = 1; k <= 3; ++k)
        if (std::bit_cast<std::uint32_t>(a[k]) != std::bit_cast<std::uint32_t>(b[k])) return false;
    return true;
}

// Both trees walked together: roots in cell order, children in slot order; then every level list.
void Comparer(const TNuage& a, const TNuage& b) {
    ASSERT_EQ(a.NbCubesNiv, b.NbCubesNiv);
    const auto memeCube = [](const TCube* x, const TCube* y) {
        return Egaux(x->CooOriCube, y->CooOriCube) && Egaux(x->CooMoyPts, y->CooMoyPts) &&
               x->ColCube == y->ColCube && x->nbptscube == y->nbptscube && x->NivCube == y->NivCube &&
               x->SlotParent == y->SlotParent && x->etatSP == y->etatSP && x->Vivant == y->Vivant;
    };
    std::vector<const TCube*> pa, pb;
    const auto arbre = [](const TNuage& n, std::vector<const TCube*>& sortie) {
        std::vector<const TCube*> pile;
        n.PourRacines([&](TCube* r) { pile.push_back(r); });
        std::reverse(pile.begin(), pile.end());
        while (!pile.empty()) {
            const TCube* c = pile.back();
            pile.pop_back();
            sortie.push_back(c);
            std::vector<const TCube*> enfants;
            n.PourEnfants(c, [&](TCube* e) { enfants.push_back(e); });
            pile.insert(pile.end(), enfants.rbegin(), enfants.rend());
            sortie.push_back(nullptr); // end of the children of c
        }
    };
    arbre(a, pa);
    arbre(b, pb);
    ASSERT_EQ(pa.size(), pb.size());
    for (std::size_t k = 0; k < pa.size(); ++k) {
        ASSERT_EQ(pa[k] == nullptr, pb[k] == nullptr) << "arbre, rang " << k;
        ASSERT_TRUE(pa[k] == nullptr || memeCube(pa[k], pb[k])) << "arbre, rang " << k;
    }
    for (int niv = 0; niv < NbNiveaux; ++niv) {
        const TCube* x = a.TeteNiv(niv);
        const TCube* y = b.TeteNiv(niv);
        for (std::int32_t k = 0; k < a.NbCubesNiv[static_cast<std::size_t>(niv)]; ++k) {
            ASSERT_TRUE(x != nullptr && y != nullptr && memeCube(x, y)) << "niveau " << niv << ", rang " << k;
            x = a.Suivant(x);
            y = b.Suivant(y);
        }
        ASSERT_EQ(x, nullptr);
        ASSERT_EQ(y, nullptr);
    }
}

// Same tree from both builders: with the sums of the leaves, after the averaging pass, and averaged as
// it is built.
void VerifierIdentite(const std::vector<TPointFichier>& pts, int nivMax = 4) {
    TArbre reference, trie, moyenne;
    ParPoints(reference, pts, nivMax);
    ParTri(trie, pts, nivMax, false);
    EXPECT_EQ(trie.messages, reference.messages);
    Comparer(reference.n, trie.n);
    reference.n.CalculerMoyennesRacines();
    trie.n.CalculerMoyennesRacines();
    Comparer(reference.n, trie.n);
    ParTri(moyenne, pts, nivMax);
    moyenne.n.CalculerMoyennesRacines();
    Comparer(reference.n, moyenne.n);
}

TPointFichier Point(float x, float y, float z, std::uint32_t couleur) {
    return TPointFichier{x, y, z, std::bit_cast<TV4By>(couleur)};
}

std::vector<TPointFichier> Aleatoires(std::size_t n, float bas, float haut, unsigned graine) {
    std::mt19937 g(graine);
    std::uniform_real_distribution<float> u(bas, haut);
    std::vector<TPointFichier> pts;
    for (std::size_t i = 0; i < n; ++i) pts.push_back(Point(u(g), u(g), u(g) * 0.5f, static_cast<std::uint32_t>(g())));
    return pts;
}

// X Y Z R G B lines of a text scan.
std::vector<TPointFichier> LireXYZ(const std::filesystem::path& nom) {
    std::ifstream f(nom);
    std::vector<TPointFichier> pts;
    for (std::string ligne; std::getline(f, ligne);) {
        double v[6] = {};
        const char* p = ligne.data();
        const char* fin = p + ligne.size();
        for (double& x : v) {
            while (p < fin && *p == ' ') ++p;
            p = std::from_chars(p, fin, x).ptr;
        }
        pts.push_back(TPointFichier{static_cast<float>(v[0]), static_cast<float>(v[1]), static_cast<float>(v[2]),
                                    TV4By{{static_cast<std::uint8_t>(v[3]), static_cast<std::uint8_t>(v[4]),
                                           static_cast<std::uint8_t>(v[5]), 0}}});
    }
    return pts;
}

} // namespace

TEST(ConstruireArbreTrie, GivesThePointByPointTreeOnRandomCloudsAtEveryLeafLevel) {
    const auto pts = Aleatoires(60000, -2.5f, 3.5f, 5);
    for (int nivMax = 0; nivMax < NbNiveaux; ++nivMax) {
        SCOPED_TRACE(nivMax);
        VerifierIdentite(pts, nivMax);
    }
}

TEST(ConstruireArbreTrie, KeepsFileOrderInLeavesOfManyPoints) {
    // 40 positions for 30000 points: leaves of hundreds of points, whose sums and running colour means
    // depend on the order of their points.
    std::mt19937 g(9);
    std::vector<TPointFichier> pts;
    for (int i = 0; i < 30000; ++i) {
        const auto k = static_cast<float>(g() % 40);
        pts.push_back(Point(0.3f + k * 0.0101f, 0.7f + 0.000001f * static_cast<float>(g() % 100), 0.05f * k,
                            static_cast<std::uint32_t>(g())));
    }
    VerifierIdentite(pts);
}

TEST(ConstruireArbreTrie, RoutesPointsOnCubeFacesAndRoundingEdgesAlike) {
    // Multiples of every cube side and the floats next to them, on both sides of zero.
    std::vector<TPointFichier> pts;
    std::uint32_t c = 1;
    for (const float cote : CoteNiv)
        for (int k = -12; k <= 12; ++k) {
            const float v = static_cast<float>(k) * cote;
            for (const float x : {v, std::nextafter(v, -1e9f), std::nextafter(v, 1e9f)})
                for (const float y : {v, std::nextafter(v, 1e9f)}) pts.push_back(Point(x, y, -x, c++ * 2654435761u));
        }
    VerifierIdentite(pts);
}

TEST(ConstruireArbreTrie, SaysErreurForEachPointOutsideTheExtentAndDropsIt) {
    auto pts = Aleatoires(5000, 0.0f, 2.0f, 3);
    TArbre reference, trie;
    Preparer(reference, pts, 4);
    Preparer(trie, pts, 4);
    pts.insert(pts.begin() + 100, {Point(9.5f, 0.5f, 0.5f, 1), Point(-3.0f, 0.5f, 0.5f, 2)});
    pts.push_back(Point(0.5f, 0.5f, 7.0f, 3));
    for (const TPointFichier& p : pts) reference.n.InsererPoint(p.X, p.Y, p.Z, p.Couleur);
    reference.n.CalculerMoyennesRacines();
    TSourceMemoire source(pts);
    ConstruireArbreTrie(trie.n, source);
    EXPECT_EQ(trie.messages, (std::vector<std::string>{"erreur", "erreur", "erreur"}));
    EXPECT_EQ(trie.messages, reference.messages);
    Comparer(reference.n, trie.n);
}

TEST(ConstruireArbreTrie, GivesThePointByPointTreeOnTheGeneratedVaultAndTheLion) {
    const std::filesystem::path dossier = std::filesystem::temp_directory_path() / "tessarc-essai-voute";
    std::filesystem::create_directories(dossier);
    const auto voute = dossier / "voute.xyz";
    const std::string commande = std::string(TESSARC_GENVOUTE) + " --points 150000 --sortie " + voute.string() + " 2>/dev/null";
    ASSERT_EQ(std::system(commande.c_str()), 0);
    VerifierIdentite(LireXYZ(voute));
    std::filesystem::remove_all(dossier);
    const std::filesystem::path lion = std::filesystem::path(TESSARC_SHARED_DATA) / "lion_takanawa.xyz";
    if (!std::filesystem::exists(lion)) GTEST_SKIP() << "scan partagé absent";
    VerifierIdentite(LireXYZ(lion));
}

TEST(ConstruireArbreTrie, ReportsProgressOnTheCallingThreadAndStopsWhenItThrows) {
    const auto pts = Aleatoires(300000, 0.0f, 3.0f, 11);
    TArbre a;
    Preparer(a, pts, 4);
    TSourceMemoire source(pts);
    std::vector<std::int64_t> faits;
    TOptionsConstruction options;
    const auto appelant = std::this_thread::get_id();
    options.Avancer = [&](std::int64_t f) {
        EXPECT_EQ(std::this_thread::get_id(), appelant);
        faits.push_back(f);
    };
    ConstruireArbreTrie(a.n, source, options);
    ASSERT_GE(faits.size(), 5u);
    EXPECT_TRUE(std::is_sorted(faits.begin(), faits.end()));
    EXPECT_EQ(faits.back(), 300000);

    // Stopped at every stage in turn (reading, sorting, building), the build unwinds and the emptied
    // tree builds again.
    for (const std::int64_t arret : {1, 100000, 150000, 250000}) {
        TArbre b;
        Preparer(b, pts, 4);
        TSourceMemoire s(pts);
        options.Avancer = [&](std::int64_t f) {
            if (f >= arret) throw std::runtime_error("abandon");
        };
        EXPECT_THROW(ConstruireArbreTrie(b.n, s, options), std::runtime_error);
        b.n.Vider();
        Preparer(b, pts, 4);
        s.Rembobiner();
        ConstruireArbreTrie(b.n, s);
        EXPECT_EQ(b.n.NbCubesNiv, a.n.NbCubesNiv);
    }
}

TEST(ConstruireArbreTrie, RefusesATreeBeyondTheMemoryBeforeMakingItsLeaves) {
    const auto pts = Aleatoires(50000, 0.0f, 2.0f, 1);
    TArbre a;
    Preparer(a, pts, 4);
    TSourceMemoire source(pts);
    TOptionsConstruction options;
    options.MemoireDisponible = 2'500'000; // enough to sort the points (48 bytes each), not for the cubes
    try {
        ConstruireArbreTrie(a.n, source, options);
        FAIL() << "arbre construit";
    } catch (const EArbreTropGrand& e) {
        EXPECT_NE(std::string(e.what()).find("l'arbre de "), std::string::npos) << e.what();
        EXPECT_NE(std::string(e.what()).find(" Mo"), std::string::npos) << e.what();
    }
    EXPECT_EQ(a.n.NbCubesNiv[4], 0);
    options.MemoireDisponible = 1000;
    source.Rembobiner();
    a.n.Vider();
    Preparer(a, pts, 4);
    EXPECT_THROW(ConstruireArbreTrie(a.n, source, options), EArbreTropGrand) << "the sort itself";
}

TEST(ConstruireArbreTrie, ItsTreeTakesPointsCompactsAndFindsParentsLikeTheOther) {
    // Cubes built from sorted points keep their children side by side; a point added afterwards, a
    // deletion and a compaction must treat them as the point-by-point cubes.
    const auto pts = Aleatoires(20000, 0.0f, 2.0f, 21);
    TArbre reference, trie;
    ParPoints(reference, pts, 4);
    reference.n.CalculerMoyennesRacines();
    ParTri(trie, pts, 4);
    for (TArbre* a : {&reference, &trie}) {
        TNuage& n = a->n;
        n.ChoisirNivAffiche(4);
        for (std::size_t k = 0; k < n.CubesAffiches.size(); k += 3) n.MarquerSupprime(n.CubesAffiches[k], true);
        n.ChoisirNivAffiche(2);
        n.MarquerSupprime(n.CubesAffiches[5], true);
        n.CompacterNuage();
        n.InsererPoint(0.5f, 0.5f, 0.5f, TV4By{{1, 2, 3, 4}});
        n.InsererPoint(1.9f, 0.01f, 0.3f, TV4By{{1, 2, 3, 4}});
        n.ChoisirNivAffiche(3);
        n.Detruire(n.CubesAffiches[7]);
        for (TCube* c = n.TeteNiv(4); c != nullptr; c = n.Suivant(c)) {
            const TCube* p = n.Parent(c);
            ASSERT_NE(p, nullptr);
            ASSERT_EQ(n.Enfant(p, c->SlotParent), c);
        }
    }
    Comparer(reference.n, trie.n);
}

#include "ConstructionArbre.h"

#include "Equipe.h"
#include "TableHachage.h"
#include "ZoneMemoire.h"

#include <algorithm>
#include <atomic>
#include <bit>
#include <cmath>
#include <cstring>
#include <fstream>
#include <limits>
#include <numeric>
#include <string>
#include <vector>

#include <unistd.h>

namespace tessarc {

namespace {

constexpr std::size_t PointsParBloc = 65536;
constexpr std::size_t PointsParMorceau = 4096;
constexpr std::size_t PointsEnSemble = 8; // routed side by side, so that their chains of roundings overlap
constexpr std::uint32_t HorsEtendue = 0xFFFFFFFFu; // the path of a point outside every root cell
constexpr std::uint32_t SansUnite = 0xFFFFFFFFu;
constexpr std::size_t GrandeUnite = std::size_t{1} << 20;
// Memory is faulted in or given back a megabyte or more at a time: a call to the system per small cube
// would cost more than it saves.
constexpr std::uint32_t RecordsEnBloc = 16384;
constexpr std::uint64_t EntreesEnBloc = 65536;

// The path holds one 7-bit digit per level 1 to 4, level 1 the highest, so that sorting paths as
// numbers sorts them level by level.
constexpr int Decalage(int niveau) {
    return (NbNiveaux - 1 - niveau) * 7;
}
inline std::uint32_t Chiffre(std::uint32_t chemin, int niveau) {
    return (chemin >> Decalage(niveau)) & 127u;
}

// One point on its way into the tree, grouped by 20 cm cube: its path and its number in the file.
struct TEntree {
    TPointFichier Point;
    std::uint32_t Chemin = 0;
    std::uint32_t Numero = 0;
};
static_assert(sizeof(TEntree) == 24);

// What the first reading keeps of each point, in file order.
struct TClasse {
    std::uint32_t Unite = 0; // its 20 cm cube
    std::uint32_t Chemin = 0;
};

// The child slots of points as the reference builder finds them: trunc((c - o) / s) lowered to 4 on each
// axis, from the corner o of the cube, then the child's corner. c - o is never negative: a point routed
// from its root cell lies above every corner on its way, each corner being rounded from a value below
// the point, which is itself a single; so the reference never says "erreur" there.

// Levels debut + 1 to nivMax of up to PointsEnSemble points side by side, so that their chains of
// roundings overlap: o holds the corners of their cubes of level debut, chemins their digits so far.
void Chemins(const float (&c)[3][PointsEnSemble], float (&o)[3][PointsEnSemble], int debut, int nivMax,
             std::uint32_t (&chemins)[PointsEnSemble]) {
    for (int niv = debut; niv < nivMax; ++niv) {
        const double s = CoteNiv[static_cast<std::size_t>(niv) + 1];
        int idx[3][PointsEnSemble];
        for (std::size_t a = 0; a < 3; ++a)
            for (std::size_t k = 0; k < PointsEnSemble; ++k) {
                const double q = (double(c[a][k]) - double(o[a][k])) / s;
                const int t = static_cast<int>(q < 8.0 ? q : 8.0);
                idx[a][k] = t < 4 ? t : 4;
                o[a][k] = TNuage::CoinEnfant(o[a][k], idx[a][k], s);
            }
        for (std::size_t k = 0; k < PointsEnSemble; ++k)
            chemins[k] |= static_cast<std::uint32_t>(25 * idx[0][k] + 5 * idx[1][k] + idx[2][k]) << Decalage(niv + 1);
    }
}

// The first levels of one point, and around it on each axis the coordinates that surely take the same
// digits: there the quotients lie farther from a whole number than any rounding of theirs. Points that
// follow inside these bounds, in the same root cell, take the same digits and corner at no cost.
struct THaut {
    TCellule Cellule{};
    bool Valide = false;
    std::uint32_t Chemin = 0;
    std::array<float, 3> Coin{};
    std::array<double, 3> Bas{};
    std::array<double, 3> Haut{};

    [[nodiscard]] bool Contient(const TCellule& c, const double (&x)[3]) const {
        return Valide && c == Cellule && x[0] >= Bas[0] && x[0] <= Haut[0] && x[1] >= Bas[1] && x[1] <= Haut[1] &&
               x[2] >= Bas[2] && x[2] <= Haut[2];
    }

    void Calculer(const TCellule& c, const TV3S& coin, const double (&x)[3], int niveaux) {
        Cellule = c;
        Valide = true;
        Chemin = 0;
        const double marge = 1e-9 * (1.0 + std::abs(double(coin[1])) + std::abs(double(coin[2])) + std::abs(double(coin[3])));
        for (std::size_t a = 0; a < 3; ++a) {
            Coin[a] = coin[static_cast<int>(a) + 1];
            Bas[a] = -std::numeric_limits<double>::infinity();
            Haut[a] = std::numeric_limits<double>::infinity();
        }
        for (int niv = 0; niv < niveaux; ++niv) {
            const double s = CoteNiv[static_cast<std::size_t>(niv) + 1];
            int idx[3];
            for (std::size_t a = 0; a < 3; ++a) {
                const double o = Coin[a];
                const double q = (x[a] - o) / s;
                const int t = static_cast<int>(q < 8.0 ? q : 8.0);
                idx[a] = t < 4 ? t : 4;
                Bas[a] = std::max(Bas[a], o + idx[a] * s + marge);
                if (idx[a] < 4) Haut[a] = std::min(Haut[a], o + (idx[a] + 1) * s - marge);
                Coin[a] = TNuage::CoinEnfant(Coin[a], idx[a], s);
            }
            Chemin |= static_cast<std::uint32_t>(25 * idx[0] + 5 * idx[1] + idx[2]) << Decalage(niv + 1);
        }
    }
};

// The first level from 2 on where two paths of one 20 cm cube part, nivMax + 1 if nowhere.
int Separation(std::uint32_t a, std::uint32_t b, int nivMax) {
    const std::uint32_t x = (a ^ b) & ((1u << Decalage(1)) - 1);
    if (x == 0) return nivMax + 1;
    return NbNiveaux - 1 - (31 - std::countl_zero(x)) / 7;
}

// Stable sort of the entries of a 20 cm cube by path, digits nivMax down to 2 (least significant first).
void TrierParChemin(std::span<TEntree> e, std::vector<TEntree>& tampon, int nivMax) {
    if (e.size() < 2) return;
    if (e.size() <= 32) {
        for (std::size_t i = 1; i < e.size(); ++i) {
            const TEntree x = e[i];
            std::size_t j = i;
            for (; j > 0 && e[j - 1].Chemin > x.Chemin; --j) e[j] = e[j - 1];
            e[j] = x;
        }
        return;
    }
    if (tampon.size() < e.size()) tampon.resize(e.size());
    TEntree* source = e.data();
    TEntree* dest = tampon.data();
    for (int niv = nivMax; niv >= 2; --niv) {
        std::array<std::uint32_t, 129> compte{};
        for (const TEntree& x : std::span(source, e.size())) ++compte[Chiffre(x.Chemin, niv) + 1];
        if (std::any_of(compte.begin(), compte.end(), [&](std::uint32_t c) { return c == e.size(); })) continue;
        std::partial_sum(compte.begin(), compte.end(), compte.begin());
        for (const TEntree& x : std::span(source, e.size())) dest[compte[Chiffre(x.Chemin, niv)]++] = x;
        std::swap(source, dest);
    }
    if (source != e.data()) std::memcpy(e.data(), source, e.size() * sizeof(TEntree));
}

// The cubes of levels 2 to nivMax under a 20 cm cube, from its entries sorted by path: ouvrir(niv, x)
// when entry x reaches a new cube of level niv (depth first: in the order of the pools), fermer(niv,
// premier) when that cube ends, with the number of its first point, point(x) for every entry.
template <typename O, typename F, typename P>
void Parcourir(std::span<const TEntree> e, int nivMax, O&& ouvrir, F&& fermer, P&& point) {
    std::array<std::uint32_t, NbNiveaux> premier{};
    for (std::size_t j = 0; j < e.size(); ++j) {
        const TEntree& x = e[j];
        const int haut = j == 0 ? 2 : Separation(e[j - 1].Chemin, x.Chemin, nivMax);
        if (j > 0)
            for (int niv = nivMax; niv >= haut; --niv) fermer(niv, premier[static_cast<std::size_t>(niv)]);
        // The points of a cube are sorted by path, not by number: its first point has the smallest.
        for (int niv = 2; niv < haut; ++niv)
            premier[static_cast<std::size_t>(niv)] = std::min(premier[static_cast<std::size_t>(niv)], x.Numero);
        for (int niv = haut; niv <= nivMax; ++niv) {
            premier[static_cast<std::size_t>(niv)] = x.Numero;
            ouvrir(niv, x);
        }
        point(x);
    }
    if (!e.empty())
        for (int niv = nivMax; niv >= 2; --niv) fermer(niv, premier[static_cast<std::size_t>(niv)]);
}

std::size_t MemoireSysteme() {
    std::ifstream f("/proc/meminfo");
    std::string cle;
    std::size_t ko = 0;
    std::string unite;
    while (f >> cle >> ko >> unite)
        if (cle == "MemAvailable:") return ko * 1024;
    const long pages = sysconf(_SC_AVPHYS_PAGES);
    const long page = sysconf(_SC_PAGESIZE);
    return pages > 0 && page > 0 ? static_cast<std::size_t>(pages) * static_cast<std::size_t>(page) : SIZE_MAX;
}

std::string Mo(std::size_t octets) {
    return std::to_string((octets + 999'999) / 1'000'000) + " Mo";
}

} // namespace

class TConstructeurArbre {
public:
    TConstructeurArbre(TNuage& nuage, ISourcePoints& source, const TOptionsConstruction& options)
        : n_(nuage), source_(source), options_(options), D_(nuage.NivMax),
          N_(static_cast<std::uint64_t>(std::max<std::int64_t>(source.Nombre(), 0))) {}

    void Construire();

private:
    struct TUnite {
        IndexCube Racine = 0;
        std::uint32_t Chiffre = 0;
        std::uint32_t Nb = 0;
    };
    struct TBloc {
        std::vector<TPointFichier> Points = std::vector<TPointFichier>(PointsParBloc);
        std::vector<std::uint32_t> Chemins = std::vector<std::uint32_t>(PointsParBloc);
        std::vector<TCellule> Cellules = std::vector<TCellule>(PointsParBloc);
        std::size_t Nb = 0;
        std::uint64_t Premier = 0;
    };
    // The cube being built at one level of a 20 cm cube, and the sums of its children averaged so far.
    struct TOuvert {
        TCube* Cube = nullptr;
        IndexCube Index = 0;
        std::uint32_t Emplacements = 0;
        IndexCube PremierEnfant = 0;
        std::array<std::uint32_t, 4> Masque{};
        TNuage::TSommes Sommes;
    };

    void Avancer(std::uint64_t fait) const;
    void VerifierMemoire(std::size_t besoin, std::size_t libere, const std::string& quoi) const;

    void Lire();
    void Remplir(TBloc& b, std::uint64_t premier);
    void Router(TBloc& b, std::size_t morceau) const;
    void Classer(const TBloc& b);
    IndexCube RacineDe(const TCellule& c);
    std::uint32_t UniteDe(IndexCube racine, std::uint32_t chiffre);

    void Regrouper();
    void TrierUnites();
    void PlacerUnites();
    void Reserver();
    void BatirUnites();
    void BatirUnite(std::size_t rang);
    [[nodiscard]] std::uint32_t Rang(int niv, std::uint32_t premier) const;
    void Ouvrir(std::array<TOuvert, NbNiveaux>& o, int niv, std::uint32_t chiffre, std::uint32_t& emplacement,
                std::uint32_t& position);
    void Fermer(std::array<TOuvert, NbNiveaux>& o, int niv, std::uint32_t premier);
    void MoyennerRacines();

    TNuage& n_;
    ISourcePoints& source_;
    const TOptionsConstruction& options_;
    const int D_;
    const std::uint64_t N_;
    std::uint64_t lus_ = 0;
    bool finSource_ = false;
    TEquipe equipe_;

    TCellule derniereCellule_{};
    IndexCube derniereRacine_ = 0;
    std::uint64_t derniereCle_ = ~std::uint64_t{0};
    std::uint32_t derniereUnite_ = 0;
    struct THachageUnite {
        std::size_t operator()(std::uint64_t x) const noexcept {
            x = (x ^ (x >> 30)) * 0xBF58476D1CE4E5B9ULL;
            x = (x ^ (x >> 27)) * 0x94D049BB133111EBULL;
            return static_cast<std::size_t>(x ^ (x >> 31));
        }
    };
    TTableHachage<std::uint64_t, THachageUnite> indexUnites_;
    std::vector<TUnite> unites_;

    TZone<TClasse> classes_; // in file order
    TZone<TEntree> groupe_; // by 20 cm cube, in file order within each
    std::vector<std::uint32_t> ordre_; // units by root, then slot
    std::vector<std::uint32_t> rang_;  // place of each unit in ordre_
    std::vector<std::uint64_t> debut_; // first entry of each place in groupe_
    std::vector<std::array<std::uint32_t, NbNiveaux>> compte_; // cubes per level under each place
    std::array<std::uint32_t, NbNiveaux> total_{};
    std::array<std::uint32_t, NbNiveaux> base_{};
    std::vector<std::array<std::uint32_t, NbNiveaux>> decalages_; // first cube of each place per level
    std::vector<std::uint32_t> premierBloc_; // first run block of each place, from premiereSuite_
    std::uint32_t premiereSuite_ = 0;
    // Per thread, then merged, per level: the first points of its cubes, and how many come before each word.
    std::array<std::array<TZone<std::uint64_t>, NbNiveaux>, 2> premiers_;
    std::array<std::vector<std::uint32_t>, NbNiveaux> avant_;
    std::vector<TNuage::TSommes> sommes_;                  // of each place, once averaged
};

void TConstructeurArbre::Avancer(std::uint64_t fait) const {
    if (options_.Avancer) options_.Avancer(static_cast<std::int64_t>(std::min(fait / 3, N_)));
}

void TConstructeurArbre::VerifierMemoire(std::size_t besoin, std::size_t libere, const std::string& quoi) const {
    const std::size_t systeme = options_.MemoireDisponible != 0 ? options_.MemoireDisponible : MemoireSysteme();
    const std::size_t disponible = systeme > SIZE_MAX - libere ? SIZE_MAX : systeme + libere;
    if (besoin > disponible)
        throw EArbreTropGrand(quoi + " demande " + Mo(besoin) + " de mémoire, il n'en reste que " +
                              Mo(disponible) + " : nuage trop grand pour cette machine");
}

// ---- Reading: every point routed and filed by 20 cm cube ----------------------------------------------

void TConstructeurArbre::Remplir(TBloc& b, std::uint64_t premier) {
    b.Premier = premier;
    b.Nb = 0;
    if (finSource_) return;
    const auto voulu = static_cast<std::size_t>(std::min<std::uint64_t>(PointsParBloc, N_ - premier));
    if (voulu > 0) b.Nb = source_.Lire(std::span(b.Points.data(), voulu));
    if (b.Nb < voulu || b.Nb == 0) finSource_ = true;
}

void TConstructeurArbre::Router(TBloc& b, std::size_t morceau) const {
    const std::size_t fin = std::min(b.Nb, (morceau + 1) * PointsParMorceau);
    // The 20 cm and 4 cm cubes change seldom from a point to the next one of a scan.
    const int haut = std::min(D_, 2);
    THaut dernier;
    for (std::size_t k0 = morceau * PointsParMorceau; k0 < fin; k0 += PointsEnSemble) {
        float c[3][PointsEnSemble] = {};
        float o[3][PointsEnSemble] = {};
        std::uint32_t chemins[PointsEnSemble] = {};
        bool dedans[PointsEnSemble] = {};
        for (std::size_t k = 0; k < PointsEnSemble && k0 + k < fin; ++k) {
            const TPointFichier& p = b.Points[k0 + k];
            const double x[3] = {p.X, p.Y, p.Z};
            TCellule cellule;
            dedans[k] = n_.CelluleDuPoint(p.X, p.Y, p.Z, cellule);
            if (!dedans[k]) continue;
            b.Cellules[k0 + k] = cellule;
            if (!dernier.Contient(cellule, x)) dernier.Calculer(cellule, n_.CoinRacine(cellule), x, haut);
            chemins[k] = dernier.Chemin;
            for (std::size_t a = 0; a < 3; ++a) {
                c[a][k] = static_cast<float>(x[a]);
                o[a][k] = dernier.Coin[a];
            }
        }
        Chemins(c, o, haut, D_, chemins);
        for (std::size_t k = 0; k < PointsEnSemble && k0 + k < fin; ++k)
            b.Chemins[k0 + k] = dedans[k] ? chemins[k] : HorsEtendue;
    }
}

IndexCube TConstructeurArbre::RacineDe(const TCellule& c) {
    if (derniereRacine_ != 0 && c == derniereCellule_) return derniereRacine_;
    IndexCube r = n_.racines_.Trouver(c);
    if (r == 0) {
        r = n_.Creer(0, n_.CoinRacine(c), false);
        n_.racines_.Poser(c, r);
    }
    derniereCellule_ = c;
    derniereRacine_ = r;
    return r;
}

std::uint32_t TConstructeurArbre::UniteDe(IndexCube racine, std::uint32_t chiffre) {
    const std::uint64_t cle = (std::uint64_t{racine} << 7) | chiffre;
    if (cle == derniereCle_) return derniereUnite_;
    // The table holds the unit plus one: 0 is no unit.
    std::uint32_t u = indexUnites_.Trouver(cle);
    if (u == 0) {
        unites_.push_back(TUnite{racine, chiffre, 0});
        u = static_cast<std::uint32_t>(unites_.size());
        indexUnites_.Poser(cle, u);
    }
    derniereCle_ = cle;
    derniereUnite_ = u - 1;
    return u - 1;
}

// In file order, on the calling thread: the roots and 20 cm cubes are created as the reference builder
// creates them, and its messages are said.
void TConstructeurArbre::Classer(const TBloc& b) {
    for (std::size_t k = 0; k < b.Nb; ++k) {
        const std::uint64_t i = b.Premier + k;
        const std::uint32_t chemin = b.Chemins[k];
        if (chemin == HorsEtendue) {
            // The zone reads 0, which is a unit: a point out of the extent says it has none.
            if (D_ >= 1) classes_[i].Unite = SansUnite;
            n_.Signaler("erreur");
            continue;
        }
        const IndexCube racine = RacineDe(b.Cellules[k]);
        const TPointFichier& p = b.Points[k];
        if (D_ == 0) {
            TNuage::AjouterALaFeuille(n_.Cube(racine), p.X, p.Y, p.Z, p.Couleur);
            continue;
        }
        const std::uint32_t u = UniteDe(racine, Chiffre(chemin, 1));
        classes_[i] = TClasse{u, chemin};
        ++unites_[u].Nb;
    }
}

// Three blocks turn: the calling thread files one (it makes cubes and says the messages) while the
// helper reads the next, and both route the one between them.
void TConstructeurArbre::Lire() {
    if (D_ >= 1) {
        VerifierMemoire(N_ * (sizeof(TEntree) + sizeof(TClasse)), 0, "le tri de " + std::to_string(N_) + " points");
        classes_ = TZone<TClasse>(N_);
    }
    std::array<TBloc, 3> blocs;
    Remplir(blocs[0], 0);
    for (std::size_t t = 0;; ++t) {
        TBloc& aRouter = blocs[t % 3];
        TBloc* aClasser = t > 0 ? &blocs[(t - 1) % 3] : nullptr;
        if (aRouter.Nb == 0 && (aClasser == nullptr || aClasser->Nb == 0)) break;
        TDistributeur morceaux((aRouter.Nb + PointsParMorceau - 1) / PointsParMorceau);
        equipe_.Executer([&](int part) {
            if (part == 0 && aClasser != nullptr) Classer(*aClasser);
            if (part == 1) {
                TBloc& suivant = blocs[(t + 1) % 3];
                Remplir(suivant, aRouter.Premier + aRouter.Nb);
                // The entries the calling thread will write are faulted in here, off its path.
                if (D_ >= 1) classes_.Preparer(suivant.Premier, suivant.Premier + suivant.Nb);
            }
            for (std::size_t m; !equipe_.Arret() && morceaux.Prendre(m);) Router(aRouter, m);
        });
        lus_ = aRouter.Premier + aRouter.Nb;
        Avancer(lus_);
    }
}

// ---- Grouping by 20 cm cube -----------------------------------------------------------------------------

// The points read again and each put in its place among those of its 20 cm cube, in file order: the
// helper reads the next block while both threads file this one, each its own cubes; reading costs about
// as much as filing half of them, so the helper files one cube in four.
void TConstructeurArbre::Regrouper() {
    const std::size_t U = unites_.size();
    ordre_.resize(U);
    std::iota(ordre_.begin(), ordre_.end(), 0u);
    std::sort(ordre_.begin(), ordre_.end(), [&](std::uint32_t a, std::uint32_t b) {
        return std::pair(unites_[a].Racine, unites_[a].Chiffre) < std::pair(unites_[b].Racine, unites_[b].Chiffre);
    });
    rang_.resize(U);
    debut_.assign(U + 1, 0);
    for (std::size_t k = 0; k < U; ++k) {
        rang_[ordre_[k]] = static_cast<std::uint32_t>(k);
        debut_[k + 1] = debut_[k] + unites_[ordre_[k]].Nb;
    }
    std::vector<std::uint64_t> curseurs(U);
    for (std::size_t u = 0; u < U; ++u) curseurs[u] = debut_[rang_[u]];
    groupe_ = TZone<TEntree>(debut_[U]);
    equipe_.Executer([&](int part) { groupe_.Preparer(part == 0 ? 0 : debut_[U] / 2, part == 0 ? debut_[U] / 2 : debut_[U]); });
    source_.Rembobiner();
    finSource_ = false;
    std::array<TBloc, 2> blocs;
    Remplir(blocs[0], 0);
    for (std::size_t t = 0; blocs[t % 2].Nb > 0; ++t) {
        const TBloc& b = blocs[t % 2];
        equipe_.Executer([&](int part) {
            if (part == 1) Remplir(blocs[(t + 1) % 2], b.Premier + b.Nb);
            for (std::size_t k = 0; k < b.Nb; ++k) {
                const TClasse c = classes_[b.Premier + k];
                if (c.Unite == SansUnite || static_cast<int>(c.Unite % 4 == 0) != part) continue;
                groupe_[curseurs[c.Unite]++] =
                    TEntree{b.Points[k], c.Chemin, static_cast<std::uint32_t>(b.Premier + k)};
            }
        });
        Avancer(lus_ + (b.Premier + b.Nb) / 4);
    }
    classes_ = {};
}

// Each 20 cm cube sorted and counted; the first points of its cubes marked, a map per thread.
void TConstructeurArbre::TrierUnites() {
    const std::size_t U = ordre_.size();
    compte_.assign(U, {});
    for (auto& marques : premiers_)
        for (int niv = 2; niv <= D_; ++niv) marques[static_cast<std::size_t>(niv)] = TZone<std::uint64_t>(N_ / 64 + 1);
    std::atomic<std::uint64_t> faits{0};
    TDistributeur unites(U);
    equipe_.Executer([&](int part) {
        std::vector<TEntree> tampon;
        const auto& marques = premiers_[static_cast<std::size_t>(part)];
        for (std::size_t k; !equipe_.Arret() && unites.Prendre(k);) {
            const std::span<TEntree> e = groupe_.Tranche(debut_[k], debut_[k + 1]);
            TrierParChemin(e, tampon, D_);
            auto& compte = compte_[k];
            Parcourir(
                e, D_, [&](int niv, const TEntree&) { ++compte[static_cast<std::size_t>(niv)]; },
                [&](int niv, std::uint32_t premier) {
                    marques[static_cast<std::size_t>(niv)][premier / 64] |= std::uint64_t{1} << (premier % 64);
                },
                [](const TEntree&) {});
            faits.fetch_add(e.size(), std::memory_order_relaxed);
            if (tampon.size() > GrandeUnite) tampon = {};
            if (part == 0) Avancer(lus_ + lus_ / 4 + 3 * faits.load(std::memory_order_relaxed) / 4);
        }
    });
    // One map per level, and the count of first points before each of its words.
    for (int niv = 2; niv <= D_; ++niv) {
        const auto l = static_cast<std::size_t>(niv);
        const TZone<std::uint64_t>& m = premiers_[0][l];
        const TZone<std::uint64_t>& autre = premiers_[1][l];
        avant_[l].resize(m.size());
        std::uint32_t somme = 0;
        for (std::size_t w = 0; w < m.size(); ++w) {
            m[w] |= autre[w];
            avant_[l][w] = somme;
            somme += Bits(m[w]);
        }
        premiers_[1][l] = {};
    }
}

// The place of a cube in the list of its level: the number of first points before its own.
std::uint32_t TConstructeurArbre::Rang(int niv, std::uint32_t premier) const {
    const auto l = static_cast<std::size_t>(niv);
    const std::uint64_t avant = premiers_[0][l][premier / 64] & ((std::uint64_t{1} << (premier % 64)) - 1);
    return avant_[l][premier / 64] + Bits(avant);
}

// ---- The 20 cm cubes under their roots, room for the levels below --------------------------------

// Level-1 cubes sit in the order of the units: by root, then slot, so that the children of every root
// are side by side; their list follows the order the units were met in.
void TConstructeurArbre::PlacerUnites() {
    const std::size_t U = ordre_.size();
    base_[1] = n_.Reserver(1, static_cast<std::uint32_t>(U)) - TNuage::Index(1, 0);
    n_.NbCubesNiv[1] = static_cast<std::int32_t>(U);
    auto& ordre = n_.ordre_[1];
    ordre.resize(U);
    for (std::size_t u = 0; u < U; ++u) ordre[u] = TNuage::Index(1, base_[1] + rang_[u]);
    const auto R = static_cast<std::uint32_t>(n_.NbCubesNiv[0]);
    std::vector<std::array<std::uint32_t, 4>> masques(R);
    std::vector<IndexCube> premiers(R, 0);
    for (std::size_t k = 0; k < U; ++k) {
        const TUnite& unite = unites_[ordre_[k]];
        const std::uint32_t r = unite.Racine - TNuage::Index(0, 0);
        if (premiers[r] == 0) premiers[r] = TNuage::Index(1, base_[1] + static_cast<std::uint32_t>(k));
        masques[r][unite.Chiffre / 32] |= 1u << (unite.Chiffre % 32);
    }
    const std::uint32_t h = R > 0 ? n_.emplacements_.ReserverSuites(R) : 0;
    for (std::uint32_t r = 0; r < R; ++r) {
        static_cast<TCubeInterne*>(n_.Cube(TNuage::Index(0, r)))->LesEnfants = h + r;
        n_.emplacements_.PoserSuite(h + r, premiers[r], masques[r]);
    }
}

void TConstructeurArbre::Reserver() {
    const std::size_t U = ordre_.size();
    premierBloc_.assign(U, 0);
    decalages_.assign(U, {});
    std::uint64_t blocs = 0;
    std::array<std::uint64_t, NbNiveaux> total{};
    for (std::size_t k = 0; k < U; ++k) {
        premierBloc_[k] = static_cast<std::uint32_t>(std::min<std::uint64_t>(blocs, UINT32_MAX));
        blocs += D_ >= 2 ? 1 : 0;
        for (int niv = 2; niv <= D_; ++niv) {
            const auto l = static_cast<std::size_t>(niv);
            decalages_[k][l] = static_cast<std::uint32_t>(std::min<std::uint64_t>(total[l], UINT32_MAX));
            total[l] += compte_[k][l];
            if (niv < D_) blocs += compte_[k][l];
        }
    }
    std::size_t octets = blocs * TEmplacements::OctetsSuite;
    std::uint64_t cubes = static_cast<std::uint64_t>(n_.NbCubesNiv[0]) + U;
    for (int niv = 2; niv <= D_; ++niv) {
        const std::uint64_t t = total[static_cast<std::size_t>(niv)];
        octets += t * ((niv < NbNiveaux - 1 ? sizeof(TCubeInterne) : sizeof(TCube)) + sizeof(IndexCube));
        cubes += t;
    }
    VerifierMemoire(octets, groupe_.size() * sizeof(TEntree), "l'arbre de " + std::to_string(cubes) + " cubes");
    if (blocs >= UINT32_MAX) throw std::bad_alloc();
    for (int niv = 2; niv <= D_; ++niv) {
        const auto l = static_cast<std::size_t>(niv);
        if (total[l] > TNuage::LimitePositions) throw std::bad_alloc();
        total_[l] = static_cast<std::uint32_t>(total[l]);
        base_[l] = n_.Reserver(niv, total_[l]) - TNuage::Index(niv, 0);
        n_.ordre_[l].resize(total_[l]);
        n_.NbCubesNiv[l] = static_cast<std::int32_t>(total_[l]);
    }
    premiereSuite_ = blocs > 0 ? n_.emplacements_.ReserverSuites(static_cast<std::uint32_t>(blocs)) : 0;
}

// ---- Building each 20 cm cube ---------------------------------------------------------------------------

void TConstructeurArbre::Ouvrir(std::array<TOuvert, NbNiveaux>& o, int niv, std::uint32_t chiffre,
                                std::uint32_t& emplacement, std::uint32_t& position) {
    const auto l = static_cast<std::size_t>(niv);
    TOuvert& parent = o[l - 1];
    TOuvert& c = o[l];
    c.Index = TNuage::Index(niv, position++);
    c.Cube = n_.Cube(c.Index);
    const int idx[4] = {0, static_cast<int>(chiffre / 25), static_cast<int>(chiffre / 5 % 5), static_cast<int>(chiffre % 5)};
    TV3S coin;
    for (int a = 1; a <= 3; ++a) coin[a] = TNuage::CoinEnfant(parent.Cube->CooOriCube[a], idx[a], CoteNiv[l]);
    TNuage::Initialiser(c.Cube, niv, coin);
    c.Cube->SlotParent = static_cast<std::uint8_t>(chiffre);
    c.Masque = {};
    c.PremierEnfant = 0;
    c.Sommes = {};
    if (niv < D_) static_cast<TCubeInterne*>(c.Cube)->LesEnfants = c.Emplacements = emplacement++;
    if (parent.PremierEnfant == 0) parent.PremierEnfant = c.Index;
    parent.Masque[chiffre / 32] |= 1u << (chiffre % 32);
}

// A cube ends once all its children have: it takes its place in its level list and, its children in
// slot order having been averaged, is averaged in turn, as the averaging pass does bottom up.
void TConstructeurArbre::Fermer(std::array<TOuvert, NbNiveaux>& o, int niv, std::uint32_t premier) {
    TOuvert& c = o[static_cast<std::size_t>(niv)];
    c.Cube->RangNiv = Rang(niv, premier);
    n_.ordre_[static_cast<std::size_t>(niv)][c.Cube->RangNiv] = c.Index;
    if (niv < D_) n_.emplacements_.PoserSuite(c.Emplacements, c.PremierEnfant, c.Masque);
    if (!options_.Moyenner) return;
    // A leaf's sums go straight to its parent: copied through the leaf's own they would wait on the
    // stores just made.
    TNuage::TSommes& parent = o[static_cast<std::size_t>(niv) - 1].Sommes;
    if (niv == D_) {
        TNuage::Cumuler(parent, TNuage::MoyennerFeuille(c.Cube));
        return;
    }
    TNuage::Moyenner(c.Cube, c.Sommes);
    TNuage::Cumuler(parent, c.Sommes);
}

void TConstructeurArbre::BatirUnite(std::size_t rang) {
    const std::uint32_t u = ordre_[rang];
    const TUnite& unite = unites_[u];
    const std::span<TEntree> e = groupe_.Tranche(debut_[rang], debut_[rang + 1]);
    std::array<TOuvert, NbNiveaux> o{};
    o[0].Cube = n_.Cube(unite.Racine);
    const auto ajouter = [&](const TEntree& x) {
        TNuage::AjouterALaFeuille(o[static_cast<std::size_t>(D_)].Cube, x.Point.X, x.Point.Y, x.Point.Z, x.Point.Couleur);
    };
    std::uint32_t emplacement = premiereSuite_ + premierBloc_[rang];
    std::uint32_t position1 = base_[1] + static_cast<std::uint32_t>(rang);
    Ouvrir(o, 1, unite.Chiffre, emplacement, position1);
    // The 20 cm cubes were created in the order of the units.
    o[1].Cube->RangNiv = u;
    std::array<std::uint32_t, NbNiveaux> position{};
    for (int niv = 2; niv <= D_; ++niv) {
        const auto l = static_cast<std::size_t>(niv);
        position[l] = base_[l] + decalages_[rang][l];
        // Many records are faulted in at once rather than page by page as they are written.
        if (compte_[rang][l] < RecordsEnBloc) continue;
        if (niv < NbNiveaux - 1)
            n_.internes_[l].Preparer(position[l], compte_[rang][l]);
        else
            n_.feuilles_.Preparer(position[l], compte_[rang][l]);
    }
    if (D_ == 1) {
        for (const TEntree& x : e) ajouter(x);
    } else {
        std::size_t libere = 0;
        Parcourir(
            e, D_,
            [&](int niv, const TEntree& x) {
                Ouvrir(o, niv, Chiffre(x.Chemin, niv), emplacement, position[static_cast<std::size_t>(niv)]);
            },
            [&](int niv, std::uint32_t premier) { Fermer(o, niv, premier); },
            [&](const TEntree& x) {
                ajouter(x);
                // A cube of millions of points gives its entries back as it goes.
                const auto j = static_cast<std::size_t>(&x - e.data());
                if (j - libere >= GrandeUnite) {
                    groupe_.Liberer(debut_[rang] + libere, debut_[rang] + j);
                    libere = j;
                }
            });
        n_.emplacements_.PoserSuite(o[1].Emplacements, o[1].PremierEnfant, o[1].Masque);
    }
    if (!options_.Moyenner) return;
    if (D_ == 1) {
        sommes_[rang] = TNuage::MoyennerFeuille(o[1].Cube);
    } else {
        TNuage::Moyenner(o[1].Cube, o[1].Sommes);
        sommes_[rang] = o[1].Sommes;
    }
}

// Both threads take the 20 cm cubes in order; the caller gives back the entries of the cubes done.
void TConstructeurArbre::BatirUnites() {
    const std::size_t U = ordre_.size();
    sommes_.assign(U, {});
    std::vector<std::atomic<bool>> faite(U);
    std::atomic<std::uint64_t> faits{0};
    std::size_t rendues = 0;
    std::uint64_t rendusEntrees = 0;
    TDistributeur unites(U);
    equipe_.Executer([&](int part) {
        for (std::size_t k; !equipe_.Arret() && unites.Prendre(k);) {
            BatirUnite(k);
            faits.fetch_add(debut_[k + 1] - debut_[k], std::memory_order_relaxed);
            faite[k].store(true, std::memory_order_release);
            if (part != 0) continue;
            while (rendues < U && faite[rendues].load(std::memory_order_acquire)) ++rendues;
            if (debut_[rendues] >= rendusEntrees + EntreesEnBloc) {
                groupe_.LibererJusqua(debut_[rendues]);
                rendusEntrees = debut_[rendues];
            }
            Avancer(2 * lus_ + faits.load(std::memory_order_relaxed));
        }
    });
    groupe_ = {};
}

void TConstructeurArbre::Construire() {
    if (N_ > UINT32_MAX)
        throw EArbreTropGrand(std::to_string(N_) + " points : l'arbre en range 4294967295 au plus");
    Lire();
    if (D_ >= 1) {
        Regrouper();
        TrierUnites();
        PlacerUnites();
        Reserver();
        BatirUnites();
        premiers_ = {};
        avant_ = {};
    }
    if (options_.Moyenner) MoyennerRacines();
    Avancer(3 * N_);
}

// Each 20 cm cube was averaged once built; a root takes the sums of its children in slot order.
void TConstructeurArbre::MoyennerRacines() {
    const auto R = static_cast<std::uint32_t>(n_.NbCubesNiv[0]);
    std::vector<TNuage::TSommes> racines(R);
    for (std::size_t k = 0; k < ordre_.size(); ++k)
        TNuage::Cumuler(racines[unites_[ordre_[k]].Racine - TNuage::Index(0, 0)], sommes_[k]);
    for (std::uint32_t r = 0; r < R; ++r) {
        TCube* racine = n_.Cube(TNuage::Index(0, r));
        if (D_ == 0)
            (void)n_.Moyennes(racine);
        else
            TNuage::Moyenner(racine, racines[r]);
    }
    n_.moyennesFaites_ = true;
}

void ConstruireArbreTrie(TNuage& nuage, ISourcePoints& source, const TOptionsConstruction& options) {
    TConstructeurArbre(nuage, source, options).Construire();
}

} // namespace tessarc

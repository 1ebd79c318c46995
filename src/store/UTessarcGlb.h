#pragma once
// The point cloud store: a forest of 1 m root cubes, each occupied cube cut 5 x 5 x 5 down to the
// leaf level NivMax. Every level keeps its cubes in its own chunked pool and cubes refer to each other
// by 32-bit indices (0 is nil): a leaf costs 40 bytes, an internal cube 44 and its child positions.
// The list of a level is an array of its cubes in creation order, walked from the newest; a cube knows
// its place in it. A cube keeps no parent link: its parent is found again from its corner (Parent).
// The occupied roots are in a table, not a dense grid. Pointers to cubes (TCube*) stay valid until the
// tree is emptied.

#include "Emplacements.h"
#include "TableRacines.h"
#include "UtilsVect.h"
#include "ZoneMemoire.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace tessarc {

// floor without a library call, for the routing of every point; beyond 2^52 every double is whole, and NaN
// stays NaN.
inline double Plancher(double x) {
    if (!(std::abs(x) < 4.5e15)) return x;
    const auto e = static_cast<double>(static_cast<std::int64_t>(x));
    return e > x ? e - 1.0 : e;
}

// State bits of a cube (etatSP).
inline constexpr std::uint8_t EtatSelectionne = 1;
inline constexpr std::uint8_t EtatMasque = 2;
inline constexpr std::uint8_t EtatSupprime = 4;

inline constexpr int NbNiveaux = 5;
// Side of a cube per level, in metres (single-precision values of these decimals).
inline constexpr std::array<float, NbNiveaux> CoteNiv{1.0f, 0.2f, 0.04f, 0.008f, 0.0016f};

struct TCube {
    TV3S CooOriCube{};          // minimum corner
    TV3S CooMoyPts{};           // leaf being filled: sum of its points; after averaging: the average point
    TV4By ColCube{};            // colour (running mean on a leaf, mean of the subtree after averaging)
    std::int32_t nbptscube = 0; // leaf being filled: minus its count; after averaging: the count
    std::uint32_t RangNiv = 0;  // place in the creation order of its level; the next cube is the one before
    std::uint8_t NivCube = 0;
    std::uint8_t etatSP = 0;
    std::uint8_t SlotParent = 0; // flat slot 25 ix + 5 iy + iz in the parent
    std::uint8_t Vivant = 0;     // 0 once destroyed (the record is not reused before the tree is emptied)
};
static_assert(sizeof(TCube) == 40);

// Cubes of levels 0 to 3 also hold the handle of their child positions (0 on a leaf).
struct TCubeInterne : TCube {
    std::uint32_t LesEnfants = 0;
};

// The framing of the view computed by CalculerEtendue from the bounding box.
struct TCadrage {
    double RayonStruc = 0.0;
    TV3S CentreRotAbs{};
    double CoefZoom = 1.0;
};

// The records of one level, in chunks that never move.
template <typename T> class TPoolCubes {
public:
    static constexpr unsigned BitsChunk = 16;
    static constexpr std::uint32_t TailleChunk = 1u << BitsChunk;

    [[nodiscard]] T& operator[](std::uint32_t pos) const {
        return static_cast<T*>(chunks_[pos >> BitsChunk].Donnees())[pos & (TailleChunk - 1)];
    }
    // n records at the end, not initialised; returns the first position. Not to be called while another
    // thread reaches records.
    std::uint32_t Reserver(std::uint32_t n, std::uint32_t limite);
    [[nodiscard]] std::uint32_t Taille() const { return taille_; }
    [[nodiscard]] std::size_t Octets() const { return chunks_.size() * std::size_t{TailleChunk} * sizeof(T); }
    // Faults in the pages of records [pos, pos + n) at once.
    void Preparer(std::uint32_t pos, std::uint32_t n) const {
        while (n > 0) {
            const std::uint32_t dans = pos & (TailleChunk - 1);
            const std::uint32_t k = std::min(n, TailleChunk - dans);
            chunks_[pos >> BitsChunk].Preparer(std::size_t{dans} * sizeof(T), std::size_t{dans + k} * sizeof(T));
            pos += k;
            n -= k;
        }
    }
    void Vider() {
        chunks_.clear();
        chunks_.shrink_to_fit();
        taille_ = 0;
    }

private:
    std::vector<TZoneOctets> chunks_;
    std::uint32_t taille_ = 0;
};

// An allocator whose resize leaves new values unwritten, and whose large arrays are faulted in 2 MB at a
// time: the level lists of a build are filled in any order by two threads, which fault in their pages as
// they go.
template <typename T> struct TAllocateurBrut : std::allocator<T> {
    template <typename U> struct rebind {
        using other = TAllocateurBrut<U>;
    };
    TAllocateurBrut() = default;
    template <typename U> TAllocateurBrut(const TAllocateurBrut<U>&) noexcept {}
    [[nodiscard]] T* allocate(std::size_t n) {
        T* p = std::allocator<T>::allocate(n);
        ConseillerGrandesPages(p, p + n);
        return p;
    }
    template <typename U> void construct(U* p) noexcept { ::new (static_cast<void*>(p)) U; }
    template <typename U, typename... A> void construct(U* p, A&&... a) {
        ::new (static_cast<void*>(p)) U(std::forward<A>(a)...);
    }
};

class TNuage {
public:
    TNuage() = default;
    TNuage(const TNuage&) = delete;
    TNuage& operator=(const TNuage&) = delete;

    // Module state of the tree.
    int NivMax = 0;
    std::array<std::int32_t, NbNiveaux> NbCubesNiv{};
    int NivAffiche = 0;
    // One pointer a displayed cube: millions after an open.
    std::vector<TCube*, TAllocateurBrut<TCube*>> CubesAffiches;
    TV3I OrigRacines{};
    TV3I DimRacines{};
    TV3S CooMin{};
    TV3S CooMax{};

    // Where the tree reports "erreur" and the per-point storage errors; without a hook they are dropped.
    std::function<void(const std::string&)> SurMessage;

    // Creates a cube and pushes it at the head of its level list. The cube is in no slot and no root
    // cell; InsererPoint and EnregistrerUnPoint create and place the cubes of a load.
    TCube* Create(int niveau, const TV3S& CoOri);
    // Destroys the cube and its subtree: clears its parent slot or root cell, unlinks and uncounts them.
    void Detruire(TCube* c);

    void EnregistrerUnPoint(TCube* c, float X, float Y, float Z, const TV4By& colr);
    void CalculerLesMoyennes(TCube* c, TV3S& cumcoo, TV4I& cumcolr, std::int32_t& nbpts);
    void MarquerSupprime(TCube* c, bool supp);
    [[nodiscard]] bool Compacter(TCube* c);

    // CalculerLesMoyennes on every root, X index outermost, then Y, then Z; nothing when the tree was
    // averaged as it was built from sorted points (ConstruireArbreTrie) and has not changed since.
    void CalculerMoyennesRacines();
    // Compacter on every root in the same order, destroying the roots that go; then rebuilds
    // CubesAffiches. The caller recomputes the extent and redraws.
    void CompacterNuage();

    void ChoisirNivAffiche(int niveau);
    [[nodiscard]] std::int64_t NbCubesTotal() const;

    // Root cell extent from CooMin / CooMax, and the view framing.
    TCadrage CalculerEtendue();
    // Empties the root table. An extent whose cells 32-bit indices cannot number (a coordinate beyond
    // about 2.1e9 m) is refused with a French error.
    void DimensionnerGrille();
    // The root cell of a point; false outside the extent. Both builders route through it.
    [[nodiscard]] bool CelluleDuPoint(float X, float Y, float Z, TCellule& c) const {
        const double fi = Plancher(X) - OrigRacines[1];
        const double fj = Plancher(Y) - OrigRacines[2];
        const double fk = Plancher(Z) - OrigRacines[3];
        if (!(fi >= 0 && fj >= 0 && fk >= 0 && fi < DimRacines[1] && fj < DimRacines[2] && fk < DimRacines[3]))
            return false;
        c = TCellule{static_cast<int>(fi), static_cast<int>(fj), static_cast<int>(fk)};
        return true;
    }
    // Routes a point to its root cube (created at need) and stores it there: the reference builder.
    void InsererPoint(float X, float Y, float Z, const TV4By& colr);

    // Empties the whole tree: roots, every cube, level lists and counts.
    void Vider();

    // Navigation.
    [[nodiscard]] TCube* Cube(IndexCube i) const;
    [[nodiscard]] TCube* TeteNiv(int niveau) const {
        const auto& o = ordre_[static_cast<std::size_t>(niveau)];
        return o.empty() ? nullptr : Cube(o.back());
    }
    // The next (older) cube of the list of c's level.
    [[nodiscard]] TCube* Suivant(const TCube* c) const;
    // Found from the cube's corner, nullptr for a root.
    [[nodiscard]] TCube* Parent(const TCube* c) const;
    // Child at flat slot 0..124 (25 ix + 5 iy + iz), nullptr if empty or on a leaf.
    [[nodiscard]] TCube* Enfant(const TCube* c, int slot) const { return Cube(LireEnfant(c, slot)); }
    // Calls f(child) for every child in slot order.
    template <typename F> void PourEnfants(const TCube* c, F&& f) const;
    [[nodiscard]] int NbEnfants(const TCube* c) const;
    // Whether the cube has child positions: true below NivMax, false on a leaf.
    [[nodiscard]] static bool EstInterne(const TCube* c) { return LesEnfants(c) != 0; }
    [[nodiscard]] TCube* Racine(int i, int j, int k) const;
    [[nodiscard]] std::int64_t NbRacines() const { return static_cast<std::int64_t>(racines_.Taille()); }
    // Calls f(root) for every root, X index outermost, then Y, then Z.
    template <typename F> void PourRacines(F&& f) const;

    // A child corner from its parent's, axis by axis: computed in double, stored in single.
    [[nodiscard]] static float CoinEnfant(float parent, int indice, double s) {
        return static_cast<float>(double(parent) + indice * s);
    }

    // Memory held by the pools, for the benchmarks and the memory check of a build.
    [[nodiscard]] std::size_t OctetsCubes() const;
    [[nodiscard]] std::size_t OctetsEmplacements() const { return emplacements_.Octets(); }

private:
    friend class TConstructeurArbre;

    static constexpr unsigned BitsPosition = 29;
    static constexpr std::uint32_t LimitePositions = (1u << BitsPosition) - 1;

    [[nodiscard]] static IndexCube Index(int niveau, std::uint32_t pos) {
        return (static_cast<IndexCube>(niveau) << BitsPosition) | (pos + 1);
    }
    [[nodiscard]] static std::uint32_t LesEnfants(const TCube* c) {
        return c->NivCube < NbNiveaux - 1 ? static_cast<const TCubeInterne*>(c)->LesEnfants : 0;
    }
    [[nodiscard]] TCellule CelluleDe(const TCube* racine) const;
    [[nodiscard]] TV3S CoinRacine(const TCellule& c) const {
        return FaireV3S(static_cast<float>(OrigRacines[1] + c.i), static_cast<float>(OrigRacines[2] + c.j),
                        static_cast<float>(OrigRacines[3] + c.k));
    }
    // A new record of level niveau: no point, no state, no child positions, in no list.
    static void Initialiser(TCube* c, int niveau, const TV3S& CoOri);
    // One more point on a leaf: the first is kept, the next ones summed and their colours averaged.
    static void AjouterALaFeuille(TCube* c, float X, float Y, float Z, const TV4By& colr);
    IndexCube Reserver(int niveau, std::uint32_t n);
    IndexCube Creer(int niveau, const TV3S& CoOri, bool avecEmplacements = true);
    void Enregistrer(TCube* c, float X, float Y, float Z, const TV4By& colr);
    [[nodiscard]] IndexCube LireEnfant(const TCube* c, int slot) const;
    void PoserEnfant(TCube* parent, int slot, IndexCube enfant);
    [[nodiscard]] TCube* ChercherParent(const TCube* c) const;
    // Marks the subtree destroyed and uncounts it; the level lists are mended by Relier.
    void DetruireSousArbre(TCube* c);
    void DetruireEnfant(TCube* parent, TCube* enfant);
    [[nodiscard]] bool CompacterSansRelier(TCube* c);
    // Unlinks the destroyed cubes from the lists of the levels that lost some: one walk per level.
    void Relier();
    void Signaler(const std::string& texte) const;

    // Sums of a subtree on its way up the averaging pass; colour sums in 64 bits, as a cube of more than
    // about 8.4 million points overflows 32.
    struct TSommes {
        TV3S Coo{};
        std::array<std::int64_t, 5> Col{};
        std::int64_t Nb = 0;
    };
    [[nodiscard]] TSommes Moyennes(TCube* c) const;
    // The sums of one more child, children taken in slot order.
    static void Cumuler(TSommes& total, const TSommes& enfant);
    // An internal cube's averages from the sums of its children.
    static void Moyenner(TCube* c, const TSommes& total);
    // A leaf's average, and its sums.
    static TSommes MoyennerFeuille(TCube* c);

    std::array<TPoolCubes<TCubeInterne>, NbNiveaux - 1> internes_;
    TPoolCubes<TCube> feuilles_;
    std::array<std::vector<IndexCube, TAllocateurBrut<IndexCube>>, NbNiveaux> ordre_; // per level, from the oldest
    std::uint8_t niveauxADelier_ = 0; // bit n: level n holds destroyed cubes still linked
    bool moyennesFaites_ = false;
    TTableRacines racines_;
    TEmplacements emplacements_;
};

template <typename T> std::uint32_t TPoolCubes<T>::Reserver(std::uint32_t n, std::uint32_t limite) {
    if (n > limite - taille_) throw std::bad_alloc(); // the index space of the level is exhausted
    const std::uint32_t premier = taille_;
    // The pages of a chunk are touched only as its cubes are created.
    while (chunks_.size() * std::size_t{TailleChunk} < std::size_t{taille_} + n)
        chunks_.emplace_back(std::size_t{TailleChunk} * sizeof(T));
    taille_ += n;
    return premier;
}

inline TCube* TNuage::Cube(IndexCube i) const {
    if (i == 0) return nullptr;
    const auto niveau = i >> BitsPosition;
    const std::uint32_t pos = (i & LimitePositions) - 1;
    if (niveau < NbNiveaux - 1) return &internes_[niveau][pos];
    return &feuilles_[pos];
}

inline TCube* TNuage::Suivant(const TCube* c) const {
    const auto& o = ordre_[c->NivCube];
    const std::uint32_t r = c->RangNiv;
    if (r == 0) return nullptr;
    // A walk along a list jumps around the pools: the cubes a few steps ahead are asked for early.
    constexpr std::uint32_t Avance = 16;
    if (r > Avance) __builtin_prefetch(Cube(o[r - 1 - Avance]));
    return Cube(o[r - 1]);
}

template <typename F> void TNuage::PourEnfants(const TCube* c, F&& f) const {
    emplacements_.Parcourir(LesEnfants(c), [&](int, IndexCube i) {
        TCube* e = Cube(i);
        if (e->Vivant) f(e);
    });
}

template <typename F> void TNuage::PourRacines(F&& f) const {
    for (IndexCube i : racines_.Ordre()) f(Cube(i));
}

} // namespace tessarc

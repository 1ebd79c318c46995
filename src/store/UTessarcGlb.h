#pragma once
// The point cloud store: a forest of 1 m root cubes, each occupied cube cut 5 x 5 x 5 down to the
// leaf level NivMax. Cubes live in chunked pools and link to each other by 32-bit indices (0 is
// nil), so that a cube costs about 52 bytes and a parent keeps only as many child positions as it has
// children; pointers to cubes (TCube*) stay valid until the tree is emptied.

#include "UtilsVect.h"

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace tessarc {

using IndexCube = std::uint32_t; // 0 = no cube

// State bits of a cube (etatSP).
inline constexpr std::uint8_t EtatSelectionne = 1;
inline constexpr std::uint8_t EtatMasque = 2;
inline constexpr std::uint8_t EtatSupprime = 4;

inline constexpr int NbNiveaux = 5;
// Side of a cube per level, in metres (single-precision values of these decimals).
inline constexpr std::array<float, NbNiveaux> CoteNiv{1.0f, 0.2f, 0.04f, 0.008f, 0.0016f};

// A dense root grid holds one reference per cubic metre of the bounding box; past this many cells the
// cloud is refused rather than exhausting memory (a georeferenced scan or one stray line far away).
inline constexpr std::int64_t MaxCellulesRacines = 64'000'000;

struct TCube {
    TV3S CooOriCube{};          // minimum corner
    TV3S CooMoyPts{};           // leaf being filled: sum of its points; after averaging: the average point
    TV4By ColCube{};            // colour (running mean on a leaf, mean of the subtree after averaging)
    std::int32_t nbptscube = 0; // leaf being filled: minus its count; after averaging: the count
    IndexCube CubeParent = 0;
    IndexCube SvtNiv = 0;         // next (older) cube of the same level
    IndexCube PrecNiv = 0;        // previous (newer) cube of the same level, for unlinking in constant time
    std::uint32_t LesEnfants = 0; // handle of the child positions, 0 on a leaf
    std::uint8_t NivCube = 0;
    std::uint8_t etatSP = 0;
    std::uint8_t SlotParent = 0; // flat slot 25 ix + 5 iy + iz in the parent
    std::uint8_t Vivant = 0;     // 0 once destroyed (the record is not reused before the tree is emptied)
    IndexCube Soi = 0;           // own index in the pool
};

// The framing of the view computed by CalculerEtendue from the bounding box.
struct TCadrage {
    double RayonStruc = 0.0;
    TV3S CentreRotAbs{};
    double CoefZoom = 1.0;
};

class TNuage {
public:
    TNuage();
    ~TNuage();
    TNuage(const TNuage&) = delete;
    TNuage& operator=(const TNuage&) = delete;

    // Module state of the tree.
    int NivMax = 0;
    std::array<std::int32_t, NbNiveaux> NbCubesNiv{};
    int NivAffiche = 0;
    std::vector<TCube*> CubesAffiches;
    TV3I OrigRacines{};
    TV3I DimRacines{};
    TV3S CooMin{};
    TV3S CooMax{};

    // Where the tree reports "erreur" and the per-point storage errors; without a hook they are dropped.
    std::function<void(const std::string&)> SurMessage;

    // Creates a cube and pushes it at the head of its level list. A cube created with a parent is not yet
    // in any slot of it; InsererPoint and EnregistrerUnPoint create and place the cubes of a load.
    TCube* Create(TCube* parent, int niveau, const TV3S& CoOri);
    // Destroys the cube and its subtree: clears its parent slot, unlinks and uncounts every cube.
    void Detruire(TCube* c);

    void EnregistrerUnPoint(TCube* c, float X, float Y, float Z, const TV4By& colr);
    void CalculerLesMoyennes(TCube* c, TV3S& cumcoo, TV4I& cumcolr, std::int32_t& nbpts);
    void MarquerSupprime(TCube* c, bool supp);
    [[nodiscard]] bool Compacter(TCube* c);

    // CalculerLesMoyennes on every root, X index outermost, then Y, then Z.
    void CalculerMoyennesRacines();
    // Compacter on every root in the same order, destroying the roots that go; then rebuilds
    // CubesAffiches. The caller recomputes the extent and redraws.
    void CompacterNuage();

    void ChoisirNivAffiche(int niveau);
    [[nodiscard]] std::int64_t NbCubesTotal() const;

    // Root grid extent from CooMin / CooMax, and the view framing. Does not size the grid.
    TCadrage CalculerEtendue();
    // Empties the root grid and sizes it DimRacines; throws a French error past MaxCellulesRacines.
    void DimensionnerGrille();
    // Routes a point to its root cube (created at need) and stores it there.
    void InsererPoint(float X, float Y, float Z, const TV4By& colr);

    // Empties the whole tree: grid, every cube, level lists and counts.
    void Vider();

    // Navigation.
    [[nodiscard]] TCube* Cube(IndexCube i) const {
        return i == 0 ? nullptr : &chunks_[i >> BitsChunk][i & (TailleChunk - 1)];
    }
    [[nodiscard]] TCube* TeteNiv(int niveau) const {
        return Cube(teteNiv_[static_cast<std::size_t>(niveau)]);
    }
    [[nodiscard]] TCube* Suivant(const TCube* c) const { return Cube(c->SvtNiv); }
    [[nodiscard]] TCube* Parent(const TCube* c) const { return Cube(c->CubeParent); }
    // Child at flat slot 0..124 (25 ix + 5 iy + iz), nullptr if empty or on a leaf.
    [[nodiscard]] TCube* Enfant(const TCube* c, int slot) const;
    // Calls f(child) for every child in slot order.
    template <typename F> void PourEnfants(const TCube* c, F&& f) const;
    [[nodiscard]] int NbEnfants(const TCube* c) const;
    [[nodiscard]] TCube* Racine(int i, int j, int k) const;
    [[nodiscard]] std::int64_t NbCellulesRacines() const { return static_cast<std::int64_t>(grille_.size()); }
    // Calls f(root) for every non-nil root, X index outermost, then Y, then Z.
    template <typename F> void PourRacines(F&& f) const;

    // Memory held by the pools, for the benchmarks.
    [[nodiscard]] std::size_t OctetsCubes() const;
    [[nodiscard]] std::size_t OctetsEmplacements() const;

private:
    static constexpr unsigned BitsChunk = 17; // 128 Ki cubes, 7 MiB a chunk
    static constexpr unsigned TailleChunk = 1u << BitsChunk;

    IndexCube NouveauCube();
    IndexCube Creer(IndexCube parent, int niveau, const TV3S& CoOri);
    void Enregistrer(IndexCube ic, float X, float Y, float Z, const TV4By& colr);
    [[nodiscard]] std::size_t CelluleRacine(int i, int j, int k) const;
    void Delier(TCube* c);
    void DetruireSousArbre(TCube* c);
    void PoserEnfant(TCube* parent, int slot, IndexCube enfant);
    void EffacerEnfant(TCube* parent, int slot);
    [[nodiscard]] IndexCube LireEnfant(const TCube* c, int slot) const;
    void Signaler(const std::string& texte) const;

    struct LibererChunk {
        void operator()(TCube* p) const;
    };
    std::vector<std::unique_ptr<TCube[], LibererChunk>> chunks_;
    IndexCube prochain_ = 1; // index 0 is nil
    std::array<IndexCube, NbNiveaux> teteNiv_{};
    std::vector<IndexCube> grille_;

    class Emplacements;
    std::unique_ptr<Emplacements> emplacements_;

public:
    // Slot storage, exposed read-only to the iteration templates.
    [[nodiscard]] const Emplacements& emplacements() const { return *emplacements_; }
};

// Slot blocks: sparse sorted blocks of 4, 8, 16 or 32 entries, dense blocks of 125 beyond.
class TNuage::Emplacements {
public:
    static constexpr int NbClasses = 5;
    static constexpr std::array<int, NbClasses> Capacite{4, 8, 16, 32, 125};

    [[nodiscard]] std::uint32_t Nouveau(int classe);
    void Liberer(std::uint32_t h);
    [[nodiscard]] IndexCube Lire(std::uint32_t h, int slot) const;
    // Returns the handle, which changes when the block grows.
    [[nodiscard]] std::uint32_t Poser(std::uint32_t h, int slot, IndexCube enfant);
    void Effacer(std::uint32_t h, int slot);
    [[nodiscard]] int Nombre(std::uint32_t h) const;
    template <typename F> void Parcourir(std::uint32_t h, F&& f) const;
    void Vider();
    [[nodiscard]] std::size_t Octets() const;

private:
    static constexpr unsigned BitsClasse = 29;
    static constexpr unsigned BlocsParChunk = 4096;
    static constexpr int Dense = NbClasses - 1;

    struct Classe {
        std::vector<std::unique_ptr<std::uint32_t[]>> chunks;
        std::uint32_t suivant = 0;
        std::vector<std::uint32_t> libres;
    };

    [[nodiscard]] static int ClasseDe(std::uint32_t h) { return static_cast<int>(h >> BitsClasse); }
    [[nodiscard]] std::uint32_t* Bloc(std::uint32_t h) const;
    // Sparse block: word 0 holds the count, then the child indices, then their positions as bytes, both
    // runs sorted by slot. Dense block: 125 words indexed by slot.
    [[nodiscard]] static std::size_t MotsBloc(int classe);

    std::array<Classe, NbClasses> classes_;
};

template <typename F> void TNuage::Emplacements::Parcourir(std::uint32_t h, F&& f) const {
    if (h == 0) return;
    const int classe = ClasseDe(h);
    const std::uint32_t* b = Bloc(h);
    if (classe == Dense) {
        for (int s = 0; s < 125; ++s)
            if (b[s] != 0) f(s, b[s]);
        return;
    }
    const int cap = Capacite[static_cast<std::size_t>(classe)];
    const int n = static_cast<int>(b[0]);
    const auto* positions = reinterpret_cast<const std::uint8_t*>(b + 1 + cap);
    for (int e = 0; e < n; ++e) f(static_cast<int>(positions[e]), b[1 + e]);
}

template <typename F> void TNuage::PourEnfants(const TCube* c, F&& f) const {
    emplacements_->Parcourir(c->LesEnfants, [&](int, IndexCube i) { f(Cube(i)); });
}

template <typename F> void TNuage::PourRacines(F&& f) const {
    for (IndexCube i : grille_)
        if (i != 0) f(Cube(i));
}

} // namespace tessarc

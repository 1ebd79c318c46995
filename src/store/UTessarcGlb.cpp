#include "UTessarcGlb.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <new>
#include <stdexcept>
#include <thread>

namespace tessarc {

// ---- Slot blocks ----------------------------------------------------------------------------------

std::size_t TNuage::Emplacements::MotsBloc(int classe) {
    const auto cap = static_cast<std::size_t>(Capacite[static_cast<std::size_t>(classe)]);
    return classe == Dense ? cap : 1 + cap + (cap + 3) / 4;
}

std::uint32_t* TNuage::Emplacements::Bloc(std::uint32_t h) const {
    const int classe = ClasseDe(h);
    const std::uint32_t n = (h & ((1u << BitsClasse) - 1)) - 1;
    const auto& c = classes_[static_cast<std::size_t>(classe)];
    return c.chunks[n / BlocsParChunk].get() + (n % BlocsParChunk) * MotsBloc(classe);
}

std::uint32_t TNuage::Emplacements::Nouveau(int classe) {
    auto& c = classes_[static_cast<std::size_t>(classe)];
    std::uint32_t n;
    if (!c.libres.empty()) {
        n = c.libres.back();
        c.libres.pop_back();
    } else {
        n = c.suivant;
        if (n % BlocsParChunk == 0)
            c.chunks.push_back(std::make_unique<std::uint32_t[]>(BlocsParChunk * MotsBloc(classe)));
        ++c.suivant;
    }
    const std::uint32_t h = (static_cast<std::uint32_t>(classe) << BitsClasse) | (n + 1);
    std::memset(Bloc(h), 0, MotsBloc(classe) * sizeof(std::uint32_t));
    return h;
}

void TNuage::Emplacements::Liberer(std::uint32_t h) {
    if (h == 0) return;
    classes_[static_cast<std::size_t>(ClasseDe(h))].libres.push_back((h & ((1u << BitsClasse) - 1)) - 1);
}

IndexCube TNuage::Emplacements::Lire(std::uint32_t h, int slot) const {
    if (h == 0) return 0;
    const int classe = ClasseDe(h);
    const std::uint32_t* b = Bloc(h);
    if (classe == Dense) return b[slot];
    const int cap = Capacite[static_cast<std::size_t>(classe)];
    const auto* positions = reinterpret_cast<const std::uint8_t*>(b + 1 + cap);
    const int n = static_cast<int>(b[0]);
    for (int e = 0; e < n; ++e) {
        if (positions[e] == slot) return b[1 + e];
        if (positions[e] > slot) break;
    }
    return 0;
}

std::uint32_t TNuage::Emplacements::Poser(std::uint32_t h, int slot, IndexCube enfant) {
    const int classe = ClasseDe(h);
    std::uint32_t* b = Bloc(h);
    if (classe == Dense) {
        b[slot] = enfant;
        return h;
    }
    const int cap = Capacite[static_cast<std::size_t>(classe)];
    auto* positions = reinterpret_cast<std::uint8_t*>(b + 1 + cap);
    const int n = static_cast<int>(b[0]);
    int pos = 0;
    while (pos < n && positions[pos] < slot) ++pos;
    if (pos < n && positions[pos] == slot) {
        b[1 + pos] = enfant;
        return h;
    }
    if (n == cap) {
        // Full: move to the next class (slot order is kept by Parcourir and re-insertion).
        const std::uint32_t nh = Nouveau(classe + 1);
        std::uint32_t hh = nh;
        Parcourir(h, [&](int s, IndexCube i) { hh = Poser(hh, s, i); });
        hh = Poser(hh, slot, enfant);
        Liberer(h);
        return hh;
    }
    for (int e = n; e > pos; --e) {
        b[1 + e] = b[e];
        positions[e] = positions[e - 1];
    }
    b[1 + pos] = enfant;
    positions[pos] = static_cast<std::uint8_t>(slot);
    b[0] = static_cast<std::uint32_t>(n + 1);
    return h;
}

void TNuage::Emplacements::Effacer(std::uint32_t h, int slot) {
    if (h == 0) return;
    const int classe = ClasseDe(h);
    std::uint32_t* b = Bloc(h);
    if (classe == Dense) {
        b[slot] = 0;
        return;
    }
    const int cap = Capacite[static_cast<std::size_t>(classe)];
    auto* positions = reinterpret_cast<std::uint8_t*>(b + 1 + cap);
    const int n = static_cast<int>(b[0]);
    for (int e = 0; e < n; ++e) {
        if (positions[e] != slot) continue;
        for (int f = e; f + 1 < n; ++f) {
            b[1 + f] = b[2 + f];
            positions[f] = positions[f + 1];
        }
        b[0] = static_cast<std::uint32_t>(n - 1);
        return;
    }
}

int TNuage::Emplacements::Nombre(std::uint32_t h) const {
    int n = 0;
    Parcourir(h, [&](int, IndexCube) { ++n; });
    return n;
}

void TNuage::Emplacements::Vider() {
    for (auto& c : classes_) c = Classe{};
}

std::size_t TNuage::Emplacements::Octets() const {
    std::size_t total = 0;
    for (int k = 0; k < NbClasses; ++k)
        total += classes_[static_cast<std::size_t>(k)].chunks.size() * BlocsParChunk * MotsBloc(k) * 4;
    return total;
}

// ---- Tree -----------------------------------------------------------------------------------------

TNuage::TNuage() : emplacements_(std::make_unique<Emplacements>()) {}
TNuage::~TNuage() = default;

void TNuage::Signaler(const std::string& texte) const {
    if (SurMessage) SurMessage(texte);
}

void TNuage::LibererChunk::operator()(TCube* p) const {
    std::free(p);
}

IndexCube TNuage::NouveauCube() {
    const IndexCube i = prochain_;
    if (i == 0) throw std::bad_alloc(); // 2^32 cubes: the index space is exhausted
    while (chunks_.size() <= (i >> BitsChunk)) {
        // Records are written before they are read (Creer): the chunk is not initialised here, so its
        // pages are touched only as cubes are created.
        void* p = std::malloc(TailleChunk * sizeof(TCube));
        if (p == nullptr) throw std::bad_alloc();
        chunks_.emplace_back(static_cast<TCube*>(p));
    }
    ++prochain_;
    return i;
}

TCube* TNuage::Create(TCube* parent, int niveau, const TV3S& CoOri) {
    return Cube(Creer(parent ? parent->Soi : 0, niveau, CoOri));
}

IndexCube TNuage::Creer(IndexCube parent, int niveau, const TV3S& CoOri) {
    const IndexCube i = NouveauCube();
    TCube* c = Cube(i);
    *c = TCube{};
    c->NivCube = static_cast<std::uint8_t>(niveau);
    c->CubeParent = parent;
    c->CooOriCube = CoOri;
    c->Vivant = 1;
    c->Soi = i;
    auto& tete = teteNiv_[static_cast<std::size_t>(niveau)];
    c->SvtNiv = tete;
    if (tete != 0) Cube(tete)->PrecNiv = i;
    tete = i;
    // Cubes above the last internal level are few and have many children: dense positions make routing a
    // direct lookup. The many cubes just above the leaves start sparse.
    if (niveau < NivMax)
        c->LesEnfants = emplacements_->Nouveau(niveau + 1 < NivMax ? Emplacements::NbClasses - 1 : 0);
    ++NbCubesNiv[static_cast<std::size_t>(niveau)];
    return i;
}

TCube* TNuage::Enfant(const TCube* c, int slot) const {
    return Cube(LireEnfant(c, slot));
}

IndexCube TNuage::LireEnfant(const TCube* c, int slot) const {
    return emplacements_->Lire(c->LesEnfants, slot);
}

int TNuage::NbEnfants(const TCube* c) const {
    return emplacements_->Nombre(c->LesEnfants);
}

void TNuage::PoserEnfant(TCube* parent, int slot, IndexCube enfant) {
    parent->LesEnfants = emplacements_->Poser(parent->LesEnfants, slot, enfant);
    Cube(enfant)->SlotParent = static_cast<std::uint8_t>(slot);
}

void TNuage::EffacerEnfant(TCube* parent, int slot) {
    emplacements_->Effacer(parent->LesEnfants, slot);
}

TCube* TNuage::Racine(int i, int j, int k) const {
    if (i < 0 || j < 0 || k < 0 || i >= DimRacines[1] || j >= DimRacines[2] || k >= DimRacines[3])
        return nullptr;
    return Cube(grille_[CelluleRacine(i, j, k)]);
}

std::size_t TNuage::CelluleRacine(int i, int j, int k) const {
    return (static_cast<std::size_t>(i) * static_cast<std::size_t>(DimRacines[2]) +
            static_cast<std::size_t>(j)) *
               static_cast<std::size_t>(DimRacines[3]) +
           static_cast<std::size_t>(k);
}

void TNuage::Delier(TCube* c) {
    const auto niv = static_cast<std::size_t>(c->NivCube);
    if (c->PrecNiv != 0)
        Cube(c->PrecNiv)->SvtNiv = c->SvtNiv;
    else
        teteNiv_[niv] = c->SvtNiv;
    if (c->SvtNiv != 0) Cube(c->SvtNiv)->PrecNiv = c->PrecNiv;
    c->SvtNiv = c->PrecNiv = 0;
    --NbCubesNiv[niv];
}

void TNuage::DetruireSousArbre(TCube* c) {
    if (c->LesEnfants != 0) {
        PourEnfants(c, [&](TCube* e) { DetruireSousArbre(e); });
        emplacements_->Liberer(c->LesEnfants);
        c->LesEnfants = 0;
    }
    Delier(c);
    c->Vivant = 0;
}

void TNuage::Detruire(TCube* c) {
    if (c == nullptr || !c->Vivant) return;
    if (c->CubeParent != 0) {
        EffacerEnfant(Cube(c->CubeParent), c->SlotParent);
    } else {
        const int i = static_cast<int>(std::floor(c->CooOriCube[1])) - OrigRacines[1];
        const int j = static_cast<int>(std::floor(c->CooOriCube[2])) - OrigRacines[2];
        const int k = static_cast<int>(std::floor(c->CooOriCube[3])) - OrigRacines[3];
        if (Racine(i, j, k) == c) grille_[CelluleRacine(i, j, k)] = 0;
    }
    DetruireSousArbre(c);
}

void TNuage::EnregistrerUnPoint(TCube* c, float X, float Y, float Z, const TV4By& colr) {
    Enregistrer(c->Soi, X, Y, Z, colr);
}

void TNuage::Enregistrer(IndexCube ic, float X, float Y, float Z, const TV4By& colr) {
    const float p[4] = {0.0f, X, Y, Z};
    TCube* c = Cube(ic);
    try {
        while (c->NivCube < NivMax) {
            const double s = CoteNiv[static_cast<std::size_t>(c->NivCube) + 1];
            int idx[4] = {0, 0, 0, 0};
            for (int a = 1; a <= 3; ++a) {
                const double t = std::trunc((double(p[a]) - double(c->CooOriCube[a])) / s);
                idx[a] = t > 4.0 ? 4 : (t < 0.0 ? -1 : static_cast<int>(t));
            }
            if (idx[1] < 0 || idx[2] < 0 || idx[3] < 0) {
                // At least one child side below the cube: no slot can hold it, the point is dropped.
                Signaler("erreur");
                return;
            }
            const int slot = 25 * idx[1] + 5 * idx[2] + idx[3];
            IndexCube e = LireEnfant(c, slot);
            if (e == 0) {
                TV3S ori;
                for (int a = 1; a <= 3; ++a)
                    ori[a] = static_cast<float>(double(c->CooOriCube[a]) + idx[a] * s);
                e = Creer(ic, c->NivCube + 1, ori);
                PoserEnfant(c, slot, e);
            }
            ic = e;
            c = Cube(e);
        }
    } catch (const std::exception& ex) {
        Signaler(std::string("erreur enregistrement de point : ") + ex.what());
        return;
    }
    if (c->nbptscube == 0) {
        c->ColCube = colr;
        c->CooMoyPts = FaireV3S(X, Y, Z);
        c->nbptscube = -1;
        return;
    }
    const std::int64_t n = -static_cast<std::int64_t>(c->nbptscube);
    for (int k = 1; k <= 4; ++k)
        c->ColCube[k] = static_cast<std::uint8_t>((c->ColCube[k] * n + colr[k]) / (n + 1));
    c->nbptscube = static_cast<std::int32_t>(-(n + 1));
    for (int a = 1; a <= 3; ++a) c->CooMoyPts[a] = static_cast<float>(double(c->CooMoyPts[a]) + double(p[a]));
}

namespace {
// Colour sums are kept in 64 bits: a cube of more than about 8.4 million points overflows 32.
struct SommesCouleur {
    std::array<std::int64_t, 5> v{};
};

void Moyennes(TNuage& n, TCube* c, TV3S& cumcoo, SommesCouleur& cumcolr, std::int64_t& nbpts) {
    if (c->LesEnfants != 0) {
        std::int64_t total = 0;
        cumcoo = TV3S{};
        cumcolr = SommesCouleur{};
        n.PourEnfants(c, [&](TCube* e) {
            TV3S coo;
            SommesCouleur col;
            std::int64_t nb = 0;
            Moyennes(n, e, coo, col, nb);
            cumcoo = SommeV3S(cumcoo, coo);
            for (int k = 1; k <= 4; ++k)
                cumcolr.v[static_cast<std::size_t>(k)] += col.v[static_cast<std::size_t>(k)];
            total += nb;
        });
        c->nbptscube = static_cast<std::int32_t>(total);
        // A cube whose children were never stored (an error while loading) keeps zeros.
        if (total != 0) {
            for (int a = 1; a <= 3; ++a)
                c->CooMoyPts[a] = static_cast<float>(double(cumcoo[a]) / double(total));
            for (int k = 1; k <= 4; ++k)
                c->ColCube[k] = static_cast<std::uint8_t>(cumcolr.v[static_cast<std::size_t>(k)] / total);
        }
        nbpts = total;
        return;
    }
    if (c->nbptscube < 0) {
        c->nbptscube = -c->nbptscube;
        cumcoo = c->CooMoyPts;
        if (c->nbptscube > 1)
            for (int a = 1; a <= 3; ++a)
                c->CooMoyPts[a] = static_cast<float>(double(c->CooMoyPts[a]) / double(c->nbptscube));
    } else {
        for (int a = 1; a <= 3; ++a)
            cumcoo[a] = static_cast<float>(double(c->CooMoyPts[a]) * double(c->nbptscube));
    }
    for (int k = 1; k <= 4; ++k)
        cumcolr.v[static_cast<std::size_t>(k)] = std::int64_t{c->ColCube[k]} * c->nbptscube;
    nbpts = c->nbptscube;
}
} // namespace

void TNuage::CalculerLesMoyennes(TCube* c, TV3S& cumcoo, TV4I& cumcolr, std::int32_t& nbpts) {
    SommesCouleur col;
    std::int64_t nb = 0;
    Moyennes(*this, c, cumcoo, col, nb);
    for (int k = 1; k <= 4; ++k) cumcolr[k] = static_cast<std::int32_t>(col.v[static_cast<std::size_t>(k)]);
    nbpts = static_cast<std::int32_t>(nb);
}

void TNuage::CalculerMoyennesRacines() {
    // Each root's subtree is averaged on its own, so two threads taking roots in turn give exactly the
    // results of one.
    std::vector<TCube*> racines;
    PourRacines([&](TCube* r) { racines.push_back(r); });
    std::atomic<std::size_t> suivante{0};
    const auto travailler = [&] {
        for (std::size_t k = suivante++; k < racines.size(); k = suivante++) {
            TV3S coo;
            TV4I col;
            std::int32_t nb = 0;
            CalculerLesMoyennes(racines[k], coo, col, nb);
        }
    };
    const std::int64_t cubes = NbCubesTotal();
    if (racines.size() < 2 || cubes < 200'000 || std::thread::hardware_concurrency() < 2) {
        travailler();
        return;
    }
    std::jthread aide(travailler);
    travailler();
}

void TNuage::MarquerSupprime(TCube* c, bool supp) {
    if (supp)
        c->etatSP |= 6;
    else
        c->etatSP &= 0xF8;
    PourEnfants(c, [&](TCube* e) { MarquerSupprime(e, supp); });
}

bool TNuage::Compacter(TCube* c) {
    if (c->LesEnfants == 0) return (c->etatSP & EtatSupprime) != 0;
    // Children are gathered first: destroying one reshapes the slot block.
    std::array<TCube*, 125> enfants{};
    int n = 0;
    PourEnfants(c, [&](TCube* e) { enfants[static_cast<std::size_t>(n++)] = e; });
    if ((c->etatSP & EtatSupprime) != 0) {
        for (int k = 0; k < n; ++k) Detruire(enfants[static_cast<std::size_t>(k)]);
        return true;
    }
    bool resultat = true;
    for (int k = 0; k < n; ++k) {
        TCube* e = enfants[static_cast<std::size_t>(k)];
        if (Compacter(e))
            Detruire(e);
        else
            resultat = false;
    }
    return resultat;
}

void TNuage::CompacterNuage() {
    for (auto& cell : grille_) {
        if (cell == 0) continue;
        TCube* r = Cube(cell);
        if (Compacter(r)) {
            cell = 0;
            DetruireSousArbre(r);
        }
    }
    ChoisirNivAffiche(NivAffiche);
}

void TNuage::ChoisirNivAffiche(int niveau) {
    NivAffiche = niveau;
    CubesAffiches.clear();
    CubesAffiches.reserve(static_cast<std::size_t>(NbCubesNiv[static_cast<std::size_t>(niveau)]));
    for (TCube* c = TeteNiv(niveau); c != nullptr; c = Suivant(c)) CubesAffiches.push_back(c);
}

std::int64_t TNuage::NbCubesTotal() const {
    std::int64_t total = 0;
    for (int n = 0; n <= NivMax; ++n) total += NbCubesNiv[static_cast<std::size_t>(n)];
    return total;
}

TCadrage TNuage::CalculerEtendue() {
    for (int i = 1; i <= 3; ++i) {
        const float haut = static_cast<float>(double(CooMax[i]) + 0.01);
        const float bas = static_cast<float>(double(CooMin[i]) - 0.01);
        // Kept in double until the range is known: an empty box (min above max) gives no cell, a huge one
        // saturates so that DimensionnerGrille refuses it.
        const double o = std::floor(double(bas));
        const double d = std::floor(double(haut)) - o + 1.0;
        const bool vide = !(std::isfinite(o) && std::isfinite(d)) || d < 1.0;
        OrigRacines[i] = vide ? 0 : static_cast<std::int32_t>(std::clamp(o, -2147483648.0, 2147483647.0));
        DimRacines[i] = vide ? 0 : static_cast<std::int32_t>(std::min(d, 2147483647.0));
    }
    TCadrage cadrage;
    double somme = 0.0;
    for (int i = 1; i <= 3; ++i) {
        const double d = double(CooMax[i]) - double(CooMin[i]);
        somme += d * d;
        cadrage.CentreRotAbs[i] = static_cast<float>((double(CooMax[i]) + double(CooMin[i])) / 2.0);
    }
    cadrage.RayonStruc = std::sqrt(somme) / 2.0;
    cadrage.CoefZoom = 1.0;
    return cadrage;
}

void TNuage::DimensionnerGrille() {
    grille_.clear();
    // In double: three extents of up to two billion cells overflow any integer product.
    const double cellules = double(DimRacines[1]) * double(DimRacines[2]) * double(DimRacines[3]);
    const auto n =
        cellules > double(MaxCellulesRacines) ? MaxCellulesRacines + 1 : static_cast<std::int64_t>(cellules);
    if (n > MaxCellulesRacines) {
        throw std::runtime_error("étendue du nuage trop grande : " + std::to_string(DimRacines[1]) + " x " +
                                 std::to_string(DimRacines[2]) + " x " + std::to_string(DimRacines[3]) +
                                 " cellules de 1 m, la limite est de " + std::to_string(MaxCellulesRacines) +
                                 " cellules (coordonnées non locales ou point isolé très éloigné ?)");
    }
    grille_.assign(static_cast<std::size_t>(n > 0 ? n : 0), 0);
}

void TNuage::InsererPoint(float X, float Y, float Z, const TV4By& colr) {
    const double fi = std::floor(double(X)) - OrigRacines[1];
    const double fj = std::floor(double(Y)) - OrigRacines[2];
    const double fk = std::floor(double(Z)) - OrigRacines[3];
    if (!(fi >= 0 && fj >= 0 && fk >= 0 && fi < DimRacines[1] && fj < DimRacines[2] && fk < DimRacines[3])) {
        // Outside the bounding box the grid was sized from: there is no cell for it.
        Signaler("erreur");
        return;
    }
    const int i = static_cast<int>(fi), j = static_cast<int>(fj), k = static_cast<int>(fk);
    IndexCube& cell = grille_[CelluleRacine(i, j, k)];
    if (cell == 0) {
        cell = Creer(0, 0,
                     FaireV3S(static_cast<float>(OrigRacines[1] + i), static_cast<float>(OrigRacines[2] + j),
                              static_cast<float>(OrigRacines[3] + k)));
    }
    Enregistrer(cell, X, Y, Z, colr);
}

void TNuage::Vider() {
    grille_.clear();
    grille_.shrink_to_fit();
    chunks_.clear();
    prochain_ = 1;
    teteNiv_.fill(0);
    NbCubesNiv.fill(0);
    CubesAffiches.clear();
    CubesAffiches.shrink_to_fit();
    emplacements_->Vider();
}

std::size_t TNuage::OctetsCubes() const {
    return chunks_.size() * TailleChunk * sizeof(TCube);
}

std::size_t TNuage::OctetsEmplacements() const {
    return emplacements_->Octets();
}

} // namespace tessarc

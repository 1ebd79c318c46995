#include "UTessarcGlb.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <stdexcept>
#include <thread>
#include <utility>

namespace tessarc {

void TNuage::Signaler(const std::string& texte) const {
    if (SurMessage) SurMessage(texte);
}

IndexCube TNuage::Reserver(int niveau, std::uint32_t n) {
    const std::uint32_t pos = niveau < NbNiveaux - 1
                                  ? internes_[static_cast<std::size_t>(niveau)].Reserver(n, LimitePositions)
                                  : feuilles_.Reserver(n, LimitePositions);
    return Index(niveau, pos);
}

TCube* TNuage::Create(int niveau, const TV3S& CoOri) {
    return Cube(Creer(niveau, CoOri));
}

void TNuage::Initialiser(TCube* c, int niveau, const TV3S& CoOri) {
    if (niveau < NbNiveaux - 1)
        *static_cast<TCubeInterne*>(c) = TCubeInterne{};
    else
        *c = TCube{};
    c->NivCube = static_cast<std::uint8_t>(niveau);
    c->CooOriCube = CoOri;
    c->Vivant = 1;
}

IndexCube TNuage::Creer(int niveau, const TV3S& CoOri, bool avecEmplacements) {
    moyennesFaites_ = false;
    const IndexCube i = Reserver(niveau, 1);
    TCube* c = Cube(i);
    Initialiser(c, niveau, CoOri);
    auto& ordre = ordre_[static_cast<std::size_t>(niveau)];
    c->RangNiv = static_cast<std::uint32_t>(ordre.size());
    ordre.push_back(i);
    // Cubes above the last internal level are few and have many children: dense positions make routing a
    // direct lookup. The many cubes just above the leaves start sparse.
    if (niveau < NivMax && avecEmplacements)
        static_cast<TCubeInterne*>(c)->LesEnfants =
            emplacements_.Nouveau(niveau + 1 < NivMax ? TEmplacements::Dense : 0);
    ++NbCubesNiv[static_cast<std::size_t>(niveau)];
    return i;
}

IndexCube TNuage::LireEnfant(const TCube* c, int slot) const {
    const IndexCube e = emplacements_.Lire(LesEnfants(c), slot);
    return e != 0 && Cube(e)->Vivant ? e : 0;
}

int TNuage::NbEnfants(const TCube* c) const {
    int n = 0;
    PourEnfants(c, [&](TCube*) { ++n; });
    return n;
}

void TNuage::PoserEnfant(TCube* parent, int slot, IndexCube enfant) {
    std::uint32_t& h = static_cast<TCubeInterne*>(parent)->LesEnfants;
    if (TEmplacements::ClasseDe(h) == TEmplacements::Suite) {
        // A cube built from sorted points gets a child point by point: its living children move to a
        // block that can grow.
        std::uint32_t nh = emplacements_.Nouveau(0);
        emplacements_.Parcourir(h, [&](int s, IndexCube i) {
            if (Cube(i)->Vivant) nh = emplacements_.Poser(nh, s, i);
        });
        emplacements_.Liberer(h);
        h = nh;
    }
    h = emplacements_.Poser(h, slot, enfant);
    Cube(enfant)->SlotParent = static_cast<std::uint8_t>(slot);
}

TCellule TNuage::CelluleDe(const TCube* racine) const {
    return TCellule{static_cast<std::int32_t>(std::floor(racine->CooOriCube[1])) - OrigRacines[1],
                    static_cast<std::int32_t>(std::floor(racine->CooOriCube[2])) - OrigRacines[2],
                    static_cast<std::int32_t>(std::floor(racine->CooOriCube[3])) - OrigRacines[3]};
}

TCube* TNuage::Racine(int i, int j, int k) const {
    if (i < 0 || j < 0 || k < 0 || i >= DimRacines[1] || j >= DimRacines[2] || k >= DimRacines[3])
        return nullptr;
    return Cube(racines_.Trouver(TCellule{i, j, k}));
}

TCube* TNuage::Parent(const TCube* c) const {
    if (c->NivCube == 0) return nullptr;
    // The centre of a cube lies well inside it and inside each of its ancestors: routing it from the root
    // finds the parent. Far from the origin the corners are rounded so coarsely that it may not: then the
    // whole tree is searched.
    const double demi = double(CoteNiv[c->NivCube]) / 2.0;
    double centre[4] = {0.0, 0.0, 0.0, 0.0};
    for (int a = 1; a <= 3; ++a) centre[a] = double(c->CooOriCube[a]) + demi;
    const double ci = std::floor(centre[1]) - OrigRacines[1];
    const double cj = std::floor(centre[2]) - OrigRacines[2];
    const double ck = std::floor(centre[3]) - OrigRacines[3];
    TCube* p = nullptr;
    if (std::abs(ci) < 2e9 && std::abs(cj) < 2e9 && std::abs(ck) < 2e9)
        p = Racine(static_cast<int>(ci), static_cast<int>(cj), static_cast<int>(ck));
    for (int niv = 0; p != nullptr && niv + 1 < c->NivCube; ++niv) {
        const double s = CoteNiv[static_cast<std::size_t>(niv) + 1];
        int idx[4] = {0, 0, 0, 0};
        for (int a = 1; a <= 3; ++a)
            idx[a] = static_cast<int>(std::clamp(std::trunc((centre[a] - double(p->CooOriCube[a])) / s), 0.0, 4.0));
        p = Enfant(p, 25 * idx[1] + 5 * idx[2] + idx[3]);
    }
    if (p != nullptr && Enfant(p, c->SlotParent) == c) return p;
    return ChercherParent(c);
}

TCube* TNuage::ChercherParent(const TCube* c) const {
    TCube* trouve = nullptr;
    const std::function<void(TCube*)> chercher = [&](TCube* p) {
        if (trouve != nullptr || p->NivCube + 1 > c->NivCube) return;
        if (p->NivCube + 1 == c->NivCube) {
            if (Enfant(p, c->SlotParent) == c) trouve = p;
            return;
        }
        PourEnfants(p, chercher);
    };
    PourRacines(chercher);
    return trouve;
}

void TNuage::DetruireSousArbre(TCube* c) {
    if (const std::uint32_t h = LesEnfants(c); h != 0) {
        PourEnfants(c, [&](TCube* e) { DetruireSousArbre(e); });
        emplacements_.Liberer(h);
        static_cast<TCubeInterne*>(c)->LesEnfants = 0;
    }
    c->Vivant = 0;
    --NbCubesNiv[c->NivCube];
    niveauxADelier_ = static_cast<std::uint8_t>(niveauxADelier_ | (1u << c->NivCube));
}

void TNuage::DetruireEnfant(TCube* parent, TCube* enfant) {
    emplacements_.Effacer(LesEnfants(parent), enfant->SlotParent);
    DetruireSousArbre(enfant);
}

void TNuage::Relier() {
    for (int niv = 0; niv < NbNiveaux; ++niv) {
        if ((niveauxADelier_ & (1u << niv)) == 0) continue;
        auto& ordre = ordre_[static_cast<std::size_t>(niv)];
        std::uint32_t rang = 0;
        for (const IndexCube i : ordre) {
            TCube* c = Cube(i);
            if (!c->Vivant) continue;
            c->RangNiv = rang;
            ordre[rang++] = i;
        }
        ordre.resize(rang);
    }
    niveauxADelier_ = 0;
}

void TNuage::Detruire(TCube* c) {
    if (c == nullptr || !c->Vivant) return;
    if (TCube* p = Parent(c); p != nullptr) {
        DetruireEnfant(p, c);
    } else {
        const TCellule cellule = CelluleDe(c);
        if (Cube(racines_.Trouver(cellule)) == c) racines_.Retirer(cellule);
        DetruireSousArbre(c);
    }
    Relier();
}

void TNuage::EnregistrerUnPoint(TCube* c, float X, float Y, float Z, const TV4By& colr) {
    moyennesFaites_ = false;
    Enregistrer(c, X, Y, Z, colr);
}

void TNuage::Enregistrer(TCube* c, float X, float Y, float Z, const TV4By& colr) {
    const float p[4] = {0.0f, X, Y, Z};
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
                for (int a = 1; a <= 3; ++a) ori[a] = CoinEnfant(c->CooOriCube[a], idx[a], s);
                e = Creer(c->NivCube + 1, ori);
                PoserEnfant(c, slot, e);
            }
            c = Cube(e);
        }
    } catch (const std::exception& ex) {
        Signaler(std::string("erreur enregistrement de point : ") + ex.what());
        return;
    }
    AjouterALaFeuille(c, X, Y, Z, colr);
}

void TNuage::AjouterALaFeuille(TCube* c, float X, float Y, float Z, const TV4By& colr) {
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
    const float p[4] = {0.0f, X, Y, Z};
    for (int a = 1; a <= 3; ++a) c->CooMoyPts[a] = static_cast<float>(double(c->CooMoyPts[a]) + double(p[a]));
}

void TNuage::Cumuler(TSommes& total, const TSommes& enfant) {
    total.Coo = SommeV3S(total.Coo, enfant.Coo);
    for (std::size_t k = 1; k <= 4; ++k) total.Col[k] += enfant.Col[k];
    total.Nb += enfant.Nb;
}

void TNuage::Moyenner(TCube* c, const TSommes& total) {
    c->nbptscube = static_cast<std::int32_t>(total.Nb);
    // A cube whose children were never stored (an error while loading) keeps zeros.
    if (total.Nb == 0) return;
    for (int a = 1; a <= 3; ++a) c->CooMoyPts[a] = static_cast<float>(double(total.Coo[a]) / double(total.Nb));
    for (int k = 1; k <= 4; ++k)
        c->ColCube[k] = static_cast<std::uint8_t>(total.Col[static_cast<std::size_t>(k)] / total.Nb);
}

TNuage::TSommes TNuage::Moyennes(TCube* c) const {
    if (!EstInterne(c)) return MoyennerFeuille(c);
    TSommes s;
    PourEnfants(c, [&](TCube* e) { Cumuler(s, Moyennes(e)); });
    Moyenner(c, s);
    return s;
}

TNuage::TSommes TNuage::MoyennerFeuille(TCube* c) {
    TSommes s;
    if (c->nbptscube < 0) {
        c->nbptscube = -c->nbptscube;
        s.Coo = c->CooMoyPts;
        if (c->nbptscube > 1)
            for (int a = 1; a <= 3; ++a)
                c->CooMoyPts[a] = static_cast<float>(double(c->CooMoyPts[a]) / double(c->nbptscube));
    } else {
        for (int a = 1; a <= 3; ++a) s.Coo[a] = static_cast<float>(double(c->CooMoyPts[a]) * double(c->nbptscube));
    }
    for (int k = 1; k <= 4; ++k) s.Col[static_cast<std::size_t>(k)] = std::int64_t{c->ColCube[k]} * c->nbptscube;
    s.Nb = c->nbptscube;
    return s;
}

void TNuage::CalculerLesMoyennes(TCube* c, TV3S& cumcoo, TV4I& cumcolr, std::int32_t& nbpts) {
    const TSommes s = Moyennes(c);
    cumcoo = s.Coo;
    for (int k = 1; k <= 4; ++k) cumcolr[k] = static_cast<std::int32_t>(s.Col[static_cast<std::size_t>(k)]);
    nbpts = static_cast<std::int32_t>(s.Nb);
}

void TNuage::CalculerMoyennesRacines() {
    if (std::exchange(moyennesFaites_, false)) return;
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

bool TNuage::CompacterSansRelier(TCube* c) {
    if (LesEnfants(c) == 0) return (c->etatSP & EtatSupprime) != 0;
    // Children are gathered first: destroying one reshapes the slot block.
    std::array<TCube*, 125> enfants{};
    int n = 0;
    PourEnfants(c, [&](TCube* e) { enfants[static_cast<std::size_t>(n++)] = e; });
    if ((c->etatSP & EtatSupprime) != 0) {
        for (int k = 0; k < n; ++k) DetruireEnfant(c, enfants[static_cast<std::size_t>(k)]);
        return true;
    }
    bool resultat = true;
    for (int k = 0; k < n; ++k) {
        TCube* e = enfants[static_cast<std::size_t>(k)];
        if (CompacterSansRelier(e))
            DetruireEnfant(c, e);
        else
            resultat = false;
    }
    return resultat;
}

bool TNuage::Compacter(TCube* c) {
    const bool r = CompacterSansRelier(c);
    Relier();
    return r;
}

void TNuage::CompacterNuage() {
    const std::span<const IndexCube> ordre = racines_.Ordre();
    for (const IndexCube i : ordre) {
        TCube* r = Cube(i);
        if (CompacterSansRelier(r)) {
            racines_.Retirer(CelluleDe(r));
            DetruireSousArbre(r);
        }
    }
    Relier();
    ChoisirNivAffiche(NivAffiche);
}

void TNuage::ChoisirNivAffiche(int niveau) {
    NivAffiche = niveau;
    const auto& ordre = ordre_[static_cast<std::size_t>(niveau)];
    CubesAffiches.clear();
    CubesAffiches.reserve(ordre.size());
    for (auto i = ordre.rbegin(); i != ordre.rend(); ++i) CubesAffiches.push_back(Cube(*i));
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
    racines_.Vider();
    // The cells of every axis must keep 32-bit numbers, from the corner to the far cell.
    for (int a = 1; a <= 3; ++a) {
        const double fin = double(OrigRacines[a]) + double(DimRacines[a]);
        if (DimRacines[a] >= 2147483647 || OrigRacines[a] <= -2147483647 || fin > 2147483647.0)
            throw std::runtime_error("étendue du nuage trop grande : " + std::to_string(DimRacines[1]) + " x " +
                                     std::to_string(DimRacines[2]) + " x " + std::to_string(DimRacines[3]) +
                                     " cellules de 1 m, des coordonnées au-delà de 2.1e9 m ne peuvent être "
                                     "rangées (valeur aberrante dans le fichier ?)");
    }
}

void TNuage::InsererPoint(float X, float Y, float Z, const TV4By& colr) {
    TCellule cellule;
    if (!CelluleDuPoint(X, Y, Z, cellule)) {
        // Outside the bounding box the extent was taken from: there is no cell for it.
        Signaler("erreur");
        return;
    }
    IndexCube r = racines_.Trouver(cellule);
    if (r == 0) {
        r = Creer(0, CoinRacine(cellule));
        racines_.Poser(cellule, r);
    }
    Enregistrer(Cube(r), X, Y, Z, colr);
}

void TNuage::Vider() {
    moyennesFaites_ = false;
    racines_.Vider();
    for (auto& p : internes_) p.Vider();
    feuilles_.Vider();
    for (auto& o : ordre_) o = {};
    niveauxADelier_ = 0;
    NbCubesNiv.fill(0);
    CubesAffiches.clear();
    CubesAffiches.shrink_to_fit();
    emplacements_.Vider();
}

std::size_t TNuage::OctetsCubes() const {
    std::size_t total = feuilles_.Octets();
    for (const auto& p : internes_) total += p.Octets();
    return total;
}

} // namespace tessarc

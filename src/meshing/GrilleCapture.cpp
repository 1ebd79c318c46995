#include "GrilleCapture.h"

#include "IndexCubesXY.h"
#include "Nombres.h"
#include "Saisie.h"
#include "StringUtils.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <thread>
#include <vector>

namespace tessarc {

namespace {

constexpr float MaxSingle = std::numeric_limits<float>::max();

// Rounding to the nearest integer, halves to even.
double Arrondi(double v) {
    return std::nearbyint(v);
}

// Lattice coordinate o + k T, held in a single like every coordinate of the grid.
float Reseau(double o, double T, double k) {
    return static_cast<float>(o + T * k);
}

bool DansGrille(const TMaillage& m, double c, double r) {
    return c >= 0.0 && c < m.NbColGrille && r >= 0.0 && r < m.NbLigGrille;
}

TPointTri& Cellule(TMaillage& m, double c, double r) {
    return m.GrilleTri[static_cast<std::size_t>(c) +
                       static_cast<std::size_t>(r) * static_cast<std::size_t>(m.NbColGrille)];
}

// A stray boundary point can put more lattice points out of the grid than an integer counts.
std::int64_t VersEntier(double n) {
    return static_cast<std::int64_t>(std::min(n, 9.0e18));
}

} // namespace

TTextesGrille AfficherGrille(const TMaillage& m, const TV3R& decalage) {
    return {TexteCoordonnee(m.OrigineGrille[1], decalage[1]), TexteCoordonnee(m.OrigineGrille[2], decalage[2]),
            FormatC("%.2f", static_cast<double>(m.TrameGrille))};
}

TTextesGrille EntrerPageGrille(TMaillage& m, float zBas, const TV3R& decalage) {
    m.GrilleTri.clear();
    m.GrilleTri.shrink_to_fit();
    m.FrontMin[1] = m.FrontMin[2] = MaxSingle;
    m.FrontMax[1] = m.FrontMax[2] = -MaxSingle;
    for (const TV3S& p : m.Frontiere) {
        for (int i = 1; i <= 2; ++i) {
            if (p[i] < m.FrontMin[i]) m.FrontMin[i] = p[i];
            if (p[i] > m.FrontMax[i]) m.FrontMax[i] = p[i];
        }
    }
    m.OrigineGrille = FaireV3S(m.FrontMin[1], m.FrontMin[2], zBas);
    return AfficherGrille(m, decalage);
}

TTextesGrille ValiderGrille(TMaillage& m, std::string_view texteX, std::string_view texteY,
                            std::string_view texteTrame, const TV3R& decalage) {
    if (const auto x = LireCoordonnee(texteX, decalage[1])) m.OrigineGrille[1] = *x;
    if (const auto y = LireCoordonnee(texteY, decalage[2])) m.OrigineGrille[2] = *y;
    if (const auto t = LireSingle(texteTrame)) m.TrameGrille = *t;
    return AfficherGrille(m, decalage);
}

void AjouterIntersection(TIntersections& r, float c, std::int32_t segment, float origine, float trame) {
    const double o = origine;
    const double T = trame;
    TIntersection n{c, segment, false};
    const float g = Reseau(o, T, Arrondi((static_cast<double>(c) - o) / T));
    if (std::fabs(static_cast<double>(g) - static_cast<double>(c)) < T / 10.0) {
        n.c = g;
        n.cale = true;
    }
    if (r.nb == 0) {
        r.i[0] = n;
    } else {
        // A vertex met by two edges counts once.
        if (std::fabs(static_cast<double>(r.i[0].c) - static_cast<double>(n.c)) < 0.001) return;
        if (n.c > r.i[0].c) {
            r.i[1] = n;
        } else {
            r.i[1] = r.i[0];
            r.i[0] = n;
        }
    }
    ++r.nb;
}

TIntersections ChercherIntersections(std::span<const TV3S> frontiere, ESensLigne sens, float ligne,
                                     float origine, float trame) {
    TIntersections r;
    // a: the coordinate compared with the line; b: the running coordinate along it.
    const int a = sens == ESensLigne::Horizontale ? 2 : 1;
    const int b = sens == ESensLigne::Horizontale ? 1 : 2;
    const std::size_t n = frontiere.size();
    for (std::size_t k = 0; k < n && r.nb < 2; ++k) {
        const std::size_t prec = k == 0 ? n - 1 : k - 1;
        const TV3S& p = frontiere[prec];
        const TV3S& q = frontiere[k];
        const float dPrec = static_cast<float>(static_cast<double>(p[a]) - ligne);
        if (std::fabs(static_cast<double>(dPrec)) < 0.0001) {
            AjouterIntersection(r, p[b], static_cast<std::int32_t>(prec), origine, trame);
            continue;
        }
        const float dCour = static_cast<float>(static_cast<double>(q[a]) - ligne);
        if (std::fabs(static_cast<double>(dCour)) < 0.0001) {
            AjouterIntersection(r, q[b], static_cast<std::int32_t>(k), origine, trame);
            continue;
        }
        if (static_cast<double>(dPrec) * static_cast<double>(dCour) < 0.0) {
            const double c =
                static_cast<double>(p[b]) - static_cast<double>(dPrec) *
                                                (static_cast<double>(p[b]) - static_cast<double>(q[b])) /
                                                (static_cast<double>(p[a]) - static_cast<double>(q[a]));
            AjouterIntersection(r, static_cast<float>(c), static_cast<std::int32_t>(prec), origine, trame);
        }
    }
    return r;
}

bool PointFrontiereGrille(TMaillage& m, TIndexPointsModele& index, double c, double r, int d, const TV3S& P,
                          std::int32_t segment, bool cale) {
    if (!DansGrille(m, c, r)) return false;
    const std::int32_t noeud = index.AjouterPointModele(FaireV3S(P[1], P[2], 0.0f), segment);
    TPointTri& t = Cellule(m, c, r);
    t.typepttri = 2;
    t.numsegfront0 = segment;
    if (cale)
        t.PTrInt = noeud;
    else if (t.PTrHV[d][1] == 0)
        t.PTrHV[d][1] = noeud;
    else
        t.PTrHV[d][2] = noeud;
    return true;
}

bool PointInterieurGrille(TMaillage& m, TIndexPointsModele& index, double k, double r, const TV3S& P) {
    if (!DansGrille(m, k, r)) return false;
    const std::int32_t noeud = index.AjouterPointModele(P, -1);
    TPointTri& t = Cellule(m, k, r);
    t.PTrInt = noeud;
    if (t.typepttri == 0) t.typepttri = 1;
    return true;
}

bool ZPlusProcheCube(TMaillage& m, std::span<TCube* const> cubesAffiches) {
    if (std::ranges::none_of(cubesAffiches, [](const TCube* c) { return DonneHauteur(*c); })) return false;
    if (m.NbPointsModele <= 1) return true;
    const TIndexCubesXY index(cubesAffiches);
    const auto hauteurs = [&](std::int32_t debut, std::int32_t fin) {
        for (std::int32_t i = debut; i < fin; ++i) {
            TV3S& p = m.PointsModele[static_cast<std::size_t>(i)].CoPM;
            const std::int32_t c = index.PlusProche(p[1], p[2]);
            p[3] = cubesAffiches[static_cast<std::size_t>(c)]->CooMoyPts[3];
        }
    };
    // Each node's search is independent of the others: the nodes are shared out between the cores.
    const std::int64_t n = m.NbPointsModele - 1;
    const std::int64_t parts =
        std::clamp<std::int64_t>(std::thread::hardware_concurrency(), 1, n / 10000 + 1);
    const auto borne = [&](std::int64_t k) { return static_cast<std::int32_t>(1 + n * k / parts); };
    std::vector<std::jthread> fils;
    for (std::int64_t k = 1; k < parts; ++k) fils.emplace_back(hauteurs, borne(k), borne(k + 1));
    hauteurs(borne(0), borne(1));
    return true;
}

namespace {

// Columns and rows of the lattice, or the reason why there is no grid.
struct TDimensions {
    double NbCol = 0.0;
    double NbLig = 0.0;
    std::string Refus;
    ECauseRefus Cause = ECauseRefus::Aucune;
};

TDimensions DimensionnerGrille(const TMaillage& m) {
    TDimensions d;
    const double T = m.TrameGrille;
    if (!std::isfinite(T) || T <= 0.0) {
        d.Refus = FormatC("trame de grille incorrecte (%g) : elle doit être un nombre positif", T);
        d.Cause = ECauseRefus::Trame;
        return d;
    }
    if (m.Frontiere.empty()) return d;
    d.NbCol = Arrondi((static_cast<double>(m.FrontMax[1]) - m.OrigineGrille[1] + 0.001) / T) + 2.0;
    d.NbLig = Arrondi((static_cast<double>(m.FrontMax[2]) - m.OrigineGrille[2] + 0.001) / T) + 2.0;
    if (!(d.NbCol >= 1.0 && d.NbLig >= 1.0)) {
        d.Refus = "la grille ne couvre pas la frontière : l'origine est au-delà de son étendue "
                  "(revenir sur la page « Grille de capture »)";
        d.Cause = ECauseRefus::Origine;
    } else if (d.NbCol * d.NbLig > MaxCellulesGrille) {
        d.Refus = FormatC("trame de grille trop fine : la grille aurait %.0f cellules, la limite est de 10 "
                          "millions",
                          d.NbCol * d.NbLig);
        d.Cause = ECauseRefus::Trame;
    }
    return d;
}

void PreparerTables(TMaillage& m, const TDimensions& d) {
    m.NbColGrille = static_cast<std::int32_t>(d.NbCol);
    m.NbLigGrille = static_cast<std::int32_t>(d.NbLig);
    m.GrilleTri.assign(static_cast<std::size_t>(d.NbCol * d.NbLig), TPointTri{});
    m.GrilleTri.shrink_to_fit();
    m.PointsModele.assign(128, TPointModele{});
    m.NbPointsModele = 1;
}

// The cell of a crossing along a lattice line: its lattice point when snapped, else the one just before
// it; the second crossing of a line is taken 1 mm back.
double CelluleIntersection(const TIntersection& i, double origine, double T, double recul) {
    const double u = (static_cast<double>(i.c) - origine - recul) / T;
    return i.cale ? Arrondi(u) : std::floor(u);
}

class TPasses {
public:
    TPasses(TMaillage& m, TCompteRenduGrille& cr) : m_(m), cr_(cr), index_(m) {}

    // Rows: the crossings, then the lattice points between them; only the columns of the grid are
    // walked, the others are counted.
    void Horizontale() {
        const double ox = m_.OrigineGrille[1];
        double noeudsHors = 0.0;
        for (std::int32_t r = 0; r < m_.NbLigGrille; ++r) {
            const float y = Reseau(m_.OrigineGrille[2], T_, r);
            const TIntersections s = ChercherIntersections(m_.Frontiere, ESensLigne::Horizontale, y,
                                                           m_.OrigineGrille[1], m_.TrameGrille);
            if (s.nb == 0) continue;
            const double c1 = CelluleIntersection(s.i[0], ox, T_, 0.0);
            Frontiere(c1, r, 1, s.i[0].c, y, s.i[0]);
            if (s.nb < 2) continue;
            const double c2 = CelluleIntersection(s.i[1], ox, T_, 0.001);
            Frontiere(c2, r, 1, s.i[1].c, y, s.i[1]);
            const double premier = std::max(c1 + 1.0, 0.0);
            const double dernier = std::min(c2, static_cast<double>(m_.NbColGrille) - 1.0);
            for (double k = premier; k <= dernier; k += 1.0)
                PointInterieurGrille(m_, index_, k, r, FaireV3S(Reseau(ox, T_, k), y, 0.0f));
            noeudsHors += std::max(c2 - c1, 0.0) - std::max(dernier - premier + 1.0, 0.0);
        }
        cr_.NoeudsHorsGrille = VersEntier(noeudsHors);
    }

    // Columns: crossings only.
    void Verticale() {
        const double oy = m_.OrigineGrille[2];
        for (std::int32_t c = 0; c < m_.NbColGrille; ++c) {
            const float x = Reseau(m_.OrigineGrille[1], T_, c);
            const TIntersections s = ChercherIntersections(m_.Frontiere, ESensLigne::Verticale, x,
                                                           m_.OrigineGrille[2], m_.TrameGrille);
            if (s.nb == 0) continue;
            Frontiere(c, CelluleIntersection(s.i[0], oy, T_, 0.0), 2, x, s.i[0].c, s.i[0]);
            if (s.nb < 2) continue;
            Frontiere(c, CelluleIntersection(s.i[1], oy, T_, 0.001), 2, x, s.i[1].c, s.i[1]);
        }
    }

private:
    void Frontiere(double c, double r, int d, float x, float y, const TIntersection& i) {
        if (!PointFrontiereGrille(m_, index_, c, r, d, FaireV3S(x, y, 0.0f), i.segment, i.cale))
            ++cr_.IntersectionsHorsGrille;
    }

    TMaillage& m_;
    TCompteRenduGrille& cr_;
    TIndexPointsModele index_;
    double T_ = m_.TrameGrille;
};

std::string MessageGrille(const TMaillage& m, const TCompteRenduGrille& cr) {
    std::string message;
    if (m.Frontiere.empty()) AjouterNote(message, "frontière vide : aucun noeud");
    if (cr.IntersectionsHorsGrille > 0 || cr.NoeudsHorsGrille > 0)
        AjouterNote(message,
                    FormatC("%lld intersection(s) et %lld noeud(s) hors de la grille ignorés (origine "
                            "au-delà du minimum de la frontière, ou frontière changée depuis l'entrée "
                            "dans la page)",
                            static_cast<long long>(cr.IntersectionsHorsGrille),
                            static_cast<long long>(cr.NoeudsHorsGrille)));
    if (cr.SansHauteur)
        AjouterNote(message,
                    "aucune hauteur prise dans le nuage : aucun point affiché, les noeuds restent à Z = 0");
    return message;
}

// From (px, py) to the segment a b, in plan.
double DistanceSegment(double px, double py, const TV3S& a, const TV3S& b) {
    const double ax = a[1], ay = a[2];
    const double dx = static_cast<double>(b[1]) - ax;
    const double dy = static_cast<double>(b[2]) - ay;
    const double l2 = dx * dx + dy * dy;
    const double t = l2 > 0.0 ? std::clamp(((px - ax) * dx + (py - ay) * dy) / l2, 0.0, 1.0) : 0.0;
    const double ex = px - (ax + t * dx);
    const double ey = py - (ay + t * dy);
    return std::sqrt(ex * ex + ey * ey);
}

} // namespace

void AppuisSurSegments(TMaillage& m) {
    const std::size_t n = m.Frontiere.size();
    for (std::int32_t i = 1; i < m.NbPointsModele; ++i) {
        TPointModele& p = m.PointsModele[static_cast<std::size_t>(i)];
        if (p.NumFront0 != -1) continue;
        for (std::size_t s = 0; s < n; ++s) {
            if (DistanceSegment(p.CoPM[1], p.CoPM[2], m.Frontiere[s], m.Frontiere[(s + 1) % n]) < 0.001) {
                p.NumFront0 = static_cast<std::int32_t>(s);
                break;
            }
        }
    }
}

TCompteRenduGrille CalculerPointsGrille(TMaillage& m, std::span<TCube* const> cubesAffiches) {
    TCompteRenduGrille cr;
    const TDimensions d = DimensionnerGrille(m);
    if (!d.Refus.empty()) {
        cr.Message = d.Refus;
        cr.Cause = d.Cause;
        return cr;
    }
    cr.Calcule = true;
    PreparerTables(m, d);
    {
        TPasses passes(m, cr);
        passes.Horizontale();
        passes.Verticale();
    }
    AppuisSurSegments(m);
    m.PointsModele.resize(static_cast<std::size_t>(m.NbPointsModele));
    m.PointsModele.shrink_to_fit();
    cr.SansHauteur = !ZPlusProcheCube(m, cubesAffiches) && m.NbPointsModele > 1;
    cr.Message = MessageGrille(m, cr);
    return cr;
}

} // namespace tessarc

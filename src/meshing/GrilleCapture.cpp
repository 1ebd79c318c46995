#include "GrilleCapture.h"

#include "IndexCubesXY.h"
#include "Nombres.h"
#include "Saisie.h"

#include <algorithm>
#include <cmath>
#include <limits>

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

TTextesGrille AfficherGrille(const TMaillage& m) {
    return {FormatC("%.2f", static_cast<double>(m.OrigineGrille[1])),
            FormatC("%.2f", static_cast<double>(m.OrigineGrille[2])),
            FormatC("%.2f", static_cast<double>(m.TrameGrille))};
}

TTextesGrille EntrerPageGrille(TMaillage& m, float zBas) {
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
    return AfficherGrille(m);
}

TTextesGrille ValiderGrille(TMaillage& m, std::string_view texteX, std::string_view texteY,
                            std::string_view texteTrame) {
    if (const auto x = LireSingle(texteX)) m.OrigineGrille[1] = *x;
    if (const auto y = LireSingle(texteY)) m.OrigineGrille[2] = *y;
    if (const auto t = LireSingle(texteTrame)) m.TrameGrille = *t;
    return AfficherGrille(m);
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
    if (cubesAffiches.empty()) return false;
    if (m.NbPointsModele <= 1) return true;
    const TIndexCubesXY index(cubesAffiches);
    for (std::int32_t i = 1; i < m.NbPointsModele; ++i) {
        TV3S& p = m.PointsModele[static_cast<std::size_t>(i)].CoPM;
        const std::int32_t c = index.PlusProche(p[1], p[2]);
        p[3] = cubesAffiches[static_cast<std::size_t>(c)]->CooMoyPts[3];
    }
    return true;
}

TCompteRenduGrille CalculerPointsGrille(TMaillage& m, std::span<TCube* const> cubesAffiches) {
    TCompteRenduGrille cr;
    const double T = m.TrameGrille;
    if (!std::isfinite(T) || T <= 0.0) {
        cr.Message = FormatC("trame de grille incorrecte (%g) : elle doit être un nombre positif", T);
        return cr;
    }
    const double ox = m.OrigineGrille[1];
    const double oy = m.OrigineGrille[2];

    double nbCol = 0.0;
    double nbLig = 0.0;
    if (!m.Frontiere.empty()) {
        nbCol = Arrondi((static_cast<double>(m.FrontMax[1]) - ox + 0.001) / T) + 2.0;
        nbLig = Arrondi((static_cast<double>(m.FrontMax[2]) - oy + 0.001) / T) + 2.0;
        if (!(nbCol >= 1.0 && nbLig >= 1.0)) {
            cr.Message = "la grille ne couvre pas la frontière : l'origine est au-delà de son étendue "
                         "(revenir sur la page « Grille de capture »)";
            return cr;
        }
        if (nbCol * nbLig > MaxCellulesGrille) {
            cr.Message = FormatC("trame de grille trop fine : la grille aurait %.0f cellules, la limite est "
                                 "de 10 millions",
                                 nbCol * nbLig);
            return cr;
        }
    }

    cr.Calcule = true;
    m.NbColGrille = static_cast<std::int32_t>(nbCol);
    m.NbLigGrille = static_cast<std::int32_t>(nbLig);
    m.GrilleTri.assign(static_cast<std::size_t>(nbCol * nbLig), TPointTri{});
    m.GrilleTri.shrink_to_fit();
    m.PointsModele.assign(128, TPointModele{});
    m.NbPointsModele = 1;
    TIndexPointsModele index(m);

    const auto frontiere = [&](double c, double r, int d, float x, float y, const TIntersection& i) {
        if (!PointFrontiereGrille(m, index, c, r, d, FaireV3S(x, y, 0.0f), i.segment, i.cale))
            ++cr.IntersectionsHorsGrille;
    };

    // Horizontal pass: crossings, then the lattice points between them.
    double noeudsHors = 0.0;
    for (std::int32_t r = 0; r < m.NbLigGrille; ++r) {
        const float y = Reseau(oy, T, r);
        const TIntersections s =
            ChercherIntersections(m.Frontiere, ESensLigne::Horizontale, y, m.OrigineGrille[1], m.TrameGrille);
        if (s.nb == 0) continue;
        const TIntersection& i1 = s.i[0];
        const double u1 = (static_cast<double>(i1.c) - ox) / T;
        const double c1 = i1.cale ? Arrondi(u1) : std::floor(u1);
        frontiere(c1, r, 1, i1.c, y, i1);
        if (s.nb < 2) continue;
        const TIntersection& i2 = s.i[1];
        const double u2 = (static_cast<double>(i2.c) - ox - 0.001) / T;
        const double c2 = i2.cale ? Arrondi(u2) : std::floor(u2);
        frontiere(c2, r, 1, i2.c, y, i2);
        // Only the columns of the grid are walked; the others are counted.
        const double premier = std::max(c1 + 1.0, 0.0);
        const double dernier = std::min(c2, static_cast<double>(m.NbColGrille) - 1.0);
        for (double k = premier; k <= dernier; k += 1.0)
            PointInterieurGrille(m, index, k, r, FaireV3S(Reseau(ox, T, k), y, 0.0f));
        noeudsHors += std::max(c2 - c1, 0.0) - std::max(dernier - premier + 1.0, 0.0);
    }

    cr.NoeudsHorsGrille = VersEntier(noeudsHors);

    // Vertical pass: crossings only.
    for (std::int32_t c = 0; c < m.NbColGrille; ++c) {
        const float x = Reseau(ox, T, c);
        const TIntersections s =
            ChercherIntersections(m.Frontiere, ESensLigne::Verticale, x, m.OrigineGrille[2], m.TrameGrille);
        if (s.nb == 0) continue;
        const TIntersection& i1 = s.i[0];
        const double v1 = (static_cast<double>(i1.c) - oy) / T;
        frontiere(c, i1.cale ? Arrondi(v1) : std::floor(v1), 2, x, i1.c, i1);
        if (s.nb < 2) continue;
        const TIntersection& i2 = s.i[1];
        const double v2 = (static_cast<double>(i2.c) - oy - 0.001) / T;
        frontiere(c, i2.cale ? Arrondi(v2) : std::floor(v2), 2, x, i2.c, i2);
    }

    m.PointsModele.resize(static_cast<std::size_t>(m.NbPointsModele));
    m.PointsModele.shrink_to_fit();

    cr.SansHauteur = !ZPlusProcheCube(m, cubesAffiches) && m.NbPointsModele > 1;

    std::string message;
    const auto ajouter = [&](const std::string& t) { message += (message.empty() ? "" : " ; ") + t; };
    if (m.Frontiere.empty()) ajouter("frontière vide : aucun noeud");
    if (cr.IntersectionsHorsGrille > 0 || cr.NoeudsHorsGrille > 0)
        ajouter(FormatC("%lld intersection(s) et %lld noeud(s) hors de la grille ignorés (origine au-delà du "
                        "minimum de la frontière, ou frontière changée depuis l'entrée dans la page)",
                        static_cast<long long>(cr.IntersectionsHorsGrille),
                        static_cast<long long>(cr.NoeudsHorsGrille)));
    if (cr.SansHauteur)
        ajouter("aucune hauteur prise dans le nuage : aucun point affiché, les noeuds restent à Z = 0");
    cr.Message = message;
    return cr;
}

} // namespace tessarc

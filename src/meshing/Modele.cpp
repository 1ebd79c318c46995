#include "Modele.h"

#include "Nombres.h"
#include "Saisie.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>
#include <numbers>

namespace tessarc {

namespace {

constexpr const char* FinLigne = "\r\n";
constexpr double MaxTranches = 1'000'000.0;

// Slices of height h counted upwards from `seuil`: when z lies above the current slice, the threshold
// rises by as many slices as it takes to hold z, and the caller writes one header for that slice.
bool Franchir(float z, float h, float& seuil, float& cumul) {
    if (!(z > seuil)) return false;
    do {
        seuil = static_cast<float>(static_cast<double>(seuil) + h);
        cumul = static_cast<float>(static_cast<double>(cumul) + h);
    } while (z > seuil);
    return true;
}

// printf's "%10d" and "%10.2f", which the tables are made of, without the locale switch and the double
// pass of FormatC: the very same bytes (fixed notation with a precision rounds as printf does).
void Colonne(std::string& t, const char* debut, const char* fin) {
    const auto n = static_cast<std::size_t>(fin - debut);
    if (n < 10) t.append(10 - n, ' ');
    t.append(debut, fin);
}

void Entier10(std::string& t, std::int64_t v) {
    char tampon[24];
    Colonne(t, tampon, std::to_chars(tampon, tampon + sizeof tampon, v).ptr);
}

void Reel10(std::string& t, double v) {
    if (!std::isfinite(v)) {
        t += FormatC("%10.2f", v);
        return;
    }
    char tampon[64];
    Colonne(t, tampon, std::to_chars(tampon, tampon + sizeof tampon, v, std::chars_format::fixed, 2).ptr);
}

int NumeroTranche(float cumul) {
    return static_cast<int>(std::nearbyint(static_cast<double>(cumul) * 100.0));
}

// Refuses slices that the float threshold could not climb in reasonable steps, or whose header
// number would not fit: h far too small for the heights, or absurdly large.
std::string VerifierTranches(double seuil, double haut, float h) {
    if (!(haut > seuil)) return {};
    const double nb = std::ceil((haut - seuil) / h);
    if (nb > MaxTranches || h < std::ldexp(std::max(std::fabs(seuil), std::fabs(haut)), -20))
        return FormatC("hauteur de tranche trop petite : les hauteurs du modèle demanderaient plus de %.0f "
                       "tranches",
                       MaxTranches);
    if ((nb + 1.0) * h * 100.0 > std::numeric_limits<std::int32_t>::max())
        return "hauteur de tranche trop grande";
    return {};
}

} // namespace

int ComparerHauteurs(float a, float b) {
    const double da = a;
    const double db = b;
    const double ecart = std::fabs(da - db);
    const double tolerance = std::max(1e-4, 1e-4 * std::min(std::fabs(da), std::fabs(db)));
    if (!(ecart > tolerance)) return 0;
    return da < db ? -1 : 1;
}

namespace {

// The five boxes as the computation uses them.
struct TParametres {
    std::int64_t BaseNoeuds = 1;
    std::int64_t BaseElements = 1;
    float ZBas = 0.0f;
    float Theta = 0.0f;
    float Sin = 0.0f;
    float Cos = 1.0f;
    float H = 0.0f; // slice height, metres
};

struct TRefus {
    std::string Message;
    ECauseRefus Cause = ECauseRefus::Aucune;
};

TParametres LireSaisie(const TSaisieModele& saisie) {
    TParametres p;
    p.BaseNoeuds = LireEntier(Rogner(saisie.Noeuds)).value_or(1);
    p.BaseElements = LireEntier(Rogner(saisie.Elements)).value_or(1);
    p.ZBas = LireSingle(saisie.ZBas).value_or(0.0f);
    const float rotation = LireSingle(saisie.Rotation).value_or(0.0f);
    const float tranche = LireSingle(saisie.Tranches).value_or(0.0f);
    p.Theta = static_cast<float>(static_cast<double>(rotation) * std::numbers::pi / 180.0);
    if (p.Theta != 0.0f) {
        p.Sin = static_cast<float>(std::sin(static_cast<double>(p.Theta)));
        p.Cos = static_cast<float>(std::cos(static_cast<double>(p.Theta)));
    }
    p.H = static_cast<float>(static_cast<double>(tranche) / 100.0);
    return p;
}

// X and Y of the tables: the axes turned by theta counter-clockwise.
std::array<float, 2> Tourner(const TParametres& p, float x, float y) {
    if (p.Theta == 0.0f) return {x, y};
    return {static_cast<float>(static_cast<double>(p.Cos) * x + static_cast<double>(p.Sin) * y),
            static_cast<float>(-static_cast<double>(p.Sin) * x + static_cast<double>(p.Cos) * y)};
}

std::vector<TPointModele*> TrierNoeuds(TMaillage& m) {
    std::vector<TPointModele*> noeuds;
    noeuds.reserve(m.PointsModele.size());
    for (std::size_t i = 1; i < m.PointsModele.size(); ++i) noeuds.push_back(&m.PointsModele[i]);
    TrierPointeurs(noeuds, [](const TPointModele* a, const TPointModele* b) {
        return ComparerHauteurs(a->CoPM[3], b->CoPM[3]);
    });
    return noeuds;
}

// Mean height of each triangle from the stored node heights, each partial sum held in a single.
std::vector<float> HauteursTriangles(const TMaillage& m) {
    std::vector<float> z(m.Triangles.size());
    for (std::size_t k = 0; k < m.Triangles.size(); ++k) {
        const auto& t = m.Triangles[k].Sommets;
        const auto zs = [&](int i) {
            return static_cast<double>(m.PointsModele[static_cast<std::size_t>(t[i])].CoPM[3]);
        };
        const float ab = static_cast<float>(zs(0) + zs(1));
        const float abc = static_cast<float>(static_cast<double>(ab) + zs(2));
        z[k] = static_cast<float>(static_cast<double>(abc) / 3.0);
    }
    return z;
}

// The height written for a node, and the threshold of the first node slice: the checks and the table
// must use the same floats.
float HauteurEcrite(const TPointModele& n, float decalage) {
    return static_cast<float>(static_cast<double>(n.CoPM[3]) + decalage);
}
float SeuilNoeuds(const TParametres& p) {
    return static_cast<float>(static_cast<double>(p.ZBas) - 0.001);
}

// The refusals, checked before anything is written: slices, numbers that would overflow, and slices
// the heights could not climb.
TRefus Verifier(const TParametres& p, const std::vector<TPointModele*>& noeuds, std::size_t nbTriangles,
                const std::vector<float>& zTriangles, float decalage) {
    if (!(p.H > 0.0f))
        return {"hauteur de tranche incorrecte : elle doit être un nombre positif de centimètres",
                ECauseRefus::Tranches};
    const auto depasse = [](std::int64_t base, std::size_t n) {
        return base + static_cast<std::int64_t>(n) - 1 > std::numeric_limits<std::int32_t>::max();
    };
    const std::string trop = "base de numérotation trop grande : les numéros dépasseraient 2147483647";
    if (depasse(p.BaseNoeuds, noeuds.size())) return {trop, ECauseRefus::BaseNoeuds};
    if (depasse(p.BaseElements, nbTriangles)) return {trop, ECauseRefus::BaseElements};

    double hautNoeuds = -std::numeric_limits<double>::infinity();
    for (const TPointModele* n : noeuds)
        hautNoeuds = std::max(hautNoeuds, static_cast<double>(HauteurEcrite(*n, decalage)));
    std::string refus = VerifierTranches(SeuilNoeuds(p), hautNoeuds, p.H);
    if (refus.empty() && !zTriangles.empty()) {
        // The elements are sorted on these heights; their lowest starts the slices.
        const float bas = *std::ranges::min_element(zTriangles);
        const float haut = *std::ranges::max_element(zTriangles);
        refus = VerifierTranches(static_cast<double>(bas) - 0.002, haut, p.H);
    }
    return {refus, refus.empty() ? ECauseRefus::Aucune : ECauseRefus::Tranches};
}

// Numbers the nodes in height order and writes the node table; returns the supports of each segment,
// "," before each number.
std::vector<std::string> TableNoeuds(const std::vector<TPointModele*>& noeuds, std::size_t nbSegments,
                                     const TParametres& p, float decalage, TResultatModele& res) {
    std::vector<std::string> supports(nbSegments);
    std::string& nds = res.ResulNds;
    res.Modele.Noeuds.reserve(noeuds.size());
    nds.reserve(48 * noeuds.size());
    float seuil = SeuilNoeuds(p);
    float cumul = 0.0f;
    std::int64_t numero = p.BaseNoeuds;
    for (TPointModele* n : noeuds) {
        n->NumPt = static_cast<std::int32_t>(numero++);
        const auto [x, y] = Tourner(p, n->CoPM[1], n->CoPM[2]);
        const float z = HauteurEcrite(*n, decalage);
        if (Franchir(z, p.H, seuil, cumul))
            nds += FormatC("GROUPE NDS_TR%d", NumeroTranche(cumul)) + FinLigne;
        Entier10(nds, n->NumPt);
        for (const float v : {x, y, z}) {
            nds += ' ';
            Reel10(nds, v);
        }
        nds += FinLigne;
        res.Modele.Noeuds.push_back({n->NumPt, x, y, z, n->NumFront0 >= 0 ? n->NumFront0 : -1});
        if (n->NumFront0 >= 0) {
            // A node of a segment beyond the current boundary (changed after the grid was computed)
            // stays a support.
            const auto k = static_cast<std::size_t>(n->NumFront0);
            if (k >= supports.size()) supports.resize(k + 1);
            supports[k] += "," + std::to_string(n->NumPt);
        }
    }
    return supports;
}

std::string TexteGeneral(const std::vector<std::string>& supports, const TV3R& decalageScan) {
    std::string gen = std::string("OPTIONS PS EC Z") + FinLigne + "TITRE modèle voute" + FinLigne;
    if (decalageScan != TV3R{})
        gen += FormatC(";decalage %.0f %.0f %.0f", decalageScan[1], decalageScan[2], decalageScan[3]) + FinLigne;
    for (const char* l : {"NOEUDS", "UNITES M", "LIRETABLE tblnds", "MAILLAGES", "ELFI DKT18 maco 0.10",
                          "LIRETABLE tblelfis", "LIAISONS"})
        gen += std::string(l) + FinLigne;
    for (std::size_t k = 0; k < supports.size(); ++k) {
        if (supports[k].empty()) continue;
        gen += ";segment " + std::to_string(k) + FinLigne;
        gen += "A " + supports[k].substr(1) + FinLigne;
    }
    for (const char* l : {"CHARGES", "CAS 1 G 1 = cp", "G", ";MAXI 1", "FIN"})
        gen += std::string(l) + FinLigne;
    return gen;
}

// Stores each triangle's height, sorts them and writes the element table.
void TableElements(TMaillage& m, const std::vector<float>& zTriangles, const TParametres& p,
                   TResultatModele& res) {
    for (std::size_t k = 0; k < m.Triangles.size(); ++k) m.Triangles[k].Z = zTriangles[k];
    std::vector<TTriangle*> triangles;
    triangles.reserve(m.Triangles.size());
    for (TTriangle& t : m.Triangles) triangles.push_back(&t);
    TrierPointeurs(triangles,
                   [](const TTriangle* a, const TTriangle* b) { return ComparerHauteurs(a->Z, b->Z); });
    if (triangles.empty()) return;
    std::string& elts = res.ResulElts;
    res.Modele.Elements.reserve(triangles.size());
    elts.reserve(48 * triangles.size());
    float seuil = static_cast<float>(static_cast<double>(triangles.front()->Z) - 0.001);
    float cumul = 0.0f;
    std::int64_t numero = p.BaseElements;
    for (const TTriangle* t : triangles) {
        if (Franchir(t->Z, p.H, seuil, cumul))
            elts += FormatC("GROUPE TRI_TR%d", NumeroTranche(cumul)) + FinLigne;
        TElementNumerote e{static_cast<std::int32_t>(numero++), {}, NumeroTranche(cumul)};
        for (std::size_t i = 0; i < 3; ++i) {
            const std::int32_t n = m.PointsModele[static_cast<std::size_t>(t->Sommets[i])].NumPt;
            e.Noeuds[i] = static_cast<std::size_t>(n - p.BaseNoeuds);
        }
        Entier10(elts, e.Numero);
        for (const std::size_t i : e.Noeuds) {
            elts += ' ';
            Entier10(elts, res.Modele.Noeuds[i].Numero);
        }
        elts += FinLigne;
        res.Modele.Elements.push_back(e);
    }
}

} // namespace

TResultatModele CalculerModele(TMaillage& m, const TSaisieModele& saisie, const TV3R& decalageScan) {
    TResultatModele res;
    const TParametres p = LireSaisie(saisie);
    const std::vector<TPointModele*> noeuds = TrierNoeuds(m);
    const std::vector<float> zTriangles = HauteursTriangles(m);
    // The lowest node goes to "Z point bas".
    const float zMin = noeuds.empty() ? 0.0f : noeuds.front()->CoPM[3];
    const float decalage = static_cast<float>(static_cast<double>(p.ZBas) - zMin);
    const TRefus refus = Verifier(p, noeuds, m.Triangles.size(), zTriangles, decalage);
    if (!refus.Message.empty()) {
        res.Message = refus.Message;
        res.Cause = refus.Cause;
        return res;
    }
    res.ResulGen = TexteGeneral(TableNoeuds(noeuds, m.Frontiere.size(), p, decalage, res), decalageScan);
    TableElements(m, zTriangles, p, res);
    for (const TV3S& f : m.Frontiere) res.Modele.Frontiere.push_back(Tourner(p, f[1], f[2]));
    res.Calcule = true;
    return res;
}

} // namespace tessarc

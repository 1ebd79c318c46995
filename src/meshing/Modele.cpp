#include "Modele.h"

#include "Nombres.h"
#include "Saisie.h"

#include <algorithm>
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

TResultatModele CalculerModele(TMaillage& m, const TSaisieModele& saisie) {
    TResultatModele res;
    const std::int64_t baseNoeuds = LireEntier(Rogner(saisie.Noeuds)).value_or(1);
    const std::int64_t baseElements = LireEntier(Rogner(saisie.Elements)).value_or(1);
    const float zBas = LireSingle(saisie.ZBas).value_or(0.0f);
    const float rotation = LireSingle(saisie.Rotation).value_or(0.0f);
    const float tranche = LireSingle(saisie.Tranches).value_or(0.0f);

    const float theta = static_cast<float>(static_cast<double>(rotation) * std::numbers::pi / 180.0);
    float s = 0.0f;
    float c = 1.0f;
    if (theta != 0.0f) {
        s = static_cast<float>(std::sin(static_cast<double>(theta)));
        c = static_cast<float>(std::cos(static_cast<double>(theta)));
    }
    const float h = static_cast<float>(static_cast<double>(tranche) / 100.0);
    if (!(h > 0.0f)) {
        res.Message = "hauteur de tranche incorrecte : elle doit être un nombre positif de centimètres";
        return res;
    }

    std::vector<TPointModele*> noeuds;
    noeuds.reserve(m.PointsModele.size());
    for (std::size_t i = 1; i < m.PointsModele.size(); ++i) noeuds.push_back(&m.PointsModele[i]);
    TrierPointeurs(noeuds, [](const TPointModele* a, const TPointModele* b) {
        return ComparerHauteurs(a->CoPM[3], b->CoPM[3]);
    });

    const auto dernier = [](std::int64_t base, std::size_t n) {
        return base + static_cast<std::int64_t>(n) - 1;
    };
    if (dernier(baseNoeuds, noeuds.size()) > std::numeric_limits<std::int32_t>::max() ||
        dernier(baseElements, m.Triangles.size()) > std::numeric_limits<std::int32_t>::max()) {
        res.Message = "base de numérotation trop grande : les numéros dépasseraient 2147483647";
        return res;
    }

    // Heights as written, and the mean height of each triangle from the stored node heights.
    const float zMin = noeuds.empty() ? 0.0f : noeuds.front()->CoPM[3];
    const float decalage = static_cast<float>(static_cast<double>(zBas) - zMin);
    const auto hauteur = [&](const TPointModele* p) {
        return static_cast<float>(static_cast<double>(p->CoPM[3]) + decalage);
    };
    std::vector<float> zTriangles(m.Triangles.size());
    for (std::size_t k = 0; k < m.Triangles.size(); ++k) {
        const auto& t = m.Triangles[k].Sommets;
        const auto z = [&](int i) {
            return static_cast<double>(m.PointsModele[static_cast<std::size_t>(t[i])].CoPM[3]);
        };
        const float ab = static_cast<float>(z(0) + z(1));
        const float abc = static_cast<float>(static_cast<double>(ab) + z(2));
        zTriangles[k] = static_cast<float>(static_cast<double>(abc) / 3.0);
    }

    const float seuilNoeuds = static_cast<float>(static_cast<double>(zBas) - 0.001);
    double hautNoeuds = -std::numeric_limits<double>::infinity();
    for (const TPointModele* p : noeuds) hautNoeuds = std::max(hautNoeuds, static_cast<double>(hauteur(p)));
    std::string refus = VerifierTranches(seuilNoeuds, hautNoeuds, h);
    std::vector<TTriangle*> triangles;
    triangles.reserve(m.Triangles.size());
    for (TTriangle& t : m.Triangles) triangles.push_back(&t);
    if (refus.empty() && !triangles.empty()) {
        // The elements are sorted below on these heights; their lowest starts the slices.
        const float bas = *std::ranges::min_element(zTriangles);
        const float haut = *std::ranges::max_element(zTriangles);
        refus = VerifierTranches(static_cast<double>(bas) - 0.002, haut, h);
    }
    if (!refus.empty()) {
        res.Message = refus;
        return res;
    }

    // Node table.
    std::string& nds = res.ResulNds;
    std::vector<std::string> supports(m.Frontiere.size());
    float seuil = seuilNoeuds;
    float cumul = 0.0f;
    std::int64_t numero = baseNoeuds;
    for (TPointModele* p : noeuds) {
        p->NumPt = static_cast<std::int32_t>(numero++);
        float x = p->CoPM[1];
        float y = p->CoPM[2];
        if (theta != 0.0f) {
            x = static_cast<float>(static_cast<double>(c) * p->CoPM[1] + static_cast<double>(s) * p->CoPM[2]);
            y = static_cast<float>(-static_cast<double>(s) * p->CoPM[1] +
                                   static_cast<double>(c) * p->CoPM[2]);
        }
        const float z = hauteur(p);
        if (Franchir(z, h, seuil, cumul)) nds += FormatC("GROUPE NDS_TR%d", NumeroTranche(cumul)) + FinLigne;
        nds += FormatC("%10d %10.2f %10.2f %10.2f", p->NumPt, static_cast<double>(x), static_cast<double>(y),
                       static_cast<double>(z)) +
               FinLigne;
        if (p->NumFront0 >= 0) {
            // A node of a segment beyond the current boundary (changed after the grid was computed)
            // stays a support.
            const auto k = static_cast<std::size_t>(p->NumFront0);
            if (k >= supports.size()) supports.resize(k + 1);
            supports[k] += "," + std::to_string(p->NumPt);
        }
    }

    // General text.
    std::string& gen = res.ResulGen;
    for (const char* l : {"OPTIONS PS EC Z", "TITRE modèle voute", "NOEUDS", "UNITES M", "LIRETABLE tblnds",
                          "MAILLAGES", "ELFI DKT18 maco 0.10", "LIRETABLE tblelfis", "LIAISONS"})
        gen += std::string(l) + FinLigne;
    for (std::size_t k = 0; k < supports.size(); ++k) {
        if (supports[k].empty()) continue;
        gen += ";segment " + std::to_string(k) + FinLigne;
        gen += "A " + supports[k].substr(1) + FinLigne;
    }
    for (const char* l : {"CHARGES", "CAS 1 G 1 = cp", "G", ";MAXI 1", "FIN"})
        gen += std::string(l) + FinLigne;

    // Element table.
    for (std::size_t k = 0; k < m.Triangles.size(); ++k) m.Triangles[k].Z = zTriangles[k];
    TrierPointeurs(triangles,
                   [](const TTriangle* a, const TTriangle* b) { return ComparerHauteurs(a->Z, b->Z); });
    std::string& elts = res.ResulElts;
    if (!triangles.empty()) {
        seuil = static_cast<float>(static_cast<double>(triangles.front()->Z) - 0.001);
        cumul = 0.0f;
        numero = baseElements;
        for (const TTriangle* t : triangles) {
            if (Franchir(t->Z, h, seuil, cumul))
                elts += FormatC("GROUPE TRI_TR%d", NumeroTranche(cumul)) + FinLigne;
            const auto num = [&](int i) {
                return m.PointsModele[static_cast<std::size_t>(t->Sommets[static_cast<std::size_t>(i)])]
                    .NumPt;
            };
            elts +=
                FormatC("%10d %10d %10d %10d", static_cast<int>(numero++), num(0), num(1), num(2)) + FinLigne;
        }
    }
    res.Calcule = true;
    return res;
}

} // namespace tessarc

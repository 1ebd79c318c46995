#include "ImagePlan.h"

#include "Nombres.h"

#include <cairo.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <map>
#include <memory>
#include <stdexcept>
#include <vector>

namespace tessarc {

namespace {

constexpr double HauteurLigneLegende = 20.0;
constexpr std::size_t MaxLignesLegende = 50;
// Below this mean element size in pixels the edges would hide the colours.
constexpr double TailleAretes = 8.0;

struct TSupprimerSurface {
    void operator()(cairo_surface_t* s) const { cairo_surface_destroy(s); }
};
struct TSupprimerContexte {
    void operator()(cairo_t* c) const { cairo_destroy(c); }
};
using PSurface = std::unique_ptr<cairo_surface_t, TSupprimerSurface>;
using PContexte = std::unique_ptr<cairo_t, TSupprimerContexte>;

void Couleur(cairo_t* c, const std::array<std::uint8_t, 3>& rvb) {
    cairo_set_source_rgb(c, rvb[0] / 255.0, rvb[1] / 255.0, rvb[2] / 255.0);
}

// The slices present, lowest first, and the position of each in that list.
std::map<std::int32_t, std::size_t> Tranches(const TModeleNumerote& m) {
    std::map<std::int32_t, std::size_t> t;
    for (const TElementNumerote& e : m.Elements) t.try_emplace(e.Tranche, 0);
    std::size_t i = 0;
    for (auto& [tranche, rang] : t) rang = i++;
    return t;
}

// The slices the legend lists: all of them, or an even sample with the last when there are too many.
std::vector<std::pair<std::int32_t, std::size_t>>
LignesLegende(const std::map<std::int32_t, std::size_t>& t) {
    const std::size_t pas = (t.size() + MaxLignesLegende - 1) / MaxLignesLegende;
    std::vector<std::pair<std::int32_t, std::size_t>> lignes;
    for (const auto& [tranche, rang] : t)
        if (rang % std::max<std::size_t>(pas, 1) == 0 || rang + 1 == t.size())
            lignes.emplace_back(tranche, rang);
    return lignes;
}

class TDessin {
public:
    TDessin(const TModeleNumerote& m, const TCadragePlan& cadre)
        : m_(m), cadre_(cadre),
          surface_(cairo_image_surface_create(CAIRO_FORMAT_RGB24, cadre.Largeur, cadre.Hauteur)),
          c_(cairo_create(surface_.get())) {
        if (cairo_status(c_.get()) != CAIRO_STATUS_SUCCESS)
            throw std::runtime_error(std::string("image du plan : ") +
                                     cairo_status_to_string(cairo_status(c_.get())));
        cairo_set_source_rgb(c_.get(), 1, 1, 1);
        cairo_paint(c_.get());
        cairo_select_font_face(c_.get(), "DejaVu Sans", CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_NORMAL);
    }

    // One path per slice, so that the elements of a slice meet without seams, filled without
    // antialiasing: a model has hundreds of thousands of elements of a few pixels.
    void Elements(const std::map<std::int32_t, std::size_t>& tranches) {
        cairo_t* c = c_.get();
        std::vector<std::vector<const TElementNumerote*>> parTranche(tranches.size());
        for (const TElementNumerote& e : m_.Elements) parTranche[tranches.at(e.Tranche)].push_back(&e);
        cairo_set_antialias(c, CAIRO_ANTIALIAS_NONE);
        for (std::size_t rang = 0; rang < parTranche.size(); ++rang) {
            for (const TElementNumerote* e : parTranche[rang]) Triangle(*e);
            Couleur(c, CouleurTranche(rang, tranches.size()));
            cairo_fill(c);
        }
        cairo_set_antialias(c, CAIRO_ANTIALIAS_DEFAULT);
        const double surface = static_cast<double>(cadre_.Largeur - LargeurLegende) * cadre_.Hauteur;
        if (m_.Elements.empty() ||
            std::sqrt(surface / static_cast<double>(m_.Elements.size())) < TailleAretes)
            return;
        for (const TElementNumerote& e : m_.Elements) Triangle(e);
        cairo_set_source_rgba(c, 0, 0, 0, 0.35);
        cairo_set_line_width(c, 1.0);
        cairo_stroke(c);
    }

    void Frontiere() {
        cairo_t* c = c_.get();
        for (const auto& [x, y] : m_.Frontiere) {
            const auto p = cadre_.Pixel(x, y);
            cairo_line_to(c, p[0], p[1]);
        }
        cairo_close_path(c);
        cairo_set_source_rgb(c, 0, 0, 0);
        cairo_set_line_width(c, 2.0);
        cairo_stroke(c);
    }

    void Appuis() {
        cairo_t* c = c_.get();
        for (const TNoeudNumerote& n : m_.Noeuds) {
            if (n.Segment < 0) continue;
            const auto p = cadre_.Pixel(n.X, n.Y);
            cairo_rectangle(c, p[0] - 2.5, p[1] - 2.5, 5.0, 5.0);
        }
        cairo_set_source_rgb(c, 139 / 255.0, 0, 0);
        cairo_fill(c);
    }

    void Numeros() {
        cairo_t* c = c_.get();
        cairo_set_source_rgb(c, 0, 0, 0);
        cairo_set_font_size(c, 9.0);
        for (const TNoeudNumerote& n : m_.Noeuds) {
            const auto p = cadre_.Pixel(n.X, n.Y);
            cairo_move_to(c, p[0] + 3.0, p[1] - 3.0);
            cairo_show_text(c, std::to_string(n.Numero).c_str());
        }
    }

    void Legende(const std::map<std::int32_t, std::size_t>& tranches) {
        cairo_t* c = c_.get();
        const double x = cadre_.Largeur - LargeurLegende + 8.0;
        double y = MargePlan + 14.0;
        cairo_set_font_size(c, 13.0);
        cairo_set_source_rgb(c, 0, 0, 0);
        cairo_move_to(c, x, y);
        cairo_show_text(c, "tranches (cm)");
        for (const auto& [tranche, rang] : LignesLegende(tranches)) {
            y += HauteurLigneLegende;
            cairo_rectangle(c, x + 0.5, y - 11.5, 18.0, 14.0);
            Couleur(c, CouleurTranche(rang, tranches.size()));
            cairo_fill_preserve(c);
            cairo_set_source_rgb(c, 0, 0, 0);
            cairo_set_line_width(c, 1.0);
            cairo_stroke(c);
            cairo_move_to(c, x + 26.0, y);
            cairo_show_text(c, FormatC("≤ %d", tranche).c_str());
        }
    }

    [[nodiscard]] std::string Png() {
        cairo_surface_flush(surface_.get());
        std::string png;
        const auto ecrire = [](void* cible, const unsigned char* donnees, unsigned int n) {
            static_cast<std::string*>(cible)->append(reinterpret_cast<const char*>(donnees), n);
            return CAIRO_STATUS_SUCCESS;
        };
        const cairo_status_t etat = cairo_surface_write_to_png_stream(surface_.get(), ecrire, &png);
        if (etat != CAIRO_STATUS_SUCCESS)
            throw std::runtime_error(std::string("image du plan : ") + cairo_status_to_string(etat));
        return png;
    }

private:
    void Triangle(const TElementNumerote& e) {
        cairo_t* c = c_.get();
        for (std::size_t k = 0; k < 3; ++k) {
            const TNoeudNumerote& n = m_.Noeuds[e.Noeuds[k]];
            const auto p = cadre_.Pixel(n.X, n.Y);
            if (k == 0)
                cairo_move_to(c, p[0], p[1]);
            else
                cairo_line_to(c, p[0], p[1]);
        }
        cairo_close_path(c);
    }

    const TModeleNumerote& m_;
    const TCadragePlan& cadre_;
    PSurface surface_;
    PContexte c_;
};

} // namespace

TCadragePlan CadrerPlan(const TModeleNumerote& m) {
    double xMin = std::numeric_limits<double>::infinity(), xMax = -xMin, yMin = xMin, yMax = -xMin;
    const auto etendre = [&](float x, float y) {
        if (!std::isfinite(x) || !std::isfinite(y)) return;
        xMin = std::min(xMin, double{x});
        xMax = std::max(xMax, double{x});
        yMin = std::min(yMin, double{y});
        yMax = std::max(yMax, double{y});
    };
    for (const TNoeudNumerote& n : m.Noeuds) etendre(n.X, n.Y);
    for (const auto& [x, y] : m.Frontiere) etendre(x, y);
    TCadragePlan cadre;
    if (xMin > xMax) xMin = xMax = yMin = yMax = 0.0;
    const double etendue = std::max(xMax - xMin, yMax - yMin);
    cadre.Echelle = etendue > 0.0 ? CotePlan / etendue : 1.0;
    cadre.XMin = xMin;
    cadre.YMax = yMax;
    const int largeurPlan = static_cast<int>(std::ceil((xMax - xMin) * cadre.Echelle));
    const int hauteurPlan = static_cast<int>(std::ceil((yMax - yMin) * cadre.Echelle));
    const auto lignes = static_cast<double>(LignesLegende(Tranches(m)).size());
    cadre.Largeur = 2 * MargePlan + largeurPlan + LargeurLegende;
    cadre.Hauteur = std::max(2 * MargePlan + hauteurPlan,
                             2 * MargePlan + static_cast<int>(HauteurLigneLegende * (lignes + 1.0)));
    return cadre;
}

std::array<std::uint8_t, 3> CouleurTranche(std::size_t i, std::size_t n) {
    // Hue from 240 degrees down to 0, saturation 0.8, value 0.95.
    const double t = n > 1 ? static_cast<double>(i) / static_cast<double>(n - 1) : 0.0;
    const double h = (1.0 - t) * 240.0 / 60.0;
    const double v = 0.95, s = 0.8;
    const double x = v * s * (1.0 - std::fabs(std::fmod(h, 2.0) - 1.0));
    const double m = v - v * s;
    const double c = v * s;
    std::array<double, 3> rvb{};
    switch (static_cast<int>(std::min(h, 3.999))) {
    case 0:
        rvb = {c, x, 0};
        break;
    case 1:
        rvb = {x, c, 0};
        break;
    case 2:
        rvb = {0, c, x};
        break;
    default:
        rvb = {0, x, c};
        break;
    }
    const auto octet = [&](double composante) {
        return static_cast<std::uint8_t>(std::lround((composante + m) * 255.0));
    };
    return {octet(rvb[0]), octet(rvb[1]), octet(rvb[2])};
}

std::string ImagePlanPng(const TModeleNumerote& m, bool numeros) {
    const TCadragePlan cadre = CadrerPlan(m);
    const auto tranches = Tranches(m);
    TDessin dessin(m, cadre);
    dessin.Elements(tranches);
    dessin.Frontiere();
    dessin.Appuis();
    if (numeros) dessin.Numeros();
    dessin.Legende(tranches);
    return dessin.Png();
}

} // namespace tessarc

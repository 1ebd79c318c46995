// The exports as files: the kind chosen by the extension, atomic replacement, refusals naming the
// file, and the plan picture decoded back: its size, the colour of each element's slice, the numbers.

#include "DossierTemporaire.h"
#include "ExportModele.h"
#include "FormatsMaillage.h"
#include "GrilleCapture.h"
#include "ImagePlan.h"
#include "Triangulation.h"

#include <cairo.h>
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <set>

using namespace tessarc;
using namespace tessarc::essais;

namespace {

// A 2 m x 1 m rectangle over a plane rising 1 m along X: slices of 25 cm follow X.
TResultatModele Rectangle(const TSaisieModele& saisie = {"1", "1", "0", "0", "25"}) {
    TMaillage m;
    for (auto [x, y] : std::vector<std::pair<float, float>>{{0, 0}, {2, 0}, {2, 1}, {0, 1}})
        m.Frontiere.push_back(FaireV3S(x, y, 0));
    m.TrameGrille = 0.5f;
    EntrerPageGrille(m, 0.0f);
    std::vector<TCube> cubes;
    for (int i = 0; i <= 40; ++i)
        for (int j = 0; j <= 20; ++j) {
            TCube c;
            c.CooMoyPts = FaireV3S(0.05f * float(i), 0.05f * float(j), 0.025f * float(i));
            cubes.push_back(c);
        }
    std::vector<TCube*> liste;
    for (TCube& c : cubes) liste.push_back(&c);
    EXPECT_TRUE(CalculerPointsGrille(m, liste).Calcule);
    EXPECT_TRUE(Trianguler(m).Triangule);
    return CalculerModele(m, saisie);
}

struct TSupprimerSurface {
    void operator()(cairo_surface_t* s) const { cairo_surface_destroy(s); }
};

class TImage {
public:
    explicit TImage(const std::string& png) : png_(png) {
        const auto lire = [](void* source, unsigned char* donnees, unsigned int n) {
            auto* self = static_cast<TImage*>(source);
            if (self->lu_ + n > self->png_.size()) return CAIRO_STATUS_READ_ERROR;
            std::copy_n(self->png_.data() + self->lu_, n, donnees);
            self->lu_ += n;
            return CAIRO_STATUS_SUCCESS;
        };
        surface_.reset(cairo_image_surface_create_from_png_stream(lire, this));
    }
    [[nodiscard]] bool Lue() const { return cairo_surface_status(surface_.get()) == CAIRO_STATUS_SUCCESS; }
    [[nodiscard]] int Largeur() const { return cairo_image_surface_get_width(surface_.get()); }
    [[nodiscard]] int Hauteur() const { return cairo_image_surface_get_height(surface_.get()); }
    [[nodiscard]] std::array<std::uint8_t, 3> Pixel(double x, double y) const {
        const unsigned char* d = cairo_image_surface_get_data(surface_.get());
        const int pas = cairo_image_surface_get_stride(surface_.get());
        std::uint32_t v = 0;
        std::memcpy(&v, d + static_cast<std::ptrdiff_t>(y) * pas + static_cast<std::ptrdiff_t>(x) * 4, 4);
        return {static_cast<std::uint8_t>(v >> 16), static_cast<std::uint8_t>(v >> 8),
                static_cast<std::uint8_t>(v)};
    }
    // Dark pixels (numbers, boundary, edges) inside a box.
    [[nodiscard]] int Sombres(int x0, int y0, int x1, int y1) const {
        int n = 0;
        for (int y = y0; y < y1; ++y)
            for (int x = x0; x < x1; ++x) {
                const auto p = Pixel(x, y);
                n += p[0] + p[1] + p[2] < 200 ? 1 : 0;
            }
        return n;
    }

private:
    std::string png_;
    std::size_t lu_ = 0;
    std::unique_ptr<cairo_surface_t, TSupprimerSurface> surface_;
};

} // namespace

TEST(ImagePlan, FillsEachElementWithTheColourOfItsSliceOnAPictureSizedByTheModel) {
    const TResultatModele r = Rectangle();
    ASSERT_TRUE(r.Calcule) << r.Message;
    const TModeleNumerote& m = r.Modele;
    const TImage image(ImagePlanPng(m, false));
    ASSERT_TRUE(image.Lue());
    // 2 m take the 1200 pixels of the longer side, 1 m the other 600, then margins and legend.
    EXPECT_EQ(image.Largeur(), 2 * MargePlan + 1200 + LargeurLegende);
    EXPECT_EQ(image.Hauteur(), 2 * MargePlan + 600);

    std::set<std::int32_t> tranches;
    for (const TElementNumerote& e : m.Elements) tranches.insert(e.Tranche);
    ASSERT_GE(tranches.size(), 4u);
    const TCadragePlan cadre = CadrerPlan(m);
    for (const TElementNumerote& e : m.Elements) {
        double x = 0, y = 0;
        for (const std::size_t i : e.Noeuds) {
            x += m.Noeuds[i].X / 3.0;
            y += m.Noeuds[i].Y / 3.0;
        }
        const auto p = cadre.Pixel(x, y);
        const auto rang = static_cast<std::size_t>(std::distance(tranches.begin(), tranches.find(e.Tranche)));
        EXPECT_EQ(image.Pixel(p[0], p[1]), CouleurTranche(rang, tranches.size())) << "élément " << e.Numero;
    }
    EXPECT_NE(CouleurTranche(0, 4), CouleurTranche(1, 4));
    EXPECT_EQ(CouleurTranche(0, 4), (std::array<std::uint8_t, 3>{48, 48, 242})) << "blue at the bottom";
    EXPECT_EQ(CouleurTranche(3, 4), (std::array<std::uint8_t, 3>{242, 48, 48})) << "red at the top";

    // Node numbers sit up and right of their node, where the plain picture has only element colour.
    const TImage numerotee(ImagePlanPng(m, true));
    const TNoeudNumerote& n = m.Noeuds[m.Noeuds.size() / 2];
    const auto p = cadre.Pixel(n.X, n.Y);
    const int x0 = static_cast<int>(p[0]) + 4, y0 = static_cast<int>(p[1]) - 12;
    EXPECT_EQ(image.Sombres(x0, y0, x0 + 20, y0 + 8), 0);
    EXPECT_GT(numerotee.Sombres(x0, y0, x0 + 20, y0 + 8), 5);
}

TEST(ExporterModele, TheExtensionChoosesTheKindAndAFailureKeepsTheOldFile) {
    EXPECT_EQ(GenreExport("a/voute.MSH"), EGenreExport::Msh);
    EXPECT_EQ(GenreExport("voute.vtk"), EGenreExport::Vtk);
    EXPECT_EQ(GenreExport("voute.Png"), EGenreExport::Png);
    EXPECT_FALSE(GenreExport("voute.txt"));
    EXPECT_FALSE(GenreExport("msh"));

    TDossierTemporaire dossier;
    const TResultatModele r = Rectangle();
    ExporterModele(dossier / "v.msh", EGenreExport::Msh, r.Modele, false);
    ExporterModele(dossier / "v.vtk", EGenreExport::Vtk, r.Modele, false);
    ExporterModele(dossier / "v.png", EGenreExport::Png, r.Modele, true);
    EXPECT_EQ(LireFichier(dossier / "v.msh"), TexteMsh(r.Modele));
    EXPECT_EQ(LireFichier(dossier / "v.vtk"), TexteVtk(r.Modele));
    EXPECT_EQ(LireFichier(dossier / "v.png"), ImagePlanPng(r.Modele, true));

    // Numbers Gmsh cannot take, and a model without element: refused, the old file stays.
    const TResultatModele zero = Rectangle({"0", "1", "0", "0", "25"});
    const auto refus = [&](const TModeleNumerote& m, const char* quoi) {
        try {
            ExporterModele(dossier / "v.msh", EGenreExport::Msh, m, false);
            ADD_FAILURE() << quoi;
        } catch (const std::runtime_error& e) {
            EXPECT_NE(std::string(e.what()).find("v.msh » : "), std::string::npos) << e.what();
            EXPECT_NE(std::string(e.what()).find(quoi), std::string::npos) << e.what();
        }
    };
    refus(zero.Modele, "positifs");
    refus(TModeleNumerote{}, "aucun élément");
    EXPECT_EQ(LireFichier(dossier / "v.msh"), TexteMsh(r.Modele));
    EXPECT_EQ(dossier.Contenu(), (std::vector<std::string>{"v.msh", "v.png", "v.vtk"}));
}

#pragma once
// Drawing of the document in the 3D view: the points of the displayed cubes, the triangulated surface,
// the overlays of the meshing pages and the orientation glyph. The data never draws itself: the view
// reads the store and the meshing state through TEtatScene, which the window fills.
//
// Three retained objects are kept in the context and rebuilt only after they were discarded:
// 1 the points (a vertex buffer) with the origin marker, 2 the glyph, 3 the surface (display lists).

#include "Camera.h"
#include "Maillage.h"
#include "UTessarcGlb.h"
#include "Utilisateur.h"

#include <QOpenGLFunctions_2_1>

#include <array>
#include <cstdint>
#include <functional>
#include <span>
#include <vector>

namespace tessarc {

// A colour as the window's dialogs hold it: bytes red, green, blue, 0 in memory order (0x00BBGGRR).
using TColor = std::uint32_t;
[[nodiscard]] constexpr std::uint8_t RougeDe(TColor c) {
    return static_cast<std::uint8_t>(c & 0xFF);
}
[[nodiscard]] constexpr std::uint8_t VertDe(TColor c) {
    return static_cast<std::uint8_t>((c >> 8) & 0xFF);
}
[[nodiscard]] constexpr std::uint8_t BleuDe(TColor c) {
    return static_cast<std::uint8_t>((c >> 16) & 0xFF);
}
[[nodiscard]] constexpr TColor FaireCouleur(std::uint8_t r, std::uint8_t v, std::uint8_t b) {
    return TColor{r} | (TColor{v} << 8) | (TColor{b} << 16);
}

// Colours of the view, black, black and natural at start; kept for the whole run, never saved.
struct TReglagesVue {
    TColor CouleurFond = 0;
    TColor CouleurPoints = 0;
    bool CouleurForcee = false;
};

// The state of the scene, kept here and nowhere else: the window's controls and commands write it as
// they change, the paint and the mouse read it. The document's parts are pointed at, never copied.
struct TEtatScene {
    bool VoirPoints = true;         // check box "points"
    bool VoirSurface = true;        // check box "surface": filled, else outlines
    int PageActive = 0;             // page index of the meshing pages
    bool FrontiereEnCours = false;  // boundary input on: the line is drawn open
    int PointFrontiereChoisi = -1;  // selected index of the boundary point list, -1 for none
    int ModeDefinirAxeX = 0;        // 0 idle, 1 or 2 while the X axis is being picked
    const bool* ScanPret = nullptr; // the document's: a cloud is loaded and may be drawn
    const TV3R* Decalage = nullptr; // the document's: true coordinate = stored + Decalage, for the texts
    TNuage* Nuage = nullptr;
    TMaillage* Maillage = nullptr;
    // The user's channel of the paint and the mouse handlers: status texts, and the errors they end in.
    IUtilisateur* Utilisateur = nullptr;
    std::function<void()> CurseurAttente;
    std::function<void()> CurseurPrecedent;

    [[nodiscard]] bool Pret() const { return ScanPret != nullptr && *ScanPret; }
};

// One vertex of the points buffer: position, then colour bytes (the fourth is padding).
struct TSommetPoint {
    float x, y, z;
    std::uint8_t r, v, b, a;
};
static_assert(sizeof(TSommetPoint) == 16);

// The points of the displayed cubes in list order: masked cubes skipped, selected ones red, the others in
// the forced colour or their own. Returns the number written (at most cubes.size()).
std::size_t RemplirSommets(std::span<TCube* const> cubes, const TReglagesVue& reglages, TSommetPoint* sortie);

// Orientation arrows. The profile is 16 points of a circle of radius 0.5 from -90 degrees by 22.5 degrees,
// rounded to 3 decimals.
[[nodiscard]] std::array<std::array<double, 2>, 16> ProfilFleche();

struct TFace {
    TV3R normale{};
    std::array<TV3R, 4> sommets{};
    int nb = 0; // 3 or 4
};
// The faces of the arrow of axis 1 (X), 2 (Y) or 3 (Z) of length s: 16 shaft quadrilaterals, then for
// each ring step a collar quadrilateral and a cone triangle.
[[nodiscard]] std::vector<TFace> FacesFleche(int axe, double s);

class TRendu {
public:
    TRendu() = default;
    TRendu(const TRendu&) = delete;
    TRendu& operator=(const TRendu&) = delete;

    // With the context current, after it was created (again): every retained object is to be rebuilt.
    void Initialiser(QOpenGLFunctions_2_1* gl);
    // With the context current, before it goes.
    void Liberer();

    void JeterPoints() { pointsValides_ = false; }
    void JeterTout() { pointsValides_ = glypheValide_ = surfaceValide_ = false; }
    [[nodiscard]] bool PointsValides() const { return pointsValides_; }
    [[nodiscard]] bool GlypheValide() const { return glypheValide_; }
    [[nodiscard]] bool SurfaceValide() const { return surfaceValide_; }

    // The paint of one frame, context current; the view is largeur x hauteur client pixels of ratio
    // device pixels each. Long rebuilds report through etat.Utilisateur, which may throw EStopError.
    void VGLDraw(TEtatScene& etat, TCamera& camera, const TReglagesVue& reglages, int largeur, int hauteur,
                 double ratio);

    // The points part alone (state settings, buffer, marker), as a frame replays it.
    void RejouerPoints();

    bool AfficherPts = false; // copied from the check box at each rebuild of the points
    bool AfficherTri = false; // surface drawn: triangles exist and the page is past the grid
    // How many times objects 1, 2, 3 were built, for the benchmarks and the tests.
    std::array<int, 3> NbConstructions{};
    [[nodiscard]] std::size_t NbSommets() const { return nbSommets_; }
    [[nodiscard]] GLuint TamponPoints() const { return vbo_; }

    void ActiverEclairage(bool on);
    void PreparerMateriau();
    void TracerTriangle(const TV3S& p, const TV3S& q, const TV3S& r);
    void TracerSegment(const TV3S& a, const TV3S& b);
    void TracerTriedre(double s);
    void TracerFleche(int axe, double s);

private:
    void ConstruirePoints(const TEtatScene& etat, const TReglagesVue& reglages);
    void ConstruireSurface(const TEtatScene& etat);
    void TracerFrontiere(const TEtatScene& etat);
    void TracerGrille(const TEtatScene& etat);
    void TracerNoeuds(const TEtatScene& etat);
    void TracerGlyphe(const TCamera& camera);

    QOpenGLFunctions_2_1* gl_ = nullptr;
    GLuint vbo_ = 0;
    GLuint listeGlyphe_ = 0;
    GLuint listeSurface_ = 0;
    std::size_t nbSommets_ = 0;
    bool pointsValides_ = false;
    bool glypheValide_ = false;
    bool surfaceValide_ = false;
};

} // namespace tessarc

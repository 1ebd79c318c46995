#pragma once
// The orthographic camera of the 3D view as plain arithmetic: no GL context is needed, so that the
// window, the picking and the tests share the very matrices the drawing loads. Matrices are 4 x 4,
// column-major like OpenGL's (element row i, column j at index j * 4 + i, both from 0).

#include "UTessarcGlb.h"
#include "UtilsVect.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>

namespace tessarc {

using TmatGL16 = std::array<double, 16>;
using TGLArrayi4 = std::array<std::int32_t, 4>; // x, y, width, height

struct TPointEcran {
    int X = 0;
    int Y = 0;
    friend constexpr bool operator==(const TPointEcran&, const TPointEcran&) = default;
};

// Window coordinates as the projection gives them: x, y in pixels with Y upwards, z in 0 .. 1.
struct TPointFenetre {
    double x = 0.0;
    double y = 0.0;
    double z = 0.0;
};

[[nodiscard]] TmatGL16 MatriceIdentite();
// a . b, as glMultMatrix(b) does on a current matrix a.
[[nodiscard]] TmatGL16 MultiplierMatrices(const TmatGL16& a, const TmatGL16& b);
// The matrices of glOrtho, glTranslate and gluPickMatrix.
[[nodiscard]] TmatGL16 MatriceOrtho(double gauche, double droite, double bas, double haut, double proche,
                                    double loin);
[[nodiscard]] TmatGL16 MatriceTranslation(double x, double y, double z);
// An empty region (dx or dy not above 0) gives the identity, as gluPickMatrix leaves the matrix alone.
[[nodiscard]] TmatGL16 MatricePick(double x, double y, double dx, double dy, const TGLArrayi4& viewport);
// The general inverse; nullopt for a singular matrix.
[[nodiscard]] std::optional<TmatGL16> InverserMatrice(const TmatGL16& m);

// The same arithmetic as gluProject / gluUnProject; nullopt where they fail (w = 0, singular matrix).
[[nodiscard]] std::optional<TPointFenetre> Projeter(const TV3R& objet, const TmatGL16& modele,
                                                    const TmatGL16& projection, const TGLArrayi4& viewport);
[[nodiscard]] std::optional<TV3R> Deprojeter(const TPointFenetre& fenetre, const TmatGL16& modele,
                                             const TmatGL16& projection, const TGLArrayi4& viewport);

// The 3 x 3 rotation part of a model-view matrix (row i, column j = entry j * 4 + i).
[[nodiscard]] TV3x3R RotationDe(const TmatGL16& m);

// Rounds to the nearest integer, halves to even, whatever the current rounding mode; values out of the
// int range or not finite give nullopt.
[[nodiscard]] std::optional<int> ArrondiPair(double x);

// Brings an angle in whole degrees into -359 .. 359.
[[nodiscard]] int NormaliserAngle(int degres);

// The matrices of one frame set-up.
struct TMatricesVue {
    TmatGL16 projection{};
    TmatGL16 modele{};
};

// Camera state of the view and its navigation. Lengths in metres, angles in whole degrees.
class TCamera {
public:
    TGLArrayi4 viewport{};
    TmatGL16 rotmatrix = MatriceIdentite();
    TmatGL16 mvmatrix = MatriceIdentite();
    TmatGL16 projmatrix = MatriceIdentite();
    std::int32_t VGLwidth = 0;
    std::int32_t VGLheight = 0;
    std::int32_t VGLcentreH = 0;
    std::int32_t VGLcentreV = 0;
    double EchAff = 0.0; // half the world length covered by one pixel
    double RayonStruc = 0.0;
    double CoefZoom = 1.0;
    TV3S CentreRotAbs{};
    std::int32_t LongAbsDeg = 0;
    std::int32_t LatAbsDeg = 0;
    TV3x3R MCBproj3 = TV3x3R::Identite(); // rows: screen right, screen up, towards the viewer
    TPointEcran mouseold{};
    TPointEcran DebutGlissementSelection{};
    bool VuePlanXY = false;        // top view locked by the boundary and grid pages
    int TagBtRot = 0;              // 1 when the turned top view was asked for on the cleaning page
    std::string TexteEdRotZ = "0"; // angle about Z typed by the user, degrees

    // Framing from CalculerEtendue.
    void AppliquerCadrage(const TCadrage& cadrage);

    // The set-up of one frame for a view of the given size in pixels; with pick, the projection is narrowed
    // to the 9 x 9 pixel square around mouseold and nothing is captured. Otherwise projmatrix and mvmatrix
    // are captured. The viewport, sizes, scale and rotation are updated in both cases.
    TMatricesVue PreparerVue(bool pick, int largeur, int hauteur);

    // Fills MCBproj3 and writes it into the rotation part of m; normalises the angles and stores them.
    void CalculerRotation(TmatGL16& m);

    // Presets 1 (X-Z plane), 2 (Y-Z plane), 3 (X-Y plane); any other tag leaves the angles unchanged. The
    // BtRot tag is cleared in every case, and the caller repaints.
    void OrienterVue(int tag);

    // A middle-button drag step to (X, Y): pan with Shift, turn otherwise. False inside the 10-pixel dead
    // zone (nothing changes, the anchor stays); true when the view changed and must be repainted.
    bool GlisserMilieu(int X, int Y, bool shift);

    // Pan by a mouse displacement in pixels: the cloud follows the mouse.
    void Translater(int dx, int dy);

    // Wheel zoom about the mouse position (client pixels of the view). False when the zoom did not change
    // (held at 0.1): the event is then left unhandled and nothing is repainted.
    bool ZoomerMolette(int delta, TPointEcran souris);

    // The world point under a client pixel (Y downwards) at window depth z, with the last frame's matrices.
    [[nodiscard]] std::optional<TV3R> PointSouris(int X, int Y, double z) const;
    // Where a world point appears in the last frame, window coordinates (Y upwards).
    [[nodiscard]] std::optional<TPointFenetre> PointFenetre(const TV3R& p) const;
};

} // namespace tessarc

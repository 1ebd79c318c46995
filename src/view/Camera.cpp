#include "Camera.h"

#include "Nombres.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <limits>

namespace tessarc {

namespace {

constexpr double Pi = 3.141592653589793;

// out = m . in, in the order of the GL utility library so that results match it to the last bit.
std::array<double, 4> MatriceFoisVecteur4(const TmatGL16& m, const std::array<double, 4>& in) {
    std::array<double, 4> out{};
    for (std::size_t i = 0; i < 4; ++i)
        out[i] = in[0] * m[0 * 4 + i] + in[1] * m[1 * 4 + i] + in[2] * m[2 * 4 + i] + in[3] * m[3 * 4 + i];
    return out;
}

} // namespace

TmatGL16 MatriceIdentite() {
    TmatGL16 m{};
    m[0] = m[5] = m[10] = m[15] = 1.0;
    return m;
}

TmatGL16 MultiplierMatrices(const TmatGL16& a, const TmatGL16& b) {
    TmatGL16 r{};
    for (std::size_t col = 0; col < 4; ++col)
        for (std::size_t lig = 0; lig < 4; ++lig) {
            double s = 0.0;
            for (std::size_t k = 0; k < 4; ++k) s += a[k * 4 + lig] * b[col * 4 + k];
            r[col * 4 + lig] = s;
        }
    return r;
}

TmatGL16 MatriceOrtho(double gauche, double droite, double bas, double haut, double proche, double loin) {
    TmatGL16 m = MatriceIdentite();
    m[0] = 2.0 / (droite - gauche);
    m[5] = 2.0 / (haut - bas);
    m[10] = -2.0 / (loin - proche);
    m[12] = -(droite + gauche) / (droite - gauche);
    m[13] = -(haut + bas) / (haut - bas);
    m[14] = -(loin + proche) / (loin - proche);
    return m;
}

TmatGL16 MatriceTranslation(double x, double y, double z) {
    TmatGL16 m = MatriceIdentite();
    m[12] = x;
    m[13] = y;
    m[14] = z;
    return m;
}

TmatGL16 MatricePick(double x, double y, double dx, double dy, const TGLArrayi4& viewport) {
    TmatGL16 m = MatriceIdentite();
    if (dx <= 0.0 || dy <= 0.0) return m;
    // Translate, then scale the picked region to the whole viewport.
    m[0] = viewport[2] / dx;
    m[5] = viewport[3] / dy;
    m[12] = (viewport[2] - 2.0 * (x - viewport[0])) / dx;
    m[13] = (viewport[3] - 2.0 * (y - viewport[1])) / dy;
    return m;
}

std::optional<TmatGL16> InverserMatrice(const TmatGL16& m) {
    TmatGL16 inv{};
    inv[0] = m[5] * m[10] * m[15] - m[5] * m[11] * m[14] - m[9] * m[6] * m[15] + m[9] * m[7] * m[14] +
             m[13] * m[6] * m[11] - m[13] * m[7] * m[10];
    inv[4] = -m[4] * m[10] * m[15] + m[4] * m[11] * m[14] + m[8] * m[6] * m[15] - m[8] * m[7] * m[14] -
             m[12] * m[6] * m[11] + m[12] * m[7] * m[10];
    inv[8] = m[4] * m[9] * m[15] - m[4] * m[11] * m[13] - m[8] * m[5] * m[15] + m[8] * m[7] * m[13] +
             m[12] * m[5] * m[11] - m[12] * m[7] * m[9];
    inv[12] = -m[4] * m[9] * m[14] + m[4] * m[10] * m[13] + m[8] * m[5] * m[14] - m[8] * m[6] * m[13] -
              m[12] * m[5] * m[10] + m[12] * m[6] * m[9];
    inv[1] = -m[1] * m[10] * m[15] + m[1] * m[11] * m[14] + m[9] * m[2] * m[15] - m[9] * m[3] * m[14] -
             m[13] * m[2] * m[11] + m[13] * m[3] * m[10];
    inv[5] = m[0] * m[10] * m[15] - m[0] * m[11] * m[14] - m[8] * m[2] * m[15] + m[8] * m[3] * m[14] +
             m[12] * m[2] * m[11] - m[12] * m[3] * m[10];
    inv[9] = -m[0] * m[9] * m[15] + m[0] * m[11] * m[13] + m[8] * m[1] * m[15] - m[8] * m[3] * m[13] -
             m[12] * m[1] * m[11] + m[12] * m[3] * m[9];
    inv[13] = m[0] * m[9] * m[14] - m[0] * m[10] * m[13] - m[8] * m[1] * m[14] + m[8] * m[2] * m[13] +
              m[12] * m[1] * m[10] - m[12] * m[2] * m[9];
    inv[2] = m[1] * m[6] * m[15] - m[1] * m[7] * m[14] - m[5] * m[2] * m[15] + m[5] * m[3] * m[14] +
             m[13] * m[2] * m[7] - m[13] * m[3] * m[6];
    inv[6] = -m[0] * m[6] * m[15] + m[0] * m[7] * m[14] + m[4] * m[2] * m[15] - m[4] * m[3] * m[14] -
             m[12] * m[2] * m[7] + m[12] * m[3] * m[6];
    inv[10] = m[0] * m[5] * m[15] - m[0] * m[7] * m[13] - m[4] * m[1] * m[15] + m[4] * m[3] * m[13] +
              m[12] * m[1] * m[7] - m[12] * m[3] * m[5];
    inv[14] = -m[0] * m[5] * m[14] + m[0] * m[6] * m[13] + m[4] * m[1] * m[14] - m[4] * m[2] * m[13] -
              m[12] * m[1] * m[6] + m[12] * m[2] * m[5];
    inv[3] = -m[1] * m[6] * m[11] + m[1] * m[7] * m[10] + m[5] * m[2] * m[11] - m[5] * m[3] * m[10] -
             m[9] * m[2] * m[7] + m[9] * m[3] * m[6];
    inv[7] = m[0] * m[6] * m[11] - m[0] * m[7] * m[10] - m[4] * m[2] * m[11] + m[4] * m[3] * m[10] +
             m[8] * m[2] * m[7] - m[8] * m[3] * m[6];
    inv[11] = -m[0] * m[5] * m[11] + m[0] * m[7] * m[9] + m[4] * m[1] * m[11] - m[4] * m[3] * m[9] -
              m[8] * m[1] * m[7] + m[8] * m[3] * m[5];
    inv[15] = m[0] * m[5] * m[10] - m[0] * m[6] * m[9] - m[4] * m[1] * m[10] + m[4] * m[2] * m[9] +
              m[8] * m[1] * m[6] - m[8] * m[2] * m[5];
    const double det = m[0] * inv[0] + m[1] * inv[4] + m[2] * inv[8] + m[3] * inv[12];
    if (det == 0.0 || !std::isfinite(det)) return std::nullopt;
    for (double& v : inv) v /= det;
    return inv;
}

std::optional<TPointFenetre> Projeter(const TV3R& objet, const TmatGL16& modele, const TmatGL16& projection,
                                      const TGLArrayi4& viewport) {
    const auto oeil = MatriceFoisVecteur4(modele, {objet[1], objet[2], objet[3], 1.0});
    auto clip = MatriceFoisVecteur4(projection, oeil);
    if (clip[3] == 0.0) return std::nullopt;
    for (std::size_t i = 0; i < 3; ++i) clip[i] = clip[i] / clip[3] * 0.5 + 0.5;
    return TPointFenetre{clip[0] * viewport[2] + viewport[0], clip[1] * viewport[3] + viewport[1], clip[2]};
}

std::optional<TV3R> Deprojeter(const TPointFenetre& fenetre, const TmatGL16& modele,
                               const TmatGL16& projection, const TGLArrayi4& viewport) {
    const auto inverse = InverserMatrice(MultiplierMatrices(projection, modele));
    if (!inverse) return std::nullopt;
    const double x = (fenetre.x - viewport[0]) / viewport[2];
    const double y = (fenetre.y - viewport[1]) / viewport[3];
    const auto out = MatriceFoisVecteur4(*inverse, {x * 2 - 1, y * 2 - 1, fenetre.z * 2 - 1, 1.0});
    if (out[3] == 0.0) return std::nullopt;
    return FaireV3R(out[0] / out[3], out[1] / out[3], out[2] / out[3]);
}

TV3x3R RotationDe(const TmatGL16& m) {
    TV3x3R r;
    for (int i = 1; i <= 3; ++i)
        for (int j = 1; j <= 3; ++j) r(i, j) = m[static_cast<std::size_t>((j - 1) * 4 + (i - 1))];
    return r;
}

std::optional<int> ArrondiPair(double x) {
    if (!std::isfinite(x)) return std::nullopt;
    // Halves to even without depending on the rounding mode of the moment.
    double r = std::floor(x);
    const double reste = x - r;
    if (reste > 0.5 || (reste == 0.5 && std::fmod(r, 2.0) != 0.0)) r += 1.0;
    if (r < std::numeric_limits<int>::min() || r > std::numeric_limits<int>::max()) return std::nullopt;
    return static_cast<int>(r);
}

int NormaliserAngle(int degres) {
    // Subtracting 360 while at 360 or more, adding 360 while below -359: the remainder of the division,
    // which truncates toward zero, gives the same in constant time.
    if (degres >= 360 || degres < -359) return degres % 360;
    return degres;
}

void TCamera::AppliquerCadrage(const TCadrage& cadrage) {
    RayonStruc = cadrage.RayonStruc;
    CentreRotAbs = cadrage.CentreRotAbs;
    CoefZoom = cadrage.CoefZoom;
}

TMatricesVue TCamera::PreparerVue(bool pick, int largeur, int hauteur) {
    VGLwidth = largeur;
    VGLcentreH = VGLwidth / 2;
    VGLheight = hauteur;
    VGLcentreV = VGLheight / 2;
    viewport = {0, 0, VGLwidth, VGLheight};

    TMatricesVue m;
    m.projection = MatriceIdentite();
    if (pick)
        m.projection = MultiplierMatrices(
            m.projection, MatricePick(mouseold.X, double(hauteur) - mouseold.Y, 9.0, 9.0, viewport));
    EchAff = RayonStruc / CoefZoom / std::max(VGLwidth, VGLheight);
    // A cloud of one point (no extent) or a view of no size would divide by zero and leave every matrix
    // infinite, the point invisible and the next zoom or pan unrecoverable: frame one metre instead.
    if (!(EchAff > 0.0) || !std::isfinite(EchAff)) EchAff = 1.0 / std::max({VGLwidth, VGLheight, 1});
    m.projection = MultiplierMatrices(m.projection,
                                      MatriceOrtho(-EchAff * VGLwidth, EchAff * VGLwidth, -EchAff * VGLheight,
                                                   EchAff * VGLheight, -1000.0, 1000.0));

    rotmatrix = MatriceIdentite();
    CalculerRotation(rotmatrix);
    m.modele = MultiplierMatrices(MatriceIdentite(), rotmatrix);
    m.modele =
        MultiplierMatrices(m.modele, MatriceTranslation(-double(CentreRotAbs[1]), -double(CentreRotAbs[2]),
                                                        -double(CentreRotAbs[3])));
    if (!pick) {
        projmatrix = m.projection;
        mvmatrix = m.modele;
    }
    return m;
}

void TCamera::CalculerRotation(TmatGL16& m) {
    if (TagBtRot != 0 || VuePlanXY) {
        const double theta = LireReel(Rogner(TexteEdRotZ)).value_or(0.0) * Pi / 180.0;
        MCBproj3 = MatriceRotation(FaireV3R(0.0, 0.0, theta));
    } else {
        LongAbsDeg = NormaliserAngle(LongAbsDeg);
        LatAbsDeg = NormaliserAngle(LatAbsDeg);
        const double L = LongAbsDeg * Pi / 180.0;
        const double T = LatAbsDeg * Pi / 180.0;
        MCBproj3(1, 1) = -std::sin(L);
        MCBproj3(1, 2) = std::cos(L);
        MCBproj3(1, 3) = 0.0;
        MCBproj3(2, 1) = -std::cos(L) * std::sin(T);
        MCBproj3(2, 2) = -std::sin(L) * std::sin(T);
        MCBproj3(2, 3) = std::cos(T);
        MCBproj3(3, 1) = std::cos(L) * std::cos(T);
        MCBproj3(3, 2) = std::sin(L) * std::cos(T);
        MCBproj3(3, 3) = std::sin(T);
    }
    for (int i = 1; i <= 3; ++i)
        for (int j = 1; j <= 3; ++j) m[static_cast<std::size_t>((j - 1) * 4 + (i - 1))] = MCBproj3(i, j);
}

void TCamera::OrienterVue(int tag) {
    switch (tag) {
    case 1:
        LongAbsDeg = -90;
        LatAbsDeg = 0;
        break;
    case 2:
        LongAbsDeg = 0;
        LatAbsDeg = 0;
        break;
    case 3:
        LongAbsDeg = -90;
        LatAbsDeg = 90;
        break;
    default:
        break;
    }
    TagBtRot = 0;
}

bool TCamera::GlisserMilieu(int X, int Y, bool shift) {
    const int dx = X - DebutGlissementSelection.X;
    const int dy = Y - DebutGlissementSelection.Y;
    if (std::abs(dx) < 10 && std::abs(dy) < 10) return false;
    DebutGlissementSelection = {X, Y};
    if (shift) {
        Translater(dx, dy);
    } else {
        // A view of no size yet turns by nothing rather than by an infinite angle.
        LongAbsDeg -= ArrondiPair(dx * 90.0 / VGLwidth).value_or(0);
        LatAbsDeg += ArrondiPair(dy * 90.0 / VGLheight).value_or(0);
        TagBtRot = 0;
    }
    return true;
}

void TCamera::Translater(int dx, int dy) {
    const TV3x3R R = RotationDe(mvmatrix);
    const TV3R w = TransposeeFoisVecteur(R, FaireV3R(dx * 2 * EchAff, -dy * 2 * EchAff, 0.0));
    for (int i = 1; i <= 3; ++i) CentreRotAbs[i] = static_cast<float>(double(CentreRotAbs[i]) - w[i]);
}

bool TCamera::ZoomerMolette(int delta, TPointEcran souris) {
    double z = delta >= 0 ? CoefZoom * 2 : CoefZoom * 0.5;
    if (z < 0.1) z = 0.1;
    if (z == CoefZoom) return false;
    const double ox = souris.X - VGLcentreH;
    const double oy = VGLcentreV - souris.Y;
    const TV3x3R R = RotationDe(mvmatrix);
    const TV3R wa = TransposeeFoisVecteur(R, FaireV3R(ox * 2 * EchAff, oy * 2 * EchAff, 0.0));
    const double k = 2 * EchAff * CoefZoom / z;
    const TV3R wb = TransposeeFoisVecteur(R, FaireV3R(ox * k, oy * k, 0.0));
    for (int i = 1; i <= 3; ++i)
        CentreRotAbs[i] = static_cast<float>(double(CentreRotAbs[i]) - (wb[i] - wa[i]));
    CoefZoom = z;
    return true;
}

std::optional<TV3R> TCamera::PointSouris(int X, int Y, double z) const {
    return Deprojeter({double(X), double(VGLheight - Y), z}, mvmatrix, projmatrix, viewport);
}

std::optional<TPointFenetre> TCamera::PointFenetre(const TV3R& p) const {
    return Projeter(p, mvmatrix, projmatrix, viewport);
}

} // namespace tessarc

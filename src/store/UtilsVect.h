#pragma once
// Small fixed-size vectors and matrices of the point store. Every array is indexed from 1
// (X = [1], Y = [2], Z = [3]; red = [1] ... fourth channel = [4]); the 0-based storage is mapped
// once, here, so that the rest of the program reads like the formulas it implements.

#include <array>
#include <cstdint>

namespace tessarc {

template <typename T, int N> struct TTableau1 {
    std::array<T, N> v{};

    constexpr T& operator[](int i) { return v[static_cast<std::size_t>(i - 1)]; }
    constexpr const T& operator[](int i) const { return v[static_cast<std::size_t>(i - 1)]; }
    friend constexpr bool operator==(const TTableau1&, const TTableau1&) = default;
};

using TV3S = TTableau1<float, 3>;         // stored coordinates, 12 bytes
using TV3R = TTableau1<double, 3>;        // intermediate geometry
using TV4By = TTableau1<std::uint8_t, 4>; // red, green, blue, fourth channel
using TV4I = TTableau1<std::int32_t, 4>;  // colour sums
using TV3I = TTableau1<std::int32_t, 3>;  // whole-metre root grid corner and size
using PCoPoint = const TV3S*;

static_assert(sizeof(TV3S) == 12 && sizeof(TV4By) == 4);

// 3 x 3 matrix, row-major; element (r, c) is row r, column c, both from 1.
struct TV3x3R {
    std::array<double, 9> m{};

    constexpr double& operator()(int r, int c) { return m[static_cast<std::size_t>((r - 1) * 3 + (c - 1))]; }
    constexpr double operator()(int r, int c) const {
        return m[static_cast<std::size_t>((r - 1) * 3 + (c - 1))];
    }
    friend constexpr bool operator==(const TV3x3R&, const TV3x3R&) = default;

    [[nodiscard]] static constexpr TV3x3R Identite() {
        TV3x3R r;
        r(1, 1) = r(2, 2) = r(3, 3) = 1.0;
        return r;
    }
};

[[nodiscard]] constexpr TV3R FaireV3R(double x, double y, double z) {
    return TV3R{{x, y, z}};
}
[[nodiscard]] constexpr TV3S FaireV3S(float x, float y, float z) {
    return TV3S{{x, y, z}};
}

[[nodiscard]] constexpr TV3S V3RenV3S(const TV3R& a) {
    return FaireV3S(static_cast<float>(a[1]), static_cast<float>(a[2]), static_cast<float>(a[3]));
}

[[nodiscard]] constexpr TV3R SommeV3R(const TV3R& a, const TV3R& b) {
    return FaireV3R(a[1] + b[1], a[2] + b[2], a[3] + b[3]);
}

[[nodiscard]] constexpr TV3R DiffV3R(const TV3R& a, const TV3R& b) {
    return FaireV3R(a[1] - b[1], a[2] - b[2], a[3] - b[3]);
}

// Single-precision sums and differences are formed in double and rounded once.
[[nodiscard]] constexpr TV3S SommeV3S(const TV3S& a, const TV3S& b) {
    TV3S r;
    for (int i = 1; i <= 3; ++i) r[i] = static_cast<float>(double(a[i]) + double(b[i]));
    return r;
}

[[nodiscard]] constexpr TV3S DiffV3S(const TV3S& a, const TV3S& b) {
    TV3S r;
    for (int i = 1; i <= 3; ++i) r[i] = static_cast<float>(double(a[i]) - double(b[i]));
    return r;
}

[[nodiscard]] constexpr TV4I SommeV4I(const TV4I& a, const TV4I& b) {
    TV4I r;
    for (int i = 1; i <= 4; ++i) r[i] = a[i] + b[i];
    return r;
}

[[nodiscard]] constexpr TV3R ProduitVectoriel(const TV3R& a, const TV3R& b) {
    return FaireV3R(a[2] * b[3] - a[3] * b[2], a[3] * b[1] - a[1] * b[3], a[1] * b[2] - a[2] * b[1]);
}

[[nodiscard]] constexpr TV3x3R ProduitMatrices(const TV3x3R& a, const TV3x3R& b) {
    TV3x3R c;
    for (int i = 1; i <= 3; ++i)
        for (int j = 1; j <= 3; ++j)
            for (int k = 1; k <= 3; ++k) c(i, j) += a(i, k) * b(k, j);
    return c;
}

[[nodiscard]] constexpr TV3R MatriceFoisVecteur(const TV3x3R& m, const TV3R& v) {
    TV3R r;
    for (int i = 1; i <= 3; ++i)
        for (int j = 1; j <= 3; ++j) r[i] += m(i, j) * v[j];
    return r;
}

// The inverse rotation when m is a rotation.
[[nodiscard]] constexpr TV3R TransposeeFoisVecteur(const TV3x3R& m, const TV3R& v) {
    TV3R r;
    for (int i = 1; i <= 3; ++i)
        for (int j = 1; j <= 3; ++j) r[i] += m(j, i) * v[j];
    return r;
}

// R = Rx . Ry . Rz (angles in radians, zero angles skipped). Through MatriceFoisVecteur the factor of an
// angle a turns a vector by -a about its axis; the camera and the X-axis transform rely on that sign.
[[nodiscard]] TV3x3R MatriceRotation(const TV3R& angles);

} // namespace tessarc

#include "UtilsVect.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

using namespace tessarc;

TEST(MatriceRotation, ZeroAnglesGiveTheExactIdentity) {
    EXPECT_EQ(MatriceRotation(FaireV3R(0, 0, 0)), TV3x3R::Identite());
}

TEST(MatriceRotation, TurnsByMinusTheAngleAndTheTransposeTurnsBack) {
    const TV3x3R m = MatriceRotation(FaireV3R(0, 0, std::numbers::pi / 2));
    const TV3R r = MatriceFoisVecteur(m, FaireV3R(1, 0, 0));
    EXPECT_NEAR(r[1], 0.0, 1e-15);
    EXPECT_NEAR(r[2], -1.0, 1e-15);
    EXPECT_NEAR(r[3], 0.0, 1e-15);
    const TV3R back = TransposeeFoisVecteur(m, r);
    EXPECT_NEAR(back[1], 1.0, 1e-15);
    EXPECT_NEAR(back[2], 0.0, 1e-15);
}

TEST(MatriceRotation, ComposesXThenYThenZ) {
    const double a = 0.3, b = -0.7, c = 1.1;
    const TV3x3R attendu = ProduitMatrices(
        ProduitMatrices(MatriceRotation(FaireV3R(a, 0, 0)), MatriceRotation(FaireV3R(0, b, 0))),
        MatriceRotation(FaireV3R(0, 0, c)));
    const TV3x3R m = MatriceRotation(FaireV3R(a, b, c));
    for (int i = 1; i <= 3; ++i)
        for (int j = 1; j <= 3; ++j) EXPECT_DOUBLE_EQ(m(i, j), attendu(i, j));
    // About X by a: (0, 1, 0) goes to (0, cos a, -sin a), a turn by -a.
    const TV3R y = MatriceFoisVecteur(MatriceRotation(FaireV3R(a, 0, 0)), FaireV3R(0, 1, 0));
    EXPECT_NEAR(y[3], -std::sin(a), 1e-15);
    // About Y by b: (0, 0, 1) goes to (-sin b, 0, cos b).
    const TV3R z = MatriceFoisVecteur(MatriceRotation(FaireV3R(0, b, 0)), FaireV3R(0, 0, 1));
    EXPECT_NEAR(z[1], -std::sin(b), 1e-15);
}

TEST(VecteursSimples, SumsAreRoundedOnceToSingle) {
    // 16777216 + 1 + 1 is not representable step by step in float, but the double sum rounded once is.
    const TV3S a = FaireV3S(16777216.0f, 0.1f, -1.0f);
    const TV3S b = FaireV3S(3.0f, 0.2f, 1.0f);
    const TV3S s = SommeV3S(a, b);
    EXPECT_EQ(s[1], static_cast<float>(16777216.0 + 3.0));
    EXPECT_EQ(s[2], static_cast<float>(double(0.1f) + double(0.2f)));
    EXPECT_EQ(s[3], 0.0f);
    EXPECT_EQ(DiffV3S(s, b)[2], static_cast<float>(double(s[2]) - double(0.2f)));
    EXPECT_EQ(ProduitVectoriel(FaireV3R(1, 0, 0), FaireV3R(0, 1, 0)), FaireV3R(0, 0, 1));
    EXPECT_EQ(SommeV4I(TV4I{{1, 2, 3, 4}}, TV4I{{10, 20, 30, 40}}), (TV4I{{11, 22, 33, 44}}));
}

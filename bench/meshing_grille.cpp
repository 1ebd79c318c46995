// Times "Calculer les points" (a 5 cm grid over an 8 x 6 m rectangle boundary), the triangulation and
// the model texts, against the displayed cubes of a barrel vault z = 0.8 + sqrt(9 - (y - 3)^2) sampled
// on a jittered lattice (one leaf cube per point, about 5 million by default).
//
//   bench_meshing_grille [points] [spacing in m]

#include "GrilleCapture.h"
#include "Modele.h"
#include "Triangulation.h"
#include "UTessarcGlb.h"

#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

using namespace tessarc;

namespace {

class Chrono {
public:
    double Secondes() const {
        return std::chrono::duration<double>(std::chrono::steady_clock::now() - debut_).count();
    }

private:
    std::chrono::steady_clock::time_point debut_ = std::chrono::steady_clock::now();
};

// Deterministic jitter in [-0.5, 0.5).
double Alea(std::uint64_t& etat) {
    etat = etat * 6364136223846793005ULL + 1442695040888963407ULL;
    return static_cast<double>(etat >> 11) * (1.0 / 9007199254740992.0) - 0.5;
}

} // namespace

int main(int argc, char** argv) {
    const double nbPoints = argc > 1 ? std::atof(argv[1]) : 5.0e6;
    const float trame = argc > 2 ? static_cast<float>(std::atof(argv[2])) : 0.05f;
    const double pas = std::sqrt(8.0 * 6.0 / nbPoints);
    const auto nx = static_cast<int>(8.0 / pas);
    const auto ny = static_cast<int>(6.0 / pas);

    TNuage nuage;
    nuage.NivMax = 4;
    nuage.CooMin = FaireV3S(0.0f, 0.0f, 0.8f);
    nuage.CooMax = FaireV3S(8.0f, 6.0f, 3.8f);
    (void)nuage.CalculerEtendue();
    nuage.DimensionnerGrille();
    Chrono construction;
    std::uint64_t etat = 12345;
    const TV4By couleur{{180, 170, 150, 0}};
    for (int i = 0; i < nx; ++i)
        for (int j = 0; j < ny; ++j) {
            const double x = std::clamp((i + 0.5 + 0.6 * Alea(etat)) * pas, 0.0, 8.0);
            const double y = std::clamp((j + 0.5 + 0.6 * Alea(etat)) * pas, 0.0, 6.0);
            const double z = 0.8 + std::sqrt(std::max(0.0, 9.0 - (y - 3.0) * (y - 3.0)));
            nuage.InsererPoint(static_cast<float>(x), static_cast<float>(y), static_cast<float>(z), couleur);
        }
    nuage.CalculerMoyennesRacines();
    nuage.ChoisirNivAffiche(4);
    std::printf("voûte : %d x %d points, %zu cubes affichés (construction %.1f s, non comptée)\n", nx, ny,
                nuage.CubesAffiches.size(), construction.Secondes());

    TMaillage m;
    m.Frontiere = {FaireV3S(0, 0, 0.8f), FaireV3S(8, 0, 0.8f), FaireV3S(8, 6, 0.8f), FaireV3S(0, 6, 0.8f)};
    m.TrameGrille = trame;
    EntrerPageGrille(m, nuage.CooMin[3]);

    Chrono grille;
    const TCompteRenduGrille cr = CalculerPointsGrille(m, nuage.CubesAffiches);
    const double tGrille = grille.Secondes();
    if (!cr.Calcule) {
        std::printf("grille refusée : %s\n", cr.Message.c_str());
        return 1;
    }
    std::printf("points de grille : %d x %d cellules, %d noeuds en %.3f s (objectif < 2 s)\n", m.NbColGrille,
                m.NbLigGrille, m.NbPointsModele - 1, tGrille);

    Chrono triangulation;
    Trianguler(m);
    const double tTri = triangulation.Secondes();
    Chrono modele;
    const TResultatModele r = CalculerModele(m, TSaisieModele{});
    const double tModele = modele.Secondes();
    std::printf("triangulation : %zu triangles, %d noeuds en %.3f s\n", m.Triangles.size(),
                m.NbPointsModele - 1, tTri);
    std::printf("textes du modèle : %zu + %zu + %zu octets en %.3f s\n", r.ResulGen.size(), r.ResulNds.size(),
                r.ResulElts.size(), tModele);
    std::printf("triangulation et textes : %.3f s (objectif < 1 s)\n", tTri + tModele);

    // A node's height must be the vault's at its place, within the sampling spacing.
    double ecartMax = 0.0;
    for (std::int32_t i = 1; i < m.NbPointsModele; ++i) {
        const TV3S& p = m.PointsModele[static_cast<std::size_t>(i)].CoPM;
        const double y = p[2];
        const double z = 0.8 + std::sqrt(std::max(0.0, 9.0 - (y - 3.0) * (y - 3.0)));
        if (std::fabs(y - 3.0) < 2.9) ecartMax = std::max(ecartMax, std::fabs(z - p[3]));
    }
    std::printf("écart de hauteur maximal (hors naissances) : %.4f m\n", ecartMax);
    return tGrille < 2.0 && tTri + tModele < 1.0 ? 0 : 2;
}

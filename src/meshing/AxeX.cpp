#include "AxeX.h"

#include "Fichier.h"
#include "PetitBoutiste.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <new>
#include <stdexcept>
#include <vector>

namespace tessarc {

namespace {

constexpr std::size_t EnregistrementsParBloc = 65536;

// Rows (ux, uy, 0), (-uy, ux, 0), (0, 0, 1), each row summed in single precision in its order.
struct TRotation {
    float ux, uy;
    [[nodiscard]] std::array<float, 3> Appliquer(float X, float Y, float Z) const {
        const float zero = 0.0f;
        const float un = 1.0f;
        return {ux * X + uy * Y + zero * Z, -uy * X + ux * Y + zero * Z, zero * X + zero * Y + un * Z};
    }
};

// One pass over the companion's N records: f(record) on each, which may rewrite it in place, with the
// progress text every N div 20 records; each block is then written to `sortie` when there is one.
template <typename F>
void Parcourir(const std::filesystem::path& compagnon, std::int64_t N, const char* titre,
               IProgression& progression, TFichier* sortie, F&& f) {
    TFichier source(compagnon, TFichier::EMode::Lecture);
    const std::int64_t pas = N / 20;
    std::vector<unsigned char> bloc(EnregistrementsParBloc * TailleEnregistrementCompagnon);
    std::int64_t j = 0;
    while (j < N) {
        const auto n = static_cast<std::size_t>(std::min<std::int64_t>(N - j, EnregistrementsParBloc));
        source.LireExact(bloc.data(), n * TailleEnregistrementCompagnon);
        for (std::size_t k = 0; k < n; ++k) {
            ++j;
            // Fewer than 20 records: no progress step.
            if (pas > 0 && j % pas == 0)
                progression.AffiInfo(1, std::string(titre) + " " + std::to_string(j / pas * 5) + "%");
            f(bloc.data() + k * TailleEnregistrementCompagnon);
        }
        if (sortie != nullptr) sortie->Ecrire(bloc.data(), n * TailleEnregistrementCompagnon);
    }
}

} // namespace

TResultatAxeX AppliquerAxeX(const TV3S& O, const TV3S& A, const std::filesystem::path& compagnon,
                            IProgression& progression) {
    TResultatAxeX res;
    const float dx = A[1] - O[1];
    const float dy = A[2] - O[2];
    const float L = std::sqrt(dx * dx + dy * dy);
    if (L == 0.0f) {
        res.Message =
            "axe X non défini : les deux points choisis ont les mêmes X et Y ; aucun point n'a été modifié";
        return res;
    }
    if (!std::isfinite(L)) {
        res.Message =
            "axe X non défini : coordonnées des points choisis hors limites ; aucun point n'a été modifié";
        return res;
    }
    const TRotation rot{dx / L, dy / L};

    std::error_code ec;
    if (!std::filesystem::is_regular_file(compagnon, ec)) {
        res.Message =
            "fichier de points introuvable : " + compagnon.string() + " ; aucun point n'a été modifié";
        return res;
    }

    try {
        res.N = TFichier(compagnon, TFichier::EMode::Lecture).Taille() /
                static_cast<std::int64_t>(TailleEnregistrementCompagnon);

        // Rotation pass: the extent of the turned points.
        std::array<float, 3> mini;
        std::array<float, 3> maxi;
        mini.fill(3.4028235e38f);
        maxi.fill(-3.4028235e38f);
        Parcourir(compagnon, res.N, "rotation", progression, nullptr, [&](const unsigned char* e) {
            const auto p = rot.Appliquer(LireReelLE(e), LireReelLE(e + 4), LireReelLE(e + 8));
            for (std::size_t i = 0; i < 3; ++i) {
                if (p[i] < mini[i]) mini[i] = p[i];
                if (p[i] > maxi[i]) maxi[i] = p[i];
            }
        });

        // Translation pass: the same turned points, shifted, into the new file; attributes untouched.
        TEcritureAtomique nouveau(compagnon);
        Parcourir(compagnon, res.N, "translation", progression, &nouveau.Fichier(), [&](unsigned char* e) {
            const auto p = rot.Appliquer(LireReelLE(e), LireReelLE(e + 4), LireReelLE(e + 8));
            for (std::size_t i = 0; i < 3; ++i) EcrireReelLE(e + 4 * i, p[i] - mini[i]);
        });
        nouveau.Valider();

        res.Applique = true;
        if (res.N > 0)
            for (int i = 1; i <= 3; ++i) {
                const auto k = static_cast<std::size_t>(i - 1);
                res.CooMax[i] = maxi[k] - mini[k];
            }
    } catch (const EStopError& e) {
        res.Abandonne = true;
        res.Message = e.what();
    } catch (const std::bad_alloc&) {
        res.Message = "mémoire insuffisante ; aucun point n'a été modifié";
    } catch (const std::exception& e) {
        res.Message = std::string(e.what()) + " ; aucun point n'a été modifié";
    }
    return res;
}

} // namespace tessarc

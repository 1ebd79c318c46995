#pragma once
// Where every scan reader puts its points: true coordinates in double with their colour, appended to
// an unnamed temporary records file while the bounding box grows in double. The load then takes the
// coordinate shift from that box and builds the tree from the records (TSourceTemporaire).

#include "Fichier.h"
#include "PetitBoutiste.h"
#include "SourcePoints.h"
#include "UtilsVect.h"

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <limits>
#include <string>
#include <vector>

namespace tessarc {

// X, Y, Z as little-endian doubles, then the four colour bytes.
inline constexpr std::size_t TaillePointLu = 28;

// One point as a reader gives it: true coordinates.
struct TPointLu {
    double X = 0.0;
    double Y = 0.0;
    double Z = 0.0;
    TV4By Couleur{};
};

inline TPointLu DecoderPointLu(const unsigned char* s) {
    TPointLu p{LireDoubleLE(s), LireDoubleLE(s + 8), LireDoubleLE(s + 16), {}};
    for (int k = 1; k <= 4; ++k) p.Couleur[k] = s[23 + k];
    return p;
}

class TSortiePoints {
public:
    // source names the scan in the messages.
    TSortiePoints(std::filesystem::path source, TFichier& temporaire);

    // A point whose coordinate is not finite refuses the file.
    void Ajouter(double X, double Y, double Z, const TV4By& couleur) {
        if (!(std::isfinite(X) && std::isfinite(Y) && std::isfinite(Z))) CoordonneeNonFinie();
        ++nombre_;
        const double c[3] = {X, Y, Z};
        unsigned char* d = tampon_.Reserver(TaillePointLu);
        for (std::size_t a = 0; a < 3; ++a) {
            EcrireDoubleLE(d + 8 * a, c[a]);
            if (c[a] < min_[static_cast<int>(a) + 1]) min_[static_cast<int>(a) + 1] = c[a];
            if (c[a] > max_[static_cast<int>(a) + 1]) max_[static_cast<int>(a) + 1] = c[a];
        }
        for (int k = 1; k <= 4; ++k) d[23 + k] = couleur[k];
        tampon_.Avancer(TaillePointLu);
    }
    // Everything written to the temporary file.
    void Terminer() { tampon_.Vider(); }

    [[nodiscard]] std::int64_t Nombre() const { return nombre_; }
    [[nodiscard]] const TV3R& Min() const { return min_; }
    [[nodiscard]] const TV3R& Max() const { return max_; }
    [[nodiscard]] const std::filesystem::path& Source() const { return source_; }

    // A note for the user once the load is over ("12 lignes sans coordonnées lues comme 0 0 0").
    void Remarquer(std::string texte) { remarques_.push_back(std::move(texte)); }
    [[nodiscard]] const std::vector<std::string>& Remarques() const { return remarques_; }

private:
    [[noreturn]] void CoordonneeNonFinie() const;

    std::filesystem::path source_;
    TTamponEcriture tampon_;
    std::int64_t nombre_ = 0;
    TV3R min_;
    TV3R max_;
    std::vector<std::string> remarques_;
};

// Per axis: 0 when the box stays within ±2 000 m, else its minimum rounded down to a whole multiple of
// 1 000 m. Single precision keeps 1.6 mm only on local coordinates.
[[nodiscard]] TV3R DecalageCoordonnees(const TV3R& min, const TV3R& max);

// The records of a TSortiePoints, stored as single(x - shift), the difference in double. A coordinate
// beyond single precision even after the shift refuses the file.
class TSourceTemporaire final : public ISourcePoints {
public:
    TSourceTemporaire(TFichier& temporaire, std::filesystem::path source, std::int64_t nombre,
                      const TV3R& decalage);
    [[nodiscard]] std::int64_t Nombre() const override { return nombre_; }
    [[nodiscard]] std::size_t Lire(std::span<TPointFichier> dest) override;
    void Rembobiner() override;

private:
    [[nodiscard]] float Stocker(double v, int axe) const;

    TFichier& fichier_;
    std::filesystem::path source_;
    std::int64_t nombre_;
    std::int64_t lus_ = 0;
    TV3R decalage_;
    std::vector<unsigned char> bloc_;
};

} // namespace tessarc

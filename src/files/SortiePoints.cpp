#include "SortiePoints.h"

#include "Nombres.h"

#include <algorithm>

namespace tessarc {

namespace {

constexpr double Infini = std::numeric_limits<double>::infinity();
constexpr double LimiteLocale = 2000.0;
constexpr double PasDecalage = 1000.0;

} // namespace

TSortiePoints::TSortiePoints(std::filesystem::path source, TFichier& temporaire)
    : source_(std::move(source)), tampon_(temporaire), min_(FaireV3R(Infini, Infini, Infini)),
      max_(FaireV3R(-Infini, -Infini, -Infini)) {}

void TSortiePoints::CoordonneeNonFinie() const {
    ErreurFichier(source_, "le point n° " + std::to_string(nombre_ + 1) + " a une coordonnée non finie");
}

TV3R DecalageCoordonnees(const TV3R& min, const TV3R& max) {
    TV3R d = FaireV3R(0.0, 0.0, 0.0);
    for (int a = 1; a <= 3; ++a)
        if (min[a] < -LimiteLocale || max[a] > LimiteLocale) d[a] = std::floor(min[a] / PasDecalage) * PasDecalage;
    return d;
}

TSourceTemporaire::TSourceTemporaire(TFichier& temporaire, std::filesystem::path source, std::int64_t nombre,
                                     const TV3R& decalage)
    : fichier_(temporaire), source_(std::move(source)), nombre_(nombre), decalage_(decalage) {
    Rembobiner();
}

void TSourceTemporaire::Rembobiner() {
    fichier_.Rembobiner();
    lus_ = 0;
}

float TSourceTemporaire::Stocker(double v, int axe) const {
    const auto s = static_cast<float>(v - decalage_[axe]);
    if (std::isinf(s))
        ErreurFichier(source_, "point n° " + std::to_string(lus_ + 1) + ", la coordonnée " + FormatC("%g", v) +
                                   " dépasse la simple précision (3.4e38 au plus) : fichier refusé");
    return s;
}

std::size_t TSourceTemporaire::Lire(std::span<TPointFichier> dest) {
    const auto n = static_cast<std::size_t>(std::min<std::int64_t>(nombre_ - lus_, std::int64_t(dest.size())));
    bloc_.resize(n * TaillePointLu);
    fichier_.LireExact(bloc_.data(), bloc_.size());
    for (std::size_t i = 0; i < n; ++i, ++lus_) {
        const TPointLu l = DecoderPointLu(bloc_.data() + i * TaillePointLu);
        TPointFichier& p = dest[i];
        p.X = Stocker(l.X, 1);
        p.Y = Stocker(l.Y, 2);
        p.Z = Stocker(l.Z, 3);
        p.Couleur = l.Couleur;
    }
    return n;
}

} // namespace tessarc

#include "LecturePoints.h"

#include "Nombres.h"

#include <cmath>

namespace tessarc {

namespace {

inline bool Blanc(char c) {
    return static_cast<unsigned char>(c) <= 32;
}

} // namespace

std::uint8_t OctetArrondi(double v) {
    const double r = std::floor(v + 0.5);
    if (!(r > 0.0)) return 0;
    return r >= 255.0 ? 255 : static_cast<std::uint8_t>(r);
}

// Lines are a few dozen bytes: one far longer than the buffer is no text of points.
TTextePoints::TTextePoints(TFichier& fichier, IProgression& progression, std::int64_t lignesAvant)
    : fichier_(fichier), lignes_(fichier, TLignesTexte::TailleTamponDefaut, TLignesTexte::TailleTamponDefaut),
      avancement_(progression, "lecture", fichier.Taille()), numero_(lignesAvant), octets_(fichier.Position()) {}

bool TTextePoints::LigneSuivante() {
    for (std::string_view ligne; lignes_.Suivante(ligne);) {
        ++numero_;
        octets_ += static_cast<std::int64_t>(ligne.size()) + 1;
        avancement_.Avancer(octets_);
        std::size_t i = 0;
        while (i < ligne.size() && Blanc(ligne[i])) ++i;
        if (i < ligne.size()) {
            reste_ = ligne.substr(i);
            return true;
        }
    }
    reste_ = {};
    return false;
}

bool TTextePoints::Champ(std::string_view& champ) {
    if (reste_.empty()) return false;
    std::size_t fin = 0;
    while (fin < reste_.size() && !Blanc(reste_[fin])) ++fin;
    champ = reste_.substr(0, fin);
    while (fin < reste_.size() && Blanc(reste_[fin])) ++fin;
    reste_.remove_prefix(fin);
    return true;
}

double TTextePoints::Lire(std::string_view champ) const {
    const auto v = LireReel(champ);
    if (!v) Refuser("valeur « " + std::string(champ.substr(0, 40)) + " » illisible");
    return *v;
}

std::size_t TTextePoints::Ligne(std::span<double> valeurs) {
    if (!LigneSuivante()) return 0;
    std::size_t n = 0;
    for (std::string_view champ; Champ(champ); ++n)
        if (n < valeurs.size()) valeurs[n] = Lire(champ);
    return n;
}

bool TTextePoints::Valeur(double& v) {
    std::string_view champ;
    while (!Champ(champ))
        if (!LigneSuivante()) return false;
    v = Lire(champ);
    return true;
}

void TTextePoints::Refuser(const std::string& quoi) const {
    ErreurFichier(fichier_.Nom(), "ligne " + std::to_string(numero_) + " : " + quoi);
}

} // namespace tessarc

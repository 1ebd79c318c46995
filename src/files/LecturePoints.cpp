#include "LecturePoints.h"

#include "Nombres.h"


namespace tessarc {

namespace {

inline bool Blanc(char c) {
    return static_cast<unsigned char>(c) <= 32;
}

} // namespace

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

double TTextePoints::Suivant() {
    const char* p = reste_.data();
    const char* const fin = p + reste_.size();
    double v = 0.0;
    if (!LireReelRapide(p, fin, v)) {
        const char* q = p;
        while (q < fin && !Blanc(*q)) ++q;
        const std::string_view champ(p, static_cast<std::size_t>(q - p));
        const auto r = LireReel(champ);
        if (!r) Refuser("valeur « " + std::string(champ.substr(0, 40)) + " » illisible");
        v = *r;
        p = q;
    }
    while (p < fin && Blanc(*p)) ++p;
    reste_ = std::string_view(p, static_cast<std::size_t>(fin - p));
    return v;
}

std::size_t TTextePoints::Ligne(std::span<double> valeurs) {
    if (!LigneSuivante()) return 0;
    std::size_t n = 0;
    for (; !reste_.empty(); ++n) {
        const double v = Suivant();
        if (n < valeurs.size()) valeurs[n] = v;
    }
    return n;
}

bool TTextePoints::Valeur(double& v) {
    while (reste_.empty())
        if (!LigneSuivante()) return false;
    v = Suivant();
    return true;
}

void TTextePoints::Refuser(const std::string& quoi) const {
    ErreurFichier(fichier_.Nom(), "ligne " + std::to_string(numero_) + " : " + quoi);
}

} // namespace tessarc

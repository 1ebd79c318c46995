#include "LignesTexte.h"

#include <string>

namespace tessarc {

TLignesTexte::TLignesTexte(TFichier& fichier, std::size_t tailleTampon, std::size_t longueurMax)
    : fichier_(fichier), taille_(tailleTampon < 4 ? 4 : tailleTampon), longueurMax_(longueurMax),
      tampon_(std::make_unique_for_overwrite<char[]>(taille_)) {}

bool TLignesTexte::SuivanteApresRemplissage(std::string_view& ligne) {
    for (;;) {
        if (finFichier_) {
            if (debut_ >= rempli_) return false;
            const char* p = tampon_.get() + debut_;
            const char* fin = tampon_.get() + rempli_;
            if (fin[-1] == '\r') --fin;
            ligne = std::string_view(p, static_cast<std::size_t>(fin - p));
            debut_ = rempli_;
            return true;
        }
        Remplir();
        const char* p = tampon_.get() + debut_;
        const auto n = rempli_ - debut_;
        if (const auto* lf = static_cast<const char*>(std::memchr(p, '\n', n))) {
            ligne = std::string_view(p, static_cast<std::size_t>((lf > p && lf[-1] == '\r' ? lf - 1 : lf) - p));
            debut_ = static_cast<std::size_t>(lf + 1 - tampon_.get());
            return true;
        }
    }
}

bool TLignesTexte::Bloc(std::string& bloc, std::size_t voulu) {
    bloc.clear();
    while (bloc.size() < voulu || bloc.empty()) {
        const char* p = tampon_.get() + debut_;
        const char* const fin = tampon_.get() + rempli_;
        if (const auto* lf = static_cast<const char*>(memrchr(p, '\n', static_cast<std::size_t>(fin - p)))) {
            bloc.append(p, lf + 1);
            debut_ = static_cast<std::size_t>(lf + 1 - tampon_.get());
        } else if (finFichier_) {
            bloc.append(p, fin);
            debut_ = rempli_;
            break;
        }
        if (bloc.size() < voulu || bloc.empty()) Remplir();
    }
    return !bloc.empty();
}

// Keeps the unfinished line at the front and reads after it; a line longer than the buffer doubles it.
void TLignesTexte::Remplir() {
    const std::size_t reste = rempli_ - debut_;
    if (debut_ == 0 && reste == taille_) {
        if (taille_ >= longueurMax_)
            ErreurFichier(fichier_.Nom(), "ligne de plus de " + std::to_string(longueurMax_) +
                                              " octets : ce n'est pas un fichier texte de points");
        auto plus = std::make_unique_for_overwrite<char[]>(taille_ * 2);
        std::memcpy(plus.get(), tampon_.get(), reste);
        tampon_ = std::move(plus);
        taille_ *= 2;
    } else if (reste > 0 && debut_ > 0) {
        std::memmove(tampon_.get(), tampon_.get() + debut_, reste);
    }
    debut_ = 0;
    rempli_ = reste;
    const std::size_t lu = fichier_.Lire(tampon_.get() + rempli_, taille_ - rempli_);
    if (lu == 0) finFichier_ = true;
    rempli_ += lu;
    // The first read fills at least 4 bytes, or the whole file: the marks are looked for at its start only.
    if (premier_) {
        premier_ = false;
        const std::string_view debut(tampon_.get(), rempli_);
        if (debut.starts_with("\xFF\xFE") || debut.starts_with("\xFE\xFF"))
            ErreurFichier(fichier_.Nom(), "fichier texte UTF-16 : enregistrez-le en UTF-8");
        if (debut.starts_with("\xEF\xBB\xBF")) debut_ = 3;
    }
}

} // namespace tessarc

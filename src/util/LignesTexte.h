#pragma once
// The lines of a text file read in large blocks: a line ends at LF and loses a CR before it; the last
// line needs no line end, and a final line end adds no empty line. A UTF-8 byte-order mark is skipped;
// a UTF-16 one refuses the file, whose every other byte would read as an empty field.

#include "Fichier.h"

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <string_view>

namespace tessarc {

class TLignesTexte {
public:
    static constexpr std::size_t TailleTamponDefaut = std::size_t{4} << 20;

    // A line longer than the buffer doubles it, up to longueurMax bytes; a longer one refuses the file.
    explicit TLignesTexte(TFichier& fichier, std::size_t tailleTampon = TailleTamponDefaut,
                          std::size_t longueurMax = SIZE_MAX);

    // The next line into ligne (valid until the next call); false after the last one.
    [[nodiscard]] bool Suivante(std::string_view& ligne) {
        const char* p = tampon_.get() + debut_;
        const char* const fin = tampon_.get() + rempli_;
        if (const auto* lf = static_cast<const char*>(std::memchr(p, '\n', static_cast<std::size_t>(fin - p)))) {
            ligne = std::string_view(p, static_cast<std::size_t>((lf > p && lf[-1] == '\r' ? lf - 1 : lf) - p));
            debut_ = static_cast<std::size_t>(lf + 1 - tampon_.get());
            return true;
        }
        return SuivanteApresRemplissage(ligne);
    }

    // The next whole lines, about voulu bytes of them or at least one, into bloc with their line ends (the
    // last line of the file may have none); false after the last line. Cut them with CouperLignes.
    [[nodiscard]] bool Bloc(std::string& bloc, std::size_t voulu);

private:
    [[nodiscard]] bool SuivanteApresRemplissage(std::string_view& ligne);
    void Remplir();

    TFichier& fichier_;
    std::size_t taille_;
    std::size_t longueurMax_;
    std::unique_ptr<char[]> tampon_;
    std::size_t debut_ = 0; // first byte of the current line
    std::size_t rempli_ = 0;
    bool finFichier_ = false;
    bool premier_ = true;
};

// Calls f(line) for each line of texte, lines of TLignesTexte::Bloc: cut at LF, a CR before it
// dropped, the text after the last LF one more line if there is any.
template <typename F> void CouperLignes(std::string_view texte, F&& f) {
    while (!texte.empty()) {
        const std::size_t lf = texte.find('\n');
        std::string_view ligne = texte.substr(0, lf);
        if (!ligne.empty() && ligne.back() == '\r') ligne.remove_suffix(1);
        f(ligne);
        if (lf == std::string_view::npos) return;
        texte.remove_prefix(lf + 1);
    }
}

} // namespace tessarc

// The XYZ line reader on any bytes: the one-pass reading of each line must equal the field-by-field
// reading bit for bit, and the buffered conversion must cut the same lines whatever its buffer size.

#include "Fichier.h"
#include "LecteurXYZ.h"
#include "LectureFuzz.h"
#include "PointFichier.h"

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <stdexcept>
#include <string_view>
#include <vector>

using namespace tessarc;

namespace {

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* donnees, std::size_t taille) {
    if (taille == 0) return 0;
    // The first byte chooses the buffer size; the rest is the file.
    const std::size_t tampon = 2 + donnees[0] % 61;
    const std::string_view fichier(reinterpret_cast<const char*>(donnees + 1), taille - 1);
    // A UTF-16 text is refused; a UTF-8 mark is no part of the first line.
    bool refuse = fichier.starts_with("\xFF\xFE") || fichier.starts_with("\xFE\xFF");
    const std::string_view texte = fichier.substr(fichier.starts_with("\xEF\xBB\xBF") ? 3 : 0);

    // Lines cut the plain way: LF ends a line, a CR before it goes, no line after the last line end.
    std::vector<TPointFichier> attendus;
    for (std::size_t d = 0; d < texte.size();) {
        std::size_t f = texte.find('\n', d);
        const std::size_t suivant = f == std::string_view::npos ? texte.size() : f + 1;
        if (f == std::string_view::npos) f = texte.size();
        std::string_view ligne = texte.substr(d, f - d);
        if (!ligne.empty() && ligne.back() == '\r') ligne.remove_suffix(1);
        const TLigneXYZ simple = LireLigneXYZSimple(ligne);
        if (!essais::Memes(LireLigneXYZ(ligne), simple)) std::abort();
        TPointFichier p{static_cast<float>(simple.X), static_cast<float>(simple.Y),
                        static_cast<float>(simple.Z), simple.Couleur};
        if (std::isinf(p.X) || std::isinf(p.Y) || std::isinf(p.Z)) refuse = true;
        attendus.push_back(p);
        d = suivant;
    }

    const fuzz::TDossierTemporaire dossier(fuzz::EnMemoire);
    const auto nom = dossier.Ecrire("entree.xyz", fuzz::Octets(donnees + 1, taille - 1));
    TFichier entree(nom, TFichier::EMode::Lecture);
    TFichier temporaire = TFichier::Temporaire(nom);
    TSortiePoints sortie(nom, temporaire);
    ProgressionMuette muette;
    try {
        ConvertirTexteEnPoints(entree, sortie, muette, tampon);
        sortie.Terminer();
    } catch (const std::runtime_error&) {
        if (!refuse) std::abort();
        return 0;
    }
    if (refuse || sortie.Nombre() != static_cast<std::int64_t>(attendus.size())) std::abort();
    std::vector<TPointFichier> lus(attendus.size());
    TSourceTemporaire source(temporaire, nom, sortie.Nombre(), TV3R{});
    if (source.Lire(lus) != lus.size()) std::abort();
    for (std::size_t i = 0; i < attendus.size(); ++i) {
        unsigned char a[TaillePointFichier];
        unsigned char b[TaillePointFichier];
        EncoderPoint(a, attendus[i]);
        EncoderPoint(b, lus[i]);
        if (std::memcmp(a, b, TaillePointFichier) != 0) std::abort();
    }
    return 0;
}

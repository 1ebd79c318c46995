#pragma once
// What the scan readers of other programs' formats share: colour bytes from the values those formats
// store, and for the text ones (.pts, .ptx, ascii .ply) lines cut into blank-separated fields read as
// reals, empty lines passed over, progress on the bytes read and faults named with their line.

#include "Chargement.h"
#include "Fichier.h"
#include "LignesTexte.h"
#include "Progression.h"
#include "UtilsVect.h"

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace tessarc {

// floor(v + 0.5) kept within 0..255; NaN gives 0.
[[nodiscard]] inline std::uint8_t OctetArrondi(double v) {
    // Within 1..255 the cut of a positive value is its floor.
    const double r = v + 0.5;
    if (!(r >= 1.0)) return 0;
    return r >= 255.0 ? 255 : static_cast<std::uint8_t>(r);
}

[[nodiscard]] inline TV4By CouleurRVB(std::uint8_t r, std::uint8_t v, std::uint8_t b) {
    return TV4By{{r, v, b, 0}};
}

class TTextePoints {
public:
    // Reads from the file's current position; lignesAvant lines came before it.
    TTextePoints(TFichier& fichier, IProgression& progression, std::int64_t lignesAvant = 0);

    // The fields of the next line that holds any, read as reals into valeurs (those beyond its size are
    // read, not kept): the number of fields, 0 at the end of the file.
    [[nodiscard]] std::size_t Ligne(std::span<double> valeurs);
    // The next field, wherever the line ends fall; false at the end of the file.
    [[nodiscard]] bool Valeur(double& v);
    // Refuses the file: "ligne N : quoi", N the line last read.
    [[noreturn]] void Refuser(const std::string& quoi) const;

private:
    [[nodiscard]] bool LigneSuivante();
    // The field at the start of reste_, which then loses it and the blanks after it.
    [[nodiscard]] double Suivant();

    TFichier& fichier_;
    TLignesTexte lignes_;
    TAvancement avancement_;
    std::int64_t numero_;
    std::int64_t octets_;
    std::string_view reste_;
};

} // namespace tessarc

#pragma once
// The XYZ text reader: one point per line, "X Y Z [R G B]", fields cut at spaces and read leniently
// (what does not read is 0), colours kept modulo 256. A line ends at LF; a CR before it is dropped; a
// final line end adds no empty line.

#include "Fichier.h"
#include "LignesTexte.h"
#include "Progression.h"
#include "SortiePoints.h"
#include "UtilsVect.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace tessarc {

// One line as read, the coordinates before their rounding to single precision.
struct TLigneXYZ {
    double X = 0.0;
    double Y = 0.0;
    double Z = 0.0;
    TV4By Couleur{};
    bool SansCoordonnees = false; // none of the three coordinate fields reads as a number
};

// Field by field with the program's field readers: the reference reading of a line.
[[nodiscard]] TLigneXYZ LireLigneXYZSimple(std::string_view ligne);
// The same result, with the usual plain numbers read in one pass; anything unusual goes through
// LireLigneXYZSimple.
[[nodiscard]] TLigneXYZ LireLigneXYZ(std::string_view ligne);

// Every line of texte is one point of sortie; progress "lecture : N%" about every 1 % of the file. A
// coordinate finite as a double but beyond single precision refuses the file. The lines that hold no
// coordinate at all are counted in a note for the user.
void ConvertirTexteEnPoints(TFichier& texte, TSortiePoints& sortie, IProgression& progression,
                            std::size_t tailleTampon = TLignesTexte::TailleTamponDefaut);

// The reader of the table of formats.
void LireXYZ(TFichier& texte, TSortiePoints& sortie, IProgression& progression);

} // namespace tessarc

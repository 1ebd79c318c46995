#pragma once
// Text helpers of the settings store and the readers: fields cut off the front of a text, whole text
// files, and self-delimiting values that keep any text, line breaks included, in a line-oriented file.
// Texts are UTF-8.

#include "Progression.h"

#include <chrono>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace tessarc {

// Each extractor returns the field before the first separator and removes field and separator from
// the source; without a separator the whole source is returned and the source becomes empty. An empty
// separator never occurs.
std::string ExtraireJusqua(std::string& source, std::string_view separateur);
std::string ExtraireJusqua(std::string& source, char separateur);
std::string ExtraireLigne(std::string& source);    // CR LF
std::string ExtraireChampTab(std::string& source); // TAB
// Up to one space, then the rest loses its leading characters of code 32 or less.
std::string ExtraireMot(std::string& source);
// The next word, trimmed, read with the program's number syntax (Nombres.h); 0 when it does not read.
double ExtraireReel(std::string& source);
std::int32_t ExtraireEntier(std::string& source);

// The same cuts on views, for texts too long to be shortened from the front copy by copy.
std::string_view ExtraireJusquaVue(std::string_view& source, std::string_view separateur);
std::string_view ExtraireLigneVue(std::string_view& source);

// The notes of one status line: partie after texte, " ; " between them, nothing for an empty part.
void AjouterNote(std::string& texte, std::string_view partie);

// The text without its spaces and no-break spaces (U+00A0).
[[nodiscard]] std::string SansEspaces(std::string_view texte);

// Whole text of a file, decoded to UTF-8: a byte-order mark (UTF-8, UTF-16 LE or BE) is honoured;
// without one the bytes are UTF-8, or Windows-1252 when they are not valid UTF-8 (files written on
// Windows). Empty for a missing or empty file. Opening is tried ten times, waiting k x 100 ms after
// failed attempt k; the tenth failure throws.
// With a status line, both say "charge "/"range " + file name in its panel 1 before the work and clear
// it after, however the work ends.
[[nodiscard]] std::string ChargerFichierTexte(const std::string& nomFichier, IProgression* statut = nullptr);
// Creates or replaces the file with the text in UTF-8 without byte-order mark; throws on any error.
void RangerFichierTexte(std::string_view texte, const std::string& nomFichier,
                        IProgression* statut = nullptr);

// The wait between attempts to open; tests replace it so that they never sleep.
using AttenteOuverture = std::function<void(std::chrono::milliseconds)>;
void DefinirAttenteOuverture(AttenteOuverture attente);

// Wraps a value in a delimiter "< délimstr X >" that does not occur in it.
// Single-line form: D + value + D; multi-line form: D + CR LF + value + D + CR LF.
[[nodiscard]] std::string Delimiter(std::string_view valeur, bool uneLigne);
// Reads back one wrapped value from the front of the source and removes it.
std::string ExtraireDelimite(std::string& source, bool uneLigne);
std::string_view ExtraireDelimiteVue(std::string_view& source, bool uneLigne);

} // namespace tessarc

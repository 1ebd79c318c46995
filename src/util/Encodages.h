#pragma once
// Decoding of the bytes of a text file into the program's UTF-8 strings.

#include <string>
#include <string_view>

namespace tessarc {

// Strict UTF-8: no overlong forms, no surrogates, nothing above U+10FFFF.
[[nodiscard]] bool EstUtf8Valide(std::string_view octets);
[[nodiscard]] std::string DepuisWindows1252(std::string_view octets);
// A trailing odd byte is dropped; an unpaired surrogate becomes U+FFFD.
[[nodiscard]] std::string DepuisUtf16(std::string_view octets, bool grosBoutiste);
// By byte-order mark; without one UTF-8, or Windows-1252 when the bytes are not valid UTF-8.
[[nodiscard]] std::string DecoderTexte(std::string_view octets);

void AjouterUtf8(std::string& sortie, char32_t code);

} // namespace tessarc

#pragma once
// The XML section of an E57 file, as far as points go: the scans of data3D, each with its pose, the
// binary section of its points, the fields of its records in bytestream order, and its colour and
// intensity limits. Everything a reader would later trust (types, limits, widths, codecs) is checked
// here.

#include <array>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace tessarc {

inline constexpr std::array<std::string_view, 3> ChampsCartesiens{"cartesianX", "cartesianY", "cartesianZ"};
inline constexpr std::array<std::string_view, 3> ChampsSpheriques{"sphericalRange", "sphericalAzimuth",
                                                                  "sphericalElevation"};
inline constexpr std::array<std::string_view, 3> ChampsCouleur{"colorRed", "colorGreen", "colorBlue"};

enum class ETypeChampE57 { Reel, Entier, EntierEchelle, Texte };

// One field of the records: a leaf of the prototype.
struct TChampE57 {
    std::string Nom; // element name; a leaf of a nested structure gets its path ("a/b")
    ETypeChampE57 Type = ETypeChampE57::Reel;
    // Bits per value in the bytestream: 32 or 64 for a real, ceil(log2(maximum - minimum + 1)) for an
    // integer (0 when minimum = maximum), 0 for a text, whose length varies.
    int Bits = 64;
    std::int64_t Min = 0; // integers: value = Min + the packed bits
    std::int64_t Max = 0;
    double Echelle = 1.0; // scaled integers: real value = value × Echelle + Decalage
    double Decalage = 0.0;
    double MinReel = 0.0; // the field's limits as real values
    double MaxReel = 0.0;
};

struct TLimitesE57 {
    std::optional<double> Min;
    std::optional<double> Max;
};

struct TScanE57 {
    int Numero = 0;           // from 1, for the messages
    std::int64_t Section = 0; // physical offset of the binary section of the points
    std::int64_t NbEnregistrements = 0;
    std::vector<TChampE57> Champs;
    bool Cartesien = true; // else spherical coordinates
    // p' = Rotation p + Translation, the rotation from the normalised quaternion.
    std::array<std::array<double, 3>, 3> Rotation{{{1, 0, 0}, {0, 1, 0}, {0, 0, 1}}};
    std::array<double, 3> Translation{};
    std::array<TLimitesE57, 3> LimitesCouleur; // red, green, blue
    TLimitesE57 LimitesIntensite;

    // The field named nom, or nullptr.
    [[nodiscard]] const TChampE57* Champ(std::string_view nom) const;
};

// The scans of the XML text xml (parsed in place) of the file nom, in the file's order. A malformed
// text, an unknown codec, a field of no known type, a prototype without coordinates refuse the file.
[[nodiscard]] std::vector<TScanE57> LireDescriptionE57(std::span<char> xml, const std::filesystem::path& nom);

} // namespace tessarc

#pragma once
// Writers of small LAS and PLY files for the reader tests and the benchmark, written from the formats'
// descriptions, independently of the readers: they share no table with them.

#include "Nombres.h"
#include "PetitBoutiste.h"

#include <bit>
#include <cstdint>
#include <cstring>
#include <sstream>
#include <string>
#include <vector>

namespace tessarc::essais {

struct TPointLAS {
    std::int32_t X = 0, Y = 0, Z = 0;
    std::uint16_t Intensite = 0;
    std::uint16_t Rouge = 0, Vert = 0, Bleu = 0;
};

struct TScanLAS {
    int Mineure = 2;
    int Format = 2;
    int OctetsEnPlus = 0; // extra bytes at the end of each record
    int OctetsVLR = 0;    // between the header and the points
    bool CompteAncien = true;
    double Echelle[3] = {0.001, 0.001, 0.001};
    double Origine[3] = {0.0, 0.0, 0.0};
    std::vector<TPointLAS> Points;
};

namespace detail {

inline int LongueurLAS(const TScanLAS& s) {
    static constexpr int Tailles[] = {20, 28, 26, 34, 57, 63, 30, 36, 38, 59, 67};
    return Tailles[s.Format] + s.OctetsEnPlus;
}

} // namespace detail

// The header and the variable-length records of s, announcing n points.
inline std::string EnteteLAS(const TScanLAS& s, std::uint64_t n) {
    const int entete = s.Mineure >= 4 ? 375 : s.Mineure == 3 ? 235 : 227;
    std::string o(static_cast<std::size_t>(entete + s.OctetsVLR), '\0');
    auto* e = reinterpret_cast<unsigned char*>(o.data());
    std::memcpy(e, "LASF", 4);
    e[24] = 1;
    e[25] = static_cast<unsigned char>(s.Mineure);
    EcrireLE16(e + 94, static_cast<std::uint16_t>(entete));
    EcrireLE32(e + 96, static_cast<std::uint32_t>(entete + s.OctetsVLR));
    e[104] = static_cast<unsigned char>(s.Format);
    EcrireLE16(e + 105, static_cast<std::uint16_t>(detail::LongueurLAS(s)));
    if (s.CompteAncien) EcrireLE32(e + 107, static_cast<std::uint32_t>(n));
    for (int a = 0; a < 3; ++a) {
        EcrireDoubleLE(e + 131 + 8 * a, s.Echelle[a]);
        EcrireDoubleLE(e + 155 + 8 * a, s.Origine[a]);
    }
    // Header bounds deliberately wrong: the reader takes the box from the points.
    for (int k = 0; k < 6; ++k) EcrireDoubleLE(e + 179 + 8 * k, 1e9);
    if (s.Mineure >= 4) EcrireLE64(e + 247, static_cast<std::int64_t>(n));
    for (int i = 0; i < s.OctetsVLR; ++i) e[entete + i] = 0x5A;
    return o;
}

inline void AjouterPointLAS(std::string& o, const TScanLAS& s, const TPointLAS& p) {
    const bool couleur = s.Format == 2 || s.Format == 3 || s.Format == 5 || s.Format >= 7;
    // After X Y Z, intensity, one or two flag bytes, classification, scan angle, user data, source ID;
    // GPS time right after in every format but 2.
    const int rouge = s.Format >= 6 ? 30 : (s.Format == 2 ? 20 : 28);
    const std::size_t debut = o.size();
    o.append(static_cast<std::size_t>(detail::LongueurLAS(s)), '\xA5'); // every field not written is noise
    auto* d = reinterpret_cast<unsigned char*>(o.data() + debut);
    EcrireLE32(d, static_cast<std::uint32_t>(p.X));
    EcrireLE32(d + 4, static_cast<std::uint32_t>(p.Y));
    EcrireLE32(d + 8, static_cast<std::uint32_t>(p.Z));
    EcrireLE16(d + 12, p.Intensite);
    if (couleur) {
        EcrireLE16(d + rouge, p.Rouge);
        EcrireLE16(d + rouge + 2, p.Vert);
        EcrireLE16(d + rouge + 4, p.Bleu);
    }
}

inline std::string OctetsLAS(const TScanLAS& s) {
    std::string o = EnteteLAS(s, s.Points.size());
    for (const TPointLAS& p : s.Points) AjouterPointLAS(o, s, p);
    return o;
}

// A PLY property: "float x", "uchar red", "list uchar int vertex_indices".
struct TElementPLY {
    std::string Nom;
    std::vector<std::string> Proprietes;
    // Per instance, the values in the order of the properties; a list gives its count then its items.
    std::vector<std::vector<double>> Instances;
    std::size_t Nombre = 0; // announced when Instances is empty
};

enum class EEncodagePLY { Ascii, Petit, Grand };

namespace detail {

// The types char, uchar, short, ushort, int, uint, float and double.
inline void EcrireValeurPLY(std::string& o, const std::string& type, double v, EEncodagePLY enc) {
    if (enc == EEncodagePLY::Ascii) {
        o += FormatC("%.17g ", v);
        return;
    }
    const std::size_t n = type.ends_with("char") ? 1 : type.ends_with("short") ? 2 : type == "double" ? 8 : 4;
    const std::uint64_t bits = type == "double"  ? std::bit_cast<std::uint64_t>(v)
                               : type == "float" ? std::bit_cast<std::uint32_t>(static_cast<float>(v))
                                                 : static_cast<std::uint64_t>(static_cast<std::int64_t>(v));
    for (std::size_t k = 0; k < n; ++k)
        o += static_cast<char>(bits >> (8 * (enc == EEncodagePLY::Grand ? n - 1 - k : k)));
}

} // namespace detail

// The header; an element without instances announces Nombre of them.
inline std::string EntetePLY(EEncodagePLY enc, const std::vector<TElementPLY>& elements) {
    static const char* const Noms[] = {"ascii", "binary_little_endian", "binary_big_endian"};
    std::string o = std::string("ply\nformat ") + Noms[static_cast<int>(enc)] + " 1.0\ncomment écrit pour un essai\n";
    for (const TElementPLY& e : elements) {
        o += "element " + e.Nom + " " + std::to_string(e.Instances.empty() ? e.Nombre : e.Instances.size()) + "\n";
        for (const std::string& p : e.Proprietes) o += "property " + p + "\n";
    }
    return o + "end_header\n";
}

inline void AjouterInstancePLY(std::string& o, EEncodagePLY enc, const TElementPLY& e, const std::vector<double>& valeurs) {
    std::size_t k = 0;
    for (const std::string& p : e.Proprietes) {
        std::istringstream mots(p);
        std::string type, element;
        mots >> type;
        const bool liste = type == "list";
        if (liste) mots >> type >> element;
        const int n = liste ? static_cast<int>(valeurs[k]) : 0;
        detail::EcrireValeurPLY(o, type, valeurs[k++], enc);
        for (int j = 0; j < n; ++j) detail::EcrireValeurPLY(o, element, valeurs[k++], enc);
    }
    if (enc == EEncodagePLY::Ascii) o += "\n";
}

inline std::string OctetsPLY(EEncodagePLY enc, const std::vector<TElementPLY>& elements) {
    std::string o = EntetePLY(enc, elements);
    for (const TElementPLY& e : elements)
        for (const std::vector<double>& inst : e.Instances) AjouterInstancePLY(o, enc, e, inst);
    return o;
}

} // namespace tessarc::essais

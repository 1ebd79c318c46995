#pragma once
// A small E57 writer for the tests and the benchmark: scans of chosen fields and values, packets of a
// chosen number of records per field, optional empty and index packets, and hooks that forge the XML
// or the logical bytes before the pages are cut and their checksums computed. Checksums come from the
// library, independently of the reader's.

#include "PetitBoutiste.h"

#include <boost/crc.hpp>

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <initializer_list>
#include <stdexcept>
#include <string>
#include <vector>

namespace tessarc::essais {

enum class ETypeEcrit { Simple, Double, Entier, EntierEchelle };

struct TChampEcrit {
    std::string Nom;
    ETypeEcrit Type = ETypeEcrit::Double;
    std::int64_t Min = 0; // integers: the bits written are value - Min
    std::int64_t Max = 0;
    double Echelle = 1.0;
    double Decalage = 0.0;
    std::vector<double> Valeurs{}; // reals, or the integer values
    std::size_t ParPaquet = 0;     // records of this field per packet; 0: the scan's

    [[nodiscard]] int Bits() const {
        if (Type == ETypeEcrit::Simple) return 32;
        if (Type == ETypeEcrit::Double) return 64;
        return std::bit_width(static_cast<std::uint64_t>(Max) - static_cast<std::uint64_t>(Min));
    }
};

struct TScanEcrit {
    std::vector<TChampEcrit> Champs;
    std::string XmlEnPlus; // more children of the scan: pose, colorLimits, intensityLimits
    std::size_t ParPaquet = 1000;
    bool PaquetsVides = false; // an empty packet before the data and an index packet after
};

struct TRetouchesE57 {
    std::function<void(std::string&)> Xml;     // the XML text, before it is laid out
    std::function<void(std::string&)> Logique; // header, sections and XML, before the pages are cut
    std::int64_t PageFausse = -1;              // a page whose checksum is spoiled
};

inline std::string Nombre17(double v) {
    char t[40];
    std::snprintf(t, sizeof t, "%.17g", v);
    return t;
}

// A number element of the XML: <nom type="type">v</nom>.
inline std::string ElementE57(const char* nom, const char* type, double v) {
    return "<" + std::string(nom) + " type=\"" + type + "\">" + Nombre17(v) + "</" + nom + ">";
}

inline std::string PoseE57(double w, double x, double y, double z, double tx, double ty, double tz) {
    auto e = [](const char* n, double v) { return ElementE57(n, "Float", v); };
    return "<pose type=\"Structure\"><rotation type=\"Structure\">" + e("w", w) + e("x", x) + e("y", y) +
           e("z", z) + "</rotation><translation type=\"Structure\">" + e("x", tx) + e("y", ty) + e("z", tz) +
           "</translation></pose>";
}

namespace detail {

inline std::int64_t Physique(std::size_t logique) {
    return static_cast<std::int64_t>(logique / 1020 * 1024 + logique % 1020);
}

inline void Ajouter16(std::string& s, std::uint16_t v) {
    s += static_cast<char>(v & 0xFF);
    s += static_cast<char>(v >> 8);
}

inline void Ajouter64(std::string& s, std::int64_t v) {
    for (int i = 0; i < 8; ++i) s += static_cast<char>(static_cast<std::uint64_t>(v) >> (8 * i));
}

// The whole bytestream of a field: raw reals, or bits packed least significant first.
inline std::string Flux(const TChampEcrit& c) {
    std::string s;
    if (c.Type == ETypeEcrit::Simple || c.Type == ETypeEcrit::Double) {
        for (const double v : c.Valeurs) {
            unsigned char o[8];
            EcrireDoubleLE(o, v);
            if (c.Type == ETypeEcrit::Simple) EcrireReelLE(o, static_cast<float>(v));
            s.append(reinterpret_cast<const char*>(o), c.Type == ETypeEcrit::Simple ? 4 : 8);
        }
        return s;
    }
    std::uint64_t acc = 0;
    int n = 0; // bits in acc, fewer than 8 between two pieces
    auto bits = [&](std::uint64_t v, int w) {
        acc |= (w == 64 ? v : v & ((std::uint64_t{1} << w) - 1)) << n;
        for (n += w; n >= 8; n -= 8, acc >>= 8) s += static_cast<char>(acc & 0xFF);
    };
    const int w = c.Bits();
    for (const double v : c.Valeurs) {
        const auto brut =
            static_cast<std::uint64_t>(static_cast<std::int64_t>(v)) - static_cast<std::uint64_t>(c.Min);
        bits(brut, std::min(w, 32));
        if (w > 32) bits(brut >> 32, w - 32);
    }
    if (n > 0) s += static_cast<char>(acc & 0xFF);
    return s;
}

inline std::string Prototype(const TScanEcrit& scan) {
    std::string x = "<prototype type=\"Structure\">";
    for (const TChampEcrit& c : scan.Champs) {
        x += "<" + c.Nom;
        if (c.Type == ETypeEcrit::Simple) x += " type=\"Float\" precision=\"single\"";
        if (c.Type == ETypeEcrit::Double) x += " type=\"Float\"";
        if (c.Type == ETypeEcrit::Entier) x += " type=\"Integer\"";
        if (c.Type == ETypeEcrit::EntierEchelle)
            x += " type=\"ScaledInteger\" scale=\"" + Nombre17(c.Echelle) + "\" offset=\"" +
                 Nombre17(c.Decalage) + "\"";
        if (c.Type == ETypeEcrit::Entier || c.Type == ETypeEcrit::EntierEchelle)
            x += " minimum=\"" + std::to_string(c.Min) + "\" maximum=\"" + std::to_string(c.Max) + "\"";
        x += "/>";
    }
    return x + "</prototype>";
}

// The binary section of a scan at logical offset debut: its header, then its packets.
inline std::string Section(const TScanEcrit& scan, std::size_t debut) {
    const std::size_t n = scan.Champs.front().Valeurs.size();
    std::vector<std::string> flux;
    std::size_t nbPaquets = 1;
    for (const TChampEcrit& c : scan.Champs) {
        flux.push_back(Flux(c));
        const std::size_t pp = c.ParPaquet > 0 ? c.ParPaquet : scan.ParPaquet;
        nbPaquets = std::max(nbPaquets, (n + pp - 1) / pp);
    }
    std::string paquets = scan.PaquetsVides ? std::string("\x02\x00\x03\x00", 4) : std::string();
    const std::size_t premier = debut + 32 + paquets.size();
    for (std::size_t k = 0; k < nbPaquets; ++k) {
        std::string tete;
        std::string corps;
        for (std::size_t f = 0; f < flux.size(); ++f) {
            const TChampEcrit& c = scan.Champs[f];
            const std::size_t pp = c.ParPaquet > 0 ? c.ParPaquet : scan.ParPaquet;
            auto octet = [&](std::size_t r) {
                return r >= n ? flux[f].size()
                              : std::min(flux[f].size(), r * static_cast<std::size_t>(c.Bits()) / 8);
            };
            const std::size_t a = octet(k * pp);
            const std::size_t b = octet((k + 1) * pp);
            Ajouter16(tete, static_cast<std::uint16_t>(b - a));
            corps += flux[f].substr(a, b - a);
        }
        std::string p("\x01\x00", 2);
        const std::size_t longueur = (6 + tete.size() + corps.size() + 3) / 4 * 4;
        if (longueur > 65536) throw std::length_error("paquet E57 de plus de 64 Kio");
        Ajouter16(p, static_cast<std::uint16_t>(longueur - 1));
        Ajouter16(p, static_cast<std::uint16_t>(flux.size()));
        p += tete + corps;
        p.resize(longueur, '\0');
        paquets += p;
    }
    const std::size_t index = debut + 32 + paquets.size();
    if (scan.PaquetsVides) {
        paquets += std::string("\x00\x00\x1F\x00\x01\x00", 6) + std::string(10, '\0');
        Ajouter64(paquets, 0);
        Ajouter64(paquets, Physique(premier));
    }
    std::string s("\x01", 1);
    s += std::string(7, '\0');
    Ajouter64(s, static_cast<std::int64_t>(32 + paquets.size()));
    Ajouter64(s, Physique(premier));
    Ajouter64(s, scan.PaquetsVides ? Physique(index) : 0);
    return s + paquets;
}

} // namespace detail

inline std::string EcrireE57(const std::vector<TScanEcrit>& scans, const TRetouchesE57& retouches = {}) {
    std::string l(48, '\0');
    std::string xml = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<e57Root type=\"Structure\" "
                      "xmlns=\"http://www.astm.org/COMMIT/E57/2010-e57-v1.0\"><formatName type=\"String\">"
                      "<![CDATA[ASTM E57 3D Imaging Data File]]></formatName><data3D type=\"Vector\" "
                      "allowHeterogeneousChildren=\"1\">";
    for (const TScanEcrit& scan : scans) {
        xml += "<vectorChild type=\"Structure\">" + scan.XmlEnPlus +
               "<points type=\"CompressedVector\" fileOffset=\"" +
               std::to_string(detail::Physique(l.size())) + "\" recordCount=\"" +
               std::to_string(scan.Champs.front().Valeurs.size()) + "\">" + detail::Prototype(scan) +
               "<codecs type=\"Vector\" allowHeterogeneousChildren=\"1\"/></points></vectorChild>";
        l += detail::Section(scan, l.size());
    }
    xml += "</data3D></e57Root>\n";
    if (retouches.Xml) retouches.Xml(xml);
    const std::size_t debutXml = l.size();
    l += xml;
    const std::size_t nbPages = (l.size() + 1019) / 1020;
    std::string entete = "ASTM-E57";
    // The first number is the two 32-bit versions, 1 and 0.
    for (const std::int64_t v :
         {std::int64_t{1}, static_cast<std::int64_t>(nbPages * 1024), detail::Physique(debutXml),
          static_cast<std::int64_t>(xml.size()), std::int64_t{1024}})
        detail::Ajouter64(entete, v);
    l.replace(0, 48, entete);
    if (retouches.Logique) retouches.Logique(l);
    l.resize(nbPages * 1020, '\0');
    std::string fichier;
    for (std::size_t p = 0; p < nbPages; ++p) {
        const std::string page = l.substr(p * 1020, 1020);
        boost::crc_optimal<32, 0x1EDC6F41, 0xFFFFFFFF, 0xFFFFFFFF, true, true> crc;
        crc.process_bytes(page.data(), page.size());
        std::uint32_t c = crc.checksum() ^ (static_cast<std::int64_t>(p) == retouches.PageFausse ? 1u : 0u);
        fichier += page;
        for (int i = 3; i >= 0; --i) fichier += static_cast<char>(c >> (8 * i));
    }
    return fichier;
}

// A scan of the tests: the fields as given, n values each from its kind: integers spread over their
// whole range, reals on a sine.
inline TScanEcrit ScanEssai(std::initializer_list<TChampEcrit> champs, std::size_t n, std::size_t parPaquet) {
    TScanEcrit s;
    s.ParPaquet = parPaquet;
    for (TChampEcrit f : champs) {
        const std::size_t k = s.Champs.size();
        const std::uint64_t etendue =
            static_cast<std::uint64_t>(f.Max) - static_cast<std::uint64_t>(f.Min) + 1;
        for (std::size_t i = 0; i < n; ++i) {
            std::uint64_t brut = (i * 0x9E3779B97F4A7C15u + k * 104729) % etendue;
            if (etendue > std::uint64_t{1} << 53) brut &= ~std::uint64_t{0xFFF}; // exact in a double
            const double reel = 3.0 * std::sin(0.7 * double(i) + double(k));
            f.Valeurs.push_back(f.Type == ETypeEcrit::Simple ? double(static_cast<float>(reel))
                                : f.Type == ETypeEcrit::Double
                                    ? reel
                                    : double(f.Min + static_cast<std::int64_t>(brut)));
        }
        s.Champs.push_back(std::move(f));
    }
    return s;
}

} // namespace tessarc::essais

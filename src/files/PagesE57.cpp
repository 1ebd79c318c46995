#include "PagesE57.h"

#include "Nombres.h"
#include "PetitBoutiste.h"

#include <boost/crc.hpp>

#include <algorithm>
#include <cstring>

#if defined(__x86_64__)
#include <nmmintrin.h>
#endif

namespace tessarc {

namespace {

constexpr std::size_t TailleEnTete = 48;
constexpr char Signature[] = "ASTM-E57";
// Beyond this the XML would not describe scans but fill memory.
constexpr std::int64_t XmlMax = std::int64_t{256} << 20;

#if defined(__x86_64__)
__attribute__((target("sse4.2"))) std::uint32_t Crc32cMateriel(const unsigned char* p, std::size_t n) {
    std::uint64_t c = 0xFFFFFFFFu;
    for (; n >= 8; p += 8, n -= 8) {
        std::uint64_t mot = 0;
        std::memcpy(&mot, p, 8);
        c = _mm_crc32_u64(c, mot);
    }
    auto c32 = static_cast<std::uint32_t>(c);
    for (; n > 0; ++p, --n) c32 = _mm_crc32_u8(c32, *p);
    return ~c32;
}
#endif

// The unsigned 64-bit numbers of the header, kept readable in messages.
unsigned long long NonSigne(std::int64_t v) {
    return static_cast<unsigned long long>(v);
}

} // namespace

std::uint32_t Crc32cLogiciel(const unsigned char* octets, std::size_t n) {
    boost::crc_optimal<32, 0x1EDC6F41, 0xFFFFFFFF, 0xFFFFFFFF, true, true> crc;
    crc.process_bytes(octets, n);
    return crc.checksum();
}

std::uint32_t Crc32c(const unsigned char* octets, std::size_t n) {
#if defined(__x86_64__)
    static const bool materiel = __builtin_cpu_supports("sse4.2");
    if (materiel) return Crc32cMateriel(octets, n);
#endif
    return Crc32cLogiciel(octets, n);
}

TPagesE57::TPagesE57(TFichier& source) : source_(source) {
    entete_ = LireEnTete();
}

TEnTeteE57 TPagesE57::LireEnTete() {
    unsigned char e[TailleEnTete] = {};
    source_.Rembobiner();
    const std::size_t lus = source_.Lire(e, TailleEnTete);
    if (lus < 8 || std::memcmp(e, Signature, 8) != 0)
        ErreurFichier(Nom(), "signature « ASTM-E57 » absente : ce n'est pas un fichier E57");
    if (lus < TailleEnTete)
        ErreurFichier(Nom(), FormatC("fichier tronqué : en-tête E57 incomplet (%zu octets sur 48)", lus));
    if (LireLE32(e + 8) != 1)
        ErreurFichier(Nom(), FormatC("version %u.%u du format E57 non prise en charge (1.0 attendue)",
                                     LireLE32(e + 8), LireLE32(e + 12)));
    if (LireLE64(e + 40) != TaillePageE57)
        ErreurFichier(Nom(), FormatC("taille de page de %llu octets non prise en charge (1024 attendus)",
                                     NonSigne(LireLE64(e + 40))));
    const std::int64_t longueur = LireLE64(e + 16);
    const std::int64_t taille = source_.Taille();
    if (longueur < 0 || longueur > taille)
        ErreurFichier(Nom(), FormatC("fichier tronqué : %llu octets annoncés, %lld présents",
                                     NonSigne(longueur), static_cast<long long>(taille)));
    nbPages_ = longueur / TaillePageE57;
    if (nbPages_ == 0)
        ErreurFichier(Nom(),
                      FormatC("longueur de %lld octets, moins d'une page", static_cast<long long>(longueur)));

    TEnTeteE57 r;
    r.LongueurPhysique = longueur;
    r.DebutXml = Logique(LireLE64(e + 24), "la section XML");
    r.LongueurXml = LireLE64(e + 32);
    if (r.LongueurXml <= 0 || r.LongueurXml > TailleLogique() - r.DebutXml)
        ErreurFichier(Nom(), FormatC("section XML de %llu octets hors du fichier", NonSigne(r.LongueurXml)));
    if (r.LongueurXml > XmlMax)
        ErreurFichier(Nom(), FormatC("section XML de %lld octets, plus que les 256 Mo admis",
                                     static_cast<long long>(r.LongueurXml)));
    // The header's own page is checked like any other.
    Lire(0, e, TailleEnTete);
    return r;
}

std::int64_t TPagesE57::Logique(std::int64_t physique, const std::string& quoi) const {
    if (physique < 0 || physique >= nbPages_ * TaillePageE57)
        ErreurFichier(Nom(),
                      FormatC("%s commence hors du fichier (octet %llu)", quoi.c_str(), NonSigne(physique)));
    if (physique % TaillePageE57 >= DonneesPageE57)
        ErreurFichier(Nom(), FormatC("%s commence dans une somme de contrôle (octet %lld)", quoi.c_str(),
                                     static_cast<long long>(physique)));
    return physique / TaillePageE57 * DonneesPageE57 + physique % TaillePageE57;
}

void TPagesE57::Lire(std::int64_t logique, unsigned char* dest, std::size_t n) {
    while (n > 0) {
        const std::int64_t page = logique / DonneesPageE57;
        if (page >= nbPages_)
            ErreurFichier(Nom(), FormatC("fichier tronqué : la page %lld manque, le fichier en a %lld",
                                         static_cast<long long>(page), static_cast<long long>(nbPages_)));
        const unsigned char* donnees = Page(page);
        const auto dans = static_cast<std::size_t>(logique % DonneesPageE57);
        const std::size_t k = std::min(n, static_cast<std::size_t>(DonneesPageE57) - dans);
        std::memcpy(dest, donnees + dans, k);
        dest += k;
        n -= k;
        logique += static_cast<std::int64_t>(k);
    }
}

const unsigned char* TPagesE57::Page(std::int64_t page) {
    TBloc& b = Bloc(page / PagesParBloc);
    const auto rang = static_cast<unsigned>(page % PagesParBloc);
    const unsigned char* p = b.Pages.data() + rang * TaillePageE57;
    if ((b.Verifiees >> rang & 1) == 0) {
        if (Crc32c(p, DonneesPageE57) != LireBE32(p + DonneesPageE57))
            ErreurFichier(Nom(),
                          FormatC("page %lld corrompue (somme de contrôle fausse, octets %lld à %lld)",
                                  static_cast<long long>(page), static_cast<long long>(page) * TaillePageE57,
                                  (static_cast<long long>(page) + 1) * TaillePageE57 - 1));
        b.Verifiees |= std::uint64_t{1} << rang;
    }
    return p;
}

TPagesE57::TBloc& TPagesE57::Bloc(std::int64_t numero) {
    TBloc* vieux = &blocs_[0];
    for (TBloc& b : blocs_) {
        if (b.Numero == numero) {
            b.Usage = ++horloge_;
            return b;
        }
        if (b.Usage < vieux->Usage) vieux = &b;
    }
    vieux->Numero = -1;
    const std::int64_t premiere = numero * PagesParBloc;
    const std::int64_t nb = std::min(nbPages_ - premiere, PagesParBloc);
    vieux->Pages.resize(static_cast<std::size_t>(nb * TaillePageE57));
    source_.Positionner(premiere * TaillePageE57);
    source_.LireExact(vieux->Pages.data(), vieux->Pages.size());
    vieux->Numero = numero;
    vieux->Verifiees = 0;
    vieux->Usage = ++horloge_;
    return *vieux;
}

} // namespace tessarc

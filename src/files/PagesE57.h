#pragma once
// The paged layer of E57 files. The file is a run of 1024-byte pages, each 1020 bytes of data then the
// CRC-32C of those bytes, big-endian. Offsets written in the file are physical (checksums included);
// what they point to is read as one logical stream without the checksums, and every page is checked
// as it is read.

#include "Fichier.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace tessarc {

inline constexpr std::int64_t TaillePageE57 = 1024;
inline constexpr std::int64_t DonneesPageE57 = 1020;

// CRC-32C (Castagnoli), with the processor's instruction when it has one.
[[nodiscard]] std::uint32_t Crc32c(const unsigned char* octets, std::size_t n);
// The same from the library's tables, for processors without the instruction.
[[nodiscard]] std::uint32_t Crc32cLogiciel(const unsigned char* octets, std::size_t n);

// What the 48-byte header says, checked against the file: signature, version 1, page size, physical
// length within the file, XML section within the pages.
struct TEnTeteE57 {
    std::int64_t LongueurPhysique = 0;
    std::int64_t DebutXml = 0; // logical
    std::int64_t LongueurXml = 0;
};

class TPagesE57 {
public:
    // Reads and checks the header of source.
    explicit TPagesE57(TFichier& source);

    [[nodiscard]] const TEnTeteE57& EnTete() const { return entete_; }
    [[nodiscard]] const std::filesystem::path& Nom() const { return source_.Nom(); }
    // Logical bytes held by the whole pages of the file.
    [[nodiscard]] std::int64_t TailleLogique() const { return nbPages_ * DonneesPageE57; }
    // The logical offset of a physical one; an offset inside a checksum, or beyond the pages, refuses
    // the file, naming quoi.
    [[nodiscard]] std::int64_t Logique(std::int64_t physique, const std::string& quoi) const;
    // n logical bytes from logique; a page beyond the file's end refuses it as truncated.
    void Lire(std::int64_t logique, unsigned char* dest, std::size_t n);

private:
    static constexpr std::int64_t PagesParBloc = 64;
    // A few blocks of checked pages: the bytestreams of one section walk its packets side by side.
    static constexpr std::size_t NbBlocs = 4;

    struct TBloc {
        std::int64_t Numero = -1;
        std::uint64_t Usage = 0;
        std::uint64_t Verifiees = 0; // one bit per page whose checksum was found right
        std::vector<unsigned char> Pages;
    };

    [[nodiscard]] TEnTeteE57 LireEnTete();
    TBloc& Bloc(std::int64_t numero);
    // The physical page, its checksum checked at its first reading.
    [[nodiscard]] const unsigned char* Page(std::int64_t page);

    TFichier& source_;
    std::int64_t nbPages_ = 0;
    TEnTeteE57 entete_;
    std::array<TBloc, NbBlocs> blocs_;
    std::uint64_t horloge_ = 0;
};

} // namespace tessarc

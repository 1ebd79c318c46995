#pragma once
// The program's file primitives: plain POSIX files with French error texts that name the file, a large
// write buffer, the atomic replacement of a file (write beside it, flush, rename over it) and the
// removal of a file at the end of a scope.

#include "Utils.h"

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace tessarc {

// Throws std::runtime_error("fichier « nom » : quoi").
[[noreturn]] void ErreurFichier(const std::filesystem::path& nom, const std::string& quoi);

// Fault seam for the tests: the rang-th write of any file from now on (1 = the next one) fails with the
// system error code, or writes only half of its bytes when code is 0. Rang 0 removes the fault.
void InjecterPanneEcriture(std::int64_t rang, int code);

class TFichier {
public:
    enum class EMode { Lecture, Creation };

    TFichier() = default;
    // Creation makes or truncates the file, open for reading and writing.
    TFichier(std::filesystem::path nom, EMode mode);
    // An unnamed file for work data, in the folder of voisin when that folder takes it, else in the
    // user's temporary folder: created exclusively, never through a link, never shared, and gone with
    // its descriptor whatever happens (an error, Esc, or the process killed).
    [[nodiscard]] static TFichier Temporaire(const std::filesystem::path& voisin);
    TFichier(TFichier&& autre) noexcept;
    TFichier& operator=(TFichier&& autre) noexcept;
    TFichier(const TFichier&) = delete;
    TFichier& operator=(const TFichier&) = delete;
    ~TFichier();

    // Up to n bytes; fewer only at the end of the file.
    [[nodiscard]] std::size_t Lire(void* dest, std::size_t n);
    // Exactly n bytes, or "fin de fichier inattendue".
    void LireExact(void* dest, std::size_t n);
    void Ecrire(const void* src, std::size_t n);
    [[nodiscard]] std::int64_t Taille() const;
    void Rembobiner();
    [[nodiscard]] std::int64_t Position() const;
    void Positionner(std::int64_t position);
    // Data on the disk before the file is renamed over another.
    void Synchroniser();
    // Closes and reports a failure of the close itself (a delayed write error).
    void Fermer();
    [[nodiscard]] bool Ouvert() const { return fd_ >= 0; }
    [[nodiscard]] const std::filesystem::path& Nom() const { return nom_; }

private:
    friend class TEcritureAtomique;
    TFichier(int fd, std::filesystem::path nom, std::string libelle, std::string suite = {});
    [[noreturn]] void Echec(const char* operation, int code) const;

    int fd_ = -1;
    std::filesystem::path nom_;
    std::string libelle_; // how messages name a file the user does not know by its own name
    std::string suite_;   // what the messages add
};

// Collects small writes into large ones.
class TTamponEcriture {
public:
    explicit TTamponEcriture(TFichier& fichier, std::size_t taille = std::size_t{4} << 20);
    // Room for n bytes (n at most the buffer size); Avancer then commits what was written there.
    [[nodiscard]] unsigned char* Reserver(std::size_t n) {
        if (taille_ - rempli_ < n) Vider();
        return tampon_.get() + rempli_;
    }
    void Avancer(std::size_t n) { rempli_ += n; }
    void Vider();

private:
    TFichier& fichier_;
    std::unique_ptr<unsigned char[]> tampon_;
    std::size_t taille_;
    std::size_t rempli_ = 0;
};

// Reads large blocks and gives them out in pieces: the next n bytes of the file in one piece.
class TTamponLecture {
public:
    explicit TTamponLecture(TFichier& fichier, std::size_t taille = std::size_t{1} << 20);
    // The next n bytes (n at most the buffer size), valid until the next call; "fichier tronqué" when
    // fewer are left.
    [[nodiscard]] const unsigned char* Prendre(std::size_t n) {
        if (rempli_ - debut_ < n) Remplir(n);
        const unsigned char* p = tampon_.get() + debut_;
        debut_ += n;
        return p;
    }
    // Passes over n bytes, or "fichier tronqué".
    void Sauter(std::uint64_t n);
    // Reads on from position, an offset in the file.
    void Positionner(std::int64_t position);

private:
    void Remplir(std::size_t n);

    TFichier& fichier_;
    std::unique_ptr<unsigned char[]> tampon_;
    std::size_t taille_;
    std::size_t debut_ = 0;
    std::size_t rempli_ = 0;
};

// Writes a new version of a file under a hidden name beside it (".nom.<pid>-<hex>.tmp"); Valider flushes
// it to the disk and renames it over the target. Until then, and whenever Valider fails, the target is
// untouched and the hidden file is removed. A link is followed: the file it leads to is replaced, the
// link stays. A read-only target is refused. Errors name the target, never the hidden file. The hidden
// files that killed runs left beside the same target are removed first.
class TEcritureAtomique {
public:
    explicit TEcritureAtomique(std::filesystem::path cible);
    TEcritureAtomique(const TEcritureAtomique&) = delete;
    TEcritureAtomique& operator=(const TEcritureAtomique&) = delete;
    ~TEcritureAtomique();

    [[nodiscard]] TFichier& Fichier() { return fichier_; }
    void Valider();

private:
    friend class TEcritureEnsemble;
    // The new content complete on the disk, still under its hidden name.
    void Preparer();
    // The hidden file renamed over the target.
    void Remplacer();
    [[noreturn]] void Echec(const std::string& quoi) const;

    std::filesystem::path cible_; // as given, for the messages
    std::filesystem::path reel_;  // the file replaced, links followed
    std::filesystem::path temporaire_;
    TFichier fichier_;
    bool existait_ = false;
    bool valide_ = false;
};

// Several files replaced together: every one, or, whatever fails, none (the old ones stay).
class TEcritureEnsemble {
public:
    explicit TEcritureEnsemble(const std::vector<std::filesystem::path>& cibles);
    [[nodiscard]] TFichier& Fichier(std::size_t i) { return ecritures_[i]->Fichier(); }
    void Valider();

private:
    void Annuler(std::size_t remplaces, const std::vector<std::filesystem::path>& copies);

    std::vector<std::unique_ptr<TEcritureAtomique>> ecritures_;
};

// Removes a file when it goes out of scope, unless Garder was called.
class TSuppressionFichier {
public:
    explicit TSuppressionFichier(std::filesystem::path nom) : nom_(std::move(nom)) {}
    TSuppressionFichier(const TSuppressionFichier&) = delete;
    TSuppressionFichier& operator=(const TSuppressionFichier&) = delete;
    ~TSuppressionFichier();
    void Garder() { nom_.clear(); }

private:
    std::filesystem::path nom_;
};

} // namespace tessarc

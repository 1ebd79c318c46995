#include "AxeX.h"

#include "Utils.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cerrno>
#include <cmath>
#include <fcntl.h>
#include <limits>
#include <new>
#include <stdexcept>
#include <unistd.h>
#include <vector>

namespace tessarc {

namespace {

constexpr std::size_t EnregistrementsParBloc = 65536;

std::runtime_error ErreurSysteme(const std::string& quoi, const std::filesystem::path& chemin,
                                 int code = errno) {
    return std::runtime_error(quoi + " " + chemin.string() + " : " + TexteErreurSysteme(code));
}

class TFichier {
public:
    TFichier(const std::filesystem::path& chemin, int drapeaux) : chemin_(chemin) {
        fd_ = ::open(chemin.c_str(), drapeaux | O_CLOEXEC, 0644);
        if (fd_ < 0) throw ErreurSysteme("impossible d'ouvrir", chemin);
    }
    ~TFichier() {
        if (fd_ >= 0) ::close(fd_);
    }
    TFichier(const TFichier&) = delete;
    TFichier& operator=(const TFichier&) = delete;

    // Reads exactly n bytes.
    void Lire(std::uint8_t* p, std::size_t n) {
        while (n > 0) {
            const ssize_t lu = ::read(fd_, p, n);
            if (lu < 0 && errno == EINTR) continue;
            if (lu <= 0) {
                if (lu == 0) errno = EIO;
                throw ErreurSysteme("lecture impossible de", chemin_);
            }
            p += lu;
            n -= static_cast<std::size_t>(lu);
        }
    }
    void Ecrire(const std::uint8_t* p, std::size_t n) {
        while (n > 0) {
            const ssize_t ecrit = ::write(fd_, p, n);
            if (ecrit < 0 && errno == EINTR) continue;
            if (ecrit <= 0) throw ErreurSysteme("écriture impossible dans", chemin_);
            p += ecrit;
            n -= static_cast<std::size_t>(ecrit);
        }
    }
    // Flushed to the disk and closed, so that a rename over the companion never exposes a short file.
    void Terminer() {
        if (::fsync(fd_) != 0) throw ErreurSysteme("écriture impossible dans", chemin_);
        const int fd = fd_;
        fd_ = -1;
        if (::close(fd) != 0) throw ErreurSysteme("écriture impossible dans", chemin_);
    }

private:
    std::filesystem::path chemin_;
    int fd_ = -1;
};

float LireFloat(const std::uint8_t* p) {
    const std::uint32_t v = std::uint32_t{p[0]} | (std::uint32_t{p[1]} << 8) | (std::uint32_t{p[2]} << 16) |
                            (std::uint32_t{p[3]} << 24);
    return std::bit_cast<float>(v);
}

void EcrireFloat(std::uint8_t* p, float f) {
    const auto v = std::bit_cast<std::uint32_t>(f);
    for (int k = 0; k < 4; ++k) p[k] = static_cast<std::uint8_t>(v >> (8 * k));
}

// Removes the new file unless it replaced the companion.
class TTemporaire {
public:
    explicit TTemporaire(std::filesystem::path chemin) : chemin_(std::move(chemin)) {}
    ~TTemporaire() {
        if (!garde_) return;
        std::error_code ec;
        std::filesystem::remove(chemin_, ec);
    }
    TTemporaire(const TTemporaire&) = delete;
    TTemporaire& operator=(const TTemporaire&) = delete;
    void Garder() { garde_ = false; }
    [[nodiscard]] const std::filesystem::path& Chemin() const { return chemin_; }

private:
    std::filesystem::path chemin_;
    bool garde_ = true;
};

// Rows (ux, uy, 0), (-uy, ux, 0), (0, 0, 1), each row summed in single precision in its order.
struct TRotation {
    float ux, uy;
    [[nodiscard]] std::array<float, 3> Appliquer(float X, float Y, float Z) const {
        const float zero = 0.0f;
        const float un = 1.0f;
        return {ux * X + uy * Y + zero * Z, -uy * X + ux * Y + zero * Z, zero * X + zero * Y + un * Z};
    }
};

// One pass over the companion's N records: f(record) on each, which may rewrite it in place, with the
// progress text every N div 20 records; each block is then written to `sortie` when there is one.
template <typename F>
void Parcourir(const std::filesystem::path& compagnon, std::int64_t N, const char* titre,
               IProgression& progression, TFichier* sortie, F&& f) {
    TFichier source(compagnon, O_RDONLY);
    const std::int64_t pas = N / 20;
    std::vector<std::uint8_t> bloc(EnregistrementsParBloc * TailleEnregistrementCompagnon);
    std::int64_t j = 0;
    while (j < N) {
        const auto n = static_cast<std::size_t>(std::min<std::int64_t>(N - j, EnregistrementsParBloc));
        source.Lire(bloc.data(), n * TailleEnregistrementCompagnon);
        for (std::size_t k = 0; k < n; ++k) {
            ++j;
            // Fewer than 20 records: no progress step.
            if (pas > 0 && j % pas == 0)
                progression.AffiInfo(1, std::string(titre) + " " + std::to_string(j / pas * 5) + "%");
            f(bloc.data() + k * TailleEnregistrementCompagnon);
        }
        if (sortie != nullptr) sortie->Ecrire(bloc.data(), n * TailleEnregistrementCompagnon);
    }
}

} // namespace

TResultatAxeX AppliquerAxeX(const TV3S& O, const TV3S& A, const std::filesystem::path& compagnon,
                            IProgression& progression) {
    TResultatAxeX res;
    const float dx = A[1] - O[1];
    const float dy = A[2] - O[2];
    const float L = std::sqrt(dx * dx + dy * dy);
    if (L == 0.0f) {
        res.Message =
            "axe X non défini : les deux points choisis ont les mêmes X et Y ; aucun point n'a été modifié";
        return res;
    }
    if (!std::isfinite(L)) {
        res.Message =
            "axe X non défini : coordonnées des points choisis hors limites ; aucun point n'a été modifié";
        return res;
    }
    const TRotation rot{dx / L, dy / L};

    std::error_code ec;
    if (!std::filesystem::is_regular_file(compagnon, ec)) {
        res.Message =
            "fichier de points introuvable : " + compagnon.string() + " ; aucun point n'a été modifié";
        return res;
    }

    std::filesystem::path cheminTmp = compagnon;
    cheminTmp.replace_extension(".TMP");
    if (cheminTmp == compagnon) cheminTmp += ".TMP";
    TTemporaire tmp(cheminTmp);

    try {
        const std::uintmax_t taille = std::filesystem::file_size(compagnon, ec);
        if (ec) throw ErreurSysteme("lecture impossible de", compagnon, ec.value());
        res.N = static_cast<std::int64_t>(taille / TailleEnregistrementCompagnon);

        // Rotation pass: the extent of the turned points.
        std::array<float, 3> mini;
        std::array<float, 3> maxi;
        mini.fill(3.4028235e38f);
        maxi.fill(-3.4028235e38f);
        Parcourir(compagnon, res.N, "rotation", progression, nullptr, [&](const std::uint8_t* e) {
            const auto p = rot.Appliquer(LireFloat(e), LireFloat(e + 4), LireFloat(e + 8));
            for (std::size_t i = 0; i < 3; ++i) {
                if (p[i] < mini[i]) mini[i] = p[i];
                if (p[i] > maxi[i]) maxi[i] = p[i];
            }
        });

        // Translation pass: the same turned points, shifted, into the new file; attributes untouched.
        {
            TFichier sortie(tmp.Chemin(), O_WRONLY | O_CREAT | O_TRUNC);
            Parcourir(compagnon, res.N, "translation", progression, &sortie, [&](std::uint8_t* e) {
                const auto p = rot.Appliquer(LireFloat(e), LireFloat(e + 4), LireFloat(e + 8));
                for (std::size_t i = 0; i < 3; ++i) EcrireFloat(e + 4 * i, p[i] - mini[i]);
            });
            sortie.Terminer();
        }
        std::filesystem::permissions(tmp.Chemin(), std::filesystem::status(compagnon).permissions(), ec);
        std::filesystem::rename(tmp.Chemin(), compagnon, ec);
        if (ec) throw ErreurSysteme("remplacement impossible de", compagnon, ec.value());
        tmp.Garder();

        res.Applique = true;
        if (res.N > 0)
            for (int i = 1; i <= 3; ++i) {
                const auto k = static_cast<std::size_t>(i - 1);
                res.CooMax[i] = maxi[k] - mini[k];
            }
    } catch (const EStopError& e) {
        res.Abandonne = true;
        res.Message = e.what();
    } catch (const std::bad_alloc&) {
        res.Message = "mémoire insuffisante ; aucun point n'a été modifié";
    } catch (const std::exception& e) {
        res.Message = std::string(e.what()) + " ; aucun point n'a été modifié";
    }
    return res;
}

} // namespace tessarc

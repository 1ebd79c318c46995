// Writes a synthetic scan of a barrel vault as XYZ text "X Y Z R G B": an 8 m x 6 m vault springing at
// 0.8 m with a 3 m radius (crown at 3.8 m), its two side walls, a floor patch and a few hundred stray
// points, with 1 mm noise and stone colours. The same arguments always give the same file.

#include "Balayage.h"
#include "voute_berceau.h"

#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iostream>
#include <string>
#include <vector>

namespace {

constexpr double Pi = 3.14159265358979323846;

// Small deterministic generator (splitmix64), identical on every platform.
class Hasard {
public:
    explicit Hasard(std::uint64_t graine) : etat_(graine) {}
    std::uint64_t Suivant() {
        std::uint64_t z = (etat_ += 0x9E3779B97F4A7C15ULL);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
        return z ^ (z >> 31);
    }
    double Uniforme() { return static_cast<double>(Suivant() >> 11) * (1.0 / 9007199254740992.0); }
    double Normale() {
        const double u = 1.0 - Uniforme();
        const double v = Uniforme();
        return std::sqrt(-2.0 * std::log(u)) * std::cos(2.0 * Pi * v);
    }

private:
    std::uint64_t etat_;
};

class Sortie {
public:
    explicit Sortie(const std::string& chemin) : f_(chemin, std::ios::binary) { tampon_.reserve(1 << 22); }
    bool Ouverte() const { return static_cast<bool>(f_); }
    void Point(double x, double y, double z, int r, int g, int b) {
        char ligne[96];
        char* p = ligne;
        for (double v : {x, y, z}) {
            p = std::to_chars(p, ligne + sizeof ligne, v, std::chars_format::fixed, 4).ptr;
            *p++ = ' ';
        }
        for (int c : {r, g, b}) {
            p = std::to_chars(p, ligne + sizeof ligne, c).ptr;
            *p++ = ' ';
        }
        p[-1] = '\n';
        tampon_.append(ligne, p);
        if (tampon_.size() > (1 << 22) - 128) Vider();
    }
    void Vider() {
        f_.write(tampon_.data(), static_cast<std::streamsize>(tampon_.size()));
        tampon_.clear();
    }
    bool Bon() const { return static_cast<bool>(f_); }

private:
    std::ofstream f_;
    std::string tampon_;
};

int Borne(double v) {
    return v < 0 ? 0 : (v > 255 ? 255 : static_cast<int>(v));
}

// Stone colour: ashlar courses of about 30 cm with joints, each block its own shade.
void Couleur(double u, double v, Hasard& h, int& r, int& g, int& b) {
    const double assise = std::floor(v / 0.3);
    const double decalage = std::fmod(assise, 2.0) * 0.25;
    const double bloc = std::floor((u + decalage) / 0.5);
    const bool joint = std::fmod(v, 0.3) < 0.012 || std::fmod(u + decalage, 0.5) < 0.012;
    const auto teinte =
        static_cast<double>((static_cast<std::uint64_t>(assise * 131 + bloc * 71) * 2654435761ULL) % 41) -
        20.0;
    const double bruit = h.Normale() * 6.0;
    const double base = joint ? 120.0 : 185.0 + teinte;
    r = Borne(base + bruit);
    g = Borne(base * 0.88 + bruit);
    b = Borne(base * 0.72 + bruit);
}

void Usage() {
    std::cerr << "usage : tessarc-genvoute --points N --sortie FICHIER.xyz [--graine G] [--berceau]\n";
}

} // namespace

int main(int argc, char** argv) {
    long long total = 0;
    std::uint64_t graine = 20241208;
    std::string sortie;
    bool berceau = false; // the sample of ./run.sh, axis along Y
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if (a == "--points" && i + 1 < argc)
            total = std::atoll(argv[++i]);
        else if (a == "--sortie" && i + 1 < argc)
            sortie = argv[++i];
        else if (a == "--graine" && i + 1 < argc)
            graine = std::strtoull(argv[++i], nullptr, 10);
        else if (a == "--berceau")
            berceau = true;
        else {
            Usage();
            return 2;
        }
    }
    if (total <= 0 || sortie.empty()) {
        Usage();
        return 2;
    }
    if (berceau) return EcrireVouteBerceau(total, sortie, graine);
    Sortie out(sortie);
    if (!out.Ouverte()) {
        std::cerr << "impossible de créer " << sortie << '\n';
        return 1;
    }
    Hasard h(graine);
    const double L = 8.0, largeur = 6.0, rayon = 3.0, naissance = 0.8, bruit = 0.001;
    const long long parasites = std::min<long long>(300, total / 100);
    const long long utiles = total - parasites;
    const double aireVoute = L * Pi * rayon, aireMurs = 2 * L * naissance, aireSol = 4.0;
    const double aire = aireVoute + aireMurs + aireSol;
    const double pas = std::sqrt(aire / static_cast<double>(utiles));
    long long ecrits = 0;
    int r, g, b;

    // Sweeps a surface (u across, v along) in scan order, one jittered sample per lattice cell.
    auto balayer = [&](double longueurU, double longueurV, long long quota, auto&& position) {
        Balayer(std::llround(longueurU / pas), longueurU, longueurV, quota, h, [&](double u, double v) {
            double x, y, z;
            position(u, v, x, y, z);
            Couleur(u, v, h, r, g, b);
            out.Point(x + h.Normale() * bruit, y + h.Normale() * bruit, z + h.Normale() * bruit, r, g, b);
            ++ecrits;
        });
    };

    const auto quota = [&](double a) {
        return static_cast<long long>(static_cast<double>(utiles) * a / aire);
    };
    const long long qMur = quota(aireMurs / 2), qSol = quota(aireSol);
    const long long qVoute = utiles - 2 * qMur - qSol;
    balayer(L, Pi * rayon, qVoute, [&](double u, double v, double& x, double& y, double& z) {
        const double a = v / rayon; // 0 at one springing, pi at the other
        x = u;
        y = largeur / 2 - rayon * std::cos(a);
        z = naissance + rayon * std::sin(a);
    });
    for (double yMur : {0.0, largeur})
        balayer(L, naissance, qMur, [&](double u, double v, double& x, double& y, double& z) {
            x = u;
            y = yMur;
            z = v;
        });
    balayer(2.0, 2.0, qSol, [&](double u, double v, double& x, double& y, double& z) {
        x = 1.0 + u;
        y = 2.0 + v;
        z = 0.0;
    });
    for (long long k = 0; k < parasites; ++k, ++ecrits)
        out.Point(-0.5 + 9.0 * h.Uniforme(), -0.5 + 7.0 * h.Uniforme(), 4.5 * h.Uniforme(), 40, 40, 40);
    out.Vider();
    if (!out.Bon()) {
        std::cerr << "erreur d'écriture dans " << sortie << '\n';
        return 1;
    }
    std::cerr << ecrits << " points écrits dans " << sortie << '\n';
    return 0;
}

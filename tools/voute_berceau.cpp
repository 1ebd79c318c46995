#include "voute_berceau.h"

#include "Balayage.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <iostream>
#include <memory>
#include <random>

namespace {

constexpr double Pi = 3.14159265358979323846;

// Metres. The walls' inner faces are X = 0 and X = Portee, the front face is Y = 0.
constexpr double Portee = 6.0;
constexpr double Rayon = Portee / 2.0; // a semicircular arch, crown at Naissance + Rayon
constexpr double Naissance = 0.8;      // springing height
constexpr double Longueur = 10.0;      // along the axis Y: the opening view frames the whole height
constexpr double Epaisseur = 0.35;     // of the arch ring and of the piers
constexpr int NbVoussoirs = 23;        // courses of the intrados, voussoirs of the ring
constexpr double HauteurAssise = 0.27; // courses of the walls and piers
constexpr double LongueurBloc = 0.6;
constexpr double Joint = 0.035;     // width of a mortar joint
constexpr double Dalle = 0.5;       // floor slabs
constexpr double DensiteFace = 3.0; // the front face is scanned closer than the rest
constexpr double Bruit = 0.0015;

struct TCouleur {
    double r, v, b;
};

// The standard's Mersenne twister gives the same sequence on every platform; the conversions are ours
// for the same reason.
class THasard {
public:
    explicit THasard(std::uint64_t graine) : moteur_(graine) {}
    double Uniforme() { return static_cast<double>(moteur_() >> 11) * 0x1.0p-53; }
    double Normale() {
        const double u = 1.0 - Uniforme();
        return std::sqrt(-2.0 * std::log(u)) * std::cos(2.0 * Pi * Uniforme());
    }

private:
    std::mt19937_64 moteur_;
};

// A fixed number in -amplitude .. amplitude for one block of one surface, whatever the sampling.
double Teinte(int surface, long long assise, long long bloc, int amplitude) {
    auto h = static_cast<std::uint64_t>(surface) * 0x100000001B3ULL ^
             static_cast<std::uint64_t>(assise) * 31ULL ^ static_cast<std::uint64_t>(bloc) * 0x9E3779B1ULL;
    h ^= h >> 29;
    h *= 0xD6E8FEB86659FD93ULL;
    h ^= h >> 32;
    return static_cast<double>(h % static_cast<std::uint64_t>(2 * amplitude + 1)) - amplitude;
}

// Limestone blocks, each of its own shade and warmth, set in a light lime mortar.
TCouleur Pierre(int surface, long long assise, long long bloc, bool joint, THasard& h) {
    const double n = h.Normale() * 4.0;
    if (joint) return {236 + n, 234 + n, 226 + n};
    const double clair = Teinte(surface, assise, bloc, 34);
    const double chaud = Teinte(surface + 7, assise, bloc, 12);
    return {184 + clair + chaud + n, 146 + clair + n, 100 + clair - chaud + n};
}

// Courses of height hauteur across v, blocks of length bloc across u, every other course shifted by half
// a block.
TCouleur Appareil(int surface, double u, double v, double hauteur, double bloc, THasard& h) {
    const double assise = std::floor(v / hauteur);
    const double u2 = u + std::fmod(assise, 2.0) * bloc / 2.0;
    const bool joint = std::fmod(v, hauteur) < Joint || std::fmod(u2, bloc) < Joint;
    return Pierre(surface, static_cast<long long>(assise), static_cast<long long>(std::floor(u2 / bloc)),
                  joint, h);
}

int Octet(double c) {
    return static_cast<int>(std::clamp(std::lround(c), 0L, 255L));
}

class TSortie {
public:
    explicit TSortie(const std::string& chemin) : f_(std::fopen(chemin.c_str(), "wb")) {
        if (f_) std::setvbuf(f_.get(), nullptr, _IOFBF, 1 << 20);
    }
    [[nodiscard]] bool Ouverte() const { return f_ != nullptr; }
    void Point(double x, double y, double z, const TCouleur& c) {
        std::fprintf(f_.get(), "%.4f %.4f %.4f %d %d %d\n", x, y, z, Octet(c.r), Octet(c.v), Octet(c.b));
        ++ecrits_;
    }
    [[nodiscard]] long long Ecrits() const { return ecrits_; }
    [[nodiscard]] bool Fermer() {
        const bool bon = std::ferror(f_.get()) == 0;
        return std::fclose(f_.release()) == 0 && bon;
    }

private:
    struct TFermeture {
        void operator()(std::FILE* f) const { std::fclose(f); }
    };
    std::unique_ptr<std::FILE, TFermeture> f_;
    long long ecrits_ = 0;
};

struct TPointScan {
    double x, y, z;
    TCouleur c;
};

class TVoute {
public:
    TVoute(TSortie& sortie, std::uint64_t graine, double pas) : sortie_(sortie), h_(graine), pas_(pas) {}

    // quota points over a surface of longueurU x longueurV, one jittered sample per lattice cell, in scan
    // order, densite times as dense as the rest; surface(u, v) places and colours the sample.
    template <typename F>
    void Balayer(double longueurU, double longueurV, long long quota, double densite, F&& surface) {
        ::Balayer(std::llround(longueurU * std::sqrt(densite) / pas_), longueurU, longueurV, quota, h_,
                [&](double u, double v) { Ecrire(surface(u, v)); });
    }
    void Ecrire(const TPointScan& p) {
        sortie_.Point(p.x + h_.Normale() * Bruit, p.y + h_.Normale() * Bruit, p.z + h_.Normale() * Bruit,
                      p.c);
    }
    THasard& Hasard() { return h_; }

private:
    TSortie& sortie_;
    THasard h_;
    double pas_;
};

// Height of the intrados above x, inside the span.
double Intrados(double x) {
    const double d = x - Rayon;
    return Naissance + std::sqrt(std::max(0.0, Rayon * Rayon - d * d));
}

// Someone who walked through the scan: a standing figure in dark trousers and a red jacket.
void Passant(TVoute& voute, long long n) {
    THasard& h = voute.Hasard();
    for (long long k = 0; k < n; ++k) {
        const double z = 1.75 * h.Uniforme();
        const double a = 2.0 * Pi * h.Uniforme();
        const double r = z > 1.5 ? 0.1 : 0.18;
        const TCouleur c = z < 0.85  ? TCouleur{38, 46, 88}
                           : z < 1.5 ? TCouleur{168, 44, 36}
                                     : TCouleur{212, 168, 138};
        voute.Ecrire({4.1 + r * std::cos(a), 2.6 + r * std::sin(a), z, c});
    }
}

// Dust and reflections floating under the vault.
void Poussieres(TVoute& voute, long long n) {
    THasard& h = voute.Hasard();
    for (long long k = 0; k < n;) {
        const double x = 0.3 + (Portee - 0.6) * h.Uniforme();
        const double y = 0.3 + (Longueur - 0.6) * h.Uniforme();
        const double z = 0.2 + 3.8 * h.Uniforme();
        if (z > Intrados(x) - 0.2) continue;
        const double gris = 60 + 140 * h.Uniforme();
        voute.Ecrire({x, y, z, {gris, gris, gris}});
        ++k;
    }
}

} // namespace

int EcrireVouteBerceau(long long total, const std::string& sortie, std::uint64_t graine) {
    TSortie out(sortie);
    if (!out.Ouverte()) {
        std::cerr << "impossible de créer " << sortie << '\n';
        return 1;
    }
    const long long passant = total / 200, poussieres = total / 1000;
    const long long utiles = total - passant - poussieres;
    const double arc = Pi * Rayon;
    const double aireVoute = arc * Longueur, aireMurs = 2.0 * Naissance * Longueur;
    const double aireAnneau = Pi / 2.0 * ((Rayon + Epaisseur) * (Rayon + Epaisseur) - Rayon * Rayon);
    const double airePiles = 2.0 * Epaisseur * Naissance, aireSol = 4.0 * 6.0;
    const double aire = aireVoute + aireMurs + DensiteFace * (aireAnneau + airePiles) + aireSol;
    const auto quota = [&](double a) {
        return static_cast<long long>(static_cast<double>(utiles) * a / aire);
    };
    const long long qMur = quota(aireMurs / 2.0), qAnneau = quota(DensiteFace * aireAnneau);
    const long long qPile = quota(DensiteFace * airePiles / 2.0);
    const long long qSol = quota(aireSol);
    const long long qVoute = utiles - 2 * qMur - qAnneau - 2 * qPile - qSol;

    TVoute voute(out, graine, std::sqrt(aire / static_cast<double>(std::max(1LL, utiles))));
    THasard& h = voute.Hasard();
    // The courses of the intrados run along the axis; v is the arc length from the springing at X = 0.
    voute.Balayer(Longueur, arc, qVoute, 1.0, [&](double u, double v) {
        const double a = v / Rayon;
        return TPointScan{Rayon - Rayon * std::cos(a), u, Naissance + Rayon * std::sin(a),
                          Appareil(1, u, v, arc / NbVoussoirs, LongueurBloc, h)};
    });
    for (const double x : {0.0, Portee})
        voute.Balayer(Longueur, Naissance, qMur, 1.0, [&, x](double u, double v) {
            return TPointScan{x, u, v, Appareil(x == 0.0 ? 2 : 3, u, v, HauteurAssise, LongueurBloc, h)};
        });
    // The arch ring on the front face: radial joints, those of the intrados' courses.
    voute.Balayer(Epaisseur, Pi * Rayon, qAnneau, DensiteFace, [&](double u, double v) {
        const double r = Rayon + u, a = v / Rayon, pasVoussoir = Pi / NbVoussoirs;
        const bool joint = std::fmod(a, pasVoussoir) * r < Joint;
        return TPointScan{Rayon - r * std::cos(a), 0.0, Naissance + r * std::sin(a),
                          Pierre(4, 0, static_cast<long long>(a / pasVoussoir), joint, h)};
    });
    for (const double x : {-Epaisseur, Portee})
        voute.Balayer(Epaisseur, Naissance, qPile, DensiteFace, [&, x](double u, double v) {
            return TPointScan{x + u, 0.0, v, Appareil(x < 0.0 ? 5 : 6, u, v, HauteurAssise, Epaisseur, h)};
        });
    voute.Balayer(4.0, 6.0, qSol, 1.0, [&](double u, double v) {
        const bool joint = std::fmod(u, Dalle) < Joint || std::fmod(v, Dalle) < Joint;
        const double n = h.Normale() * 4.0;
        const double t =
            joint ? -52 : Teinte(8, static_cast<long long>(u / Dalle), static_cast<long long>(v / Dalle), 14);
        return TPointScan{1.0 + u, 2.0 + v, 0.0, {124 + t + n, 120 + t + n, 112 + t + n}};
    });
    Passant(voute, passant);
    Poussieres(voute, poussieres);

    const long long ecrits = out.Ecrits();
    if (!out.Fermer()) {
        std::cerr << "erreur d'écriture dans " << sortie << '\n';
        return 1;
    }
    std::cerr << ecrits << " points écrits dans " << sortie << '\n';
    return 0;
}

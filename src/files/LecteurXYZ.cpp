#include "LecteurXYZ.h"

#include "Nombres.h"
#include "PointFichier.h"

#include <cmath>
#include <cstring>
#include <memory>
#include <string>

namespace tessarc {

TLigneXYZ LireLigneXYZSimple(std::string_view ligne) {
    TLigneXYZ r;
    r.X = ExtraireReelVue(ligne);
    r.Y = ExtraireReelVue(ligne);
    r.Z = ExtraireReelVue(ligne);
    for (int k = 1; k <= 3; ++k) r.Couleur[k] = static_cast<std::uint8_t>(ExtraireEntierVue(ligne));
    return r;
}

namespace {

constexpr double Puissances10[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,  1e8,  1e9,  1e10, 1e11,
                                   1e12, 1e13, 1e14, 1e15, 1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};

inline bool Chiffre(char c) {
    return static_cast<unsigned char>(c - '0') < 10;
}

// After a field that ended at a space: the space and the blanks and control characters after it.
inline void Sauter(const char*& p, const char* fin) {
    if (p == fin) return;
    ++p;
    while (p < fin && static_cast<unsigned char>(*p) <= 32) ++p;
}

// A real in its plain form starting right at p and ending right before a space or the end of the line,
// with at most 19 digits and a value that one correctly rounded operation gives exactly (the mantissa
// within 2^53, the power of ten within 10^22), so the result is the one from_chars would give. Anything
// else returns false and the line is read field by field.
inline bool ReelRapide(const char*& p, const char* fin, double& v) {
    if (p == fin) {
        v = 0.0;
        return true;
    }
    const char* q = p;
    bool negatif = false;
    if (*q == '-' || *q == '+') {
        negatif = *q == '-';
        ++q;
    }
    std::uint64_t w = 0;
    int chiffres = 0;
    int exposant = 0;
    while (q < fin && Chiffre(*q)) {
        w = w * 10 + static_cast<unsigned>(*q - '0');
        ++q;
        ++chiffres;
    }
    if (q < fin && *q == '.') {
        ++q;
        while (q < fin && Chiffre(*q)) {
            w = w * 10 + static_cast<unsigned>(*q - '0');
            ++q;
            ++chiffres;
            --exposant;
        }
    }
    if (chiffres == 0 || chiffres > 19) return false;
    if (q < fin && (*q == 'e' || *q == 'E')) {
        ++q;
        bool exposantNegatif = false;
        if (q < fin && (*q == '-' || *q == '+')) {
            exposantNegatif = *q == '-';
            ++q;
        }
        int e = 0;
        int n = 0;
        while (q < fin && Chiffre(*q) && n < 4) {
            e = e * 10 + (*q - '0');
            ++q;
            ++n;
        }
        if (n == 0 || (q < fin && Chiffre(*q))) return false;
        exposant += exposantNegatif ? -e : e;
    }
    if (q < fin && *q != ' ') return false;
    if (w > (std::uint64_t{1} << 53) || exposant < -22 || exposant > 22) return false;
    const double r = exposant < 0 ? static_cast<double>(w) / Puissances10[-exposant]
                                  : static_cast<double>(w) * Puissances10[exposant];
    v = negatif ? -r : r;
    p = q;
    return true;
}

// An integer of at most 10 digits within the 32-bit range, ending right before a space or the end.
inline bool EntierRapide(const char*& p, const char* fin, std::int32_t& v) {
    if (p == fin) {
        v = 0;
        return true;
    }
    const char* q = p;
    bool negatif = false;
    if (*q == '-' || *q == '+') {
        negatif = *q == '-';
        ++q;
    }
    std::int64_t w = 0;
    int chiffres = 0;
    while (q < fin && Chiffre(*q) && chiffres <= 10) {
        w = w * 10 + (*q - '0');
        ++q;
        ++chiffres;
    }
    if (chiffres == 0 || chiffres > 10 || (q < fin && *q != ' ')) return false;
    if (negatif) w = -w;
    if (w > 2147483647LL || w < -2147483648LL) return false;
    v = static_cast<std::int32_t>(w);
    p = q;
    return true;
}

} // namespace

TLigneXYZ LireLigneXYZ(std::string_view ligne) {
    const char* p = ligne.data();
    const char* const fin = p + ligne.size();
    TLigneXYZ r;
    double* const coo[3] = {&r.X, &r.Y, &r.Z};
    for (double* c : coo) {
        if (!ReelRapide(p, fin, *c)) return LireLigneXYZSimple(ligne);
        Sauter(p, fin);
    }
    for (int k = 1; k <= 3; ++k) {
        std::int32_t v = 0;
        if (!EntierRapide(p, fin, v)) return LireLigneXYZSimple(ligne);
        r.Couleur[k] = static_cast<std::uint8_t>(v);
        Sauter(p, fin);
    }
    return r;
}

namespace {

class TConvertisseur {
public:
    TConvertisseur(TFichier& texte, TTamponEcriture& sortie, TV3S& CooMin, TV3S& CooMax, std::int64_t& NbPts,
                   IProgression& progression)
        : texte_(texte), sortie_(sortie), min_(CooMin), max_(CooMax), NbPts_(NbPts),
          progression_(progression), pas_(PasLecture(texte.Taille())), compte_(pas_) {}

    void Ligne(std::string_view ligne) {
        ++NbPts_;
        if (--compte_ == 0) {
            compte_ = pas_;
            progression_.AffiInfo(1, "lecture : " + std::to_string(NbPts_ / pas_) + "%");
        }
        const TLigneXYZ l = LireLigneXYZ(ligne);
        TPointFichier p;
        p.X = Coordonnee(l.X, 1);
        p.Y = Coordonnee(l.Y, 2);
        p.Z = Coordonnee(l.Z, 3);
        p.Couleur = l.Couleur;
        EncoderPoint(sortie_.Reserver(TaillePointFichier), p);
        sortie_.Avancer(TaillePointFichier);
    }

private:
    // About the number of lines in 1 % of a file of 39-byte lines.
    static std::int64_t PasLecture(std::int64_t taille) {
        const std::int64_t pas = taille / 3900;
        return pas < 1 ? 1 : pas;
    }

    float Coordonnee(double v, int axe) {
        const auto s = static_cast<float>(v);
        if (std::isinf(s))
            ErreurFichier(texte_.Nom(), "ligne " + std::to_string(NbPts_) + ", la coordonnée " +
                                            FormatC("%g", v) +
                                            " dépasse la simple précision (3.4e38 au plus) : fichier refusé");
        if (s < min_[axe]) min_[axe] = s;
        if (s > max_[axe]) max_[axe] = s;
        return s;
    }

    TFichier& texte_;
    TTamponEcriture& sortie_;
    TV3S& min_;
    TV3S& max_;
    std::int64_t& NbPts_;
    IProgression& progression_;
    const std::int64_t pas_;
    std::int64_t compte_;
};

} // namespace

void ConvertirTexteEnPoints(TFichier& texte, TTamponEcriture& sortie, TV3S& CooMin, TV3S& CooMax,
                            std::int64_t& NbPts, IProgression& progression, std::size_t tailleTampon) {
    TConvertisseur conv(texte, sortie, CooMin, CooMax, NbPts, progression);
    std::size_t taille = tailleTampon < 2 ? 2 : tailleTampon;
    auto tampon = std::make_unique_for_overwrite<char[]>(taille);
    std::size_t debut = 0; // first byte of the current line
    std::size_t rempli = 0;
    bool finFichier = false;
    for (;;) {
        const char* p = tampon.get() + debut;
        const char* const fin = tampon.get() + rempli;
        while (p < fin) {
            const auto* lf =
                static_cast<const char*>(std::memchr(p, '\n', static_cast<std::size_t>(fin - p)));
            if (lf == nullptr) break;
            const char* f = (lf > p && lf[-1] == '\r') ? lf - 1 : lf;
            conv.Ligne(std::string_view(p, static_cast<std::size_t>(f - p)));
            p = lf + 1;
        }
        debut = static_cast<std::size_t>(p - tampon.get());
        if (finFichier) {
            // The last line has no line end.
            if (debut < rempli) {
                const char* f = (fin[-1] == '\r') ? fin - 1 : fin;
                conv.Ligne(std::string_view(p, static_cast<std::size_t>(f - p)));
            }
            break;
        }
        // Keep the unfinished line at the front; a line longer than the buffer doubles it.
        const std::size_t reste = rempli - debut;
        if (debut == 0 && reste == taille) {
            auto plus = std::make_unique_for_overwrite<char[]>(taille * 2);
            std::memcpy(plus.get(), tampon.get(), reste);
            tampon = std::move(plus);
            taille *= 2;
        } else if (reste > 0 && debut > 0) {
            std::memmove(tampon.get(), tampon.get() + debut, reste);
        }
        debut = 0;
        rempli = reste;
        const std::size_t lu = texte.Lire(tampon.get() + rempli, taille - rempli);
        if (lu == 0) finFichier = true;
        rempli += lu;
    }
}

} // namespace tessarc

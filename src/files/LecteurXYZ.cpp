#include "LecteurXYZ.h"

#include "Chargement.h"
#include "Equipe.h"
#include "Nombres.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace tessarc {

TLigneXYZ LireLigneXYZSimple(std::string_view ligne) {
    TLigneXYZ r;
    int lues = 0;
    for (double* c : {&r.X, &r.Y, &r.Z}) {
        const auto v = LireReel(Rogner(ExtraireMotVue(ligne)));
        *c = v.value_or(0.0);
        lues += v.has_value() ? 1 : 0;
    }
    r.SansCoordonnees = lues == 0;
    for (int k = 1; k <= 3; ++k) r.Couleur[k] = static_cast<std::uint8_t>(ExtraireEntierVue(ligne));
    return r;
}

namespace {

using detail::Chiffre;

// After a field that ended at a space: the space and the blanks and control characters after it.
inline void Sauter(const char*& p, const char* fin) {
    if (p == fin) return;
    ++p;
    while (p < fin && static_cast<unsigned char>(*p) <= 32) ++p;
}

// A field ends at a space only: a tab stays inside the field, as the reading field by field has it. An
// empty field reads 0.
inline bool ReelRapide(const char*& p, const char* fin, double& v) {
    if (p == fin) {
        v = 0.0;
        return true;
    }
    return LireReelRapide<true>(p, fin, v);
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
    bool vides = true;
    for (double* c : coo) {
        vides = vides && p == fin;
        if (!ReelRapide(p, fin, *c)) return LireLigneXYZSimple(ligne);
        Sauter(p, fin);
    }
    r.SansCoordonnees = vides;
    for (int k = 1; k <= 3; ++k) {
        std::int32_t v = 0;
        if (!EntierRapide(p, fin, v)) return LireLigneXYZSimple(ligne);
        r.Couleur[k] = static_cast<std::uint8_t>(v);
        Sauter(p, fin);
    }
    return r;
}

namespace {

// About the number of lines in 1 % of a file of 39-byte lines.
constexpr std::int64_t OctetsParLigne = 39;

void VerifierSimple(const std::filesystem::path& nom, std::int64_t ligne, double v) {
    if (std::isinf(static_cast<float>(v)))
        ErreurFichier(nom, "ligne " + std::to_string(ligne) + ", la coordonnée " + FormatC("%g", v) +
                               " dépasse la simple précision (3.4e38 au plus) : fichier refusé");
}

} // namespace

namespace {

// The text is read in blocks of whole lines, by the helper thread; each block is cut in pieces that both
// threads parse, and the calling thread files the lines of the block before in order: progress, checks
// and the records stay those of a reading line by line.
constexpr std::size_t OctetsParMorceau = 64 * 1024;

struct TBlocTexte {
    std::string Texte;
    std::vector<std::string_view> Morceaux;
    std::vector<std::vector<TLigneXYZ>> Lignes; // per piece
};

void Decouper(TBlocTexte& b) {
    b.Morceaux.clear();
    std::string_view reste = b.Texte;
    while (!reste.empty()) {
        std::size_t fin = std::min(reste.size(), OctetsParMorceau);
        if (fin < reste.size()) {
            const std::size_t lf = reste.find('\n', fin - 1);
            fin = lf == std::string_view::npos ? reste.size() : lf + 1;
        }
        b.Morceaux.push_back(reste.substr(0, fin));
        reste.remove_prefix(fin);
    }
    b.Lignes.resize(b.Morceaux.size());
}

void Analyser(TBlocTexte& b, std::size_t morceau) {
    std::vector<TLigneXYZ>& lignes = b.Lignes[morceau];
    lignes.clear();
    CouperLignes(b.Morceaux[morceau], [&](std::string_view ligne) { lignes.push_back(LireLigneXYZ(ligne)); });
}

} // namespace

void ConvertirTexteEnPoints(TFichier& texte, TSortiePoints& sortie, IProgression& progression,
                            std::size_t tailleTampon) {
    // A line of points is a few dozen bytes: a file without line ends is refused, not held in memory.
    TLignesTexte lignes(texte, tailleTampon, TLignesTexte::TailleTamponDefaut);
    TAvancement avancement(progression, "lecture", texte.Taille() / OctetsParLigne);
    std::int64_t n = 0;
    std::int64_t sansCoordonnees = 0;
    const auto classer = [&](const TBlocTexte& b) {
        for (const auto& morceau : b.Lignes)
            for (const TLigneXYZ& l : morceau) {
                avancement.Avancer(++n);
                sansCoordonnees += l.SansCoordonnees ? 1 : 0;
                for (const double v : {l.X, l.Y, l.Z}) VerifierSimple(texte.Nom(), n, v);
                sortie.Ajouter(l.X, l.Y, l.Z, l.Couleur);
            }
    };
    const auto lire = [&](TBlocTexte& b) {
        if (!lignes.Bloc(b.Texte, tailleTampon)) b.Texte.clear();
        Decouper(b);
    };
    TEquipe equipe;
    std::array<TBlocTexte, 3> blocs;
    lire(blocs[0]);
    for (std::size_t t = 0;; ++t) {
        TBlocTexte& aAnalyser = blocs[t % 3];
        TBlocTexte* aClasser = t > 0 ? &blocs[(t - 1) % 3] : nullptr;
        if (aAnalyser.Morceaux.empty() && (aClasser == nullptr || aClasser->Morceaux.empty())) break;
        TDistributeur morceaux(aAnalyser.Morceaux.size());
        equipe.Executer([&](int part) {
            if (part == 0 && aClasser != nullptr) classer(*aClasser);
            if (part == 1) lire(blocs[(t + 1) % 3]);
            for (std::size_t m; !equipe.Arret() && morceaux.Prendre(m);) Analyser(aAnalyser, m);
        });
    }
    if (sansCoordonnees > 0)
        sortie.Remarquer(std::to_string(sansCoordonnees) +
                         (sansCoordonnees > 1 ? " lignes sans coordonnées lues comme 0 0 0"
                                              : " ligne sans coordonnées lue comme 0 0 0"));
}

void LireXYZ(TFichier& texte, TSortiePoints& sortie, IProgression& progression) {
    ConvertirTexteEnPoints(texte, sortie, progression);
}

} // namespace tessarc

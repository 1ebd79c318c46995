#include "Projet.h"

#include "Chargement.h"
#include "Fichier.h"
#include "PointFichier.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cmath>
#include <cstring>
#include <stdexcept>
#include <string>
#include <type_traits>
#include <vector>

namespace tessarc {

namespace {

bool Fini(const TV3S& v) {
    return std::isfinite(v[1]) && std::isfinite(v[2]) && std::isfinite(v[3]);
}

std::string Octets(std::int64_t n) {
    return std::to_string(n) + (n > 1 ? " octets" : " octet");
}

// A header field the program writes in 32 bits at most: wider values are forged, never cut.
std::int64_t Petit(const std::filesystem::path& nom, const unsigned char* s, const char* champ) {
    const std::int64_t v = LireLE64(s);
    if (v != static_cast<std::int32_t>(v))
        ErreurFichier(nom, std::string(champ) + " " + std::to_string(v) + " impossible, fichier altéré");
    return v;
}

bool Decale(const TV3R& d) {
    return d[1] != 0.0 || d[2] != 0.0 || d[3] != 0.0;
}

static_assert(sizeof(TPointFichier) == TaillePointFichier && std::is_trivially_copyable_v<TPointFichier>);

// The records of the body, refused when not finite or outside the extent of the header's box.
class TSourceProjet final : public ISourcePoints {
public:
    TSourceProjet(TFichier& fichier, std::int64_t n, const TNuage& nuage)
        : fichier_(fichier), debut_(fichier.Position()), n_(n) {
        // floor(x) - o lies in [0, d) exactly when x lies in [o, o + d), o and d being whole.
        for (int a = 1; a <= 3; ++a) {
            bas_[a] = nuage.OrigRacines[a];
            haut_[a] = double(nuage.OrigRacines[a]) + double(nuage.DimRacines[a]);
        }
    }
    [[nodiscard]] std::int64_t Nombre() const override { return n_; }
    void Rembobiner() override {
        fichier_.Positionner(debut_);
        lus_ = 0;
    }
    // The records are read straight into dest: on a little-endian machine a record is the point itself.
    [[nodiscard]] std::size_t Lire(std::span<TPointFichier> dest) override {
        const auto n = static_cast<std::size_t>(std::min<std::int64_t>(n_ - lus_, std::int64_t(dest.size())));
        auto* octets = reinterpret_cast<unsigned char*>(dest.data());
        fichier_.LireExact(octets, n * TaillePointFichier);
        if constexpr (std::endian::native != std::endian::little)
            for (std::size_t k = 0; k < n; ++k) {
                std::array<unsigned char, TaillePointFichier> r{};
                std::memcpy(r.data(), octets + k * TaillePointFichier, r.size());
                dest[k] = DecoderPoint(r.data());
            }
        // One test for the block, branch-free; the first point refused is looked for only on a fault.
        // Records read again after a rewind were tested the first time.
        if (lus_ + static_cast<std::int64_t>(n) > testes_) {
            bool tous = true;
            for (std::size_t k = 0; k < n; ++k) tous &= Dedans(dest[k]);
            if (!tous) Refuser(dest.first(n));
            testes_ = lus_ + static_cast<std::int64_t>(n);
        }
        lus_ += static_cast<std::int64_t>(n);
        return n;
    }

private:
    [[nodiscard]] bool Dedans(const TPointFichier& p) const {
        const auto dans = [](float v, double bas, double haut) {
            return static_cast<unsigned>(double(v) >= bas) & static_cast<unsigned>(double(v) < haut);
        };
        return (dans(p.X, bas_[1], haut_[1]) & dans(p.Y, bas_[2], haut_[2]) & dans(p.Z, bas_[3], haut_[3])) != 0;
    }
    [[noreturn]] void Refuser(std::span<const TPointFichier> bloc) const {
        std::size_t k = 0;
        while (Dedans(bloc[k])) ++k;
        const TPointFichier& p = bloc[k];
        const std::string numero = std::to_string(lus_ + static_cast<std::int64_t>(k) + 1);
        if (!(std::isfinite(p.X) && std::isfinite(p.Y) && std::isfinite(p.Z)))
            ErreurFichier(fichier_.Nom(), "le point n° " + numero + " a une coordonnée non finie");
        ErreurFichier(fichier_.Nom(), "le point n° " + numero + " est hors de l'étendue du nuage");
    }

    TFichier& fichier_;
    std::int64_t debut_;
    std::int64_t n_;
    std::int64_t lus_ = 0;
    std::int64_t testes_ = 0;
    TV3R bas_{};
    TV3R haut_{};
};

struct TEntete {
    std::int64_t Version = 0;
    std::int64_t H = 0;
    std::int64_t F = 0;
    std::int64_t N = 0;
    TV3S Origine{};
    float Trame = 0.0f;
    int Niveau = 0;
    int NivAffiche = NivAfficheProjetV0;
    TV3S CooMin{};
    TV3S CooMax{};
    TV3R Decalage{};
};

void VerifierTailles(const std::filesystem::path& nom, const TEntete& t, std::int64_t taille) {
    const std::int64_t reste = taille - t.H;
    if (t.F < 0 || t.F > reste / 12)
        ErreurFichier(nom, "nombre de points de frontière " + std::to_string(t.F) +
                               " impossible, le fichier n'en contient pas autant");
    const std::int64_t corps = reste - 12 * t.F;
    if (t.N < 0 || t.N > corps / static_cast<std::int64_t>(TaillePointFichier))
        ErreurFichier(nom, "nombre de points " + std::to_string(t.N) +
                               " impossible, le fichier n'en contient pas autant");
    const std::int64_t surplus = corps - t.N * static_cast<std::int64_t>(TaillePointFichier);
    if (surplus != 0)
        ErreurFichier(nom, Octets(surplus) + " après le dernier des " + std::to_string(t.N) +
                               " points annoncés : fichier altéré");
}

TEntete LireEntete(TFichier& fichier) {
    const std::filesystem::path& nom = fichier.Nom();
    const std::int64_t taille = fichier.Taille();
    std::array<unsigned char, TailleEnteteV2> e{};
    if (taille < 8) ErreurFichier(nom, "trop court pour un fichier Tessarc (" + Octets(taille) + ")");
    fichier.LireExact(e.data(), 8);
    TEntete t;
    t.Version = LireLE64(e.data());
    if (t.Version < 0 || t.Version > VersionProjetDecale)
        ErreurFichier(nom, "version " + std::to_string(t.Version) +
                               " inconnue, seules les versions 0, 1 et 2 sont lues");
    t.H = t.Version == 0 ? TailleEnteteV0 : t.Version == 1 ? TailleEnteteV1 : TailleEnteteV2;
    if (taille < t.H)
        ErreurFichier(nom, "en-tête incomplet (" + Octets(taille) + " au lieu d'au moins " + Octets(t.H) + ")");
    fichier.LireExact(e.data() + 8, static_cast<std::size_t>(t.H - 8));

    t.F = LireLE64(e.data() + 8);
    t.Origine = LireV3S(e.data() + 16);
    t.Trame = LireReelLE(e.data() + 28);
    const std::int64_t niveau = Petit(nom, e.data() + 32, "niveau enregistré");
    t.N = LireLE64(e.data() + 40);
    t.CooMin = LireV3S(e.data() + 48);
    t.CooMax = LireV3S(e.data() + 60);
    const std::int64_t nivAffiche = t.Version == 0 ? NivAfficheProjetV0 : Petit(nom, e.data() + 72, "niveau affiché");
    if (t.Version == VersionProjetDecale)
        t.Decalage = FaireV3R(LireDoubleLE(e.data() + 80), LireDoubleLE(e.data() + 88), LireDoubleLE(e.data() + 96));

    if (niveau < 0 || niveau >= NbNiveaux)
        ErreurFichier(nom, "niveau enregistré " + std::to_string(niveau) + " hors de 0 à 4");
    if (nivAffiche < 0 || nivAffiche >= NbNiveaux)
        ErreurFichier(nom, "niveau affiché " + std::to_string(nivAffiche) + " hors de 0 à 4");
    t.Niveau = static_cast<int>(niveau);
    t.NivAffiche = static_cast<int>(nivAffiche);
    VerifierTailles(nom, t, taille);
    if (!Fini(t.Origine) || !std::isfinite(t.Trame)) ErreurFichier(nom, "origine ou trame de la grille non finie");
    if (!Fini(t.CooMin) || !Fini(t.CooMax)) ErreurFichier(nom, "étendue du nuage non finie");
    if (t.N > 0)
        for (int a = 1; a <= 3; ++a)
            if (t.CooMax[a] < t.CooMin[a])
                ErreurFichier(nom, "étendue du nuage inversée : le maximum est sous le minimum");
    if (!(std::isfinite(t.Decalage[1]) && std::isfinite(t.Decalage[2]) && std::isfinite(t.Decalage[3])))
        ErreurFichier(nom, "décalage des coordonnées non fini");
    return t;
}

} // namespace

TLectureProjet LireFichierProjet(const std::filesystem::path& nom, TNuage& nuage, TMaillage& maillage,
                                 std::int64_t& NbPts, IProgression& progression) {
    TFichier fichier(nom, TFichier::EMode::Lecture);
    const TEntete t = LireEntete(fichier);
    std::vector<TV3S> frontiere(static_cast<std::size_t>(t.F));
    for (std::int64_t i = 0; i < t.F; ++i) {
        std::array<unsigned char, 12> b{};
        fichier.LireExact(b.data(), b.size());
        frontiere[static_cast<std::size_t>(i)] = LireV3S(b.data());
        if (!Fini(frontiere[static_cast<std::size_t>(i)]))
            ErreurFichier(nom, "le point de frontière n° " + std::to_string(i + 1) +
                                   " a une coordonnée non finie");
    }

    maillage.Frontiere = std::move(frontiere);
    maillage.OrigineGrille = t.Origine;
    maillage.TrameGrille = t.Trame;
    nuage.NivMax = t.Niveau;
    NbPts = t.N;
    nuage.CooMin = t.CooMin;
    nuage.CooMax = t.CooMax;

    TLectureProjet r;
    r.NivAffiche = t.NivAffiche;
    r.Decalage = t.Decalage;
    r.Cadrage = nuage.CalculerEtendue();
    DimensionnerGrille(nuage, t.N, nom);
    TSourceProjet points(fichier, t.N, nuage);
    ConstruireArbre(points, nuage, progression, nom);
    return r;
}

void EcrireFichierProjet(const std::filesystem::path& nom, const TNuage& nuage, const TMaillage& maillage,
                         int niveau, int nivAffiche, const TV3R& decalage, IProgression* progression) {
    if (niveau < 0 || niveau >= NbNiveaux || nivAffiche < 0 || nivAffiche >= NbNiveaux)
        throw std::invalid_argument("niveau hors de 0 à 4");
    const std::int64_t n = nuage.NbCubesNiv[static_cast<std::size_t>(niveau)];
    const auto f = static_cast<std::int64_t>(maillage.Frontiere.size());

    TEcritureAtomique ecriture(nom);
    {
        TTamponEcriture tampon(ecriture.Fichier());
        const bool decale = Decale(decalage);
        const std::int64_t h = decale ? TailleEnteteV2 : TailleEnteteV1;
        unsigned char* e = tampon.Reserver(static_cast<std::size_t>(h));
        EcrireLE64(e, decale ? VersionProjetDecale : VersionProjet);
        EcrireLE64(e + 8, f);
        EcrireV3S(e + 16, maillage.OrigineGrille);
        EcrireReelLE(e + 28, maillage.TrameGrille);
        EcrireLE64(e + 32, niveau);
        EcrireLE64(e + 40, n);
        EcrireV3S(e + 48, nuage.CooMin);
        EcrireV3S(e + 60, nuage.CooMax);
        EcrireLE64(e + 72, nivAffiche);
        if (decale)
            for (int a = 1; a <= 3; ++a) EcrireDoubleLE(e + 80 + 8 * (a - 1), decalage[a]);
        tampon.Avancer(static_cast<std::size_t>(h));
        for (const TV3S& p : maillage.Frontiere) {
            EcrireV3S(tampon.Reserver(12), p);
            tampon.Avancer(12);
        }
        const std::int64_t pas = n / 100 < 1 ? 1 : n / 100;
        std::int64_t i = 0;
        for (const TCube* c = nuage.TeteNiv(niveau); c != nullptr; c = nuage.Suivant(c)) {
            TPointFichier p;
            p.X = c->CooMoyPts[1];
            p.Y = c->CooMoyPts[2];
            p.Z = c->CooMoyPts[3];
            p.Couleur = c->ColCube;
            EncoderPoint(tampon.Reserver(TaillePointFichier), p);
            tampon.Avancer(TaillePointFichier);
            if (++i % pas == 0 && progression != nullptr)
                progression->AffiInfo(1, "enregistrement : " + std::to_string(i / pas) + "%");
        }
        if (i != n) throw std::logic_error("liste de niveau incohérente avec son compte");
        tampon.Vider();
    }
    ecriture.Valider();
}

} // namespace tessarc

#include "Projet.h"

#include "Chargement.h"
#include "Fichier.h"
#include "PointFichier.h"

#include <array>
#include <cmath>
#include <stdexcept>
#include <string>

namespace tessarc {

namespace {

bool Fini(const TV3S& v) {
    return std::isfinite(v[1]) && std::isfinite(v[2]) && std::isfinite(v[3]);
}

std::string Octets(std::int64_t n) {
    return std::to_string(n) + (n > 1 ? " octets" : " octet");
}

} // namespace

TLectureProjet LireFichierProjet(const std::filesystem::path& nom, TNuage& nuage, TMaillage& maillage,
                                 std::int64_t& NbPts, IProgression& progression) {
    TFichier fichier(nom, TFichier::EMode::Lecture);
    const std::int64_t taille = fichier.Taille();
    std::array<unsigned char, TailleEnteteV1> e{};
    if (taille < 8) ErreurFichier(nom, "trop court pour un fichier Tessarc (" + Octets(taille) + ")");
    fichier.LireExact(e.data(), 8);
    const auto version = static_cast<std::int32_t>(LireLE64(e.data()));
    if (version != 0 && version != 1)
        ErreurFichier(nom, "version " + std::to_string(version) +
                               " inconnue, seules les versions 0 et 1 sont lues");
    const std::int64_t h = version == 0 ? TailleEnteteV0 : TailleEnteteV1;
    if (taille < h)
        ErreurFichier(nom, "en-tête incomplet (" + Octets(taille) + " au lieu d'au moins " + Octets(h) + ")");
    fichier.LireExact(e.data() + 8, static_cast<std::size_t>(h - 8));

    const std::int64_t f = LireLE64(e.data() + 8);
    const TV3S origine = LireV3S(e.data() + 16);
    const float trame = LireReelLE(e.data() + 28);
    const auto niveau = static_cast<std::int32_t>(LireLE64(e.data() + 32));
    const std::int64_t n = LireLE64(e.data() + 40);
    const TV3S cooMin = LireV3S(e.data() + 48);
    const TV3S cooMax = LireV3S(e.data() + 60);
    const auto nivAffiche =
        version == 0 ? NivAfficheProjetV0 : static_cast<std::int32_t>(LireLE64(e.data() + 72));

    if (niveau < 0 || niveau >= NbNiveaux)
        ErreurFichier(nom, "niveau enregistré " + std::to_string(niveau) + " hors de 0 à 4");
    if (nivAffiche < 0 || nivAffiche >= NbNiveaux)
        ErreurFichier(nom, "niveau affiché " + std::to_string(nivAffiche) + " hors de 0 à 4");
    const std::int64_t reste = taille - h;
    if (f < 0 || f > reste / 12)
        ErreurFichier(nom, "nombre de points de frontière " + std::to_string(f) +
                               " impossible, le fichier n'en contient pas autant");
    if (n < 0 || n > (reste - 12 * f) / static_cast<std::int64_t>(TaillePointFichier))
        ErreurFichier(nom, "nombre de points " + std::to_string(n) +
                               " impossible, le fichier n'en contient pas autant");
    if (!Fini(origine) || !std::isfinite(trame))
        ErreurFichier(nom, "origine ou trame de la grille non finie");
    if (!Fini(cooMin) || !Fini(cooMax)) ErreurFichier(nom, "étendue du nuage non finie");

    std::vector<TV3S> frontiere(static_cast<std::size_t>(f));
    for (std::int64_t i = 0; i < f; ++i) {
        std::array<unsigned char, 12> b{};
        fichier.LireExact(b.data(), b.size());
        frontiere[static_cast<std::size_t>(i)] = LireV3S(b.data());
        if (!Fini(frontiere[static_cast<std::size_t>(i)]))
            ErreurFichier(nom, "le point de frontière n° " + std::to_string(i + 1) +
                                   " a une coordonnée non finie");
    }

    maillage.Frontiere = std::move(frontiere);
    maillage.OrigineGrille = origine;
    maillage.TrameGrille = trame;
    nuage.NivMax = niveau;
    NbPts = n;
    nuage.CooMin = cooMin;
    nuage.CooMax = cooMax;

    TLectureProjet r;
    r.NivAffiche = nivAffiche;
    r.Cadrage = nuage.CalculerEtendue();
    DimensionnerGrille(nuage, n, nom);
    ConstruireArbre(fichier, n, nuage, progression);
    return r;
}

void EcrireFichierProjet(const std::filesystem::path& nom, const TNuage& nuage, const TMaillage& maillage,
                         int niveau, int nivAffiche, IProgression* progression) {
    if (niveau < 0 || niveau >= NbNiveaux || nivAffiche < 0 || nivAffiche >= NbNiveaux)
        throw std::invalid_argument("niveau hors de 0 à 4");
    const std::int64_t n = nuage.NbCubesNiv[static_cast<std::size_t>(niveau)];
    const auto f = static_cast<std::int64_t>(maillage.Frontiere.size());

    TEcritureAtomique ecriture(nom);
    {
        TTamponEcriture tampon(ecriture.Fichier());
        unsigned char* e = tampon.Reserver(TailleEnteteV1);
        EcrireLE64(e, VersionProjet);
        EcrireLE64(e + 8, f);
        EcrireV3S(e + 16, maillage.OrigineGrille);
        EcrireReelLE(e + 28, maillage.TrameGrille);
        EcrireLE64(e + 32, niveau);
        EcrireLE64(e + 40, n);
        EcrireV3S(e + 48, nuage.CooMin);
        EcrireV3S(e + 60, nuage.CooMax);
        EcrireLE64(e + 72, nivAffiche);
        tampon.Avancer(TailleEnteteV1);
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

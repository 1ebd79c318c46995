#include "LectureEssai.h"

#include "DossierTemporaire.h"

#include <cstring>
#include <stdexcept>

namespace tessarc::essais {

std::vector<TPointLu> LireAvec(TLecteurPoints lecteur, const std::filesystem::path& nom, IProgression* progression) {
    ProgressionMuette muette;
    TFichier source(nom, TFichier::EMode::Lecture);
    TFichier temporaire = TFichier::Temporaire(nom);
    TSortiePoints sortie(nom, temporaire);
    lecteur(source, sortie, progression != nullptr ? *progression : muette);
    sortie.Terminer();
    std::vector<unsigned char> octets(static_cast<std::size_t>(sortie.Nombre()) * TaillePointLu);
    temporaire.Rembobiner();
    temporaire.LireExact(octets.data(), octets.size());
    std::vector<TPointLu> points;
    for (std::size_t i = 0; i < octets.size(); i += TaillePointLu)
        points.push_back(DecoderPointLu(octets.data() + i));
    return points;
}

std::string RefusDe(TLecteurPoints lecteur, const std::filesystem::path& nom) {
    try {
        static_cast<void>(LireAvec(lecteur, nom));
    } catch (const std::runtime_error& e) {
        const std::string debut = "fichier « " + nom.string() + " » : ";
        const std::string texte = e.what();
        return texte.starts_with(debut) ? texte.substr(debut.size()) : texte;
    }
    return "lu";
}

std::vector<TPointLu> LireOctets(TLecteurPoints lecteur, std::string_view octets, std::string_view nom) {
    const TDossierTemporaire dossier;
    return LireAvec(lecteur, dossier.Ecrire(nom, octets));
}

std::string RefusOctets(TLecteurPoints lecteur, std::string_view octets, std::string_view nom) {
    const TDossierTemporaire dossier;
    return RefusDe(lecteur, dossier.Ecrire(nom, octets));
}

TV4By Rvb(int r, int v, int b) {
    return TV4By{{static_cast<std::uint8_t>(r), static_cast<std::uint8_t>(v), static_cast<std::uint8_t>(b), 0}};
}

bool Memes(const TLigneXYZ& a, const TLigneXYZ& b) {
    return std::memcmp(&a.X, &b.X, sizeof(double)) == 0 && std::memcmp(&a.Y, &b.Y, sizeof(double)) == 0 &&
           std::memcmp(&a.Z, &b.Z, sizeof(double)) == 0 && a.Couleur == b.Couleur;
}

} // namespace tessarc::essais

#include "ExportModele.h"

#include "Fichier.h"
#include "FormatsMaillage.h"
#include "ImagePlan.h"
#include "Utils.h"

#include <exception>
#include <stdexcept>
#include <string>

namespace tessarc {

std::optional<EGenreExport> GenreExport(const std::filesystem::path& nom) {
    const std::string e = Majuscules(nom.extension().string());
    if (e == ".MSH") return EGenreExport::Msh;
    if (e == ".VTK") return EGenreExport::Vtk;
    if (e == ".PNG") return EGenreExport::Png;
    return std::nullopt;
}

void ExporterModele(const std::filesystem::path& nom, EGenreExport genre, const TModeleNumerote& modele,
                    bool numeros) {
    if (modele.Elements.empty()) ErreurFichier(nom, "le modèle n'a aucun élément, rien à exporter");
    std::string contenu;
    try {
        contenu = genre == EGenreExport::Msh   ? TexteMsh(modele)
                  : genre == EGenreExport::Vtk ? TexteVtk(modele)
                                               : ImagePlanPng(modele, numeros);
    } catch (const std::runtime_error& e) {
        ErreurFichier(nom, e.what());
    }
    TEcritureAtomique ecriture(nom);
    ecriture.Fichier().Ecrire(contenu.data(), contenu.size());
    ecriture.Valider();
}

} // namespace tessarc

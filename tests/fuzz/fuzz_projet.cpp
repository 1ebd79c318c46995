// The project-file reader on any bytes: it must refuse or load, never crash, leak or allocate beyond what
// the file holds; a loaded document must save again.

#include "Document.h"
#include "LectureFuzz.h"

#include <cstdint>
#include <cstdlib>

using namespace tessarc;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* donnees, std::size_t taille) {
    const fuzz::TDossierTemporaire dossier(fuzz::EnMemoire);
    const auto nom = dossier.Ecrire("entree.tsrk", fuzz::Octets(donnees, taille));
    TDocument doc;
    if (!doc.OuvrirFichier(nom)) {
        if (doc.DerniereErreur.empty() || doc.NbPts != 0 || doc.Nuage.NbCubesTotal() != 0 ||
            !doc.Maillage.Frontiere.empty())
            std::abort();
        return 0;
    }
    if (doc.Nuage.NivMax < 0 || doc.Nuage.NivMax > 4) std::abort();
    if (!doc.EnregistrerFichierSous(GenreProjet, doc.Nuage.NivMax, dossier / "copie.tsrk")) std::abort();
    if (!doc.EnregistrerFichierSous(GenreXYZ, doc.Nuage.NivAffiche, dossier / "copie.xyz")) std::abort();
    TDocument relu;
    if (!relu.OuvrirFichier(dossier / "copie.tsrk")) std::abort();
    if (relu.Nuage.NbCubesNiv[static_cast<std::size_t>(relu.Nuage.NivMax)] !=
        doc.Nuage.NbCubesNiv[static_cast<std::size_t>(doc.Nuage.NivMax)])
        std::abort();
    return 0;
}

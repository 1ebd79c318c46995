#include "Commandes.h"

#include <array>
#include <filesystem>

namespace tessarc::cli {

int Convertir(std::span<const std::string> arguments, TConsole& console) {
    constexpr std::array<TOption, 1> Options{{{"--niveau"}}};
    const TArguments a = AnalyserArguments(arguments, Options);
    if (a.Positionnels.size() != 2) throw EUsage("une entrée et une sortie attendues");
    int niveau = -1;
    for (const auto& [nom, valeurs] : a.Options) niveau = LireNiveau(valeurs.front());

    const std::filesystem::path entree = a.Positionnels[0];
    const std::filesystem::path sortie = a.Positionnels[1];
    std::string ext = sortie.extension().string();
    for (char& c : ext)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    int genre = 0;
    if (ext == ".tsrk")
        genre = GenreProjet;
    else if (ext == ".xyz")
        genre = GenreXYZ;
    else
        throw EUsage("la sortie « " + sortie.string() + " » doit finir par .tsrk ou .xyz");

    TDocument doc(&console, &console);
    doc.ProgressionEnregistrement = &console;
    if (!doc.OuvrirFichier(entree)) return SortieEchec;
    console.VerifierInterruption();
    if (niveau < 0 || niveau > doc.Nuage.NivMax) niveau = doc.Nuage.NivMax;
    doc.ChangerNivAffiche(niveau);
    return doc.EnregistrerFichierSous(genre, niveau, sortie) ? SortieReussite : SortieEchec;
}

} // namespace tessarc::cli

#include "Commandes.h"
#include "Formats.h"

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
    const TFormat* format = FormatDe(sortie);
    if (format == nullptr || format->Genre == 0)
        throw EUsage("la sortie « " + sortie.string() + " » doit finir par " + ExtensionsEcrites());
    const int genre = format->Genre;
    std::error_code ec;
    if (std::filesystem::equivalent(entree, sortie, ec))
        throw EUsage("la sortie « " + sortie.string() + " » est le fichier d'entrée lui-même : choisissez un autre nom");

    TDocument doc(nullptr, &console);
    doc.SuivreEnregistrement = true;
    if (!Ouvrir(doc, entree, console)) return SortieEchec;
    console.VerifierInterruption();
    if (niveau < 0 || niveau > doc.Nuage.NivMax) niveau = doc.Nuage.NivMax;
    doc.ChangerNivAffiche(niveau);
    return doc.EnregistrerFichierSous(genre, niveau, sortie) ? SortieReussite : SortieEchec;
}

} // namespace tessarc::cli

#include "Commandes.h"

#include <cstdio>

namespace tessarc::cli {

int Proprietes(std::span<const std::string> arguments, TConsole& console) {
    const TArguments a = AnalyserArguments(arguments, {});
    if (a.Positionnels.size() != 1) throw EUsage("un fichier attendu");
    TDocument doc(nullptr, &console);
    if (!Ouvrir(doc, a.Positionnels[0], console)) return SortieEchec;
    console.VerifierInterruption();
    // The report ends its lines with CR LF, as the window shows it; a terminal wants LF.
    std::string texte = doc.Proprietes();
    std::string sortie;
    sortie.reserve(texte.size() + 1);
    for (char c : texte)
        if (c != '\r') sortie += c;
    std::printf("%s\n", sortie.c_str());
    return SortieReussite;
}

} // namespace tessarc::cli

// Writes the desktop entry and the shared-mime-info types from the table of formats, so that the
// desktop offers Tessarc for every type it reads.
//   tessarc-types-mime MODELE.desktop.in SORTIE.desktop SORTIE.xml

#include "Formats.h"

#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>

namespace {

std::string Types() {
    std::string t;
    for (const tessarc::TFormat& f : tessarc::Formats())
        if (!f.Libelle.empty()) t += std::string(f.TypeMime) + ";";
    return t;
}

std::string Xml() {
    std::string t = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                    "<mime-info xmlns=\"http://www.freedesktop.org/standards/shared-mime-info\">\n";
    for (const tessarc::TFormat& f : tessarc::Formats()) {
        if (f.Libelle.empty()) continue;
        const std::string libelle(f.Libelle);
        t.append("  <mime-type type=\"").append(f.TypeMime).append("\">\n    <comment>").append(libelle);
        t.append("</comment>\n    <comment xml:lang=\"fr\">").append(libelle);
        t.append("</comment>\n    <icon name=\"tessarc\"/>\n    <glob pattern=\"*").append(f.Extension);
        t.append("\"/>\n  </mime-type>\n");
    }
    return t + "</mime-info>\n";
}

bool Ecrire(const char* nom, const std::string& texte) {
    std::ofstream f(nom, std::ios::binary | std::ios::trunc);
    f << texte;
    return static_cast<bool>(f);
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 4) {
        std::fputs("usage : tessarc-types-mime MODELE.desktop.in SORTIE.desktop SORTIE.xml\n", stderr);
        return 2;
    }
    std::ifstream modele(argv[1], std::ios::binary);
    std::string entree{std::istreambuf_iterator<char>(modele), {}};
    const std::string repere = "@TYPES_MIME@";
    const auto p = entree.find(repere);
    if (!modele || p == std::string::npos) {
        std::fprintf(stderr, "tessarc-types-mime : %s illisible ou sans %s\n", argv[1], repere.c_str());
        return 1;
    }
    entree.replace(p, repere.size(), Types());
    return Ecrire(argv[2], entree) && Ecrire(argv[3], Xml()) ? 0 : 1;
}

#include "Commandes.h"

#include "Formats.h"
#include "Nombres.h"

#include <array>
#include <cstdio>
#include <new>

namespace tessarc::cli {

namespace {

constexpr std::array<TCommande, 3> Table{{
    {"proprietes", "FICHIER", "ouvre le fichier et affiche ses propriétés", Proprietes},
    {"convertir", "ENTREE SORTIE [--niveau N]",
     "ouvre ENTREE et écrit SORTIE en fichier Tessarc (.tsrk) ou en fichier XYZ (.xyz, coordonnées\n"
     "      vraies) selon son extension, avec les cubes du niveau N (0 : 1 m, 1 : 20 cm, 2 : 4 cm,\n"
     "      3 : 8 mm, 4 : 1.6 mm ; par défaut le plus fin du fichier, et jamais plus fin que lui) ;\n"
     "      N est aussi le niveau affiché enregistré dans un fichier Tessarc",
     Convertir},
    {"mailler",
     "ENTREE --sortie DOSSIER [--frontiere FICHIER] [--niveau N] [--origine X Y]\n"
     "      [--trame T] [--noeuds B] [--elements B] [--zbas Z] [--rotation D] [--tranches CM]\n"
     "      [--maillage FICHIER.msh|FICHIER.vtk]... [--image FICHIER.png [--numeros]]",
     "ouvre ENTREE et affiche le niveau N (par défaut le niveau affiché du projet,\n"
     "      le plus fin pour un scan) ; prend la frontière du projet ou de FICHIER (une paire « X Y » par\n"
     "      ligne, au moins trois points distincts) ; calcule les points de la grille de capture (origine\n"
     "      au minimum de la frontière, trame du fichier), triangule et calcule le modèle (bases des noeuds\n"
     "      et des éléments 1, Z point bas 0.00 m, rotation 0.00 degré, tranches de 50 cm) ; écrit\n"
     "      general.txt, noeuds.txt et elements.txt dans DOSSIER (créé s'il manque), lignes terminées par\n"
     "      CR LF ; puis, sur demande, le maillage au format Gmsh (.msh) ou VTK (.vtk) et l'image du plan\n"
     "      (.png, avec les numéros des noeuds par --numeros) ; les contrôles (appuis par segment, angles\n"
     "      des éléments) vont sur la sortie d'erreur",
     Mailler},
}};

std::string Usage() {
    std::string t = "usage : tessarc-cli COMMANDE ARGUMENTS...\n\nCommandes :\n";
    for (const TCommande& c : Table)
        t += std::string("  ") + c.Nom + " " + c.Syntaxe + "\n      " + c.Aide + "\n";
    t += "\nFichiers lus : " + ExtensionsLues() + " ; écrits : " + ExtensionsEcrites() + ".\n";
    t += "\nOptions :\n  --help, -h    affiche cette aide (après une commande : l'aide de la commande)\n"
         "\nCodes de sortie : 0 réussite, 1 échec (message sur la sortie d'erreur), 2 mauvaise utilisation.\n"
         "Ctrl-C arrête proprement : fichiers temporaires supprimés, aucune sortie partielle.\n";
    return t;
}

bool EstAide(const std::string& a) {
    return a == "--help" || a == "-h";
}

} // namespace

std::span<const TCommande> Commandes() {
    return Table;
}

TArguments AnalyserArguments(std::span<const std::string> arguments, std::span<const TOption> options) {
    TArguments r;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& a = arguments[i];
        if (a.size() < 2 || a.compare(0, 2, "--") != 0) {
            r.Positionnels.push_back(a);
            continue;
        }
        bool connue = false;
        for (const TOption& o : options) {
            if (a != o.Nom) continue;
            const auto n = static_cast<std::size_t>(o.NbValeurs);
            if (arguments.size() - i - 1 < n)
                throw EUsage(n == 1 ? "valeur manquante après " + a
                                    : std::to_string(n) + " valeurs attendues après " + a);
            const auto valeurs = arguments.subspan(i + 1, n);
            r.Options.emplace_back(a, std::vector<std::string>(valeurs.begin(), valeurs.end()));
            i += n;
            connue = true;
            break;
        }
        if (!connue) throw EUsage("option inconnue : " + a);
    }
    return r;
}

bool Ouvrir(TDocument& doc, const std::filesystem::path& nom, TConsole& console) {
    if (!doc.OuvrirFichier(nom)) return false;
    for (const std::string& r : doc.Remarques) console.Message(nom.string() + " : " + r);
    return true;
}

int LireNiveau(const std::string& texte) {
    const auto n = LireEntier(texte);
    if (!n || *n < 0 || *n >= NbNiveaux)
        throw EUsage("niveau « " + texte + " » invalide, il doit valoir de 0 à 4");
    return *n;
}

int Lancer(std::span<const std::string> arguments) {
    TConsole::InstallerInterruption();
    if (arguments.empty()) {
        std::fputs(Usage().c_str(), stderr);
        return SortieUsage;
    }
    if (EstAide(arguments[0])) {
        std::fputs(Usage().c_str(), stdout);
        return SortieReussite;
    }
    for (const TCommande& c : Table) {
        if (arguments[0] != c.Nom) continue;
        const auto reste = arguments.subspan(1);
        for (const std::string& a : reste) {
            if (EstAide(a)) {
                std::printf("usage : tessarc-cli %s %s\n      %s\n", c.Nom, c.Syntaxe, c.Aide);
                return SortieReussite;
            }
        }
        TConsole console;
        try {
            return c.Executer(reste, console);
        } catch (const EUsage& e) {
            std::fprintf(stderr, "tessarc-cli : %s\nusage : tessarc-cli %s %s\n", e.what(), c.Nom, c.Syntaxe);
            return SortieUsage;
        } catch (const std::bad_alloc&) {
            console.Message("mémoire insuffisante");
            return SortieEchec;
        } catch (const std::exception& e) {
            console.Message(e.what());
            return SortieEchec;
        }
    }
    std::fprintf(stderr, "tessarc-cli : commande inconnue : %s\n\n%s", arguments[0].c_str(), Usage().c_str());
    return SortieUsage;
}

} // namespace tessarc::cli

// The whole meshing road without the window: the same core calls as its pages, in the order the pages
// make them, so that both give the same three texts.

#include "Commandes.h"
#include "Controles.h"
#include "ExportModele.h"
#include "Fichier.h"
#include "Formats.h"
#include "Frontiere.h"
#include "GrilleCapture.h"
#include "Modele.h"
#include "Nombres.h"
#include "Saisie.h"
#include "Triangulation.h"
#include "Utils.h"

#include <algorithm>
#include <array>
#include <filesystem>
#include <memory>
#include <optional>
#include <set>
#include <stdexcept>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

namespace tessarc::cli {

namespace {

constexpr std::array<TOption, 13> Options{{{"--sortie"},
                                           {"--frontiere"},
                                           {"--niveau"},
                                           {"--origine", 2},
                                           {"--trame"},
                                           {"--noeuds"},
                                           {"--elements"},
                                           {"--zbas"},
                                           {"--rotation"},
                                           {"--tranches"},
                                           {"--maillage"},
                                           {"--image"},
                                           {"--numeros", 0}}};

constexpr std::array<const char*, 3> NomsTextes{"general.txt", "noeuds.txt", "elements.txt"};

struct TExport {
    std::filesystem::path Nom;
    EGenreExport Genre;
};

struct TParametres {
    std::filesystem::path Entree;
    std::filesystem::path Sortie;
    std::optional<std::filesystem::path> Frontiere;
    int Niveau = -1;
    // Texts as typed in the edit boxes of the pages; empty when not given.
    std::string OrigineX, OrigineY, Trame;
    TSaisieModele Modele;
    std::vector<TExport> Exports;
    bool Numeros = false;
    std::set<std::string> Donnees; // the options given
};

// The value of an edit box, refused here when the box would silently fall back on another value.
std::string Reel(const std::string& option, const std::string& valeur) {
    if (!LireSingle(valeur))
        throw EUsage("valeur « " + valeur + " » invalide pour " + option + " : nombre attendu");
    return valeur;
}

std::string Entier(const std::string& option, const std::string& valeur) {
    if (!LireEntier(Rogner(valeur)))
        throw EUsage("valeur « " + valeur + " » invalide pour " + option + " : nombre entier attendu");
    return valeur;
}

TExport Export(const std::string& option, const std::string& nom, std::initializer_list<EGenreExport> genres,
               const char* attendu) {
    const auto genre = GenreExport(nom);
    if (!genre || std::find(genres.begin(), genres.end(), *genre) == genres.end())
        throw EUsage("fichier « " + nom + " » invalide pour " + option + " : " + attendu + " attendu");
    return {nom, *genre};
}

void LireOption(TParametres& p, const std::string& nom, const std::vector<std::string>& v) {
    if (nom == "--sortie")
        p.Sortie = v[0];
    else if (nom == "--frontiere")
        p.Frontiere = v[0];
    else if (nom == "--niveau")
        p.Niveau = LireNiveau(v[0]);
    else if (nom == "--origine") {
        p.OrigineX = Reel(nom, v[0]);
        p.OrigineY = Reel(nom, v[1]);
    } else if (nom == "--trame")
        p.Trame = Reel(nom, v[0]);
    else if (nom == "--noeuds")
        p.Modele.Noeuds = Entier(nom, v[0]);
    else if (nom == "--elements")
        p.Modele.Elements = Entier(nom, v[0]);
    else if (nom == "--zbas")
        p.Modele.ZBas = Reel(nom, v[0]);
    else if (nom == "--rotation")
        p.Modele.Rotation = Reel(nom, v[0]);
    else if (nom == "--tranches")
        p.Modele.Tranches = Reel(nom, v[0]);
    else if (nom == "--maillage")
        p.Exports.push_back(Export(nom, v[0], {EGenreExport::Msh, EGenreExport::Vtk}, ".msh ou .vtk"));
    else if (nom == "--image")
        p.Exports.push_back(Export(nom, v[0], {EGenreExport::Png}, ".png"));
    else if (nom == "--numeros")
        p.Numeros = true;
}

TParametres LireParametres(std::span<const std::string> arguments) {
    const TArguments a = AnalyserArguments(arguments, Options);
    if (a.Positionnels.size() != 1) throw EUsage("une entrée attendue");
    TParametres p;
    p.Entree = a.Positionnels[0];
    for (const auto& [nom, v] : a.Options) {
        LireOption(p, nom, v);
        p.Donnees.insert(nom);
    }
    if (p.Sortie.empty()) throw EUsage("--sortie DOSSIER attendu");
    if (p.Numeros && !p.Donnees.contains("--image"))
        throw EUsage("--numeros sans --image : rien à numéroter");
    return p;
}

// A value the pages refuse: the option that gave it when there is one, the file otherwise (the
// project's spacing).
[[noreturn]] void Refuser(const TParametres& p, ECauseRefus cause, const std::string& message) {
    const char* option = cause == ECauseRefus::Trame          ? "--trame"
                         : cause == ECauseRefus::Origine      ? "--origine"
                         : cause == ECauseRefus::Tranches     ? "--tranches"
                         : cause == ECauseRefus::BaseNoeuds   ? "--noeuds"
                         : cause == ECauseRefus::BaseElements ? "--elements"
                                                              : "";
    if (p.Donnees.contains(option)) throw EUsage(std::string(option) + " : " + message);
    ErreurFichier(p.Entree, message);
}

// One "X Y" pair per line, blanks and tabs between them, blank lines skipped.
// True coordinates, in double: a far scan's boundary would lose its decimetres in single precision.
std::vector<TV3R> LireFrontiere(const std::filesystem::path& nom) {
    TFichier f(nom, TFichier::EMode::Lecture);
    std::string texte(static_cast<std::size_t>(f.Taille()), '\0');
    f.LireExact(texte.data(), texte.size());
    std::vector<TV3R> points;
    std::string_view reste = texte;
    for (int ligne = 1; !reste.empty(); ++ligne) {
        const std::size_t fin = reste.find('\n');
        std::string_view l = reste.substr(0, fin);
        reste = fin == std::string_view::npos ? std::string_view() : reste.substr(fin + 1);
        std::vector<std::string_view> mots;
        while (true) {
            const std::size_t debut = l.find_first_not_of(" \t\r");
            if (debut == std::string_view::npos) break;
            l.remove_prefix(debut);
            const std::size_t n = std::min(l.find_first_of(" \t\r"), l.size());
            mots.push_back(l.substr(0, n));
            l.remove_prefix(n);
        }
        if (mots.empty()) continue;
        const auto x = mots.size() == 2 ? LireReel(mots[0]) : std::nullopt;
        const auto y = mots.size() == 2 ? LireReel(mots[1]) : std::nullopt;
        if (!x || !y) ErreurFichier(nom, FormatC("ligne %d : deux nombres « X Y » attendus", ligne));
        points.push_back(FaireV3R(*x, *y, 0.0));
    }
    if (points.empty()) ErreurFichier(nom, "aucun point de frontière");
    return points;
}

// Fewer than three distinct points enclose nothing: said before any computation.
template <typename TPoint>
void VerifierFrontiere(std::span<const TPoint> frontiere, const std::filesystem::path& source) {
    const std::size_t n = NbPointsDistincts(frontiere);
    if (n < 3)
        ErreurFichier(source,
                      FormatC("la frontière n'a que %zu point(s) distinct(s), il en faut au moins trois", n));
}

// The project file holds a boundary; a scan does not.
bool EstProjet(const std::filesystem::path& nom) {
    const TFormat* f = FormatDe(nom);
    return f != nullptr && f->Lecteur == nullptr;
}

// The three texts replace the files of the folder together, or the old ones stay.
void EcrireTextes(const std::filesystem::path& dossier, const std::array<const std::string*, 3>& textes,
                  TConsole& console) {
    std::error_code ec;
    std::filesystem::create_directories(dossier, ec);
    if (ec)
        throw std::runtime_error("dossier « " + dossier.string() + " » : création impossible, " +
                                 TexteErreurSysteme(ec.value()));
    TEcritureEnsemble ensemble({dossier / NomsTextes[0], dossier / NomsTextes[1], dossier / NomsTextes[2]});
    for (std::size_t k = 0; k < textes.size(); ++k) ensemble.Fichier(k).Ecrire(textes[k]->data(), textes[k]->size());
    // Ctrl-C during the writes still stops before anything is replaced.
    console.VerifierInterruption();
    ensemble.Valider();
}

// The grid, the triangulation and the model as the pages compute them, with the checks of the status
// line on standard error.
TResultatModele Calculer(TDocument& doc, const TParametres& p, const std::filesystem::path& source,
                         TConsole& console) {
    TMaillage& m = doc.Maillage;
    console.AffiInfo(0, "calcul des points de la grille");
    EntrerPageGrille(m, doc.Nuage.CooMin[3], doc.Decalage);
    ValiderGrille(m, p.OrigineX, p.OrigineY, p.Trame, doc.Decalage);
    const TCompteRenduGrille grille = CalculerPointsGrille(m, doc.Nuage.CubesAffiches);
    if (!grille.Calcule) Refuser(p, grille.Cause, grille.Message);
    if (!grille.Message.empty()) console.Message("attention : " + grille.Message);
    console.Message(ControleAppuis(m));

    console.AffiInfo(0, "triangulation");
    const TCompteRenduTriangulation triangulation = Trianguler(m);
    if (!triangulation.Triangule) ErreurFichier(p.Entree, "grille vide : rien à trianguler");
    console.Message(ControleTriangulation(m, triangulation));
    if (m.Triangles.empty())
        ErreurFichier(source,
                      "le modèle n'a aucun élément : la frontière n'entoure aucune maille de la grille "
                      "(trame trop grande, ou frontière sans surface)");

    console.AffiInfo(0, "calcul du modèle");
    TResultatModele modele = CalculerModele(m, p.Modele, doc.Decalage);
    if (!modele.Calcule) Refuser(p, modele.Cause, modele.Message);
    return modele;
}

} // namespace

int Mailler(std::span<const std::string> arguments, TConsole& console) {
    const TParametres p = LireParametres(arguments);
    const bool projet = EstProjet(p.Entree);
    // Refused before the long load when it can be.
    if (!projet && !p.Frontiere)
        ErreurFichier(p.Entree, "un scan n'a pas de frontière, la donner avec --frontiere FICHIER");
    const std::vector<TV3R> points = p.Frontiere ? LireFrontiere(*p.Frontiere) : std::vector<TV3R>{};
    if (p.Frontiere) VerifierFrontiere(std::span<const TV3R>(points), *p.Frontiere);

    TDocument doc(nullptr, &console);
    if (!Ouvrir(doc, p.Entree, console)) return SortieEchec;
    console.VerifierInterruption();
    doc.ChangerNivAffiche(p.Niveau >= 0 ? p.Niveau : projet ? doc.Nuage.NivAffiche : doc.Nuage.NivMax);

    TMaillage& m = doc.Maillage;
    if (p.Frontiere) {
        DefinirFrontiere(m);
        const TV3R& d = doc.Decalage;
        for (const TV3R& pt : points) AjouterPointFrontiere(m, pt[1] - d[1], pt[2] - d[2], doc.Nuage.CooMin[3], d);
    }
    if (m.Frontiere.empty())
        ErreurFichier(p.Entree, "le projet n'a pas de frontière, la donner avec --frontiere FICHIER");
    if (!p.Frontiere) VerifierFrontiere(std::span<const TV3S>(m.Frontiere), p.Entree);

    const TResultatModele modele = Calculer(doc, p, p.Frontiere.value_or(p.Entree), console);
    console.AffiInfo(0, "écriture des textes");
    EcrireTextes(p.Sortie, {&modele.ResulGen, &modele.ResulNds, &modele.ResulElts}, console);
    for (const TExport& e : p.Exports) {
        console.AffiInfo(0, "écriture de " + e.Nom.filename().string());
        ExporterModele(e.Nom, e.Genre, modele.Modele, p.Numeros);
    }
    return SortieReussite;
}

} // namespace tessarc::cli

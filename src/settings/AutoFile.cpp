#include "AutoFile.h"

#include "ListeValeurs.h"
#include "Nombres.h"
#include "StringUtils.h"
#include "Utils.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>

#include <stdexcept>

namespace tessarc {

namespace {

// Above the default weight 50 of the system's types, so that an accepted association wins.
constexpr std::string_view kPoidsGlob = "80";

struct Association {
    std::string ext, type, description, exec;
    std::string package, bureau; // files of the user's data folder
};

std::string DossierDonnees() {
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation).toStdString();
}

std::string Remplacer(std::string texte, std::string_view ancien, std::string_view nouveau) {
    for (auto p = texte.find(ancien); p != std::string::npos; p = texte.find(ancien, p + nouveau.size()))
        texte.replace(p, ancien.size(), nouveau);
    return texte;
}

std::string EchapperXml(std::string texte) {
    texte = Remplacer(std::move(texte), "&", "&amp;");
    texte = Remplacer(std::move(texte), "<", "&lt;");
    return Remplacer(std::move(texte), ">", "&gt;");
}

// A Windows command line as a desktop entry's Exec: "%1" becomes the file code %f, added when absent.
std::string ExecBureau(const std::string& commande) {
    std::string exec(Rogner(Remplacer(Remplacer(commande, "\"%1\"", "%f"), "%1", "%f")));
    for (const char* code : {"%f", "%F", "%u", "%U"})
        if (exec.find(code) != std::string::npos) return exec;
    return exec + " %f";
}

Association Decrire(const TAutoFile& f) {
    Association a;
    a.ext = Rogner(f.Fext);
    const std::string id = a.ext + "_auto_file";
    a.type = "application/x-" + id;
    a.description = Rogner(f.Ftitre);
    if (a.description.empty()) a.description = "fichier " + a.ext;
    std::string appli(Rogner(f.Fappli));
    if (appli.empty() || appli == "\"\"") appli = "\"" + CheminExecutable() + "\"";
    a.exec = ExecBureau(appli + " " + std::string(Rogner(f.Fparam)));
    const std::string donnees = DossierDonnees();
    a.package = donnees + "/mime/packages/" + id + ".xml";
    a.bureau = donnees + "/applications/" + id + ".desktop";
    return a;
}

std::string TexteEntre(const std::string& texte, std::string_view debut, std::string_view fin) {
    const auto d = texte.find(debut);
    if (d == std::string::npos) return {};
    const auto f = texte.find(fin, d + debut.size());
    return f == std::string::npos ? std::string() : texte.substr(d + debut.size(), f - d - debut.size());
}

std::string Glob(std::string_view ext) {
    return "*." + std::string(ext);
}

bool PackageRevendique(const std::string& package, std::string_view ext) {
    return ChargerFichierTexte(package).find("pattern=\"" + EchapperXml(Glob(ext)) + "\"") !=
           std::string::npos;
}

void Rafraichir() {
    const QString donnees = QString::fromStdString(DossierDonnees());
    for (const auto& [outil, sousDossier] : {std::pair{"update-mime-database", "/mime"},
                                             std::pair{"update-desktop-database", "/applications"}}) {
        const QString programme = QStandardPaths::findExecutable(QString::fromLatin1(outil));
        if (!programme.isEmpty()) QProcess::execute(programme, {donnees + QString::fromLatin1(sousDossier)});
    }
}

void Enregistrer(const Association& a) {
    for (const std::string* fichier : {&a.package, &a.bureau}) {
        QFile::remove(QString::fromStdString(*fichier));
        if (!QDir().mkpath(QString::fromStdString(PartieChemin(*fichier, 5))))
            throw std::runtime_error("dossier " + PartieChemin(*fichier, 5));
    }
    RangerFichierTexte("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                       "<mime-info xmlns=\"http://www.freedesktop.org/standards/shared-mime-info\">\n"
                       "  <mime-type type=\"" +
                           a.type + "\">\n    <comment>" + EchapperXml(a.description) + "</comment>\n" +
                           "    <glob pattern=\"" + EchapperXml(Glob(a.ext)) + "\" weight=\"" +
                           std::string(kPoidsGlob) + "\"/>\n  </mime-type>\n</mime-info>\n",
                       a.package);
    RangerFichierTexte("[Desktop Entry]\nType=Application\nName=" + a.description + "\nExec=" + a.exec +
                           "\nMimeType=" + a.type + ";\nNoDisplay=true\n",
                       a.bureau);
    Rafraichir();
}

bool DejaAssocie(const Association& a, const std::string& typeActuel) {
    return ComparerSansCasse(typeActuel, a.type) == 0 &&
           ComparerSansCasse(TexteEntre(ChargerFichierTexte(a.package), "<comment>", "</comment>"),
                             EchapperXml(a.description)) == 0 &&
           ComparerSansCasse(LireValeurNommee(ChargerFichierTexte(a.bureau), "Exec"), a.exec) == 0;
}

} // namespace

std::optional<std::string> TypeMimeExtension(std::string_view ext) {
    TAutoFile propre;
    propre.Fext = ext;
    if (PackageRevendique(Decrire(propre).package, ext)) return Decrire(propre).type;
    const std::string glob = Glob(ext);
    for (const QString& dossier : QStandardPaths::standardLocations(QStandardPaths::GenericDataLocation)) {
        const std::string globs = ChargerFichierTexte(dossier.toStdString() + "/mime/globs2");
        for (const std::string_view ligne : DecouperLignes(globs)) {
            // weight:type:pattern[:flags]
            std::string reste(ligne);
            if (reste.starts_with('#')) continue;
            ExtraireJusqua(reste, ':');
            const std::string type = ExtraireJusqua(reste, ':');
            if (ComparerSansCasse(ExtraireJusqua(reste, ':'), glob) == 0) return type;
        }
    }
    return std::nullopt;
}

void Associer(std::array<TAutoFile, 3>& fichiers, IUtilisateur& utilisateur) {
    for (TAutoFile& f : fichiers) {
        const Association a = Decrire(f);
        if (a.ext.empty()) continue;
        try {
            const auto actuel = TypeMimeExtension(a.ext);
            if (actuel && (!f.FTestAssoc || f.FNoAutoAssoc || DejaAssocie(a, *actuel))) continue;
            if (actuel && utilisateur.Question("les fichiers de type " + a.ext +
                                               " ne sont pas associés\nà l'application " +
                                               PartieChemin(CheminExecutable(), 4) +
                                               " ;\nVoulez-vous qu'ils le deviennent?") != TReponse::Oui) {
                if (utilisateur.Question("ce choix est il définitif?") == TReponse::Oui)
                    f.FNoAutoAssoc = true;
                continue;
            }
            Enregistrer(a);
        } catch (const std::exception&) {
            utilisateur.Message("erreur registre pour ." + a.ext);
        }
    }
}

} // namespace tessarc

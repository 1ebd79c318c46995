#include "Formats.h"

#include "LecteurE57.h"
#include "LecteurLAS.h"
#include "LecteurPLY.h"
#include "LecteurPTS.h"
#include "LecteurPTX.h"
#include "LecteurXYZ.h"
#include "Utils.h"

#include <array>

namespace tessarc {

namespace {

constexpr auto Table = std::to_array<TFormat>({
    {".tsrk", "fichier Tessarc", nullptr, GenreProjet, "application/x-tessarc-projet"},
    {".xyz", "fichier XYZ ascii", LireXYZ, GenreXYZ, "application/x-tessarc-xyz"},
    {".xyb", "fichier XYZ binaire", LireXYB, 0, "application/x-tessarc-xyb"},
    {".e57", "fichier E57", LireE57, 0, "application/x-tessarc-e57"},
    {".las", "fichier LAS", LireLAS, 0, "application/x-tessarc-las"},
    {".ply", "fichier PLY", LirePLY, 0, "application/x-tessarc-ply"},
    {".pts", "fichier PTS", LirePTS, 0, "application/x-tessarc-pts"},
    {".ptx", "fichier PTX", LirePTX, 0, "application/x-tessarc-ptx"},
    {".laz", "", LireLAZ, 0, ""},
});

constexpr std::string_view TousLesFichiers = "tous les fichiers (*.*)";

std::string Enumerer(bool ecrits) {
    std::vector<std::string_view> e;
    for (const TFormat& f : Table)
        if (!f.Libelle.empty() && (!ecrits || f.Genre != 0)) e.push_back(f.Extension);
    std::string t;
    for (std::size_t i = 0; i < e.size(); ++i) {
        if (i > 0) t += i + 1 == e.size() ? " et " : ", ";
        t += e[i];
    }
    return t;
}

std::string Filtre(const TFormat& f) {
    return std::string(f.Libelle) + " (*" + std::string(f.Extension) + ")";
}

} // namespace

std::span<const TFormat> Formats() {
    return Table;
}

const TFormat* FormatDe(const std::filesystem::path& nom) {
    const std::string ext = nom.extension().string();
    for (const TFormat& f : Table)
        if (ComparerSansCasse(ext, f.Extension) == 0) return &f;
    return nullptr;
}

std::string ExtensionsLues() {
    return Enumerer(false);
}

std::string ExtensionsEcrites() {
    return Enumerer(true);
}

std::string TexteTypeInconnu(const std::filesystem::path& nom) {
    const std::string ext = Majuscules(nom.extension().string());
    return "fichier « " + nom.string() + " » : type de fichier non reconnu" + (ext.empty() ? "" : " (" + ext + ")") +
           ", les types lus sont " + ExtensionsLues();
}

std::vector<std::string> FiltresOuverture() {
    std::string scans = "fichiers de scan (";
    std::vector<std::string> r{""};
    for (const TFormat& f : Table) {
        if (f.Libelle.empty()) continue;
        scans += (r.size() > 1 ? " *" : "*") + std::string(f.Extension);
        r.push_back(Filtre(f));
    }
    r.front() = scans + ")";
    r.emplace_back(TousLesFichiers);
    return r;
}

std::vector<std::string> FiltresEnregistrement() {
    std::vector<std::string> r;
    for (const TFormat& f : Table)
        if (f.Genre != 0) r.push_back(Filtre(f));
    r.emplace_back(TousLesFichiers);
    return r;
}

} // namespace tessarc

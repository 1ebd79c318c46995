// Opening scans, measured on a generated vault:
//   build/tools/tessarc-genvoute --points 5000000 --sortie /tmp/voute5m.xyz
//   build/bench/tessarc-bench-fichiers /tmp/voute5m.xyz
// Each measure runs in its own process so that its peak memory is its own. The project file, the
// export and the same points as LAS, PLY, PTS and PTX are written beside the scan and removed at the end.

#include "Document.h"
#include "EcrireScans.h"
#include "Fichier.h"
#include "Formats.h"
#include "LecteurXYZ.h"
#include "LignesTexte.h"
#include "Nombres.h"

#include <charconv>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <string>
#include <vector>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace tessarc;

namespace {

using Horloge = std::chrono::steady_clock;

double Secondes(Horloge::time_point debut) {
    return std::chrono::duration<double>(Horloge::now() - debut).count();
}

double PicMemoireMo() {
    rusage ru{};
    getrusage(RUSAGE_SELF, &ru);
    return static_cast<double>(ru.ru_maxrss) / 1024.0;
}

// Runs f in a child process and waits for it; f prints its own figures.
void Isoler(const std::function<void()>& f) {
    std::fflush(stdout);
    const pid_t pid = fork();
    if (pid == 0) {
        f();
        std::fflush(stdout);
        _exit(0);
    }
    int etat = 0;
    waitpid(pid, &etat, 0);
}

// The same buffered reading and line cutting as the reader, each line read with from_chars alone:
// three doubles and three integers, no checks.
void BoucleFromChars(const std::filesystem::path& nom) {
    TFichier f(nom, TFichier::EMode::Lecture);
    const auto debut = Horloge::now();
    auto tampon = std::make_unique<char[]>(TLignesTexte::TailleTamponDefaut);
    std::size_t rempli = 0;
    std::int64_t lignes = 0;
    double somme = 0.0;
    for (;;) {
        const std::size_t lu = f.Lire(tampon.get() + rempli, TLignesTexte::TailleTamponDefaut - rempli);
        rempli += lu;
        const char* p = tampon.get();
        const char* const fin = p + rempli;
        while (p < fin) {
            const auto* lf =
                static_cast<const char*>(std::memchr(p, '\n', static_cast<std::size_t>(fin - p)));
            if (lf == nullptr) break;
            const char* q = p;
            double v = 0.0;
            int c = 0;
            for (int k = 0; k < 3; ++k) {
                q = std::from_chars(q, lf, v).ptr + 1;
                somme += v;
            }
            for (int k = 0; k < 3; ++k) {
                q = std::from_chars(q, lf, c).ptr + 1;
                somme += c;
            }
            ++lignes;
            p = lf + 1;
        }
        rempli = static_cast<std::size_t>(fin - p);
        std::memmove(tampon.get(), p, rempli);
        if (lu == 0) break;
    }
    const double s = Secondes(debut);
    std::printf("boucle from_chars nue     : %.3f s, %.1f millions de lignes/s (somme %.0f)\n", s,
                static_cast<double>(lignes) / s / 1e6, somme);
}

// The reader of the table alone, its points sent nowhere.
void AnalyseSeule(const std::filesystem::path& nom, const char* libelle) {
    TFichier f(nom, TFichier::EMode::Lecture);
    TFichier nul("/dev/null", TFichier::EMode::Creation);
    TSortiePoints sortie(nom, nul);
    ProgressionMuette muette;
    const auto debut = Horloge::now();
    FormatDe(nom)->Lecteur(f, sortie, muette);
    sortie.Terminer();
    const std::int64_t n = sortie.Nombre();
    const double s = Secondes(debut);
    std::printf("%s : %.3f s, %.1f millions de points/s\n", libelle, s, static_cast<double>(n) / s / 1e6);
}

void Ouvrir(const std::filesystem::path& nom, const char* libelle) {
    TDocument doc;
    const auto debut = Horloge::now();
    const bool ok = doc.OuvrirFichier(nom);
    const double s = Secondes(debut);
    if (!ok) {
        std::printf("%s : échec, %s\n", libelle, doc.DerniereErreur.c_str());
        return;
    }
    const double pic = PicMemoireMo();
    std::printf("%s : %.3f s, %.2f millions de points/s, pic mémoire %.0f Mo (%.0f octets par point), "
                "%d cubes de 1.6 mm\n",
                libelle, s, static_cast<double>(doc.NbPts) / s / 1e6, pic,
                pic * 1048576.0 / static_cast<double>(doc.NbPts), doc.Nuage.NbCubesNiv[4]);
}

void Enregistrer(const std::filesystem::path& nom, const std::filesystem::path& sansExt) {
    TDocument doc;
    if (!doc.OuvrirFichier(nom)) return;
    doc.PFsansext = sansExt;
    auto debut = Horloge::now();
    doc.EnregistrerFichier(GenreProjet, 4);
    std::printf("enregistrement projet     : %.3f s\n", Secondes(debut));
    debut = Horloge::now();
    doc.EnregistrerFichier(GenreXYZ, 4);
    std::printf("export XYZ                : %.3f s\n", Secondes(debut));
}

// The scan's points in the other formats read, beside it: every line of the text ones is a line of the
// scan, and the binary ones hold the same points (LAS to 0.1 mm, PLY in single precision).
class TConversions {
public:
    explicit TConversions(const std::filesystem::path& scan) : base_(scan) {
        base_.replace_extension();
        Ecrire(scan);
    }
    ~TConversions() {
        for (const auto& f : Fichiers()) std::filesystem::remove(f.first);
    }
    TConversions(const TConversions&) = delete;
    TConversions& operator=(const TConversions&) = delete;

    [[nodiscard]] std::vector<std::pair<std::filesystem::path, const char*>> Fichiers() const {
        return {{Nom("-bench.las"), "LAS"},
                {Nom("-bench-binaire.ply"), "PLY binaire"},
                {Nom("-bench-texte.ply"), "PLY ascii"},
                {Nom("-bench.pts"), "PTS"},
                {Nom("-bench.ptx"), "PTX"}};
    }

private:
    [[nodiscard]] std::filesystem::path Nom(const char* suffixe) const { return base_.string() + suffixe; }

    void Ecrire(const std::filesystem::path& scan) {
        std::int64_t n = 0;
        Parcourir(scan, [&](std::string_view, const TLigneXYZ&) { ++n; });
        const auto nb = static_cast<std::size_t>(n);
        essais::TScanLAS las;
        las.Echelle[0] = las.Echelle[1] = las.Echelle[2] = 1e-4;
        const essais::TElementPLY sommets{"vertex", {"float x", "float y", "float z", "uchar red", "uchar green", "uchar blue"}, {}, nb};
        std::ofstream fLas(Nom("-bench.las"), std::ios::binary), fPlyB(Nom("-bench-binaire.ply"), std::ios::binary),
            fPlyT(Nom("-bench-texte.ply"), std::ios::binary), fPts(Nom("-bench.pts"), std::ios::binary),
            fPtx(Nom("-bench.ptx"), std::ios::binary);
        fLas << essais::EnteteLAS(las, nb);
        fPlyB << essais::EntetePLY(essais::EEncodagePLY::Petit, {sommets});
        fPlyT << essais::EntetePLY(essais::EEncodagePLY::Ascii, {sommets});
        fPts << n << "\n";
        fPtx << n << "\n1\n0 0 0\n1 0 0\n0 1 0\n0 0 1\n1 0 0 0\n0 1 0 0\n0 0 1 0\n0 0 0 1\n";
        std::string bLas, bPly, texte, ptx;
        Parcourir(scan, [&](std::string_view ligne, const TLigneXYZ& l) {
            const auto entier = [](double v) { return static_cast<std::int32_t>(std::llround(v / 1e-4)); };
            AjouterPointLAS(bLas, las,
                            {entier(l.X), entier(l.Y), entier(l.Z), 0, static_cast<std::uint16_t>(l.Couleur[1] * 257),
                             static_cast<std::uint16_t>(l.Couleur[2] * 257), static_cast<std::uint16_t>(l.Couleur[3] * 257)});
            AjouterInstancePLY(bPly, essais::EEncodagePLY::Petit, sommets,
                               {l.X, l.Y, l.Z, double(l.Couleur[1]), double(l.Couleur[2]), double(l.Couleur[3])});
            texte.append(ligne).push_back('\n');
            const std::size_t z = ligne.find(' ', ligne.find(' ', ligne.find(' ') + 1) + 1);
            ptx.append(ligne.substr(0, z)).append(" 0.5").append(ligne.substr(z)).push_back('\n');
            if (texte.size() > (std::size_t{16} << 20)) Vider({&fLas, &fPlyB, &fPlyT, &fPts, &fPtx}, {&bLas, &bPly, &texte, &texte, &ptx});
        });
        Vider({&fLas, &fPlyB, &fPlyT, &fPts, &fPtx}, {&bLas, &bPly, &texte, &texte, &ptx});
    }

    static void Vider(const std::vector<std::ofstream*>& fichiers, const std::vector<std::string*>& tampons) {
        for (std::size_t k = 0; k < fichiers.size(); ++k) *fichiers[k] << *tampons[k];
        for (std::string* t : tampons) t->clear();
    }

    template <class F> static void Parcourir(const std::filesystem::path& scan, F&& f) {
        TFichier texte(scan, TFichier::EMode::Lecture);
        TLignesTexte lignes(texte);
        for (std::string_view ligne; lignes.Suivante(ligne);) f(ligne, LireLigneXYZ(ligne));
    }

    std::filesystem::path base_;
};

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage : tessarc-bench-fichiers SCAN.xyz\n");
        return 2;
    }
    const std::filesystem::path scan = argv[1];
    std::filesystem::path sansExt = scan;
    sansExt.replace_extension();
    sansExt += "-bench";
    std::filesystem::path projet = sansExt;
    projet += ".tsrk";
    std::filesystem::path export_ = sansExt;
    export_ += ".xyz";

    Isoler([&] { BoucleFromChars(scan); });
    Isoler([&] { AnalyseSeule(scan, "analyse du lecteur XYZ    "); });
    Isoler([&] { Ouvrir(scan, "ouverture XYZ complète    "); });
    Isoler([&] { Enregistrer(scan, sansExt); });
    Isoler([&] { Ouvrir(projet, "ouverture du projet       "); });
    {
        const TConversions autres(scan);
        for (const auto& [nom, format] : autres.Fichiers()) {
            Isoler([&] { AnalyseSeule(nom, FormatC("analyse %-18s", format).c_str()); });
            Isoler([&] { Ouvrir(nom, FormatC("ouverture %-16s", format).c_str()); });
        }
    }
    std::filesystem::remove(projet);
    std::filesystem::remove(export_);
    return 0;
}

// Opening scans, measured on a generated vault:
//   build/tools/tessarc-genvoute --points 5000000 --sortie /tmp/voute5m.xyz
//   build/bench/tessarc-bench-fichiers /tmp/voute5m.xyz
// Each measure runs in its own process so that its peak memory is its own. The project file and the
// export are written beside the scan and removed at the end.

#include "Document.h"
#include "Fichier.h"
#include "LecteurXYZ.h"

#include <charconv>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
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

void AnalyseSeule(const std::filesystem::path& nom) {
    TFichier f(nom, TFichier::EMode::Lecture);
    TFichier nul("/dev/null", TFichier::EMode::Creation);
    TSortiePoints sortie(nom, nul);
    ProgressionMuette muette;
    const auto debut = Horloge::now();
    ConvertirTexteEnPoints(f, sortie, muette);
    sortie.Terminer();
    const std::int64_t n = sortie.Nombre();
    const double s = Secondes(debut);
    std::printf("analyse du lecteur XYZ    : %.3f s, %.1f millions de lignes/s\n", s,
                static_cast<double>(n) / s / 1e6);
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
    Isoler([&] { AnalyseSeule(scan); });
    Isoler([&] { Ouvrir(scan, "ouverture XYZ complète    "); });
    Isoler([&] { Enregistrer(scan, sansExt); });
    Isoler([&] { Ouvrir(projet, "ouverture du projet       "); });
    std::filesystem::remove(projet);
    std::filesystem::remove(export_);
    return 0;
}

// Opening scans, measured on generated vaults:
//   build/tools/tessarc-genvoute --points 5000000 --sortie /tmp/voute5m.xyz
//   build/bench/tessarc-bench-fichiers [--repetitions 5] /tmp/voute5m.xyz [/tmp/voute20m.xyz ...]
// For each scan: a bare from_chars parse of the file, the XYZ reader alone, the whole open of the scan,
// the project file saved from it and its open, each the median of the runs; the ratios are taken from
// these medians. Every run is its own process, so that its peak memory is its own. The two opens are
// also timed as tessarc-cli proprietes runs, process start and end included, when the tool is built
// beside the benchmark. Then the same points as LAS, PLY, PTS and PTX, each read and opened once, and the
// widest boxes: scans with one stray point far away. The project file, the export and the other formats
// are written beside the scan and removed.

#include "Document.h"
#include "EcrireScans.h"
#include "Fichier.h"
#include "Formats.h"
#include "LecteurXYZ.h"
#include "LignesTexte.h"
#include "Nombres.h"

#include <algorithm>
#include <charconv>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <exception>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

using namespace tessarc;

namespace {

using Horloge = std::chrono::steady_clock;

struct TMesure {
    double Secondes = 0.0;
    double PicMo = 0.0; // peak resident memory of the process, MB
    std::int64_t Points = 0;
    std::int64_t Cubes = 0; // 1.6 mm cubes
    bool Reussi = false;
};

double Secondes(Horloge::time_point debut) {
    return std::chrono::duration<double>(Horloge::now() - debut).count();
}

// Runs f in a child process, which hands its measure back through a pipe.
TMesure Isoler(const std::function<TMesure()>& f) {
    int tube[2];
    if (pipe(tube) != 0) return {};
    std::fflush(stdout);
    const pid_t pid = fork();
    if (pid == 0) {
        close(tube[0]);
        TMesure m = f();
        rusage ru{};
        getrusage(RUSAGE_SELF, &ru);
        m.PicMo = static_cast<double>(ru.ru_maxrss) * 1024.0 / 1e6;
        if (write(tube[1], &m, sizeof m) != static_cast<ssize_t>(sizeof m)) _exit(1);
        _exit(0);
    }
    close(tube[1]);
    TMesure m;
    if (read(tube[0], &m, sizeof m) != static_cast<ssize_t>(sizeof m)) m = {};
    close(tube[0]);
    int etat = 0;
    waitpid(pid, &etat, 0);
    return m;
}

// The median run of n, by time.
template <typename F> TMesure MedianeDe(int n, F&& mesure) {
    std::vector<TMesure> m;
    m.reserve(static_cast<std::size_t>(n));
    for (int i = 0; i < n; ++i) m.push_back(mesure());
    std::sort(m.begin(), m.end(), [](const TMesure& a, const TMesure& b) { return a.Secondes < b.Secondes; });
    return m[m.size() / 2];
}

// The median of n runs of f, each in its own process; peak memory and counts of the median run.
TMesure Mediane(int n, const std::function<TMesure()>& f) {
    return MedianeDe(n, [&] { return Isoler(f); });
}

// The same buffered reading and line cutting as the reader, each line read with from_chars alone:
// three doubles and three integers, no checks.
TMesure BoucleFromChars(const std::filesystem::path& nom) {
    TFichier f(nom, TFichier::EMode::Lecture);
    const auto debut = Horloge::now();
    auto tampon = std::make_unique<char[]>(TLignesTexte::TailleTamponDefaut);
    std::size_t rempli = 0;
    TMesure m;
    double somme = 0.0;
    for (;;) {
        const std::size_t lu = f.Lire(tampon.get() + rempli, TLignesTexte::TailleTamponDefaut - rempli);
        rempli += lu;
        const char* p = tampon.get();
        const char* const fin = p + rempli;
        while (p < fin) {
            const auto* lf = static_cast<const char*>(std::memchr(p, '\n', static_cast<std::size_t>(fin - p)));
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
            ++m.Points;
            p = lf + 1;
        }
        rempli = static_cast<std::size_t>(fin - p);
        std::memmove(tampon.get(), p, rempli);
        if (lu == 0) break;
    }
    m.Secondes = Secondes(debut);
    m.Reussi = somme != 0.0;
    return m;
}

// The reader of the table alone, its points sent nowhere.
TMesure AnalyseSeule(const std::filesystem::path& nom) {
    TFichier f(nom, TFichier::EMode::Lecture);
    TFichier nul("/dev/null", TFichier::EMode::Creation);
    TSortiePoints sortie(nom, nul);
    ProgressionMuette muette;
    const auto debut = Horloge::now();
    FormatDe(nom)->Lecteur(f, sortie, muette);
    sortie.Terminer();
    TMesure m;
    m.Secondes = Secondes(debut);
    m.Points = sortie.Nombre();
    m.Reussi = true;
    return m;
}

TMesure Ouvrir(const std::filesystem::path& nom, bool dire = true) {
    TDocument doc;
    const auto debut = Horloge::now();
    TMesure m;
    m.Reussi = doc.OuvrirFichier(nom);
    m.Secondes = Secondes(debut);
    m.Points = doc.NbPts;
    m.Cubes = doc.Nuage.NbCubesNiv[4];
    if (!m.Reussi && dire) std::fprintf(stderr, "%s\n", doc.DerniereErreur.c_str());
    return m;
}

TMesure Enregistrer(const std::filesystem::path& nom, const std::filesystem::path& sansExt, int genre) {
    TDocument doc;
    TMesure m;
    if (!doc.OuvrirFichier(nom)) return m;
    doc.PFsansext = sansExt;
    const auto debut = Horloge::now();
    m.Reussi = doc.EnregistrerFichier(genre, 4);
    m.Secondes = Secondes(debut);
    return m;
}

// tessarc-cli proprietes on nom, in its own process, its output discarded.
TMesure Cli(const std::filesystem::path& cli, const std::filesystem::path& nom) {
    std::fflush(stdout);
    const auto debut = Horloge::now();
    const pid_t pid = fork();
    if (pid == 0) {
        std::freopen("/dev/null", "w", stdout);
        execl(cli.c_str(), "tessarc-cli", "proprietes", nom.c_str(), static_cast<char*>(nullptr));
        _exit(127);
    }
    int etat = 0;
    rusage ru{};
    wait4(pid, &etat, 0, &ru);
    TMesure m;
    m.Secondes = Secondes(debut);
    m.PicMo = static_cast<double>(ru.ru_maxrss) * 1024.0 / 1e6;
    m.Reussi = WIFEXITED(etat) && WEXITSTATUS(etat) == 0;
    return m;
}

TMesure MedianeCli(int n, const std::filesystem::path& cli, const std::filesystem::path& nom, const TMesure& ref) {
    TMesure r = MedianeDe(n, [&] { return Cli(cli, nom); });
    r.Points = ref.Points;
    r.Cubes = ref.Cubes;
    return r;
}

std::filesystem::path OutilCli() {
    std::error_code ec;
    const auto exe = std::filesystem::read_symlink("/proc/self/exe", ec);
    const auto cli = exe.parent_path().parent_path() / "src" / "cli" / "tessarc-cli";
    return !ec && std::filesystem::exists(cli) ? cli : std::filesystem::path{};
}

void Afficher(const char* quoi, const TMesure& m) {
    if (!m.Reussi) {
        std::printf("%-28s : échec\n", quoi);
        return;
    }
    std::printf("%-28s : %7.3f s", quoi, m.Secondes);
    if (m.Points > 0) std::printf(", %5.2f M points/s", static_cast<double>(m.Points) / m.Secondes / 1e6);
    if (m.Cubes > 0)
        std::printf(", pic %6.0f Mo (%.1f octets par point), %lld cubes de 1.6 mm", m.PicMo,
                    m.PicMo * 1e6 / static_cast<double>(m.Points), static_cast<long long>(m.Cubes));
    std::printf("\n");
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

void Scan(const std::filesystem::path& scan, int repetitions) {
    // A scan that cannot be read stops the run here rather than failing every measure.
    TFichier(scan, TFichier::EMode::Lecture).Fermer();
    std::filesystem::path sansExt = scan;
    sansExt.replace_extension();
    sansExt += "-bench";
    std::filesystem::path projet = sansExt;
    projet += ".tsrk";

    std::printf("== %s (%d runs a measure, load %s)\n", scan.string().c_str(), repetitions,
                [] {
                    std::ifstream f("/proc/loadavg");
                    std::string charge;
                    f >> charge;
                    return charge;
                }()
                    .c_str());
    const TMesure nue = Mediane(repetitions, [&] { return BoucleFromChars(scan); });
    Afficher("boucle from_chars nue", nue);
    Afficher("analyse du lecteur XYZ", Mediane(repetitions, [&] { return AnalyseSeule(scan); }));
    const TMesure xyz = Mediane(repetitions, [&] { return Ouvrir(scan); });
    Afficher("ouverture XYZ complète", xyz);
    Afficher("enregistrement du projet", Isoler([&] { return Enregistrer(scan, sansExt, GenreProjet); }));
    Afficher("export XYZ", Isoler([&] { return Enregistrer(scan, sansExt, GenreXYZ); }));
    const TMesure tsrk = Mediane(repetitions, [&] { return Ouvrir(projet); });
    Afficher("ouverture du projet", tsrk);
    std::printf("rapports : ouverture XYZ / analyse nue %.2f, ouverture du projet / ouverture XYZ %.2f\n",
                xyz.Secondes / nue.Secondes, tsrk.Secondes / xyz.Secondes);
    if (const auto cli = OutilCli(); !cli.empty()) {
        const TMesure cliXyz = MedianeCli(repetitions, cli, scan, xyz);
        Afficher("tessarc-cli proprietes XYZ", cliXyz);
        const TMesure cliTsrk = MedianeCli(repetitions, cli, projet, tsrk);
        Afficher("tessarc-cli proprietes tsrk", cliTsrk);
        std::printf("rapports : tessarc-cli XYZ / analyse nue %.2f, projet / XYZ %.2f\n",
                    cliXyz.Secondes / nue.Secondes, cliTsrk.Secondes / cliXyz.Secondes);
    }
    {
        const TConversions autres(scan);
        for (const auto& [fichier, format] : autres.Fichiers()) {
            const std::filesystem::path& nom = fichier;
            Afficher(FormatC("analyse %s", format).c_str(), Isoler([&] { return AnalyseSeule(nom); }));
            Afficher(FormatC("ouverture %s", format).c_str(), Isoler([&] { return Ouvrir(nom); }));
        }
    }
    std::printf("\n");
    std::filesystem::remove(projet);
    std::filesystem::remove(sansExt.string() + ".xyz");
}

// Small scans with one stray point far away on X: the tree keeps only the occupied roots.
void Etendues() {
    const std::filesystem::path dossier = std::filesystem::temp_directory_path();
    for (const double loin : {3e3, 1e5, 1e7, 1e9, 3e9}) {
        const std::filesystem::path nom = dossier / "tessarc-bench-etendue.xyz";
        {
            std::ofstream f(nom);
            for (int i = 0; i < 1000; ++i) f << 0.001 * i << " 1.5 2.5 10 20 30\n";
            f << loin << " 1.5 2.5 10 20 30\n";
        }
        const TMesure m = Isoler([&] { return Ouvrir(nom, false); });
        std::printf("point isolé à %-8.0e m    : %s\n", loin, m.Reussi ? "accepté" : "refusé");
        std::filesystem::remove(nom);
    }
}

} // namespace

int main(int argc, char** argv) {
    int repetitions = 5;
    std::vector<std::filesystem::path> scans;
    bool aide = false;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if (a == "--repetitions" && i + 1 < argc)
            repetitions = std::max(1, std::atoi(argv[++i]));
        else if (a.starts_with("-"))
            aide = true;
        else
            scans.emplace_back(a);
    }
    if (scans.empty() || aide) {
        std::fprintf(stderr, "usage : tessarc-bench-fichiers [--repetitions N] SCAN.xyz...\n");
        return 2;
    }
    try {
        for (const auto& scan : scans) Scan(scan, repetitions);
        Etendues();
    } catch (const std::exception& e) {
        std::fprintf(stderr, "tessarc-bench-fichiers : %s\n", e.what());
        return 1;
    }
    return 0;
}

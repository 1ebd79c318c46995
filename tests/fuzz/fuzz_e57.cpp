// The E57 reader on any bytes: it must read or refuse with a message naming the file, never crash,
// leak or allocate beyond what the file holds. A fuzzer would seldom get past the checksums and the XML
// on its own, so most inputs are edits of a valid two-scan file whose pages are then checksummed again:
//   byte 0, bit 0 set: the rest is the file itself;
//   else bit 1 set: the page numbered by byte 1 keeps a wrong checksum;
//   then groups of 4 bytes: offset (2 bytes), value, operation (even: the logical bytes, odd: the XML;
//   bit 1 of an XML operation inserts the value instead of replacing a character).

#include "EcrivainE57.h"
#include "LecteurE57.h"
#include "LectureFuzz.h"

#include <cstdint>
#include <cstdlib>
#include <stdexcept>
#include <string>

using namespace tessarc;
using namespace tessarc::essais;

namespace {

std::vector<TScanEcrit> Modele() {
    using enum ETypeEcrit;
    TScanEcrit a = ScanEssai({{"cartesianX", EntierEchelle, -500, 500, 0.01},
                              {"cartesianY", EntierEchelle, 0, 3000, 0.001},
                              {"cartesianZ", Entier, -(std::int64_t{1} << 62), std::int64_t{1} << 61},
                              {"cartesianInvalidState", Entier, 0, 2},
                              {"colorRed", Entier, 0, 31},
                              {"colorGreen", Entier, 0, 63},
                              {"colorBlue", Entier, 0, 255},
                              {"isColorInvalid", Entier, 0, 1}},
                             20, 6);
    a.PaquetsVides = true;
    a.XmlEnPlus = PoseE57(1, 0.5, 0, 0.25, 10, 20, 30) + "<colorLimits type=\"Structure\">" +
                  ElementE57("colorRedMaximum", "Integer", 31) + "</colorLimits>";
    TScanEcrit b = ScanEssai({{"sphericalRange", Double},
                              {"sphericalAzimuth", Simple},
                              {"sphericalElevation", Double},
                              {"intensity", Entier, 0, 4095},
                              {"isIntensityInvalid", Entier, 0, 1}},
                             7, 5);
    b.Champs[1].ParPaquet = 3;
    b.XmlEnPlus = "<intensityLimits type=\"Structure\">" + ElementE57("intensityMaximum", "Float", 4095) +
                  "</intensityLimits>";
    return {a, b};
}

std::string Retoucher(const std::uint8_t* d, std::size_t n) {
    TRetouchesE57 r;
    if ((d[0] & 2) != 0 && n > 1) r.PageFausse = d[1];
    const std::uint8_t* const fin = d + n;
    auto appliquer = [&](std::string& t, bool xml) {
        for (const std::uint8_t* p = d + 2; p + 4 <= fin && !t.empty(); p += 4) {
            if (((p[3] & 1) != 0) != xml) continue;
            const std::size_t i = (p[0] | std::size_t{p[1]} << 8) % t.size();
            if (xml && (p[3] & 2) != 0)
                t.insert(t.begin() + static_cast<std::ptrdiff_t>(i), static_cast<char>(p[2]));
            else
                t[i] = static_cast<char>(p[2]);
        }
    };
    r.Xml = [&](std::string& t) { appliquer(t, true); };
    r.Logique = [&](std::string& t) { appliquer(t, false); };
    return EcrireE57(Modele(), r);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* donnees, std::size_t taille) {
    if (taille == 0) return 0;
    const std::string fichier = (donnees[0] & 1) != 0
                                    ? std::string(reinterpret_cast<const char*>(donnees + 1), taille - 1)
                                    : Retoucher(donnees, taille);
    // One folder and one output for the whole run: the points are not the question here.
    static const fuzz::TDossierTemporaire dossier(fuzz::EnMemoire);
    static const auto nom = dossier / "entree.e57";
    static TFichier nul("/dev/null", TFichier::EMode::Creation);
    static TSortiePoints sortie(nom, nul);
    (void)dossier.Ecrire("entree.e57", fichier);
    TFichier source(nom, TFichier::EMode::Lecture);
    ProgressionMuette muette;
    try {
        LireE57(source, sortie, muette);
        sortie.Terminer();
    } catch (const std::runtime_error& e) {
        if (std::string(e.what()).rfind("fichier « " + nom.string() + " » : ", 0) != 0) std::abort();
    }
    return 0;
}

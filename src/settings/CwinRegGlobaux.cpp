#include "CwinReg.h"

#include "CwinRegInterne.h"
#include "ListeValeurs.h"
#include "StringUtils.h"
#include "Utils.h"

#include <QFileInfo>

#include <filesystem>

namespace tessarc {

using namespace cwinreg;

void TWinReg::LoadINI(const std::string& nomFichier) {
    FPrmIni = ChargerFichierTexte(nomFichier);
}

void TWinReg::SaveINI(const std::string& nomFichier) {
    RangerFichierTexte(FPrmIni, nomFichier);
}

std::string TWinReg::GetINIStr(std::string_view nomValeur) const {
    return LireValeurNommee(FPrmIni, nomValeur);
}

void TWinReg::PutINIStr(std::string_view nomValeur, std::string_view donneesValeur) {
    FPrmIni = EcrireValeurNommee(FPrmIni, nomValeur, donneesValeur);
}

std::string TWinReg::GetGLBStr(std::string_view nomValeur) {
    return TexteDeValeur(Reglages(QString())->value(Q(nomValeur))).value_or(std::string());
}

void TWinReg::PutGLBStr(std::string_view nomValeur, std::string_view donneesValeur) {
    const auto s = Reglages(QString());
    s->setValue(Q(nomValeur), Q(donneesValeur));
    s->sync();
}

std::string TWinReg::GetAsyncStr(std::string_view nomValeur) {
    return TexteDeValeur(ReglagesAppli()->value(Q(nomValeur))).value_or(std::string());
}

void TWinReg::PutAsyncStr(std::string_view nomValeur, std::string_view donneesValeur) {
    const auto s = ReglagesAppli();
    s->setValue(Q(nomValeur), Q(donneesValeur));
    s->sync();
}

bool TWinReg::ExisteCleAppli() {
    return QFileInfo::exists(ReglagesAppli()->fileName());
}

void TWinReg::UpdateGLB(bool verbose) {
    try {
        std::string chemin = GetGLBStr("path_fichier_environnement_glb");
        std::error_code ec;
        if (chemin.empty() || !std::filesystem::exists(chemin, ec)) {
            chemin = verbose && Environnement().ChoisirFichierEnvironnement
                         ? Environnement().ChoisirFichierEnvironnement()
                         : std::string();
            if (chemin.empty()) return;
            PutGLBStr("path_fichier_environnement_glb", chemin);
        }
        const auto date = std::filesystem::last_write_time(chemin, ec);
        if (ec) return;
        const std::string tampon = std::to_string(date.time_since_epoch().count());
        if (GetGLBStr("date_fichier_environnement_glb") == tampon) return;
        // Read before the stamp is stored, so that an unreadable file is tried again next time.
        const auto valeurs = LireEnvironnementGlb(ChargerFichierTexte(chemin));
        const auto s = Reglages(QString());
        s->setValue(QStringLiteral("date_fichier_environnement_glb"), Q(tampon));
        for (const auto& [nom, valeur] : valeurs) s->setValue(Q(nom), Q(valeur));
        s->sync();
    } catch (const std::exception& e) {
        utilisateur_.Message(e.what());
    }
}

} // namespace tessarc

#include "Document.h"

#include "Chargement.h"
#include "ExportXYZ.h"
#include "Fichier.h"
#include "Projet.h"
#include "Proprietes.h"

#include <limits>
#include <new>
#include <stdexcept>

namespace tessarc {

namespace {

IFenetreDocument SansFenetre;
ProgressionMuette SansProgression;

class TCurseurAttente {
public:
    explicit TCurseurAttente(IFenetreDocument& f) : f_(f) { f_.CurseurAttente(); }
    ~TCurseurAttente() { f_.CurseurPrecedent(); }
    TCurseurAttente(const TCurseurAttente&) = delete;
    TCurseurAttente& operator=(const TCurseurAttente&) = delete;

private:
    IFenetreDocument& f_;
};

std::string Majuscules(std::string s) {
    for (char& c : s)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return s;
}

} // namespace

TDocument::TDocument(IFenetreDocument* fenetre, IProgression* progression)
    : fenetre_(fenetre ? fenetre : &SansFenetre), progression_(progression ? progression : &SansProgression) {
    Nuage.SurMessage = [this](const std::string& texte) { fenetre_->Message(texte); };
}

void TDocument::DefinirFenetre(IFenetreDocument* fenetre) {
    fenetre_ = fenetre ? fenetre : &SansFenetre;
}

void TDocument::DefinirProgression(IProgression* progression) {
    progression_ = progression ? progression : &SansProgression;
}

void TDocument::Echec(const std::string& texte) {
    DerniereErreur = texte;
    fenetre_->Message(texte);
}

void TDocument::ReinitialiserDocument() {
    ScanPret = false;
    NbPts = 0;
    fenetre_->InitVGL();
    fenetre_->AfficherPremierePage();
    Nuage.Vider();
    Maillage = TMaillage{};
    // A new document has no deletions pending.
    DonneesModifiees = false;
}

bool TDocument::FermerDocument() {
    // Also asked when the X-axis transform has emptied the view: the tree and its deletions are still
    // there to save.
    if (DonneesModifiees && (ScanPret || Nuage.NbCubesTotal() > 0)) {
        switch (fenetre_->Question("les données ont été modifiées, enregistrer?")) {
        case TReponse::Oui:
            // A failed save keeps the document: the deletions would be lost otherwise.
            if (!EnregistrerFichier(GenreProjet, Nuage.NivMax)) return false;
            break;
        case TReponse::Non:
            break;
        case TReponse::Annuler:
            return false;
        }
    }
    ReinitialiserDocument();
    return true;
}

bool TDocument::OuvrirFichier(const std::filesystem::path& nom) {
    TCurseurAttente curseur(*fenetre_);
    DerniereErreur.clear();
    int niveau = NivAfficheApresScan;
    bool reussi = true;
    try {
        const std::string ext = Majuscules(nom.extension().string());
        PFsansext = nom;
        PFsansext.replace_extension();
        DernierScan = nom.parent_path();
        constexpr float Max = std::numeric_limits<float>::max();
        Nuage.CooMin = FaireV3S(Max, Max, Max);
        Nuage.CooMax = FaireV3S(-Max, -Max, -Max);
        Nuage.NivMax = 4;
        ReinitialiserDocument();
        if (ext == ".XYZ") {
            Cadrage = LireFichierXYZ(nom, Nuage, NbPts, *progression_);
        } else if (ext == ".TSRK") {
            const TLectureProjet r = LireFichierProjet(nom, Nuage, Maillage, NbPts, *progression_);
            niveau = r.NivAffiche;
            Cadrage = r.Cadrage;
        } else if (ext == ".XYB") {
            Cadrage = LireFichierXYB(nom, Nuage, NbPts, *progression_);
        } else {
            ErreurFichier(nom, "type de fichier non reconnu" +
                                   (ext.empty() ? std::string() : " (" + ext + ")") +
                                   ", les types lus sont .xyz, .tsrk et .xyb");
        }
    } catch (const std::bad_alloc&) {
        Echec("fichier « " + nom.string() + " » : mémoire insuffisante pour le charger");
        reussi = false;
    } catch (const std::exception& e) {
        Echec(e.what());
        reussi = false;
    }
    if (!reussi) {
        ReinitialiserDocument();
        niveau = NivAfficheApresScan;
    }
    NivAfficheCharge = niveau;
    FinChargement(niveau);
    return reussi;
}

void TDocument::FinChargement(int niveau) {
    Nuage.CalculerMoyennesRacines();
    ChangerNivAffiche(niveau);
    ScanPret = true;
    fenetre_->AppliquerCadrage(Cadrage);
}

void TDocument::ChangerNivAffiche(int niveau) {
    if (niveau > Nuage.NivMax) niveau = Nuage.NivMax;
    if (niveau < 0) niveau = 0;
    fenetre_->NivAfficheChoisi(niveau);
    Nuage.ChoisirNivAffiche(niveau);
    Maillage.Triangles.clear();
    fenetre_->RetracerTout();
}

std::filesystem::path TDocument::NomFichier(int genre) const {
    std::filesystem::path nom = PFsansext;
    nom += genre == GenreProjet ? ".tsrk" : ".xyz";
    return nom;
}

bool TDocument::EnregistrerFichier(int genre, int niveau) {
    return EnregistrerFichierSous(genre, niveau, NomFichier(genre));
}

bool TDocument::EnregistrerFichierSous(int genre, int niveau, const std::filesystem::path& nom) {
    TCurseurAttente curseur(*fenetre_);
    DerniereErreur.clear();
    try {
        if (niveau < 0 || niveau >= NbNiveaux)
            throw std::invalid_argument("niveau " + std::to_string(niveau) + " hors de 0 à 4");
        if (niveau > Nuage.NivMax) niveau = Nuage.NivMax;
        if (DonneesModifiees) {
            Nuage.CompacterNuage();
            Cadrage = Nuage.CalculerEtendue();
            fenetre_->RetracerTout();
            fenetre_->AppliquerCadrage(Cadrage);
        }
        if (genre == GenreProjet) {
            EcrireFichierProjet(nom, Nuage, Maillage, niveau, Nuage.NivAffiche, ProgressionEnregistrement);
            // The whole tree is on the disk: nothing is pending any more.
            if (niveau == Nuage.NivMax) DonneesModifiees = false;
        } else if (genre == GenreXYZ) {
            EcrireExportXYZ(nom, Nuage, niveau, ProgressionEnregistrement);
        }
        return true;
    } catch (const std::bad_alloc&) {
        Echec("mémoire insuffisante pour enregistrer « " + nom.string() + " »");
    } catch (const std::exception& e) {
        Echec(e.what());
    }
    return false;
}

bool TDocument::EnregistrerSousNiveau(const std::filesystem::path& choisi, int filtre, int niveau) {
    PFsansext = choisi;
    PFsansext.replace_extension();
    if (filtre == 1) return EnregistrerFichier(GenreProjet, niveau);
    if (filtre == 2) return EnregistrerFichier(GenreXYZ, niveau);
    return true;
}

std::string TDocument::Proprietes() const {
    return TexteProprietes(Nuage, NbPts);
}

} // namespace tessarc

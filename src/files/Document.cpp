#include "Document.h"

#include "Chargement.h"
#include "ExportXYZ.h"
#include "Fichier.h"
#include "Formats.h"
#include "Projet.h"
#include "Proprietes.h"

#include <limits>
#include <new>
#include <stdexcept>

namespace tessarc {

namespace {

IFenetreDocument SansFenetre;
UtilisateurMuet SansUtilisateur;

class TCurseurAttente {
public:
    explicit TCurseurAttente(IFenetreDocument& f) : f_(f) { f_.CurseurAttente(); }
    ~TCurseurAttente() { f_.CurseurPrecedent(); }
    TCurseurAttente(const TCurseurAttente&) = delete;
    TCurseurAttente& operator=(const TCurseurAttente&) = delete;

private:
    IFenetreDocument& f_;
};

} // namespace

TDocument::TDocument(IFenetreDocument* fenetre, IUtilisateur* utilisateur)
    : fenetre_(fenetre ? fenetre : &SansFenetre), utilisateur_(utilisateur ? utilisateur : &SansUtilisateur),
      saisieConnue_(SaisieActuelle()) {
    Nuage.SurMessage = [this](const std::string& texte) { utilisateur_->Message(texte); };
}

void TDocument::DefinirFenetre(IFenetreDocument* fenetre) {
    fenetre_ = fenetre ? fenetre : &SansFenetre;
}

void TDocument::DefinirUtilisateur(IUtilisateur* utilisateur) {
    utilisateur_ = utilisateur ? utilisateur : &SansUtilisateur;
}

void TDocument::Echec(const std::string& texte) {
    DerniereErreur = texte;
    utilisateur_->Message(texte);
}

void TDocument::ReinitialiserDocument() {
    ScanPret = false;
    NbPts = 0;
    fenetre_->InitVGL();
    fenetre_->AfficherPremierePage();
    Nuage.Vider();
    Maillage = TMaillage{};
    Decalage = TV3R{};
    Remarques.clear();
    // A new document has no deletions pending.
    DonneesModifiees = false;
    saisieConnue_ = SaisieActuelle();
}

TSaisieMaillage TDocument::SaisieActuelle() const {
    return {Maillage.Frontiere, Maillage.OrigineGrille, Maillage.TrameGrille};
}

bool TDocument::MaillageModifie() const {
    const TSaisieMaillage actuelle = SaisieActuelle();
    // Without a boundary, the grid settings mean nothing: the grid page sets its origin on every visit.
    if (actuelle.Frontiere.empty() && saisieConnue_.Frontiere.empty()) return false;
    return actuelle != saisieConnue_;
}

bool TDocument::FermerDocument() {
    // Also asked when the X-axis transform has emptied the view: the tree and its deletions are still
    // there to save.
    if ((DonneesModifiees || MaillageModifie()) && (ScanPret || Nuage.NbCubesTotal() > 0)) {
        switch (utilisateur_->Question("les données ont été modifiées, enregistrer?")) {
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
    const TFormat* format = FormatDe(nom);
    if (format == nullptr) {
        Echec(TexteTypeInconnu(nom));
        return false;
    }
    TCurseurAttente curseur(*fenetre_);
    DerniereErreur.clear();
    int niveau = NivAfficheApresScan;
    bool reussi = true;
    try {
        PFsansext = nom;
        PFsansext.replace_extension();
        DernierScan = nom.parent_path();
        constexpr float Max = std::numeric_limits<float>::max();
        Nuage.CooMin = FaireV3S(Max, Max, Max);
        Nuage.CooMax = FaireV3S(-Max, -Max, -Max);
        Nuage.NivMax = 4;
        ReinitialiserDocument();
        niveau = Charger(nom, *format);
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
    saisieConnue_ = SaisieActuelle();
    return reussi;
}

int TDocument::Charger(const std::filesystem::path& nom, const TFormat& format) {
    if (format.Lecteur == nullptr) {
        const TLectureProjet r = LireFichierProjet(nom, Nuage, Maillage, NbPts, *utilisateur_);
        Cadrage = r.Cadrage;
        Decalage = r.Decalage;
        return r.NivAffiche;
    }
    TChargement r = ChargerScan(nom, format.Lecteur, Nuage, *utilisateur_);
    Cadrage = r.Cadrage;
    NbPts = r.NbPts;
    Decalage = r.Decalage;
    Remarques = std::move(r.Remarques);
    return NivAfficheApresScan;
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
        IProgression* const progression = SuivreEnregistrement ? utilisateur_ : nullptr;
        if (genre == GenreProjet) {
            EcrireFichierProjet(nom, Nuage, Maillage, niveau, Nuage.NivAffiche, Decalage, progression);
            // The whole tree is on the disk: nothing is pending any more. The meshing input is kept at
            // every level.
            if (niveau == Nuage.NivMax) DonneesModifiees = false;
            saisieConnue_ = SaisieActuelle();
        } else if (genre == GenreXYZ) {
            EcrireExportXYZ(nom, Nuage, niveau, Decalage, progression);
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
    return TexteProprietes(Nuage, NbPts, Decalage);
}

} // namespace tessarc

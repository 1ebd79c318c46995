#pragma once
// The document the main window owns: the cloud, the meshing state, the file name and the flags, with
// the operations that open, reset, close and save it. The window keeps its dialogs and hands the chosen
// names to these operations. Messages, questions and progress go to the user's channel (IUtilisateur);
// what only a window does with its view goes through IFenetreDocument, whose defaults do nothing, so
// that the command-line tool and the tests run without one.

#include "Formats.h"
#include "Maillage.h"
#include "UTessarcGlb.h"
#include "Utilisateur.h"

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace tessarc {

class IFenetreDocument {
public:
    virtual ~IFenetreDocument() = default;
    // Deletes the view's display lists (points, orientation glyph, surface).
    virtual void InitVGL() {}
    // Shows page 0 ("Nettoyage"), runs the page-change handler and leaves the plan view.
    virtual void AfficherPremierePage() {}
    // Takes the framing computed from the bounding box and returns the view to the X-Z plane.
    virtual void AppliquerCadrage(const TCadrage&) {}
    // The displayed level was set: select its entry in the level list (without running its handler).
    virtual void NivAfficheChoisi(int) {}
    // Discards the display lists and repaints.
    virtual void RetracerTout() {}
    virtual void CurseurAttente() {}
    virtual void CurseurPrecedent() {}
};

// What a project file keeps of the meshing work: the boundary, the grid origin and the spacing.
struct TSaisieMaillage {
    std::vector<TV3S> Frontiere;
    TV3S OrigineGrille{};
    float TrameGrille = 0.0f;
    friend bool operator==(const TSaisieMaillage&, const TSaisieMaillage&) = default;
};

// Level shown after loading a text or ".xyb" scan (or after a failed load): 4 cm cubes, an overview
// that draws quickly; lowered to NivMax when the tree is shallower.
inline constexpr int NivAfficheApresScan = 2;

class TDocument {
public:
    // Either may be null: no window, nobody to tell. The user hears the failures, the save question,
    // the progress of loads and the tree's own reports.
    explicit TDocument(IFenetreDocument* fenetre = nullptr, IUtilisateur* utilisateur = nullptr);
    TDocument(const TDocument&) = delete;
    TDocument& operator=(const TDocument&) = delete;

    void DefinirFenetre(IFenetreDocument* fenetre);
    void DefinirUtilisateur(IUtilisateur* utilisateur);

    TNuage Nuage;
    TMaillage Maillage;
    std::int64_t NbPts = 0;                     // point records read by the last load
    bool DonneesModifiees = false;              // deletions pending (set and cleared by the editing commands)
    bool ScanPret = false;                      // a cloud is loaded and may be drawn
    std::filesystem::path PFsansext;            // the document's path without extension: saves add theirs
    std::filesystem::path DernierScan;          // folder of the last opened file
    TCadrage Cadrage;                           // framing from the last CalculerEtendue
    TV3R Decalage{};                            // true coordinate = stored + Decalage (far scans)
    int NivAfficheCharge = NivAfficheApresScan; // level asked by the last load, before lowering
    std::string DerniereErreur;                 // text of the last failure, empty after a success
    std::vector<std::string> Remarques;         // notes of the last load's reader for the user
    // Saves show no progress in the window; the command-line tool turns this on to stop a save on Ctrl-C.
    bool SuivreEnregistrement = false;

    // Empties the document: tree, meshing state, flags; asks the window to drop its lists and go back
    // to page 0.
    void ReinitialiserDocument();
    // The meshing input differs from what the last open, reset or project save left: the boundary, the
    // grid origin or the spacing would be lost. Computed, so that no change is missed wherever it comes
    // from; unlike DonneesModifiees it never makes a save compact the tree.
    [[nodiscard]] bool MaillageModifie() const;
    // The save question when deletions are pending or the meshing input changed on a loaded cloud, then
    // the reset. False, with the
    // document unchanged, when the question was closed without a choice or the save failed.
    [[nodiscard]] bool FermerDocument();
    // Opens nom (a type of the table of formats, in any case) into the document, which it first empties;
    // on a failure the user hears the message and the document is left empty. The closing block runs
    // either way: averages, displayed level, ScanPret, framing. Returns false on a failure. A type the
    // table does not hold is refused before anything changes.
    bool OuvrirFichier(const std::filesystem::path& nom);
    // Compacts the tree when deletions are pending, then writes PFsansext + ".tsrk" (GenreProjet) or
    // PFsansext + ".xyz" (GenreXYZ) with the cubes of niveau (lowered to NivMax); another kind writes
    // nothing. The file is replaced atomically; a failure is reported and leaves any previous file.
    bool EnregistrerFichier(int genre, int niveau);
    // The same save under an explicit name (the command-line tool writes the name it was given).
    bool EnregistrerFichierSous(int genre, int niveau, const std::filesystem::path& nom);
    // After the save dialog: PFsansext := the chosen path without its extension, then filter 1 saves a
    // project, filter 2 an XYZ file, any other filter nothing.
    bool EnregistrerSousNiveau(const std::filesystem::path& choisi, int filtre, int niveau);
    // Shows a level (lowered to NivMax), empties the triangles, redraws.
    void ChangerNivAffiche(int niveau);
    [[nodiscard]] std::string Proprietes() const;
    [[nodiscard]] std::filesystem::path NomFichier(int genre) const;

private:
    // The reading proper; returns the level to show.
    int Charger(const std::filesystem::path& nom, const TFormat& format);
    void FinChargement(int niveau);
    void Echec(const std::string& texte);
    [[nodiscard]] TSaisieMaillage SaisieActuelle() const;

    IFenetreDocument* fenetre_;
    IUtilisateur* utilisateur_;
    TSaisieMaillage saisieConnue_; // as the last open, reset or project save left it
};

} // namespace tessarc

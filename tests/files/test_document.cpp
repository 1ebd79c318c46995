#include "Document.h"
#include "DonneesPartagees.h"
#include "DossierTemporaire.h"
#include "Lignes.h"
#include "PointFichier.h"
#include "Projet.h"
#include "UtilisateurEspion.h"

#include <gtest/gtest.h>

#include <map>
#include <set>
#include <tuple>

using namespace tessarc;
using namespace tessarc::essais;

namespace {

// Records what the document asks of the window.
class TFenetreEspion final : public IFenetreDocument {
public:
    void InitVGL() override { Appels.push_back("InitVGL"); }
    void AfficherPremierePage() override { Appels.push_back("page 0"); }
    void AppliquerCadrage(const TCadrage& c) override {
        Appels.push_back("cadrage");
        Cadrage = c;
    }
    void NivAfficheChoisi(int n) override { Appels.push_back("niveau " + std::to_string(n)); }
    void CurseurAttente() override { ++Curseurs; }
    void CurseurPrecedent() override { --Curseurs; }

    std::vector<std::string> Appels;
    TCadrage Cadrage;
    int Curseurs = 0;
};

// A small scan over two root cubes.
const char* const PetitScan = "0.1 0.1 0.1 10 20 30\n"
                              "0.1005 0.1 0.1 20 20 30\n" // the same 1.6 mm cube
                              "0.5 0.5 0.5 255 0 0\n"
                              "1.5 0.2 0.3 0 255 0\n"
                              "0.9 0.9 0.9\n";

using TCleCube = std::tuple<float, float, float, int, int, int>;

std::multiset<TCleCube> Cubes(const TNuage& n, int niveau) {
    std::multiset<TCleCube> r;
    for (const TCube* c = n.TeteNiv(niveau); c != nullptr; c = n.Suivant(c))
        r.emplace(c->CooMoyPts[1], c->CooMoyPts[2], c->CooMoyPts[3], c->ColCube[1], c->ColCube[2],
                  c->ColCube[3]);
    return r;
}

class Document : public ::testing::Test {
protected:
    TDossierTemporaire dossier;
    TFenetreEspion fenetre;
    TUtilisateurEspion utilisateur;
    TDocument doc{&fenetre, &utilisateur};
};

} // namespace

TEST_F(Document, OpensATextScanAndRemovesItsTemporaryFile) {
    ASSERT_TRUE(doc.OuvrirFichier(dossier.Ecrire("voute.Xyz", PetitScan))) << doc.DerniereErreur;
    EXPECT_EQ(doc.NbPts, 5);
    EXPECT_EQ(doc.PFsansext, dossier / "voute");
    EXPECT_EQ(doc.DernierScan, dossier.Chemin());
    EXPECT_TRUE(doc.ScanPret);
    EXPECT_EQ(dossier.Contenu(), std::vector<std::string>{"voute.Xyz"});
    EXPECT_EQ(doc.Nuage.NivMax, 4);
    EXPECT_EQ(doc.Nuage.NbCubesNiv[0], 2);
    EXPECT_EQ(doc.Nuage.NbCubesNiv[4], 4);
    EXPECT_EQ(doc.Nuage.NivAffiche, NivAfficheApresScan);
    EXPECT_EQ(doc.Nuage.CooMin, FaireV3S(0.1f, 0.1f, 0.1f));
    EXPECT_EQ(doc.Nuage.CooMax, FaireV3S(1.5f, 0.9f, 0.9f));
    // The averages ran: the leaf of two points holds their mean and count.
    const TCube* feuille = doc.Nuage.TeteNiv(4);
    for (; feuille != nullptr && feuille->nbptscube != 2; feuille = doc.Nuage.Suivant(feuille)) {
    }
    ASSERT_NE(feuille, nullptr);
    EXPECT_EQ(feuille->ColCube[1], 15);
    EXPECT_EQ(fenetre.Curseurs, 0);
    EXPECT_EQ(fenetre.Appels.back(), "cadrage");
    EXPECT_DOUBLE_EQ(fenetre.Cadrage.CentreRotAbs[1], 0.8f);
    EXPECT_TRUE(utilisateur.Messages.empty());
}

TEST_F(Document, AnUnknownTypeChangesNothing) {
    ASSERT_TRUE(doc.OuvrirFichier(dossier.Ecrire("bon.xyz", PetitScan)));
    const std::int64_t cubes = doc.Nuage.NbCubesTotal();
    for (const char* nom : {"scan.txt", "scan"}) {
        EXPECT_FALSE(doc.OuvrirFichier(dossier.Ecrire(nom, "1 2 3\n")));
        EXPECT_NE(doc.DerniereErreur.find("type de fichier non reconnu"), std::string::npos)
            << doc.DerniereErreur;
        EXPECT_NE(doc.DerniereErreur.find(nom), std::string::npos) << doc.DerniereErreur;
        EXPECT_EQ(utilisateur.Messages.back(), doc.DerniereErreur);
        EXPECT_EQ(doc.NbPts, 5);
        EXPECT_EQ(doc.Nuage.NbCubesTotal(), cubes);
        EXPECT_EQ(doc.PFsansext, dossier / "bon");
    }
}

TEST_F(Document, RefusesEmptyAndMalformedFilesLeavingAnEmptyDocument) {
    for (const auto& [nom, attendu] :
         std::map<std::string, std::string>{{"vide.xyz", "aucun point"},
                                            {"vide.xyb", "aucun point"},
                                            {"impair.xyb", "pas un multiple de 16"}}) {
        ASSERT_TRUE(doc.OuvrirFichier(dossier.Ecrire("bon.xyz", PetitScan)));
        EXPECT_FALSE(
            doc.OuvrirFichier(dossier.Ecrire(nom, nom == "impair.xyb" ? std::string(17, 'x') : std::string())));
        EXPECT_NE(doc.DerniereErreur.find(attendu), std::string::npos) << doc.DerniereErreur;
        EXPECT_NE(doc.DerniereErreur.find(nom), std::string::npos) << doc.DerniereErreur;
        EXPECT_EQ(utilisateur.Messages.back(), doc.DerniereErreur);
        EXPECT_EQ(doc.NbPts, 0);
        EXPECT_EQ(doc.Nuage.NbCubesTotal(), 0);
        EXPECT_TRUE(doc.Nuage.CubesAffiches.empty());
        EXPECT_TRUE(doc.ScanPret); // the closing block ran
        EXPECT_EQ(fenetre.Curseurs, 0);
        std::filesystem::remove(dossier / nom);
    }
    EXPECT_EQ(dossier.Contenu(), std::vector<std::string>{"bon.xyz"});
}

TEST_F(Document, AnAbandonOrAFailureResetsTheDocumentAndRemovesTheTemporaryFile) {
    std::string grand;
    for (int i = 0; i < 500; ++i) grand += std::to_string(i % 7) + ".25 1.5 2.75 1 2 3\n";
    for (const char* arret : {"lecture", "construction"}) {
        TUtilisateurEspion espion(arret);
        doc.DefinirUtilisateur(&espion);
        EXPECT_FALSE(doc.OuvrirFichier(dossier.Ecrire("grand.xyz", grand)));
        EXPECT_EQ(doc.DerniereErreur, "abandon");
        EXPECT_EQ(doc.Nuage.NbCubesTotal(), 0);
        EXPECT_EQ(dossier.Contenu(), std::vector<std::string>{"grand.xyz"}) << arret;
    }
    doc.DefinirUtilisateur(&utilisateur);
    EXPECT_FALSE(doc.OuvrirFichier(dossier.Ecrire("grand.xyz", grand + "1 1 -4e38\n")));
    EXPECT_NE(doc.DerniereErreur.find("ligne 501"), std::string::npos);
    // A stray point kilometres away is one more root, not a grid of every cubic metre between.
    EXPECT_TRUE(doc.OuvrirFichier(dossier.Ecrire("grand.xyz", grand + "2500000.5 1200000.25 400\n")));
    EXPECT_EQ(doc.Nuage.NbCubesNiv[0], 8);
    EXPECT_FALSE(doc.OuvrirFichier(dossier.Ecrire("grand.xyz", grand + "1e30 0 0\n")));
    EXPECT_NE(doc.DerniereErreur.find("étendue du nuage trop grande"), std::string::npos)
        << doc.DerniereErreur;
    EXPECT_EQ(dossier.Contenu(), std::vector<std::string>{"grand.xyz"});
}

TEST_F(Document, ProjectRoundTripAtTheLeafLevelKeepsEveryCubeAndTheMeshingSettings) {
    ASSERT_TRUE(doc.OuvrirFichier(dossier.Ecrire("voute.xyz", PetitScan)));
    const auto feuilles = Cubes(doc.Nuage, 4);
    const TV3S mini = doc.Nuage.CooMin, maxi = doc.Nuage.CooMax;
    doc.Maillage.Frontiere = {FaireV3S(0, 0, 0.1f), FaireV3S(2, 0, 0.1f), FaireV3S(1, 1, 0.1f)};
    doc.Maillage.OrigineGrille = FaireV3S(-0.5f, 0.25f, 0);
    doc.Maillage.TrameGrille = 0.3f;
    ASSERT_TRUE(doc.EnregistrerFichier(GenreProjet, doc.Nuage.NivMax));
    const std::string octets = LireFichier(dossier / "voute.tsrk");
    ASSERT_EQ(octets.size(), 80u + 3 * 12 + 4 * 16);

    TDocument relu;
    ASSERT_TRUE(relu.OuvrirFichier(dossier / "voute.tsrk")) << relu.DerniereErreur;
    EXPECT_EQ(relu.Nuage.NivMax, 4);
    EXPECT_EQ(relu.NbPts, 4);
    EXPECT_EQ(relu.Nuage.NbCubesNiv, doc.Nuage.NbCubesNiv);
    EXPECT_EQ(Cubes(relu.Nuage, 4), feuilles);
    EXPECT_EQ(relu.Maillage.Frontiere, doc.Maillage.Frontiere);
    EXPECT_EQ(relu.Maillage.OrigineGrille, doc.Maillage.OrigineGrille);
    EXPECT_EQ(relu.Maillage.TrameGrille, 0.3f);
    EXPECT_EQ(relu.Nuage.CooMin, mini);
    EXPECT_EQ(relu.Nuage.CooMax, maxi);
    EXPECT_EQ(relu.Nuage.NivAffiche, NivAfficheApresScan);

    // Saving again right after the load writes the same records in reverse order.
    relu.PFsansext = dossier / "encore";
    ASSERT_TRUE(relu.EnregistrerFichier(GenreProjet, 4));
    const std::string encore = LireFichier(dossier / "encore.tsrk");
    ASSERT_EQ(encore.size(), octets.size());
    const std::size_t debut = 80 + 36;
    for (std::size_t i = 0; i < 4; ++i)
        EXPECT_EQ(encore.substr(debut + 16 * i, 16), octets.substr(debut + 16 * (3 - i), 16)) << i;

    // The XYZ exports of both documents hold the same lines.
    ASSERT_TRUE(doc.EnregistrerFichier(GenreXYZ, 4));
    ASSERT_TRUE(relu.EnregistrerFichier(GenreXYZ, 4));
    auto a = Lignes(LireFichier(dossier / "voute.xyz"));
    auto b = Lignes(LireFichier(dossier / "encore.xyz"));
    ASSERT_EQ(a.size(), 4u);
    std::sort(a.begin(), a.end());
    std::sort(b.begin(), b.end());
    EXPECT_EQ(a, b);
}

TEST_F(Document, AProjectSavedAtLevelTwoReloadsWithTwoLevelsAndShowsLevelTwoForFour) {
    ASSERT_TRUE(doc.OuvrirFichier(dossier.Ecrire("voute.xyz", PetitScan)));
    doc.ChangerNivAffiche(2);
    ASSERT_TRUE(doc.EnregistrerFichier(GenreProjet, 2));
    TDocument relu;
    ASSERT_TRUE(relu.OuvrirFichier(dossier / "voute.tsrk"));
    EXPECT_EQ(relu.Nuage.NivMax, 2);
    EXPECT_EQ(relu.Nuage.NbCubesNiv[2], doc.Nuage.NbCubesNiv[2]);
    EXPECT_EQ(relu.Nuage.NbCubesNiv[3], 0);
    for (const TCube* c = relu.Nuage.TeteNiv(2); c != nullptr; c = relu.Nuage.Suivant(c))
        EXPECT_EQ(c->nbptscube, 1);
    relu.ChangerNivAffiche(4);
    EXPECT_EQ(relu.Nuage.NivAffiche, 2);
    EXPECT_EQ(relu.Nuage.CubesAffiches.size(), static_cast<std::size_t>(relu.Nuage.NbCubesNiv[2]));
    EXPECT_NE(relu.Proprietes().find("Définition du scan : 40.0 mm"), std::string::npos);
}

TEST_F(Document, ASaveCompactsDeletedCubesFirst) {
    ASSERT_TRUE(doc.OuvrirFichier(dossier.Ecrire("voute.xyz", PetitScan)));
    // Delete the level-2 cube that holds the point (1.5, 0.2, 0.3).
    TCube* cible = nullptr;
    for (TCube* c = doc.Nuage.TeteNiv(2); c != nullptr; c = doc.Nuage.Suivant(c))
        if (c->CooOriCube[1] >= 1.0f) cible = c;
    ASSERT_NE(cible, nullptr);
    doc.Nuage.MarquerSupprime(cible, true);
    doc.DonneesModifiees = true;
    doc.Maillage.Triangles.resize(3);
    ASSERT_TRUE(doc.EnregistrerFichier(GenreProjet, 4));
    EXPECT_EQ(doc.Nuage.NbCubesNiv[4], 3);
    EXPECT_EQ(doc.Nuage.NbCubesNiv[0], 1);
    EXPECT_EQ(LireFichier(dossier / "voute.tsrk").size(), 80u + 3 * 16);
    EXPECT_FALSE(doc.DonneesModifiees); // the whole tree is on the disk
    EXPECT_EQ(doc.Nuage.CubesAffiches.size(), static_cast<std::size_t>(doc.Nuage.NbCubesNiv[2]));
}

TEST_F(Document, TheSaveQuestionHasThreeOutcomes) {
    const auto scan = dossier.Ecrire("voute.xyz", PetitScan);
    // Nothing pending: no question.
    ASSERT_TRUE(doc.OuvrirFichier(scan));
    EXPECT_TRUE(doc.FermerDocument());
    EXPECT_TRUE(utilisateur.Questions.empty());
    EXPECT_FALSE(doc.ScanPret);

    ASSERT_TRUE(doc.OuvrirFichier(scan));
    doc.DonneesModifiees = true;
    utilisateur.Reponse = TReponse::Annuler;
    EXPECT_FALSE(doc.FermerDocument());
    EXPECT_EQ(utilisateur.Questions.back(), "les données ont été modifiées, enregistrer?");
    EXPECT_TRUE(doc.ScanPret);
    EXPECT_EQ(doc.Nuage.NbCubesNiv[4], 4);

    utilisateur.Reponse = TReponse::Non;
    EXPECT_TRUE(doc.FermerDocument());
    EXPECT_EQ(doc.Nuage.NbCubesTotal(), 0);
    EXPECT_FALSE(std::filesystem::exists(dossier / "voute.tsrk"));
    EXPECT_FALSE(doc.DonneesModifiees);

    ASSERT_TRUE(doc.OuvrirFichier(scan));
    doc.DonneesModifiees = true;
    utilisateur.Reponse = TReponse::Oui;
    EXPECT_TRUE(doc.FermerDocument());
    EXPECT_TRUE(std::filesystem::exists(dossier / "voute.tsrk"));

    // The X-axis transform empties the view, not the tree: its deletions are still offered for saving.
    ASSERT_TRUE(doc.OuvrirFichier(scan));
    doc.DonneesModifiees = true;
    doc.ScanPret = false;
    utilisateur.Questions.clear();
    utilisateur.Reponse = TReponse::Annuler;
    EXPECT_FALSE(doc.FermerDocument());
    EXPECT_EQ(utilisateur.Questions.size(), 1u);
    EXPECT_EQ(doc.Nuage.NbCubesNiv[4], 4);
    utilisateur.Reponse = TReponse::Non;
    EXPECT_TRUE(doc.FermerDocument());

    // A failed save keeps the document.
    utilisateur.Reponse = TReponse::Oui;
    ASSERT_TRUE(doc.OuvrirFichier(scan));
    doc.DonneesModifiees = true;
    std::filesystem::create_directory(dossier / "bloque.tsrk");
    doc.PFsansext = dossier / "bloque";
    EXPECT_FALSE(doc.FermerDocument());
    EXPECT_EQ(doc.Nuage.NbCubesNiv[4], 4);
}

// The boundary, the grid origin and the spacing are asked about like the deletions, until a project
// keeps them; an XYZ export does not, and the pending-deletions flag is never touched.
TEST_F(Document, ChangedMeshingInputIsOfferedForSavingUntilAProjectKeepsIt) {
    const auto scan = dossier.Ecrire("voute.xyz", PetitScan);
    ASSERT_TRUE(doc.OuvrirFichier(scan));
    EXPECT_FALSE(doc.MaillageModifie());
    // Without a boundary the grid settings mean nothing: the grid page moves the origin on every visit.
    doc.Maillage.OrigineGrille = FaireV3S(1.0f, 2.0f, 0.1f);
    EXPECT_FALSE(doc.MaillageModifie());
    doc.Maillage.Frontiere.push_back(FaireV3S(0.1f, 0.2f, 0.1f));
    EXPECT_TRUE(doc.MaillageModifie());
    utilisateur.Reponse = TReponse::Annuler;
    EXPECT_FALSE(doc.FermerDocument());
    ASSERT_EQ(utilisateur.Questions, std::vector<std::string>{"les données ont été modifiées, enregistrer?"});
    EXPECT_EQ(doc.Maillage.Frontiere.size(), 1u) << "the boundary is kept";

    ASSERT_TRUE(doc.EnregistrerFichier(GenreXYZ, 4));
    EXPECT_TRUE(doc.MaillageModifie()) << "an XYZ file keeps no boundary";
    ASSERT_TRUE(doc.EnregistrerFichier(GenreProjet, 1));
    EXPECT_FALSE(doc.MaillageModifie()) << "a project at any level keeps it";
    EXPECT_FALSE(doc.DonneesModifiees);

    // Only a real difference counts.
    doc.Maillage.TrameGrille = 0.5f;
    EXPECT_TRUE(doc.MaillageModifie());
    doc.Maillage.TrameGrille = 0.2f;
    EXPECT_FALSE(doc.MaillageModifie());
    doc.Maillage.OrigineGrille[3] = -1.0f;
    EXPECT_TRUE(doc.MaillageModifie());
    utilisateur.Reponse = TReponse::Oui;
    EXPECT_TRUE(doc.FermerDocument());
    EXPECT_FALSE(doc.MaillageModifie()) << "a reset is a new start";

    // What a project brings is what it holds.
    ASSERT_TRUE(doc.OuvrirFichier(dossier / "voute.tsrk"));
    EXPECT_EQ(doc.Maillage.OrigineGrille[3], -1.0f);
    EXPECT_FALSE(doc.MaillageModifie());
    utilisateur.Questions.clear();
    EXPECT_TRUE(doc.FermerDocument());
    EXPECT_TRUE(utilisateur.Questions.empty());
}

TEST_F(Document, SaveAsTakesTheChosenNameWithoutItsExtensionAndTheKindFromTheFilter) {
    ASSERT_TRUE(doc.OuvrirFichier(dossier.Ecrire("voute.xyz", PetitScan)));
    doc.ChangerNivAffiche(1);
    ASSERT_TRUE(doc.EnregistrerSousNiveau(dossier / "vault.txt", 2, doc.Nuage.NivAffiche));
    EXPECT_EQ(doc.PFsansext, dossier / "vault");
    const auto lignes = Lignes(LireFichier(dossier / "vault.xyz"));
    EXPECT_EQ(lignes.size(), static_cast<std::size_t>(doc.Nuage.NbCubesNiv[1]));
    ASSERT_TRUE(doc.EnregistrerSousNiveau(dossier / "rien", 3, 1));
    EXPECT_EQ(doc.PFsansext, dossier / "rien");
    EXPECT_FALSE(std::filesystem::exists(dossier / "rien.tsrk"));
    EXPECT_FALSE(std::filesystem::exists(dossier / "rien.xyz"));
    // The next plain save writes under the new name.
    ASSERT_TRUE(doc.EnregistrerFichier(GenreProjet, doc.Nuage.NivMax));
    EXPECT_TRUE(std::filesystem::exists(dossier / "rien.tsrk"));
}

TEST_F(Document, ResetEmptiesTheTreeTheMeshingStateAndAsksTheWindowForPageZero) {
    ASSERT_TRUE(doc.OuvrirFichier(dossier.Ecrire("voute.xyz", PetitScan)));
    doc.Maillage.Frontiere.resize(4);
    doc.Maillage.TrameGrille = 1.0f;
    doc.Maillage.Triangles.resize(2);
    fenetre.Appels.clear();
    doc.ReinitialiserDocument();
    EXPECT_EQ(fenetre.Appels, (std::vector<std::string>{"InitVGL", "page 0"}));
    EXPECT_FALSE(doc.ScanPret);
    EXPECT_EQ(doc.NbPts, 0);
    EXPECT_EQ(doc.Nuage.NbCubesTotal(), 0);
    EXPECT_TRUE(doc.Maillage.Frontiere.empty());
    EXPECT_TRUE(doc.Maillage.Triangles.empty());
    EXPECT_EQ(doc.Maillage.TrameGrille, 0.2f);
    EXPECT_EQ(doc.Maillage.OrigineGrille, TV3S{});
}

TEST_F(Document, PropertiesTextBeforeAnyLoadAndAfterOne) {
    EXPECT_EQ(doc.Proprietes(), "Définition du scan : 1000.0 mm\r\n"
                                "Nombre de points : 0\r\n"
                                "Nombre de cubes : 0\r\n"
                                "  - 0 : 1 m : 0\r\n"
                                "  - 1 : 20 cm : 0\r\n"
                                "  - 2 : 4 cm : 0\r\n"
                                "  - 3 : 8 mm : 0\r\n"
                                "  - 4 : 1.6 mm : 0\r\n"
                                "Dimensions :\r\n"
                                " - sur X : 0.000 < 0.000\r\n"
                                " - sur Y : 0.000 < 0.000\r\n"
                                " - sur Z : 0.000 < 0.000");
    ASSERT_TRUE(doc.OuvrirFichier(dossier.Ecrire("plan.xyz", "0.25 -1 2\n1.5 -1 2.0004\n")));
    EXPECT_EQ(doc.Proprietes(), "Définition du scan : 1.6 mm\r\n"
                                "Nombre de points : 2\r\n"
                                "Nombre de cubes : 10\r\n"
                                "  - 0 : 1 m : 2\r\n"
                                "  - 1 : 20 cm : 2\r\n"
                                "  - 2 : 4 cm : 2\r\n"
                                "  - 3 : 8 mm : 2\r\n"
                                "  - 4 : 1.6 mm : 2\r\n"
                                "Dimensions :\r\n"
                                " - sur X : 0.250 < 1.500\r\n"
                                " - sur Y : -1.000 < -1.000\r\n"
                                " - sur Z : 2.000 < 2.000");
}

TEST_F(Document, SharedScanRoundTripsThroughAProjectFile) {
    const std::filesystem::path lion = DonneesPartagees("lion_takanawa.xyz");
    if (!std::filesystem::exists(lion)) GTEST_SKIP() << "scan partagé absent";
    ASSERT_TRUE(doc.OuvrirFichier(lion)) << doc.DerniereErreur;
    EXPECT_EQ(doc.NbPts, 341989);
    EXPECT_FALSE(std::filesystem::exists(lion.string() + ".tmp"));
    const auto feuilles = Cubes(doc.Nuage, 4);
    doc.PFsansext = dossier / "lion";
    ASSERT_TRUE(doc.EnregistrerFichier(GenreProjet, 4));
    TDocument relu;
    ASSERT_TRUE(relu.OuvrirFichier(dossier / "lion.tsrk"));
    EXPECT_EQ(relu.Nuage.NbCubesNiv[4], doc.Nuage.NbCubesNiv[4]);
    EXPECT_EQ(Cubes(relu.Nuage, 4), feuilles);
}

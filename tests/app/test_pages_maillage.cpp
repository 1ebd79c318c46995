// The meshing pages on a widget tree of their own, a small generated vault and an L-shaped
// boundary: page rules, boundary input and editing, grid refusals and warnings, and the model texts
// against the same road run through the core alone.

#include "DossierTemporaire.h"
#include "FormatsMaillage.h"
#include "GrilleCapture.h"
#include "ImagePlan.h"
#include "Modele.h"
#include "Nombres.h"
#include "PagesMaillage.h"
#include "Triangulation.h"

#include <QButtonGroup>
#include <QClipboard>
#include <QComboBox>
#include <QGuiApplication>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QToolButton>
#include <QWidget>

#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <vector>

using namespace tessarc;

namespace {

const std::vector<TV3S> FrontiereL{FaireV3S(0, 0, 0),       FaireV3S(0.4f, 0, 0),    FaireV3S(0.4f, 0.1f, 0),
                                   FaireV3S(0.2f, 0.1f, 0), FaireV3S(0.2f, 0.3f, 0), FaireV3S(0, 0.3f, 0)};

// A tilted plane z = 1 + x + 3y sampled every centimetre, shown at the 4 cm level.
void ChargerVoute(TNuage& n) {
    n.NivMax = 2;
    n.CooMin = FaireV3S(-0.05f, -0.05f, 1.0f);
    n.CooMax = FaireV3S(0.45f, 0.35f, 2.5f);
    (void)n.CalculerEtendue();
    n.DimensionnerGrille();
    for (int i = -5; i <= 45; ++i)
        for (int j = -5; j <= 35; ++j) {
            const float x = 0.01f * static_cast<float>(i);
            const float y = 0.01f * static_cast<float>(j);
            n.InsererPoint(x, y, 1.0f + x + 3.0f * y, TV4By{{128, 128, 128, 0}});
        }
    n.CalculerMoyennesRacines();
    n.ChoisirNivAffiche(2);
}

// The road of the pages through the core alone, as the command-line tool takes it.
TResultatModele RouteCoeur(TNuage& n, float trame, const TSaisieModele& saisie) {
    TMaillage m;
    m.Frontiere = FrontiereL;
    m.TrameGrille = trame;
    EntrerPageGrille(m, n.CooMin[3]);
    EXPECT_TRUE(CalculerPointsGrille(m, n.CubesAffiches).Calcule);
    EXPECT_TRUE(Trianguler(m).Triangule);
    return CalculerModele(m, saisie);
}

QString CommeLeMemo(const std::string& texte) {
    return QString::fromStdString(texte).replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
}

// The fixture is the pages' user: the wide status panel's last text, the messages; a status text
// starting with arret stops the work, as Esc answered Yes does.
class PagesMaillage : public testing::Test, public IUtilisateur {
protected:
    PagesMaillage() { ChargerVoute(nuage); }

    void AffiInfo(int panneau, const std::string& t) override {
        EXPECT_EQ(panneau, 1);
        if (!arret.empty() && t.starts_with(arret)) throw EStopError();
        statut = QString::fromStdString(t);
    }
    void Message(const std::string& t) override { messages.push_back(QString::fromStdString(t)); }
    [[nodiscard]] TReponse Question(const std::string&) override { return TReponse::Non; }

    template <typename T = QLineEdit> T* W(const char* nom) {
        return racine.findChild<T*>(QString::fromLatin1(nom));
    }
    void Cliquer(const char* nom) { W<QAbstractButton>(nom)->click(); }
    void Saisir(const char* nom, const char* texte) { W(nom)->setText(QString::fromUtf8(texte)); }
    QString Texte(const char* nom) { return W(nom)->text(); }

    // The grid page entered with the boundary and a spacing, points computed.
    void CalculerGrille(const char* trame) {
        maillage.Frontiere = FrontiereL;
        pages.EntrerPage(PageGrille);
        Saisir("EdTrameGrille", trame);
        Cliquer("BtValiderGrille");
        Cliquer("BtCalcPointsGr");
    }

    QWidget racine;
    TNuage nuage;
    TMaillage maillage;
    TV3R decalage{};
    bool frontiereEnCours = false;
    bool vuePlanXY = false;
    int choisi = -1;
    int retraces = 0;
    int repeints = 0;
    std::string arret;
    QString statut;
    std::vector<QString> messages;
    std::optional<TChoixEnregistrement> choixExport;
    TPagesMaillage pages{racine,
                         nuage,
                         maillage,
                         decalage,
                         *this,
                         {[this] { ++retraces; }, [this] { ++repeints; },
                          [this](const QString& filtre) {
                              EXPECT_EQ(filtre, FiltreExport());
                              return choixExport;
                          }},
                         {frontiereEnCours, vuePlanXY, choisi}};
    const QButtonGroup* groupe = racine.findChild<QButtonGroup*>();
};

TEST_F(PagesMaillage, ForwardOneAtATimeAndTriangulationOnlyWithGridPoints) {
    EXPECT_TRUE(pages.Accepter(0, 1));
    EXPECT_FALSE(pages.Accepter(0, 2));
    EXPECT_FALSE(pages.Accepter(1, 3));
    EXPECT_TRUE(pages.Accepter(4, 0));
    EXPECT_FALSE(pages.Accepter(2, 3)) << "no grid points yet";
    CalculerGrille("0.10");
    EXPECT_TRUE(pages.Accepter(2, 3));
    pages.EntrerPage(PageGrille);
    EXPECT_FALSE(pages.Accepter(2, 3)) << "entering the grid page discards the grid";
}

TEST_F(PagesMaillage, BoundaryPageEntryInputAndEditing) {
    maillage.Frontiere = FrontiereL;
    frontiereEnCours = true;
    W<QToolButton>("SBsaisirFront")->setChecked(true);
    pages.EntrerPage(PageFrontiere);
    auto* liste = W<QComboBox>("CmBxNumPtFront");
    EXPECT_EQ(liste->count(), 6);
    EXPECT_EQ(liste->itemText(5), "6");
    EXPECT_EQ(liste->currentIndex(), -1);
    EXPECT_TRUE(vuePlanXY);
    EXPECT_FALSE(frontiereEnCours);
    EXPECT_FALSE(W<QToolButton>("SBsaisirFront")->isChecked());
    EXPECT_EQ(retraces, 1);

    // "Définir frontière" starts again without pressing the button; the button then toggles input.
    pages.MiDefinirFrontiereClick();
    EXPECT_TRUE(maillage.Frontiere.empty());
    EXPECT_EQ(liste->count(), 0);
    EXPECT_TRUE(frontiereEnCours);
    EXPECT_FALSE(W<QToolButton>("SBsaisirFront")->isChecked());
    Cliquer("SBsaisirFront");
    EXPECT_FALSE(frontiereEnCours);
    EXPECT_FALSE(W<QToolButton>("SBsaisirFront")->isChecked());
    Cliquer("SBsaisirFront");
    EXPECT_TRUE(frontiereEnCours);
    EXPECT_TRUE(W<QToolButton>("SBsaisirFront")->isChecked());

    // Each click of the view appends one point, listed and selected.
    for (const TV3S& p : {FaireV3S(1.234f, -2.5f, 0), FaireV3S(3.0f, 4.006f, 0)}) {
        maillage.Frontiere.push_back(p);
        pages.SurPointFrontiere(maillage.Frontiere.size() - 1);
    }
    EXPECT_EQ(liste->count(), 2);
    EXPECT_EQ(liste->currentIndex(), 1);
    EXPECT_EQ(choisi, 1);
    EXPECT_EQ(Texte("EdPtFronX"), "3.00");
    EXPECT_EQ(Texte("EdPtFronY"), "4.01");

    // Choosing point 1 shows it; an unreadable Y keeps the stored value and shows it back.
    liste->setCurrentIndex(0);
    Q_EMIT liste->activated(0);
    EXPECT_EQ(choisi, 0);
    EXPECT_EQ(Texte("EdPtFronX"), "1.23");
    EXPECT_EQ(Texte("EdPtFronY"), "-2.50");
    Saisir("EdPtFronX", " 7.5 ");
    Saisir("EdPtFronY", "abc");
    Cliquer("BtValidFr");
    EXPECT_EQ(maillage.Frontiere[0][1], 7.5f);
    EXPECT_EQ(maillage.Frontiere[0][2], -2.5f);
    EXPECT_EQ(Texte("EdPtFronX"), "7.50");
    EXPECT_EQ(Texte("EdPtFronY"), "-2.50");

    // Leaving the page turns input off.
    pages.EntrerPage(PageNettoyage);
    EXPECT_FALSE(frontiereEnCours);
    EXPECT_FALSE(vuePlanXY);
}

// A scan far from the origin: the boxes speak the survey's coordinates, the store keeps them shifted.
TEST_F(PagesMaillage, BoxesShowAndTakeTrueCoordinatesOfAShiftedScan) {
    decalage = {652000.0, 6862000.0, 0.0};
    maillage.Frontiere = FrontiereL;
    pages.EntrerPage(PageFrontiere);
    auto* liste = W<QComboBox>("CmBxNumPtFront");
    liste->setCurrentIndex(1);
    Q_EMIT liste->activated(1);
    EXPECT_EQ(Texte("EdPtFronX"), "652000.40");
    Saisir("EdPtFronX", "652001.50");
    Saisir("EdPtFronY", "6862002.25");
    Cliquer("BtValidFr");
    EXPECT_EQ(maillage.Frontiere[1][1], 1.5f);
    EXPECT_EQ(maillage.Frontiere[1][2], 2.25f);
    EXPECT_EQ(Texte("EdPtFronX"), "652001.50");
    EXPECT_EQ(Texte("EdPtFronY"), "6862002.25");

    maillage.Frontiere = FrontiereL;
    pages.EntrerPage(PageGrille);
    EXPECT_EQ(Texte("EdOriGrilX"), "652000.00");
    Saisir("EdOriGrilX", "651999.90");
    Saisir("EdTrameGrille", "0.20");
    Cliquer("BtValiderGrille");
    EXPECT_NEAR(maillage.OrigineGrille[1], -0.1f, 1e-6f);
    EXPECT_EQ(Texte("EdOriGrilX"), "651999.90");
}

TEST_F(PagesMaillage, GridRefusesBadSpacingAndReportsDroppedNodes) {
    maillage.Frontiere = FrontiereL;
    pages.EntrerPage(PageGrille);
    EXPECT_TRUE(vuePlanXY);
    EXPECT_EQ(Texte("EdOriGrilX"), "0.00");
    EXPECT_EQ(Texte("EdTrameGrille"), "0.20");

    for (const char* trame : {"0", "-0.1", "0.00001"}) {
        Saisir("EdTrameGrille", trame);
        Cliquer("BtValiderGrille");
        Cliquer("BtCalcPointsGr");
        EXPECT_TRUE(maillage.GrilleTri.empty()) << trame;
    }
    ASSERT_EQ(messages.size(), 3u);
    EXPECT_TRUE(messages[0].startsWith("trame de grille incorrecte")) << messages[0].toStdString();
    EXPECT_TRUE(messages[2].startsWith("trame de grille trop fine")) << messages[2].toStdString();
    Saisir("EdTrameGrille", "inf");
    Cliquer("BtValiderGrille");
    EXPECT_EQ(Texte("EdTrameGrille"), "0.00") << "an infinite spacing is not read";

    // An origin typed inside the boundary drops the crossings left of it and says so.
    Saisir("EdOriGrilX", "0.15");
    Saisir("EdTrameGrille", "0.1");
    Cliquer("BtValiderGrille");
    Cliquer("BtCalcPointsGr");
    EXPECT_FALSE(maillage.GrilleTri.empty());
    EXPECT_TRUE(statut.contains("hors de la grille ignorés")) << statut.toStdString();
    // The side left of the origin lost its crossings.
    EXPECT_TRUE(statut.contains(" ; appuis par segment : ")) << statut.toStdString();
    EXPECT_TRUE(statut.endsWith(", segment 5 : 0 appui")) << statut.toStdString();

    nuage.CubesAffiches.clear();
    CalculerGrille("0.1");
    EXPECT_TRUE(statut.startsWith("aucune hauteur prise dans le nuage : aucun point affiché, les noeuds "
                                  "restent à Z = 0 ; appuis par segment : "))
        << statut.toStdString();
    EXPECT_EQ(messages.size(), 3u);
}

TEST_F(PagesMaillage, ModelTextsAreTheCoreTextsAndTabsWaitForTheFirstComputation) {
    CalculerGrille("0.1");
    // The short sides of the L span one cell: one support each.
    EXPECT_EQ(statut,
              "appuis par segment : 4, 1, 3, 1, 2, 3 ; attention : segment 1 : 1 appui, segment 3 : 1 "
              "appui");
    pages.EntrerPage(PageTriangulation);
    const std::size_t triangles = maillage.Triangles.size();
    EXPECT_GT(triangles, 0u);
    EXPECT_TRUE(statut.startsWith(QString::fromStdString(FormatC("éléments : %zu ; ", triangles))))
        << statut.toStdString();
    statut.clear();
    pages.MiTriangulerClick();
    EXPECT_EQ(maillage.Triangles.size(), triangles);
    EXPECT_TRUE(statut.startsWith("éléments : ")) << "the menu command checks too";

    pages.EntrerPage(PageModele);
    EXPECT_TRUE(statut.isEmpty()) << "each page its own checks";
    Cliquer("TCresulNoeuds");
    EXPECT_EQ(pages.Modele().OngletResultat(), -1);
    EXPECT_EQ(groupe->checkedId(), -1);
    EXPECT_TRUE(W<QPlainTextEdit>("MmResul")->toPlainText().isEmpty());

    // Every box a value of its own, so that a box read for another shows in the texts.
    const TSaisieModele saisie{"10", "200", "2.5", "90", "20"};
    Saisir("EdModNds", "10");
    Saisir("EdModElts", "200");
    Saisir("EdModZ", "2.5");
    Saisir("EdModRot", "90");
    Saisir("EdModTranches", "20");
    Cliquer("BtCalcModele");
    EXPECT_TRUE(W<QPlainTextEdit>("MmResul")->toPlainText().isEmpty()) << "computing does not fill the memo";
    const TResultatModele coeur = RouteCoeur(nuage, 0.1f, saisie);
    EXPECT_EQ(pages.Modele().ResulGen().toStdString(), coeur.ResulGen);
    EXPECT_EQ(pages.Modele().ResulNds().toStdString(), coeur.ResulNds);
    EXPECT_EQ(pages.Modele().ResulElts().toStdString(), coeur.ResulElts);

    Cliquer("TCresulElements");
    EXPECT_EQ(W<QPlainTextEdit>("MmResul")->toPlainText(), CommeLeMemo(coeur.ResulElts));
    Cliquer("TCresulGeneral");
    EXPECT_EQ(W<QPlainTextEdit>("MmResul")->toPlainText(), CommeLeMemo(coeur.ResulGen));
    Cliquer("BtResulPP");
    EXPECT_EQ(QGuiApplication::clipboard()->text().toStdString(), coeur.ResulGen)
        << "CR LF lines, as written";

    // A zero slice is refused and keeps the texts; re-entering the page locks the tabs again.
    Saisir("EdModTranches", "0");
    Cliquer("BtCalcModele");
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_TRUE(messages[0].startsWith("hauteur de tranche incorrecte"));
    EXPECT_EQ(pages.Modele().ResulNds().toStdString(), coeur.ResulNds);
    pages.EntrerPage(PageModele);
    Cliquer("TCresulNoeuds");
    EXPECT_EQ(groupe->checkedId(), -1);
    EXPECT_TRUE(W<QPlainTextEdit>("MmResul")->toPlainText().isEmpty());
}

TEST_F(PagesMaillage, AnAbandonedComputationEndsInAMessage) {
    maillage.Frontiere = FrontiereL;
    pages.EntrerPage(PageGrille);
    arret = "appuis";
    W<QAbstractButton>("BtCalcPointsGr")->click();
    EXPECT_NE(std::find(messages.begin(), messages.end(), QStringLiteral("abandon")), messages.end());
    EXPECT_FALSE(maillage.GrilleTri.empty());
    EXPECT_EQ(repeints, 1) << "the computed points are drawn whatever the answer";
}

TEST_F(PagesMaillage, ExportsTheComputedModelInTheTypeOfTheNameOrOfTheFilter) {
    essais::TDossierTemporaire dossier;
    choixExport = TChoixEnregistrement{QString::fromStdString((dossier / "v").string()), 2};
    CalculerGrille("0.1");
    pages.EntrerPage(PageTriangulation);
    pages.EntrerPage(PageModele);
    Cliquer("BtExporterMaillage");
    ASSERT_EQ(messages, std::vector<QString>{"calculer le modèle avant de l'exporter"});
    EXPECT_TRUE(dossier.Contenu().empty());
    messages.clear();

    for (const auto& [nom, texte] : {std::pair{"EdModNds", "1"},
                                     {"EdModElts", "1"},
                                     {"EdModZ", "0.00"},
                                     {"EdModRot", "45"},
                                     {"EdModTranches", "50"}})
        Saisir(nom, texte);
    Cliquer("BtCalcModele");
    const TResultatModele coeur = RouteCoeur(nuage, 0.1f, {"1", "1", "0.00", "45", "50"});
    Cliquer("BtExporterMaillage");
    EXPECT_EQ(essais::LireFichier(dossier / "v.vtk"), TexteVtk(coeur.Modele)) << "the second type: VTK";
    EXPECT_EQ(statut.toStdString(), "maillage exporté : " + (dossier / "v.vtk").string());
    // An extension of its own wins; the fourth type numbers the nodes.
    choixExport = TChoixEnregistrement{QString::fromStdString((dossier / "p.msh").string()), 4};
    Cliquer("BtExporterMaillage");
    EXPECT_EQ(essais::LireFichier(dossier / "p.msh"), TexteMsh(coeur.Modele));
    choixExport = TChoixEnregistrement{QString::fromStdString((dossier / "p").string()), 4};
    Cliquer("BtExporterMaillage");
    EXPECT_EQ(essais::LireFichier(dossier / "p.png"), ImagePlanPng(coeur.Modele, true));
    choixExport.reset();
    Cliquer("BtExporterMaillage");
    EXPECT_EQ(dossier.Contenu(), (std::vector<std::string>{"p.msh", "p.png", "v.vtk"}));
    EXPECT_TRUE(messages.empty()) << messages.front().toStdString();
}

} // namespace

// The meshing pages on a widget tree named as the window's, a small generated vault and an L-shaped
// boundary: page rules, boundary input and editing, grid refusals and warnings, and the model texts
// against the same road run through the core alone.

#include "FauxDialogues.h"
#include "FormatsMaillage.h"
#include "GrilleCapture.h"
#include "ImagePlan.h"
#include "Modele.h"
#include "Nombres.h"
#include "OutilsTests.h"
#include "PagesMaillage.h"
#include "Triangulation.h"
#include "UTessarc.h"

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
#include <stdexcept>
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

// The widgets of the four pages and of the result sheet, named as in the window; returns the tabs.
QButtonGroup* Construire(QWidget& racine) {
    auto* onglets = new QWidget(&racine);
    onglets->setObjectName(QStringLiteral("TCresul"));
    auto* groupe = new QButtonGroup(onglets);
    for (const char* nom : {"SBsaisirFront", "TCresulGeneral", "TCresulNoeuds", "TCresulElements"}) {
        auto* b = new QToolButton(nom[0] == 'T' ? onglets : &racine);
        b->setObjectName(QString::fromLatin1(nom));
        b->setCheckable(true);
        if (nom[0] == 'T') groupe->addButton(b, static_cast<int>(groupe->buttons().size()));
    }
    (new QComboBox(&racine))->setObjectName(QStringLiteral("CmBxNumPtFront"));
    (new QPlainTextEdit(&racine))->setObjectName(QStringLiteral("MmResul"));
    for (const char* nom : {"EdPtFronX", "EdPtFronY", "EdOriGrilX", "EdOriGrilY", "EdTrameGrille", "EdModNds",
                            "EdModElts", "EdModZ", "EdModRot", "EdModTranches"})
        (new QLineEdit(&racine))->setObjectName(QString::fromLatin1(nom));
    for (const char* nom : {"BtValidFr", "BtValiderGrille", "BtCalcPointsGr", "BtCalcModele",
                            "BtExporterMaillage", "BtResulPP"})
        (new QPushButton(&racine))->setObjectName(QString::fromLatin1(nom));
    return groupe;
}

class PagesMaillage : public testing::Test {
protected:
    PagesMaillage() { ChargerVoute(nuage); }

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
    QButtonGroup* groupe = Construire(racine);
    TNuage nuage;
    TMaillage maillage;
    bool frontiereEnCours = false;
    bool vuePlanXY = false;
    int choisi = -1;
    int retraces = 0;
    QString statut;
    QString controle;
    std::vector<QString> messages;
    std::optional<TChoixEnregistrement> choixExport;
    TPagesMaillage pages{racine,
                         nuage,
                         maillage,
                         {[this] { ++retraces; }, [] {},
                          [this](int, const std::string& t) { statut = QString::fromStdString(t); },
                          [this](const QString& t) { messages.push_back(t); },
                          [this](const std::string& t) { controle = QString::fromStdString(t); },
                          [this](const QString& filtre) {
                              EXPECT_EQ(filtre, FiltreExport());
                              return choixExport;
                          }},
                         {frontiereEnCours, vuePlanXY, choisi}};
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
        pages.SurPointFrontiere(maillage.Frontiere.size() - 1, p);
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
    EXPECT_TRUE(controle.contains("hors de la grille ignorés")) << controle.toStdString();
    // The side left of the origin lost its crossings.
    EXPECT_TRUE(controle.contains(" ; appuis par segment : ")) << controle.toStdString();
    EXPECT_TRUE(controle.endsWith(", segment 5 : 0 appui")) << controle.toStdString();

    nuage.CubesAffiches.clear();
    CalculerGrille("0.1");
    EXPECT_TRUE(controle.startsWith("aucune hauteur prise dans le nuage : aucun point affiché, les noeuds "
                                    "restent à Z = 0 ; appuis par segment : "))
        << controle.toStdString();
    EXPECT_EQ(messages.size(), 3u);
}

TEST_F(PagesMaillage, ModelTextsAreTheCoreTextsAndTabsWaitForTheFirstComputation) {
    CalculerGrille("0.1");
    // The short sides of the L span one cell: one support each.
    EXPECT_EQ(controle,
              "appuis par segment : 4, 1, 3, 1, 2, 3 ; attention : segment 1 : 1 appui, segment 3 : 1 "
              "appui");
    pages.EntrerPage(PageTriangulation);
    const std::size_t triangles = maillage.Triangles.size();
    EXPECT_GT(triangles, 0u);
    EXPECT_TRUE(controle.startsWith(QString::fromStdString(FormatC("éléments : %zu ; ", triangles))))
        << controle.toStdString();
    controle.clear();
    pages.MiTriangulerClick();
    EXPECT_EQ(maillage.Triangles.size(), triangles);
    EXPECT_TRUE(controle.startsWith("éléments : ")) << "the menu command checks too";

    pages.EntrerPage(PageModele);
    EXPECT_TRUE(controle.isEmpty()) << "each page its own checks";
    Cliquer("TCresulNoeuds");
    EXPECT_EQ(pages.OngletResultat(), -1);
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
    EXPECT_EQ(pages.ResulGen().toStdString(), coeur.ResulGen);
    EXPECT_EQ(pages.ResulNds().toStdString(), coeur.ResulNds);
    EXPECT_EQ(pages.ResulElts().toStdString(), coeur.ResulElts);

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
    EXPECT_EQ(pages.ResulNds().toStdString(), coeur.ResulNds);
    pages.EntrerPage(PageModele);
    Cliquer("TCresulNoeuds");
    EXPECT_EQ(groupe->checkedId(), -1);
    EXPECT_TRUE(W<QPlainTextEdit>("MmResul")->toPlainText().isEmpty());
}

TEST_F(PagesMaillage, AnAbandonedComputationEndsInAMessage) {
    maillage.Frontiere = FrontiereL;
    int repeintsAbandon = 0;
    TPagesMaillage abandon{racine,
                           nuage,
                           maillage,
                           {{},
                            [&] { ++repeintsAbandon; },
                            {},
                            [this](const QString& t) { messages.push_back(t); },
                            [](const std::string&) { throw std::runtime_error("abandon"); },
                            {}},
                           {frontiereEnCours, vuePlanXY, choisi}};
    abandon.EntrerPage(PageGrille);
    W<QAbstractButton>("BtCalcPointsGr")->click();
    EXPECT_NE(std::find(messages.begin(), messages.end(), QStringLiteral("abandon")), messages.end());
    EXPECT_FALSE(maillage.GrilleTri.empty());
    EXPECT_EQ(repeintsAbandon, 1) << "the computed points are drawn whatever the answer";
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

// The window builds the widgets; the pages must find every one of them there.
TEST_F(PagesMaillage, FindsItsWidgetsInTheWindowAndNamesAMissingOne) {
    TFauxDialogues faux;
    TFTessarc fenetre{faux.Dialogues()};
    EXPECT_NO_THROW(TPagesMaillage(fenetre, nuage, maillage, {}, {frontiereEnCours, vuePlanXY, choisi}));
    W<QPushButton>("BtCalcModele")->setObjectName(QString());
    try {
        TPagesMaillage incomplet(racine, nuage, maillage, {}, {frontiereEnCours, vuePlanXY, choisi});
        ADD_FAILURE() << "a tree without BtCalcModele was accepted";
    } catch (const std::logic_error& e) {
        EXPECT_NE(std::string(e.what()).find("BtCalcModele"), std::string::npos) << e.what();
    }
}

} // namespace

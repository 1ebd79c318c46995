// The mouse over the window's view on a loaded scan: the rubber band, the masked cubes, the clean and
// save road, and "Définir axe X" on a companion point file.

#include "Camera.h"
#include "FauxDialogues.h"
#include "Scans.h"
#include "UTessarc.h"
#include "Vue3D.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QStackedWidget>
#include <QStatusBar>
#include <QTabBar>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QWheelEvent>

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <cstring>
#include <set>
#include <vector>

using namespace tessarc;
using namespace tessarc::essais;

namespace {

struct TEnregistrement {
    float x, y, z;
    std::array<std::uint8_t, 8> attributs;
};

class Souris : public testing::Test {
protected:
    QTemporaryDir dossier;
    QString scan = dossier.filePath("nuage.xyz");
    TFauxDialogues faux;
    TFTessarc fenetre{faux.Dialogues()};
    TSetupGL* vgl = nullptr;

    void SetUp() override {
        EcrireGrilleXYZ(scan.toStdString());
        fenetre.show();
        QCoreApplication::processEvents();
        fenetre.OuvrirFichier(scan);
        Declencher("MiVuePlanXY");
        vgl = fenetre.findChild<TSetupGL*>("VGL");
        ASSERT_NE(vgl, nullptr);
        // A drawn frame gives the matrices that the mouse works with.
        static_cast<void>(vgl->grabFramebuffer());
    }

    void Declencher(const char* nom) { fenetre.findChild<QAction*>(QString::fromLatin1(nom))->trigger(); }

    // Where a point of the plane Z = 0.5 shows in the view, client pixels.
    [[nodiscard]] QPoint Ecran(double x, double y) const {
        const TCamera& c = const_cast<TFTessarc&>(fenetre).Vue().Camera();
        const auto p = Projeter(FaireV3R(x, y, 0.5), c.mvmatrix, c.projmatrix, c.viewport);
        EXPECT_TRUE(p.has_value());
        return {static_cast<int>(std::lround(p->x)), static_cast<int>(std::lround(c.VGLheight - p->y))};
    }

    void Souris_(QEvent::Type type, QPoint p, Qt::MouseButton bouton, Qt::MouseButtons boutons) {
        QMouseEvent e(type, QPointF(p), QPointF(vgl->mapToGlobal(p)), bouton, boutons, Qt::NoModifier);
        QCoreApplication::sendEvent(vgl, &e);
    }
    void Glisser(QPoint a, QPoint b) {
        Souris_(QEvent::MouseButtonPress, a, Qt::LeftButton, Qt::LeftButton);
        Souris_(QEvent::MouseMove, (a + b) / 2, Qt::NoButton, Qt::LeftButton);
        Souris_(QEvent::MouseMove, b, Qt::NoButton, Qt::LeftButton);
        Souris_(QEvent::MouseButtonRelease, b, Qt::LeftButton, Qt::NoButton);
    }
    void Cliquer(QPoint p) {
        Souris_(QEvent::MouseMove, p, Qt::NoButton, Qt::NoButton);
        Souris_(QEvent::MouseButtonPress, p, Qt::LeftButton, Qt::LeftButton);
        Souris_(QEvent::MouseButtonRelease, p, Qt::LeftButton, Qt::NoButton);
    }

    // Columns of the grid (0 .. 9 along X) holding a cube with the bit.
    [[nodiscard]] std::multiset<int> Colonnes(std::uint8_t bit) {
        std::multiset<int> colonnes;
        for (const TCube* c : fenetre.Doc().Nuage.CubesAffiches)
            if (c->etatSP & bit) colonnes.insert(static_cast<int>(c->CooMoyPts[1] * 10.0f));
        return colonnes;
    }
    [[nodiscard]] static std::multiset<int> ColonnesPleines(int premiere, int derniere) {
        std::multiset<int> colonnes;
        for (int i = premiere; i <= derniere; ++i)
            for (int j = 0; j < 10; ++j) colonnes.insert(i);
        return colonnes;
    }
};

TEST_F(Souris, RectangleSelectsTheSameCubesWhicheverWayItIsDragged) {
    const QPoint basGauche = Ecran(0.0, 0.0);
    const QPoint hautDroit = Ecran(0.48, 1.0);
    Glisser(basGauche, hautDroit);
    const auto premiere = Colonnes(1);
    EXPECT_EQ(premiere, ColonnesPleines(0, 4));
    EXPECT_FALSE(fenetre.Vue().FSelWindow()->isVisible()) << "the band goes at the release";

    Declencher("MiDeselectionner");
    EXPECT_TRUE(Colonnes(1).empty());
    Glisser(hautDroit, basGauche);
    EXPECT_EQ(Colonnes(1), premiere);
}

TEST_F(Souris, MaskedCubesAreNeverSelected) {
    Glisser(Ecran(0.0, 0.0), Ecran(0.28, 1.0));
    Declencher("MiMasquerSelection");
    EXPECT_EQ(Colonnes(2), ColonnesPleines(0, 2));
    EXPECT_TRUE(Colonnes(1).empty());

    Glisser(Ecran(0.0, 0.0), Ecran(0.48, 1.0));
    EXPECT_EQ(Colonnes(1), ColonnesPleines(3, 4));
}

TEST_F(Souris, CleanSaveAndReopenDropsTheDeletedRegion) {
    Glisser(Ecran(0.0, 0.0), Ecran(0.48, 1.0));
    Declencher("MiSupprimerSelection");
    EXPECT_TRUE(fenetre.Doc().DonneesModifiees);
    // Hovering keeps a cube that the compaction of the save removes.
    Souris_(QEvent::MouseMove, Ecran(0.05, 0.05), Qt::NoButton, Qt::NoButton);
    ASSERT_NE(fenetre.Vue().CubeSelSav, nullptr);
    Declencher("MiEnregistrer");
    EXPECT_TRUE(faux.messages.empty());
    EXPECT_FALSE(fenetre.Doc().DonneesModifiees);
    EXPECT_EQ(fenetre.Vue().CubeSelSav, nullptr) << "no pointer to a compacted cube is kept";

    fenetre.OuvrirFichier(dossier.filePath("nuage.tsrk"));
    const TDocument& d = fenetre.Doc();
    EXPECT_TRUE(faux.questions.empty()) << "nothing pending after the save";
    EXPECT_EQ(d.NbPts, 50);
    EXPECT_EQ(d.Nuage.NbCubesNiv[static_cast<std::size_t>(d.Nuage.NivMax)], d.NbPts);
    EXPECT_EQ(d.Nuage.CubesAffiches.size(), 50u);
    for (const TCube* c : d.Nuage.CubesAffiches) EXPECT_GT(c->CooMoyPts[1], 0.5f);
}

// The status line says what the band and each command changed, in French thousands, and the redraw that
// follows keeps it.
TEST_F(Souris, StatusLineCountsTheCubesEachActionChanged) {
    const QString grand = dossier.filePath("grand.xyz");
    EcrireGrilleXYZ(grand.toStdString(), 40);
    fenetre.OuvrirFichier(grand);
    Declencher("MiVuePlanXY");
    static_cast<void>(vgl->grabFramebuffer());
    const auto texte = [&] { return fenetre.TexteStatut(1).toStdString(); };
    Glisser(Ecran(0.0, 0.0), Ecran(4.0, 4.0));
    EXPECT_EQ(texte(), "1 600 cubes sélectionnés");
    Declencher("MiDeselectionner");
    EXPECT_EQ(texte(), "1 600 cubes désélectionnés");
    Glisser(Ecran(0.0, 0.0), Ecran(0.48, 4.0));
    Glisser(Ecran(0.0, 0.0), Ecran(0.98, 4.0));
    static_cast<void>(vgl->grabFramebuffer());
    EXPECT_EQ(texte(), "200 cubes sélectionnés, 400 en tout");
    Declencher("MiMasquerSelection");
    static_cast<void>(vgl->grabFramebuffer());
    EXPECT_EQ(texte(), "400 cubes masqués");
    Declencher("MiInverserMasque");
    EXPECT_EQ(texte(), "1 200 cubes masqués, 400 cubes démasqués");
    Declencher("MiSupprimerLesPointsMasques");
    EXPECT_EQ(texte(), "1 200 cubes supprimés");
    Declencher("MiSupprimerLesPointsMasques");
    EXPECT_EQ(texte(), "0 cube supprimé");
    Declencher("MiDemasquer");
    EXPECT_EQ(texte(), "0 cube démasqué") << "deleted cubes stay masked";
    Declencher("MiAnnulerSuppressions");
    EXPECT_EQ(texte(), "1 200 cubes rétablis");
}

// The hover figures of a far scan read in true coordinates.
TEST_F(Souris, HoverShowsTrueCoordinates) {
    fenetre.Doc().Decalage = FaireV3R(652000.0, 6862000.0, 100.0);
    Souris_(QEvent::MouseMove, Ecran(0.05, 0.05), Qt::NoButton, Qt::NoButton);
    const QString texte = fenetre.TexteStatut(0);
    EXPECT_TRUE(texte.startsWith("652000.050   6862000.050   100.500  //  652000.0")) << texte.toStdString();
    EXPECT_TRUE(texte.endsWith("   100.480  (1)")) << texte.toStdString();
}

// The wheel zooms wherever the window gets it; over the page tabs it no longer walks the pages. Only
// the result text keeps it, to scroll.
TEST_F(Souris, TheWheelZoomsOverTheTabsTheTopPanelAndTheStatusBar) {
    TCamera& camera = fenetre.Vue().Camera();
    camera.CoefZoom = 16.0; // four steps out stay above the smallest zoom
    const auto molette = [&](QWidget* sous) {
        const QPoint p = sous->mapTo(&fenetre, sous->rect().center());
        QWheelEvent e(QPointF(p), QPointF(fenetre.mapToGlobal(p)), QPoint(), QPoint(0, -120), Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
        QCoreApplication::sendEvent(fenetre.windowHandle(), &e);
    };
    double zoom = camera.CoefZoom;
    for (QWidget* sous : {static_cast<QWidget*>(fenetre.findChild<QTabWidget*>("PCavct")->tabBar()),
                          fenetre.findChild<QWidget*>("PnTop"), fenetre.findChild<QWidget*>("SBinfo"),
                          static_cast<QWidget*>(vgl)}) {
        molette(sous);
        EXPECT_EQ(fenetre.PageActive(), 0) << sous->objectName().toStdString();
        EXPECT_DOUBLE_EQ(camera.CoefZoom, zoom / 2) << sous->objectName().toStdString();
        zoom = camera.CoefZoom;
    }
    fenetre.findChild<QStackedWidget*>("PCaffi")->setCurrentIndex(1);
    molette(fenetre.findChild<QPlainTextEdit*>("MmResul")->viewport());
    EXPECT_DOUBLE_EQ(camera.CoefZoom, zoom);
}

// A boundary drawn and not saved is asked about when closing and when opening, like deletions.
TEST_F(Souris, ADrawnBoundaryIsOfferedForSavingAtCloseAndAtOpen) {
    fenetre.findChild<QTabWidget*>("PCavct")->setCurrentIndex(1);
    static_cast<void>(vgl->grabFramebuffer());
    fenetre.MiDefinirFrontiereClick();
    for (const auto& [x, y] : {std::pair{0.2, 0.2}, std::pair{0.8, 0.2}, std::pair{0.5, 0.8}})
        Cliquer(Ecran(x, y));
    ASSERT_EQ(fenetre.Doc().Maillage.Frontiere.size(), 3u);
    EXPECT_FALSE(fenetre.Doc().DonneesModifiees);
    faux.reponses = {TReponse::Annuler, TReponse::Annuler, TReponse::Oui};
    EXPECT_FALSE(fenetre.close());
    faux.nomAOuvrir = scan;
    Declencher("MiOuvrir");
    ASSERT_EQ(faux.questions.size(), 2u);
    EXPECT_EQ(faux.questions[1], "les données ont été modifiées, enregistrer?");
    EXPECT_EQ(fenetre.Doc().Maillage.Frontiere.size(), 3u);
    EXPECT_TRUE(fenetre.close());
    EXPECT_TRUE(QFileInfo::exists(dossier.filePath("nuage.tsrk")));
}

TEST_F(Souris, APaintNeverAsksTheCancelQuestion) {
    // A pending Esc is for the next long work; a paint rebuilding the points must not take it.
    fenetre.Echap = true;
    Declencher("rafraichir1");
    static_cast<void>(vgl->grabFramebuffer());
    EXPECT_GT(fenetre.Vue().Rendu().NbConstructions[0], 1);
    EXPECT_TRUE(faux.questions.empty());
    EXPECT_TRUE(fenetre.Echap);
}

class AxeX : public Souris {
protected:
    QString compagnon = dossier.filePath("nuage.ANSCSRC");

    void Ecrire(const std::vector<TEnregistrement>& points) {
        QFile f(compagnon);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        for (const TEnregistrement& p : points) {
            std::array<char, 20> octets{};
            std::memcpy(octets.data(), &p.x, 4);
            std::memcpy(octets.data() + 4, &p.y, 4);
            std::memcpy(octets.data() + 8, &p.z, 4);
            std::memcpy(octets.data() + 12, p.attributs.data(), 8);
            f.write(octets.data(), 20);
        }
    }
    [[nodiscard]] std::vector<TEnregistrement> Lire() const {
        QFile f(compagnon);
        EXPECT_TRUE(f.open(QIODevice::ReadOnly));
        const QByteArray octets = f.readAll();
        std::vector<TEnregistrement> points(static_cast<std::size_t>(octets.size()) / 20);
        for (std::size_t k = 0; k < points.size(); ++k) {
            const char* o = octets.constData() + 20 * k;
            std::memcpy(&points[k].x, o, 4);
            std::memcpy(&points[k].y, o + 4, 4);
            std::memcpy(&points[k].z, o + 8, 4);
            std::memcpy(points[k].attributs.data(), o + 12, 8);
        }
        return points;
    }
    [[nodiscard]] QByteArray Octets() const {
        QFile f(compagnon);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    // The origin at the cube of (0.05, 0.05), the second point at the cube of (0.05, 0.95): +Y becomes +X.
    void PiquerLesDeuxPoints() {
        Declencher("MiDefinirAxeX");
        Cliquer(Ecran(0.05, 0.05));
        Cliquer(Ecran(0.05, 0.95));
    }
};

TEST_F(AxeX, TwoPicksTurnTheCompanionFile) {
    Ecrire({{0.0f, 1.0f, 5.0f, {1, 2, 3, 4, 5, 6, 7, 8}},
            {1.0f, 0.0f, 5.0f, {9, 9, 9, 9, 9, 9, 9, 9}},
            {0.5f, 0.5f, 7.0f, {0, 255, 0, 255, 0, 255, 0, 255}}});
    Declencher("MiDefinirAxeX");
    EXPECT_FALSE(fenetre.findChild<QAction*>("MiOuvrir")->isEnabled());
    Cliquer(Ecran(0.05, 0.05));
    EXPECT_EQ(fenetre.Vue().Etat().ModeDefinirAxeX, 2);
    EXPECT_EQ(fenetre.TexteStatut(1), "sélectionner le 2è point (échap pour annuler)");
    EXPECT_TRUE(fenetre.TexteStatut(0).startsWith("0.050   0.050   0.500  //  "));
    Cliquer(Ecran(0.05, 0.95));

    EXPECT_EQ(fenetre.Vue().Etat().ModeDefinirAxeX, 0);
    ASSERT_FALSE(faux.messages.empty());
    EXPECT_EQ(faux.messages.back(), "3 points traités");
    EXPECT_EQ(faux.messages.size(), 1u);
    EXPECT_FALSE(fenetre.Doc().ScanPret) << "the cloud in memory no longer matches";
    EXPECT_TRUE(fenetre.svgetatmenu.empty());
    EXPECT_TRUE(fenetre.findChild<QAction*>("MiOuvrir")->isEnabled());
    EXPECT_TRUE(fenetre.menuBar()->isEnabled());

    const auto points = Lire();
    ASSERT_EQ(points.size(), 3u);
    const std::array<std::array<float, 3>, 3> attendus{{{1, 1, 0}, {0, 0, 0}, {0.5f, 0.5f, 2}}};
    for (std::size_t k = 0; k < 3; ++k) {
        EXPECT_NEAR(points[k].x, attendus[k][0], 1e-6) << k;
        EXPECT_NEAR(points[k].y, attendus[k][1], 1e-6) << k;
        EXPECT_NEAR(points[k].z, attendus[k][2], 1e-6) << k;
    }
    EXPECT_EQ(points[0].attributs, (std::array<std::uint8_t, 8>{1, 2, 3, 4, 5, 6, 7, 8}));
    EXPECT_EQ(points[2].attributs, (std::array<std::uint8_t, 8>{0, 255, 0, 255, 0, 255, 0, 255}));
}

TEST_F(AxeX, MissingCompanionFileIsSaidInFrench) {
    PiquerLesDeuxPoints();
    ASSERT_EQ(faux.messages.size(), 2u);
    EXPECT_TRUE(faux.messages[0].startsWith("fichier de points introuvable : "));
    EXPECT_EQ(faux.messages[1], "0 points traités");
    EXPECT_TRUE(fenetre.findChild<QAction*>("MiOuvrir")->isEnabled());
    EXPECT_TRUE(fenetre.Doc().ScanPret) << "nothing was turned: the cloud stays the document";
}

TEST_F(AxeX, EscDuringTheTransformStopsItAndKeepsTheFile) {
    std::vector<TEnregistrement> points;
    for (int k = 0; k < 200; ++k)
        points.push_back({0.01f * static_cast<float>(k), 2.0f, 3.0f, {7, 7, 7, 7, 7, 7, 7, 7}});
    Ecrire(points);
    const QByteArray avant = Octets();
    faux.reponses = {TReponse::Oui};
    const TEchapPendant echap(fenetre, QStringLiteral("rotation"));
    PiquerLesDeuxPoints();
    ASSERT_TRUE(echap.Fait());
    ASSERT_EQ(faux.questions.size(), 1u);
    EXPECT_EQ(faux.questions[0], "Annuler?");
    EXPECT_EQ(Octets(), avant);
    ASSERT_FALSE(faux.messages.empty());
    EXPECT_TRUE(faux.messages.back().endsWith(" points traités"));
    EXPECT_TRUE(fenetre.svgetatmenu.empty()) << "the work gives the menu back";
    EXPECT_TRUE(fenetre.Doc().ScanPret) << "an abandoned transform leaves the cloud shown";
    EXPECT_TRUE(fenetre.findChild<QAction*>("MiOuvrir")->isEnabled());
}

// A stop answered Yes inside a pick ends the mouse handler; its message waits for the event's end.
TEST_F(AxeX, AnAbandonInAPickIsShownOnceTheMouseEventIsOver) {
    Declencher("MiDefinirAxeX");
    fenetre.Echap = true;
    faux.reponses = {TReponse::Oui};
    Cliquer(Ecran(0.05, 0.05));
    EXPECT_EQ(faux.questions, std::vector<QString>{"Annuler?"});
    EXPECT_TRUE(faux.messages.empty()) << "no box inside the mouse handler";
    QCoreApplication::processEvents();
    EXPECT_EQ(faux.messages, std::vector<QString>{"abandon"});
}

TEST_F(AxeX, ClicksBeforeAnyCubeWasFoundDoNothing) {
    Declencher("MiDefinirAxeX");
    const QPoint vide = Ecran(2.0, 2.0);
    Cliquer(vide);
    EXPECT_EQ(fenetre.Vue().Etat().ModeDefinirAxeX, 1);
    EXPECT_EQ(fenetre.TexteStatut(1), "Saisir le point origine (échap pour annuler)");
}

} // namespace

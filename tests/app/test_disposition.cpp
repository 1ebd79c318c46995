// The window's component tree, texts and menu, as the user sees them.

#include "Application.h"
#include "FauxDialogues.h"
#include "UTessarc.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QFontInfo>
#include <QFontMetrics>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QStackedWidget>
#include <QStatusBar>
#include <QTabWidget>

#include <gtest/gtest.h>

using namespace tessarc;

namespace {

// The widgets of a row in layout order: a label as its text, any other control as "name=text".
QStringList Rangee(QWidget* page) {
    QStringList rangee;
    QLayout* disposition = page->layout();
    for (int i = 0; disposition && i < disposition->count(); ++i) {
        QWidget* w = disposition->itemAt(i)->widget();
        if (!w) continue;
        if (const auto* etiquette = qobject_cast<QLabel*>(w))
            rangee << etiquette->text();
        else if (const auto* saisie = qobject_cast<QLineEdit*>(w))
            rangee << w->objectName() + "=" + saisie->text();
        else if (const auto* bouton = qobject_cast<QAbstractButton*>(w))
            rangee << w->objectName() + "=" + bouton->text();
        else
            rangee << w->objectName();
    }
    return rangee;
}

// The menu as text: captions in order, "-" for a separator, a submenu in brackets, a shortcut in angle
// brackets.
QString Menu(const QList<QAction*>& actions) {
    QStringList entrees;
    for (const QAction* action : actions) {
        if (action->isSeparator())
            entrees << "-";
        else if (action->menu())
            entrees << action->text() + "[" + Menu(action->menu()->actions()) + "]";
        else if (!action->shortcut().isEmpty())
            entrees << action->text() + "<" + action->shortcut().toString(QKeySequence::PortableText) + ">";
        else
            entrees << action->text();
    }
    return entrees.join('|');
}

class Disposition : public testing::Test {
protected:
    TFauxDialogues faux;
    TFTessarc fenetre{faux.Dialogues()};

    template <typename T = QWidget> T* Composant(const char* nom) {
        auto* w = fenetre.findChild<T*>(QString::fromLatin1(nom));
        EXPECT_NE(w, nullptr) << nom;
        return w;
    }
};

TEST_F(Disposition, TitleClientAreaAndFont) {
    EXPECT_EQ(fenetre.windowTitle(), "Analyser un scan 3D");
    fenetre.show();
    QCoreApplication::processEvents();
    EXPECT_EQ(Composant("PnFen")->size(), QSize(933, 472));
    EXPECT_EQ(QFontInfo(fenetre.font()).pixelSize(), 12);
}

TEST_F(Disposition, ComponentTreeTopToBottom) {
    QWidget* pnFen = Composant("PnFen");
    QStringList ordre;
    for (int i = 0; i < pnFen->layout()->count(); ++i)
        ordre << pnFen->layout()->itemAt(i)->widget()->objectName();
    EXPECT_EQ(ordre, QStringList({"PnTop", "PCavct", "PCaffi", "PnBtns", "PnInfo"}));

    auto* pcAffi = Composant<QStackedWidget>("PCaffi");
    ASSERT_EQ(pcAffi->count(), 2);
    EXPECT_EQ(pcAffi->widget(0)->objectName(), "TSvgl");
    EXPECT_EQ(pcAffi->widget(1)->objectName(), "TSresul");
    EXPECT_EQ(Composant("VGL")->parentWidget(), Composant("PnVGL"));
    EXPECT_EQ(Composant("PnVGL")->parentWidget(), Composant("TSvgl"));
}

TEST_F(Disposition, TopPanelCaptionAndViewBoxes) {
    QStringList textes;
    for (const QLabel* l : Composant("PnTop")->findChildren<QLabel*>()) textes << l->text();
    EXPECT_EQ(textes, QStringList({"Niveau de définition de l'affichage", "Voir"}));
    auto* points = Composant<QCheckBox>("CkBxVoirPoints");
    auto* surface = Composant<QCheckBox>("CkBxVoirSurface");
    EXPECT_EQ(points->text(), "points");
    EXPECT_EQ(surface->text(), "surface");
    EXPECT_TRUE(points->isChecked());
    EXPECT_TRUE(surface->isChecked());
    EXPECT_EQ(points->x(), 334);
    EXPECT_EQ(surface->x(), 410);
}

TEST_F(Disposition, WorkPagesCaptionsControlsAndDefaultTexts) {
    auto* pages = Composant<QTabWidget>("PCavct");
    ASSERT_EQ(pages->count(), 5);
    const QStringList onglets = {"Nettoyage", "Frontière", "Grille de capture", "Triangulation", "Modèle"};
    const QStringList feuilles = {"TSnettoyage", "TSfrontiere", "TSgrille", "TStriang", "TSmodele"};
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(pages->tabText(i), onglets[i]);
        EXPECT_EQ(pages->widget(i)->objectName(), feuilles[i]);
    }
    EXPECT_EQ(pages->tabBar()->tabRect(0).width(), 150);

    EXPECT_EQ(Rangee(pages->widget(0)), QStringList({"Niveau de définition de l'affichage", "CmBxNivAff",
                                                     "rotation Z", "EdRotZ=0", "BtRot=↺"}));
    EXPECT_EQ(
        Rangee(pages->widget(1)),
        QStringList({"SBsaisirFront=Saisir la frontière", "Editer la frontière : - point n°",
                     "CmBxNumPtFront", "coo.X", "EdPtFronX=0", "coo.Y", "EdPtFronY=0", "BtValidFr=Valider"}));
    EXPECT_EQ(Rangee(pages->widget(2)),
              QStringList({"Origine grille : X", "EdOriGrilX=999.00", "Y", "EdOriGrilY=999.00",
                           "Trame grille :", "EdTrameGrille=0.22", "BtValiderGrille=Valider",
                           "BtCalcPointsGr=Calculer les points"}));
    EXPECT_TRUE(Rangee(pages->widget(3)).isEmpty());
    EXPECT_EQ(Rangee(pages->widget(4)),
              QStringList({"Base numérotation : - noeuds", "EdModNds=1", "- éléments", "EdModElts=1",
                           "Z point bas (m)", "EdModZ=0.00", "Rotation (deg)", "EdModRot=0.00",
                           "Grouper par tranches de (cm)", "EdModTranches=50", "BtCalcModele=Calculer"}));

    auto* niveaux = Composant<QComboBox>("CmBxNivAff");
    QStringList items;
    for (int i = 0; i < niveaux->count(); ++i) items << niveaux->itemText(i);
    EXPECT_EQ(items, QStringList({"0 : 1 m", "1 : 20 cm", "2 : 4 cm", "3 : 8 mm", "4 : 1.6 mm"}));
    EXPECT_TRUE(Composant<QAbstractButton>("SBsaisirFront")->isCheckable());
}

TEST_F(Disposition, ResultSheet) {
    QStringList onglets;
    for (const auto* b : Composant("TCresul")->findChildren<QAbstractButton*>()) {
        onglets << b->text();
        EXPECT_FALSE(b->isChecked());
    }
    EXPECT_EQ(onglets, QStringList({"Général", "Table des noeuds", "Table des éléments finis"}));
    auto* memo = Composant<QPlainTextEdit>("MmResul");
    const QFontMetrics mesure(memo->font());
    EXPECT_EQ(mesure.horizontalAdvance("iiii"), mesure.horizontalAdvance("MMMM")) << "a monospace font";
    EXPECT_EQ(memo->lineWrapMode(), QPlainTextEdit::NoWrap);
    EXPECT_EQ(memo->horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
    EXPECT_EQ(memo->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
    EXPECT_EQ(Composant<QAbstractButton>("BtResulPP")->text(), "Copier dans le presse-papier");
}

TEST_F(Disposition, StatusBarHasTwoPanelsTheSecondRunningToTheEdge) {
    fenetre.show();
    QCoreApplication::processEvents();
    auto* barre = Composant<QStatusBar>("SBinfo");
    EXPECT_FALSE(barre->isSizeGripEnabled());
    QWidget* p0 = Composant("SBinfo0");
    QWidget* p1 = Composant("SBinfo1");
    EXPECT_EQ(p0->width(), 400);
    EXPECT_GT(p1->x(), p0->x() + 400 - 1);
    EXPECT_GE(p1->geometry().right(), barre->width() - 12);
}

TEST_F(Disposition, MainMenuEntriesInOrder) {
    const QString attendu = "Fichiers[Ouvrir<Ctrl+O>|Enregistrer<Ctrl+S>|Enregistrer Sous<Ctrl+Shift+S>|"
                            "Enregistrer le niveau affiché]"
                            "|Orientation[vue du plan X-Z|vue du plan Y-Z|vue du plan X-Y|-|Définir axe X]"
                            "|Sélection[Désélectionner|Masquer les points sélectionnés|Démasquer tous les "
                            "points|Inverser le masque|-"
                            "|Supprimer la sélection|Supprimer les points masqués|Annuler les suppressions]"
                            "|Triangulation[Définir frontière|Trianguler]"
                            "|Propriétés"
                            "|Couleurs[Couleur du fond|Couleur des points[Naturelle|Forcée|Définir]]"
                            "|rafraichir|Aide";
    EXPECT_EQ(Menu(fenetre.menuBar()->actions()), attendu);
    EXPECT_EQ(fenetre.menuBar()->objectName(), "MainMenu");
    EXPECT_FALSE(Menu(fenetre.menuBar()->actions()).contains('&'));
    // The menu shows the keys in French.
    if (InstallerFrancais(*QCoreApplication::instance())) {
        EXPECT_EQ(
            fenetre.findChild<QAction*>("MiEnregistrerSous")->shortcut().toString(QKeySequence::NativeText),
            "Ctrl+Maj+S");
    }
}

} // namespace

#include "UTessarc.h"

#include "PagesMaillage.h"
#include "Vue3D.h"

#include <QBoxLayout>
#include <QButtonGroup>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QFontDatabase>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStackedWidget>
#include <QStatusBar>
#include <QTabBar>
#include <QTabWidget>
#include <QTimer>
#include <QToolButton>
#include <QWheelEvent>
#include <QWindow>

namespace tessarc {

namespace {

// Work-page tabs of one width, drawn as flat buttons.
class TBarrePages final : public QTabBar {
public:
    using QTabBar::QTabBar;

protected:
    QSize tabSizeHint(int index) const override {
        QSize taille = QTabBar::tabSizeHint(index);
        taille.setWidth(150);
        return taille;
    }
};

class TPagesTravail final : public QTabWidget {
public:
    explicit TPagesTravail(QWidget* parent) : QTabWidget(parent) {
        setTabBar(new TBarrePages(this));
        setDocumentMode(true);
    }
};

QHBoxLayout* Rangee(QWidget* page) {
    auto* rangee = new QHBoxLayout(page);
    rangee->setContentsMargins(4, 3, 4, 3);
    rangee->setSpacing(4);
    return rangee;
}

void Etiquette(QWidget* page, QBoxLayout* rangee, const QString& texte) {
    rangee->addWidget(new QLabel(texte, page));
}

QLineEdit* Saisie(QWidget* page, QBoxLayout* rangee, const char* nom, const QString& texte,
                  int largeur = 56) {
    auto* saisie = new QLineEdit(texte, page);
    saisie->setObjectName(QString::fromLatin1(nom));
    saisie->setFixedWidth(largeur);
    rangee->addWidget(saisie);
    return saisie;
}

QPushButton* Bouton(QWidget* page, QBoxLayout* rangee, const char* nom, const QString& texte) {
    auto* bouton = new QPushButton(texte, page);
    bouton->setObjectName(QString::fromLatin1(nom));
    rangee->addWidget(bouton);
    return bouton;
}

QWidget* Panneau(QWidget* parent, const char* nom, int hauteur) {
    auto* panneau = new QWidget(parent);
    panneau->setObjectName(QString::fromLatin1(nom));
    if (hauteur > 0) panneau->setFixedHeight(hauteur);
    return panneau;
}

QVBoxLayout* Colonne(QWidget* parent) {
    auto* colonne = new QVBoxLayout(parent);
    colonne->setContentsMargins(0, 0, 0, 0);
    colonne->setSpacing(0);
    return colonne;
}

} // namespace

TFTessarc::TFTessarc(TDialogues dialogues, QWidget* parent)
    : QMainWindow(parent), Dlg(std::move(dialogues)), doc_(this, this) {
    setObjectName(QStringLiteral("FTessarc"));
    CreerReglages();
    setWindowTitle(QStringLiteral("Analyser un scan 3D"));
    QFont police = font();
    if (QFontDatabase::families().contains(QStringLiteral("Arial")))
        police.setFamily(QStringLiteral("Arial"));
    police.setPixelSize(12);
    setFont(police);

    CreerComposants();
    CreerPagesMaillage();
    CreerMenu();
    resize(933, 472 + menuBar()->sizeHint().height());
}

TFTessarc::~TFTessarc() = default;

void TFTessarc::CreerComposants() {
    PnFen = Panneau(this, "PnFen", 0);
    setCentralWidget(PnFen);
    QVBoxLayout* fenetre = Colonne(PnFen);

    // Caption and check boxes at the places of the original panel.
    PnTop = Panneau(PnFen, "PnTop", 25);
    auto* legende = new QLabel(QStringLiteral("Niveau de définition de l'affichage"), PnTop);
    legende->setGeometry(6, 0, 280, 25);
    auto* voir = new QLabel(QStringLiteral("Voir"), PnTop);
    voir->setGeometry(280, 0, 48, 25);
    voir->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    CkBxVoirPoints = new QCheckBox(QStringLiteral("points"), PnTop);
    CkBxVoirPoints->setObjectName(QStringLiteral("CkBxVoirPoints"));
    CkBxVoirPoints->setGeometry(334, 0, 76, 25);
    CkBxVoirPoints->setChecked(true);
    CkBxVoirSurface = new QCheckBox(QStringLiteral("surface"), PnTop);
    CkBxVoirSurface->setObjectName(QStringLiteral("CkBxVoirSurface"));
    CkBxVoirSurface->setGeometry(410, 0, 90, 25);
    CkBxVoirSurface->setChecked(true);
    connect(CkBxVoirPoints, &QCheckBox::clicked, this, &TFTessarc::CkBxVoirClick);
    connect(CkBxVoirSurface, &QCheckBox::clicked, this, &TFTessarc::CkBxVoirClick);
    fenetre->addWidget(PnTop);

    PCavct = new TPagesTravail(PnFen);
    PCavct->setObjectName(QStringLiteral("PCavct"));
    PCavct->setFixedHeight(60);
    PCavct->addTab(CreerPageNettoyage(), QStringLiteral("Nettoyage"));
    PCavct->addTab(CreerPageFrontiere(), QStringLiteral("Frontière"));
    auto* grille = CreerPageGrille();
    PCavct->addTab(grille, QStringLiteral("Grille de capture"));
    auto* triangulation = Panneau(PCavct, "TStriang", 0);
    PCavct->addTab(triangulation, QStringLiteral("Triangulation"));
    PCavct->addTab(CreerPageModele(), QStringLiteral("Modèle"));
    connect(PCavct, &QTabWidget::currentChanged, this, [this](int) {
        PCavctChanging(pageAffichee_);
        PCavctChange();
    });
    fenetre->addWidget(PCavct);

    PCaffi = new QStackedWidget(PnFen);
    PCaffi->setObjectName(QStringLiteral("PCaffi"));
    TSvgl = Panneau(PCaffi, "TSvgl", 0);
    PnVGL = Panneau(TSvgl, "PnVGL", 0);
    PnVGL->setAutoFillBackground(true);
    PnVGL->setPalette(QPalette(Qt::white));
    Colonne(TSvgl)->addWidget(PnVGL);
    CreerVue(PnVGL);
    Colonne(PnVGL)->addWidget(VGL);
    PCaffi->addWidget(TSvgl);
    PCaffi->addWidget(CreerFeuilleResultat());
    fenetre->addWidget(PCaffi, 1);

    PnBtns = Panneau(PnFen, "PnBtns", 25);
    fenetre->addWidget(PnBtns);

    PnInfo = Panneau(PnFen, "PnInfo", 25);
    SBinfo = new QStatusBar(PnInfo);
    SBinfo->setObjectName(QStringLiteral("SBinfo"));
    SBinfo->setSizeGripEnabled(false);
    for (int i = 0; i < 2; ++i) {
        PanneauxInfo[static_cast<std::size_t>(i)] = new QLabel(SBinfo);
        PanneauxInfo[static_cast<std::size_t>(i)]->setObjectName(QStringLiteral("SBinfo%1").arg(i));
        PanneauxInfo[static_cast<std::size_t>(i)]->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    }
    PanneauxInfo[0]->setFixedWidth(400);
    SBinfo->addWidget(PanneauxInfo[0]);
    SBinfo->addWidget(PanneauxInfo[1], 1);
    Colonne(PnInfo)->addWidget(SBinfo);
    fenetre->addWidget(PnInfo);
}

QWidget* TFTessarc::CreerPageNettoyage() {
    QWidget* page = Panneau(nullptr, "TSnettoyage", 0);
    QHBoxLayout* rangee = Rangee(page);
    Etiquette(page, rangee, QStringLiteral("Niveau de définition de l'affichage"));
    CmBxNivAff = new QComboBox(page);
    CmBxNivAff->setObjectName(QStringLiteral("CmBxNivAff"));
    CmBxNivAff->addItems({QStringLiteral("0 : 1 m"), QStringLiteral("1 : 20 cm"), QStringLiteral("2 : 4 cm"),
                          QStringLiteral("3 : 8 mm"), QStringLiteral("4 : 1.6 mm")});
    connect(CmBxNivAff, &QComboBox::activated, this, &TFTessarc::CmBxNivAffChange);
    rangee->addWidget(CmBxNivAff);
    rangee->addSpacing(24);
    Etiquette(page, rangee, QStringLiteral("rotation Z"));
    EdRotZ = Saisie(page, rangee, "EdRotZ", QStringLiteral("0"));
    BtRot = Bouton(page, rangee, "BtRot", QStringLiteral("↺"));
    BtRot->setFixedWidth(28);
    BtRot->setToolTip(QStringLiteral("Tourner la vue de dessus de l'angle saisi"));
    BtRot->setProperty("tag", 0);
    connect(BtRot, &QPushButton::clicked, this, &TFTessarc::BtRotClick);
    rangee->addStretch(1);
    return page;
}

QWidget* TFTessarc::CreerPageFrontiere() {
    QWidget* page = Panneau(nullptr, "TSfrontiere", 0);
    QHBoxLayout* rangee = Rangee(page);
    SBsaisirFront = new QToolButton(page);
    SBsaisirFront->setObjectName(QStringLiteral("SBsaisirFront"));
    SBsaisirFront->setText(QStringLiteral("Saisir la frontière"));
    SBsaisirFront->setCheckable(true);
    rangee->addWidget(SBsaisirFront);
    rangee->addSpacing(12);
    Etiquette(page, rangee, QStringLiteral("Editer la frontière : - point n°"));
    CmBxNumPtFront = new QComboBox(page);
    CmBxNumPtFront->setObjectName(QStringLiteral("CmBxNumPtFront"));
    CmBxNumPtFront->setMinimumWidth(64);
    rangee->addWidget(CmBxNumPtFront);
    Etiquette(page, rangee, QStringLiteral("coo.X"));
    EdPtFronX = Saisie(page, rangee, "EdPtFronX", QStringLiteral("0"), 72);
    Etiquette(page, rangee, QStringLiteral("coo.Y"));
    EdPtFronY = Saisie(page, rangee, "EdPtFronY", QStringLiteral("0"), 72);
    BtValidFr = Bouton(page, rangee, "BtValidFr", QStringLiteral("Valider"));
    rangee->addStretch(1);
    return page;
}

QWidget* TFTessarc::CreerPageGrille() {
    QWidget* page = Panneau(nullptr, "TSgrille", 0);
    QHBoxLayout* rangee = Rangee(page);
    Etiquette(page, rangee, QStringLiteral("Origine grille : X"));
    EdOriGrilX = Saisie(page, rangee, "EdOriGrilX", QStringLiteral("999.00"), 72);
    Etiquette(page, rangee, QStringLiteral("Y"));
    EdOriGrilY = Saisie(page, rangee, "EdOriGrilY", QStringLiteral("999.00"), 72);
    Etiquette(page, rangee, QStringLiteral("Trame grille :"));
    EdTrameGrille = Saisie(page, rangee, "EdTrameGrille", QStringLiteral("0.22"));
    BtValiderGrille = Bouton(page, rangee, "BtValiderGrille", QStringLiteral("Valider"));
    BtCalcPointsGr = Bouton(page, rangee, "BtCalcPointsGr", QStringLiteral("Calculer les points"));
    rangee->addStretch(1);
    return page;
}

QWidget* TFTessarc::CreerPageModele() {
    QWidget* page = Panneau(nullptr, "TSmodele", 0);
    QHBoxLayout* rangee = Rangee(page);
    Etiquette(page, rangee, QStringLiteral("Base numérotation : - noeuds"));
    EdModNds = Saisie(page, rangee, "EdModNds", QStringLiteral("1"), 32);
    Etiquette(page, rangee, QStringLiteral("- éléments"));
    EdModElts = Saisie(page, rangee, "EdModElts", QStringLiteral("1"), 32);
    Etiquette(page, rangee, QStringLiteral("Z point bas (m)"));
    EdModZ = Saisie(page, rangee, "EdModZ", QStringLiteral("0.00"), 44);
    Etiquette(page, rangee, QStringLiteral("Rotation (deg)"));
    EdModRot = Saisie(page, rangee, "EdModRot", QStringLiteral("0.00"), 44);
    Etiquette(page, rangee, QStringLiteral("Grouper par tranches de (cm)"));
    EdModTranches = Saisie(page, rangee, "EdModTranches", QStringLiteral("50"), 32);
    rangee->addStretch(1);
    BtCalcModele = Bouton(page, rangee, "BtCalcModele", QStringLiteral("Calculer"));
    return page;
}

QWidget* TFTessarc::CreerFeuilleResultat() {
    TSresul = Panneau(nullptr, "TSresul", 0);
    QVBoxLayout* colonne = Colonne(TSresul);

    // Flat buttons rather than a QTabBar: no tab is selected until the first computation.
    TCresul = Panneau(TSresul, "TCresul", 0);
    auto* onglets = new QHBoxLayout(TCresul);
    onglets->setContentsMargins(2, 2, 2, 2);
    OngletsResul = new QButtonGroup(TCresul);
    const char* noms[] = {"TCresulGeneral", "TCresulNoeuds", "TCresulElements"};
    const QString textes[] = {QStringLiteral("Général"), QStringLiteral("Table des noeuds"),
                              QStringLiteral("Table des éléments finis")};
    for (int i = 0; i < 3; ++i) {
        auto* onglet = new QToolButton(TCresul);
        onglet->setObjectName(QString::fromLatin1(noms[i]));
        onglet->setText(textes[i]);
        onglet->setCheckable(true);
        onglet->setAutoRaise(true);
        OngletsResul->addButton(onglet, i);
        onglets->addWidget(onglet);
    }
    onglets->addStretch(1);
    colonne->addWidget(TCresul);

    MmResul = new QPlainTextEdit(TSresul);
    MmResul->setObjectName(QStringLiteral("MmResul"));
    const QString courier = QStringLiteral("Courier New");
    QFont police = QFontDatabase::families().contains(courier)
                       ? QFont(courier)
                       : QFontDatabase::systemFont(QFontDatabase::FixedFont);
    police.setStyleHint(QFont::Monospace);
    MmResul->setFont(police);
    MmResul->setLineWrapMode(QPlainTextEdit::NoWrap);
    MmResul->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    MmResul->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    colonne->addWidget(MmResul, 1);

    BtResulPP = new QPushButton(QStringLiteral("Copier dans le presse-papier"), TSresul);
    BtResulPP->setObjectName(QStringLiteral("BtResulPP"));
    auto* bas = new QHBoxLayout;
    bas->setContentsMargins(2, 2, 2, 2);
    bas->addWidget(BtResulPP);
    // Beside the texts of the "Modèle" page, whose own row already spans the window.
    BtExporterMaillage = new QPushButton(QStringLiteral("Exporter le maillage…"), TSresul);
    BtExporterMaillage->setObjectName(QStringLiteral("BtExporterMaillage"));
    bas->addWidget(BtExporterMaillage);
    bas->addStretch(1);
    colonne->addLayout(bas);
    return TSresul;
}

QAction* TFTessarc::AjouterCommande(QWidget* menu, const QString& texte, const char* nom,
                                    void (TFTessarc::*gestionnaire)()) {
    auto* action = new QAction(texte, menu);
    action->setObjectName(QString::fromLatin1(nom));
    menu->addAction(action);
    connect(action, &QAction::triggered, this, gestionnaire);
    return action;
}

void TFTessarc::CreerMenu() {
    QMenuBar* barre = menuBar();
    barre->setObjectName(QStringLiteral("MainMenu"));
    auto sousMenu = [](QWidget* parent, const QString& texte, const char* nom) {
        auto* menu = new QMenu(texte, parent);
        menu->setObjectName(QString::fromLatin1(nom));
        parent->addAction(menu->menuAction());
        return menu;
    };

    QMenu* fichiers = sousMenu(barre, QStringLiteral("Fichiers"), "MiFichiers");
    AjouterCommande(fichiers, QStringLiteral("Ouvrir"), "MiOuvrir", &TFTessarc::MiOuvrirClick)
        ->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_O));
    AjouterCommande(fichiers, QStringLiteral("Enregistrer"), "MiEnregistrer", &TFTessarc::MiEnregistrerClick)
        ->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_S));
    AjouterCommande(fichiers, QStringLiteral("Enregistrer Sous"), "MiEnregistrerSous",
                    &TFTessarc::MiEnregistrerSousClick)
        ->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S));
    AjouterCommande(fichiers, QStringLiteral("Enregistrer le niveau affiché"), "MiEnregistrerLeNiveauAffiche",
                    &TFTessarc::MiEnregistrerLeNiveauAfficheClick);

    QMenu* orientation = sousMenu(barre, QStringLiteral("Orientation"), "MiOrientation");
    AjouterCommande(orientation, QStringLiteral("vue du plan X-Z"), "MiVuePlanXZ", &TFTessarc::MiVueClick)
        ->setData(1);
    AjouterCommande(orientation, QStringLiteral("vue du plan Y-Z"), "MiVuePlanYZ", &TFTessarc::MiVueClick)
        ->setData(2);
    AjouterCommande(orientation, QStringLiteral("vue du plan X-Y"), "MiVuePlanXY", &TFTessarc::MiVueClick)
        ->setData(3);
    orientation->addSeparator();
    AjouterCommande(orientation, QStringLiteral("Définir axe X"), "MiDefinirAxeX",
                    &TFTessarc::MiDefinirAxeXClick);

    QMenu* selection = sousMenu(barre, QStringLiteral("Sélection"), "MiSelection");
    AjouterCommande(selection, QStringLiteral("Désélectionner"), "MiDeselectionner",
                    &TFTessarc::MiDeselectionnerClick);
    AjouterCommande(selection, QStringLiteral("Masquer les points sélectionnés"), "MiMasquerSelection",
                    &TFTessarc::MiMasquerSelectionClick);
    AjouterCommande(selection, QStringLiteral("Démasquer tous les points"), "MiDemasquer",
                    &TFTessarc::MiDemasquerClick);
    AjouterCommande(selection, QStringLiteral("Inverser le masque"), "MiInverserMasque",
                    &TFTessarc::MiInverserMasqueClick);
    selection->addSeparator();
    AjouterCommande(selection, QStringLiteral("Supprimer la sélection"), "MiSupprimerSelection",
                    &TFTessarc::MiSupprimerSelectionClick);
    AjouterCommande(selection, QStringLiteral("Supprimer les points masqués"), "MiSupprimerLesPointsMasques",
                    &TFTessarc::MiSupprimerLesPointsMasquesClick);
    AjouterCommande(selection, QStringLiteral("Annuler les suppressions"), "MiAnnulerSuppressions",
                    &TFTessarc::MiAnnulerSuppressionsClick);

    QMenu* triangulation = sousMenu(barre, QStringLiteral("Triangulation"), "MiTriangulation");
    AjouterCommande(triangulation, QStringLiteral("Définir frontière"), "MiDefinirFrontiere",
                    &TFTessarc::MiDefinirFrontiereClick);
    AjouterCommande(triangulation, QStringLiteral("Trianguler"), "MiTrianguler",
                    &TFTessarc::MiTriangulerClick);

    AjouterCommande(barre, QStringLiteral("Propriétés"), "MiProprietes", &TFTessarc::MiProprietesClick);

    QMenu* couleurs = sousMenu(barre, QStringLiteral("Couleurs"), "MiCouleurs");
    AjouterCommande(couleurs, QStringLiteral("Couleur du fond"), "MiCouleurDuFond",
                    &TFTessarc::MiCouleurDuFondClick);
    QMenu* points = sousMenu(couleurs, QStringLiteral("Couleur des points"), "MiCouleurDesPoints");
    AjouterCommande(points, QStringLiteral("Naturelle"), "MiCoulPtsNaturelle",
                    &TFTessarc::MiCoulPtsNaturelleClick);
    AjouterCommande(points, QStringLiteral("Forcée"), "MiCoulPtsForcee", &TFTessarc::MiCoulPtsForceeClick);
    AjouterCommande(points, QStringLiteral("Définir"), "MiCoulPtsDefinir", &TFTessarc::MiCoulPtsDefinirClick);

    AjouterCommande(barre, QStringLiteral("rafraichir"), "rafraichir1", &TFTessarc::rafraichir1Click);
    AjouterCommande(barre, QStringLiteral("Aide"), "MiAide", &TFTessarc::MiAideClick);

    // Ctrl+Q has no entry: it closes the window, through the same closing question.
    auto* fermer = std::make_unique<QAction>(this).release(); // owned by the window
    fermer->setObjectName(QStringLiteral("MiFermer"));
    fermer->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));
    addAction(fermer);
    connect(fermer, &QAction::triggered, this, &QWidget::close);
}

int TFTessarc::PageActive() const {
    return PCavct->currentIndex();
}

// The first show of the window, and any later one, queues the start-up; InitDone makes it run once.
void TFTessarc::showEvent(QShowEvent* evenement) {
    QMainWindow::showEvent(evenement);
    // Keys reach the window's platform window before any of its controls.
    if (QWindow* plateforme = windowHandle()) plateforme->installEventFilter(this);
    QTimer::singleShot(0, this, &TFTessarc::DemarrageDiffere);
}

bool TFTessarc::eventFilter(QObject* objet, QEvent* evenement) {
    if (objet == windowHandle()) {
        if (evenement->type() == QEvent::KeyPress) FormKeyPress(static_cast<const QKeyEvent&>(*evenement));
        // Before any control: the page tabs and the level list would take the wheel for themselves.
        if (evenement->type() == QEvent::Wheel && FormMouseWheel(static_cast<QWheelEvent&>(*evenement)))
            return true;
    }
    return QMainWindow::eventFilter(objet, evenement);
}

// Closing in the middle of a load or a transform would pull the document from under it.
void TFTessarc::closeEvent(QCloseEvent* evenement) {
    if (TravailEnCours() || !FormCloseQuery()) {
        evenement->ignore();
        return;
    }
    FormClose();
    evenement->accept();
}

} // namespace tessarc

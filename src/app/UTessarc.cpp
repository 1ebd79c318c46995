#include "UTessarc.h"

#include "Composants.h"
#include "PagesMaillage.h"
#include "Vue3D.h"

#include <QBoxLayout>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QFontDatabase>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QStackedWidget>
#include <QStatusBar>
#include <QTabBar>
#include <QTabWidget>
#include <QTimer>
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
    PnFen = Panneau(this, "PnFen");
    setCentralWidget(PnFen);
    QVBoxLayout* fenetre = Colonne(PnFen);
    fenetre->addWidget(CreerBandeau());
    PCavct = new TPagesTravail(PnFen);
    PCavct->setObjectName(QStringLiteral("PCavct"));
    PCavct->setFixedHeight(60);
    PCavct->addTab(CreerPageNettoyage(), QStringLiteral("Nettoyage"));
    fenetre->addWidget(PCavct);
    fenetre->addWidget(CreerAffichage(), 1);
    fenetre->addWidget(Panneau(PnFen, "PnBtns", 25));
    fenetre->addWidget(CreerBarreEtat());
}

// Caption and check boxes at the places of the original panel. Each box keeps the scene's flag; a click
// redraws.
QWidget* TFTessarc::CreerBandeau() {
    PnTop = Panneau(PnFen, "PnTop", 25);
    auto* legende = new QLabel(QStringLiteral("Niveau de définition de l'affichage"), PnTop);
    legende->setGeometry(6, 0, 280, 25);
    auto* voir = new QLabel(QStringLiteral("Voir"), PnTop);
    voir->setGeometry(280, 0, 48, 25);
    voir->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    const auto caseVoir = [this](const QString& texte, const char* nom, int x, int largeur,
                                 bool TEtatScene::*voirQuoi) {
        auto* boite = new QCheckBox(texte, PnTop);
        boite->setObjectName(QString::fromLatin1(nom));
        boite->setGeometry(x, 0, largeur, 25);
        boite->setChecked(true);
        connect(boite, &QCheckBox::toggled, this,
                [this, voirQuoi](bool coche) { vue_->Etat().*voirQuoi = coche; });
        connect(boite, &QCheckBox::clicked, this, &TFTessarc::CkBxVoirClick);
    };
    caseVoir(QStringLiteral("points"), "CkBxVoirPoints", 334, 76, &TEtatScene::VoirPoints);
    caseVoir(QStringLiteral("surface"), "CkBxVoirSurface", 410, 90, &TEtatScene::VoirSurface);
    return PnTop;
}

QWidget* TFTessarc::CreerAffichage() {
    PCaffi = new QStackedWidget(PnFen);
    PCaffi->setObjectName(QStringLiteral("PCaffi"));
    TSvgl = Panneau(PCaffi, "TSvgl");
    QWidget* PnVGL = Panneau(TSvgl, "PnVGL");
    PnVGL->setAutoFillBackground(true);
    PnVGL->setPalette(QPalette(Qt::white));
    Colonne(TSvgl)->addWidget(PnVGL);
    CreerVue(PnVGL);
    Colonne(PnVGL)->addWidget(VGL);
    PCaffi->addWidget(TSvgl);
    return PCaffi;
}

QWidget* TFTessarc::CreerBarreEtat() {
    QWidget* PnInfo = Panneau(PnFen, "PnInfo", 25);
    auto* SBinfo = new QStatusBar(PnInfo);
    SBinfo->setObjectName(QStringLiteral("SBinfo"));
    SBinfo->setSizeGripEnabled(false);
    for (std::size_t i = 0; i < PanneauxInfo.size(); ++i) {
        PanneauxInfo[i] = new QLabel(SBinfo);
        PanneauxInfo[i]->setObjectName(QStringLiteral("SBinfo%1").arg(i));
        PanneauxInfo[i]->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    }
    PanneauxInfo[0]->setFixedWidth(400);
    SBinfo->addWidget(PanneauxInfo[0]);
    SBinfo->addWidget(PanneauxInfo[1], 1);
    Colonne(PnInfo)->addWidget(SBinfo);
    return PnInfo;
}

// The typed angle is the camera's as soon as it changes.
QWidget* TFTessarc::CreerPageNettoyage() {
    QWidget* page = Panneau(nullptr, "TSnettoyage");
    QHBoxLayout* rangee = Rangee(page);
    Etiquette(page, rangee, QStringLiteral("Niveau de définition de l'affichage"));
    CmBxNivAff = new QComboBox(page);
    CmBxNivAff->setObjectName(QStringLiteral("CmBxNivAff"));
    CmBxNivAff->addItems({QStringLiteral("0 : 1 m"), QStringLiteral("1 : 20 cm"), QStringLiteral("2 : 4 cm"),
                          QStringLiteral("3 : 8 mm"), QStringLiteral("4 : 1.6 mm")});
    connect(CmBxNivAff, &QComboBox::activated, this, &TFTessarc::CmBxNivAffChange);
    rangee->addWidget(CmBxNivAff);
    rangee->addSpacing(24);
    QLineEdit* EdRotZ = Champ(page, rangee, QStringLiteral("rotation Z"), "EdRotZ", QStringLiteral("0"));
    connect(EdRotZ, &QLineEdit::textChanged, this,
            [this](const QString& texte) { vue_->Camera().TexteEdRotZ = texte.toStdString(); });
    QPushButton* BtRot = Bouton(page, rangee, "BtRot", QStringLiteral("↺"));
    BtRot->setFixedWidth(28);
    BtRot->setToolTip(QStringLiteral("Tourner la vue de dessus de l'angle saisi"));
    connect(BtRot, &QPushButton::clicked, this, &TFTessarc::BtRotClick);
    rangee->addStretch(1);
    return page;
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

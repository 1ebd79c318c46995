// The 3D view of the window, its mouse, the menus "Orientation", "Couleurs" and "rafraichir", the
// view's check boxes and level list, and the redraw requests every unit uses.

#include "UTessarc.h"
#include "Vue3D.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QWheelEvent>

#include <optional>

namespace tessarc {

namespace {

// Status texts of the view (hover figures, drawing notice) come from paint and mouse handlers: they are
// shown without letting other events run, and never ask "Annuler?". The drawing notice gives panel 1
// back as it found it, so that a count or an instruction shown there outlives the redraw after it.
class TStatutVue final : public IProgression {
public:
    explicit TStatutVue(const std::array<QLabel*, 2>& panneaux) : panneaux_(panneaux) {}
    void AffiInfo(int panneau, const std::string& texte) override {
        QLabel* label = panneaux_[panneau <= 0 ? 0 : 1];
        if (panneau > 0 && !texte.empty() && !avantNotice_) avantNotice_ = label->text();
        if (panneau > 0 && texte.empty() && avantNotice_) {
            label->setText(*avantNotice_);
            avantNotice_.reset();
            return;
        }
        label->setText(QString::fromStdString(texte));
    }

private:
    const std::array<QLabel*, 2>& panneaux_;
    std::optional<QString> avantNotice_; // panel 1 when the notice came
};

TColor VersCouleur(const QColor& c) {
    return FaireCouleur(static_cast<std::uint8_t>(c.red()), static_cast<std::uint8_t>(c.green()),
                        static_cast<std::uint8_t>(c.blue()));
}

} // namespace

void TFTessarc::CreerVue(QWidget* parent) {
    VGL = new TSetupGL(parent);
    VGL->setObjectName(QStringLiteral("VGL"));
    VGL->setFocusPolicy(Qt::StrongFocus);
    TVue3D::ConfigurerVGL(*VGL);
    vue_ = std::make_unique<TVue3D>(*VGL);
    statutVue_ = std::make_unique<TStatutVue>(PanneauxInfo);

    TEtatScene& etat = vue_->Etat();
    etat.Nuage = &doc_.Nuage;
    etat.Maillage = &doc_.Maillage;
    etat.Progression = statutVue_.get();
    // The view waits inside a paint: the utility's hourglass lets events run, which a paint must not.
    etat.CurseurAttente = [] { QGuiApplication::setOverrideCursor(Qt::WaitCursor); };
    etat.CurseurPrecedent = [] { QGuiApplication::restoreOverrideCursor(); };

    // The window's state goes to the view before each paint and mouse event.
    VGL->OnDraw = [this](TSetupGL&) {
        SynchroniserVue();
        vue_->VGLDraw();
    };
    VGL->OnMouseDown = [this](QMouseEvent& e) {
        const QPoint p = e.position().toPoint();
        VGLMouseDown(p.x(), p.y());
    };
    VGL->OnMouseMove = [this](QMouseEvent& e) {
        const QPoint p = e.position().toPoint();
        VGLMouseMove(e.buttons(), (e.modifiers() & Qt::ShiftModifier) != 0, p.x(), p.y());
    };
    VGL->OnMouseUp = [this](QMouseEvent& e) {
        const QPoint p = e.position().toPoint();
        VGLMouseUp(p.x(), p.y());
    };
    vue_->SurPiqueAxeX = [this](TCube& cube) { PiqueAxeX(cube); };
    vue_->SurSelection = [this](std::size_t nouveaux) { AfficherSelectionRectangle(nouveaux); };
    // Boundary points added by a click are for the meshing pages: SurPointFrontiere is theirs to set.
    vue_->SurErreur = [this](const std::string& message) {
        // Shown once the paint or mouse event is over.
        QMetaObject::invokeMethod(
            this, [this, message] { Dlg.Message(this, QString::fromStdString(message)); },
            Qt::QueuedConnection);
    };
}

void TFTessarc::SynchroniserVue() {
    TEtatScene& etat = vue_->Etat();
    etat.ScanPret = doc_.ScanPret;
    etat.VoirPoints = CkBxVoirPoints->isChecked();
    etat.VoirSurface = CkBxVoirSurface->isChecked();
    etat.PageActive = PageActive();
    etat.FrontiereEnCours = FrontiereEnCours;
    etat.PointFrontiereChoisi = CmBxNumPtFront->currentIndex();
    etat.ModeDefinirAxeX = ModeDefinirAxeX;
    etat.Decalage = doc_.Decalage;
    TCamera& camera = vue_->Camera();
    camera.VuePlanXY = VuePlanXY;
    camera.TexteEdRotZ = EdRotZ->text().toStdString();
    // A mouse turn ends the turned top view.
    BtRot->setProperty("tag", camera.TagBtRot);
    TReglagesVue& reglages = vue_->Reglages();
    reglages.CouleurFond = VersCouleur(CouleurFond);
    reglages.CouleurPoints = VersCouleur(CouleurPoints);
    reglages.CouleurForcee = CouleurForcee;
}

// The mouse does nothing while long work runs: the document is being changed.
void TFTessarc::VGLMouseDown(int X, int Y) {
    if (TravailEnCours()) return;
    SynchroniserVue();
    vue_->VGLMouseDown(X, Y);
}

void TFTessarc::VGLMouseMove(Qt::MouseButtons boutons, bool shift, int X, int Y) {
    if (TravailEnCours()) return;
    SynchroniserVue();
    vue_->VGLMouseMove(boutons, shift, X, Y);
}

void TFTessarc::VGLMouseUp(int X, int Y) {
    if (TravailEnCours()) return;
    SynchroniserVue();
    vue_->VGLMouseUp(X, Y);
}

bool TFTessarc::FormMouseWheel(QWheelEvent& molette) {
    const QWidget* sous = childAt(molette.position().toPoint());
    if (sous != nullptr && (sous == MmResul || MmResul->isAncestorOf(sous))) return false;
    vue_->FormMouseWheel(molette);
    return true;
}

void TFTessarc::MiVueClick() {
    if (const auto* action = qobject_cast<const QAction*>(sender())) OrienterVue(action->data().toInt());
}

void TFTessarc::MiCouleurDuFondClick() {
    if (const auto couleur = Dlg.Couleur(this, CouleurFond)) CouleurFond = *couleur;
    RetracerTout();
}

// Defines the forced colour without switching to it.
void TFTessarc::MiCoulPtsDefinirClick() {
    if (const auto couleur = Dlg.Couleur(this, CouleurPoints)) CouleurPoints = *couleur;
    RetracerTout();
}

void TFTessarc::MiCoulPtsForceeClick() {
    CouleurForcee = true;
    RetracerTout();
}

void TFTessarc::MiCoulPtsNaturelleClick() {
    CouleurForcee = false;
    RetracerTout();
}

void TFTessarc::rafraichir1Click() {
    RetracerTout();
}

void TFTessarc::CkBxVoirClick() {
    RetracerTout();
}

void TFTessarc::CmBxNivAffChange(int index) {
    ChangerNivAffiche(index);
}

// The turned top view of the page "Nettoyage" is asked for until a preset or a mouse turn.
void TFTessarc::BtRotClick() {
    BtRot->setProperty("tag", 1);
    vue_->Camera().TagBtRot = 1;
    vue_->Repeindre();
}

void TFTessarc::OrienterVue(int tag) {
    vue_->OrienterVue(tag);
    BtRot->setProperty("tag", 0);
}

// The document lowers a level above the deepest of the tree and redraws.
void TFTessarc::ChangerNivAffiche(int niveau) {
    doc_.ChangerNivAffiche(niveau);
}

void TFTessarc::NivAfficheChoisi(int niveau) {
    const QSignalBlocker silence(CmBxNivAff);
    CmBxNivAff->setCurrentIndex(niveau);
}

// Repaints and focuses only while the 3D sheet is shown; the lists are discarded either way.
void TFTessarc::RetracerTout() {
    vue_->RetracerTout();
}

void TFTessarc::RetracerPoints() {
    vue_->RetracerPoints();
}

} // namespace tessarc

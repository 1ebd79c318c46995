#include "Vue3D.h"

#include "Piquage.h"

#include <QMouseEvent>
#include <QWheelEvent>

#include <cmath>
#include <cstdlib>
#include <exception>
#include <memory>

namespace tessarc {

void TVue3D::ConfigurerVGL(TSetupGL& vgl) {
    vgl.DefinirProfondeurCouleur(TTamponBits::t24bits);
    vgl.DefinirProfondeurTampon(TTamponBits::t16bits);
    vgl.DefinirProfondeurStencil(TTamponBits::t16bits);
    vgl.DefinirProfondeurAccum(TTamponBits::t32bits);
    vgl.DefinirDoubleTampon(true);
    vgl.DefinirStencilTampon(true);
    vgl.DefinirAccumulationTampon(true);
    vgl.DefinirFormatPixels({TFPixels::pxDoubleBuffer, TFPixels::pxDrawToWindow, TFPixels::pxSupportGDI,
                             TFPixels::pxSupportOpenGL, TFPixels::pxDrawToBitmap});
}

QSurfaceFormat TVue3D::FormatApplication() {
    TDemandeSurface d;
    d.format = {TFPixels::pxDoubleBuffer, TFPixels::pxDrawToWindow, TFPixels::pxSupportOpenGL};
    d.couleur = 24;
    d.profondeur = 24;
    d.stencil = 8;
    return FormatSurface(d);
}

TVue3D::TVue3D(TSetupGL& vgl) : vgl_(&vgl) {
    // The overlay belongs to the panel (Qt parent), which outlives this object or takes it along.
    selWindow_ = std::make_unique<TFSelWindow>(&vgl).release();
    vgl.OnInit = [this](TSetupGL& p) { rendu_.Initialiser(p.Fonctions()); };
    vgl.OnLiberer = [this](TSetupGL&) { rendu_.Liberer(); };
    vgl.OnDraw = [this](TSetupGL&) { VGLDraw(); };
    vgl.OnMouseDown = [this](QMouseEvent& e) {
        const QPoint p = e.position().toPoint();
        VGLMouseDown(p.x(), p.y());
    };
    vgl.OnMouseMove = [this](QMouseEvent& e) {
        const QPoint p = e.position().toPoint();
        VGLMouseMove(e.buttons(), (e.modifiers() & Qt::ShiftModifier) != 0, p.x(), p.y());
    };
    vgl.OnMouseUp = [this](QMouseEvent& e) {
        const QPoint p = e.position().toPoint();
        VGLMouseUp(p.x(), p.y());
    };
    vgl.OnMouseWheel = [this](QWheelEvent& e) { FormMouseWheel(e); };
    // A panel already initialised (shown before being handed over) gets its objects now.
    if (vgl.Initialise()) {
        vgl.makeCurrent();
        rendu_.Initialiser(vgl.Fonctions());
        vgl.doneCurrent();
    }
}

TVue3D::~TVue3D() {
    if (vgl_ == nullptr) return;
    if (vgl_->Initialise()) {
        vgl_->makeCurrent();
        rendu_.Liberer();
        vgl_->doneCurrent();
    }
    vgl_->OnInit = nullptr;
    vgl_->OnLiberer = nullptr;
    vgl_->OnDraw = nullptr;
    vgl_->OnMouseDown = nullptr;
    vgl_->OnMouseMove = nullptr;
    vgl_->OnMouseUp = nullptr;
    vgl_->OnMouseWheel = nullptr;
}

void TVue3D::Signaler(const std::string& message) {
    if (etat_.Utilisateur != nullptr) etat_.Utilisateur->Message(message);
}

std::span<TCube* const> TVue3D::Cubes() const {
    if (etat_.Nuage == nullptr) return {};
    return etat_.Nuage->CubesAffiches;
}

void TVue3D::RetracerTout() {
    // Discarded even while another sheet is showing, so that nothing stale is replayed when it comes back.
    rendu_.JeterTout();
    if (vgl_ == nullptr || !vgl_->isVisible()) return;
    vgl_->update();
    vgl_->setFocus();
}

void TVue3D::RetracerPoints() {
    rendu_.JeterPoints();
    if (vgl_ == nullptr) return;
    vgl_->update();
    if (vgl_->isVisible()) vgl_->setFocus();
}

void TVue3D::InitVGL() {
    rendu_.JeterTout();
    // The cubes of the previous document are gone.
    CubeSel = nullptr;
    CubeSelSav = nullptr;
}

void TVue3D::JeterPoints() {
    rendu_.JeterPoints();
}

void TVue3D::Repeindre() {
    if (vgl_ != nullptr) vgl_->update();
}

void TVue3D::VGLDraw() {
    if (vgl_ == nullptr || !etat_.Pret()) return;
    const QColor fond(RougeDe(reglages_.CouleurFond), VertDe(reglages_.CouleurFond),
                      BleuDe(reglages_.CouleurFond));
    for (QWidget* w : {static_cast<QWidget*>(vgl_.data()), vgl_->parentWidget()}) {
        if (w == nullptr || w->palette().color(QPalette::Window) == fond) continue;
        QPalette p = w->palette();
        p.setColor(QPalette::Window, fond);
        w->setPalette(p);
    }
    try {
        rendu_.VGLDraw(etat_, camera_, reglages_, vgl_->width(), vgl_->height(), vgl_->devicePixelRatioF());
    } catch (const std::exception& e) {
        Signaler(e.what());
    }
}

void TVue3D::OrienterVue(int tag) {
    camera_.OrienterVue(tag);
    Repeindre();
}

bool TVue3D::FormMouseWheel(int delta, QPoint positionEcran) {
    if (vgl_ == nullptr) return false;
    const QPoint p = vgl_->mapFromGlobal(positionEcran);
    if (!camera_.ZoomerMolette(delta, {p.x(), p.y()})) return false;
    Repeindre();
    return true;
}

void TVue3D::FormMouseWheel(QWheelEvent& e) {
    const int dy = e.angleDelta().y();
    if (dy == 0) {
        e.ignore();
        return;
    }
    cumulMolette_ += dy;
    if (std::abs(cumulMolette_) < 120) {
        e.accept();
        return;
    }
    const int delta = cumulMolette_;
    cumulMolette_ = 0;
    e.setAccepted(FormMouseWheel(delta, e.globalPosition().toPoint()));
}

void TVue3D::VGLMouseDown(int X, int Y) {
    if (Occupee) return;
    camera_.DebutGlissementSelection = {X, Y};
}

void TVue3D::VGLMouseMove(Qt::MouseButtons boutons, bool shift, int X, int Y) {
    if (Occupee || !etat_.Pret() || vgl_ == nullptr) return;
    if (camera_.mouseold == TPointEcran{X, Y}) return;
    camera_.mouseold = {X, Y};
    vgl_->setFocus();
    try {
        if (boutons & Qt::MiddleButton) {
            if (camera_.GlisserMilieu(X, Y, shift)) Repeindre();
        } else if (boutons & Qt::LeftButton) {
            const TPointEcran a = camera_.DebutGlissementSelection;
            selWindow_->Rafraichir(vgl_, QPoint(a.X, a.Y), QPoint(X, Y), 0);
        } else {
            DesignerCube();
        }
    } catch (const std::exception& e) {
        Signaler(e.what());
    }
}

void TVue3D::VGLMouseUp(int X, int Y) {
    if (Occupee || vgl_ == nullptr) return;
    try {
        if (etat_.FrontiereEnCours) {
            if (const auto i = AjouterPointFrontiere(X, Y); i && SurPointFrontiere)
                SurPointFrontiere(*i, etat_.Maillage->Frontiere[*i]);
            Repeindre();
        } else if (selWindow_->Affichee()) {
            selWindow_->hide();
            const std::size_t nouveaux = SelectionnerRectangle(X, Y);
            rendu_.JeterPoints();
            Repeindre();
            if (SurSelection) SurSelection(nouveaux);
        } else if (etat_.ModeDefinirAxeX == 1 || etat_.ModeDefinirAxeX == 2) {
            if (CubeSelSav != nullptr && SurPiqueAxeX) SurPiqueAxeX(*CubeSelSav);
        } else {
            Repeindre();
        }
    } catch (const std::exception& e) {
        Signaler(e.what());
    }
}

void TVue3D::DesignerCube() {
    if (vgl_ == nullptr) return;
    const auto cubes = Cubes();
    const TMatricesVue m = camera_.PreparerVue(true, vgl_->width(), vgl_->height());
    std::string texte;
    if (const auto i = PremierCubeVisible(cubes, m)) {
        CubeSel = cubes[*i];
        CubeSelSav = CubeSel;
        texte = TexteCube(*CubeSel, etat_.Decalage != nullptr ? *etat_.Decalage : TV3R{});
    } else {
        CubeSel = nullptr;
    }
    if (etat_.Utilisateur != nullptr) etat_.Utilisateur->AffiInfo(0, texte);
}

std::size_t TVue3D::SelectionnerRectangle(int X, int Y) {
    return SelectionnerCubesRectangle(Cubes(), camera_, camera_.DebutGlissementSelection, {X, Y});
}

std::optional<std::size_t> TVue3D::AjouterPointFrontiere(int X, int Y) {
    if (etat_.Maillage == nullptr) return std::nullopt;
    const auto p = camera_.PointSouris(X, Y, 0.0);
    if (!p || !std::isfinite((*p)[1]) || !std::isfinite((*p)[2])) return std::nullopt;
    const float z = etat_.Nuage != nullptr ? etat_.Nuage->CooMin[3] : 0.0f;
    etat_.Maillage->Frontiere.push_back(
        FaireV3S(static_cast<float>((*p)[1]), static_cast<float>((*p)[2]), z));
    return etat_.Maillage->Frontiere.size() - 1;
}

} // namespace tessarc

#pragma once
// TVue3D: the 3D view of the main window as one object, so that the window stays thin. It drives an
// OpenGL panel (TSetupGL) with the camera, the drawing, the hover pick and the rubber band, and tells
// the window through callbacks what belongs to it (status line, boundary list, X-axis picks).
//
// The window creates the panel (a TSetupGL child of PnVGL) where its layout wants it, applies
// ConfigurerVGL, hands the panel to a TVue3D and points Etat() at the document (Nuage, Maillage,
// ScanPret, Decalage) and at the user's channel (Utilisateur). The view owns the camera, the scene state
// and the colours: the window's controls and commands write them there as they change, then ask for a
// redraw (RetracerTout, RetracerPoints, Repeindre).

#include "Camera.h"
#include "Rendu.h"
#include "UopenglSelect.h"
#include "clSetupGL.h"

#include <QPointer>

#include <functional>
#include <optional>
#include <string>

namespace tessarc {

class TVue3D {
public:
    // The settings of the main window's panel: 24-bit colour, 16-bit stencil, 32-bit accumulation (all
    // three asked for), double buffering, and the format flags of a window panel.
    static void ConfigurerVGL(TSetupGL& vgl);
    // The default surface of the whole program; to be set before the application object is created, so
    // that every context shares a compatibility profile.
    [[nodiscard]] static QSurfaceFormat FormatApplication();

    // Takes over the panel's drawing and mouse events and lays the rubber band over it.
    explicit TVue3D(TSetupGL& vgl);
    ~TVue3D();
    TVue3D(const TVue3D&) = delete;
    TVue3D& operator=(const TVue3D&) = delete;

    [[nodiscard]] TSetupGL* VGL() const { return vgl_; }
    [[nodiscard]] TFSelWindow* FSelWindow() const { return selWindow_; }
    [[nodiscard]] TCamera& Camera() { return camera_; }
    [[nodiscard]] TEtatScene& Etat() { return etat_; }
    [[nodiscard]] TReglagesVue& Reglages() { return reglages_; }
    [[nodiscard]] TRendu& Rendu() { return rendu_; }

    // Redraw requests. RetracerTout discards the three retained objects, RetracerPoints the points only;
    // both repaint and give the view the keyboard focus while it is showing. InitVGL discards all three
    // (document reset) and forgets the picked cubes. JeterPoints discards the points without repainting.
    void RetracerTout();
    void RetracerPoints();
    void InitVGL();
    void JeterPoints();
    void Repeindre();

    // The drawing handler of the panel.
    void VGLDraw();

    // Presets of the menu "Orientation" (tags 1 to 3), then a repaint.
    void OrienterVue(int tag);
    // Wheel zoom about the mouse (screen position); true when handled (zoom changed).
    bool FormMouseWheel(int delta, QPoint positionEcran);
    // The same from a Qt wheel event, accepted or ignored: one step per notch of 120, finer wheels and
    // touch pads adding up to a notch first, a sideways scroll left alone. The panel uses it; the window
    // may pass its own wheel events too.
    void FormMouseWheel(QWheelEvent& e);

    // Mouse handlers, client pixels of the panel; wired to the panel by the constructor. They do nothing
    // while Occupee.
    void VGLMouseDown(int X, int Y);
    void VGLMouseMove(Qt::MouseButtons boutons, bool shift, int X, int Y);
    void VGLMouseUp(int X, int Y);

    // Hover pick at mouseold: sets CubeSel, and CubeSelSav when a cube was found; the status panel 0 shows
    // the cube's figures, or nothing.
    void DesignerCube();
    // Selects the displayed cubes inside the rectangle from the drag anchor to (X, Y); returns how many
    // were newly selected.
    std::size_t SelectionnerRectangle(int X, int Y);
    // Appends the point under (X, Y) to the boundary, at the cloud's lowest height; its index, or none when
    // the point cannot be un-projected.
    std::optional<std::size_t> AjouterPointFrontiere(int X, int Y);

    bool Occupee = false;        // long work is changing the document
    TCube* CubeSel = nullptr;    // under the resting mouse at the last pick
    TCube* CubeSelSav = nullptr; // the last cube found under the mouse

    // A boundary point was appended by a click (index in Frontiere): the window refills its point list,
    // selects it and shows its coordinates.
    std::function<void(std::size_t indice, const TV3S& point)> SurPointFrontiere;
    // A rubber band has ended, with the number of cubes it newly selected.
    std::function<void(std::size_t nouveaux)> SurSelection;
    // A click while the X axis is being picked, with the last cube found under the mouse.
    std::function<void(TCube& cube)> SurPiqueAxeX;

private:
    // An error of a paint or a mouse handler ("abandon" included) goes to the user's channel.
    void Signaler(const std::string& message);
    [[nodiscard]] std::span<TCube* const> Cubes() const;

    QPointer<TSetupGL> vgl_;
    QPointer<TFSelWindow> selWindow_;
    TCamera camera_;
    TEtatScene etat_;
    TReglagesVue reglages_;
    TRendu rendu_;
    int cumulMolette_ = 0;
};

} // namespace tessarc

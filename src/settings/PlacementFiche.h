#pragma once
// Window placement on Qt windows. Rectangles are the client area (QWidget::geometry and
// normalGeometry, without the frame): the frame belongs to the window manager and is unknown before
// the window is mapped, so the client rectangle is what round-trips exactly.

#include <QRect>

#include <string_view>

class QWidget;

namespace tessarc {

// Sets the window's rectangle from "left top width height" (see LireLTWH); false, and nothing changed,
// unless the four integers read.
bool AppliquerLTWH(QWidget* fiche, std::string_view texte);

// Moves a normal window back within reach on the given screen rectangle (see RamenerDansEcran), size
// unchanged; a maximised, minimised or full-screen window is left to the window manager.
void RamenerFicheDansEcran(QWidget* fiche, const QRect& ecran);
// The same on the available area of the screen under the window's centre, else its screen, else the
// primary screen.
void RamenerFicheDansEcran(QWidget* fiche);

} // namespace tessarc

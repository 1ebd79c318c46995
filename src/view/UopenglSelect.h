#pragma once
// TFSelWindow: the rubber band of the selection, a transparent overlay laid over the 3D view. It draws
// only the dashed red outline and lets every mouse event through to the view below.

#include <QPoint>
#include <QWidget>

class QPainter;

namespace tessarc {

class TFSelWindow : public QWidget {
    Q_OBJECT

public:
    // parent: the widget the overlay lives in; it is created hidden.
    explicit TFSelWindow(QWidget* parent);

    int lrg = 0;      // d - g
    int ht = 0;       // b - h
    int modeaffi = 0; // 0 draws the rectangle
    int g = 0;        // left edge
    int d = 0;        // right edge
    int b = 0;        // bottom edge (larger Y)
    int h = 0;        // top edge (smaller Y)
    QPoint p1sel;
    QPoint p2sel;

    // Shows the rubber band over W for the corners p1, p2 (client pixels of W, Y downwards).
    void Rafraichir(QWidget* W, QPoint p1, QPoint p2, int modeaff);
    // Draws the band: a dashed red 1-pixel outline one pixel inside the corners.
    void PBxPaint(QPainter& peintre) const;
    // Shown, whatever its parents.
    [[nodiscard]] bool Affichee() const { return !isHidden(); }

protected:
    void paintEvent(QPaintEvent* e) override;
};

} // namespace tessarc

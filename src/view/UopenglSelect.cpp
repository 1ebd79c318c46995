#include "UopenglSelect.h"

#include <QPainter>
#include <QPen>

#include <algorithm>

namespace tessarc {

TFSelWindow::TFSelWindow(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("FSelWindow"));
    setWindowTitle(QStringLiteral("FSelWindow"));
    // Nothing but the outline is painted; the mouse goes to the view below.
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setAttribute(Qt::WA_NoSystemBackground);
    setAutoFillBackground(false);
    setFocusPolicy(Qt::NoFocus);
    hide();
}

void TFSelWindow::Rafraichir(QWidget* W, QPoint p1, QPoint p2, int modeaff) {
    show();
    raise();
    QPoint origine = W->mapToGlobal(QPoint(0, 0));
    if (parentWidget() != nullptr) origine = parentWidget()->mapFromGlobal(origine);
    setGeometry(origine.x(), origine.y(), W->width(), W->height());
    g = std::min(p1.x(), p2.x());
    d = std::max(p1.x(), p2.x());
    h = std::min(p1.y(), p2.y());
    b = std::max(p1.y(), p2.y());
    lrg = d - g;
    ht = b - h;
    p1sel = p1;
    p2sel = p2;
    modeaffi = modeaff;
    update();
}

void TFSelWindow::PBxPaint(QPainter& peintre) const {
    if (modeaffi != 0) return;
    QPen crayon(Qt::red, 1, Qt::DashLine);
    peintre.setPen(crayon);
    peintre.setBrush(Qt::NoBrush);
    const QPoint contour[5] = {QPoint(g + 1, h + 1), QPoint(d - 1, h + 1), QPoint(d - 1, b - 1),
                               QPoint(g + 1, b - 1), QPoint(g + 1, h + 1)};
    peintre.drawPolyline(contour, 5);
}

void TFSelWindow::paintEvent(QPaintEvent*) {
    QPainter peintre(this);
    PBxPaint(peintre);
}

} // namespace tessarc

#pragma once
// Scans written for the window tests, and actions run in the middle of long work: an event re-posts
// itself at every event pass the work lets run, and acts once the status line shows the work's
// progress, so that no timing is involved.

#include "UTessarc.h"

#include <QCoreApplication>
#include <QEvent>
#include <QKeyEvent>
#include <QObject>
#include <QString>
#include <QWindow>

#include <cstdio>
#include <functional>
#include <string>
#include <utility>

namespace tessarc::essais {

// A grid of n x n points in the plane Z = 0.5, at 0.05 + 0.1 i along X and Y: one point per 4 cm cube,
// none on a cube's face.
inline void EcrireGrilleXYZ(const std::string& nom, int n = 10) {
    std::FILE* f = std::fopen(nom.c_str(), "w");
    if (f == nullptr) return;
    for (int i = 0; i < n; ++i)
        for (int j = 0; j < n; ++j)
            std::fprintf(f, "%.3f %.3f 0.500 %d %d 0\n", 0.05 + 0.1 * i, 0.05 + 0.1 * j, 10 * i, 10 * j);
    std::fclose(f);
}

// Runs the action once, at the first event pass where status panel 1 starts with the prefix.
class TPendantTravail : public QObject {
public:
    TPendantTravail(TFTessarc& fenetre, QString prefixe, std::function<void()> action)
        : fenetre_(fenetre), prefixe_(std::move(prefixe)), action_(std::move(action)) {
        QCoreApplication::postEvent(this, new QEvent(kType));
    }
    [[nodiscard]] bool Fait() const { return fait_; }

protected:
    bool event(QEvent* e) override {
        if (e->type() != kType) return QObject::event(e);
        if (fenetre_.TexteStatut(1).startsWith(prefixe_)) {
            fait_ = true;
            action_();
        } else if (++passes_ < 1000000) {
            QCoreApplication::postEvent(this, new QEvent(kType));
        }
        return true;
    }

private:
    static constexpr QEvent::Type kType = static_cast<QEvent::Type>(QEvent::User + 40);
    TFTessarc& fenetre_;
    QString prefixe_;
    std::function<void()> action_;
    bool fait_ = false;
    int passes_ = 0;
};

// Esc pressed on the window, as the platform delivers it.
inline void AppuyerEchap(TFTessarc& fenetre) {
    QKeyEvent echap(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
    QCoreApplication::sendEvent(fenetre.windowHandle(), &echap);
}

class TEchapPendant final : public TPendantTravail {
public:
    TEchapPendant(TFTessarc& fenetre, QString prefixe)
        : TPendantTravail(fenetre, std::move(prefixe), [&fenetre] { AppuyerEchap(fenetre); }) {}
};

} // namespace tessarc::essais

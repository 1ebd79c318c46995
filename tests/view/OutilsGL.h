#pragma once
// Helpers of the tests that need a display: the application on the X11 platform with a compatibility
// context, small documents, and image checks that keep the failing image.

#include "UTessarcGlb.h"
#include "Utilisateur.h"

#include <QApplication>
#include <QImage>

#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace tessarc::test {

// The application (created once, X11 platform, compatibility profile, 24-bit depth).
QApplication& AppliGL();

struct TPoint {
    float x, y, z;
    std::uint8_t r, v, b;
};

// Fills the cloud with the points, leaf level nivMax, and shows that level.
void RemplirNuage(TNuage& nuage, const std::vector<TPoint>& points, int nivMax);

// True when the pixel is within tol of (r, v, b) on every channel.
[[nodiscard]] bool Proche(QRgb c, int r, int v, int b, int tol = 3);
// The first pixel of the colour inside the zone (clipped to the image), if any.
[[nodiscard]] std::optional<QPoint> Chercher(const QImage& image, const QRect& zone, int r, int v, int b,
                                             int tol = 3);
// How many pixels of the zone have the colour.
[[nodiscard]] int Compter(const QImage& image, const QRect& zone, int r, int v, int b, int tol = 3);

// Mean brightness of the zone (clipped to the image), 0 black .. 1 white.
[[nodiscard]] double Luminosite(const QImage& image, const QRect& zone);

// Saves the image beside the other failures and returns its path.
std::string SauverImage(const QImage& image, const std::string& nom);

// Records every status text and every message; with abandonner, a status text that is not empty throws
// EStopError, as Esc answered Yes does.
class TUtilisateurTest final : public IUtilisateur {
public:
    void AffiInfo(int panneau, const std::string& texte) override {
        textes.emplace_back(panneau, texte);
        if (abandonner && !texte.empty()) throw EStopError();
    }
    void Message(const std::string& texte) override { messages.push_back(texte); }
    [[nodiscard]] TReponse Question(const std::string&) override { return TReponse::Non; }
    std::vector<std::pair<int, std::string>> textes;
    std::vector<std::string> messages;
    bool abandonner = false;
};

} // namespace tessarc::test

#include "ModesEcran.h"

#include <QGuiApplication>

#include <X11/Xlib.h>
#include <X11/extensions/Xrandr.h>

#include <optional>

namespace tessarc::ecran {

namespace {

Display* Affichage() {
    if (QGuiApplication::platformName() != QLatin1String("xcb")) return nullptr;
    const auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    return x11 != nullptr ? x11->display() : nullptr;
}

// X errors of these requests are answered by a result code, never by the default handler, which ends
// the process.
int IgnorerErreur(Display*, XErrorEvent*) {
    return 0;
}

class TGardeErreurs {
public:
    explicit TGardeErreurs(Display* d) : d_(d), avant_(XSetErrorHandler(IgnorerErreur)) {}
    ~TGardeErreurs() {
        XSync(d_, False);
        XSetErrorHandler(avant_);
    }
    TGardeErreurs(const TGardeErreurs&) = delete;
    TGardeErreurs& operator=(const TGardeErreurs&) = delete;

private:
    Display* d_;
    int (*avant_)(Display*, XErrorEvent*);
};

// The screen configuration, released with its owner.
class TConfiguration {
public:
    TConfiguration(Display* d, Window racine) : c_(XRRGetScreenInfo(d, racine)) {}
    ~TConfiguration() {
        if (c_ != nullptr) XRRFreeScreenConfigInfo(c_);
    }
    TConfiguration(const TConfiguration&) = delete;
    TConfiguration& operator=(const TConfiguration&) = delete;
    [[nodiscard]] XRRScreenConfiguration* get() const { return c_; }

private:
    XRRScreenConfiguration* c_;
};

// Colour bits per pixel, as the screen reports its depth.
int BitsParPixel(Display* d) {
    return DefaultDepth(d, DefaultScreen(d));
}

bool ExtensionPresente(Display* d) {
    int evenement = 0, erreur = 0;
    return XRRQueryExtension(d, &evenement, &erreur) != False;
}

struct TModeInitial {
    SizeID taille = 0;
    Rotation rotation = RR_Rotate_0;
    short frequence = 0;
};
std::optional<TModeInitial> modeInitial;

void NoterModeInitial(XRRScreenConfiguration* c) {
    if (modeInitial) return;
    TModeInitial m;
    m.taille = XRRConfigCurrentConfiguration(c, &m.rotation);
    m.frequence = XRRConfigCurrentRate(c);
    modeInitial = m;
}

EResultatMode Appliquer(Display* d, XRRScreenConfiguration* c, SizeID taille, Rotation rotation,
                        short frequence) {
    Status s;
    {
        TGardeErreurs garde(d);
        s = XRRSetScreenConfigAndRate(d, c, DefaultRootWindow(d), taille, rotation, frequence, CurrentTime);
    }
    switch (s) {
    case RRSetConfigSuccess:
        return EResultatMode::Reussi;
    case RRSetConfigFailed:
        return EResultatMode::Echec;
    default:
        return EResultatMode::ParametresInvalides;
    }
}

} // namespace

std::vector<TResolution> ListerModes() {
    std::vector<TResolution> modes;
    Display* d = Affichage();
    if (d == nullptr || !ExtensionPresente(d)) return modes;
    TGardeErreurs garde(d);
    const TConfiguration conf(d, DefaultRootWindow(d));
    if (conf.get() == nullptr) return modes;
    NoterModeInitial(conf.get());
    const int bits = BitsParPixel(d);
    int nbTailles = 0;
    const XRRScreenSize* tailles = XRRConfigSizes(conf.get(), &nbTailles);
    for (int i = 0; i < nbTailles; ++i) {
        int nbFrequences = 0;
        const short* frequences = XRRConfigRates(conf.get(), i, &nbFrequences);
        for (int k = 0; k < nbFrequences; ++k)
            modes.push_back({bits, tailles[i].width, tailles[i].height, frequences[k]});
    }
    return modes;
}

EResultatMode ChangerMode(const TResolution& mode) {
    Display* d = Affichage();
    if (d == nullptr || !ExtensionPresente(d)) return EResultatMode::Echec;
    const TConfiguration conf(d, DefaultRootWindow(d));
    if (conf.get() == nullptr) return EResultatMode::Echec;
    NoterModeInitial(conf.get());
    if (mode.m_BitsParPixels != BitsParPixel(d)) return EResultatMode::ModeInvalide;
    int nbTailles = 0;
    const XRRScreenSize* tailles = XRRConfigSizes(conf.get(), &nbTailles);
    for (int i = 0; i < nbTailles; ++i) {
        if (tailles[i].width != mode.m_Largeur || tailles[i].height != mode.m_Hauteur) continue;
        int nbFrequences = 0;
        const short* frequences = XRRConfigRates(conf.get(), i, &nbFrequences);
        for (int k = 0; k < nbFrequences; ++k) {
            if (frequences[k] != mode.m_Frequence) continue;
            Rotation rotation = RR_Rotate_0;
            XRRConfigCurrentConfiguration(conf.get(), &rotation);
            return Appliquer(d, conf.get(), static_cast<SizeID>(i), rotation, frequences[k]);
        }
    }
    return EResultatMode::ModeInvalide;
}

void RetablirMode() {
    Display* d = Affichage();
    if (d == nullptr || !modeInitial || !ExtensionPresente(d)) return;
    const TConfiguration conf(d, DefaultRootWindow(d));
    if (conf.get() == nullptr) return;
    (void)Appliquer(d, conf.get(), modeInitial->taille, modeInitial->rotation, modeInitial->frequence);
}

} // namespace tessarc::ecran

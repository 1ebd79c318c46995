#pragma once
// TSetupGL: a reusable OpenGL panel. It asks for a surface built from its settings (a compatibility
// context, so that fixed-function OpenGL works), and hands the one-time set-up, the resizing and the
// drawing to its owner's callbacks. It also reports on the screen and the driver, lists the screen's
// display modes and switches between them (X11 only), and can hide the mouse cursor.

#include "ModesEcran.h"

#include <QOpenGLFunctions_2_1>
#include <QOpenGLWidget>
#include <QSurfaceFormat>

#include <cstdint>
#include <functional>
#include <initializer_list>
#include <optional>
#include <string>
#include <vector>

class QMouseEvent;
class QWheelEvent;

namespace tessarc {

enum class TFPixels : std::uint8_t {
    pxDoubleBuffer,
    pxDrawToWindow,
    pxSupportGDI,
    pxSupportOpenGL,
    pxDrawToBitmap,
    pxStereo,
    pxGenericAccelerated,
};

// A set of TFPixels, one bit per value in declaration order.
class TFormatPixels {
public:
    constexpr TFormatPixels() = default;
    constexpr TFormatPixels(std::initializer_list<TFPixels> valeurs) {
        for (TFPixels v : valeurs) Inclure(v);
    }
    [[nodiscard]] constexpr bool Contient(TFPixels v) const { return (bits_ & Bit(v)) != 0; }
    constexpr void Inclure(TFPixels v) { bits_ = static_cast<std::uint8_t>(bits_ | Bit(v)); }
    constexpr void Exclure(TFPixels v) { bits_ = static_cast<std::uint8_t>(bits_ & ~Bit(v)); }
    [[nodiscard]] constexpr std::uint8_t Octet() const { return bits_; }
    friend constexpr bool operator==(TFormatPixels, TFormatPixels) = default;

private:
    static constexpr std::uint8_t Bit(TFPixels v) { return static_cast<std::uint8_t>(1u << unsigned(v)); }
    std::uint8_t bits_ = 0;
};

enum class TTamponBits { t16bits, t24bits, t32bits };

// The flag word of the pixel-format request: GDI support only without double buffering.
[[nodiscard]] std::uint16_t CalculerFlagPixels(TFormatPixels format);
// Depth properties: 24 and 32 read back as such, any other stored number as 16.
[[nodiscard]] TTamponBits LireProfondeur(std::int32_t bits);
[[nodiscard]] std::int32_t EcrireProfondeur(TTamponBits t);

// What the panel asks of the surface. At least 24 depth bits whatever the setting: a 16-bit depth buffer
// makes the points of a scan tens of metres deep fight each other.
struct TDemandeSurface {
    TFormatPixels format;
    std::int32_t couleur = 16;
    std::int32_t profondeur = 16;
    std::int32_t stencil = 0;
    std::int32_t accumulation = 0;
};
[[nodiscard]] QSurfaceFormat FormatSurface(const TDemandeSurface& demande);

// The GL strings and limits of the hardware report.
struct TInfoGL {
    std::string vendeur;
    std::string nom;
    std::string version;
    std::int32_t viewportLargeur = 0;
    std::int32_t viewportHauteur = 0;
    std::int32_t texturesMax = 0;
    std::int32_t lumieresMax = 0;
    std::int32_t plansDecoupageMax = 0;
    std::string extensions;
};
[[nodiscard]] std::vector<std::string> LignesInfoMateriel(const TResolution& ecran, const TInfoGL& gl);
// "%d x %d  %d bpp  %dMhz" per mode.
[[nodiscard]] std::vector<std::string> LignesResolutions(const std::vector<TResolution>& modes);
// Only modes of more than 8 bits per pixel are offered.
[[nodiscard]] std::vector<TResolution> FiltrerResolutions(const std::vector<TResolution>& modes);

enum class EIconeMessage { Information, Avertissement, Erreur };
struct TMessage {
    std::string texte;
    std::string titre;
    EIconeMessage icone = EIconeMessage::Information;
};
// The message box of a failed mode change; none for a success or an unknown result.
[[nodiscard]] std::optional<TMessage> MessageResolution(EResultatMode resultat);

// The set-up failures, each with its caption.
enum class EEchecInit { ChoixFormat, AffectationFormat, CreationContexte, ActivationContexte };
[[nodiscard]] TMessage MessageEchecInit(EEchecInit echec);
// The first failing step for a context in this state, or none.
[[nodiscard]] std::optional<EEchecInit> DiagnostiquerContexte(bool contexteValide, bool courant,
                                                              bool fonctionsFixes, bool fonctionsObtenues);

class TSetupGL : public QOpenGLWidget {
    Q_OBJECT

public:
    explicit TSetupGL(QWidget* parent = nullptr);
    ~TSetupGL() override;

    // Settings; the surface is requested from them until the panel is first shown.
    [[nodiscard]] TTamponBits ProfondeurCouleur() const { return LireProfondeur(F_CouleurProf); }
    [[nodiscard]] TTamponBits ProfondeurTampon() const { return LireProfondeur(F_TamponBits); }
    [[nodiscard]] TTamponBits ProfondeurStencil() const { return LireProfondeur(F_StencilBits); }
    [[nodiscard]] TTamponBits ProfondeurAccum() const { return LireProfondeur(F_AccumProf); }
    [[nodiscard]] bool UtiliserDoubleTampon() const { return F_DoubleTamponActif; }
    [[nodiscard]] bool UtiliserStencilTampon() const { return F_StencilActif; }
    [[nodiscard]] bool UtiliserAccumulationTampon() const { return F_AccumActif; }
    [[nodiscard]] TFormatPixels FormatPixels() const { return F_FormatPix; }
    void DefinirProfondeurCouleur(TTamponBits t);
    void DefinirProfondeurTampon(TTamponBits t);
    void DefinirProfondeurStencil(TTamponBits t);
    void DefinirProfondeurAccum(TTamponBits t);
    void DefinirDoubleTampon(bool actif);
    void DefinirStencilTampon(bool actif);
    void DefinirAccumulationTampon(bool actif);
    void DefinirFormatPixels(TFormatPixels format);

    [[nodiscard]] std::uint16_t FlagPixels() const { return F_FlagPixels; }
    // The request made from the settings: stencil and accumulation bits only when asked for.
    [[nodiscard]] TDemandeSurface Demande() const;
    // The accumulation bits asked for; Qt's surfaces have no accumulation buffer, so this is only recorded.
    [[nodiscard]] std::int32_t AccumulationDemandee() const { return Demande().accumulation; }

    // Events of the owner, called with the context current.
    std::function<void(TSetupGL&)> OnInit;
    std::function<void(TSetupGL&)> OnResize;
    std::function<void(TSetupGL&)> OnDraw;
    // Called with the context current just before it goes (GL objects are to be released).
    std::function<void(TSetupGL&)> OnLiberer;
    // Mouse events, in client pixels.
    std::function<void(QMouseEvent&)> OnMouseDown;
    std::function<void(QMouseEvent&)> OnMouseMove;
    std::function<void(QMouseEvent&)> OnMouseUp;
    std::function<void(QWheelEvent&)> OnMouseWheel;
    // The owner's closing step run after the context is closed by FermetureProprietaire.
    std::function<void()> F_FermetureProc;
    // Where message boxes go (set-up failures, mode changes); a plain Qt box when unset.
    std::function<void(const TMessage&)> AfficherMessage;

    [[nodiscard]] bool Initialise() const { return F_Initialiser; }
    // The fixed-function entry points of the context, null until initialised.
    [[nodiscard]] QOpenGLFunctions_2_1* Fonctions() const { return F_Initialiser ? fonctions_ : nullptr; }

    // Checks the context the toolkit made (steps of the set-up), then OnInit, OnResize and a repaint.
    bool InitialiserGL();
    void CloseOGL();
    void FermetureProprietaire();
    // Schedules a paint (OnDraw runs in it when initialised).
    void ReDraw();
    // The drawing is presented by the toolkit after each paint; this only flushes.
    void BasculeTampon();
    void Reinitialise();
    std::uint16_t CalculerFlagPixels();

    // Hardware report, screen figures and GL strings.
    [[nodiscard]] std::vector<std::string> InfoSurMateriel();
    [[nodiscard]] TResolution ResolutionCourante() const;
    void ListerResolutions();
    [[nodiscard]] std::vector<std::string> ObtenirResolutions() const;
    bool ChangerResolution(int index);
    void ResetResolution();
    [[nodiscard]] int NbResoPossible() const { return static_cast<int>(TabResolution.size()); }
    std::vector<TResolution> TabResolution;

    void AfficherCurseur(bool visible);

protected:
    void initializeGL() override;
    void resizeGL(int w, int h) override;
    void paintGL() override;
    void paintEvent(QPaintEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void wheelEvent(QWheelEvent* e) override;

private:
    void AppliquerFormat();
    void Signaler(const TMessage& m);
    void Liberer();
    [[nodiscard]] bool RendreCourant();

    bool F_Initialiser = false;
    std::int32_t F_CouleurProf = 16;
    std::int32_t F_TamponBits = 16;
    std::int32_t F_StencilBits = 16;
    std::int32_t F_AccumProf = 16;
    TFormatPixels F_FormatPix{TFPixels::pxDoubleBuffer, TFPixels::pxDrawToWindow, TFPixels::pxSupportOpenGL};
    bool F_DoubleTamponActif = true;
    bool F_StencilActif = false;
    bool F_AccumActif = false;
    std::uint16_t F_FlagPixels = 0;
    QOpenGLFunctions_2_1* fonctions_ = nullptr;
    bool echecSignale_ = false;
};

} // namespace tessarc

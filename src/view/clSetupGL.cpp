#include "clSetupGL.h"

#include "Nombres.h"

#include <QGuiApplication>
#include <QMessageBox>
#include <QMouseEvent>
#include <QOpenGLContext>
#include <QOpenGLVersionFunctionsFactory>
#include <QScreen>
#include <QWheelEvent>

#include <algorithm>
#include <cmath>
#include <exception>

namespace tessarc {

std::uint16_t CalculerFlagPixels(TFormatPixels format) {
    std::uint16_t f = 0;
    const bool double_ = format.Contient(TFPixels::pxDoubleBuffer);
    if (double_) f |= 0x0001;
    if (format.Contient(TFPixels::pxDrawToWindow)) f |= 0x0004;
    if (format.Contient(TFPixels::pxSupportGDI) && !double_) f |= 0x0010;
    if (format.Contient(TFPixels::pxSupportOpenGL)) f |= 0x0020;
    if (format.Contient(TFPixels::pxDrawToBitmap)) f |= 0x0008;
    if (format.Contient(TFPixels::pxStereo)) f |= 0x0002;
    if (format.Contient(TFPixels::pxGenericAccelerated)) f |= 0x1000;
    return f;
}

TTamponBits LireProfondeur(std::int32_t bits) {
    if (bits == 24) return TTamponBits::t24bits;
    if (bits == 32) return TTamponBits::t32bits;
    return TTamponBits::t16bits;
}

std::int32_t EcrireProfondeur(TTamponBits t) {
    if (t == TTamponBits::t24bits) return 24;
    if (t == TTamponBits::t32bits) return 32;
    return 16;
}

QSurfaceFormat FormatSurface(const TDemandeSurface& demande) {
    QSurfaceFormat f;
    f.setRenderableType(QSurfaceFormat::OpenGL);
    f.setProfile(QSurfaceFormat::CompatibilityProfile);
    if (demande.couleur == 16) {
        f.setRedBufferSize(5);
        f.setGreenBufferSize(6);
        f.setBlueBufferSize(5);
    } else {
        f.setRedBufferSize(8);
        f.setGreenBufferSize(8);
        f.setBlueBufferSize(8);
        if (demande.couleur == 32) f.setAlphaBufferSize(8);
    }
    f.setDepthBufferSize(std::max(24, demande.profondeur));
    f.setStencilBufferSize(demande.stencil);
    f.setSwapBehavior(demande.format.Contient(TFPixels::pxDoubleBuffer) ? QSurfaceFormat::DoubleBuffer
                                                                        : QSurfaceFormat::SingleBuffer);
    return f;
}

std::vector<std::string> LignesInfoMateriel(const TResolution& ecran, const TInfoGL& gl) {
    std::vector<std::string> l;
    l.emplace_back("Écran :");
    l.push_back(FormatC("    Résolution : %d x %d px", ecran.m_Largeur, ecran.m_Hauteur));
    l.push_back(FormatC("    Bits par pixels : %d bpp", ecran.m_BitsParPixels));
    l.push_back(FormatC("    Rafraîchissement vertical : %d Hertz", ecran.m_Frequence));
    l.emplace_back();
    l.emplace_back("Carte graphique :");
    l.push_back("    Vendeur : " + gl.vendeur);
    l.push_back("    Nom : " + gl.nom);
    l.push_back("    Version : " + gl.version);
    l.push_back(
        FormatC("    Dimension maximale du Viewport : %d x %d", gl.viewportLargeur, gl.viewportHauteur));
    l.push_back(FormatC("    Dimension maximale des textures : %d x %d", gl.texturesMax, gl.texturesMax));
    l.push_back(FormatC("    Nombre maximal de lumières : %d", gl.lumieresMax));
    l.push_back(FormatC("    Nombre maximal de plans de découpage : %d", gl.plansDecoupageMax));
    l.emplace_back("    Extensions supportées: ");
    std::size_t debut = 0;
    while (debut < gl.extensions.size()) {
        const std::size_t fin = std::min(gl.extensions.find(' ', debut), gl.extensions.size());
        if (fin > debut) l.push_back(std::string(17, ' ') + gl.extensions.substr(debut, fin - debut));
        debut = fin + 1;
    }
    return l;
}

std::vector<std::string> LignesResolutions(const std::vector<TResolution>& modes) {
    std::vector<std::string> l;
    l.reserve(modes.size());
    for (const TResolution& m : modes)
        l.push_back(
            FormatC("%d x %d  %d bpp  %dMhz", m.m_Largeur, m.m_Hauteur, m.m_BitsParPixels, m.m_Frequence));
    return l;
}

std::vector<TResolution> FiltrerResolutions(const std::vector<TResolution>& modes) {
    std::vector<TResolution> r;
    std::copy_if(modes.begin(), modes.end(), std::back_inserter(r),
                 [](const TResolution& m) { return m.m_BitsParPixels > 8; });
    return r;
}

std::optional<TMessage> MessageResolution(EResultatMode resultat) {
    switch (resultat) {
    case EResultatMode::Redemarrer:
        return TMessage{"Vous devez redémarrer l'ordinateur pour utiliser cette résolution", "Redémarrer !",
                        EIconeMessage::Avertissement};
    case EResultatMode::Echec:
        return TMessage{"Votre pilote graphique ne supporte pas cette résolution", "Pilote !",
                        EIconeMessage::Erreur};
    case EResultatMode::ModeInvalide:
        return TMessage{"Résolution non-supportée", "Non-supportée !", EIconeMessage::Erreur};
    case EResultatMode::ParametresInvalides:
        return TMessage{"Problème de paramètres", "Paramètres !", EIconeMessage::Erreur};
    case EResultatMode::Reussi:
        break;
    }
    return std::nullopt;
}

TMessage MessageEchecInit(EEchecInit echec) {
    switch (echec) {
    case EEchecInit::ChoixFormat:
        return {
            "Le contexte OpenGL obtenu n'offre pas les fonctions fixes demandées (profil de compatibilité).",
            "Choix du format de pixels", EIconeMessage::Erreur};
    case EEchecInit::AffectationFormat:
        return {"Les fonctions OpenGL 2.1 du contexte ne sont pas disponibles.",
                "Affectation du format de pixels", EIconeMessage::Erreur};
    case EEchecInit::CreationContexte:
        return {"Le contexte OpenGL n'a pas pu être créé.", "Création de la passerelle OpenGL",
                EIconeMessage::Erreur};
    case EEchecInit::ActivationContexte:
        return {"Le contexte OpenGL n'a pas pu être rendu courant.", "Activation de la passerelle OpenGL",
                EIconeMessage::Erreur};
    }
    return {};
}

std::optional<EEchecInit> DiagnostiquerContexte(bool contexteValide, bool courant, bool fonctionsFixes,
                                                bool fonctionsObtenues) {
    if (!contexteValide) return EEchecInit::CreationContexte;
    if (!fonctionsFixes) return EEchecInit::ChoixFormat;
    if (!courant) return EEchecInit::ActivationContexte;
    if (!fonctionsObtenues) return EEchecInit::AffectationFormat;
    return std::nullopt;
}

TSetupGL::TSetupGL(QWidget* parent) : QOpenGLWidget(parent) {
    QPalette p = palette();
    p.setColor(QPalette::Window, Qt::black);
    setPalette(p);
    // The last frame stays when a paint draws nothing (no scan loaded).
    setUpdateBehavior(QOpenGLWidget::PartialUpdate);
    setMouseTracking(true);
    setFocusPolicy(Qt::ClickFocus);
    AppliquerFormat();
    ListerResolutions();
}

TSetupGL::~TSetupGL() {
    // The toolkit destroys the context after this destructor: its notice must not reach this object.
    if (context() != nullptr) disconnect(context(), nullptr, this, nullptr);
    Liberer();
    TabResolution.clear();
}

TDemandeSurface TSetupGL::Demande() const {
    TDemandeSurface d;
    d.format = F_FormatPix;
    d.couleur = F_CouleurProf;
    d.profondeur = F_TamponBits;
    d.stencil = F_StencilActif ? F_StencilBits : 0;
    d.accumulation = F_AccumActif ? F_AccumProf : 0;
    return d;
}

void TSetupGL::AppliquerFormat() {
    CalculerFlagPixels();
    // The toolkit fixes the surface when the panel is first shown.
    if (!isValid()) setFormat(FormatSurface(Demande()));
}

void TSetupGL::DefinirProfondeurCouleur(TTamponBits t) {
    F_CouleurProf = EcrireProfondeur(t);
    AppliquerFormat();
}
void TSetupGL::DefinirProfondeurTampon(TTamponBits t) {
    F_TamponBits = EcrireProfondeur(t);
    AppliquerFormat();
}
void TSetupGL::DefinirProfondeurStencil(TTamponBits t) {
    F_StencilBits = EcrireProfondeur(t);
    AppliquerFormat();
}
void TSetupGL::DefinirProfondeurAccum(TTamponBits t) {
    F_AccumProf = EcrireProfondeur(t);
    AppliquerFormat();
}
void TSetupGL::DefinirDoubleTampon(bool actif) {
    F_DoubleTamponActif = actif;
}
void TSetupGL::DefinirStencilTampon(bool actif) {
    F_StencilActif = actif;
    AppliquerFormat();
}
void TSetupGL::DefinirAccumulationTampon(bool actif) {
    F_AccumActif = actif;
    AppliquerFormat();
}
void TSetupGL::DefinirFormatPixels(TFormatPixels format) {
    F_FormatPix = format;
    AppliquerFormat();
}

std::uint16_t TSetupGL::CalculerFlagPixels() {
    F_FlagPixels = tessarc::CalculerFlagPixels(F_FormatPix);
    return F_FlagPixels;
}

void TSetupGL::Signaler(const TMessage& m) {
    if (AfficherMessage) {
        AfficherMessage(m);
        return;
    }
    // Shown once the current event is over: a modal box must not run inside a paint or a set-up.
    QMetaObject::invokeMethod(
        this,
        [this, m] {
            const QString texte = QString::fromStdString(m.texte);
            const QString titre = QString::fromStdString(m.titre);
            switch (m.icone) {
            case EIconeMessage::Information:
                QMessageBox::information(this, titre, texte);
                break;
            case EIconeMessage::Avertissement:
                QMessageBox::warning(this, titre, texte);
                break;
            case EIconeMessage::Erreur:
                QMessageBox::critical(this, titre, texte);
                break;
            }
        },
        Qt::QueuedConnection);
}

bool TSetupGL::InitialiserGL() {
    CalculerFlagPixels();
    QOpenGLContext* ctx = context();
    const bool valide = ctx != nullptr && ctx->isValid();
    const bool fixes = valide && !ctx->isOpenGLES() && ctx->format().profile() != QSurfaceFormat::CoreProfile;
    const bool courant = valide && QOpenGLContext::currentContext() == ctx;
    QOpenGLFunctions_2_1* f = nullptr;
    if (valide && fixes && courant) {
        f = QOpenGLVersionFunctionsFactory::get<QOpenGLFunctions_2_1>(ctx);
        if (f != nullptr && !f->initializeOpenGLFunctions()) f = nullptr;
    }
    if (const auto echec = DiagnostiquerContexte(valide, courant, fixes, f != nullptr)) {
        fonctions_ = nullptr;
        echecSignale_ = true;
        Signaler(MessageEchecInit(*echec));
        return false;
    }
    fonctions_ = f;
    F_Initialiser = true;
    connect(ctx, &QOpenGLContext::aboutToBeDestroyed, this, &TSetupGL::Liberer, Qt::UniqueConnection);
    if (OnInit) OnInit(*this);
    if (OnResize) OnResize(*this);
    ReDraw();
    return true;
}

void TSetupGL::Liberer() {
    if (!F_Initialiser) return;
    makeCurrent();
    if (OnLiberer) OnLiberer(*this);
    doneCurrent();
    F_Initialiser = false;
    fonctions_ = nullptr;
}

void TSetupGL::CloseOGL() {
    Liberer();
    F_Initialiser = false;
}

void TSetupGL::FermetureProprietaire() {
    CloseOGL();
    if (F_FermetureProc) F_FermetureProc();
}

bool TSetupGL::RendreCourant() {
    return context() != nullptr && QOpenGLContext::currentContext() == context();
}

void TSetupGL::ReDraw() {
    update();
}

void TSetupGL::BasculeTampon() {
    if (F_Initialiser && RendreCourant()) fonctions_->glFlush();
}

void TSetupGL::Reinitialise() {
    if (!isValid()) return;
    makeCurrent();
    const bool ok = InitialiserGL();
    doneCurrent();
    if (ok) ReDraw();
}

void TSetupGL::initializeGL() {
    if (!InitialiserGL()) FermetureProprietaire();
}

void TSetupGL::resizeGL(int, int) {
    if (OnResize && F_Initialiser && RendreCourant()) OnResize(*this);
}

void TSetupGL::paintGL() {
    // A context that is not current draws nothing: the panel stays blank.
    if (!OnDraw || !F_Initialiser || !RendreCourant()) return;
    try {
        OnDraw(*this);
    } catch (const std::exception& e) {
        Signaler({e.what(), "", EIconeMessage::Erreur});
    }
}

void TSetupGL::paintEvent(QPaintEvent* e) {
    QOpenGLWidget::paintEvent(e);
    // The toolkit tries to create the context when the panel is shown; it reports no failure itself.
    if (!isValid() && !echecSignale_ && isVisible() && !size().isEmpty() &&
        window()->windowHandle() != nullptr) {
        echecSignale_ = true;
        Signaler(MessageEchecInit(EEchecInit::CreationContexte));
    }
}

void TSetupGL::mousePressEvent(QMouseEvent* e) {
    if (OnMouseDown) OnMouseDown(*e);
}

void TSetupGL::mouseMoveEvent(QMouseEvent* e) {
    if (OnMouseMove) OnMouseMove(*e);
}

void TSetupGL::mouseReleaseEvent(QMouseEvent* e) {
    if (OnMouseUp) OnMouseUp(*e);
}

void TSetupGL::wheelEvent(QWheelEvent* e) {
    if (OnMouseWheel)
        OnMouseWheel(*e);
    else
        e->ignore();
}

std::vector<std::string> TSetupGL::InfoSurMateriel() {
    if (!F_Initialiser || !isValid()) return {"ERREUR : Le composant n'est pas initialisé !"};
    makeCurrent();
    QOpenGLFunctions_2_1* f = fonctions_;
    const auto chaine = [f](GLenum nom) {
        const auto* s = reinterpret_cast<const char*>(f->glGetString(nom));
        return std::string(s != nullptr ? s : "");
    };
    const auto entier = [f](GLenum nom) {
        GLint v = 0;
        f->glGetIntegerv(nom, &v);
        return static_cast<std::int32_t>(v);
    };
    TInfoGL info;
    info.vendeur = chaine(GL_VENDOR);
    info.nom = chaine(GL_RENDERER);
    info.version = chaine(GL_VERSION);
    GLint dims[2] = {0, 0};
    f->glGetIntegerv(GL_MAX_VIEWPORT_DIMS, dims);
    info.viewportLargeur = dims[0];
    info.viewportHauteur = dims[1];
    info.texturesMax = entier(GL_MAX_TEXTURE_SIZE);
    info.lumieresMax = entier(GL_MAX_LIGHTS);
    info.plansDecoupageMax = entier(GL_MAX_CLIP_PLANES);
    info.extensions = chaine(GL_EXTENSIONS);
    doneCurrent();
    return LignesInfoMateriel(ResolutionCourante(), info);
}

TResolution TSetupGL::ResolutionCourante() const {
    TResolution r;
    const QScreen* ecran = QGuiApplication::primaryScreen();
    if (ecran == nullptr) return r;
    const QSize taille = ecran->geometry().size() * ecran->devicePixelRatio();
    r.m_BitsParPixels = ecran->depth();
    r.m_Largeur = taille.width();
    r.m_Hauteur = taille.height();
    r.m_Frequence = static_cast<std::int32_t>(std::lround(ecran->refreshRate()));
    return r;
}

void TSetupGL::ListerResolutions() {
    TabResolution = FiltrerResolutions(ecran::ListerModes());
}

std::vector<std::string> TSetupGL::ObtenirResolutions() const {
    return LignesResolutions(TabResolution);
}

bool TSetupGL::ChangerResolution(int index) {
    if (!F_Initialiser || index < 0 || index >= NbResoPossible()) return false;
    const EResultatMode r = ecran::ChangerMode(TabResolution[static_cast<std::size_t>(index)]);
    if (const auto m = MessageResolution(r)) Signaler(*m);
    return r == EResultatMode::Reussi;
}

void TSetupGL::ResetResolution() {
    ecran::RetablirMode();
}

void TSetupGL::AfficherCurseur(bool visible) {
    setCursor(visible ? Qt::ArrowCursor : Qt::BlankCursor);
}

} // namespace tessarc

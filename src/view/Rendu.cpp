#include "Rendu.h"

#include <cmath>
#include <cstring>

namespace tessarc {

namespace {

// Wait cursor and status text around the rebuild of a retained object, restored whatever happens.
class TAttenteTrace {
public:
    explicit TAttenteTrace(const TEtatScene& etat) : etat_(etat) {
        if (etat_.CurseurAttente) etat_.CurseurAttente();
        try {
            if (etat_.Utilisateur) etat_.Utilisateur->AffiInfo(1, "préparation du tracé");
        } catch (...) {
            Restaurer();
            throw;
        }
    }
    ~TAttenteTrace() { Restaurer(); }
    TAttenteTrace(const TAttenteTrace&) = delete;
    TAttenteTrace& operator=(const TAttenteTrace&) = delete;

private:
    void Restaurer() {
        if (etat_.Utilisateur) {
            // Nothing is left to stop at this point: a stop asked now is not raised again.
            try {
                etat_.Utilisateur->AffiInfo(1, "");
            } catch (const EStopError&) {
            }
        }
        if (etat_.CurseurPrecedent) etat_.CurseurPrecedent();
    }

    const TEtatScene& etat_;
};

// Attributes of the context pushed for a scope and popped on leaving it, also on an error.
class TEtatSauve {
public:
    TEtatSauve(QOpenGLFunctions_2_1& gl, GLbitfield masque) : gl_(gl) { gl_.glPushAttrib(masque); }
    ~TEtatSauve() { gl_.glPopAttrib(); }
    TEtatSauve(const TEtatSauve&) = delete;
    TEtatSauve& operator=(const TEtatSauve&) = delete;

private:
    QOpenGLFunctions_2_1& gl_;
};

TV3R Tourner(int axe, const TV3R& p) {
    // +X onto +Y for the Y arrow, onto +Z for the Z arrow.
    if (axe == 2) return FaireV3R(p[3], p[1], p[2]);
    if (axe == 3) return FaireV3R(p[2], p[3], p[1]);
    return p;
}

// A face of corners a, b, ..., last, with the normal (b - a) x (last - a).
TFace Face(const TV3R& a, const TV3R& b, const TV3R& c, const TV3R& d, int nb) {
    TFace f;
    f.sommets = {a, b, c, d};
    f.nb = nb;
    f.normale = ProduitVectoriel(DiffV3R(b, a), DiffV3R(f.sommets[static_cast<std::size_t>(nb - 1)], a));
    return f;
}

} // namespace

std::size_t RemplirSommets(std::span<TCube* const> cubes, const TReglagesVue& reglages,
                           TSommetPoint* sortie) {
    const std::uint8_t fr = RougeDe(reglages.CouleurPoints);
    const std::uint8_t fv = VertDe(reglages.CouleurPoints);
    const std::uint8_t fb = BleuDe(reglages.CouleurPoints);
    std::size_t n = 0;
    for (const TCube* c : cubes) {
        const std::uint8_t etat = c->etatSP;
        if ((etat & EtatMasque) != 0) continue;
        TSommetPoint s{c->CooMoyPts[1], c->CooMoyPts[2], c->CooMoyPts[3], 0, 0, 0, 255};
        if ((etat & EtatSelectionne) != 0) {
            s.r = 255;
        } else if (reglages.CouleurForcee) {
            s.r = fr;
            s.v = fv;
            s.b = fb;
        } else {
            s.r = c->ColCube[1];
            s.v = c->ColCube[2];
            s.b = c->ColCube[3];
        }
        sortie[n++] = s;
    }
    return n;
}

std::array<std::array<double, 2>, 16> ProfilFleche() {
    constexpr double Pi = 3.141592653589793;
    std::array<std::array<double, 2>, 16> p{};
    for (std::size_t k = 0; k < 16; ++k) {
        const double a = (-90.0 + 22.5 * double(k)) * Pi / 180.0;
        p[k] = {std::round(0.5 * std::cos(a) * 1000.0) / 1000.0,
                std::round(0.5 * std::sin(a) * 1000.0) / 1000.0};
    }
    return p;
}

std::vector<TFace> FacesFleche(int axe, double s) {
    const auto profil = ProfilFleche();
    std::array<TV3R, 16> B, E, C;
    for (std::size_t k = 0; k < 16; ++k) {
        const double c = profil[k][0], sn = profil[k][1];
        B[k] = Tourner(axe, FaireV3R(0.0, 0.05 * s * c, 0.05 * s * sn));
        E[k] = Tourner(axe, FaireV3R(0.8 * s, 0.05 * s * c, 0.05 * s * sn));
        C[k] = Tourner(axe, FaireV3R(0.8 * s, 0.15 * s * c, 0.15 * s * sn));
    }
    const TV3R T = Tourner(axe, FaireV3R(axe == 1 ? 1.3 * s : s, 0.0, 0.0));

    std::vector<TFace> faces;
    faces.reserve(48);
    for (std::size_t k = 0; k < 16; ++k) {
        const std::size_t k1 = (k + 1) % 16;
        faces.push_back(Face(B[k], B[k1], E[k1], E[k], 4));
    }
    for (std::size_t k = 0; k < 16; ++k) {
        const std::size_t k1 = (k + 1) % 16;
        faces.push_back(Face(E[k], E[k1], C[k1], C[k], 4));
        faces.push_back(Face(C[k], C[k1], T, T, 3));
    }
    return faces;
}

void TRendu::Initialiser(QOpenGLFunctions_2_1* gl) {
    // A set-up run again on the same context first gives back what the previous one made.
    Liberer();
    gl_ = gl;
    gl_->glGenBuffers(1, &vbo_);
    listeGlyphe_ = gl_->glGenLists(2);
    listeSurface_ = listeGlyphe_ + 1;
    nbSommets_ = 0;
    JeterTout();
}

void TRendu::Liberer() {
    if (gl_ != nullptr) {
        if (vbo_ != 0) gl_->glDeleteBuffers(1, &vbo_);
        if (listeGlyphe_ != 0) gl_->glDeleteLists(listeGlyphe_, 2);
    }
    vbo_ = listeGlyphe_ = listeSurface_ = 0;
    nbSommets_ = 0;
    gl_ = nullptr;
    JeterTout();
}

void TRendu::ConstruirePoints(const TEtatScene& etat, const TReglagesVue& reglages) {
    AfficherPts = etat.VoirPoints;
    std::span<TCube* const> cubes;
    if (etat.Nuage != nullptr && AfficherPts) cubes = etat.Nuage->CubesAffiches;
    const auto taille = static_cast<GLsizeiptr>(cubes.size() * sizeof(TSommetPoint));
    gl_->glBindBuffer(GL_ARRAY_BUFFER, vbo_);
    gl_->glBufferData(GL_ARRAY_BUFFER, taille, nullptr, GL_STATIC_DRAW);
    std::size_t n = 0;
    bool complet = true;
    if (!cubes.empty()) {
        // Written straight into the buffer in one pass; a copy in memory only when it cannot be mapped.
        if (void* p = gl_->glMapBuffer(GL_ARRAY_BUFFER, GL_WRITE_ONLY)) {
            n = RemplirSommets(cubes, reglages, static_cast<TSommetPoint*>(p));
            if (gl_->glUnmapBuffer(GL_ARRAY_BUFFER) == GL_FALSE) {
                n = 0;
                complet = false;
            }
        } else {
            std::vector<TSommetPoint> copie(cubes.size());
            n = RemplirSommets(cubes, reglages, copie.data());
            gl_->glBufferSubData(GL_ARRAY_BUFFER, 0, static_cast<GLsizeiptr>(n * sizeof(TSommetPoint)),
                                 copie.data());
        }
    }
    gl_->glBindBuffer(GL_ARRAY_BUFFER, 0);
    nbSommets_ = n;
    // A buffer whose content was lost is built again at the next paint.
    pointsValides_ = complet;
    ++NbConstructions[0];
}

void TRendu::RejouerPoints() {
    gl_->glEnable(GL_DEPTH_TEST);
    gl_->glEnable(GL_NORMALIZE);
    gl_->glCullFace(GL_BACK);
    gl_->glEnable(GL_CULL_FACE);
    if (!AfficherPts) return;
    gl_->glPointSize(2.0f);
    gl_->glColor3ub(0, 0, 0);
    if (nbSommets_ > 0) {
        gl_->glBindBuffer(GL_ARRAY_BUFFER, vbo_);
        gl_->glEnableClientState(GL_VERTEX_ARRAY);
        gl_->glEnableClientState(GL_COLOR_ARRAY);
        gl_->glVertexPointer(3, GL_FLOAT, sizeof(TSommetPoint), nullptr);
        gl_->glColorPointer(3, GL_UNSIGNED_BYTE, sizeof(TSommetPoint),
                            reinterpret_cast<const void*>(offsetof(TSommetPoint, r)));
        gl_->glDrawArrays(GL_POINTS, 0, static_cast<GLsizei>(nbSommets_));
        gl_->glDisableClientState(GL_COLOR_ARRAY);
        gl_->glDisableClientState(GL_VERTEX_ARRAY);
        gl_->glBindBuffer(GL_ARRAY_BUFFER, 0);
    }
    // Origin marker.
    gl_->glColor3f(1.0f, 0.0f, 0.0f);
    gl_->glPointSize(5.0f);
    gl_->glBegin(GL_POINTS);
    gl_->glVertex3f(0.0f, 0.0f, 0.0f);
    gl_->glEnd();
}

void TRendu::ConstruireSurface(const TEtatScene& etat) {
    const TMaillage* m = etat.Maillage;
    AfficherTri = m != nullptr && !m->Triangles.empty() && etat.PageActive > 2;
    gl_->glNewList(listeSurface_, GL_COMPILE_AND_EXECUTE);
    gl_->glEnable(GL_DEPTH_TEST);
    gl_->glEnable(GL_NORMALIZE);
    gl_->glDisable(GL_CULL_FACE);
    if (AfficherTri) {
        gl_->glColor3f(1.0f, 0.0f, 0.0f);
        gl_->glPolygonMode(GL_FRONT_AND_BACK, etat.VoirSurface ? GL_FILL : GL_LINE);
        PreparerMateriau();
        const auto nbNoeuds = static_cast<std::int64_t>(m->PointsModele.size());
        for (const TTriangle& t : m->Triangles) {
            // A node index outside the table would read beyond it: such a triangle is not drawn.
            bool valide = true;
            for (std::int32_t s : t.Sommets) valide = valide && s >= 0 && s < nbNoeuds;
            if (!valide) continue;
            TracerTriangle(m->PointsModele[static_cast<std::size_t>(t.Sommets[0])].CoPM,
                           m->PointsModele[static_cast<std::size_t>(t.Sommets[1])].CoPM,
                           m->PointsModele[static_cast<std::size_t>(t.Sommets[2])].CoPM);
        }
    }
    gl_->glEndList();
    surfaceValide_ = true;
    ++NbConstructions[2];
}

void TRendu::TracerFrontiere(const TEtatScene& etat) {
    const std::vector<TV3S>& f = etat.Maillage->Frontiere;
    gl_->glColor3f(1.0f, 0.0f, 0.0f);
    gl_->glLineWidth(3.0f);
    if (f.size() > 1) {
        gl_->glBegin(GL_LINE_STRIP);
        for (const TV3S& p : f) gl_->glVertex3f(p[1], p[2], p[3]);
        if (!etat.FrontiereEnCours) gl_->glVertex3f(f[0][1], f[0][2], f[0][3]);
        gl_->glEnd();
        const int k = etat.PointFrontiereChoisi;
        if (k >= 0 && static_cast<std::size_t>(k) < f.size()) {
            const TV3S& p = f[static_cast<std::size_t>(k)];
            gl_->glPointSize(5.0f);
            gl_->glBegin(GL_POINTS);
            gl_->glVertex3f(p[1], p[2], p[3]);
            gl_->glEnd();
        }
    }
    gl_->glLineWidth(1.0f);
}

void TRendu::TracerGrille(const TEtatScene& etat) {
    const TMaillage& m = *etat.Maillage;
    gl_->glColor3f(1.0f, 0.0f, 0.0f);
    float zm = 0.0f;
    if (etat.Nuage != nullptr)
        zm = static_cast<float>((double(etat.Nuage->CooMin[3]) + double(etat.Nuage->CooMax[3])) / 2.0);
    float x = m.OrigineGrille[1];
    for (std::int32_t c = 0; c < m.NbColGrille; ++c) {
        TracerSegment(FaireV3S(x, m.FrontMin[2], zm), FaireV3S(x, m.FrontMax[2], zm));
        x = x + m.TrameGrille;
    }
    float y = m.OrigineGrille[2];
    for (std::int32_t r = 0; r < m.NbLigGrille; ++r) {
        TracerSegment(FaireV3S(m.FrontMin[1], y, zm), FaireV3S(m.FrontMax[1], y, zm));
        y = y + m.TrameGrille;
    }
}

void TRendu::TracerNoeuds(const TEtatScene& etat) {
    const std::vector<TPointModele>& noeuds = etat.Maillage->PointsModele;
    gl_->glPointSize(4.0f);
    gl_->glBegin(GL_POINTS);
    // Entry 0 holds no node.
    for (std::size_t i = 1; i < noeuds.size(); ++i) {
        const TPointModele& n = noeuds[i];
        if (n.NumFront0 >= 0)
            gl_->glColor3f(0.0f, 1.0f, 0.0f);
        else if (n.NumFront0 == -1)
            gl_->glColor3f(1.0f, 0.0f, 0.0f);
        gl_->glVertex3f(n.CoPM[1], n.CoPM[2], n.CoPM[3]);
    }
    gl_->glEnd();
}

void TRendu::TracerGlyphe(const TCamera& camera) {
    const int s = camera.VGLwidth / 15;
    gl_->glMatrixMode(GL_PROJECTION);
    gl_->glLoadIdentity();
    gl_->glOrtho(0.0, camera.VGLwidth, 0.0, camera.VGLheight, -1000.0, 1000.0);
    gl_->glMatrixMode(GL_MODELVIEW);
    gl_->glLoadIdentity();
    gl_->glTranslated(s, s, 0.0);
    gl_->glMultMatrixd(camera.rotmatrix.data());
    gl_->glEnable(GL_DEPTH_TEST);
    gl_->glEnable(GL_NORMALIZE);
    gl_->glCullFace(GL_BACK);
    gl_->glEnable(GL_CULL_FACE);
    gl_->glLineWidth(1.0f);
    if (glypheValide_) {
        gl_->glCallList(listeGlyphe_);
        return;
    }
    gl_->glNewList(listeGlyphe_, GL_COMPILE_AND_EXECUTE);
    TracerTriedre(s);
    gl_->glEndList();
    glypheValide_ = true;
    ++NbConstructions[1];
}

void TRendu::VGLDraw(TEtatScene& etat, TCamera& camera, const TReglagesVue& reglages, int largeur,
                     int hauteur, double ratio) {
    if (!etat.Pret() || gl_ == nullptr) return;

    const TMatricesVue m = camera.PreparerVue(false, largeur, hauteur);
    gl_->glClearColor(RougeDe(reglages.CouleurFond) / 255.0f, VertDe(reglages.CouleurFond) / 255.0f,
                      BleuDe(reglages.CouleurFond) / 255.0f, 1.0f);
    gl_->glClearDepth(1.0);
    gl_->glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    // The camera works in client pixels; the framebuffer may hold several device pixels per client pixel.
    gl_->glViewport(0, 0, static_cast<GLsizei>(std::lround(largeur * ratio)),
                    static_cast<GLsizei>(std::lround(hauteur * ratio)));
    gl_->glMatrixMode(GL_PROJECTION);
    gl_->glLoadMatrixd(m.projection.data());
    gl_->glMatrixMode(GL_MODELVIEW);
    gl_->glLoadMatrixd(m.modele.data());

    if (!pointsValides_) {
        TAttenteTrace attente(etat);
        ConstruirePoints(etat, reglages);
    }
    RejouerPoints();

    {
        // The surface's lighting, material and polygon mode end with it: the overlays, and the next
        // frame's points, are drawn in their own colours whatever the surface set.
        const TEtatSauve etatSurface(*gl_, GL_ENABLE_BIT | GL_LIGHTING_BIT | GL_POLYGON_BIT);
        if (surfaceValide_) {
            gl_->glCallList(listeSurface_);
        } else {
            TAttenteTrace attente(etat);
            ConstruireSurface(etat);
        }
    }

    if (etat.Maillage != nullptr) {
        if (etat.PageActive == 1 || etat.PageActive == 2) TracerFrontiere(etat);
        if (etat.PageActive == 2) TracerGrille(etat);
        if (etat.PageActive > 1) TracerNoeuds(etat);
    }

    TracerGlyphe(camera);
    gl_->glFlush();
}

void TRendu::ActiverEclairage(bool on) {
    gl_->glLightModeli(GL_LIGHT_MODEL_TWO_SIDE, GL_FALSE);
    if (!on) {
        gl_->glDisable(GL_LIGHTING);
        return;
    }
    static constexpr GLfloat Position[4] = {-1000.0f, 1000.0f, 1000.0f, 0.0f};
    static constexpr GLfloat Diffuse[4] = {1.0f, 1.0f, 1.0f, 1.0f};
    static constexpr GLfloat Ambiante[4] = {0.02f, 0.02f, 0.02f, 1.0f};
    // The light is placed in eye coordinates.
    gl_->glPushMatrix();
    gl_->glLoadIdentity();
    gl_->glEnable(GL_LIGHTING);
    gl_->glLightfv(GL_LIGHT0, GL_POSITION, Position);
    gl_->glLightfv(GL_LIGHT0, GL_DIFFUSE, Diffuse);
    gl_->glLightfv(GL_LIGHT0, GL_AMBIENT, Ambiante);
    gl_->glEnable(GL_LIGHT0);
    gl_->glPopMatrix();
}

void TRendu::PreparerMateriau() {
    static constexpr GLfloat Noir[4] = {0.0f, 0.0f, 0.0f, 1.0f};
    ActiverEclairage(true);
    gl_->glShadeModel(GL_SMOOTH);
    gl_->glEnable(GL_COLOR_MATERIAL);
    gl_->glMaterialfv(GL_FRONT_AND_BACK, GL_AMBIENT_AND_DIFFUSE, Noir);
    gl_->glMaterialfv(GL_FRONT_AND_BACK, GL_EMISSION, Noir);
    gl_->glMaterialf(GL_FRONT_AND_BACK, GL_SHININESS, 90.0f);
}

void TRendu::TracerTriangle(const TV3S& p, const TV3S& q, const TV3S& r) {
    const TV3R a = FaireV3R(double(q[1]) - p[1], double(q[2]) - p[2], double(q[3]) - p[3]);
    const TV3R b = FaireV3R(double(r[1]) - p[1], double(r[2]) - p[2], double(r[3]) - p[3]);
    const TV3S n = V3RenV3S(ProduitVectoriel(a, b));
    gl_->glBegin(GL_TRIANGLES);
    gl_->glNormal3f(n[1], n[2], n[3]);
    gl_->glVertex3f(p[1], p[2], p[3]);
    gl_->glVertex3f(q[1], q[2], q[3]);
    gl_->glVertex3f(r[1], r[2], r[3]);
    gl_->glEnd();
}

void TRendu::TracerSegment(const TV3S& a, const TV3S& b) {
    gl_->glBegin(GL_LINES);
    gl_->glVertex3f(a[1], a[2], a[3]);
    gl_->glVertex3f(b[1], b[2], b[3]);
    gl_->glEnd();
}

void TRendu::TracerTriedre(double s) {
    gl_->glColor3f(0.0f, 1.0f, 0.0f);
    TracerFleche(1, s);
    gl_->glColor3f(1.0f, 0.0f, 0.0f);
    TracerFleche(2, s);
    gl_->glColor3f(0.0f, 0.0f, 1.0f);
    TracerFleche(3, s);
}

void TRendu::TracerFleche(int axe, double s) {
    for (const TFace& f : FacesFleche(axe, s)) {
        gl_->glBegin(f.nb == 4 ? GL_QUADS : GL_TRIANGLES);
        gl_->glNormal3d(f.normale[1], f.normale[2], f.normale[3]);
        for (int i = 0; i < f.nb; ++i) {
            const TV3R& p = f.sommets[static_cast<std::size_t>(i)];
            gl_->glVertex3d(p[1], p[2], p[3]);
        }
        gl_->glEnd();
    }
}

} // namespace tessarc

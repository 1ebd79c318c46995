#include "DlphUtil.h"

#include "Nombres.h"
#include "StringUtils.h"
#include "VerrousFichiers.h"

#include <QAction>
#include <QGuiApplication>
#include <QMenu>
#include <QMenuBar>
#include <QPixmap>
#include <QPointer>
#include <QWidget>

#include <functional>
#include <map>
#include <utility>

// Resources of a static library are registered by hand, outside any namespace.
static void InitialiserRessourcesCurseurs() {
    Q_INIT_RESOURCE(curseurs);
}

namespace tessarc {

namespace {

constexpr int kPointChaud = 15;

struct EtatCurseurs {
    std::map<int, QCursor> enregistres;
    std::string pile;
    int ecran = crDefaut;
};

EtatCurseurs& Curseurs() {
    static EtatCurseurs etat;
    return etat;
}

QPointer<TVerrousFichiers>& Verrous() {
    static QPointer<TVerrousFichiers> verrous;
    return verrous;
}

const std::map<int, Qt::CursorShape>& FormesStandard() {
    static const std::map<int, Qt::CursorShape> formes = {
        {-1, Qt::BlankCursor},      {-2, Qt::ArrowCursor},      {-3, Qt::CrossCursor},
        {-4, Qt::IBeamCursor},      {-5, Qt::SizeAllCursor},    {-6, Qt::SizeBDiagCursor},
        {-7, Qt::SizeVerCursor},    {-8, Qt::SizeFDiagCursor},  {-9, Qt::SizeHorCursor},
        {-10, Qt::UpArrowCursor},   {-11, Qt::WaitCursor},      {-12, Qt::DragMoveCursor},
        {-13, Qt::ForbiddenCursor}, {-14, Qt::SplitHCursor},    {-15, Qt::SplitVCursor},
        {-16, Qt::DragCopyCursor},  {-17, Qt::WaitCursor},      {-18, Qt::ForbiddenCursor},
        {-19, Qt::BusyCursor},      {-20, Qt::WhatsThisCursor}, {-21, Qt::PointingHandCursor},
        {-22, Qt::SizeAllCursor}};
    return formes;
}

QCursor CurseurRessource(const QString& nom) {
    return QCursor(QPixmap(QStringLiteral(":/curseurs/") + nom), kPointChaud, kPointChaud);
}

void VisiterActions(const QList<QAction*>& actions, const std::function<void(QAction*)>& visite) {
    for (QAction* action : actions) {
        visite(action);
        if (QMenu* sousMenu = action->menu()) VisiterActions(sousMenu->actions(), visite);
    }
}

} // namespace

void DemarrerUtilitaires() {
    InitialiserRessourcesCurseurs();
    Curseurs().pile.clear();
    for (int k = 0; k < 10; ++k)
        EnregistrerCurseur(
            crAttente00 + k,
            CurseurRessource(QStringLiteral("CURSWAIT%1").arg(k * 10, 2, 10, QLatin1Char('0'))));
    // Owned by the application object, so it goes with it at the end of the program.
    if (!Verrous()) Verrous() = new TVerrousFichiers(QCoreApplication::instance());
}

TVerrousFichiers* VerrousFichiers() {
    return Verrous();
}

void EnregistrerCurseur(int numero, const QCursor& curseur) {
    Curseurs().enregistres[numero] = curseur;
}

QCursor CurseurNumero(int numero) {
    const auto& enregistres = Curseurs().enregistres;
    if (const auto i = enregistres.find(numero); i != enregistres.end()) return i->second;
    const auto& formes = FormesStandard();
    if (const auto i = formes.find(numero); i != formes.end()) return QCursor(i->second);
    return QCursor(Qt::ArrowCursor);
}

QCursor ChargerCurseurMire() {
    InitialiserRessourcesCurseurs();
    QCursor mire = CurseurRessource(QStringLiteral("MIRE"));
    EnregistrerCurseur(crMire, mire);
    return mire;
}

int CurseurEcran() {
    // Whoever removed the last override cursor brought the default back.
    return QGuiApplication::overrideCursor() == nullptr ? crDefaut : Curseurs().ecran;
}

void DefinirCurseurEcran(int numero) {
    if (numero == crDefaut) {
        while (QGuiApplication::overrideCursor() != nullptr) QGuiApplication::restoreOverrideCursor();
    } else if (QGuiApplication::overrideCursor() != nullptr) {
        QGuiApplication::changeOverrideCursor(CurseurNumero(numero));
    } else {
        QGuiApplication::setOverrideCursor(CurseurNumero(numero));
    }
    Curseurs().ecran = numero;
}

void CurseurAttente() {
    auto& pile = Curseurs().pile;
    pile = std::to_string(CurseurEcran()) + ' ' + pile;
    DefinirCurseurEcran(crSablier);
    QCoreApplication::processEvents();
}

void CurseurPrecedent() {
    auto& pile = Curseurs().pile;
    if (pile.empty()) return;
    try {
        const std::string numero = ExtraireJusqua(pile, ' ');
        DefinirCurseurEcran(LireEntier(numero).value_or(crDefaut));
        QCoreApplication::processEvents();
    } catch (...) {
        // Restoring a cursor never stops the work it closes.
    }
}

const std::string& PileCurseurs() {
    return Curseurs().pile;
}

bool ShiftEnfonce() {
    return QGuiApplication::queryKeyboardModifiers().testFlag(Qt::ShiftModifier);
}

QWidget* FicheProprietaire(QObject* objet) {
    for (; objet != nullptr; objet = objet->parent()) {
        auto* w = qobject_cast<QWidget*>(objet);
        if (w != nullptr && w->isWindow() && w->windowType() != Qt::Popup && w->windowType() != Qt::ToolTip)
            return w;
    }
    return nullptr;
}

std::string SauverEtatMenu(QMenuBar* menu) {
    std::string etat;
    VisiterActions(menu->actions(), [&](QAction* action) {
        etat += action->isEnabled() ? 'T' : 'F';
        action->setEnabled(false);
    });
    return etat;
}

void RestaurerEtatMenu(QMenuBar* menu, std::string_view etat) {
    std::size_t k = 0;
    VisiterActions(menu->actions(), [&](QAction* action) {
        if (k < etat.size()) action->setEnabled(etat[k] == 'T');
        ++k;
    });
}

} // namespace tessarc

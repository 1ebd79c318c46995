#pragma once
// Qt side of the utility layer: its start-up, numbered screen cursors and the wait-cursor stack, the
// menu lock, and small questions about widgets and the keyboard.

#include <QCursor>

#include <string>
#include <string_view>

class QMenuBar;
class QObject;
class QWidget;

namespace tessarc {

class TVerrousFichiers;

// Screen cursor numbers: 0 is the default cursor (no override), negative numbers the standard shapes,
// positive numbers the program's own registered cursors.
constexpr int crDefaut = 0;
constexpr int crSablier = -11;
constexpr int crMire = 1;
constexpr int crAttente00 = 100; // "CURSWAIT00" .. "CURSWAIT90" are 100 .. 109

// Start-up of the layer, after the application object and before any window: empties the cursor
// stack, registers the ten wait cursors and creates the file-lock list (owned by the application
// object).
void DemarrerUtilitaires();
[[nodiscard]] TVerrousFichiers* VerrousFichiers();

void EnregistrerCurseur(int numero, const QCursor& curseur);
// The cursor of a number: registered, standard, else the arrow.
[[nodiscard]] QCursor CurseurNumero(int numero);
// Loads the sight cross "MIRE" and registers it as number 1.
QCursor ChargerCurseurMire();

// The screen cursor is the application's override cursor; 0 when there is none.
[[nodiscard]] int CurseurEcran();
void DefinirCurseurEcran(int numero);

// Pushes the current screen cursor's number and shows the hourglass; pops it back. Both let pending
// events run. The stack is text: numbers each followed by a space, most recent first.
void CurseurAttente();
void CurseurPrecedent();
[[nodiscard]] const std::string& PileCurseurs();

// The hourglass over a scope, put back however the scope ends.
class TAttenteCurseur {
public:
    TAttenteCurseur() { CurseurAttente(); }
    ~TAttenteCurseur() { CurseurPrecedent(); }
    TAttenteCurseur(const TAttenteCurseur&) = delete;
    TAttenteCurseur& operator=(const TAttenteCurseur&) = delete;
};

[[nodiscard]] bool ShiftEnfonce();

// The nearest window up the parent chain, the object itself included; menus and tooltips are not.
[[nodiscard]] QWidget* FicheProprietaire(QObject* objet);

// Visits every action of the menu bar depth first (an action, then the actions of its menu),
// separators included, and returns "T" for each enabled one and "F" for the others, disabling all.
[[nodiscard]] std::string SauverEtatMenu(QMenuBar* menu);
// Enables the k-th action exactly when the k-th character is "T"; actions beyond the text keep their
// state.
void RestaurerEtatMenu(QMenuBar* menu, std::string_view etat);

} // namespace tessarc

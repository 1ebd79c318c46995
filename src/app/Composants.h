#pragma once
// Builders of the work pages' widgets, so that every page lays out its row the same way: a panel named
// for the settings and the tests, a row of controls, labels, edit boxes and buttons. Each widget is
// owned by its Qt parent.

#include <QString>

#include <string>

class QBoxLayout;
class QHBoxLayout;
class QLineEdit;
class QPushButton;
class QVBoxLayout;
class QWidget;

namespace tessarc {

// A named panel; a height above 0 fixes it.
QWidget* Panneau(QWidget* parent, const char* nom, int hauteur = 0);
// Children stacked without margins or spacing.
QVBoxLayout* Colonne(QWidget* parent);
// The row of a work page.
QHBoxLayout* Rangee(QWidget* page);
void Etiquette(QWidget* page, QBoxLayout* rangee, const QString& texte);
// A label and the edit box it names, of a fixed width.
QLineEdit* Champ(QWidget* page, QBoxLayout* rangee, const QString& etiquette, const char* nom,
                 const QString& texte, int largeur = 56);
QPushButton* Bouton(QWidget* page, QBoxLayout* rangee, const char* nom, const QString& texte);

// An edit box's text as the core reads it, and a core text shown in one.
[[nodiscard]] std::string Texte(const QLineEdit* saisie);
void Ecrire(QLineEdit* saisie, const std::string& texte);

} // namespace tessarc

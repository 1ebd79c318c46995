#pragma once
// The modal boxes and dialogs of the main window, held as function objects so that the tests answer
// them without blocking. Standard() gives Qt's own widgets (never the desktop's native dialogs, which
// would not follow the program's French translation).

#include "Utilisateur.h"

#include <QColor>
#include <QString>
#include <QUrl>

#include <functional>
#include <optional>

class QWidget;

namespace tessarc {

// A file chosen in the save dialog, with the 1-based index of the filter in use.
struct TChoixEnregistrement {
    QString Nom;
    int Filtre = 0;
};

struct TDialogues {
    // Question box with the buttons Yes and No.
    std::function<TReponse(QWidget* parent, const QString& question)> Question;
    // Plain message box with an OK button.
    std::function<void(QWidget* parent, const QString& texte)> Message;
    // Open dialog on an existing file; an empty name when cancelled.
    std::function<QString(QWidget* parent, const QString& dossier, const QString& filtre)> NomAOuvrir;
    // Save dialog preset to a name, without overwrite prompt; nothing when cancelled.
    std::function<std::optional<TChoixEnregistrement>(QWidget* parent, const QString& nom,
                                                      const QString& filtre)>
        NomAEnregistrer;
    // Colour dialog preset to a colour; nothing when cancelled.
    std::function<std::optional<QColor>(QWidget* parent, const QColor& couleur)> Couleur;
    // Hands a document to the desktop's opener. surEchec runs, at once or when the opener ends, if no
    // viewer could show it; the opener still running belongs to parent.
    std::function<void(QWidget* parent, const QUrl& lien, std::function<void()> surEchec)> OuvrirLien;

    [[nodiscard]] static TDialogues Standard();
};

// The filters of the open dialog and of the save dialog, in Qt's notation.
[[nodiscard]] QString FiltreOuvrir();
[[nodiscard]] QString FiltreEnregistrer();

} // namespace tessarc

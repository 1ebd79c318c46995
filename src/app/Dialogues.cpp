#include "Dialogues.h"

#include "Formats.h"

#include <QColorDialog>
#include <QFileDialog>
#include <QMessageBox>
#include <QProcess>
#include <QPushButton>

#include <memory>

namespace tessarc {

namespace {

QString Joindre(const std::vector<std::string>& filtres) {
    QStringList l;
    for (const std::string& f : filtres) l << QString::fromStdString(f);
    return l.join(QStringLiteral(";;"));
}

} // namespace

QString FiltreOuvrir() {
    return Joindre(FiltresOuverture());
}

QString FiltreEnregistrer() {
    return Joindre(FiltresEnregistrement());
}

namespace {

// Title of the question and message boxes; the window keeps its own title alone.
const QString TitreBoites = QStringLiteral("Tessarc");

TReponse QuestionOuiNon(QWidget* parent, const QString& question) {
    QMessageBox boite(QMessageBox::Question, TitreBoites, question, QMessageBox::Yes | QMessageBox::No,
                      parent);
    // Closing the box (title bar or Esc) must be told apart from No: a hidden Cancel button takes it.
    QAbstractButton* fermeture = boite.addButton(QMessageBox::Cancel);
    fermeture->hide();
    boite.setEscapeButton(fermeture);
    boite.setDefaultButton(QMessageBox::Yes);
    boite.exec();
    if (boite.clickedButton() == boite.button(QMessageBox::Yes)) return TReponse::Oui;
    if (boite.clickedButton() == boite.button(QMessageBox::No)) return TReponse::Non;
    return TReponse::Annuler;
}

void Afficher(QWidget* parent, const QString& texte) {
    QMessageBox boite(QMessageBox::NoIcon, TitreBoites, texte, QMessageBox::Ok, parent);
    boite.exec();
}

QString ChoisirFichierAOuvrir(QWidget* parent, const QString& dossier, const QString& filtre) {
    QFileDialog dialogue(parent, QStringLiteral("Ouvrir"), dossier, filtre);
    dialogue.setOption(QFileDialog::DontUseNativeDialog);
    dialogue.setAcceptMode(QFileDialog::AcceptOpen);
    dialogue.setFileMode(QFileDialog::ExistingFile);
    if (dialogue.exec() != QDialog::Accepted || dialogue.selectedFiles().isEmpty()) return {};
    return dialogue.selectedFiles().constFirst();
}

std::optional<TChoixEnregistrement> ChoisirFichierAEnregistrer(QWidget* parent, const QString& nom,
                                                               const QString& filtre) {
    QFileDialog dialogue(parent, QStringLiteral("Enregistrer sous"), QString(), filtre);
    dialogue.setOptions(QFileDialog::DontUseNativeDialog | QFileDialog::DontConfirmOverwrite);
    dialogue.setAcceptMode(QFileDialog::AcceptSave);
    dialogue.setFileMode(QFileDialog::AnyFile);
    if (!nom.isEmpty()) dialogue.selectFile(nom);
    if (dialogue.exec() != QDialog::Accepted || dialogue.selectedFiles().isEmpty()) return std::nullopt;
    const int index = dialogue.nameFilters().indexOf(dialogue.selectedNameFilter());
    return TChoixEnregistrement{dialogue.selectedFiles().constFirst(), index + 1};
}

std::optional<QColor> ChoisirCouleur(QWidget* parent, const QColor& couleur) {
    const QColor choix =
        QColorDialog::getColor(couleur, parent, QString(), QColorDialog::DontUseNativeDialog);
    if (!choix.isValid()) return std::nullopt;
    return choix;
}

// The desktop's opener ends in failure when it finds no viewer ("no method available"), long after it
// was started: its end is awaited without blocking, and it is not started detached, so that the failure
// is seen. A viewer it starts outlives it.
void OuvrirAvecLeBureau(QWidget* parent, const QUrl& lien, const std::function<void()>& surEchec) {
    QProcess* ouvreur = std::make_unique<QProcess>(parent).release(); // owned by its Qt parent
    ouvreur->setProcessChannelMode(QProcess::ForwardedChannels);
    QObject::connect(ouvreur, &QProcess::finished, ouvreur,
                     [ouvreur, surEchec](int code, QProcess::ExitStatus fin) {
                         if (fin != QProcess::NormalExit || code != 0) surEchec();
                         ouvreur->deleteLater();
                     });
    QObject::connect(ouvreur, &QProcess::errorOccurred, ouvreur,
                     [ouvreur, surEchec](QProcess::ProcessError e) {
                         if (e != QProcess::FailedToStart) return;
                         surEchec();
                         ouvreur->deleteLater();
                     });
    ouvreur->start(QStringLiteral("xdg-open"), {lien.isLocalFile() ? lien.toLocalFile() : lien.toString()});
}

} // namespace

TDialogues TDialogues::Standard() {
    TDialogues d;
    d.Question = QuestionOuiNon;
    d.Message = Afficher;
    d.NomAOuvrir = ChoisirFichierAOuvrir;
    d.NomAEnregistrer = ChoisirFichierAEnregistrer;
    d.Couleur = ChoisirCouleur;
    d.OuvrirLien = OuvrirAvecLeBureau;
    return d;
}

} // namespace tessarc

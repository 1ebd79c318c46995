#include "Composants.h"

#include <QBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QWidget>

namespace tessarc {

QWidget* Panneau(QWidget* parent, const char* nom, int hauteur) {
    auto* panneau = new QWidget(parent);
    panneau->setObjectName(QString::fromLatin1(nom));
    if (hauteur > 0) panneau->setFixedHeight(hauteur);
    return panneau;
}

QVBoxLayout* Colonne(QWidget* parent) {
    auto* colonne = new QVBoxLayout(parent);
    colonne->setContentsMargins(0, 0, 0, 0);
    colonne->setSpacing(0);
    return colonne;
}

QHBoxLayout* Rangee(QWidget* page) {
    auto* rangee = new QHBoxLayout(page);
    rangee->setContentsMargins(4, 3, 4, 3);
    rangee->setSpacing(4);
    return rangee;
}

void Etiquette(QWidget* page, QBoxLayout* rangee, const QString& texte) {
    rangee->addWidget(new QLabel(texte, page));
}

QLineEdit* Champ(QWidget* page, QBoxLayout* rangee, const QString& etiquette, const char* nom,
                 const QString& texte, int largeur) {
    Etiquette(page, rangee, etiquette);
    auto* saisie = new QLineEdit(texte, page);
    saisie->setObjectName(QString::fromLatin1(nom));
    saisie->setFixedWidth(largeur);
    rangee->addWidget(saisie);
    return saisie;
}

QPushButton* Bouton(QWidget* page, QBoxLayout* rangee, const char* nom, const QString& texte) {
    auto* bouton = new QPushButton(texte, page);
    bouton->setObjectName(QString::fromLatin1(nom));
    rangee->addWidget(bouton);
    return bouton;
}

std::string Texte(const QLineEdit* saisie) {
    return saisie->text().toStdString();
}

void Ecrire(QLineEdit* saisie, const std::string& texte) {
    saisie->setText(QString::fromStdString(texte));
}

} // namespace tessarc

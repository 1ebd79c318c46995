// The real question box: two visible buttons, and closing it is told apart from No.

#include "Dialogues.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>

using namespace tessarc;

namespace {

// Answers the box once it is up, from inside its own event loop.
TReponse Repondre(const std::function<void(QMessageBox&)>& geste, QStringList* boutons = nullptr) {
    QTimer::singleShot(0, [&] {
        auto* boite = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        ASSERT_NE(boite, nullptr);
        if (boutons) {
            for (const QAbstractButton* b : boite->buttons())
                if (b->isVisible()) *boutons << b->text().remove('&');
        }
        geste(*boite);
    });
    return TDialogues::Standard().Question(nullptr, "les données ont été modifiées, enregistrer?");
}

TEST(Question, YesNoAndClosedAreThreeAnswers) {
    QStringList visibles;
    EXPECT_EQ(Repondre([](QMessageBox& b) { b.button(QMessageBox::Yes)->click(); }, &visibles),
              TReponse::Oui);
    EXPECT_EQ(visibles.size(), 2);
    EXPECT_EQ(Repondre([](QMessageBox& b) { b.button(QMessageBox::No)->click(); }), TReponse::Non);
    EXPECT_EQ(Repondre([](QMessageBox& b) { b.close(); }), TReponse::Annuler);
    EXPECT_EQ(Repondre([](QMessageBox& b) { b.reject(); }), TReponse::Annuler);
}

} // namespace

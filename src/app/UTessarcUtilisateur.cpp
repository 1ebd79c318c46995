// The window as the user's channel: the two-panel status line with its cancel question, the message and
// question boxes, and the quieter channel of the view's paint and mouse handlers.

#include "UTessarc.h"

#include <QCoreApplication>
#include <QLabel>

#include <optional>

namespace tessarc {

namespace {

// Status texts of the view (hover figures, drawing notice) come from paint and mouse handlers: they are
// shown without letting other events run, and never ask "Annuler?". The drawing notice gives panel 1
// back as it found it, so that a count or an instruction shown there outlives the redraw after it. An
// error is shown once the paint or mouse event is over.
class TCanalVue final : public IUtilisateur {
public:
    TCanalVue(TFTessarc& fenetre, const std::array<QLabel*, 2>& panneaux)
        : fenetre_(fenetre), panneaux_(panneaux) {}

    void AffiInfo(int panneau, const std::string& texte) override {
        QLabel* label = panneaux_[panneau <= 0 ? 0 : 1];
        if (panneau > 0 && !texte.empty() && !avantNotice_) avantNotice_ = label->text();
        if (panneau > 0 && texte.empty() && avantNotice_) {
            label->setText(*avantNotice_);
            avantNotice_.reset();
            return;
        }
        label->setText(QString::fromStdString(texte));
    }
    void Message(const std::string& texte) override {
        QMetaObject::invokeMethod(
            &fenetre_, [f = &fenetre_, texte] { f->Message(texte); }, Qt::QueuedConnection);
    }
    // Nothing there waits for an answer.
    [[nodiscard]] TReponse Question(const std::string&) override { return TReponse::Non; }

private:
    TFTessarc& fenetre_;
    const std::array<QLabel*, 2>& panneaux_;
    std::optional<QString> avantNotice_; // panel 1 when the notice came
};

} // namespace

std::unique_ptr<IUtilisateur> TFTessarc::CreerCanalVue() {
    return std::make_unique<TCanalVue>(*this, PanneauxInfo);
}

void TFTessarc::AffiInfo(int panneau, const std::string& texte) {
    if (DemandeAbandon()) throw EStopError();
    PanneauxInfo[panneau <= 0 ? 0 : 1]->setText(QString::fromStdString(texte));
    QCoreApplication::processEvents();
}

bool TFTessarc::DemandeAbandon() {
    if (!Echap) return false;
    Echap = false;
    return Question("Annuler?") == TReponse::Oui;
}

QString TFTessarc::TexteStatut(int panneau) const {
    return PanneauxInfo[panneau <= 0 ? 0 : 1]->text();
}

void TFTessarc::Message(const std::string& texte) {
    Dlg.Message(this, QString::fromStdString(texte));
}

TReponse TFTessarc::Question(const std::string& texte) {
    return Dlg.Question(this, QString::fromStdString(texte));
}

} // namespace tessarc

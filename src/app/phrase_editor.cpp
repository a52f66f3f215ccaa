#include "app/phrase_editor.h"

#include <QLabel>

namespace vornel::app {

PhraseEditor::PhraseEditor(const QPixmap& background, QWidget* table)
    : SideWindow("Tphrases", "Vornel - Phrase Buttons", {348, 258}, background, table) {
    for (int n = 1; n <= 9; ++n) {
        const int top = 6 + (n - 1) * 23;
        auto* label = new QLabel(QString("Phrase Button %1:").arg(n), this);
        label->setGeometry(10, top, 104, 21);
        auto* edit = new QLineEdit(this);
        edit->setObjectName(QString("phrase%1").arg(n));
        edit->setMaxLength(kMaxLength);
        edit->setGeometry(116, top, 222, 21);
        edits_[static_cast<std::size_t>(n)] = edit;
    }
    done_ = new QPushButton("Done", this);
    done_->setObjectName("SelButton8");
    done_->setGeometry(136, 220, 75, 28);
    connect(done_, &QPushButton::clicked, this, [this] {
        std::array<QString, 10> phrases;
        for (int n = 1; n <= 9; ++n) phrases[static_cast<std::size_t>(n)] = edits_[static_cast<std::size_t>(n)]->text();
        Q_EMIT done(phrases);
        hide();
    });
}

void PhraseEditor::open(const std::array<QString, 10>& phrases) {
    for (int n = 1; n <= 9; ++n) edits_[static_cast<std::size_t>(n)]->setText(phrases[static_cast<std::size_t>(n)]);
    showOver();
}

}  // namespace vornel::app

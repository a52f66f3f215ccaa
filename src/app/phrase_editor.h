#pragma once
// The phrase editor `Tphrases`: nine lines for the texts of the phrase
// buttons and "Done", which hands them on. Closing it otherwise keeps
// nothing.

#include <QLineEdit>
#include <QPushButton>
#include <array>

#include "app/side_window.h"

namespace vornel::app {

class PhraseEditor : public SideWindow {
    Q_OBJECT
public:
    static constexpr int kMaxLength = 50;

    PhraseEditor(const QPixmap& background, QWidget* table);

    // `PrhaseList1Click`: shows the buttons' phrases 1..9 (index 0 unused).
    void open(const std::array<QString, 10>& phrases);
    QLineEdit& edit(int n) { return *edits_[static_cast<std::size_t>(n)]; }
    QPushButton& doneButton() { return *done_; }

Q_SIGNALS:
    // `SelButton8Click`: the nine texts, index 1..9.
    void done(const std::array<QString, 10>& phrases);

private:
    std::array<QLineEdit*, 10> edits_{};
    QPushButton* done_;
};

}  // namespace vornel::app

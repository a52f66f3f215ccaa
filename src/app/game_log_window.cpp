#include "app/game_log_window.h"

#include <QLabel>
#include <QPushButton>
#include <QScrollBar>
#include <QTextCursor>

#include "table/board.h"
#include "table/table_window.h"

namespace vornel::app {

namespace {

QLabel* heading(const QString& caption, const QColor& background, QRect geometry, QWidget* parent) {
    auto* label = new QLabel(caption, parent);
    label->setGeometry(geometry);
    label->setAlignment(Qt::AlignCenter);
    label->setAutoFillBackground(true);
    QPalette palette = label->palette();
    palette.setColor(QPalette::Window, background);
    palette.setColor(QPalette::WindowText, Qt::white);
    label->setPalette(palette);
    QFont font = label->font();
    font.setBold(true);
    font.setPointSize(10);
    label->setFont(font);
    return label;
}

}  // namespace

GameLogWindow::GameLogWindow(table::TableWindow& table)
    : SideWindow("Tscorecard", "Vornel - Logs", {494, 158}, table.artwork().backgroundTile(), &table) {
    setStayOnTop(true);
    heading("Tan Log", table::kTanColour, {8, 1, 241, 24}, this)->setObjectName("label_tanlog");
    heading("Blue Log", table::kBlueColour, {251, 1, 241, 24}, this)->setObjectName("label_bluelog");
    for (int n = 1; n <= 2; ++n) {
        auto* memo = new QTextEdit(this);
        memo->setObjectName(QString("memo_score%1").arg(n));
        memo->setGeometry(n == 1 ? 8 : 251, 26, 241, 102);
        memo->setReadOnly(true);
        memo->setLineWrapMode(QTextEdit::NoWrap);
        memo->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
        memo->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
        memo->setFocusPolicy(Qt::ClickFocus);  // not reached by tabbing
        // The selection stays visible while the pane has no focus.
        QPalette palette = memo->palette();
        palette.setColor(QPalette::Inactive, QPalette::Highlight, palette.color(QPalette::Active, QPalette::Highlight));
        palette.setColor(QPalette::Inactive, QPalette::HighlightedText,
                         palette.color(QPalette::Active, QPalette::HighlightedText));
        memo->setPalette(palette);
        panes_[n - 1] = memo;
    }
    auto* done = new QPushButton("Done", this);
    done->setObjectName("button_done");
    done->setGeometry(394, 134, 95, 20);
    connect(done, &QPushButton::clicked, this, &QWidget::hide);
}

QTextEdit* GameLogWindow::pane(int number) const { return number == 1 || number == 2 ? panes_[number - 1] : nullptr; }

void GameLogWindow::addlinetomemo(const QString& text, int pane, const QColor& colour) {
    QTextEdit* memo = this->pane(pane);
    if (memo == nullptr) return;
    QTextCursor cursor(memo->document());
    cursor.movePosition(QTextCursor::End);
    QTextCharFormat format;
    format.setForeground(colour);
    format.setFontWeight(QFont::Bold);
    format.setFontPointSize(10);
    cursor.insertText(text, format);
    cursor.insertBlock(QTextBlockFormat(), format);
    memo->setTextCursor(cursor);
    memo->ensureCursorVisible();
}

int GameLogWindow::lineCount(int pane) const {
    const QTextEdit* memo = this->pane(pane);
    // Every line ends in a line break, so the last block is the empty one after it.
    return memo == nullptr ? 0 : memo->document()->blockCount() - 1;
}

}  // namespace vornel::app

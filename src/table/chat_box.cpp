#include "table/chat_box.h"

#include <QScrollBar>
#include <QTextCursor>
#include <QTextEdit>

namespace vornel::table {

void ChatBox::addLine(const QString& text, const QColor& colour) {
    box_.setUpdatesEnabled(false);
    QScrollBar* bar = box_.verticalScrollBar();
    const int keptScroll = bar->value();
    const QTextCursor keptCursor = box_.textCursor();

    QTextCursor cursor(box_.document());
    cursor.movePosition(QTextCursor::End);
    QTextCharFormat format;
    format.setForeground(colour);
    const qsizetype colon = text.indexOf(':');
    if (colon >= 0) {
        format.setFontWeight(QFont::Bold);
        cursor.insertText(text.left(colon + 1), format);
    }
    format.setFontWeight(QFont::Normal);
    cursor.insertText(colon >= 0 ? text.mid(colon + 1) : text, format);
    cursor.insertBlock();

    if (scrollOff_) {
        box_.setTextCursor(keptCursor);
        bar->setValue(keptScroll);
    } else {
        box_.setTextCursor(cursor);
        bar->setValue(bar->maximum());
    }
    box_.setUpdatesEnabled(true);
    box_.viewport()->update();
}

void ChatBox::clear() { box_.clear(); }

void ChatBox::setFontSize(int pointSize) {
    QFont font = box_.font();
    font.setPointSize(pointSize);
    box_.setFont(font);
}

}  // namespace vornel::table

#include "table/chat_box.h"

#include <QAbstractTextDocumentLayout>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextEdit>

namespace vornel::table {

namespace {

bool breaksRun(QChar c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == QChar::ParagraphSeparator ||
           c == QChar::LineSeparator;
}

const char* const kAddressPrefixes[] = {"http://", "ftp://",  "file://", "gopher://",
                                        "telnet://", "news:", "mailto:", "www."};

}  // namespace

WebAddress findWebAddress(const QString& text, int position) {
    if (position < 0 || position >= text.size() || breaksRun(text[position])) return {};
    int first = position;
    while (first > 0 && !breaksRun(text[first - 1])) --first;
    int end = position + 1;
    while (end < text.size() && !breaksRun(text[end])) ++end;
    const QString run = text.mid(first, end - first);
    const QString lower = run.toLower();
    for (const char* prefix : kAddressPrefixes) {
        const qsizetype at = lower.indexOf(QLatin1String(prefix));
        if (at < 0) continue;
        QString address = run.mid(at);
        while (!address.isEmpty() && !address.back().isLetterOrNumber() && address.back() != '/') address.chop(1);
        const int start = first + static_cast<int>(at);
        if (address.size() <= static_cast<qsizetype>(qstrlen(prefix))) return {};
        if (position < start || position >= start + address.size()) return {};
        return {start, address};
    }
    return {};
}

void ChatBox::addLine(const QString& text, const QColor& colour) {
    box_.setUpdatesEnabled(false);
    QScrollBar* bar = box_.verticalScrollBar();
    const int keptScroll = bar->value();
    const QTextCursor keptCursor = box_.textCursor();

    QTextCursor cursor(box_.document());
    cursor.movePosition(QTextCursor::End);
    // One edit: the box lays the new line out once, not once per part.
    cursor.beginEditBlock();
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
    cursor.endEditBlock();

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

// A box that holds no line is as a new one: clearing it would lay out its
// document again for nothing.
void ChatBox::clear() {
    if (!box_.document()->isEmpty()) box_.clear();
}

WebAddress ChatBox::webAddressAt(QPoint viewportPoint) const {
    const QPointF inDocument(viewportPoint.x() + box_.horizontalScrollBar()->value(),
                             viewportPoint.y() + box_.verticalScrollBar()->value());
    int position = box_.document()->documentLayout()->hitTest(inDocument, Qt::ExactHit);
    if (position < 0) return {};
    // The hit is the nearer edge of a character: step back when it is the
    // right edge of the one under the point.
    QTextCursor cursor(box_.document());
    cursor.setPosition(position);
    if (position > 0 && box_.cursorRect(cursor).left() > viewportPoint.x()) --position;
    const QTextBlock block = box_.document()->findBlock(position);
    WebAddress address = findWebAddress(block.text(), position - block.position());
    if (address.found()) address.start += block.position();
    return address;
}

void ChatBox::setFontSize(int pointSize) {
    QFont font = box_.font();
    font.setPointSize(pointSize);
    box_.setFont(font);
}

}  // namespace vornel::table

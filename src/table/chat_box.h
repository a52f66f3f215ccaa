#pragma once
// The chat box `mainchat`: coloured lines, the part up to the first ":" in
// bold, appended at the end with one repaint.

#include <QColor>
#include <QPoint>
#include <QString>

class QTextEdit;

namespace vornel::table {

// A web address found in a text: where it starts and its text.
struct WebAddress {
    int start = -1;
    QString text;
    bool found() const { return start >= 0; }
    // "file:" addresses are shown but never handed to the system to open.
    bool isFile() const { return text.startsWith("file:", Qt::CaseInsensitive); }
};

// The web address that the character at `position` of `text` is part of:
// the run of characters around it without blank, tab, CR or LF is searched,
// in lower case, for the first of "http://", "ftp://", "file://",
// "gopher://", "telnet://", "news:", "mailto:" and "www."; the address runs
// from that prefix to the end of the run, less trailing characters other
// than letters, digits and "/", and must be longer than its prefix. A
// position outside the text, or outside the address, finds nothing.
WebAddress findWebAddress(const QString& text, int position);

class ChatBox {
public:
    explicit ChatBox(QTextEdit& box) : box_(box) {}

    // `addlinetochat`.
    void addLine(const QString& text, const QColor& colour);
    void clear();
    void setFontSize(int pointSize);
    // "Scroll Chat Off": new lines do not move the view.
    void setScrollOff(bool off) { scrollOff_ = off; }
    bool scrollOff() const { return scrollOff_; }
    // The web address under a point of the box's viewport, in document
    // positions; nothing when the point is not over a character.
    WebAddress webAddressAt(QPoint viewportPoint) const;

private:
    QTextEdit& box_;
    bool scrollOff_ = false;
};

}  // namespace vornel::table

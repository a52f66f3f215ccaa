#pragma once
// The chat box `mainchat`: coloured lines, the part up to the first ":" in
// bold, appended at the end with one repaint.

#include <QColor>
#include <QString>

class QTextEdit;

namespace vornel::table {

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

private:
    QTextEdit& box_;
    bool scrollOff_ = false;
};

}  // namespace vornel::table

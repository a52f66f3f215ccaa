#include "lobby_window/lobby_look.h"

#include <QLabel>
#include <QPainter>
#include <QTextEdit>

#include "table/board.h"

namespace vornel::lobby_window {

void paintTableBackground(QWidget& widget, const QPixmap& tile) {
    QPainter painter(&widget);
    painter.fillRect(widget.rect(), table::kTableColour);
    if (!tile.isNull()) painter.drawTiledPixmap(widget.rect(), tile);
}

QFont lobbyFont(int pointSize, bool bold) { return table::boardFont(pointSize, bold); }

QLabel* makeLabel(const QString& text, const QColor& colour, int pointSize, bool bold, QWidget* parent) {
    auto* label = new QLabel(parent);
    // The server's words are shown as they are, never read as markup.
    label->setTextFormat(Qt::PlainText);
    label->setText(text);
    label->setFont(lobbyFont(pointSize, bold));
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, colour);
    label->setPalette(palette);
    return label;
}

QTextEdit* makeChatBox(QWidget* parent) {
    auto* box = new QTextEdit(parent);
    box->setReadOnly(true);
    box->setAcceptRichText(false);
    box->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    box->setFont(lobbyFont(9));
    QPalette palette = box->palette();
    palette.setColor(QPalette::Base, Qt::white);
    box->setPalette(palette);
    return box;
}

}  // namespace vornel::lobby_window

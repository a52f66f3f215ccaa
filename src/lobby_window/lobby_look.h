#pragma once
// The game's look in the lobby's windows, taken from the table: its colour
// under its tiled background picture, its font and its chat box.

#include <QColor>
#include <QFont>
#include <QPixmap>
#include <QString>
#include <QWidget>

class QLabel;
class QTextEdit;

namespace vornel::lobby_window {

// Paints a widget as the table is painted: its colour, then its tile.
void paintTableBackground(QWidget& widget, const QPixmap& tile);

QFont lobbyFont(int pointSize, bool bold = false);
// A label in the game's font and a colour, showing only plain text.
QLabel* makeLabel(const QString& text, const QColor& colour, int pointSize, bool bold, QWidget* parent);
// The chat box as the table has it: white, read-only, the game's chat font.
QTextEdit* makeChatBox(QWidget* parent);

// The colour of the lobby's own notices in its chat box, as the game's.
inline const QColor kNoticeColour(0, 0, 255);
inline const QColor kChatColour(0, 0, 0);
inline const QColor kProblemColour(128, 0, 0);

}  // namespace vornel::lobby_window

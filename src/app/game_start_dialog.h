#pragma once
// The game start dialog `Tgamestart`: the host's player picks the target
// score (5 to 10, arrows only) and starts a game.

#include <QSpinBox>

#include "app/side_window.h"

namespace vornel::table {
class ImageElement;
}

namespace vornel::app {

class GameStartDialog : public SideWindow {
    Q_OBJECT
public:
    GameStartDialog(const QPixmap& background, const QPixmap& startPicture, QWidget* table);

    QString scoreText() const;
    QSpinBox& arrows() { return *upDown_; }

Q_SIGNALS:
    // The start button was clicked with this score text.
    void startRequested(const QString& score);

private:
    QSpinBox* upDown_;
};

}  // namespace vornel::app

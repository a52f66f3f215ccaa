#include "app/game_start_dialog.h"

#include <QLabel>
#include <QLineEdit>

#include "table/board_element.h"

namespace vornel::app {

GameStartDialog::GameStartDialog(const QPixmap& background, const QPixmap& startPicture, QWidget* table)
    : SideWindow("Tgamestart", "Vornel - Game Start", {257, 122}, background, table) {
    setFixedSize(257, 122);
    auto* heading = new QLabel("Game Options", this);
    QFont bold = heading->font();
    bold.setBold(true);
    heading->setFont(bold);
    heading->setGeometry(0, 8, 257, 18);
    heading->setAlignment(Qt::AlignHCenter);

    auto* caption = new QLabel("Play to Score:", this);
    caption->setFont(bold);
    caption->setGeometry(40, 42, 100, 22);

    upDown_ = new QSpinBox(this);
    upDown_->setObjectName("UpDown1");
    upDown_->setRange(5, 10);
    upDown_->setValue(10);
    upDown_->setWrapping(false);
    upDown_->setGeometry(146, 40, 60, 24);
    // The score changes only with the arrows, so it is always 5 to 10.
    upDown_->findChild<QLineEdit*>()->setObjectName("edit_playtoscore");
    upDown_->findChild<QLineEdit*>()->setReadOnly(true);

    auto* start = new table::ImageElement("button_start", this, {83, 80, 91, 28});
    start->setPixmap(startPicture);
    start->setCursor(Qt::PointingHandCursor);
    connect(start, &table::ImageElement::pressed, this, [this](Qt::MouseButton button) {
        if (button != Qt::LeftButton) return;
        Q_EMIT startRequested(scoreText());
        hide();
    });
}

QString GameStartDialog::scoreText() const { return QString::number(upDown_->value()); }

}  // namespace vornel::app

#include "table/board_stage.h"

#include <QPainter>
#include <algorithm>
#include <cmath>

#include "table/artwork.h"
#include "table/board.h"

namespace vornel::table {

BoardStage::BoardStage(const Artwork& artwork, QWidget* parent) : QWidget(parent), artwork_(artwork) {
    setObjectName("central");
    setMinimumSize(kMinimumWidth, kMinimumHeight);
    board_ = new Board(artwork_, this);
    board_->move(0, 0);
}

qreal BoardStage::scaleFor(const QSize& area) {
    const qreal factor = std::min(static_cast<qreal>(area.width()) / kMinimumWidth,
                                  static_cast<qreal>(area.height()) / kMinimumHeight);
    return std::max(1.0, factor);
}

void BoardStage::resizeEvent(QResizeEvent* event) {
    const qreal factor = scaleFor(size());
    board_->setScale(factor);
    // The board with its margins, centred (at the smallest size it fills the area).
    board_->move(std::max(0, static_cast<int>(std::floor((width() - kMinimumWidth * factor) / 2))),
                 std::max(0, static_cast<int>(std::floor((height() - kMinimumHeight * factor) / 2))));
    QWidget::resizeEvent(event);
}

void BoardStage::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    // The tile is opaque and covers everything: nothing is filled first.
    painter.drawTiledPixmap(rect(), artwork_.backgroundTile());
}

}  // namespace vornel::table

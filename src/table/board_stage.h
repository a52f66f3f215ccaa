#pragma once
// The table window's client area `central`: the table cloth, tiled, with
// the board on it. The board grows with the area by one factor,
// min(width / 786, height / 563) and never below 1, and stands centred.

#include <QWidget>

namespace vornel::table {

class Artwork;
class Board;

class BoardStage : public QWidget {
    Q_OBJECT
public:
    // The smallest client area: the board and its margins.
    static constexpr int kMinimumWidth = 786;
    static constexpr int kMinimumHeight = 563;

    BoardStage(const Artwork& artwork, QWidget* parent = nullptr);

    Board& board() { return *board_; }
    // The board's factor for a client area of this size.
    static qreal scaleFor(const QSize& area);

protected:
    void resizeEvent(QResizeEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    const Artwork& artwork_;
    Board* board_ = nullptr;
};

}  // namespace vornel::table

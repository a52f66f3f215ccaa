#pragma once
// The last-trick window `Tlasttrick`: the card each seat played in the trick
// won most recently, the suit led, the trump card and who won it. The frames
// follow seat numbers 1 to 4 from left to right whatever the own seat is.

#include <QLabel>
#include <array>

#include "app/side_window.h"
#include "table/table_services.h"

namespace vornel::table {
class Artwork;
class Board;
class TableWindow;
}  // namespace vornel::table

namespace vornel::app {

class LastTrickWindow : public SideWindow, public table::LastTrickSink {
    Q_OBJECT
public:
    // A frame shows the top-left part of a card picture of this size.
    static constexpr QSize kFrameSize{52, 72};

    // Draws with the table's card pictures and names seats as its labels do.
    explicit LastTrickWindow(table::TableWindow& table);

    void showLastTrick(const table::LastTrick& trick) override;
    void clearTrumpCard() override;

    QLabel* played(int seat) const { return seat >= 1 && seat <= 4 ? played_[seat] : nullptr; }
    QLabel* player(int seat) const { return seat >= 1 && seat <= 4 ? players_[seat] : nullptr; }
    QLabel* trumpCard() const { return trump_; }
    QLabel* ledSuit() const { return ledSuit_; }
    QLabel* winner() const { return winner_; }

protected:
    void changeEvent(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    // `player1` .. `player4` := the table's seat names.
    void refreshNames();
    void draw(QLabel* frame, int image);

    const table::Artwork& artwork_;
    const table::Board& board_;
    std::array<QLabel*, 5> played_{};
    std::array<QLabel*, 5> players_{};
    QLabel* trump_ = nullptr;
    QLabel* ledSuit_ = nullptr;
    QLabel* winner_ = nullptr;
};

}  // namespace vornel::app

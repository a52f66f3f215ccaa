#pragma once
// Moving cards on the board: a played card slides from its seat's hand to
// its place, dealt cards fan in from the dealer, and a cleared trick sweeps
// towards the winner's side. Only what is shown moves: every element holds
// its final place from the moment the game sets it, so a motion never holds
// back a message, and a change the game makes to a moving element ends its
// motion at once at that place.

#include <QElapsedTimer>
#include <QObject>
#include <QPixmap>
#include <QPointer>
#include <QRect>
#include <QTimer>
#include <optional>
#include <vector>

namespace vornel::table {

class Board;
class BoardLabel;
class ImageElement;

class CardMotion : public QObject {
    Q_OBJECT
public:
    static constexpr int kDurationMs = 150;

    explicit CardMotion(Board& board);

    // Off, every motion ends at once and none starts.
    void setEnabled(bool on);
    bool enabled() const { return enabled_; }
    bool moving() const { return !slides_.empty() || !sweeps_.empty(); }
    bool sliding() const { return !slides_.empty(); }

    // The place (logical) a seat's card leaves from: the own hand card of
    // that slot, or the last card of the seat's fan of backs.
    QRect handPlace(int seat, int slot, int ownSeat) const;
    // The element slides to its place from `from` (logical).
    void slide(BoardLabel* element, const QRect& from);
    // A seat's dealt cards fan in from the dealer's hand.
    void dealt(int seat, int ownSeat);
    // The seat that won the trick now on the table.
    void trickWon(int seat) { trickWinner_ = seat; }
    // The trick about to be cleared sweeps towards the winner's hand.
    void gatherTrick();

    // Ends the element's motion at its final place.
    void settle(const BoardLabel* element);
    void settleAll();
    // As on a new board: nothing moving, and no trick won.
    void reset();

    // Where a sliding element stands now (logical); nothing for one at rest.
    std::optional<QRectF> placeNow(const BoardLabel& element) const;

    // What the sweep overlay draws: pictures with their places now (logical).
    struct Sweep {
        QPixmap picture;
        QRectF from;
        QRectF to;
    };
    const std::vector<Sweep>& sweeps() const { return sweeps_; }
    qreal sweepProgress() const;

private:
    struct Slide {
        QPointer<BoardLabel> element;
        QRectF from;
        QElapsedTimer clock;
    };
    static qreal eased(qreal t);
    void tick();
    void ensureTicking();

    Board& board_;
    bool enabled_ = true;
    std::vector<Slide> slides_;
    std::vector<Sweep> sweeps_;
    QElapsedTimer sweepClock_;
    QPointer<QWidget> overlay_;
    QTimer timer_;
    int trickWinner_ = 0;
};

}  // namespace vornel::table

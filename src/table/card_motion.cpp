#include "table/card_motion.h"

#include <QPainter>
#include <algorithm>

#include "table/artwork.h"
#include "table/board.h"

namespace vornel::table {

namespace {

constexpr int kFrameMs = 15;
constexpr QSize kCardSize(71, 96);

// Draws the trick being swept off the table, above every element.
class SweepOverlay : public QWidget {
public:
    SweepOverlay(Board& board, const CardMotion& motion) : QWidget(&board), board_(board), motion_(motion) {
        setObjectName("board_sweep");
        setProperty(Board::kUnscaledProperty, true);
        setAttribute(Qt::WA_TransparentForMouseEvents);
        setAttribute(Qt::WA_TranslucentBackground);
    }

protected:
    void paintEvent(QPaintEvent*) override {
        const qreal t = motion_.sweepProgress();
        if (t >= 1.0) return;
        QPainter painter(this);
        painter.setOpacity(1.0 - t);
        for (const auto& sweep : motion_.sweeps()) {
            const QRectF at(sweep.from.topLeft() + (sweep.to.topLeft() - sweep.from.topLeft()) * t, sweep.from.size());
            const QRect shown = board_.shownRect(at);
            painter.drawPixmap(shown.topLeft(), board_.artwork().shownAt(sweep.picture, shown.size(), devicePixelRatioF()));
        }
    }

private:
    Board& board_;
    const CardMotion& motion_;
};

}  // namespace

CardMotion::CardMotion(Board& board) : board_(board) {
    timer_.setInterval(kFrameMs);
    connect(&timer_, &QTimer::timeout, this, &CardMotion::tick);
}

void CardMotion::setEnabled(bool on) {
    enabled_ = on;
    if (!on) settleAll();
}

qreal CardMotion::eased(qreal t) {
    const qreal rest = 1.0 - std::clamp(t, 0.0, 1.0);
    return 1.0 - rest * rest * rest;
}

QRect CardMotion::handPlace(int seat, int slot, int ownSeat) const {
    if (seat == ownSeat) {
        if (const ImageElement* card = board_.handCard(slot)) return card->geometry();
        return {};
    }
    const ImageElement* fan = board_.seatImage(SeatFamily::Cards, seat);
    if (fan == nullptr) return {};
    return {QPoint(fan->x() + 5 * std::max(0, fan->tag() - 1), fan->y()), kCardSize};
}

void CardMotion::slide(BoardLabel* element, const QRect& from) {
    if (element == nullptr || from.isNull()) return;
    settle(element);
    sweeps_.clear();
    if (!enabled_ || from == element->geometry()) return;
    Slide motion{element, QRectF(from), {}};
    motion.clock.start();
    slides_.push_back(motion);
    element->applyGeometry();
    ensureTicking();
}

void CardMotion::dealt(int seat, int ownSeat) {
    if (!enabled_) return;
    const ImageElement* dealer = board_.image("button_dealer");
    const ImageElement* pack = dealer != nullptr ? board_.seatImage(SeatFamily::Cards, dealer->tag()) : nullptr;
    if (pack == nullptr) return;
    const QRect from(pack->pos(), kCardSize);
    if (seat != ownSeat) {
        if (ImageElement* fan = board_.seatImage(SeatFamily::Cards, seat)) slide(fan, QRect(from.topLeft(), fan->size()));
        return;
    }
    for (QWidget* child : board_.findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
        if (child->objectName().startsWith(QLatin1StringView("card"), Qt::CaseInsensitive) && child->isVisible())
            if (auto* card = qobject_cast<ImageElement*>(child)) slide(card, from);
}

void CardMotion::gatherTrick() {
    sweeps_.clear();
    if (!enabled_) return;
    const ImageElement* hand = board_.seatImage(SeatFamily::Cards, trickWinner_);
    if (hand == nullptr) return;
    const QPointF towards(hand->x() + 10, hand->y());
    for (int seat = 1; seat <= 4; ++seat) {
        const ImageElement* played = board_.seatImage(SeatFamily::Played, seat);
        if (played == nullptr || played->pixmap().isNull()) continue;
        const QRectF from(played->geometry());
        // Half way to the winner's hand, fading as it goes.
        sweeps_.push_back({played->pixmap(), from, QRectF(from.topLeft() + (towards - from.topLeft()) / 2, from.size())});
    }
    if (sweeps_.empty()) return;
    if (overlay_ == nullptr) overlay_ = new SweepOverlay(board_, *this);
    overlay_->setGeometry(QRect(QPoint(0, 0), board_.QWidget::size()));
    overlay_->show();
    overlay_->raise();
    sweepClock_.start();
    ensureTicking();
}

qreal CardMotion::sweepProgress() const {
    if (sweeps_.empty() || !sweepClock_.isValid()) return 1.0;
    return eased(static_cast<qreal>(sweepClock_.elapsed()) / kDurationMs);
}

std::optional<QRectF> CardMotion::placeNow(const BoardLabel& element) const {
    for (const auto& motion : slides_) {
        if (motion.element != &element) continue;
        const qreal t = eased(static_cast<qreal>(motion.clock.elapsed()) / kDurationMs);
        const QRectF to(element.geometry());
        return QRectF(motion.from.topLeft() + (to.topLeft() - motion.from.topLeft()) * t,
                      motion.from.size() + (to.size() - motion.from.size()) * t);
    }
    return std::nullopt;
}

void CardMotion::settle(const BoardLabel* element) {
    const auto moving = std::find_if(slides_.begin(), slides_.end(),
                                     [element](const Slide& motion) { return motion.element == element; });
    if (moving == slides_.end()) return;
    QPointer<BoardLabel> settled = moving->element;
    slides_.erase(moving);
    if (settled != nullptr) settled->applyGeometry();
}

void CardMotion::settleAll() {
    std::vector<Slide> ending;
    ending.swap(slides_);
    for (auto& motion : ending)
        if (motion.element != nullptr) motion.element->applyGeometry();
    sweeps_.clear();
    if (overlay_ != nullptr) overlay_->hide();
    timer_.stop();
}

void CardMotion::reset() {
    settleAll();
    trickWinner_ = 0;
    sweepClock_.invalidate();
}

void CardMotion::ensureTicking() {
    if (!timer_.isActive()) timer_.start();
}

void CardMotion::tick() {
    std::vector<Slide> running;
    std::vector<QPointer<BoardLabel>> ended;
    for (auto& motion : slides_) {
        if (motion.element == nullptr) continue;
        if (motion.clock.elapsed() >= kDurationMs) ended.push_back(motion.element);
        else running.push_back(motion);
    }
    slides_.swap(running);
    for (const auto& motion : slides_) motion.element->applyGeometry();
    for (const auto& element : ended)
        if (element != nullptr) element->applyGeometry();
    if (!sweeps_.empty() && sweepClock_.elapsed() >= kDurationMs) sweeps_.clear();
    if (overlay_ != nullptr) {
        if (sweeps_.empty()) overlay_->hide();
        else overlay_->update();
    }
    if (!moving()) timer_.stop();
}

}  // namespace vornel::table

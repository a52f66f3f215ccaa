// The own hand: building it from the deal, sorting it, closing the gap a
// played card leaves, and the clicks on hand cards and bubbles.

#include <utility>
#include <vector>

#include "engine/cards.h"
#include "engine/ports.h"
#include "net/protocol.h"
#include "table/artwork.h"
#include "table/board.h"
#include "table/game_view.h"
#include "table/table_window.h"

namespace vornel::table {

namespace {
constexpr int kRestTop = 400;
constexpr int kRaisedTop = 395;
int leftOf(int position) { return 72 + 18 * position; }
}  // namespace

void GameView::placecard(std::string_view rest) {
    net::FieldReader reader(rest);
    const auto seat = reader.number();
    if (!seat) return;
    // Every pair is read before anything changes: a deal that does not read has no effect.
    std::vector<std::pair<int, int>> dealt;
    while (!reader.atEnd() && dealt.size() < 5) {
        const auto slot = reader.number();
        const auto code = reader.number();
        if (!slot || !code) return;
        dealt.emplace_back(*slot, *code);
    }
    if (!reader.atEnd()) return;
    if (ImageElement* fan = board_.seatImage(SeatFamily::Cards, *seat)) fan->clearPicture();
    int lastSlot = 0;
    for (const auto& [slot, code] : dealt) {
        lastSlot = slot;
        if (*seat == state_.ownSeat) createcard(slot, code);
    }
    if (*seat == state_.ownSeat) sortthem();
    else if (lastSlot > 0 && lastSlot <= 5 && isSeat(*seat)) drawFan(*seat, lastSlot);
    board_.motion().dealt(*seat, state_.ownSeat);
    window_.playsounds("getcard");
}

void GameView::createcard(int slot, int code) {
    if (slot < 1 || slot > 5 || code < 0 || code > 56) return;
    // A slot already in the hand keeps its card: two cards under one name
    // could no longer be told apart when one is played.
    for (int p = 1; p <= 5; ++p)
        if (layout_[p] == slot) return;
    int position = 1;
    while (position <= 5 && layout_[position] != -1) ++position;
    if (position > 5) return;  // the host never deals a sixth card
    layout_[position] = slot;

    ImageElement* card = board_.takeHandCard(QString("card%1").arg(slot), {leftOf(position), kRestTop, 71, 96});
    card->setTag(slot);
    card->setHint(QString::number(code));
    card->setPixmap(window_.artwork().card(code));
    card->show();
    for (int p = position; p <= 5; ++p)
        if (layout_[p] != -1)
            if (ImageElement* c = board_.handCard(layout_[p])) c->raise();
}

void GameView::sortthem() {
    auto cardAt = [this](int position) { return board_.handCard(layout_[position]); };
    for (int pass = 0; pass < 5; ++pass) {
        for (int p = 5; p >= 2; --p) {
            if (layout_[p] == -1) continue;
            ImageElement* right = cardAt(p);
            ImageElement* left = cardAt(p - 1);
            if (right == nullptr || left == nullptr) return;
            bool leftOk = false, rightOk = false;
            const int leftCode = left->hint().toInt(&leftOk);
            const int rightCode = right->hint().toInt(&rightOk);
            if (!leftOk || !rightOk) return;
            if (leftCode <= rightCode) continue;
            std::swap(layout_[p], layout_[p - 1]);
            left->move(leftOf(p), left->y());
            right->move(leftOf(p - 1), right->y());
        }
    }
    for (int p = 1; p <= 5; ++p)
        if (layout_[p] != -1)
            if (ImageElement* c = cardAt(p)) c->raise();
}

void GameView::movecards(int slot) {
    int position = 1;
    while (position <= 5 && layout_[position] != slot) ++position;
    if (position > 5) return;
    hintedSlot_ = 0;
    layout_[position] = -1;
    for (int q = position + 1; q <= 5; ++q) {
        if (layout_[q] == -1) continue;
        if (ImageElement* card = board_.handCard(layout_[q])) {
            card->move(leftOf(q - 1), card->y());
            card->raise();
            card->show();
        }
        layout_[q - 1] = layout_[q];
        layout_[q] = -1;
    }
    for (int p = 1; p <= 5; ++p) {
        if (layout_[p] == -1) continue;
        ImageElement* card = board_.handCard(layout_[p]);
        if (card != nullptr && card->y() != kRestTop) card->move(card->x(), kRestTop);
    }
}

void GameView::cardimagesMouseDown(ImageElement& card, int button) {
    if (button == 2) {
        sortthem();
        return;
    }
    if (button != 1 || !state_.loggedIn || state_.seatToAct != state_.ownSeat) return;
    // The card the hint raised stands as a first click leaves it: this click plays it.
    const bool hinted = hintedSlot_ != 0 && card.tag() == hintedSlot_ && card.y() == kRaisedTop;
    if (card.y() == kRestTop || hinted) {
        hintedSlot_ = 0;
        card.move(card.x(), kRaisedTop);
        window_.sendMessage("CMD_playcard", {Field::num(state_.ownSeat), Field::num(card.tag())});
    } else {
        card.move(card.x(), kRestTop);
    }
}

void GameView::bubble1Click(int bubble) {
    ImageElement* element = board_.bubble(bubble);
    if (element == nullptr || element->tag() == -1) return;
    if (state_.loggedIn && state_.seatToAct == state_.ownSeat)
        window_.sendMessage("CMD_selectedbubble", {Field::num(state_.ownSeat), Field::num(element->tag())});
    clearBubbles();
}

bool GameView::raiseHintedCard(int slot) {
    if (slot < 1 || slot > 5) return false;
    ImageElement* card = board_.handCard(slot);
    if (card == nullptr || !card->isVisible()) return false;
    // Only one card stands raised by the hint; one the player raised stays.
    if (hintedSlot_ != 0 && hintedSlot_ != slot)
        if (ImageElement* before = board_.handCard(hintedSlot_)) before->move(before->x(), kRestTop);
    card->move(card->x(), kRaisedTop);
    hintedSlot_ = slot;
    return true;
}

void GameView::dropHint() {
    if (hintedSlot_ == 0) return;
    if (ImageElement* card = board_.handCard(hintedSlot_)) card->move(card->x(), kRestTop);
    hintedSlot_ = 0;
}

}  // namespace vornel::table

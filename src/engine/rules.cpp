#include "rules.h"

#include <algorithm>
#include <bit>

#include "card_sets.h"

namespace vornel {

namespace {

// The table cards of every seat but the current player's (the cards on the
// table are distinct, so taking his card out of the set leaves the others').
CardSet othersOnTable(const GameState& state) {
    const auto& seats = state.seats;
    const CardSet all = cardSetOf(seats[1].tableCard, seats[2].tableCard, seats[3].tableCard, seats[4].tableCard, 0);
    const int current = isSeat(state.currentPlayer) ? state.currentPlayer : 0;
    return all & ~cardSetOf(seats[static_cast<unsigned>(current)].tableCard);
}

// The first seat, other than the current player, whose table card is `code`.
int seatPlaying(const GameState& state, int code) {
    int seat = 0;
    for (int s = 4; s >= 1; --s) seat = state.seat(s).tableCard == code && s != state.currentPlayer ? s : seat;
    return seat;
}

// The best card among `onTable` in effective suit `suit`, 0 if none. Among
// trumps either Bower beats every other card, and of two Bowers the one in
// the lower seat counts; otherwise the higher code is the higher card.
int bestCard(const GameState& state, CardSet onTable, int suit) {
    const CardSet cards = onTable & state.suitSet(suit);
    const CardSet bowers = suit == state.trump ? cards & kJackCards : CardSet{0};
    if (bowers == 0) return cards != 0 ? std::bit_width(cards) - 1 : kNoCard;
    const int first = std::countr_zero(bowers);
    const CardSet rest = bowers & (bowers - 1);
    if (rest == 0) return first;
    const int second = std::countr_zero(rest);
    return seatPlaying(state, first) <= seatPlaying(state, second) ? first : second;
}

}  // namespace

int thewinner(const GameState& state) {
    // The Right Bower, else the Left Bower, else the highest card of the
    // trump block, else the highest of the led block: inside one block the
    // higher code is the higher card. A seat that sits out never wins.
    CardSet played = 0;
    for (int s = 1; s <= 4; ++s) played |= cardSetOf(state.seat(s).tableCard) * CardSet{!state.seat(s).sitsOut};
    auto holder = [&](int code) {
        int seat = 0;
        for (int s = 4; s >= 1; --s) seat = state.seat(s).tableCard == code && !state.seat(s).sitsOut ? s : seat;
        return seat;
    };
    const int right = rightBowerFor(state.trump);
    if (contains(played, right)) return holder(right);
    if (contains(played, state.leftBower)) return holder(state.leftBower);
    const CardSet trumps = played & blockSetOf(state.trump);
    if (trumps != 0) return holder(std::bit_width(trumps) - 1);
    const CardSet followers = played & blockSetOf(state.ledSuit);
    return followers != 0 ? holder(std::bit_width(followers) - 1) : 0;
}

int highest(const GameState& state, int suit) {
    const int card = bestCard(state, othersOnTable(state), suit);
    return card != kNoCard ? seatPlaying(state, card) : 0;
}

TrickLeaders trickLeaders(const GameState& state) {
    const CardSet onTable = othersOnTable(state);
    const int led = bestCard(state, onTable, state.ledSuit);
    return {led, state.ledSuit == state.trump ? led : bestCard(state, onTable, state.trump)};
}

}  // namespace vornel

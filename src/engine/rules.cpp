#include "rules.h"

#include <algorithm>
#include <bit>

#include "card_sets.h"

namespace vornel {

namespace {

// The first seat, other than the current player, whose table card is `code`.
int seatPlaying(const GameState& state, int code) {
    int seat = 0;
    for (int s = 4; s >= 1; --s) seat = state.seat(s).tableCard == code && s != state.currentPlayer ? s : seat;
    return seat;
}

}  // namespace

namespace detail {

int lowerSeatBower(const GameState& state, CardSet bowers) {
    const int first = std::countr_zero(bowers);
    const int second = std::countr_zero(bowers & (bowers - 1));
    return seatPlaying(state, first) <= seatPlaying(state, second) ? first : second;
}

}  // namespace detail

int thewinner(const GameState& state) {
    // The Right Bower, else the Left Bower, else the highest card of the
    // trump block, else the highest of the led block: inside one block the
    // higher code is the higher card. A seat that sits out never wins.
    CardSet played = 0;
    for (int s = 1; s <= 4; ++s) played |= cardSetOf(state.seat(s).tableCard) & allIf(!state.seat(s).sitsOut);
    // Each later choice overrides the earlier ones, so the first that holds
    // wins. Chosen by selection, not jumps: the table is new every trick.
    const CardSet followers = played & blockSetOf(state.ledSuit);
    const CardSet trumps = played & blockSetOf(state.trump);
    const int right = rightBowerFor(state.trump);
    int card = highestIn(unlessEmpty(trumps, followers));
    card = contains(played, state.leftBower) ? state.leftBower : card;
    card = contains(played, right) ? right : card;
    // The seats (as bits 1..4) that played the card and take part.
    unsigned holders = 0;
    for (int s = 1; s <= 4; ++s) {
        const bool holds = (state.seat(s).tableCard == card) & !state.seat(s).sitsOut;
        holders |= unsigned{holds} << s;
    }
    holders &= card != kNoCard ? ~0u : 0u;
    const int lowest = std::countr_zero(holders);
    return holders != 0 ? lowest : 0;
}

int highest(const GameState& state, int suit) {
    const int card = detail::bestCard(state, detail::othersOnTable(state), suit);
    return card != kNoCard ? seatPlaying(state, card) : 0;
}

}  // namespace vornel

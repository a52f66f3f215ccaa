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
    for (int s = 1; s <= 4; ++s) played |= cardSetOf(state.seat(s).tableCard) * CardSet{!state.seat(s).sitsOut};
    auto holder = [&](int code) {
        int seat = 0;
        for (int s = 4; s >= 1; --s) {
            const int holds = int{state.seat(s).tableCard == code} & int{!state.seat(s).sitsOut};
            seat = holds != 0 ? s : seat;
        }
        return seat;
    };
    // Each later choice overrides the earlier ones, so the first that holds wins.
    const CardSet followers = played & blockSetOf(state.ledSuit);
    const CardSet trumps = played & blockSetOf(state.trump);
    const int right = rightBowerFor(state.trump);
    int card = followers != 0 ? std::bit_width(followers) - 1 : kNoCard;
    card = trumps != 0 ? std::bit_width(trumps) - 1 : card;
    card = contains(played, state.leftBower) ? state.leftBower : card;
    card = contains(played, right) ? right : card;
    return card != kNoCard ? holder(card) : 0;
}

int highest(const GameState& state, int suit) {
    const int card = detail::bestCard(state, detail::othersOnTable(state), suit);
    return card != kNoCard ? seatPlaying(state, card) : 0;
}

}  // namespace vornel

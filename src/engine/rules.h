#pragma once
// The trick rules shared by the engine and the computer players.

#include <bit>

#include "game_state.h"

namespace vornel {

// Whether the seat holds a card whose effective suit is the led suit.
inline bool checkforsuit(const GameState& state, int seat) {
    return (state.seat(seat).cards() & state.suitSet(state.ledSuit)) != 0;
}

// The seat that wins the completed trick on the table (0 if none can).
int thewinner(const GameState& state);

// The seat, other than the current player, whose table card is currently the
// best of effective suit `suit`; 0 if none.
int highest(const GameState& state, int suit);

// The table cards of highest() for the led suit and for trump (0 for
// none), found together from one look at the table. Inline: the computer
// players ask for it before every card they follow with.
struct TrickLeaders {
    int ledCard = kNoCard;
    int trumpCard = kNoCard;
};

namespace detail {

// The table cards of every seat but the current player's (the cards on the
// table are distinct, so taking his card out of the set leaves the others').
inline CardSet othersOnTable(const GameState& state) {
    const auto& seats = state.seats;
    const CardSet all = cardSetOf(seats[1].tableCard, seats[2].tableCard, seats[3].tableCard, seats[4].tableCard, 0);
    const int current = isSeat(state.currentPlayer) ? state.currentPlayer : 0;
    return all & ~cardSetOf(seats[static_cast<unsigned>(current)].tableCard);
}

// Of two Bowers on the table, the one in the lower seat.
int lowerSeatBower(const GameState& state, CardSet bowers);

// The best card among `onTable` in effective suit `suit`, 0 if none. Among
// trumps either Bower beats every other card, and of two Bowers the one in
// the lower seat counts; otherwise the higher code is the higher card.
inline int bestCard(const GameState& state, CardSet onTable, int suit) {
    const CardSet cards = onTable & state.suitSet(suit);
    const CardSet bowers = cards & kJackCards & allIf(suit == state.trump);
    if ((bowers & (bowers - 1)) != 0) [[unlikely]] return lowerSeatBower(state, bowers);
    // A lone Bower, else the highest card: chosen by masks, as which cards
    // lie on the table is new for every card and a jump would often be
    // guessed wrong.
    return highestIn(unlessEmpty(bowers, cards));
}

}  // namespace detail

inline TrickLeaders trickLeaders(const GameState& state) {
    const CardSet onTable = detail::othersOnTable(state);
    const int led = detail::bestCard(state, onTable, state.ledSuit);
    return {led, state.ledSuit == state.trump ? led : detail::bestCard(state, onTable, state.trump)};
}

}  // namespace vornel

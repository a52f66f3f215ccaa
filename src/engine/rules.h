#pragma once
// The trick rules shared by the engine and the computer players.

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
// none), found together from one look at the table.
struct TrickLeaders {
    int ledCard = kNoCard;
    int trumpCard = kNoCard;
};
TrickLeaders trickLeaders(const GameState& state);

}  // namespace vornel

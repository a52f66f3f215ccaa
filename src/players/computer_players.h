#pragma once
// The standard computer players' decisions, computed from the seat's own
// cards and what is on the table. Each returns the choice; the engine
// delivers it through its entry points.

#include "engine/computer_player.h"
#include "engine/game_state.h"

namespace vornel {

class RandomSource;

int cbidderChoice(const GameState& state, int seat);    // bubble 1 (order up) or 2 (pass)
int cchooserChoice(const GameState& state, int seat);   // bubble 3..6 (name a suit) or 22 (pass)
int calonerChoice(const GameState& state, int seat);    // bubble 7 (alone) or 8 (with partner)
int cdiscarderChoice(const GameState& state, int seat, RandomSource& random);  // slot 1..5
// The slot to play, 0 when the hand is empty.
int cnextplayerChoice(const GameState& state, int seat, RandomSource& random);
int cgetleadChoice(const GameState& state, int seat, RandomSource& random);

// The standard rules above, as the engine asks for them.
class StandardPlayer final : public ComputerPlayer {
public:
    int decide(const GameState& state, int seat, Decision decision, RandomSource& random) override;
};

}  // namespace vornel

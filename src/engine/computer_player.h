#pragma once
// The engine's port to the computer players: whoever plays a seat that no
// table plays (an empty seat, or one whose player just watches) decides
// through this interface. The engine asks only when that seat's decision is
// awaited, and guards against an answer the rules refuse.

#include "game_state.h"

namespace vornel {

class RandomSource;

enum class Decision : int { Bid, Choose, Alone, Discard, Play };

class ComputerPlayer {
public:
    virtual ~ComputerPlayer() = default;
    // A bubble code for Bid (1, 2), Choose (3..6, 22) and Alone (7, 8); a hand
    // slot 1..5 for Discard and Play. `random` is the engine's generator.
    virtual int decide(const GameState& state, int seat, Decision decision, RandomSource& random) = 0;
};

}  // namespace vornel

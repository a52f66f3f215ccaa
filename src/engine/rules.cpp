#include "rules.h"

namespace vornel {

bool checkforsuit(const GameState& state, int seat) {
    for (int slot = 1; slot <= 5; ++slot) {
        const int code = state.card(seat, slot);
        if (code != kNoCard && state.effectiveSuit(code) == state.ledSuit) return true;
    }
    return false;
}

int thewinner(const GameState& state) {
    const int right = rightBowerFor(state.trump);
    auto holder = [&](int code) {
        for (int s = 1; s <= 4; ++s)
            if (!state.seat(s).sitsOut && code != kNoCard && state.seat(s).tableCard == code) return s;
        return 0;
    };
    if (int s = holder(right)) return s;
    if (int s = holder(state.leftBower)) return s;
    auto bestOfBlock = [&](int suit) {
        int best = 0;
        for (int s = 1; s <= 4; ++s) {
            const int code = state.seat(s).tableCard;
            if (state.seat(s).sitsOut || code == kNoCard || suitOf(code) != suit) continue;
            if (best == 0 || rankPosition(code) > rankPosition(state.seat(best).tableCard)) best = s;
        }
        return best;
    };
    if (int s = bestOfBlock(state.trump)) return s;
    return bestOfBlock(state.ledSuit);
}

int highest(const GameState& state, int suit) {
    // Seats are ranked by a key, the largest winning: among trumps any Bower
    // beats every other card and the first Bower found (the lower seat)
    // keeps the lead; otherwise the higher code is the higher card. The key
    // form keeps the loop free of hard-to-predict branches.
    const bool trumpSuit = suit == state.trump;
    int best = 0;
    int bestKey = -1;
    for (int s = 1; s <= 4; ++s) {
        const int code = state.seat(s).tableCard;
        const bool counts = s != state.currentPlayer && code != kNoCard && state.effectiveSuit(code) == suit;
        const int key = !counts ? -1 : trumpSuit && remainderOf(code) == 10 ? 1000 - s : code;
        if (key > bestKey) {
            bestKey = key;
            best = s;
        }
    }
    return best;
}

}  // namespace vornel

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
    int best = 0;
    for (int s = 1; s <= 4; ++s) {
        const int code = state.seat(s).tableCard;
        if (s == state.currentPlayer || code == kNoCard || state.effectiveSuit(code) != suit) continue;
        if (best == 0) {
            best = s;
            continue;
        }
        const int bestCode = state.seat(best).tableCard;
        if (suit == state.trump) {
            // Any Bower stands above the other trumps; the first one found keeps the lead.
            if (remainderOf(bestCode) == 10) continue;
            if (remainderOf(code) == 10 || code > bestCode) best = s;
        } else if (code > bestCode) {
            best = s;
        }
    }
    return best;
}

}  // namespace vornel

#include "players/computer_players.h"

#include "engine/ports.h"
#include "engine/rules.h"

namespace vornel {

namespace {

int randomSlot(const GameState& state, int seat, RandomSource& random) {
    if (state.seat(seat).cardsHeld() == 0) return 0;
    int slot;
    do {
        slot = random.below(5) + 1;
    } while (state.card(seat, slot) == kNoCard);
    return slot;
}

bool isJack(int code) { return remainderOf(code) == 10; }

}  // namespace

int cbidderChoice(const GameState& state, int seat) {
    int score = 0;
    for (int slot = 1; slot <= 5; ++slot) {
        const int code = state.card(seat, slot);
        if (code == kNoCard) continue;
        const int rem = remainderOf(code);
        if (suitOf(code) == state.trump || code == state.leftBower) {
            if (rem == 10 || rem == 12) score += 100;
            else if (code % 12 == 11) score += 50;
            else score += 25;
        } else {
            score += rem == 12 ? 50 : 25;
        }
    }
    if (score >= 200 && seat == state.dealer) return 1;
    if (score >= 250 && seat == partnerOf(state.dealer)) return 1;
    if (score >= 300) return 1;
    return 2;
}

int cchooserChoice(const GameState& state, int seat) {
    std::array<int, 5> count{};
    for (int slot = 1; slot <= 5; ++slot) count[suitOf(state.card(seat, slot))]++;
    if (state.turnedDown >= 1 && state.turnedDown <= 4) count[state.turnedDown] = 0;
    for (int suit = 1; suit <= 4; ++suit)
        if (count[suit] >= 3) return suit + 2;
    return 22;
}

int calonerChoice(const GameState& state, int seat) {
    int trumps = 0;
    bool holdsLeft = false;
    for (int slot = 1; slot <= 5; ++slot) {
        const int code = state.card(seat, slot);
        if (code != kNoCard && suitOf(code) == state.trump) ++trumps;
        if (code != kNoCard && code == state.leftBower) holdsLeft = true;
    }
    return trumps + (holdsLeft ? 1 : 0) == 5 ? 7 : 8;
}

int cdiscarderChoice(const GameState& state, int seat, RandomSource& random) {
    int chosen = 0;
    for (int slot = 1; slot <= 5; ++slot) {
        const int code = state.card(seat, slot);
        if (code == kNoCard || state.isTrump(code) || remainderOf(code) == 0) continue;
        if (chosen == 0 || remainderOf(code) < remainderOf(state.card(seat, chosen))) chosen = slot;
    }
    return chosen != 0 ? chosen : random.below(5) + 1;
}

int cgetleadChoice(const GameState& state, int seat, RandomSource& random) {
    const bool making = state.teams[teamOf(seat)].maker;
    if (!making) {
        int reference = 1;
        for (int slot = 1; slot <= 5; ++slot) {
            const int code = state.card(seat, slot);
            if (code != kNoCard && !state.isTrump(code)) reference = slot;
        }
        const int referenceRem = remainderOf(state.card(seat, reference));
        for (int slot = 2; slot <= 5; ++slot) {
            const int code = state.card(seat, slot);
            if (slot == reference || code == kNoCard || state.isTrump(code)) continue;
            if (remainderOf(code) > referenceRem) return slot;
        }
        return randomSlot(state, seat, random);
    }
    const int t = state.trump;
    const std::array<int, 7> order{rightBowerFor(t),        state.leftBower,         cardCode(t, kAce),
                                   cardCode(t, kKing),      cardCode(t, kQueen),     cardCode(t, kTen),
                                   cardCode(t, kNine)};
    for (int wanted : order)
        for (int slot = 1; slot <= 5; ++slot)
            if (state.card(seat, slot) == wanted) return slot;
    return randomSlot(state, seat, random);
}

int cnextplayerChoice(const GameState& state, int seat, RandomSource& random) {
    const int led = state.ledSuit;
    if (led == 0) return cgetleadChoice(state, seat, random);

    const int trump = state.trump;
    const int leftBower = state.leftBower;
    const int w = highest(state, led);
    const int t = led == trump ? w : highest(state, trump);
    const int partner = partnerOf(seat);
    const int wCard = w ? state.seat(w).tableCard : kNoCard;
    const int tCard = t ? state.seat(t).tableCard : kNoCard;

    // The hand once, with each card's effective suit (0 for an empty slot).
    const auto& slots = state.seat(seat).slots;
    std::array<int, 6> suit{};
    for (int slot = 1; slot <= 5; ++slot) suit[slot] = state.effectiveSuit(slots[slot]);

    // A: try to win the trick, unless the partner already does.
    if (w != partner) {
        for (int slot = 1; slot <= 5; ++slot) {
            if (suit[slot] != led) continue;
            const int code = slots[slot];
            if (led == trump) {
                if (isJack(code)) return slot;
                if (wCard != kNoCard && wCard == leftBower) continue;
                if (code > tCard) return slot;
            } else {
                if (t != 0) continue;
                if (code > wCard) return slot;
            }
        }
    }

    // B: follow suit, with the lowest trump that is neither a queen nor the Left Bower.
    int choice = 0;
    for (int slot = 1; slot <= 5; ++slot) {
        if (suit[slot] != led) continue;
        if (choice == 0) {
            choice = slot;
            if (led != trump) break;
            continue;
        }
        const int code = slots[slot];
        const int chosen = slots[choice];
        if (isJack(chosen) || (code < chosen && remainderOf(code) != 11 && code != leftBower)) choice = slot;
    }
    if (choice != 0) return choice;

    // C: cannot follow. Trump in unless the partner or a Bower holds the trick.
    if (!(t != 0 && t == partner) && !(tCard != kNoCard && isJack(tCard))) {
        for (int slot = 1; slot <= 5; ++slot) {
            if (suit[slot] != trump || slots[slot] == kNoCard) continue;
            const int code = slots[slot];
            if (t == 0 || remainderOf(code) == 11 || code == leftBower || code > tCard) return slot;
        }
    }
    int firstPlain = 0, firstAny = 0;
    for (int slot = 1; slot <= 5; ++slot) {
        const int code = slots[slot];
        if (code == kNoCard) continue;
        if (firstAny == 0) firstAny = slot;
        if (suit[slot] == trump) continue;
        const int rem = remainderOf(code);
        if (rem >= 1 && rem <= 9) return slot;
        if (firstPlain == 0) firstPlain = slot;
    }
    return firstPlain != 0 ? firstPlain : firstAny;
}

int StandardPlayer::decide(const GameState& state, int seat, Decision decision, RandomSource& random) {
    switch (decision) {
    case Decision::Bid: return cbidderChoice(state, seat);
    case Decision::Choose: return cchooserChoice(state, seat);
    case Decision::Alone: return calonerChoice(state, seat);
    case Decision::Discard: return cdiscarderChoice(state, seat, random);
    case Decision::Play: return cnextplayerChoice(state, seat, random);
    }
    return 0;
}

}  // namespace vornel

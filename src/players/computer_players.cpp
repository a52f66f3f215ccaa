#include "players/computer_players.h"

#include <array>
#include <bit>
#include <cstdint>

#include "engine/ports.h"
#include "engine/rules.h"

namespace vornel {

namespace {

// The decisions below work on card sets (engine/card_sets.h): which cards
// qualify is a few ANDs over the hand, a fallback to other cards is taken
// by a mask, and only the slot of the chosen card is looked for, once, in
// slot order. So the processor has little to guess about the cards.

// The first slot, in slot order, whose card is in `cards`; 0 if none.
int firstSlotIn(const std::array<int, 6>& slots, CardSet cards) {
    int first = 0;
    for (int slot = 5; slot >= 1; --slot) first = contains(cards, slots[static_cast<unsigned>(slot)]) ? slot : first;
    return first;
}

// The last slot whose card is in `cards`; 0 if none.
int lastSlotIn(const std::array<int, 6>& slots, CardSet cards) {
    int last = 0;
    for (int slot = 1; slot <= 5; ++slot) last = contains(cards, slots[static_cast<unsigned>(slot)]) ? slot : last;
    return last;
}

int randomSlot(const GameState& state, int seat, RandomSource& random) {
    if (state.seat(seat).cardsHeld() == 0) return 0;
    int slot;
    do {
        slot = random.below(5) + 1;
    } while (state.card(seat, slot) == kNoCard);
    return slot;
}

// What a card is worth to the first-round bidder, [0] as a side card and
// [1] as a trump card (its block is trump, or it is the Left Bower); 0 for
// no card.
constexpr auto kBidWorth = [] {
    std::array<std::array<std::uint8_t, 53>, 2> worth{};
    for (int code = 1; code <= 52; ++code) {
        const int rem = remainderOf(code);
        worth[0][static_cast<unsigned>(code)] = rem == 12 ? 50 : 25;
        worth[1][static_cast<unsigned>(code)] = rem == 10 || rem == 12 ? 100 : code % 12 == 11 ? 50 : 25;
    }
    return worth;
}();

// The same worth looked up by trump suit 0..4 (0: none, every card a side
// card), for a trump whose Left Bower is the usual one.
constexpr auto kBidWorthUnder = [] {
    std::array<std::array<std::uint8_t, 53>, 5> worth{};
    for (int trump = 0; trump <= 4; ++trump) {
        const CardSet trumps = blockSetOf(trump) | cardSetOf(leftBowerFor(trump));
        for (int code = 1; code <= 52; ++code)
            worth[static_cast<unsigned>(trump)][static_cast<unsigned>(code)] =
                kBidWorth[contains(trumps, code) ? 1u : 0u][static_cast<unsigned>(code)];
    }
    return worth;
}();

}  // namespace

int cbidderChoice(const GameState& state, int seat) {
    const auto& slots = state.seat(seat).slots;
    auto index = [&](int slot) {
        const int code = slots[static_cast<unsigned>(slot)];
        return static_cast<unsigned>(code) <= 52u ? static_cast<unsigned>(code) : 0u;
    };
    int score = 0;
    if (static_cast<unsigned>(state.trump) <= 4u && state.leftBower == leftBowerFor(state.trump)) {
        // One look-up a card: the trump decides the whole row.
        const auto& worth = kBidWorthUnder[static_cast<unsigned>(state.trump)];
        for (int slot = 1; slot <= 5; ++slot) score += worth[index(slot)];
    } else {
        const CardSet trumps = blockSetOf(state.trump) | cardSetOf(state.leftBower);
        for (int slot = 1; slot <= 5; ++slot)
            score += kBidWorth[contains(trumps, slots[static_cast<unsigned>(slot)]) ? 1u : 0u][index(slot)];
    }
    // The dealer orders up from 200, his partner from 250, anyone from 300.
    // Written with & so that no test jumps: the score is new every deal.
    const bool ordersUp = ((score >= 200) & (seat == state.dealer)) |
                          ((score >= 250) & (seat == partnerOf(state.dealer))) | (score >= 300);
    return ordersUp ? 1 : 2;
}

// The chooser, the aloner and the discarder look at each slot once and
// keep what they find by selection rather than by jumps: which cards a
// dealt hand holds is new every deal, and the processor cannot foresee it.

int cchooserChoice(const GameState& state, int seat) {
    std::array<int, 5> count{};
    for (int slot = 1; slot <= 5; ++slot) count[suitOf(state.card(seat, slot))]++;
    if (state.turnedDown >= 1 && state.turnedDown <= 4) count[state.turnedDown] = 0;
    // Five cards hold three of at most one suit, so the first such suit is
    // the only one.
    int choice = 22;
    for (int suit = 4; suit >= 1; --suit) choice = count[static_cast<unsigned>(suit)] >= 3 ? suit + 2 : choice;
    return choice;
}

int calonerChoice(const GameState& state, int seat) {
    int trumps = 0;
    bool holdsLeft = false;
    for (int slot = 1; slot <= 5; ++slot) {
        const int code = state.card(seat, slot);
        trumps += (code != kNoCard) & (suitOf(code) == state.trump);
        holdsLeft |= (code != kNoCard) & (code == state.leftBower);
    }
    return trumps + (holdsLeft ? 1 : 0) == 5 ? 7 : 8;
}

int cdiscarderChoice(const GameState& state, int seat, RandomSource& random) {
    // The first of the side cards, aces left out, with the lowest remainder
    // (1..12: every such card is below the start).
    int chosen = 0, lowest = 13;
    for (int slot = 1; slot <= 5; ++slot) {
        const int code = state.card(seat, slot);
        const int rem = remainderOf(code);
        const bool mayGo = (code != kNoCard) & (state.effectiveSuit(code) != state.trump) & (rem != 0);
        const bool lower = mayGo & (rem < lowest);
        chosen = lower ? slot : chosen;
        lowest = lower ? rem : lowest;
    }
    return chosen != 0 ? chosen : random.below(5) + 1;
}

// Kept out of line: made inside cnextplayerChoice(), it had every
// follower's choice, three cards in four, save and restore more registers.
#if defined(__GNUC__)
[[gnu::noinline]]
#endif
int cgetleadChoice(const GameState& state, int seat, RandomSource& random) {
    const SeatState& own = state.seat(seat);
    const auto& slots = own.slots;
    const int trump = state.trump;
    const CardSet hand = own.cards();
    const CardSet trumps = hand & state.suitSet(trump);
    if (!state.teams[teamOf(seat)].maker) {
        // Defending: the first slot from 2 whose side card has a higher
        // remainder than the last side card's (which cannot beat itself).
        const CardSet side = hand & ~trumps;
        const int reference = side != 0 ? lastSlotIn(slots, side) : 1;
        const int referenceRem = remainderOf(slots[static_cast<unsigned>(reference)]);
        const CardSet higher = side & kRemainderAbove[static_cast<unsigned>(referenceRem)] & ~cardSetOf(slots[1]);
        return higher != 0 ? firstSlotIn(slots, higher) : randomSlot(state, seat, random);
    }
    // Making: the best trump held, the Right Bower, the Left Bower, then the
    // trump block by rank (a higher code is a higher card).
    const int right = rightBowerFor(trump);
    const CardSet block = trumps & blockSetOf(trump) & kInPlayCards;
    const int best = contains(trumps, right)             ? right
                     : contains(trumps, state.leftBower) ? state.leftBower
                     : block != 0                        ? std::bit_width(block) - 1
                                                         : kNoCard;
    return best != kNoCard ? firstSlotIn(slots, cardSetOf(best)) : randomSlot(state, seat, random);
}

int cnextplayerChoice(const GameState& state, int seat, RandomSource& random) {
    const int led = state.ledSuit;
    if (led == 0) return cgetleadChoice(state, seat, random);

    const int trump = state.trump;
    const int leftBower = state.leftBower;
    // The best card of the led suit and the best trump on the table; the
    // partner holds the trick (or the best trump) when it is his card.
    const auto [wCard, tCard] = trickLeaders(state);
    const int partnerCard = state.seat(partnerOf(seat)).tableCard;
    const bool partnerLeads = wCard != kNoCard && wCard == partnerCard;
    const bool partnerTrumps = tCard != kNoCard && tCard == partnerCard;
    const SeatState& own = state.seat(seat);
    const auto& slots = own.slots;
    const CardSet hand = own.cards();
    const CardSet follow = hand & state.suitSet(led);

    if (follow != 0) {
        if (led != trump) {
            // A: win with the first card of the suit that beats the table,
            // unless the partner wins or someone has trumped. B: follow with
            // the first card of the suit.
            const CardSet winners = follow & cardsAbove(wCard) & allIf(!partnerLeads & (tCard == kNoCard));
            return firstSlotIn(slots, unlessEmpty(winners, follow));
        }
        // A: a jack wins at once; any trump above the table's best, unless
        // that is the Left Bower.
        if (!partnerLeads) {
            const bool leftLeads = wCard != kNoCard && wCard == leftBower;
            const CardSet winners = follow & (kJackCards | (leftLeads ? CardSet{0} : cardsAbove(tCard)));
            if (winners != 0) return firstSlotIn(slots, winners);
        }
        // B: the lowest trump that is neither a queen nor the Left Bower;
        // a jack chosen first gives way to any later trump.
        int choice = 0, chosen = kNoCard;
        for (int slot = 1; slot <= 5; ++slot) {
            const int code = slots[static_cast<unsigned>(slot)];
            const bool replaces = contains(follow, code) &&
                                  (choice == 0 || contains(kJackCards, chosen) ||
                                   (code < chosen && !contains(kQueenCards, code) && code != leftBower));
            choice = replaces ? slot : choice;
            chosen = replaces ? code : chosen;
        }
        return choice;
    }

    // C: cannot follow. Trump in unless the partner or a Bower holds the trick.
    const CardSet trumps = hand & state.suitSet(trump);
    if (trumps != 0 && !partnerTrumps && !contains(kJackCards, tCard)) {
        const CardSet over =
            tCard == kNoCard ? trumps : trumps & (kQueenCards | cardSetOf(leftBower) | cardsAbove(tCard));
        if (over != 0) return firstSlotIn(slots, over);
    }
    // Otherwise discard: a side nine or ten, else any side card, else the first card.
    const CardSet side = hand & ~trumps;
    const CardSet low = side & kLowRemainderCards;
    return firstSlotIn(slots, unlessEmpty(low, unlessEmpty(side, hand)));
}

int StandardPlayer::decide(const GameState& state, int seat, Decision decision, RandomSource& random) {
    // Most decisions are cards: tested first, the jump is foreseen.
    if (decision == Decision::Play) return cnextplayerChoice(state, seat, random);
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

#include "players/computer_players.h"

#include <array>
#include <bit>
#include <cstdint>

#include "engine/ports.h"
#include "engine/rules.h"

namespace vornel {

namespace {

// Hand slots as bits, bit `slot` for slots 1..5: the first qualifying card
// in slot order is the lowest bit set. Each decision below builds a few of
// these sets without branching and then picks from them, so the processor
// has little to guess about the cards.
using SlotSet = unsigned;

int firstSlotOf(SlotSet set) { return set != 0 ? std::countr_zero(set) : 0; }
int lastSlotOf(SlotSet set) { return set != 0 ? std::bit_width(set) - 1 : 0; }

// The slots whose card is in `cards`.
SlotSet slotsIn(const std::array<int, 6>& slots, CardSet cards) {
    SlotSet set = 0;
    for (int slot = 1; slot <= 5; ++slot) set |= SlotSet{contains(cards, slots[slot])} << slot;
    return set;
}

// The slots whose card code is greater than `code`.
SlotSet slotsAbove(const std::array<int, 6>& slots, int code) {
    SlotSet set = 0;
    for (int slot = 1; slot <= 5; ++slot) set |= SlotSet{slots[slot] > code} << slot;
    return set;
}

SlotSet occupiedSlots(const std::array<int, 6>& slots) {
    SlotSet set = 0;
    for (int slot = 1; slot <= 5; ++slot) set |= SlotSet{slots[slot] != kNoCard} << slot;
    return set;
}

int randomSlot(const GameState& state, int seat, RandomSource& random) {
    if (state.seat(seat).cardsHeld() == 0) return 0;
    int slot;
    do {
        slot = random.below(5) + 1;
    } while (state.card(seat, slot) == kNoCard);
    return slot;
}

// What a card is worth to the first-round bidder, as a trump card (its block
// is trump, or it is the Left Bower) and as a side card; 0 for no card.
struct BidWorth {
    std::array<std::uint8_t, 53> asTrump{};
    std::array<std::uint8_t, 53> asSide{};
};
constexpr BidWorth kBidWorth = [] {
    BidWorth worth;
    for (int code = 1; code <= 52; ++code) {
        const int rem = remainderOf(code);
        worth.asTrump[static_cast<unsigned>(code)] = rem == 10 || rem == 12 ? 100 : code % 12 == 11 ? 50 : 25;
        worth.asSide[static_cast<unsigned>(code)] = rem == 12 ? 50 : 25;
    }
    return worth;
}();

// The order in which a Maker leads trump, 7 for the Right Bower down to 1
// for the nine; 0 for a card that is not trump.
int makerLeadOrder(int code, int trump, int leftBower) {
    constexpr std::array<std::uint8_t, 14> byRank{0, 0, 0, 0, 0, 0, 0, 0, 1, 2, 0, 3, 4, 5};
    if (code == kNoCard) return 0;
    if (code == rightBowerFor(trump)) return 7;
    if (code == leftBower) return 6;
    return suitOf(code) == trump ? byRank[static_cast<unsigned>(rankPosition(code))] : 0;
}

}  // namespace

int cbidderChoice(const GameState& state, int seat) {
    const CardSet trumps = blockSetOf(state.trump) | cardSetOf(state.leftBower);
    int score = 0;
    for (int slot = 1; slot <= 5; ++slot) {
        const int code = state.card(seat, slot);
        const auto index = static_cast<unsigned>(code) <= 52u ? static_cast<unsigned>(code) : 0u;
        score += contains(trumps, code) ? kBidWorth.asTrump[index] : kBidWorth.asSide[index];
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
    const auto& slots = state.seat(seat).slots;
    const int trump = state.trump;
    if (!state.teams[teamOf(seat)].maker) {
        // Defending: the first slot from 2 whose side card has a higher
        // remainder than the last side card's.
        const SlotSet side = occupiedSlots(slots) & ~slotsIn(slots, state.suitSet(trump));
        const int reference = side != 0 ? lastSlotOf(side) : 1;
        const int referenceRem = remainderOf(slots[static_cast<unsigned>(reference)]);
        const SlotSet above = slotsIn(slots, kRemainderAbove[static_cast<unsigned>(referenceRem)]);
        const SlotSet lead = side & above & ~(SlotSet{1} << reference) & ~SlotSet{0b10};
        return lead != 0 ? firstSlotOf(lead) : randomSlot(state, seat, random);
    }
    if (trump < 1 || trump > 4) return randomSlot(state, seat, random);  // no trump made: nothing to lead by
    // Making: the best trump held, Right Bower first; the first slot on a tie.
    int best = 0, bestOrder = 0;
    for (int slot = 1; slot <= 5; ++slot) {
        const int order = makerLeadOrder(slots[slot], trump, state.leftBower);
        best = order > bestOrder ? slot : best;
        bestOrder = order > bestOrder ? order : bestOrder;
    }
    return best != 0 ? best : randomSlot(state, seat, random);
}

int cnextplayerChoice(const GameState& state, int seat, RandomSource& random) {
    const int led = state.ledSuit;
    if (led == 0) return cgetleadChoice(state, seat, random);

    const int trump = state.trump;
    const int leftBower = state.leftBower;
    const auto [w, t] = trickLeaders(state);
    const int partner = partnerOf(seat);
    const int wCard = w ? state.seat(w).tableCard : kNoCard;
    const int tCard = t ? state.seat(t).tableCard : kNoCard;
    const auto& slots = state.seat(seat).slots;
    const SlotSet follow = slotsIn(slots, state.suitSet(led));

    if (follow != 0) {
        if (led != trump) {
            // A: win with the first card of the suit that beats the table,
            // unless the partner wins or someone has trumped. B: follow with
            // the first card of the suit.
            const SlotSet winners = w != partner && t == 0 ? follow & slotsAbove(slots, wCard) : 0;
            return firstSlotOf(winners != 0 ? winners : follow);
        }
        // A: a jack wins at once; any trump above the table's best, unless
        // that is the Left Bower.
        if (w != partner) {
            const bool leftLeads = wCard != kNoCard && wCard == leftBower;
            const SlotSet winners =
                follow & (slotsIn(slots, kJackCards) | (leftLeads ? SlotSet{0} : slotsAbove(slots, tCard)));
            if (winners != 0) return firstSlotOf(winners);
        }
        // B: the lowest trump that is neither a queen nor the Left Bower;
        // a jack chosen first gives way to any later trump.
        int choice = 0, chosen = kNoCard;
        for (SlotSet rest = follow; rest != 0; rest &= rest - 1) {
            const int slot = std::countr_zero(rest);
            const int code = slots[static_cast<unsigned>(slot)];
            const bool replaces = choice == 0 || contains(kJackCards, chosen) ||
                                  (code < chosen && !contains(kQueenCards, code) && code != leftBower);
            choice = replaces ? slot : choice;
            chosen = replaces ? code : chosen;
        }
        return choice;
    }

    // C: cannot follow. Trump in unless the partner or a Bower holds the trick.
    const SlotSet held = occupiedSlots(slots);
    const SlotSet trumps = slotsIn(slots, state.suitSet(trump));
    if (trumps != 0 && !(t != 0 && t == partner) && !(tCard != kNoCard && contains(kJackCards, tCard))) {
        const SlotSet over =
            t == 0 ? trumps
                   : trumps & (slotsIn(slots, kQueenCards | cardSetOf(leftBower)) | slotsAbove(slots, tCard));
        if (over != 0) return firstSlotOf(over);
    }
    // Otherwise discard: a side nine or ten, else any side card, else the first card.
    const SlotSet side = held & ~trumps;
    const SlotSet low = side & slotsIn(slots, kLowRemainderCards);
    return firstSlotOf(low != 0 ? low : side != 0 ? side : held);
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

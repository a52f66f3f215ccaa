#pragma once
// Sets of cards as bit masks: bit `code` stands for card code 1..52, so a
// hand, a suit or a rank is one 64-bit word, and a question such as "does
// the hand hold a card of the led suit?" is one AND instead of a loop whose
// branches the processor cannot foresee.

#include <array>
#include <bit>
#include <cstdint>

#include "cards.h"

namespace vornel {

using CardSet = std::uint64_t;

// Every card code 1..52.
inline constexpr CardSet kAllCodes = ((CardSet{1} << 53) - 1) & ~CardSet{1};

// Every function here takes a code 0..52: no card, or a card code, as the
// engine keeps them everywhere.

// The set holding just this card; empty for no card.
constexpr CardSet cardSetOf(int code) { return (CardSet{1} << code) & kAllCodes; }

namespace detail {
template <typename Predicate>
constexpr CardSet codesWhere(Predicate predicate) {
    CardSet set = 0;
    for (int code = 1; code <= 52; ++code)
        if (predicate(code)) set |= cardSetOf(code);
    return set;
}
}  // namespace detail

// The cards of each suit block 1..4 (plain suits, the Left Bower in its
// own block); index 0 is empty.
inline constexpr std::array<CardSet, 5> kBlockSets{
    0,
    detail::codesWhere([](int code) { return suitOf(code) == 1; }),
    detail::codesWhere([](int code) { return suitOf(code) == 2; }),
    detail::codesWhere([](int code) { return suitOf(code) == 3; }),
    detail::codesWhere([](int code) { return suitOf(code) == 4; }),
};
constexpr CardSet blockSetOf(int suit) {
    return static_cast<unsigned>(suit) <= 4u ? kBlockSets[static_cast<unsigned>(suit)] : CardSet{0};
}

// The 24 cards in play.
inline constexpr CardSet kInPlayCards = detail::codesWhere([](int code) { return isInPlay(code); });

// Cards by remainder (code modulo 13): the jacks (10), the queens (11), the
// kings (12), and those with a remainder of 1..9 (nines and tens in play).
inline constexpr CardSet kJackCards = detail::codesWhere([](int code) { return remainderOf(code) == 10; });
inline constexpr CardSet kQueenCards = detail::codesWhere([](int code) { return remainderOf(code) == 11; });
inline constexpr CardSet kKingCards = detail::codesWhere([](int code) { return remainderOf(code) == 12; });
inline constexpr CardSet kLowRemainderCards =
    detail::codesWhere([](int code) { return remainderOf(code) >= 1 && remainderOf(code) <= 9; });
// Index r: the cards whose remainder is greater than r (0..12).
inline constexpr std::array<CardSet, 13> kRemainderAbove = [] {
    std::array<CardSet, 13> sets{};
    for (int r = 0; r < 13; ++r) sets[static_cast<unsigned>(r)] = detail::codesWhere([r](int code) { return remainderOf(code) > r; });
    return sets;
}();

// Every card when `condition` holds, none otherwise: a choice between two
// sets made without a jump.
constexpr CardSet allIf(bool condition) { return CardSet{0} - CardSet{condition}; }

// The highest code in the set (inside one suit block, the best card); no
// card for an empty set. Bit 0 stands for no card and is never in a set, so
// adding it gives the answer for an empty set with no test.
constexpr int highestIn(CardSet set) { return static_cast<int>(std::bit_width(set | 1u)) - 1; }

// `set` when it holds a card, else `otherwise`: a fallback without a jump.
constexpr CardSet unlessEmpty(CardSet set, CardSet otherwise) { return set | (otherwise & allIf(set == 0)); }

// The cards whose effective suit is `suit`: its block without the Left
// Bower, and the Left Bower too when `suit` is trump.
constexpr CardSet effectiveSuitSet(int suit, int trump, int leftBower) {
    const CardSet left = cardSetOf(leftBower);
    return (blockSetOf(suit) & ~left) | (suit == trump ? left : CardSet{0});
}

// The set of up to five cards (a hand), the empty slots left out.
constexpr CardSet cardSetOf(int a, int b, int c, int d, int e) {
    auto bit = [](int code) { return CardSet{1} << code; };
    return (bit(a) | bit(b) | bit(c) | bit(d) | bit(e)) & kAllCodes;
}

// The cards whose code is greater than `code` (0..52): inside one suit
// block, the higher cards.
constexpr CardSet cardsAbove(int code) {
    return kAllCodes & ~((CardSet{2} << code) - 1);
}

// Whether the card is in the set; false for no card. Sets hold only codes
// 1..52, so bit 0 (no card) is never set.
constexpr bool contains(CardSet set, int code) { return ((set >> code) & 1u) != 0; }

}  // namespace vornel

#pragma once
// How the expert players deal the cards they cannot see: where each card
// may lie after what the bidding and the play have shown, and how likely a
// layout is given what the other seats did.

#include <array>
#include <cstdint>

#include "engine/random.h"
#include "players/double_dummy.h"
#include "players/seat_view.h"

namespace vornel::expert {

inline constexpr std::uint32_t kAllCards = (std::uint32_t{1} << 24) - 1;

// Where the unseen cards may lie, and how many each seat still holds.
struct Knowledge {
    std::uint32_t pool = 0;
    std::array<int, 5> need{};
    std::array<std::uint32_t, 5> allowed{};
    std::array<std::uint32_t, 5> fixed{};  // cards known to be in a hand (the seat's own, the dealer's pick-up)
    std::array<std::uint32_t, 5> shown{};  // cards each seat played this hand
    const SeatView* view = nullptr;        // for what the bidding said
    const DoubleDummy* rules = nullptr;    // for what the play said, once trump is known
};

// How strong a hand is with `trump`, as a bidder weighs it.
double strength(std::uint32_t hand, int trump);

// How likely the bidding and the play seen so far are with the other seats
// holding `hands`.
double plausibility(const Knowledge& k, const std::array<std::uint32_t, 5>& hands);

// Deals the pool to the seats as `k` allows, turning away most layouts the
// bidding and the play make unlikely; without a consistent deal in a few
// tries the voids are ignored.
void dealHidden(const Knowledge& k, SeededRandom& random, std::array<std::uint32_t, 5>& hands);

// The dealer's exchange as an ordinary player makes it: the lowest card
// outside trump, from the shortest suit; the lowest trump when all are trump.
std::uint32_t simpleDiscard(std::uint32_t hand, const DoubleDummy& dd);

}  // namespace vornel::expert

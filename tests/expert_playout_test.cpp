// The play-out of a hand in which every seat plays as an ordinary player
// does: the line the search follows when it models every seat, and the
// hand it gives to whoever holds the top trumps.

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <bit>
#include <vector>

#include "engine/random.h"
#include "players/double_dummy.h"
#include "engine_test_support.h"

namespace vornel::test {
namespace {

// The 24 cards in play.
const std::array<int, 24> kAllInPlay = [] {
    std::array<int, 24> cards{};
    for (int i = 0; i < 24; ++i) cards[static_cast<std::size_t>(i)] = expert::cardOfIndex(i);
    return cards;
}();

// The play-out is the line the search follows when every seat is modelled:
// after the first card, one of the values the search gives the first cards,
// and that very value when the first card is forced. It leaves the solver
// as it found it.
TEST(ExpertSearch, PlayOutFollowsTheLineOfEveryModelledSeat) {
    SeededRandom random(10);
    int forced = 0, alone = 0, midTrick = 0;
    for (int round = 0; round < 400; ++round) {
        std::vector<int> deck(kAllInPlay.begin(), kAllInPlay.end());
        for (std::size_t i = deck.size(); i > 1; --i) std::swap(deck[i - 1], deck[random.below(static_cast<int>(i))]);
        expert::Layout layout;
        layout.makerSeat = random.below(4) + 1;
        layout.alone = round % 3 == 0;
        const int out = layout.alone ? partnerOf(layout.makerSeat) : 0;
        layout.leader = random.below(4) + 1;
        if (layout.leader == out) layout.leader = nextSeat(layout.leader);
        const int tricksLeft = 1 + round % 5;
        layout.makerTricks = random.below(5 - tricksLeft + 1);
        // One card on the table from the leader in every other round.
        layout.trickCount = round % 2;
        std::size_t next = 0;
        for (int seat = 1; seat <= 4; ++seat) {
            const int held = seat == out ? 0 : tricksLeft - (seat == layout.leader ? layout.trickCount : 0);
            for (int t = 0; t < held; ++t) layout.hands[seat] |= expert::cardBit(deck[next++]);
        }
        if (layout.trickCount == 1) layout.trick[0] = deck[next++];
        const int trump = random.below(4) + 1;
        expert::DoubleDummy dd(trump);
        const int before = dd.solve(layout);
        const int played = dd.playOut(layout);
        EXPECT_EQ(dd.solve(layout), before) << "round " << round << ": the play-out changed the solver";
        dd.setModelledSeats(0b11110);
        std::array<int, 24> values{};
        std::uint32_t legal = 0;
        dd.valueMoves(layout, values, legal);
        ASSERT_NE(legal, 0u) << "round " << round;
        bool among = false;
        for (std::uint32_t rest = legal; rest != 0; rest &= rest - 1) among = among || values[std::countr_zero(rest)] == played;
        EXPECT_TRUE(among) << "round " << round << ": " << played << " is no line's value";
        if (std::popcount(legal) == 1) {
            ++forced;
            EXPECT_EQ(played, values[std::countr_zero(legal)]) << "round " << round;
        }
        alone += layout.alone;
        midTrick += layout.trickCount > 0;
    }
    EXPECT_GT(forced, 60);
    EXPECT_GT(alone, 100);
    EXPECT_GT(midTrick, 150);
}

TEST(ExpertSearch, PlayOutGivesTheHandToWhoeverHoldsTheFiveHighestTrumps) {
    // Hearts trump: the Bowers, ace, king and queen beat every other card,
    // and an ordinary player who holds them wins or leaves the trick to
    // the partner, whoever leads.
    const std::vector<int> top{HJ, DJ, HA, HK, HQ};
    const struct {
        const char* name;
        int holder, maker;
        bool alone;
        int points;
    } cases[] = {
        {"the Maker marches", 1, 1, false, 2},
        {"the Maker's partner marches", 3, 1, false, 2},
        {"the lone Maker takes four", 1, 1, true, 4},
        {"a defender euchres", 2, 1, false, -2},
        {"a defender euchres the lone Maker", 4, 3, true, -2},
    };
    for (const auto& c : cases)
        for (int leader = 1; leader <= 4; ++leader) {
            expert::Layout layout;
            layout.makerSeat = c.maker;
            layout.alone = c.alone;
            layout.leader = leader;
            std::vector<int> rest;
            for (int code : kAllInPlay)
                if (std::find(top.begin(), top.end(), code) == top.end()) rest.push_back(code);
            std::size_t next = 0;
            for (int seat = 1; seat <= 4; ++seat)
                for (int t = 0; t < 5; ++t)
                    layout.hands[seat] |= expert::cardBit(seat == c.holder ? top[static_cast<std::size_t>(t)] : rest[next++]);
            if (c.alone && leader == partnerOf(c.maker)) continue;
            expert::DoubleDummy dd(kHearts);
            EXPECT_EQ(dd.playOut(layout), c.points) << c.name << ", seat " << leader << " leading";
        }
}

}  // namespace
}  // namespace vornel::test

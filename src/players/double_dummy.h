#pragma once
// Exact play of the rest of a hand when every card's place is known: both
// teams play their best for the Maker's points. The expert players run it on
// sampled layouts of the cards they cannot see.

#include <array>
#include <cstdint>
#include <vector>

#include "engine/cards.h"

namespace vornel::expert {

// The 24 cards in play as indices 0..23: six per suit, nine..ace.
constexpr int cardIndex(int code) { return (suitOf(code) - 1) * 6 + rankPosition(code) - kNine; }
constexpr int cardOfIndex(int index) { return cardCode(index / 6 + 1, index % 6 + kNine); }
// No bit for "no card" or a card out of play.
constexpr std::uint32_t cardBit(int code) { return isInPlay(code) ? std::uint32_t{1} << cardIndex(code) : 0; }

// The Maker's team's points for its tricks in a finished hand; negative when
// the defenders score.
constexpr int makerPoints(int makerTricks, bool alone) {
    return makerTricks == 5 ? (alone ? 4 : 2) : makerTricks >= 3 ? 1 : -2;
}

// A layout with every card placed, from some point of the play.
struct Layout {
    std::array<std::uint32_t, 5> hands{};  // per seat 1..4, as card-index bits; 0 for a seat sitting out
    int makerSeat = 0;
    bool alone = false;
    int makerTricks = 0;      // won so far this hand
    int leader = 0;           // seat that led (or is to lead) the current trick
    int trickCount = 0;       // cards already on the table in the current trick
    std::array<int, 4> trick{};  // their codes, in the order played
};

class DoubleDummy {
public:
    // `landedSearch` searches as the expert first did, node for node (no
    // ordering of the followers' cards, no shortcuts), so that its budgets
    // in nodes mean what they meant.
    explicit DoubleDummy(int trump, bool landedSearch = false);

    // The Maker's team's points with best play from here on.
    int solve(const Layout& layout);
    // The same for each card the seat to act may play; `values` is indexed by
    // card index, `legal` says which entries were filled.
    void valueMoves(const Layout& layout, std::array<int, 24>& values, std::uint32_t& legal);
    // The Maker's team's points when every seat, from here on, plays as an
    // ordinary player does (win cheaply, else play low): one line of play,
    // no search, so it costs a few dozen steps.
    int playOut(const Layout& layout);

    int effectiveSuit(int index) const { return static_cast<unsigned>(index) < 24u ? effSuit_[index] : 0; }
    // Trick-taking strength when `led` was led: trumps highest, cards of the
    // led suit next, everything else 0.
    int power(int index, int led) const {
        if (static_cast<unsigned>(index) >= 24u) return 0;
        return effSuit_[index] == trump_ ? 100 + order_[index] : effSuit_[index] == led ? order_[index] : 0;
    }
    std::uint32_t suitMask(int suit) const { return suitMask_[suit]; }
    int trump() const { return trump_; }
    // Team 1 or 2 whose cards are played the way an ordinary player plays
    // them (win cheaply, else play low) instead of perfectly; 0 for none.
    void setModelledTeam(int team) { modelledSeats_ = team == 0 ? 0 : team == 1 ? 0b01010 : 0b10100; }
    // The same for any set of seats, one bit per seat 1..4.
    void setModelledSeats(unsigned seats) { modelledSeats_ = seats; }
    std::uint64_t nodes() const { return nodes_; }

private:
    struct MemoEntry {
        std::uint32_t key = 0;
        std::uint32_t generation = 0;
        std::int8_t lower = 0;
        std::int8_t upper = 0;
    };
    static constexpr int kMemoBits = 14;

    // Where the search starts: whose turn, and the trick so far.
    struct Position {
        int turn = 0;
        int count = 0;
        int led = 0;
        int winner = 0;
        int winPower = 0;
    };
    void load(const Layout& layout);
    Position start(const Layout& layout);
    int lastTrick(int leader) const;
    int solveByEveryCard(const Layout& layout);
    int rootValue(const Position& at, const std::array<std::int8_t, 5>& moves, int n, int alpha, int beta);
    int search(int turn, int count, int led, int winner, int winPower, int alpha, int beta);
    int playCard(int turn, int count, int led, int winner, int winPower, int index, int alpha, int beta);
    int nextSeat(int seat) const;
    std::uint32_t legalCards(int seat, int count, int led) const;
    int candidates(std::uint32_t legal, std::array<std::int8_t, 5>& out) const;
    void orderFollowing(std::array<std::int8_t, 5>& moves, int n, int turn, int led, int winner, int winPower) const;
    int ordinaryMove(int turn, int count, int led, int winner, int winPower) const;

    int trump_;
    bool landedSearch_ = false;
    std::array<int, 24> effSuit_{};
    std::array<int, 24> order_{};                     // rank inside the effective suit, higher wins
    std::array<std::uint32_t, 5> suitMask_{};         // by effective suit
    std::array<std::array<std::int8_t, 7>, 5> suitOrder_{};  // indices by effective suit, best first, -1 ends

    // The position being searched.
    std::array<std::uint32_t, 5> hands_{};
    std::uint32_t trickMask_ = 0;
    int makerTeam_ = 0;
    bool alone_ = false;
    int out_ = 0;
    int players_ = 4;
    int makerTricks_ = 0;
    int tricksLeft_ = 0;  // counting the one under way
    unsigned modelledSeats_ = 0;

    std::vector<MemoEntry> memo_ = std::vector<MemoEntry>(std::size_t{1} << kMemoBits);  // on the heap: large
    std::uint32_t generation_ = 0;
    std::uint64_t nodes_ = 0;
};

}  // namespace vornel::expert

#pragma once
// What one seat can see of the game, and the interface of a computer player
// that decides from that alone. The view is copied out of the engine's state
// so a player built on it cannot reach another seat's cards or the deck.

#include <array>

#include "engine/computer_player.h"
#include "engine/game_state.h"
#include "players/computer_players.h"

namespace vornel {

struct SeatView {
    Decision decision = Decision::Play;
    int seat = 0;
    int dealer = 0;
    std::array<int, 6> slots{};  // the seat's own hand slots 1..5
    int turnedCard = kNoCard;    // the card turned up at the deal
    int turnedDown = 0;          // its suit once all four passed it, else 0
    bool orderedUp = false;      // the dealer took the turned card
    int trump = 0;               // during the first round: the turned card's suit
    int leftBower = kNoCard;
    int maker = 0;               // 0 until the Maker answered "go alone?"
    bool alone = false;
    int discarded = kNoCard;     // the dealer's own discard; 0 for every other seat
    std::array<int, 3> scores{};  // per team 1..2
    int target = 0;
    int handsDealt = 0;
    int bidCount = 0;
    std::array<HandHistory::Entry, 8> bids{};
    int playCount = 0;  // every card played this hand, in order, four (three alone) to a trick
    std::array<HandHistory::Entry, 20> plays{};

    int cardsPerTrick() const { return alone ? 3 : 4; }
    friend bool operator==(const SeatView&, const SeatView&) = default;
    int sittingOut() const { return alone ? partnerOf(maker) : 0; }
};

// The view of `seat` at its `decision`, built from what that seat has seen.
// The maker is known as soon as trump is made, before the alone answer.
SeatView makeSeatView(const GameState& state, int seat, Decision decision);

// A computer player that decides from a seat's view: a bubble code for the
// bidding decisions, a hand slot for the discard and for playing.
class SeatPolicy {
public:
    virtual ~SeatPolicy() = default;
    virtual int decide(const SeatView& view) = 0;
};

// Lets a SeatPolicy play a seat: it is shown only that seat's view, and an
// answer the rules refuse falls back to the standard choice.
class PolicyPlayer final : public ComputerPlayer {
public:
    explicit PolicyPlayer(SeatPolicy& policy) : policy_(policy) {}
    int decide(const GameState& state, int seat, Decision decision, RandomSource& random) override;

private:
    SeatPolicy& policy_;
    StandardPlayer standard_;
};

}  // namespace vornel

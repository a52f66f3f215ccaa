#pragma once
// The expert computer player. It decides from its seat's view alone: it
// deals the cards it cannot see many times over, consistent with what the
// play has shown, plays each layout out exactly, and picks the choice with
// the best average points for its team.

#include <array>
#include <cstdint>

#include "engine/random.h"
#include "players/double_dummy.h"
#include "players/seat_view.h"

namespace vornel {

struct ExpertTuning {
    int playSamples = 300;      // layouts per card played (fewer once the node budget is spent)
    int bidSamples = 96;        // layouts per trump considered in the bidding
    int discardSamples = 24;    // layouts per discard considered
    std::uint64_t nodeBudget = 250'000;  // search nodes per decision, samples stop beyond it
    // Average points ordering up must beat passing by, by the seat's place
    // after the dealer: the dealer, the first to bid, the dealer's partner,
    // the third.
    std::array<double, 4> orderMargins{0.7, 0.3, 0.7, 0.4};
    double nameMargin = 0.5;  // the same for naming a suit in the second round
    // Going alone must beat playing with the partner by this, after naming
    // a suit and after ordering up.
    std::array<double, 2> aloneMargins{-0.3, -0.1};
    // Share of each average that assumes the other seats play as ordinary
    // players do (win cheaply, else play low) rather than perfectly.
    double modelWeight = 1.0;     // for the cards played
    // For the bidding and the exchange too: a layout played out with the
    // others modelled costs a fraction of one played perfectly, so the
    // bidding weighs twice the layouts for less than the time it took.
    double bidModelWeight = 1.0;
    bool modelPartner = true;     // the partner too is taken to play ordinarily
    // Play-outs in the bidding, in which every seat, this one too, plays as
    // an ordinary player: no search, so they run on many more layouts.
    int bidPlayOutSamples = 400;   // layouts per trump (and for passing)
    // The searched average is moved by this share of how far the play-outs
    // of the searched layouts stray from those of all the layouts: the two
    // go together, so the luck of the few searched layouts mostly cancels.
    double bidPlayOutCorrection = 1.0;
    // Share of each bidding value taken from the play-outs themselves. A
    // seat searched as if it saw the whole layout values its trump highly;
    // the play-outs value the seat's own play as ordinary, which measured
    // lower in every blend tried, so none is taken.
    double bidPlayOutWeight = 0;

    bool landedSearch = false;    // search node for node as the expert first did

    // The expert as it first played, kept to measure changes against.
    static ExpertTuning landed() {
        ExpertTuning tuning;
        tuning.orderMargins = {0.2, 0.2, 0.2, 0.2};
        tuning.nameMargin = 0.25;
        tuning.aloneMargins = {0.15, 0.15};
        tuning.landedSearch = true;
        tuning.playSamples = 150;
        tuning.bidSamples = 48;
        tuning.bidModelWeight = 0.5;
        tuning.bidPlayOutSamples = 0;
        tuning.bidPlayOutCorrection = 0;
        return tuning;
    }
};

class ExpertPlayer final : public SeatPolicy {
public:
    // The same seed and the same views give the same decisions.
    explicit ExpertPlayer(std::uint64_t seed, ExpertTuning tuning = {}) : seed_(seed), tuning_(tuning) {}

    int decide(const SeatView& view) override;

    int bid(const SeatView& view);      // 1 order up, 2 pass
    int choose(const SeatView& view);   // 3..6 name suit 1..4, 22 pass
    int alone(const SeatView& view);    // 7 alone, 8 with the partner
    int discard(const SeatView& view);  // hand slot
    int play(const SeatView& view);     // hand slot

    // What the bidding decisions weigh, in average points for the seat's
    // team (weighed by the game's score): ordering up against passing;
    // naming each suit 1..4 against passing (kNoGain for the suit turned
    // down); going alone against playing with the partner.
    static constexpr double kNoGain = -100;
    double orderUpGain(const SeatView& view);
    std::array<double, 5> nameGains(const SeatView& view);
    double aloneGain(const SeatView& view);

private:
    std::uint64_t decisionSeed(const SeatView& view) const;

    std::uint64_t seed_;
    ExpertTuning tuning_;
};

}  // namespace vornel

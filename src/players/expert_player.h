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
    int playSamples = 150;      // layouts per card played
    int bidSamples = 48;        // layouts per trump considered in the bidding
    int discardSamples = 24;    // layouts per discard considered
    std::uint64_t nodeBudget = 250'000;  // search nodes per decision, samples stop beyond it
    double orderMargin = 0.2;   // average points ordering up must beat passing by
    double nameMargin = 0.25;   // the same for naming a suit in the second round
    double aloneMargin = 0.15;  // going alone must beat playing with the partner by this
    // Share of each average that assumes the other seats play as ordinary
    // players do (win cheaply, else play low) rather than perfectly.
    double modelWeight = 1.0;     // for the cards played
    double bidModelWeight = 0.5;  // for the bidding and the exchange
    bool modelPartner = true;     // the partner too is taken to play ordinarily

    bool landedSearch = false;    // search node for node as the expert first did

    // The expert as it first played, kept to measure changes against.
    static ExpertTuning landed() {
        ExpertTuning tuning;
        tuning.landedSearch = true;
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

private:
    std::uint64_t decisionSeed(const SeatView& view) const;

    std::uint64_t seed_;
    ExpertTuning tuning_;
};

}  // namespace vornel

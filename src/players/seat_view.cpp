#include "players/seat_view.h"

#include <algorithm>

#include "engine/rules.h"

namespace vornel {

SeatView makeSeatView(const GameState& state, int seat, Decision decision) {
    SeatView view;
    const HandHistory& h = state.history;
    view.decision = decision;
    view.seat = seat;
    view.dealer = state.dealer;
    view.slots = state.seat(seat).slots;
    view.turnedCard = state.turnedCard();
    view.turnedDown = state.turnedDown;
    view.orderedUp = state.orderedUp;
    view.trump = state.trump;
    view.leftBower = state.leftBower;
    // Before the alone answer the Maker is the last bidder who did not pass.
    view.maker = h.maker;
    if (view.maker == 0 && h.bidCount > 0) {
        const auto& last = h.bids[h.bidCount - 1];
        if (last.value != 2 && last.value != 22) view.maker = last.seat;
    }
    view.alone = h.alone;
    view.discarded = seat == state.dealer ? h.discarded : kNoCard;
    view.scores = {0, state.teams[1].score, state.teams[2].score};
    view.target = state.target;
    view.handsDealt = h.handsDealt;
    // Only this hand's entries: the record's later places still hold an
    // earlier hand's, which this seat's view of this hand does not include.
    view.bidCount = h.bidCount;
    std::copy_n(h.bids.begin(), h.bidCount, view.bids.begin());
    view.playCount = h.playCount;
    std::copy_n(h.plays.begin(), h.playCount, view.plays.begin());
    return view;
}

int PolicyPlayer::decide(const GameState& state, int seat, Decision decision, RandomSource& random) {
    const int answer = policy_.decide(makeSeatView(state, seat, decision));
    if (decision != Decision::Discard && decision != Decision::Play) return answer;
    const int code = answer >= 1 && answer <= 5 ? state.card(seat, answer) : kNoCard;
    const bool accepted = decision == Decision::Discard
                              ? code != kNoCard
                              : code != kNoCard && (state.ledSuit == 0 || state.effectiveSuit(code) == state.ledSuit ||
                                                    !checkforsuit(state, seat));
    return accepted ? answer : standard_.decide(state, seat, decision, random);
}

}  // namespace vornel

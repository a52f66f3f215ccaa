#include "players/double_dummy.h"

#include <algorithm>
#include <bit>

namespace vornel::expert {

namespace {
constexpr int kLowest = -3;   // below every value a hand can have
constexpr int kHighest = 5;   // above every value

// One card's value taken into the seat's best and the search window.
inline void keepBest(bool maximising, int value, int& best, int& alpha, int& beta) {
    if (maximising) {
        best = std::max(best, value);
        alpha = std::max(alpha, value);
    } else {
        best = std::min(best, value);
        beta = std::min(beta, value);
    }
}
}  // namespace

DoubleDummy::DoubleDummy(int trump, bool landedSearch) : trump_(trump), landedSearch_(landedSearch) {
    const int right = rightBowerFor(trump), left = leftBowerFor(trump);
    for (int index = 0; index < 24; ++index) {
        const int code = cardOfIndex(index);
        effSuit_[index] = vornel::effectiveSuit(code, trump, left);
        order_[index] = code == right ? 20 : code == left ? 19 : rankPosition(code);
        suitMask_[effSuit_[index]] |= std::uint32_t{1} << index;
    }
    for (int suit = 1; suit <= 4; ++suit) {
        std::array<std::int8_t, 7> list{-1, -1, -1, -1, -1, -1, -1};
        int n = 0;
        for (int index = 0; index < 24; ++index)
            if (effSuit_[index] == suit) list[n++] = static_cast<std::int8_t>(index);
        for (int i = 1; i < n; ++i)  // best first
            for (int j = i; j > 0 && order_[list[j]] > order_[list[j - 1]]; --j) std::swap(list[j], list[j - 1]);
        suitOrder_[suit] = list;
    }
}

void DoubleDummy::load(const Layout& layout) {
    hands_ = layout.hands;
    makerTeam_ = teamOf(layout.makerSeat);
    alone_ = layout.alone;
    out_ = layout.alone ? partnerOf(layout.makerSeat) : 0;
    if (out_ != 0) hands_[out_] = 0;
    players_ = out_ != 0 ? 3 : 4;
    makerTricks_ = layout.makerTricks;
    trickMask_ = 0;
    for (int i = 0; i < layout.trickCount; ++i) trickMask_ |= cardBit(layout.trick[i]);
    // Every seat in play holds as many cards, counting those on the table.
    const std::uint32_t all = hands_[1] | hands_[2] | hands_[3] | hands_[4];
    tricksLeft_ = (std::popcount(all) + layout.trickCount) / players_;
    ++generation_;
}

int DoubleDummy::nextSeat(int seat) const {
    seat = seat % 4 + 1;
    return seat == out_ ? seat % 4 + 1 : seat;
}

std::uint32_t DoubleDummy::legalCards(int seat, int count, int led) const {
    const std::uint32_t hand = hands_[seat];
    if (count == 0) return hand;
    const std::uint32_t following = hand & suitMask_[led];
    return following != 0 ? following : hand;
}

// The cards worth trying, best first: of cards that no live card separates
// in their suit only the highest is kept, since they play alike.
int DoubleDummy::candidates(std::uint32_t legal, std::array<std::int8_t, 5>& out) const {
    const std::uint32_t live = hands_[1] | hands_[2] | hands_[3] | hands_[4] | trickMask_;
    int n = 0;
    // Trumps first: they win tricks, and cut-offs come sooner.
    static constexpr std::array<int, 4> kSuitOffsets{0, 1, 2, 3};
    for (int offset : kSuitOffsets) {
        const int suit = (trump_ - 1 + offset) % 4 + 1;
        if ((legal & suitMask_[suit]) == 0) continue;
        bool previousMine = false;
        for (std::int8_t index : suitOrder_[suit]) {
            if (index < 0) break;
            const std::uint32_t bit = std::uint32_t{1} << index;
            if ((live & bit) == 0) continue;
            if ((legal & bit) != 0) {
                if (!previousMine && n < 5) out[n++] = index;
                previousMine = true;
            } else {
                previousMine = false;
            }
        }
    }
    return n;
}

// A follower tries first what usually turns out best: the cheapest card
// that takes the trick from the other side, else the cheapest card.
void DoubleDummy::orderFollowing(std::array<std::int8_t, 5>& moves, int n, int turn, int led, int winner,
                                 int winPower) const {
    const bool partnerWins = teamOf(winner) == teamOf(turn);
    auto key = [&](int index) {
        const int p = power(index, led);
        const bool takes = !partnerWins && p > winPower;
        return (takes ? 0 : 1000) + (effSuit_[index] == trump_ ? 200 : 0) + order_[index];
    };
    for (int i = 1; i < n; ++i)
        for (int j = i; j > 0 && key(moves[j]) < key(moves[j - 1]); --j) std::swap(moves[j], moves[j - 1]);
}

int DoubleDummy::ordinaryMove(int turn, int count, int led, int winner, int winPower) const {
    const std::uint32_t legal = legalCards(turn, count, led);
    // Lower is cheaper: plain cards by rank, every trump above them.
    auto cost = [&](int index) { return effSuit_[index] == trump_ ? 100 + order_[index] : order_[index]; };
    auto pick = [&](std::uint32_t among, bool highest) {
        int chosen = -1;
        for (std::uint32_t rest = among; rest != 0; rest &= rest - 1) {
            const int index = std::countr_zero(rest);
            if (chosen < 0 || (highest ? cost(index) > cost(chosen) : cost(index) < cost(chosen))) chosen = index;
        }
        return chosen;
    };
    if (count == 0) {
        const std::uint32_t trumps = legal & suitMask_[trump_];
        if (teamOf(turn) == makerTeam_ && trumps != 0) return pick(trumps, true);
        const std::uint32_t plain = legal & ~suitMask_[trump_];
        return plain != 0 ? pick(plain, true) : pick(legal, false);
    }
    if (teamOf(winner) == teamOf(turn)) return pick(legal, false);
    std::uint32_t winners = 0;
    for (std::uint32_t rest = legal; rest != 0; rest &= rest - 1) {
        const int index = std::countr_zero(rest);
        if (power(index, led) > winPower) winners |= std::uint32_t{1} << index;
    }
    return pick(winners != 0 ? winners : legal, false);
}

// The last trick plays itself: one card in each hand.
int DoubleDummy::lastTrick(int leader) const {
    const int led = effSuit_[std::countr_zero(hands_[leader])];
    int winner = leader, best = -1;
    for (int seat = 1; seat <= 4; ++seat) {
        if (hands_[seat] == 0) continue;
        const int p = power(std::countr_zero(hands_[seat]), led);
        if (p > best) {
            best = p;
            winner = seat;
        }
    }
    return makerPoints(makerTricks_ + (teamOf(winner) == makerTeam_), alone_);
}

// Plays card `index` for `turn` and searches on; the hand is as it was after.
int DoubleDummy::playCard(int turn, int count, int led, int winner, int winPower, int index, int alpha, int beta) {
    const std::uint32_t bit = std::uint32_t{1} << index;
    const int ledNow = count == 0 ? effSuit_[index] : led;
    const int strength = power(index, ledNow);
    if (count == 0 || strength > winPower) {
        winner = turn;
        winPower = strength;
    }
    hands_[turn] &= ~bit;
    int value;
    if (count + 1 == players_) {
        const bool makerWon = teamOf(winner) == makerTeam_;
        makerTricks_ += makerWon;
        --tricksLeft_;
        const std::uint32_t trickBefore = trickMask_;
        trickMask_ = 0;
        value = search(winner, 0, 0, 0, 0, alpha, beta);
        trickMask_ = trickBefore;
        ++tricksLeft_;
        makerTricks_ -= makerWon;
    } else {
        trickMask_ |= bit;
        value = search(nextSeat(turn), count + 1, ledNow, winner, winPower, alpha, beta);
        trickMask_ &= ~bit;
    }
    hands_[turn] |= bit;
    return value;
}

int DoubleDummy::search(int turn, int count, int led, int winner, int winPower, int alpha, int beta) {
    ++nodes_;
    MemoEntry* entry = nullptr;
    std::uint32_t key = 0;
    if (count == 0) {
        const std::uint32_t all = hands_[1] | hands_[2] | hands_[3] | hands_[4];
        const int left = landedSearch_ ? std::popcount(all) / players_ : tricksLeft_;
        const int lowest = makerPoints(makerTricks_, alone_);
        const int highest = makerPoints(makerTricks_ + left, alone_);
        if (lowest == highest) return lowest;
        if (highest <= alpha) return highest;
        if (lowest >= beta) return lowest;
        if (left == 1 && !landedSearch_) return lastTrick(turn);
        key = all | static_cast<std::uint32_t>(turn) << 24 | static_cast<std::uint32_t>(makerTricks_) << 27;
        const std::uint32_t slot = (key * 2654435761u) >> (32 - kMemoBits);
        entry = &memo_[slot];
        if (entry->generation == generation_ && entry->key == key) {
            if (entry->lower == entry->upper) return entry->lower;
            if (entry->lower >= beta) return entry->lower;
            if (entry->upper <= alpha) return entry->upper;
            alpha = std::max<int>(alpha, entry->lower);
            beta = std::min<int>(beta, entry->upper);
        }
        alpha = std::max(alpha, lowest - 1);
        beta = std::min(beta, highest + 1);
    }
    const int alphaIn = alpha, betaIn = beta;

    const bool maximising = teamOf(turn) == makerTeam_;
    std::array<std::int8_t, 5> moves{};
    int n = 0;
    if ((modelledSeats_ >> turn & 1u) != 0) {
        moves[0] = static_cast<std::int8_t>(ordinaryMove(turn, count, led, winner, winPower));
        n = 1;
    } else {
        n = candidates(legalCards(turn, count, led), moves);
        if (count > 0 && !landedSearch_) orderFollowing(moves, n, turn, led, winner, winPower);
    }
    int best = maximising ? kLowest : kHighest;
    for (int i = 0; i < n; ++i) {
        keepBest(maximising, playCard(turn, count, led, winner, winPower, moves[i], alpha, beta), best, alpha, beta);
        if (alpha >= beta) break;
    }

    if (entry != nullptr) {
        if (entry->generation != generation_ || entry->key != key) {
            entry->generation = generation_;
            entry->key = key;
            entry->lower = kLowest;
            entry->upper = kHighest;
        }
        if (best <= alphaIn) entry->upper = static_cast<std::int8_t>(std::min<int>(entry->upper, best));
        else if (best >= betaIn) entry->lower = static_cast<std::int8_t>(std::max<int>(entry->lower, best));
        else entry->lower = entry->upper = static_cast<std::int8_t>(best);
    }
    return best;
}

int DoubleDummy::solve(const Layout& layout) {
    if (landedSearch_) return solveByEveryCard(layout);
    const Position at = start(layout);
    std::array<std::int8_t, 5> moves{};
    const int n = candidates(legalCards(at.turn, at.count, at.led), moves);
    if (n == 0) return makerPoints(layout.makerTricks, layout.alone);
    // The hand's value is one of a few steps: whether the Maker reaches each
    // next step is a search with the narrowest window, and the steps share
    // what the earlier ones learnt.
    const int top = makerPoints(5, layout.alone);
    int value = makerPoints(0, layout.alone);
    for (int step : {1, 2, 4}) {
        if (step > top) break;
        if (rootValue(at, moves, n, step - 1, step) < step) break;
        value = step;
    }
    return value;
}

// The search as it first was: every first card valued in full.
int DoubleDummy::solveByEveryCard(const Layout& layout) {
    std::array<int, 24> values{};
    std::uint32_t legal = 0;
    valueMoves(layout, values, legal);
    if (legal == 0) return makerPoints(layout.makerTricks, layout.alone);
    const Position at = start(layout);
    const bool maximising = teamOf(at.turn) == makerTeam_;
    int best = maximising ? kLowest : kHighest;
    for (std::uint32_t rest = legal; rest != 0; rest &= rest - 1) {
        const int value = values[static_cast<std::size_t>(std::countr_zero(rest))];
        best = maximising ? std::max(best, value) : std::min(best, value);
    }
    return best;
}

// The best first card of the seat to act within (alpha, beta). The seat
// tries all its cards here, even when it is modelled further down.
int DoubleDummy::rootValue(const Position& at, const std::array<std::int8_t, 5>& moves, int n, int alpha, int beta) {
    const bool maximising = teamOf(at.turn) == makerTeam_;
    int best = maximising ? kLowest : kHighest;
    for (int i = 0; i < n && alpha < beta; ++i) {
        keepBest(maximising, playCard(at.turn, at.count, at.led, at.winner, at.winPower, moves[i], alpha, beta), best,
                 alpha, beta);
    }
    return best;
}

// Loads the layout and replays the cards already on the table.
DoubleDummy::Position DoubleDummy::start(const Layout& layout) {
    load(layout);
    Position at;
    at.turn = layout.leader == out_ ? nextSeat(layout.leader) : layout.leader;
    for (int i = 0; i < layout.trickCount; ++i) {
        const int index = cardIndex(layout.trick[i]);
        if (i == 0) at.led = effSuit_[index];
        const int strength = power(index, at.led);
        if (i == 0 || strength > at.winPower) {
            at.winner = at.turn;
            at.winPower = strength;
        }
        at.turn = nextSeat(at.turn);
    }
    at.count = layout.trickCount;
    return at;
}

void DoubleDummy::valueMoves(const Layout& layout, std::array<int, 24>& values, std::uint32_t& legal) {
    const Position at = start(layout);
    const int turn = at.turn, led = at.led, winner = at.winner, winPower = at.winPower;
    legal = legalCards(turn, at.count, led);
    for (std::uint32_t rest = legal; rest != 0; rest &= rest - 1) {
        const int index = std::countr_zero(rest);
        values[index] = playCard(turn, at.count, led, winner, winPower, index, kLowest, kHighest);
    }
}

int DoubleDummy::playOut(const Layout& layout) {
    Position at = start(layout);
    int count = at.count;
    // Bounded by the cards in play: every step takes one card from a hand.
    for (int step = 0; step < 24; ++step) {
        if (hands_[at.turn] == 0) break;
        const int index = ordinaryMove(at.turn, count, at.led, at.winner, at.winPower);
        if (index < 0) break;
        const int ledNow = count == 0 ? effSuit_[index] : at.led;
        const int strength = power(index, ledNow);
        if (count == 0 || strength > at.winPower) {
            at.winner = at.turn;
            at.winPower = strength;
        }
        at.led = ledNow;
        hands_[at.turn] &= ~(std::uint32_t{1} << index);
        if (++count == players_) {
            makerTricks_ += teamOf(at.winner) == makerTeam_;
            at.turn = at.winner;
            count = 0;
            at.winPower = 0;
        } else {
            at.turn = nextSeat(at.turn);
        }
    }
    return makerPoints(makerTricks_, alone_);
}

}  // namespace vornel::expert

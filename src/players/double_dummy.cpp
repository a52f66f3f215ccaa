#include "players/double_dummy.h"

#include <algorithm>
#include <bit>

namespace vornel::expert {

namespace {
constexpr int kLowest = -3;   // below every value a hand can have
constexpr int kHighest = 5;   // above every value
}  // namespace

DoubleDummy::DoubleDummy(int trump) : trump_(trump) {
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

int DoubleDummy::search(int turn, int count, int led, int winner, int winPower, int alpha, int beta) {
    ++nodes_;
    MemoEntry* entry = nullptr;
    std::uint32_t key = 0;
    if (count == 0) {
        const std::uint32_t all = hands_[1] | hands_[2] | hands_[3] | hands_[4];
        const int left = std::popcount(all) / players_;
        const int lowest = makerPoints(makerTricks_, alone_);
        const int highest = makerPoints(makerTricks_ + left, alone_);
        if (lowest == highest) return lowest;
        if (highest <= alpha) return highest;
        if (lowest >= beta) return lowest;
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
    }
    int best = maximising ? kLowest : kHighest;
    for (int i = 0; i < n; ++i) {
        const int index = moves[i];
        const std::uint32_t bit = std::uint32_t{1} << index;
        const int ledNow = count == 0 ? effSuit_[index] : led;
        const int strength = power(index, ledNow);
        int winnerNow = winner, powerNow = winPower;
        if (count == 0 || strength > winPower) {
            winnerNow = turn;
            powerNow = strength;
        }
        hands_[turn] &= ~bit;
        int value;
        if (count + 1 == players_) {
            const bool makerWon = teamOf(winnerNow) == makerTeam_;
            makerTricks_ += makerWon;
            const std::uint32_t trickBefore = trickMask_;
            trickMask_ = 0;
            value = search(winnerNow, 0, 0, 0, 0, alpha, beta);
            trickMask_ = trickBefore;
            makerTricks_ -= makerWon;
        } else {
            trickMask_ |= bit;
            value = search(nextSeat(turn), count + 1, ledNow, winnerNow, powerNow, alpha, beta);
            trickMask_ &= ~bit;
        }
        hands_[turn] |= bit;
        if (maximising) {
            best = std::max(best, value);
            alpha = std::max(alpha, value);
        } else {
            best = std::min(best, value);
            beta = std::min(beta, value);
        }
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
    std::array<int, 24> values{};
    std::uint32_t legal = 0;
    valueMoves(layout, values, legal);
    const int turn = [&] {
        int seat = layout.leader;
        for (int i = 0; i < layout.trickCount; ++i) seat = nextSeat(seat);
        return seat;
    }();
    const bool maximising = teamOf(turn) == makerTeam_;
    int best = maximising ? kLowest : kHighest;
    for (int index = 0; index < 24; ++index) {
        if ((legal >> index & 1u) == 0) continue;
        best = maximising ? std::max(best, values[index]) : std::min(best, values[index]);
    }
    return legal != 0 ? best : makerPoints(layout.makerTricks, layout.alone);
}

void DoubleDummy::valueMoves(const Layout& layout, std::array<int, 24>& values, std::uint32_t& legal) {
    load(layout);
    // Replay the cards already on the table.
    int turn = layout.leader == out_ ? nextSeat(layout.leader) : layout.leader;
    int led = 0, winner = 0, winPower = 0;
    for (int i = 0; i < layout.trickCount; ++i) {
        const int index = cardIndex(layout.trick[i]);
        if (i == 0) led = effSuit_[index];
        const int strength = power(index, led);
        if (i == 0 || strength > winPower) {
            winner = turn;
            winPower = strength;
        }
        turn = nextSeat(turn);
    }
    const int count = layout.trickCount;
    legal = legalCards(turn, count, led);
    for (int index = 0; index < 24; ++index) {
        const std::uint32_t bit = std::uint32_t{1} << index;
        if ((legal & bit) == 0) continue;
        const int ledNow = count == 0 ? effSuit_[index] : led;
        const int strength = power(index, ledNow);
        int winnerNow = winner, powerNow = winPower;
        if (count == 0 || strength > winPower) {
            winnerNow = turn;
            powerNow = strength;
        }
        hands_[turn] &= ~bit;
        if (count + 1 == players_) {
            const bool makerWon = teamOf(winnerNow) == makerTeam_;
            makerTricks_ += makerWon;
            const std::uint32_t trickBefore = trickMask_;
            trickMask_ = 0;
            values[index] = search(winnerNow, 0, 0, 0, 0, kLowest, kHighest);
            trickMask_ = trickBefore;
            makerTricks_ -= makerWon;
        } else {
            trickMask_ |= bit;
            values[index] = search(nextSeat(turn), count + 1, ledNow, winnerNow, powerNow, kLowest, kHighest);
            trickMask_ &= ~bit;
        }
        hands_[turn] |= bit;
    }
}

}  // namespace vornel::expert

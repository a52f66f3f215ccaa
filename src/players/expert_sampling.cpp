#include "players/expert_sampling.h"

#include <algorithm>
#include <bit>

namespace vornel::expert {

// How strong a hand is with `trump`, as a bidder weighs it.
double strength(std::uint32_t hand, int trump) {
    const int right = rightBowerFor(trump), left = leftBowerFor(trump);
    double total = 0;
    for (std::uint32_t rest = hand; rest != 0; rest &= rest - 1) {
        const int code = cardOfIndex(std::countr_zero(rest));
        const int rank = rankPosition(code);
        if (code == right) total += 3;
        else if (code == left) total += 2.5;
        else if (suitOf(code) == trump) total += rank == kAce ? 2 : rank == kKing ? 1.5 : rank == kQueen ? 1.2 : 1;
        else total += rank == kAce ? 1 : rank == kKing ? 0.3 : 0;
    }
    return total;
}

// How likely the bidding seen so far is with the other seats holding
// `hands`: who makes trump is strong in it, who passes mostly is not.
double plausibility(const Knowledge& k, const std::array<std::uint32_t, 5>& hands) {
    if (k.view == nullptr) return 1;
    const SeatView& v = *k.view;
    const int turnedSuit = suitOf(v.turnedCard);
    const std::uint32_t turnedBit = v.turnedCard != kNoCard ? cardBit(v.turnedCard) : 0;
    double p = 1;
    for (int i = 0; i < v.bidCount; ++i) {
        const int seat = v.bids[i].seat, code = v.bids[i].value;
        if (seat == v.seat) continue;
        std::uint32_t held = hands[seat] | k.shown[seat];
        if (code == 1 || code == 2) {
            if (seat == v.dealer) held |= turnedBit;
            const double st = strength(held, turnedSuit);
            if (code == 1) p *= st >= 4.5 ? 1.0 : st >= 3.5 ? 0.3 : 0.05;
            else p *= st >= 6.5 ? 0.1 : st >= 5.5 ? 0.4 : 1.0;
        } else if (code >= 3 && code <= 6) {
            const double st = strength(held, code - 2);
            p *= st >= 4.5 ? 1.0 : st >= 3.5 ? 0.3 : 0.05;
        } else if (code == 22) {
            double best = 0;
            for (int suit = 1; suit <= 4; ++suit)
                if (suit != v.turnedDown) best = std::max(best, strength(held, suit));
            p *= best >= 6.5 ? 0.15 : best >= 5.5 ? 0.5 : 1.0;
        }
    }
    if (k.rules == nullptr) return p;
    // A player whose side was not winning the trick and who played a card
    // that did not beat it mostly held nothing that would have.
    const DoubleDummy& dd = *k.rules;
    const int perTrick = v.cardsPerTrick();
    for (int first = 0; first < v.playCount; first += perTrick) {
        const int last = std::min(v.playCount, first + perTrick);
        const int led = dd.effectiveSuit(cardIndex(v.plays[first].value));
        int winner = v.plays[first].seat;
        int winPower = dd.power(cardIndex(v.plays[first].value), led);
        for (int i = first + 1; i < last; ++i) {
            const int seat = v.plays[i].seat;
            const int index = cardIndex(v.plays[i].value);
            const int strengthPlayed = dd.power(index, led);
            if (seat != v.seat && teamOf(winner) != teamOf(seat) && strengthPlayed <= winPower) {
                std::uint32_t held = hands[seat];
                for (int j = i; j < v.playCount; ++j)
                    if (v.plays[j].seat == seat) held |= cardBit(v.plays[j].value);
                const std::uint32_t following = held & dd.suitMask(led);
                const std::uint32_t legal = following != 0 ? following : held;
                for (std::uint32_t rest = legal; rest != 0; rest &= rest - 1)
                    if (dd.power(std::countr_zero(rest), led) > winPower) {
                        p *= 0.25;
                        break;
                    }
            }
            if (strengthPlayed > winPower) {
                winner = seat;
                winPower = strengthPlayed;
            }
        }
    }
    return p;
}

// Deals the pool to the seats as `knowledge` allows; without a consistent
// deal in a few tries the voids are ignored.
void dealHidden(const Knowledge& k, SeededRandom& random, std::array<std::uint32_t, 5>& hands) {
    std::array<std::uint32_t, 5> best{};
    double bestP = -1;
    std::array<std::int8_t, 24> cards{};
    int n = 0;
    for (std::uint32_t rest = k.pool; rest != 0; rest &= rest - 1) cards[n++] = static_cast<std::int8_t>(std::countr_zero(rest));
    std::array<int, 4> order{1, 2, 3, 4};
    std::sort(order.begin(), order.end(),
              [&](int a, int b) { return std::popcount(k.allowed[a]) < std::popcount(k.allowed[b]); });
    constexpr int kAttempts = 40, kStrictAttempts = 36;
    for (int attempt = 0; attempt < kAttempts; ++attempt) {
        for (int i = n - 1; i > 0; --i) std::swap(cards[i], cards[random.below(i + 1)]);
        const bool strict = attempt < kStrictAttempts;
        if (!strict && bestP >= 0) break;
        std::uint32_t used = 0;
        bool ok = true;
        hands = k.fixed;
        for (int seat : order) {
            int wanted = k.need[seat];
            const std::uint32_t allowed = strict ? k.allowed[seat] : k.pool;
            for (int i = 0; i < n && wanted > 0; ++i) {
                const std::uint32_t bit = std::uint32_t{1} << cards[i];
                if ((used & bit) != 0 || (allowed & bit) == 0) continue;
                used |= bit;
                hands[seat] |= bit;
                --wanted;
            }
            if (wanted > 0) {
                ok = false;
                break;
            }
        }
        if (!ok) continue;
        // Layouts the bidding makes unlikely are mostly turned away.
        const double p = plausibility(k, hands);
        if (p >= 1 || random.below(1000) < static_cast<int>(p * 1000)) return;
        if (p > bestP) {
            bestP = p;
            best = hands;
        }
    }
    if (bestP >= 0) hands = best;
}

// The dealer's exchange as a sampled opponent or partner would make it: the
// lowest card outside trump, from the shortest suit; the lowest trump when
// all are trump.
std::uint32_t simpleDiscard(std::uint32_t hand, const DoubleDummy& dd) {
    int chosen = -1, chosenKey = 1 << 30;
    for (std::uint32_t rest = hand; rest != 0; rest &= rest - 1) {
        const int index = std::countr_zero(rest);
        const int suit = dd.effectiveSuit(index);
        const bool trump = suit == dd.trump();
        const int length = std::popcount(hand & dd.suitMask(suit));
        const int rank = dd.power(index, suit);
        const int key = (trump ? 10000 : 0) + (rank == kAce ? 1000 : 0) + length * 100 + rank;
        if (key < chosenKey) {
            chosenKey = key;
            chosen = index;
        }
    }
    return chosen < 0 ? hand : hand & ~(std::uint32_t{1} << chosen);
}

}  // namespace vornel::expert

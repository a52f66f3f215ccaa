#include "players/expert_player.h"

#include <algorithm>
#include <bit>
#include <memory>

#include "players/expert_sampling.h"

namespace vornel {

namespace {

using expert::cardBit;
using expert::cardIndex;
using expert::cardOfIndex;
using expert::DoubleDummy;
using expert::dealHidden;
using expert::kAllCards;
using expert::Knowledge;
using expert::Layout;
using expert::simpleDiscard;
using expert::strength;

std::uint64_t mix(std::uint64_t a, std::uint64_t b) {
    std::uint64_t z = a ^ (b + 0x9e3779b97f4a7c15ULL + (a << 6) + (a >> 2));
    z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9ULL;
    z = (z ^ (z >> 27)) * 0x94d049bb133111ebULL;
    return z ^ (z >> 31);
}

std::uint32_t handMask(const SeatView& view) {
    std::uint32_t mask = 0;
    for (int slot = 1; slot <= 5; ++slot)
        if (view.slots[slot] != kNoCard) mask |= cardBit(view.slots[slot]);
    return mask;
}

int slotOf(const SeatView& view, int code) {
    for (int slot = 1; slot <= 5; ++slot)
        if (view.slots[slot] == code) return slot;
    return 0;
}

// The seat that leads the first trick: after a lone Maker, else after the dealer.
int firstLeader(int dealer, int makerSeat, bool alone) {
    return alone ? vornel::nextSeat(makerSeat) : vornel::nextSeat(dealer);
}

// The hand as it stands after the tricks seen so far.
struct Replay {
    int makerTricks = 0;
    int leader = 0;
    int trickCount = 0;
    std::array<int, 4> trick{};
    int led = 0;
    std::array<std::uint32_t, 5> voidSuits{};  // bit per suit a seat showed it lacks
    std::array<int, 5> played{};
    std::uint32_t playedCards = 0;
};

Replay replay(const SeatView& view, const DoubleDummy& dd) {
    Replay r;
    const int perTrick = view.cardsPerTrick();
    const int whole = view.playCount / perTrick;
    for (int t = 0; t <= whole; ++t) {
        const int first = t * perTrick;
        const int last = std::min(view.playCount, first + perTrick);
        if (first >= last) break;
        const int led = dd.effectiveSuit(cardIndex(view.plays[first].value));
        int winner = 0, best = -1;
        for (int i = first; i < last; ++i) {
            const int seat = view.plays[i].seat, code = view.plays[i].value;
            const int index = cardIndex(code);
            ++r.played[seat];
            r.playedCards |= cardBit(code);
            if (dd.effectiveSuit(index) != led) r.voidSuits[seat] |= 1u << led;
            const int strength = dd.power(index, led);
            if (strength > best) {
                best = strength;
                winner = seat;
            }
        }
        if (last - first == perTrick) {
            if (teamOf(winner) == teamOf(view.maker)) ++r.makerTricks;
        } else {
            r.leader = view.plays[first].seat;
            r.trickCount = last - first;
            r.led = led;
            for (int i = first; i < last; ++i) r.trick[i - first] = view.plays[i].value;
        }
    }
    if (r.trickCount == 0) r.leader = view.seat;
    return r;
}

// What a hand's result is worth to the deciding seat's team, in points,
// but weighed by the game's score: near the end a point that wins the game
// counts for more than one that does not. Indexed by the Maker's points + 2.
struct Utility {
    std::array<double, 7> ofMakerPoints{};
    double operator()(int makerPoints) const { return ofMakerPoints[static_cast<std::size_t>(makerPoints + 2)]; }
};

Utility scoreUtility(const SeatView& view, int makerSeat) {
    Utility u;
    const bool ours = teamOf(makerSeat) == teamOf(view.seat);
    const int target = view.target;
    const int mine = view.scores[teamOf(view.seat)], theirs = view.scores[3 - teamOf(view.seat)];
    for (int v = -2; v <= 4; ++v) u.ofMakerPoints[static_cast<std::size_t>(v + 2)] = ours ? v : -v;
    constexpr int kLongest = 30;
    if (target < 1 || target > kLongest || mine >= target || theirs >= target) return u;
    // The chance to win from each score, each hand giving one team 1, 2 or
    // 4 points about as often as hands of this kind do.
    constexpr std::array<std::pair<int, double>, 3> kGain{{{1, 0.30}, {2, 0.13}, {4, 0.02}}};
    constexpr double kNothing = 0.10;
    std::array<std::array<double, kLongest + 1>, kLongest + 1> win{};
    auto at = [&](int a, int b) { return a >= target ? 1.0 : b >= target ? 0.0 : win[a][b]; };
    for (int a = target - 1; a >= 0; --a)
        for (int b = target - 1; b >= 0; --b) {
            double w = 0;
            for (const auto& [gain, p] : kGain) w += p * (at(a + gain, b) + at(a, b + gain));
            win[a][b] = w / (1 - kNothing);
        }
    const double now = at(mine, theirs);
    const double perPoint = (at(mine + 1, theirs) - at(mine, theirs + 1)) / 2;
    if (perPoint < 1e-6) return u;
    for (int v = -2; v <= 4; ++v) {
        const int ourPoints = ours ? std::max(v, 0) : (v < 0 ? -v : 0);
        const int theirPoints = ours ? (v < 0 ? -v : 0) : std::max(v, 0);
        u.ofMakerPoints[static_cast<std::size_t>(v + 2)] = (at(mine + ourPoints, theirs + theirPoints) - now) / perPoint;
    }
    return u;
}

// The value of a layout to the Maker: a blend of perfect play by every
// seat and of the other seats (`ordinary`, one bit per seat) playing as
// ordinary players do while the seat deciding plays its best.
double blendedSolve(DoubleDummy& dd, const Layout& layout, unsigned ordinary, double modelWeight, const Utility& u) {
    double value = 0;
    if (modelWeight > 0) {
        dd.setModelledSeats(ordinary);
        value += modelWeight * u(dd.solve(layout));
    }
    if (modelWeight < 1) {
        dd.setModelledSeats(0);
        value += (1 - modelWeight) * u(dd.solve(layout));
    }
    return value;
}

void blendedMoves(DoubleDummy& dd, const Layout& layout, unsigned ordinary, double modelWeight, const Utility& u,
                  std::array<double, 24>& values) {
    std::array<int, 24> raw{};
    std::uint32_t legal = 0;
    values.fill(0);
    if (modelWeight > 0) {
        dd.setModelledSeats(ordinary);
        dd.valueMoves(layout, raw, legal);
        for (int i = 0; i < 24; ++i)
            if ((legal >> i & 1u) != 0) values[i] += modelWeight * u(raw[i]);
    }
    if (modelWeight < 1) {
        dd.setModelledSeats(0);
        dd.valueMoves(layout, raw, legal);
        for (int i = 0; i < 24; ++i)
            if ((legal >> i & 1u) != 0) values[i] += (1 - modelWeight) * u(raw[i]);
    }
}

// The seats other than `seat` whose play is modelled as ordinary.
unsigned ordinarySeats(int seat, bool partnerToo) {
    unsigned seats = 0;
    for (int other = 1; other <= 4; ++other)
        if (other != seat && (partnerToo || teamOf(other) != teamOf(seat))) seats |= 1u << other;
    return seats;
}

// Everything the bidding evaluations share for one decision.
struct BidContext {
    const SeatView& view;
    std::uint32_t mine;
    SeededRandom& random;
    const ExpertTuning& tuning;
    std::uint64_t nodes = 0;
};

struct TrumpValue {
    double withPartner = 0;
    double alone = 0;
};

// Averages kept apart for the searched layouts and for the played-out ones,
// then blended by the tuning's share.
struct SplitAverage {
    double searched = 0, playedOut = 0;
    double playedOutWhereSearched = 0;  // the play-outs of the searched layouts alone
    int searchedCount = 0, playedOutCount = 0;
    double blend(double playOutWeight, double correction) const {
        double s = searched / std::max(searchedCount, 1);
        const double p = playedOut / std::max(playedOutCount, 1);
        if (playedOutCount == 0) return s;
        if (searchedCount == 0) return p;
        s -= correction * (playedOutWhereSearched / searchedCount - p);
        return playOutWeight * p + (1 - playOutWeight) * s;
    }
};

// How many layouts a bidding value searches and plays out.
struct BidSampling {
    int searched = 0;
    int playedOut = 0;
    int total() const { return std::max(searched, playedOut); }
};

BidSampling bidSampling(const ExpertTuning& tuning, int samples, double playOutWeight) {
    BidSampling sampling;
    sampling.searched = playOutWeight < 1 ? samples : 0;
    sampling.playedOut = playOutWeight > 0 || tuning.bidPlayOutCorrection > 0 ? tuning.bidPlayOutSamples : 0;
    return sampling;
}

// Average points for the seat's team when `maker` makes `trump`, the dealer
// taking the turned card when `pickUp`. Going alone is searched exactly when
// `exactAlone`, otherwise only where the partnership marches.
TrumpValue valueTrump(BidContext& c, int trump, int maker, bool pickUp, bool exactAlone, int samples) {
    const SeatView& v = c.view;
    DoubleDummy dd(trump, c.tuning.landedSearch);
    const int me = v.seat;
    const int turned = v.turnedCard;
    const std::uint32_t turnedBit = turned != kNoCard ? cardBit(turned) : 0;
    Knowledge k;
    k.pool = kAllCards & ~c.mine & ~turnedBit;
    for (int seat = 1; seat <= 4; ++seat) {
        k.need[seat] = seat == me ? 0 : 5;
        k.allowed[seat] = k.pool;
    }
    // A dealer that already exchanged holds the turned card among the five.
    const bool exchanged = v.discarded != kNoCard;
    k.fixed[me] = c.mine;
    k.view = &v;
    const Utility u = scoreUtility(v, maker);
    const double marches = (u(1) + u(2)) / 2;
    const BidSampling sampling = bidSampling(c.tuning, samples, c.tuning.bidPlayOutWeight);
    SplitAverage partner, alone;
    std::array<std::uint32_t, 5> hands{};
    for (int s = 0; s < sampling.total(); ++s) {
        const bool search = s < sampling.searched && (s == 0 || dd.nodes() + c.nodes <= c.tuning.nodeBudget);
        const bool playOut = s < sampling.playedOut;
        if (!search && !playOut) break;
        dealHidden(k, c.random, hands);
        if (pickUp && !exchanged) hands[v.dealer] = simpleDiscard(hands[v.dealer] | turnedBit, dd);
        Layout layout;
        layout.hands = hands;
        layout.makerSeat = maker;
        Layout lone = layout;
        lone.alone = true;
        layout.leader = firstLeader(v.dealer, maker, false);
        lone.leader = firstLeader(v.dealer, maker, true);
        if (search) {
            const unsigned ordinary = ordinarySeats(me, c.tuning.modelPartner);
            const double partnerValue = blendedSolve(dd, layout, ordinary, c.tuning.bidModelWeight, u);
            partner.searched += partnerValue;
            alone.searched += exactAlone || partnerValue > marches
                                  ? blendedSolve(dd, lone, ordinary, c.tuning.bidModelWeight, u)
                                  : partnerValue;
            ++partner.searchedCount;
            ++alone.searchedCount;
        }
        if (playOut) {
            const double partnerValue = u(dd.playOut(layout));
            const double aloneValue = exactAlone || partnerValue > marches ? u(dd.playOut(lone)) : partnerValue;
            partner.playedOut += partnerValue;
            alone.playedOut += aloneValue;
            if (search) {
                partner.playedOutWhereSearched += partnerValue;
                alone.playedOutWhereSearched += aloneValue;
            }
            ++partner.playedOutCount;
            ++alone.playedOutCount;
        }
    }
    c.nodes += dd.nodes();
    TrumpValue value;
    value.withPartner = partner.blend(c.tuning.bidPlayOutWeight, c.tuning.bidPlayOutCorrection);
    value.alone = alone.blend(c.tuning.bidPlayOutWeight, c.tuning.bidPlayOutCorrection);
    return value;
}

double bestOf(const TrumpValue& value) { return std::max(value.withPartner, value.alone); }

// The average points for the seat's team when it passes: the seats after
// it bid as ordinary players do (a strong enough hand makes trump), and
// after a first-round pass so does everyone, this seat too, in the second.
double passValue(BidContext& c, int samples, bool secondRound) {
    const SeatView& v = c.view;
    const int me = v.seat;
    const int turnedSuit = suitOf(v.turnedCard);
    const std::uint32_t turnedBit = cardBit(v.turnedCard);
    constexpr double kMakes = 5.0;  // strength an ordinary player makes trump with
    Knowledge k;
    k.pool = kAllCards & ~c.mine & ~turnedBit;
    for (int seat = 1; seat <= 4; ++seat) {
        k.need[seat] = seat == me ? 0 : 5;
        k.allowed[seat] = k.pool;
    }
    k.fixed[me] = c.mine;
    k.view = &v;
    std::array<std::unique_ptr<DoubleDummy>, 5> solvers;
    auto solver = [&](int trump) -> DoubleDummy& {
        if (!solvers[trump]) solvers[trump] = std::make_unique<DoubleDummy>(trump, c.tuning.landedSearch);
        return *solvers[trump];
    };
    const std::array<Utility, 3> utility{Utility{}, scoreUtility(v, me), scoreUtility(v, vornel::nextSeat(me))};
    auto nodes = [&] {
        std::uint64_t total = c.nodes;
        for (const auto& s : solvers) total += s ? s->nodes() : 0;
        return total;
    };
    const BidSampling sampling = bidSampling(c.tuning, samples, c.tuning.bidPlayOutWeight);
    SplitAverage value;
    std::array<std::uint32_t, 5> hands{};
    for (int s = 0; s < sampling.total(); ++s) {
        // Half a decision's budget for the searched layouts.
        const bool search = s < sampling.searched && (s == 0 || nodes() <= c.tuning.nodeBudget / 2);
        const bool playOut = s < sampling.playedOut;
        if (!search && !playOut) break;
        dealHidden(k, c.random, hands);
        int maker = 0, trump = 0;
        bool pickUp = false;
        for (int seat = me; !secondRound && seat != v.dealer && maker == 0;) {
            seat = vornel::nextSeat(seat);
            const std::uint32_t held = seat == v.dealer ? hands[seat] | turnedBit : hands[seat];
            if (strength(held, turnedSuit) >= kMakes) {
                maker = seat;
                trump = turnedSuit;
                pickUp = true;
            }
        }
        // The second round asks the seats after the dealer, or after this
        // seat when it is the one passing there.
        const int asked = secondRound ? (v.dealer - me + 4) % 4 : 4;
        const int firstAsked = secondRound ? vornel::nextSeat(me) : vornel::nextSeat(v.dealer);
        for (int i = 0; i < asked && maker == 0; ++i) {
            const int seat = (firstAsked + i - 1) % 4 + 1;
            for (int suit = 1; suit <= 4; ++suit) {
                if (suit == turnedSuit || strength(hands[seat], suit) < kMakes) continue;
                if (maker == 0 || strength(hands[seat], suit) > strength(hands[seat], trump)) trump = suit;
                maker = seat;
            }
        }
        value.searchedCount += search;
        value.playedOutCount += playOut;
        if (maker == 0) continue;  // thrown in: worth nothing to either side
        DoubleDummy& dd = solver(trump);
        Layout layout;
        layout.hands = hands;
        if (pickUp) layout.hands[v.dealer] = simpleDiscard(hands[v.dealer] | turnedBit, dd);
        layout.makerSeat = maker;
        layout.leader = firstLeader(v.dealer, maker, false);
        const Utility& u = utility[teamOf(maker) == teamOf(me) ? 1 : 2];
        if (search)
            value.searched += blendedSolve(dd, layout, ordinarySeats(me, c.tuning.modelPartner), c.tuning.bidModelWeight, u);
        if (playOut) {
            const double played = u(dd.playOut(layout));
            value.playedOut += played;
            if (search) value.playedOutWhereSearched += played;
        }
    }
    return value.blend(c.tuning.bidPlayOutWeight, c.tuning.bidPlayOutCorrection);
}

}  // namespace

std::uint64_t ExpertPlayer::decisionSeed(const SeatView& view) const {
    std::uint64_t s = mix(seed_, static_cast<std::uint64_t>(view.seat));
    s = mix(s, static_cast<std::uint64_t>(view.handsDealt));
    s = mix(s, static_cast<std::uint64_t>(view.bidCount) << 8 | static_cast<std::uint64_t>(view.playCount));
    return mix(s, static_cast<std::uint64_t>(view.decision));
}

int ExpertPlayer::decide(const SeatView& view) {
    switch (view.decision) {
    case Decision::Bid: return bid(view);
    case Decision::Choose: return choose(view);
    case Decision::Alone: return alone(view);
    case Decision::Discard: return discard(view);
    case Decision::Play: return play(view);
    }
    return 0;
}

double ExpertPlayer::orderUpGain(const SeatView& view) {
    SeededRandom random(decisionSeed(view));
    BidContext context{view, handMask(view), random, tuning_};
    const int trump = suitOf(view.turnedCard);
    const TrumpValue value = valueTrump(context, trump, view.seat, true, false, tuning_.bidSamples);
    random.reseed(decisionSeed(view));
    context.nodes = 0;
    return bestOf(value) - passValue(context, tuning_.bidSamples, false);
}

int ExpertPlayer::bid(const SeatView& view) {
    // Ordering up hands the turned card to the dealer: to the partner, to
    // the seat itself or to an opponent.
    const auto position = static_cast<std::size_t>((view.seat - view.dealer + 4) % 4);
    return orderUpGain(view) >= tuning_.orderMargins[position] ? 1 : 2;
}

std::array<double, 5> ExpertPlayer::nameGains(const SeatView& view) {
    SeededRandom random(decisionSeed(view));
    BidContext context{view, handMask(view), random, tuning_};
    std::array<double, 5> values{};
    for (int suit = 1; suit <= 4; ++suit) {
        if (suit == view.turnedDown) continue;
        // Every suit is weighed on the same deals, so their difference is not luck.
        random.reseed(decisionSeed(view));
        values[static_cast<std::size_t>(suit)] =
            bestOf(valueTrump(context, suit, view.seat, false, false, tuning_.bidSamples));
    }
    // The dealer's pass throws the hand in, which is worth nothing to either side.
    random.reseed(decisionSeed(view));
    context.nodes = 0;
    const double passing = view.seat == view.dealer ? 0.0 : passValue(context, tuning_.bidSamples, true);
    std::array<double, 5> gains{};
    for (int suit = 1; suit <= 4; ++suit)
        gains[static_cast<std::size_t>(suit)] = suit == view.turnedDown ? kNoGain : values[static_cast<std::size_t>(suit)] - passing;
    return gains;
}

int ExpertPlayer::choose(const SeatView& view) {
    const std::array<double, 5> gains = nameGains(view);
    int bestSuit = 0;
    for (int suit = 1; suit <= 4; ++suit)
        if (suit != view.turnedDown && (bestSuit == 0 || gains[static_cast<std::size_t>(suit)] > gains[static_cast<std::size_t>(bestSuit)]))
            bestSuit = suit;
    const double margin = view.seat == view.dealer ? 0.0 : tuning_.nameMargin;
    return bestSuit != 0 && gains[static_cast<std::size_t>(bestSuit)] >= margin ? bestSuit + 2 : 22;
}

double ExpertPlayer::aloneGain(const SeatView& view) {
    SeededRandom random(decisionSeed(view));
    std::uint32_t mine = handMask(view);
    const bool dealerToExchange = view.orderedUp && view.seat == view.dealer && view.discarded == kNoCard;
    BidContext context{view, mine, random, tuning_};
    if (dealerToExchange) {
        DoubleDummy dd(view.trump, tuning_.landedSearch);
        context.mine = simpleDiscard(mine | cardBit(view.turnedCard), dd);
    }
    const TrumpValue value = valueTrump(context, view.trump, view.seat, view.orderedUp && !dealerToExchange, true,
                                        tuning_.bidSamples);
    return value.alone - value.withPartner;
}

int ExpertPlayer::alone(const SeatView& view) {
    return aloneGain(view) > tuning_.aloneMargins[view.orderedUp ? 1 : 0] ? 7 : 8;
}

int ExpertPlayer::discard(const SeatView& view) {
    const std::uint32_t mine = handMask(view);
    const std::uint32_t six = mine | cardBit(view.turnedCard);
    DoubleDummy dd(view.trump, tuning_.landedSearch);
    const std::uint32_t simple = simpleDiscard(six, dd);
    auto slotFor = [&](std::uint32_t kept) {
        const int gone = cardOfIndex(std::countr_zero(six & ~kept));
        const int slot = slotOf(view, gone);
        return slot != 0 ? slot : 1;
    };
    // A partner playing alone leaves the dealer's cards out of the hand.
    if (view.alone && view.maker != view.seat && partnerOf(view.maker) == view.seat) return slotFor(simple);

    std::uint32_t candidates = mine & ~dd.suitMask(view.trump);
    if (candidates == 0) candidates = mine;
    if (std::popcount(candidates) == 1) return slotFor(six & ~candidates);

    SeededRandom random(decisionSeed(view));
    Knowledge k;
    k.pool = kAllCards & ~six;
    for (int seat = 1; seat <= 4; ++seat) {
        const bool sitsOut = view.alone && seat == partnerOf(view.maker);
        k.need[seat] = seat == view.seat || sitsOut ? 0 : 5;
        k.allowed[seat] = k.pool;
    }
    k.view = &view;
    std::array<double, 24> sums{};
    std::array<std::uint32_t, 5> hands{};
    const Utility u = scoreUtility(view, view.maker);
    for (int s = 0; s < tuning_.discardSamples; ++s) {
        if (s > 0 && dd.nodes() > tuning_.nodeBudget) break;
        dealHidden(k, random, hands);
        for (std::uint32_t rest = candidates; rest != 0; rest &= rest - 1) {
            const int index = std::countr_zero(rest);
            Layout layout;
            layout.hands = hands;
            layout.hands[view.seat] = six & ~(std::uint32_t{1} << index);
            layout.makerSeat = view.maker;
            layout.alone = view.alone;
            layout.leader = firstLeader(view.dealer, view.maker, view.alone);
            sums[index] += blendedSolve(dd, layout, ordinarySeats(view.seat, tuning_.modelPartner),
                                        tuning_.bidModelWeight, u);
        }
    }
    // Equal averages: the exchange a careful player makes anyway.
    const int simpleIndex = std::countr_zero(six & ~simple);
    int bestIndex = -1;
    for (std::uint32_t rest = candidates; rest != 0; rest &= rest - 1) {
        const int index = std::countr_zero(rest);
        if (bestIndex < 0 || sums[index] > sums[bestIndex] + 1e-9 ||
            (sums[index] > sums[bestIndex] - 1e-9 && index == simpleIndex))
            bestIndex = index;
    }
    return slotFor(six & ~(std::uint32_t{1} << bestIndex));
}

int ExpertPlayer::play(const SeatView& view) {
    DoubleDummy dd(view.trump, tuning_.landedSearch);
    const Replay r = replay(view, dd);
    const std::uint32_t mine = handMask(view);
    std::uint32_t legal = mine;
    if (r.trickCount > 0 && (mine & dd.suitMask(r.led)) != 0) legal = mine & dd.suitMask(r.led);
    if (legal == 0) return 0;
    // The cheapest card of those that do equally well.
    auto cheapness = [&](int index) {
        const int led = r.trickCount > 0 ? r.led : dd.effectiveSuit(index);
        return dd.power(index, led) + (dd.effectiveSuit(index) == dd.trump() ? 50 : 0);
    };
    if (std::popcount(legal) == 1) return slotOf(view, cardOfIndex(std::countr_zero(legal)));

    // What the others may hold.
    Knowledge k;
    const int sittingOut = view.sittingOut();
    const std::uint32_t turnedBit = view.turnedCard != kNoCard ? cardBit(view.turnedCard) : 0;
    const bool dealerHoldsTurned = view.orderedUp && view.seat != view.dealer && view.dealer != sittingOut &&
                                   (r.playedCards & turnedBit) == 0;
    k.pool = kAllCards & ~mine & ~r.playedCards & ~turnedBit;
    if (view.discarded != kNoCard) k.pool &= ~cardBit(view.discarded);
    for (int seat = 1; seat <= 4; ++seat) {
        if (seat == view.seat || seat == sittingOut) continue;
        k.need[seat] = 5 - r.played[seat];
        std::uint32_t allowed = k.pool;
        for (int suit = 1; suit <= 4; ++suit)
            if ((r.voidSuits[seat] >> suit & 1u) != 0) allowed &= ~dd.suitMask(suit);
        k.allowed[seat] = allowed;
    }
    k.fixed[view.seat] = mine;
    k.view = &view;
    k.rules = &dd;
    for (int i = 0; i < view.playCount; ++i) k.shown[view.plays[i].seat] |= cardBit(view.plays[i].value);
    if (dealerHoldsTurned) {
        k.fixed[view.dealer] = turnedBit;
        --k.need[view.dealer];
    }

    Layout layout;
    layout.makerSeat = view.maker;
    layout.alone = view.alone;
    layout.makerTricks = r.makerTricks;
    layout.leader = r.leader;
    layout.trickCount = r.trickCount;
    layout.trick = r.trick;

    SeededRandom random(decisionSeed(view));
    const Utility u = scoreUtility(view, view.maker);
    std::array<double, 24> sums{};
    std::array<double, 24> values{};
    for (int s = 0; s < tuning_.playSamples; ++s) {
        if (s > 0 && dd.nodes() > tuning_.nodeBudget) break;
        dealHidden(k, random, layout.hands);
        blendedMoves(dd, layout, ordinarySeats(view.seat, tuning_.modelPartner), tuning_.modelWeight, u, values);
        for (std::uint32_t rest = legal; rest != 0; rest &= rest - 1) {
            const int index = std::countr_zero(rest);
            sums[index] += values[index];
        }
    }
    int bestIndex = -1;
    for (std::uint32_t rest = legal; rest != 0; rest &= rest - 1) {
        const int index = std::countr_zero(rest);
        if (bestIndex < 0 || sums[index] > sums[bestIndex] + 1e-9 ||
            (sums[index] > sums[bestIndex] - 1e-9 && cheapness(index) < cheapness(bestIndex)))
            bestIndex = index;
    }
    return slotOf(view, cardOfIndex(bestIndex));
}

}  // namespace vornel

// The expert computer players: they decide from their seat's view alone,
// play only legal cards in whole games, and get right the positions the
// standard players get wrong.

#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <cmath>
#include <array>
#include <optional>
#include <utility>
#include <vector>

#include "engine/game_audit.h"
#include "engine/rules.h"
#include "players/expert_player.h"
#include "players/simulation.h"
#include "engine_test_support.h"

namespace vornel::test {
namespace {

// Few samples: the rules under test do not depend on how many.
ExpertTuning quickTuning() {
    ExpertTuning tuning;
    tuning.playSamples = 6;
    tuning.bidSamples = 6;
    tuning.discardSamples = 4;
    tuning.nodeBudget = 60'000;
    tuning.bidPlayOutSamples = 20;
    return tuning;
}

// The bidding valued by searched layouts alone, as the expert first did.
ExpertTuning searchedOnlyTuning() {
    ExpertTuning tuning = quickTuning();
    tuning.bidPlayOutSamples = 0;
    tuning.bidPlayOutCorrection = 0;
    return tuning;
}

// The bidding valued half by play-outs in which every seat, the bidder too,
// plays as an ordinary player.
ExpertTuning blendedTuning() {
    ExpertTuning tuning = quickTuning();
    tuning.bidPlayOutWeight = 0.5;
    return tuning;
}

// Passes every decision on to the expert, and before that checks the
// information rule: the same view, with the cards the seat cannot see dealt
// differently among the other seats, must give the same view and decision.
class InformationCheck final : public SeatPolicy {
public:
    InformationCheck(const HostEngine& engine, std::uint64_t seed, const ExpertTuning& tuning = quickTuning())
        : engine_(engine), expert_(seed, tuning), twin_(seed, tuning), shuffle_(seed) {}

    int decide(const SeatView& view) override {
        const int choice = expert_.decide(view);
        if (++decisions % 5 != 0) return choice;  // every fifth decision is checked
        GameState other = engine_.state();
        redealHiddenCards(other, view.seat);
        const SeatView otherView = makeSeatView(other, view.seat, view.decision);
        EXPECT_TRUE(otherView == view) << "the view shows another seat's cards";
        EXPECT_EQ(twin_.decide(otherView), choice) << "decision " << decisions << " of seat " << view.seat;
        ++checked;
        return choice;
    }

    int decisions = 0;
    int checked = 0;

private:
    // Swaps the cards of every other seat among those seats, each keeping
    // its number of cards and its empty slots; the dealer keeps the turned
    // card, which everyone saw him take.
    void redealHiddenCards(GameState& s, int viewer) {
        std::vector<int> cards;
        const int kept = s.orderedUp ? s.turnedCard() : kNoCard;
        for (int seat = 1; seat <= 4; ++seat)
            for (int slot = 1; slot <= 5; ++slot)
                if (seat != viewer && s.card(seat, slot) != kNoCard && s.card(seat, slot) != kept)
                    cards.push_back(s.card(seat, slot));
        for (std::size_t i = cards.size(); i > 1; --i) std::swap(cards[i - 1], cards[shuffle_.below(static_cast<int>(i))]);
        std::size_t next = 0;
        for (int seat = 1; seat <= 4; ++seat)
            for (int slot = 1; slot <= 5; ++slot)
                if (seat != viewer && s.card(seat, slot) != kNoCard && s.card(seat, slot) != kept)
                    s.seat(seat).slots[slot] = cards[next++];
    }

    const HostEngine& engine_;
    ExpertPlayer expert_;
    ExpertPlayer twin_;
    SeededRandom shuffle_;
};

struct TuningCase {
    const char* name;
    ExpertTuning (*tuning)();
};

class ExpertInformation : public ::testing::TestWithParam<TuningCase> {};

TEST_P(ExpertInformation, DecisionsDependOnlyOnTheSeatsView) {
    GameAudit audit;
    ComputerGame game(audit, 2024);
    InformationCheck check(game.engine(), 99, GetParam().tuning());
    PolicyPlayer player(check);
    for (int seat = 1; seat <= 4; ++seat) game.engine().setSeatPlayer(seat, &player);
    game.play(5);
    EXPECT_TRUE(audit.violations().empty());
    EXPECT_GT(check.checked, 20);
}

TEST_P(ExpertInformation, TheSameSeedAndViewGiveTheSameDecisions) {
    // Two games from the same seeds are the same game, announcement for announcement.
    std::array<std::uint64_t, 2> checksums{};
    for (auto& checksum : checksums) {
        GameAudit audit;
        ComputerGame game(audit, 77);
        ExpertPlayer expert(5, GetParam().tuning());
        PolicyPlayer player(expert);
        for (int seat = 1; seat <= 4; seat += 2) game.engine().setSeatPlayer(seat, &player);
        game.play(5);
        checksum = audit.checksum();
    }
    EXPECT_EQ(checksums[0], checksums[1]);
}

INSTANTIATE_TEST_SUITE_P(Tunings, ExpertInformation,
                         ::testing::Values(TuningCase{"Corrected", quickTuning}, TuningCase{"SearchedOnly", searchedOnlyTuning},
                                           TuningCase{"Blended", blendedTuning}),
                         [](const auto& info) { return std::string(info.param.name); });

// --- the bidding ---------------------------------------------------------

// Passes every decision on, keeping the views of the first bidding ones.
class BiddingViews final : public SeatPolicy {
public:
    explicit BiddingViews(SeatPolicy& inner) : inner_(inner) {}
    int decide(const SeatView& view) override {
        if ((view.decision == Decision::Bid || view.decision == Decision::Choose) && views.size() < 16) views.push_back(view);
        return inner_.decide(view);
    }
    std::vector<SeatView> views;

private:
    SeatPolicy& inner_;
};

// The play-outs move the searched average by how far the searched layouts'
// own play-outs stray from all of them: over the very same layouts they
// cannot move it, over more layouts they do.
TEST(ExpertBidding, PlayOutsCorrectTheSearchedLayoutsOnlyByWhatTheyAdd) {
    GameAudit audit;
    ComputerGame game(audit, 31);
    ExpertPlayer expert(7, quickTuning());
    BiddingViews recorder(expert);
    PolicyPlayer player(recorder);
    for (int seat = 1; seat <= 4; ++seat) game.engine().setSeatPlayer(seat, &player);
    game.play(5);
    ASSERT_GE(recorder.views.size(), 8u);

    ExpertTuning searched = quickTuning();
    searched.bidSamples = 24;
    searched.nodeBudget = 100'000'000;  // every layout searched
    searched.bidPlayOutSamples = 0;
    searched.bidPlayOutCorrection = 0;
    auto gains = [](const ExpertTuning& tuning, const SeatView& view) {
        ExpertPlayer player(3, tuning);
        if (view.decision == Decision::Bid) return std::array<double, 5>{player.orderUpGain(view)};
        return player.nameGains(view);
    };
    const struct {
        const char* name;
        int playOuts;
        bool moves;
    } cases[] = {{"the same layouts", 24, false}, {"four times the layouts", 96, true}};
    for (const auto& c : cases) {
        ExpertTuning corrected = searched;
        corrected.bidPlayOutSamples = c.playOuts;
        corrected.bidPlayOutCorrection = 1;
        int moved = 0;
        for (const SeatView& view : recorder.views) {
            const auto before = gains(searched, view), after = gains(corrected, view);
            for (std::size_t i = 0; i < before.size(); ++i) {
                if (!c.moves) {
                    EXPECT_NEAR(after[i], before[i], 1e-9) << c.name;
                }
                moved += std::abs(after[i] - before[i]) > 1e-6;
            }
        }
        if (c.moves) {
            EXPECT_GT(moved, 4) << c.name;
        } else {
            EXPECT_EQ(moved, 0) << c.name;
        }
    }
}

// --- the exact play-out ------------------------------------------------

// Best play for both sides by trying every legal card, with the engine's
// own follow-suit and trick-winner rules, from any start: a lone Maker's
// partner sits out (three cards to a trick) and a trick may be under way.
int bruteForceFrom(GameState& s, int turn, int count, int makerTricks, int makerSeat, bool alone) {
    const int players = alone ? 3 : 4;
    bool cardsLeft = count > 0;
    for (int seat = 1; seat <= 4; ++seat) cardsLeft = cardsLeft || s.seat(seat).cardsHeld() > 0;
    if (!cardsLeft) return expert::makerPoints(makerTricks, alone);
    const bool maximising = teamOf(turn) == teamOf(makerSeat);
    int best = maximising ? -100 : 100;
    for (int slot = 1; slot <= 5; ++slot) {
        const int code = s.card(turn, slot);
        if (code == kNoCard) continue;
        if (count > 0 && s.effectiveSuit(code) != s.ledSuit && checkforsuit(s, turn)) continue;
        const int ledBefore = s.ledSuit;
        if (count == 0) s.ledSuit = s.effectiveSuit(code);
        s.seat(turn).slots[slot] = kNoCard;
        s.seat(turn).tableCard = code;
        int next = nextSeat(turn);
        if (s.seat(next).sitsOut) next = nextSeat(next);
        int value;
        if (count + 1 == players) {
            const int winner = thewinner(s);
            std::array<int, 5> table{};
            for (int seat = 1; seat <= 4; ++seat) table[seat] = std::exchange(s.seat(seat).tableCard, kNoCard);
            s.ledSuit = 0;
            value = bruteForceFrom(s, winner, 0, makerTricks + (teamOf(winner) == teamOf(makerSeat)), makerSeat, alone);
            for (int seat = 1; seat <= 4; ++seat) s.seat(seat).tableCard = table[seat];
        } else {
            value = bruteForceFrom(s, next, count + 1, makerTricks, makerSeat, alone);
        }
        s.seat(turn).tableCard = kNoCard;
        s.seat(turn).slots[slot] = code;
        s.ledSuit = ledBefore;
        best = maximising ? std::max(best, value) : std::min(best, value);
    }
    return best;
}

TEST(ExpertSearch, ExactPlayOutAgreesWithTryingEveryCard) {
    SeededRandom random(8);
    for (int round = 0; round < 300; ++round) {
        std::vector<int> deck;
        for (int code = 1; code <= 52; ++code)
            if (isInPlay(code)) deck.push_back(code);
        for (std::size_t i = deck.size(); i > 1; --i) std::swap(deck[i - 1], deck[random.below(static_cast<int>(i))]);
        const int tricksLeft = 2 + round % 2;  // the last two or three tricks
        GameState s;
        setTrump(s, random.below(4) + 1);
        expert::Layout layout;
        layout.makerSeat = random.below(4) + 1;
        layout.makerTricks = random.below(5 - tricksLeft + 1);
        layout.leader = random.below(4) + 1;
        for (int seat = 1; seat <= 4; ++seat)
            for (int t = 0; t < tricksLeft; ++t) {
                const int code = deck[static_cast<std::size_t>((seat - 1) * tricksLeft + t)];
                s.seat(seat).slots[t + 1] = code;
                layout.hands[seat] |= expert::cardBit(code);
            }
        expert::DoubleDummy dd(s.trump);
        const int expected = bruteForceFrom(s, layout.leader, 0, layout.makerTricks, layout.makerSeat, false);
        ASSERT_EQ(dd.solve(layout), expected) << "round " << round;
    }
}

TEST(ExpertSearch, EveryCardsValueAgreesWithTryingEveryCardAloneAndMidTrick) {
    SeededRandom random(9);
    int aloneRounds = 0, midTrickRounds = 0;
    for (int round = 0; round < 240; ++round) {
        std::vector<int> deck;
        for (int code = 1; code <= 52; ++code)
            if (isInPlay(code)) deck.push_back(code);
        for (std::size_t i = deck.size(); i > 1; --i) std::swap(deck[i - 1], deck[random.below(static_cast<int>(i))]);
        GameState s;
        setTrump(s, random.below(4) + 1);
        expert::Layout layout;
        layout.makerSeat = random.below(4) + 1;
        layout.alone = round % 3 == 0;
        const int out = layout.alone ? partnerOf(layout.makerSeat) : 0;
        const int players = layout.alone ? 3 : 4;
        const int tricksLeft = 2 + round % 2;
        layout.makerTricks = random.below(5 - tricksLeft + 1);
        layout.leader = random.below(4) + 1;
        if (layout.leader == out) layout.leader = nextSeat(layout.leader);
        layout.trickCount = random.below(players);
        // The seats that already played to the trick hold one card fewer.
        std::size_t next = 0;
        int seat = layout.leader;
        for (int i = 0; i < players; ++i, seat = nextSeat(seat)) {
            if (seat == out) seat = nextSeat(seat);
            const int held = tricksLeft - (i < layout.trickCount ? 1 : 0);
            for (int t = 0; t < held; ++t) {
                s.seat(seat).slots[t + 1] = deck[next];
                layout.hands[seat] |= expert::cardBit(deck[next++]);
            }
        }
        s.seat(out).sitsOut = out != 0;
        // The trick so far: each seat that played follows suit where it can.
        seat = layout.leader;
        for (int i = 0; i < layout.trickCount; ++i, seat = nextSeat(seat)) {
            if (seat == out) seat = nextSeat(seat);
            int code = deck[next++];
            if (i > 0) {
                for (std::size_t j = next; j < deck.size(); ++j)
                    if (s.effectiveSuit(deck[j]) == s.ledSuit) {
                        std::swap(deck[j], deck[next - 1]);
                        code = deck[next - 1];
                        break;
                    }
            }
            if (i == 0) s.ledSuit = s.effectiveSuit(code);
            s.seat(seat).tableCard = code;
            layout.trick[static_cast<std::size_t>(i)] = code;
        }
        const int turn = seat == out ? nextSeat(seat) : seat;
        aloneRounds += layout.alone;
        midTrickRounds += layout.trickCount > 0;

        expert::DoubleDummy dd(s.trump);
        std::array<int, 24> values{};
        std::uint32_t legal = 0;
        dd.valueMoves(layout, values, legal);
        int legalCount = 0;
        for (int slot = 1; slot <= 5; ++slot) {
            const int code = s.card(turn, slot);
            if (code == kNoCard) continue;
            const bool follows = layout.trickCount == 0 || s.effectiveSuit(code) == s.ledSuit || !checkforsuit(s, turn);
            ASSERT_EQ((legal & expert::cardBit(code)) != 0, follows) << "round " << round << " card " << code;
            if (!follows) continue;
            ++legalCount;
            // The value after this card: the rest tried every way.
            GameState after = s;
            after.seat(turn).slots[slot] = kNoCard;
            after.seat(turn).tableCard = code;
            if (layout.trickCount == 0) after.ledSuit = after.effectiveSuit(code);
            int expected;
            if (layout.trickCount + 1 == players) {
                const int winner = thewinner(after);
                for (int x = 1; x <= 4; ++x) after.seat(x).tableCard = kNoCard;
                after.ledSuit = 0;
                expected = bruteForceFrom(after, winner, 0, layout.makerTricks + (teamOf(winner) == teamOf(layout.makerSeat)),
                                          layout.makerSeat, layout.alone);
            } else {
                int following = nextSeat(turn);
                if (following == out) following = nextSeat(following);
                expected = bruteForceFrom(after, following, layout.trickCount + 1, layout.makerTricks, layout.makerSeat,
                                          layout.alone);
            }
            ASSERT_EQ(values[static_cast<std::size_t>(expert::cardIndex(code))], expected)
                << "round " << round << " card " << code;
        }
        ASSERT_EQ(std::popcount(legal), legalCount) << "round " << round;
        const int best = bruteForceFrom(s, turn, layout.trickCount, layout.makerTricks, layout.makerSeat, layout.alone);
        ASSERT_EQ(dd.solve(layout), best) << "round " << round;
        // The search as the expert first did it finds the same values.
        expert::DoubleDummy landed(s.trump, true);
        std::array<int, 24> landedValues{};
        std::uint32_t landedLegal = 0;
        landed.valueMoves(layout, landedValues, landedLegal);
        ASSERT_EQ(landedLegal, legal) << "round " << round;
        ASSERT_EQ(landedValues, values) << "round " << round;
        ASSERT_EQ(landed.solve(layout), best) << "round " << round;
    }
    EXPECT_GT(aloneRounds, 50);
    EXPECT_GT(midTrickRounds, 100);
}

// --- whole games --------------------------------------------------------

struct Seating {
    const char* name;
    std::array<bool, 5> expert;  // by seat
};

class ExpertGames : public ::testing::TestWithParam<Seating> {};

TEST_P(ExpertGames, EveryCardAndBidIsLegalAndTheGamesEnd) {
    for (std::uint64_t seed : {3u, 4u}) {
        GameAudit audit;
        ComputerGame game(audit, seed);
        ExpertPlayer expert(seed * 31, quickTuning());
        PolicyPlayer player(expert);
        for (int seat = 1; seat <= 4; ++seat)
            if (GetParam().expert[seat]) game.engine().setSeatPlayer(seat, &player);
        game.play(10);
        audit.finishRun();
        EXPECT_TRUE(audit.violations().empty()) << audit.violations().front();
        EXPECT_TRUE(game.diagnostics().reports.empty()) << game.diagnostics().reports.front();
        EXPECT_EQ(audit.figures().games, 1u);
        EXPECT_EQ(audit.figures().team1Wins + audit.figures().team2Wins, 1u);
    }
}

INSTANTIATE_TEST_SUITE_P(Seatings, ExpertGames,
                         ::testing::Values(Seating{"AllExpert", {false, true, true, true, true}},
                                           Seating{"Team1Expert", {false, true, false, true, false}},
                                           Seating{"Team2Expert", {false, false, true, false, true}},
                                           Seating{"OneExpert", {false, false, false, true, false}}),
                         [](const auto& info) { return std::string(info.param.name); });

// --- positions ----------------------------------------------------------

// A hand part-played: the bidding, every card played so far in order (the
// current trick's last), and what each seat still holds.
struct Position {
    int dealer = 4;
    int trump = kSpades;
    int turned = H9;
    bool turnedDown = true;
    std::vector<std::pair<int, int>> bids;  // seat, bubble code
    int maker = 1;
    bool alone = false;
    std::vector<std::pair<int, int>> plays;  // seat, card code
    std::array<std::vector<int>, 5> hands;   // seats 1..4
};

void setUp(GameState& s, const Position& p) {
    s.gameRunning = true;
    s.target = 10;
    s.dealer = p.dealer;
    s.deck.place(21, p.turned);
    s.deckPosition = 21;
    s.turnedDown = p.turnedDown ? suitOf(p.turned) : 0;
    s.orderedUp = !p.turnedDown;
    setTrump(s, p.trump);
    s.currentBidder = s.currentChooser = s.aloneCandidate = s.discarder = s.pendingDealer = 0;
    s.teams[teamOf(p.maker)].maker = true;
    s.teams[3 - teamOf(p.maker)].maker = false;
    s.history.newHand();
    for (const auto& [seat, code] : p.bids) s.history.bid(seat, code);
    s.history.maker = p.maker;
    s.history.alone = p.alone;
    for (int seat = 1; seat <= 4; ++seat) {
        s.seat(seat).slots.fill(kNoCard);
        for (std::size_t i = 0; i < p.hands[seat].size(); ++i) s.seat(seat).slots[i + 1] = p.hands[seat][i];
        s.seat(seat).tableCard = kNoCard;
        s.seat(seat).sitsOut = p.alone && seat == partnerOf(p.maker);
        s.seat(seat).wentAlone = p.alone && seat == p.maker;
    }
    const std::size_t perTrick = p.alone ? 3 : 4;
    const std::size_t current = p.plays.size() % perTrick;
    for (const auto& [seat, code] : p.plays) s.history.play(seat, code);
    s.trickNumber = static_cast<int>(p.plays.size() / perTrick) + 1;
    s.ledSuit = 0;
    // The seat before the one to play: the last to play in a trick under
    // way, else the one before the last trick's winner.
    int before = p.dealer;
    if (current != 0) {
        before = p.plays.back().first;
        for (std::size_t i = p.plays.size() - current; i < p.plays.size(); ++i) {
            const auto& [seat, code] = p.plays[i];
            s.seat(seat).tableCard = code;
            if (s.ledSuit == 0) s.ledSuit = s.effectiveSuit(code);
        }
    } else if (!p.plays.empty()) {
        for (std::size_t i = p.plays.size() - perTrick; i < p.plays.size(); ++i) {
            s.seat(p.plays[i].first).tableCard = p.plays[i].second;
            if (s.ledSuit == 0) s.ledSuit = s.effectiveSuit(p.plays[i].second);
        }
        before = thewinner(s) == 1 ? 4 : thewinner(s) - 1;
        for (int seat = 1; seat <= 4; ++seat) s.seat(seat).tableCard = kNoCard;
        s.ledSuit = 0;
    }
    int next = before;
    do next = nextSeat(next);
    while (s.seat(next).sitsOut);
    s.currentPlayer = next;
}

// The card the seat to play puts on the table, by the expert or, without
// one, by the standard rules.
int cardPlayed(const Position& p, SeatPolicy* policy) {
    EngineRig rig;
    setUp(rig.state(), p);
    const int seat = rig.state().currentPlayer;
    std::optional<PolicyPlayer> player;
    if (policy != nullptr) player.emplace(*policy);
    rig.engine.setSeatPlayer(seat, player ? &*player : nullptr);
    rig.engine.cnextplayer(seat);
    for (const auto& a : rig.out.log)
        if (a.command == "CMD_playedcard" && a.numbers.size() == 3 && a.numbers[0] == seat) return a.numbers[2];
    return kNoCard;
}

// Spades trump, named by seat 1 after everyone passed the nine of Hearts.
const std::vector<std::pair<int, int>> kSpadesNamedBySeat1{{1, 2}, {2, 2}, {3, 2}, {4, 2}, {1, 5}};

// The landed expert is the yardstick for every change: its figures stay
// those it first played with, whatever the expert's own defaults become.
TEST(ExpertTuning, TheLandedExpertKeepsItsFirstFigures) {
    const ExpertTuning landed = ExpertTuning::landed();
    const struct {
        const char* name;
        double value, first;
    } figures[] = {
        {"layouts per card played", static_cast<double>(landed.playSamples), 150},
        {"layouts per trump bid", static_cast<double>(landed.bidSamples), 48},
        {"layouts per discard", static_cast<double>(landed.discardSamples), 24},
        {"node budget", static_cast<double>(landed.nodeBudget), 250'000},
        {"naming margin", landed.nameMargin, 0.25},
        {"going alone after naming", landed.aloneMargins[0], 0.15},
        {"going alone after ordering up", landed.aloneMargins[1], 0.15},
        {"search as first written", landed.landedSearch ? 1.0 : 0.0, 1},
        {"share of modelled play, cards", landed.modelWeight, 1.0},
        {"share of modelled play, bidding and exchange", landed.bidModelWeight, 0.5},
        {"partner modelled too", landed.modelPartner ? 1.0 : 0.0, 1},
        {"play-outs per trump bid", static_cast<double>(landed.bidPlayOutSamples), 0},
        {"correction by play-outs", landed.bidPlayOutCorrection, 0},
        {"share of play-outs", landed.bidPlayOutWeight, 0},
    };
    for (const auto& f : figures) EXPECT_DOUBLE_EQ(f.value, f.first) << f.name;
    for (double margin : landed.orderMargins) EXPECT_DOUBLE_EQ(margin, 0.2);
    // The expert itself looks at more layouts per card than the landed one.
    EXPECT_GT(ExpertTuning{}.playSamples, landed.playSamples);
}

TEST(ExpertPositions, DoesNotTrumpThePartnersWinningTrickAndKeepsTheTrumpForTheLast) {
    // Every other trump is gone. The partner's ace of Hearts wins the fourth
    // trick; seat 1 is void in Hearts with the Right Bower and the nine of
    // Diamonds. Discarding the nine keeps the Bower for the march.
    Position p;
    p.bids = kSpadesNamedBySeat1;
    p.plays = {{1, CJ}, {2, S9}, {3, ST}, {4, SQ},   // seat 1 wins with the Left Bower
               {1, SA}, {2, SK}, {3, CA}, {4, CK},   // seat 1
               {1, DQ}, {2, DT}, {3, DA}, {4, DJ},   // seat 3
               {3, HA}, {4, HQ}};
    p.hands = {{std::vector<int>{}, {SJ, D9}, {HT, DK}, {CT}, {CQ}}};
    ExpertPlayer expert(1);
    EXPECT_EQ(cardPlayed(p, &expert), D9);
    EXPECT_EQ(cardPlayed(p, nullptr), SJ) << "the standard player trumps in";
}

TEST(ExpertPositions, KeepsTheLastTrumpToTakeTheDecidingTrick) {
    // Two tricks each way after seat 4 trumps the ace of Hearts with the ace
    // of Spades; the queen cannot beat it, but it is the last trump left and
    // takes the fifth trick.
    Position p;
    p.bids = kSpadesNamedBySeat1;
    p.plays = {{1, SJ}, {2, S9}, {3, ST}, {4, CJ},   // seat 1
               {1, CA}, {2, CK}, {3, C9}, {4, CQ},   // seat 1
               {1, DQ}, {2, SK}, {3, DT}, {4, DJ},   // seat 2 trumps
               {2, HA}, {3, HQ}, {4, SA}};
    p.hands = {{std::vector<int>{}, {SQ, D9}, {HK}, {HT}, {CT}}};
    ExpertPlayer expert(2);
    EXPECT_EQ(cardPlayed(p, &expert), D9);
    EXPECT_EQ(cardPlayed(p, nullptr), SQ) << "the standard player throws the queen of trump away";
}

TEST(ExpertPositions, ALoneMakerWithBothBowersLeadsTrump) {
    // Hearts named by seat 1, alone; seat 1 took the first trick with the
    // ace of Diamonds and leads: drawing the trumps with a Bower comes first.
    Position p;
    p.trump = kHearts;
    p.turned = S9;
    p.bids = {{1, 2}, {2, 2}, {3, 2}, {4, 2}, {1, 6}};
    p.alone = true;
    p.plays = {{2, D9}, {4, DQ}, {1, DA}};
    p.hands = {{std::vector<int>{}, {HJ, DJ, CA, SA}, {C9, CT, DT, H9}, {}, {CQ, HT, HQ, ST}}};
    ExpertPlayer expert(3);
    const int led = cardPlayed(p, &expert);
    EXPECT_TRUE(led == HJ || led == DJ) << "led " << led;
}

}  // namespace
}  // namespace vornel::test

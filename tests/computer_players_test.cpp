// The computer players' decisions, with hands built by hand.

#include "players/computer_players.h"
#include "engine_test_support.h"

namespace vornel::test {
namespace {

TEST(ComputerBidder, ScoresTheHandAgainstTheSeatsThreshold) {
    struct Case { int trump, dealer, seat; Hand hand; int expected; const char* why; };
    const Case cases[] = {
        {kClubs, 4, 4, {CJ, SJ, D9, DT, H9}, 1, "dealer, 275 >= 200"},
        {kClubs, 4, 1, {CJ, SJ, D9, DT, H9}, 2, "seat after the dealer, 275 < 300"},
        {kClubs, 4, 2, {CJ, SJ, D9, DT, H9}, 1, "dealer's partner, 275 >= 250"},
        {kClubs, 4, 4, {CJ, D9, DT, S9, HT}, 1, "dealer, exactly 200"},
        {kClubs, 4, 4, {CQ, DK, C9, D9, S9}, 2, "dealer, 175"},
        {kClubs, 1, 3, {CJ, CQ, DK, D9, DT}, 1, "partner, exactly 250"},
        {kClubs, 1, 3, {CJ, C9, DK, D9, DT}, 2, "partner, 225"},
        {kClubs, 1, 2, {CJ, SJ, CK, D9, DT}, 1, "trump king counts 100: 300"},
        {kClubs, 1, 2, {CJ, SJ, CA, D9, S9}, 2, "trump ace counts only 25: 275"},
        {kClubs, 1, 2, {CJ, SJ, DK, D9, S9}, 1, "side king counts 50: 300"},
        {kClubs, 1, 2, {CJ, SJ, DA, D9, S9}, 2, "side ace counts 25: 275"},
        {kClubs, 1, 2, {CJ, DJ, HJ, S9, D9}, 2, "jacks of the other colour are side cards: 200"},
        {kClubs, 1, 2, {CJ, SJ, CQ, D9, H9}, 1, "queen of Clubs as trump counts 50"},
        {kSpades, 1, 2, {SJ, CJ, ST, D9, H9}, 1, "ten of Spades as trump counts 50"},
        {kSpades, 1, 2, {SJ, CJ, SQ, D9, H9}, 2, "queen of Spades as trump counts 25"},
        {kHearts, 1, 2, {HJ, DJ, H9, C9, S9}, 1, "nine of Hearts as trump counts 50"},
        {kHearts, 1, 2, {HJ, DJ, HT, C9, S9}, 2, "ten of Hearts as trump counts 25"},
        {kDiamonds, 1, 2, {DJ, HJ, DQ, C9, S9}, 2, "queen of Diamonds as trump counts 25"},
    };
    for (const Case& c : cases) {
        GameState s;
        setTrump(s, c.trump);
        s.dealer = c.dealer;
        setHand(s, c.seat, c.hand);
        EXPECT_EQ(cbidderChoice(s, c.seat), c.expected) << c.why;
    }
}

TEST(ComputerChooser, NamesTheFirstSuitOfThreeButNeverTheTurnedDownOne) {
    struct Case { int turnedDown; Hand hand; int expected; const char* why; };
    const Case cases[] = {
        {kHearts, {HA, HK, HQ, CA, DA}, 22, "three Hearts, Hearts turned down"},
        {kClubs, {HA, HK, HQ, CA, DA}, 6, "three Hearts"},
        {kClubs, {SJ, S9, ST, D9, DT}, 5, "the turned suit's Left Bower counts as a Spade"},
        {kHearts, {D9, DT, DQ, DK, DA}, 4, "five Diamonds"},
        {kSpades, {C9, CT, D9, DT, H9}, 22, "no suit of three"},
        {kDiamonds, {C9, CT, CK, H9, HT}, 3, "Clubs before Hearts"},
        {kClubs, {C9, CT, CK, H9, HT}, 22, "the dealer passes too"},
    };
    for (const Case& c : cases) {
        GameState s;
        setTrump(s, c.turnedDown);
        s.turnedDown = c.turnedDown;
        s.dealer = 3;
        setHand(s, 3, c.hand);
        EXPECT_EQ(cchooserChoice(s, 3), c.expected) << c.why;
    }
}

TEST(ComputerAloner, GoesAloneOnlyWithFiveTrumps) {
    struct Case { int trump; Hand hand; int expected; const char* why; };
    const Case cases[] = {
        {kHearts, {HA, HK, HQ, H9, DJ}, 7, "four trumps and the Left Bower"},
        {kHearts, {HA, HK, HQ, H9, CA}, 8, "four trumps and a side ace"},
        {kClubs, {C9, CT, CJ, CQ, CK}, 7, "five of the trump block"},
        {kSpades, {SJ, CJ, SA, SK, DJ}, 8, "a jack of the other colour is no trump"},
    };
    for (const Case& c : cases) {
        GameState s;
        setTrump(s, c.trump);
        setHand(s, 2, c.hand);
        EXPECT_EQ(calonerChoice(s, 2), c.expected) << c.why;
    }
}

TEST(ComputerDiscarder, DropsTheLowestSideCardOrASlotAtRandom) {
    struct Case { int trump; Hand hand; int draw; int expected; const char* why; };  // draw -1: none scripted
    const Case cases[] = {
        {kHearts, {HA, C9, HJ, S9, HQ}, -1, 2, "two side nines: the lower slot"},
        {kHearts, {CK, DQ, ST, HA, HK}, -1, 3, "the ten is the lowest side card"},
        {kClubs, {DJ, DQ, CA, CK, SJ}, -1, 1, "a side jack is low; the Left Bower is trump"},
        {kDiamonds, {SA, HK, DA, DT, DJ}, -1, 2, "side aces are kept"},
        {kHearts, {CA, DJ, SA, HJ, HK}, 3, 4, "only trumps and aces: random slot"},
        {kClubs, {DA, CA, SJ, C9, CT}, 0, 1, "only trumps and aces: random slot 1"},
    };
    for (const Case& c : cases) {
        GameState s;
        setTrump(s, c.trump);
        setHand(s, 4, c.hand);
        ScriptedRandom random;
        if (c.draw >= 0) random.script({c.draw});
        EXPECT_EQ(cdiscarderChoice(s, 4, random), c.expected) << c.why;
        EXPECT_EQ(random.requests, c.draw >= 0 ? std::vector<int>{5} : std::vector<int>{}) << c.why;
    }
}

struct PlayCase {
    int trump, led, seat;
    std::array<int, 4> table;
    Hand hand;
    int expected;
    const char* why;
};

void expectPlays(const PlayCase& c) {
    GameState s;
    setTrump(s, c.trump);
    s.ledSuit = c.led;
    s.currentPlayer = c.seat;
    setTable(s, c.table);
    setHand(s, c.seat, c.hand);
    ScriptedRandom random;
    EXPECT_EQ(cnextplayerChoice(s, c.seat, random), c.expected) << c.why;
    EXPECT_TRUE(random.requests.empty()) << c.why;
}

TEST(ComputerPlayer, TriesToWinWhenTheSuitIsFollowed) {
    const PlayCase cases[] = {
        {kClubs, kClubs, 2, {CJ, 0, 0, 0}, {C9, SJ, D9, DT, H9}, 2, "nine cannot beat the Right Bower: Left Bower"},
        {kClubs, kClubs, 2, {CT, 0, 0, 0}, {CQ, CA, D9, DT, H9}, 1, "first trump above the table's"},
        {kClubs, kClubs, 2, {SJ, 0, 0, 0}, {CA, CK, D9, DT, H9}, 2, "Left Bower leads: lowest trump"},
        {kHearts, kClubs, 2, {CQ, 0, 0, 0}, {C9, CA, CK, D9, S9}, 2, "first card of the suit that beats"},
        {kHearts, kClubs, 4, {CQ, D9, H9, 0}, {CT, CA, S9, SK, DA}, 1, "trumped: just follow"},
    };
    for (const PlayCase& c : cases) expectPlays(c);
}

TEST(ComputerPlayer, FollowsWhenThePartnerWinsOrNothingBeats) {
    const PlayCase cases[] = {
        {kClubs, kClubs, 3, {CK, C9, 0, 0}, {CA, CQ, CT, D9, DT}, 3, "lowest trump, never the queen"},
        {kClubs, kClubs, 3, {CK, DA, 0, 0}, {CJ, C9, D9, DT, H9}, 2, "a Bower choice gives way"},
        {kClubs, kClubs, 3, {CK, DA, 0, 0}, {CA, CQ, D9, DT, H9}, 1, "a queen never replaces the choice"},
        {kSpades, kSpades, 3, {SK, DA, 0, 0}, {SA, CJ, D9, DT, H9}, 1, "the Left Bower never replaces it"},
        {kSpades, kSpades, 3, {SK, DA, 0, 0}, {CJ, SA, D9, DT, H9}, 2, "...but gives way when chosen first"},
        {kHearts, kClubs, 3, {CQ, CT, 0, 0}, {D9, C9, CK, S9, H9}, 2, "partner winning: first card of the suit"},
        {kClubs, kSpades, 2, {SA, 0, 0, 0}, {C9, SJ, D9, HA, HT}, 1, "the Left Bower does not follow Spades"},
    };
    for (const PlayCase& c : cases) expectPlays(c);
}

TEST(ComputerPlayer, TrumpsInOrDiscardsWhenVoid) {
    const PlayCase cases[] = {
        {kHearts, kClubs, 3, {CA, C9, 0, 0}, {D9, HK, H9, ST, DA}, 2, "partner winning, no trump out: first trump"},
        {kHearts, kClubs, 3, {H9, C9, 0, CK}, {HA, DT, DK, S9, SQ}, 2, "partner trumped: discard a ten or nine"},
        {kHearts, kClubs, 3, {CK, DJ, 0, 0}, {HA, HK, DQ, SA, H9}, 3, "a Bower trumped: first side card"},
        {kHearts, kClubs, 3, {CK, HT, 0, 0}, {H9, HQ, D9, S9, DA}, 2, "over-trump with the first that qualifies"},
        {kHearts, kClubs, 3, {CK, HK, 0, 0}, {HQ, H9, D9, S9, DA}, 1, "a trump queen is always thrown in"},
        {kHearts, kClubs, 3, {CK, HA, 0, 0}, {H9, HT, SK, D9, DA}, 4, "cannot over-trump: discard the nine"},
        {kHearts, kClubs, 3, {CK, HA, 0, 0}, {H9, DJ, SK, D9, DA}, 2, "the Left Bower over-trumps"},
        {kHearts, kClubs, 3, {CK, HJ, 0, 0}, {0, HA, HK, H9, HQ}, 2, "only trumps left: first card"},
    };
    for (const PlayCase& c : cases) expectPlays(c);
}

TEST(ComputerPlayer, LeadsByTheDefendingOrMakingRule) {
    struct Case { int maker, seat; Hand hand; std::vector<int> draws; int expected; const char* why; };
    const Case cases[] = {  // Hearts trump throughout
        {1, 2, {CK, D9, ST, HA, DA}, {}, 2, "first slot from 2 above the reference ace"},
        {1, 2, {DK, CT, S9, HA, DJ}, {}, 2, "the Left Bower is no reference card"},
        {1, 2, {C9, DA, SQ, HJ, HK}, {0}, 1, "nothing above the reference queen: random"},
        {1, 4, {0, DA, SQ, HJ, 0}, {0, 4, 3}, 4, "the random lead redraws over empty slots"},
        {1, 2, {HA, HK, HQ, H9, 0}, {4, 1}, 2, "defender with only trumps: random"},
        {1, 1, {HA, HK, DJ, C9, S9}, {}, 3, "Left Bower above the ace"},
        {1, 1, {CA, DJ, SA, C9, S9}, {}, 2, "only trump the Left Bower"},
        {1, 3, {HK, DJ, HJ, C9, HA}, {}, 3, "partner made it: Right Bower first"},
        {2, 4, {HK, C9, HA, S9, D9}, {}, 3, "ace above king"},
        {2, 2, {H9, HQ, HT, C9, D9}, {}, 2, "queen above ten and nine"},
        {2, 2, {H9, C9, HT, S9, D9}, {}, 3, "ten above nine"},
        {2, 2, {CA, DA, SA, C9, 0}, {4, 2}, 3, "maker without trump: random"},
        {2, 2, {0, 0, 0, 0, 0}, {}, 0, "empty hand: nothing"},
        {1, 2, {0, 0, 0, 0, 0}, {}, 0, "empty hand: nothing"},
    };
    for (const Case& c : cases) {
        GameState s;
        setTrump(s, kHearts);
        s.teams[c.maker].maker = true;
        s.currentPlayer = c.seat;
        setHand(s, c.seat, c.hand);
        ScriptedRandom random;
        for (int draw : c.draws) random.script({draw});
        EXPECT_EQ(cnextplayerChoice(s, c.seat, random), c.expected) << c.why;
        EXPECT_EQ(random.scriptLeft(), 0u) << c.why;
        EXPECT_EQ(random.fallbackDraws, 0) << c.why;
    }
}

// Through the engine: each routine acts only for the seat whose decision is awaited.
TEST(ComputerRoutines, ActOnlyForTheAwaitedSeat) {
    using Routine = void (HostEngine::*)(int);
    struct Named { Routine routine; const char* name; };
    const Named routines[] = {{&HostEngine::cbidder, "cbidder"},
                              {&HostEngine::cchooser, "cchooser"},
                              {&HostEngine::caloner, "caloner"},
                              {&HostEngine::cdiscarder, "cdiscarder"},
                              {&HostEngine::cnextplayer, "cnextplayer"}};
    // Phase p awaits routine p for seat awaitedSeat[p]; seat 1 deals.
    const int awaitedSeat[] = {2, 2, 2, 1, 2};
    for (int phase = 0; phase < 5; ++phase) {
        EngineRig rig(7);
        rig.humans({1, 2, 3, 4});
        rig.engine.startgame("", 10);
        if (phase == 1)
            for (int seat : {2, 3, 4, 1}) rig.engine.selectedbubble(seat, 2);
        if (phase >= 2) rig.engine.selectedbubble(2, 1);
        if (phase >= 3) rig.engine.selectedbubble(2, 8);
        if (phase >= 4) rig.engine.playcard(1, 1);
        rig.take();
        for (int r = 0; r < 5; ++r) {
            for (int seat = 0; seat <= 5; ++seat) {
                if (r == phase && seat == awaitedSeat[phase]) continue;
                (rig.engine.*routines[r].routine)(seat);
                EXPECT_TRUE(rig.take().empty()) << routines[r].name << "(" << seat << ") in phase " << phase;
            }
        }
        (rig.engine.*routines[phase].routine)(awaitedSeat[phase]);
        EXPECT_FALSE(rig.take().empty()) << routines[phase].name << " for the awaited seat";
        EXPECT_TRUE(rig.diagnostics.reports.empty());
    }
}

}  // namespace
}  // namespace vornel::test

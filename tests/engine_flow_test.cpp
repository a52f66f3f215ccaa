// The host's hand flow driven through its entry points, with the timer
// ticked by hand and every announcement recorded.

#include <limits>
#include <set>

#include "engine_test_support.h"

namespace vornel::test {
namespace {

using Lines = std::vector<std::string>;

std::string line(std::initializer_list<std::string> words) {
    std::string text;
    for (const std::string& w : words) text += (text.empty() ? "" : " ") + w;
    return text;
}
std::string n(int value) { return std::to_string(value); }

// The first slot that may legally be played: one of the led suit, else any card.
int followingSlot(const GameState& s, int seat) {
    int first = 0;
    for (int slot = 1; slot <= 5; ++slot) {
        const int code = s.card(seat, slot);
        if (code == kNoCard) continue;
        if (first == 0) first = slot;
        if (s.ledSuit == 0 || s.effectiveSuit(code) == s.ledSuit) return slot;
    }
    return first;
}

// Plays legal cards for whoever is asked until the trick is decided.
void finishTrickByHand(EngineRig& rig) {
    const std::size_t from = rig.out.log.size();
    auto decided = [&] {
        for (std::size_t i = from; i < rig.out.log.size(); ++i)
            if (rig.out.log[i].command == "CMD_trickwinner") return true;
        return false;
    };
    for (int guard = 0; guard < 4 && !decided(); ++guard) {
        const int seat = rig.state().currentPlayer;
        rig.engine.playcard(seat, followingSlot(rig.state(), seat));
    }
    ASSERT_TRUE(decided()) << "the trick did not finish";
}

// Every turn variable, hand, table card and flag, to see that nothing moved.
std::vector<int> snapshot(const GameState& s) {
    std::vector<int> v{s.currentBidder, s.currentChooser, s.aloneCandidate, s.discarder, s.currentPlayer,
                       s.pendingDealer, s.dealer,         s.trump,          s.ledSuit,   s.turnedDown,
                       s.teams[1].maker, s.teams[2].maker, s.teams[1].score, s.teams[2].score};
    for (int seat = 1; seat <= 4; ++seat) {
        const SeatState& st = s.seat(seat);
        v.insert(v.end(), st.slots.begin(), st.slots.end());
        v.insert(v.end(), {st.tableCard, st.sitsOut, st.wentAlone});
    }
    return v;
}

TEST(HandFlow, ANewGameDealsFromSeatOneAndAsksSeatTwoFirst) {
    EngineRig rig(11);
    rig.humans({1, 2, 3, 4});
    rig.engine.startgame("Ann", 7);
    const GameState& s = rig.state();

    Lines expected{"all CMD_startgame Ann 7", "all CMD_dealer 1"};
    std::set<int> dealt;
    for (int seat = 1; seat <= 4; ++seat) {
        std::string own = line({"seat" + n(seat), "CMD_placecard", n(seat)});
        std::string others = line({"others" + n(seat), "CMD_placecard", n(seat)});
        for (int slot = 1; slot <= 5; ++slot) {
            own += " " + n(slot) + " " + n(s.card(seat, slot));
            others += " " + n(slot) + " 0";
            dealt.insert(s.card(seat, slot));
        }
        expected.push_back(own);
        expected.push_back(others);
    }
    const int turned = s.deck.at(21);
    expected.push_back("all CMD_settrump " + n(turned));
    expected.push_back("all CMD_bidder 2");
    EXPECT_EQ(rig.take(), expected);

    EXPECT_EQ(dealt.size(), 20u);
    EXPECT_FALSE(dealt.count(turned));
    for (int code : dealt) EXPECT_TRUE(isInPlay(code)) << code;
    EXPECT_EQ(s.deckPosition, 21);
    EXPECT_EQ(s.trump, suitOf(turned));
    EXPECT_EQ(s.leftBower, leftBowerFor(s.trump));
    EXPECT_TRUE(s.gameRunning);
    EXPECT_EQ(s.target, 7);
    EXPECT_EQ(s.dealer, 1);
    EXPECT_EQ(s.currentBidder, 2);
    EXPECT_EQ(s.pendingDealer + s.currentChooser + s.discarder + s.currentPlayer + s.aloneCandidate, 0);
    EXPECT_FALSE(rig.timer.running()) << "a human bidder has no time limit";
}

TEST(HandFlow, ATargetBelowOneStartsNothingAndLeavesARunningGameAlone) {
    EngineRig rig(5);
    rig.engine.startgame("Ann", 10);
    rig.take();
    const int dealer = rig.state().dealer;
    for (int target : {0, -1, std::numeric_limits<int>::min()}) {
        rig.engine.startgame("Bob", target);
        EXPECT_TRUE(rig.take().empty()) << target;
        EXPECT_EQ(rig.state().target, 10);
        EXPECT_EQ(rig.state().dealer, dealer);
        EXPECT_TRUE(rig.timer.running()) << "the computer players must go on";
    }
}

TEST(HandFlow, DealPatternsHandOutTwoThreeOrThreeTwo) {
    // Deck positions that land in slots 1..5 of seats 1..4.
    const std::array<std::array<Hand, 4>, 2> positions{{
        {{{1, 2, 9, 10, 11}, {3, 4, 12, 13, 14}, {5, 6, 15, 16, 17}, {7, 8, 18, 19, 20}}},
        {{{1, 2, 3, 13, 14}, {4, 5, 6, 15, 16}, {7, 8, 9, 17, 18}, {10, 11, 12, 19, 20}}},
    }};
    for (int pattern = 0; pattern <= 1; ++pattern) {
        EngineRig rig(5);
        rig.random.script({pattern});
        rig.engine.startgame("", 10);
        EXPECT_EQ(rig.random.requests.front(), 2) << "the pattern is drawn before the shuffle";
        for (int seat = 1; seat <= 4; ++seat)
            for (int slot = 1; slot <= 5; ++slot)
                EXPECT_EQ(rig.state().card(seat, slot), rig.state().deck.at(positions[pattern][seat - 1][slot - 1]))
                    << "pattern " << pattern << " seat " << seat << " slot " << slot;
    }
}

TEST(HandFlow, OrderingUpAsksTheMakerThenTheDealerExchangesIntoTheSameSlot) {
    EngineRig rig(21);
    rig.humans({1, 2, 3, 4});
    rig.engine.startgame("", 10);
    GameState& s = rig.state();
    s.teams[1].maker = true;  // left over from an earlier hand
    const int trump = s.trump, turned = s.turnedCard();
    const Hand before{s.card(1, 1), s.card(1, 2), s.card(1, 3), s.card(1, 4), s.card(1, 5)};
    rig.take();

    rig.engine.selectedbubble(2, 1);
    EXPECT_EQ(rig.take(), (Lines{"all CMD_heaccepted 2", "all CMD_trumpchoosen 2 " + n(trump), "all CMD_aloner 2"}));
    EXPECT_TRUE(s.teams[2].maker);
    EXPECT_FALSE(s.teams[1].maker);
    EXPECT_TRUE(s.orderedUp);
    EXPECT_EQ(s.aloneCandidate, 2);
    EXPECT_EQ(s.currentBidder, 0);

    rig.engine.selectedbubble(2, 8);
    EXPECT_EQ(rig.take(), (Lines{"all CMD_goingalone 2 8", "all CMD_discarder 1"}));
    EXPECT_EQ(s.discarder, 1);
    for (int seat = 1; seat <= 4; ++seat) EXPECT_FALSE(s.seat(seat).sitsOut);

    rig.engine.playcard(1, 3);
    EXPECT_EQ(rig.take(), (Lines{"seat1 CMD_switch 1 3 " + n(turned), "all CMD_clearcards", "all CMD_nextplayer 2"}));
    for (int slot = 1; slot <= 5; ++slot) EXPECT_EQ(s.card(1, slot), slot == 3 ? turned : before[slot - 1]);
    EXPECT_EQ(s.discarder, 0);
    EXPECT_EQ(s.currentPlayer, 2);
}

TEST(HandFlow, FourPassesOpenTheSecondRoundAndTheTurnedSuitIsRefused) {
    EngineRig rig(3);
    rig.humans({1, 2, 3, 4});
    rig.engine.startgame("", 10);
    GameState& s = rig.state();
    const int turnedSuit = s.trump;
    const int other = turnedSuit % 4 + 1;
    rig.take();

    for (int seat : {2, 3, 4, 1}) rig.engine.selectedbubble(seat, 2);
    EXPECT_EQ(rig.take(), (Lines{"all CMD_hepassed 2", "all CMD_bidder 3", "all CMD_hepassed 3", "all CMD_bidder 4",
                                 "all CMD_hepassed 4", "all CMD_bidder 1", "all CMD_hepassed 1",
                                 "all CMD_chooser 2 " + n(turnedSuit)}));
    EXPECT_EQ(s.turnedDown, turnedSuit);

    rig.engine.selectedbubble(2, turnedSuit + 2);
    EXPECT_EQ(rig.take(), (Lines{"seat2 CMD_notvalid 2 3 0"}));
    EXPECT_EQ(s.currentChooser, 2);
    EXPECT_EQ(s.trump, turnedSuit);

    rig.engine.selectedbubble(2, 22);
    EXPECT_EQ(rig.take(), (Lines{"all CMD_hepassed 2", "all CMD_chooser 3 " + n(turnedSuit)}));
    rig.engine.selectedbubble(3, other + 2);
    EXPECT_EQ(rig.take(), (Lines{"all CMD_trumpchoosen 3 " + n(other), "all CMD_aloner 3"}));
    EXPECT_EQ(s.trump, other);
    EXPECT_EQ(s.leftBower, leftBowerFor(other));
    EXPECT_TRUE(s.teams[1].maker);
    EXPECT_FALSE(s.orderedUp);

    // Named in the second round and alone: no exchange, the seat after the Maker leads.
    rig.engine.selectedbubble(3, 7);
    EXPECT_EQ(rig.take(), (Lines{"all CMD_goingalone 3 7", "all CMD_clearcards", "all CMD_nextplayer 4"}));
    EXPECT_TRUE(s.seat(1).sitsOut);
    EXPECT_TRUE(s.seat(3).wentAlone);
    EXPECT_EQ(s.discarder, 0);
}

TEST(HandFlow, NamedWithPartnerTheSeatAfterTheDealerLeads) {
    EngineRig rig(4);
    rig.humans({1, 2, 3, 4});
    rig.engine.startgame("", 10);
    for (int seat : {2, 3, 4, 1}) rig.engine.selectedbubble(seat, 2);
    const int other = rig.state().trump % 4 + 1;
    rig.engine.selectedbubble(2, other + 2);
    rig.take();
    rig.engine.selectedbubble(2, 8);
    EXPECT_EQ(rig.take(), (Lines{"all CMD_goingalone 2 8", "all CMD_clearcards", "all CMD_nextplayer 2"}));
}

TEST(HandFlow, EightPassesThrowTheHandInAndTheNextSeatDeals) {
    EngineRig rig(8);
    rig.humans({1, 2, 3, 4});
    rig.engine.startgame("", 10);
    GameState& s = rig.state();
    s.teams[1].score = 3;
    s.teams[2].score = 5;
    s.teams[1].tricks = 2;
    s.teams[2].tricks = 1;
    for (int dealer : {1, 2, 3, 4}) {
        rig.take();
        for (int round = 0; round < 2; ++round)
            for (int i = 1; i <= 4; ++i) rig.engine.selectedbubble((dealer + i - 1) % 4 + 1, round == 0 ? 2 : 22);
        const Lines seen = rig.take();
        const int next = dealer % 4 + 1;
        ASSERT_GE(seen.size(), 12u);
        EXPECT_EQ(seen[seen.size() - 12], "all CMD_hepassed " + n(dealer));
        EXPECT_EQ(seen[seen.size() - 11], "all CMD_dealer " + n(next));
        EXPECT_EQ(seen.back(), "all CMD_bidder " + n(next % 4 + 1));
        for (const std::string& l : seen) EXPECT_EQ(l.find("CMD_score"), std::string::npos);
        EXPECT_EQ(s.dealer, next);
        EXPECT_EQ(s.teams[1].score, 3);
        EXPECT_EQ(s.teams[2].score, 5);
        EXPECT_EQ(s.teams[1].tricks + s.teams[2].tricks, 0);
        EXPECT_EQ(s.turnedDown, 0);
    }
}

TEST(HandFlow, AloneMakerDealerExchangesAndThePartnerIsSkipped) {
    EngineRig rig(13);
    rig.humans({1, 2, 3, 4});
    rig.engine.startgame("", 10);
    GameState& s = rig.state();
    const int turned = s.turnedCard();
    rig.engine.selectedbubble(2, 1);
    rig.take();
    rig.engine.selectedbubble(2, 7);
    EXPECT_EQ(rig.take(), (Lines{"all CMD_goingalone 2 7", "all CMD_discarder 1"}));
    EXPECT_TRUE(s.seat(4).sitsOut);
    EXPECT_TRUE(s.seat(2).wentAlone);

    rig.engine.playcard(1, 5);
    EXPECT_EQ(rig.take(), (Lines{"seat1 CMD_switch 1 5 " + n(turned), "all CMD_clearcards", "all CMD_nextplayer 3"}));
    finishTrickByHand(rig);
    const Lines trick = rig.take();
    ASSERT_EQ(trick.size(), 6u) << "three cards, two turns passed, one winner";
    EXPECT_EQ(trick[1], "all CMD_nextplayer 1");
    EXPECT_EQ(trick[3], "all CMD_nextplayer 2");
    const Announcement& won = rig.out.log.back();
    ASSERT_EQ(won.command, "CMD_trickwinner");
    EXPECT_NE(won.numbers[0], 4);

    EXPECT_TRUE(rig.tick(4).empty());
    EXPECT_EQ(rig.tick(), (Lines{"all CMD_clearcards", "all CMD_nextplayer " + n(won.numbers[0])}));
}

TEST(HandFlow, CompletingTheExchangeIsNeverAlsoTheLead) {
    // Seat 4 goes alone just before dealer 1, so the dealer leads first.
    EngineRig rig(17);
    rig.humans({1, 2, 3, 4});
    rig.engine.startgame("", 10);
    GameState& s = rig.state();
    const int turned = s.turnedCard();
    rig.engine.selectedbubble(2, 2);
    rig.engine.selectedbubble(3, 2);
    rig.engine.selectedbubble(4, 1);
    rig.engine.selectedbubble(4, 7);
    rig.take();

    rig.engine.playcard(1, 2);
    EXPECT_EQ(rig.take(), (Lines{"seat1 CMD_switch 1 2 " + n(turned), "all CMD_clearcards", "all CMD_nextplayer 1"}));
    EXPECT_EQ(s.card(1, 2), turned);
    EXPECT_EQ(s.seat(1).tableCard, kNoCard);
    EXPECT_EQ(s.ledSuit, 0);

    rig.engine.playcard(1, 2);
    EXPECT_EQ(rig.take(), (Lines{"all CMD_playedcard 1 2 " + n(turned), "all CMD_nextplayer 3"}));
}

TEST(HandFlow, DecisionsFromSeatsNotAwaitedChangeNothing) {
    // Phase: 0 bidding, 1 choosing, 2 alone, 3 exchange, 4 play; seat 1 deals.
    for (int phase = 0; phase < 5; ++phase) {
        EngineRig rig(29);
        rig.humans({1, 2, 3, 4});
        rig.engine.startgame("", 10);
        const int turnedDown = rig.state().trump;
        if (phase == 1)
            for (int seat : {2, 3, 4, 1}) rig.engine.selectedbubble(seat, 2);
        if (phase >= 2) rig.engine.selectedbubble(2, 1);
        if (phase >= 3) rig.engine.selectedbubble(2, 8);
        if (phase >= 4) rig.engine.playcard(1, 1);
        rig.take();
        const std::vector<int> before = snapshot(rig.state());

        auto accepted = [&](int seat, int code) {
            switch (phase) {
            case 0: return seat == 2 && (code == 1 || code == 2);
            case 1: return seat == 2 && ((code >= 3 && code <= 6) || code == 22);
            case 2: return seat == 2 && (code == 7 || code == 8);
            default: return false;
            }
        };
        for (int seat = 1; seat <= 4; ++seat) {
            for (int code : {1, 2, 3, 4, 5, 6, 7, 8, 22}) {
                if (accepted(seat, code) || (phase == 1 && code == turnedDown + 2)) continue;
                rig.engine.selectedbubble(seat, code);
                EXPECT_TRUE(rig.take().empty()) << "phase " << phase << " seat " << seat << " bubble " << code;
            }
            if ((phase == 3 && seat == 1) || (phase == 4 && seat == 2)) continue;
            for (int slot = 1; slot <= 5; ++slot) rig.engine.playcard(seat, slot);
            EXPECT_TRUE(rig.take().empty()) << "phase " << phase << " card from seat " << seat;
        }
        EXPECT_EQ(snapshot(rig.state()), before) << "phase " << phase;
        EXPECT_TRUE(rig.diagnostics.reports.empty());
    }
}

TEST(HandFlow, OutOfRangeSeatsSlotsAndBubbleCodesAreIgnoredWithoutReply) {
    EngineRig rig(31);
    rig.humans({1, 2, 3, 4});
    rig.engine.startgame("", 10);
    rig.take();
    auto expectSilence = [&](const char* what) {
        EXPECT_TRUE(rig.take().empty()) << what;
        EXPECT_TRUE(rig.diagnostics.reports.empty()) << what;
    };
    const std::vector<int> atBidding = snapshot(rig.state());
    for (int code : {0, -1, 9, 21, 23, 100}) rig.engine.selectedbubble(2, code);
    for (int seat : {0, 5, -1, 9}) rig.engine.selectedbubble(seat, 1);
    for (int seat : {0, 5, -1}) rig.engine.actNowForSeat(seat);
    expectSilence("bidding");
    EXPECT_EQ(snapshot(rig.state()), atBidding);

    for (int seat : {2, 3, 4, 1}) rig.engine.selectedbubble(seat, 2);
    rig.take();
    const int turnedDown = rig.state().turnedDown;
    for (int seat : {0, 5, -2}) rig.engine.selectedbubble(seat, turnedDown + 2);
    expectSilence("choosing");

    rig.engine.selectedbubble(2, turnedDown % 4 + 3);
    rig.engine.selectedbubble(2, 8);
    rig.take();
    ASSERT_EQ(rig.state().currentPlayer, 2);
    const std::vector<int> atPlay = snapshot(rig.state());
    for (int slot : {0, 6, -3}) rig.engine.playcard(2, slot);
    for (int seat : {0, 5}) rig.engine.playcard(seat, 1);
    expectSilence("play");
    EXPECT_EQ(snapshot(rig.state()), atPlay);
}

TEST(HandFlow, OutOfRangeSlotsAreIgnoredDuringTheExchange) {
    EngineRig rig(31);
    rig.humans({1, 2, 3, 4});
    rig.engine.startgame("", 10);
    rig.engine.selectedbubble(2, 1);
    rig.engine.selectedbubble(2, 8);
    rig.take();
    for (int slot : {0, 6, -1, 99}) rig.engine.playcard(1, slot);
    EXPECT_TRUE(rig.take().empty());
    EXPECT_TRUE(rig.diagnostics.reports.empty());
    EXPECT_EQ(rig.state().discarder, 1);
}

TEST(TrickPlay, CardsThatDoNotFollowAreRefusedAndTheTurnStays) {
    EngineRig rig(37);
    rig.humans({1, 2, 3, 4});
    rig.engine.startgame("", 10);
    GameState& s = rig.state();
    positionForPlay(s, kClubs, 1, 1,
                    {{{SJ, HA, HK, D9, DT}, {SA, C9, HQ, DQ, 0}, {ST, CQ, H9, DK, S9}, {SK, CA, HT, DA, SQ}}});
    rig.take();

    rig.engine.playcard(1, 1);  // the Left Bower leads: Clubs
    EXPECT_EQ(rig.take(), (Lines{"all CMD_playedcard 1 1 36", "all CMD_nextplayer 2"}));
    EXPECT_EQ(s.ledSuit, kClubs);

    rig.engine.playcard(2, 1);  // a Spade while holding a Club
    EXPECT_EQ(rig.take(), (Lines{"seat2 CMD_notvalid 2 2 1"}));
    rig.engine.playcard(2, 5);  // empty slot
    EXPECT_TRUE(rig.take().empty());
    EXPECT_EQ(rig.diagnostics.reports, (std::vector<std::string>{"That is not a valid card!!!"}));
    EXPECT_EQ(s.currentPlayer, 2);
    EXPECT_EQ(s.card(2, 1), SA);
    EXPECT_EQ(s.seat(2).tableCard, kNoCard);

    rig.engine.playcard(2, 2);
    EXPECT_EQ(rig.take(), (Lines{"all CMD_playedcard 2 2 8", "all CMD_nextplayer 3"}));
    EXPECT_EQ(s.card(2, 2), kNoCard);
    EXPECT_EQ(s.seat(2).tableCard, C9);

    // A seat that somehow already has a table card is reported, and its card still counts.
    s.seat(3).tableCard = DA;
    rig.engine.playcard(3, 2);
    EXPECT_EQ(rig.diagnostics.reports.back(), "player: 3 played double! Next Player Is:3 Timer Tag is 0");
    EXPECT_EQ(rig.take(), (Lines{"all CMD_playedcard 3 2 11", "all CMD_nextplayer 4"}));
}

TEST(TrickPlay, NobodyPlaysDuringThePauseAfterATrick) {
    // The leader wins, so seat 4 played the last card; its table may still think it is its turn.
    EngineRig rig(79);
    rig.humans({1, 2, 3, 4});
    rig.engine.startgame("", 10);
    GameState& s = rig.state();
    positionForPlay(s, kHearts, 1, 1, {{{HJ, C9, 0, 0, 0}, {D9, DT, 0, 0, 0}, {S9, ST, 0, 0, 0}, {DQ, SQ, 0, 0, 0}}});
    finishTrickByHand(rig);
    EXPECT_EQ(rig.take().back(), "all CMD_trickwinner 1 1 0");

    rig.engine.playcard(4, 2);
    EXPECT_TRUE(rig.take().empty()) << "a card during the pause";
    rig.engine.setComputerPlays(4, true);
    rig.engine.actNowForSeat(4);
    EXPECT_TRUE(rig.take().empty()) << "the computer taking over during the pause";
    EXPECT_EQ(s.card(4, 2), SQ);
    EXPECT_TRUE(rig.tick(4).empty());
    EXPECT_EQ(rig.tick(), (Lines{"all CMD_clearcards", "all CMD_nextplayer 1"})) << "the winner leads";
}

TEST(EngineTimer, ComputerDecisionsComeOnTheThirdTick) {
    EngineRig rig(41);
    rig.humans({1, 3, 4});  // seat 2 is computer-played
    rig.engine.startgame("", 10);
    GameState& s = rig.state();
    const int t = s.trump;
    setHand(s, 2, {rightBowerFor(t), leftBowerFor(t), cardCode(t, kAce), cardCode(t, kKing), cardCode(t, kQueen)});
    rig.take();
    EXPECT_TRUE(rig.timer.running());
    EXPECT_EQ(rig.timer.interval(), 500);
    EXPECT_EQ(rig.engine.stepCode(), 2);

    EXPECT_TRUE(rig.tick(2).empty());
    EXPECT_EQ(rig.tick(), (Lines{"all CMD_heaccepted 2", "all CMD_trumpchoosen 2 " + n(t), "all CMD_aloner 2"}));
    EXPECT_EQ(rig.engine.stepCode(), 8);
    EXPECT_TRUE(rig.tick(2).empty());
    EXPECT_EQ(rig.tick(), (Lines{"all CMD_goingalone 2 7", "all CMD_discarder 1"}));
    EXPECT_FALSE(rig.timer.running()) << "the dealer is human";
}

TEST(EngineTimer, ASeatTakenBackBeforeItsStepRunsIsLeftToItsPlayer) {
    EngineRig rig(83);
    rig.humans({1, 3, 4});
    rig.engine.startgame("", 10);
    rig.take();
    ASSERT_EQ(rig.engine.stepCode(), 2);
    rig.engine.setSeatInUse(2, true);
    EXPECT_TRUE(rig.tick(3).empty());
    EXPECT_FALSE(rig.timer.running());
    EXPECT_EQ(rig.state().currentBidder, 2);
}

TEST(EngineTimer, ADealerWhosePartnerGoesAloneStillExchangesThroughTheComputer) {
    // A dealer at a table sits out with no cards to click: the computer
    // exchanges for him as for an empty seat, or the game would wait forever.
    struct Case {
        const char* dealer;
        bool atATable;
    };
    const std::vector<Case> cases = {{"played by the computer", false}, {"at a table", true}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.dealer);
        EngineRig rig(43);
        rig.humans({2, 3, 4});
        if (c.atATable) rig.humans({1});
        rig.engine.startgame("", 10);
        const int turned = rig.state().turnedCard();
        rig.engine.selectedbubble(2, 2);
        rig.engine.selectedbubble(3, 1);
        rig.engine.selectedbubble(3, 7);
        rig.take();
        EXPECT_TRUE(rig.state().seat(1).sitsOut);
        EXPECT_EQ(rig.engine.stepCode(), 3);
        EXPECT_TRUE(rig.tick(2).empty());
        const Lines seen = rig.tick();
        ASSERT_EQ(seen.size(), 3u);
        EXPECT_EQ(seen[0].rfind("seat1 CMD_switch 1 ", 0), 0u);
        EXPECT_EQ(seen[0].substr(seen[0].rfind(' ') + 1), n(turned));
        EXPECT_EQ(seen[2], "all CMD_nextplayer 4");
    }
}

TEST(EngineTimer, PausesAfterATrickAndAHandAtTheSpeedReadWhenArmed) {
    EngineRig rig(47);
    rig.humans({1, 2, 3, 4});
    rig.engine.startgame("", 10);
    GameState& s = rig.state();
    positionForPlay(s, kHearts, 1, 1, {{{HJ, C9, 0, 0, 0}, {D9, DT, 0, 0, 0}, {S9, ST, 0, 0, 0}, {DQ, SQ, 0, 0, 0}}});
    s.trickNumber = 4;
    s.teams[1].tricks = 3;
    rig.take();

    rig.speed.set(200);
    finishTrickByHand(rig);
    EXPECT_EQ(rig.take().back(), "all CMD_trickwinner 1 4 0");
    EXPECT_EQ(rig.engine.stepCode(), 6);
    EXPECT_EQ(rig.timer.interval(), 200);
    rig.speed.set(750);
    EXPECT_TRUE(rig.tick(4).empty());
    EXPECT_EQ(rig.tick(), (Lines{"all CMD_clearcards", "all CMD_nextplayer 1"}));
    EXPECT_EQ(rig.timer.interval(), 200) << "not re-armed yet";

    finishTrickByHand(rig);
    const Lines last = rig.take();
    EXPECT_EQ(last[last.size() - 2], "all CMD_trickwinner 1 5 0");
    EXPECT_EQ(last.back(), "all CMD_score 1 2 2 0 0");
    EXPECT_EQ(rig.engine.stepCode(), 7);
    EXPECT_EQ(rig.timer.interval(), 750);
    EXPECT_TRUE(rig.tick(11).empty());
    const Lines next = rig.tick();
    ASSERT_FALSE(next.empty());
    EXPECT_EQ(next.front(), "all CMD_dealer 2");
}

TEST(EngineTimer, TicksWhileIdleDoNothing) {
    EngineRig rig(53);
    rig.humans({1, 2, 3, 4});
    rig.engine.startgame("", 10);
    rig.take();
    const int counter = rig.engine.delayCounter();
    const std::vector<int> before = snapshot(rig.state());
    EXPECT_TRUE(rig.tick(50).empty());
    EXPECT_EQ(rig.engine.delayCounter(), counter);
    EXPECT_EQ(snapshot(rig.state()), before);
}

TEST(EngineTimer, ARefusedCardLeavesThePendingComputerStep) {
    EngineRig rig(59);
    rig.humans({1, 2, 3, 4});
    rig.engine.startgame("", 10);
    rig.engine.setComputerPlays(2, true);  // seat 2 now watches; its table stays connected
    GameState& s = rig.state();
    positionForPlay(s, kHearts, 1, 1,
                    {{{CA, D9, 0, 0, 0}, {S9, CK, 0, DA, 0}, {C9, DT, 0, 0, 0}, {CT, DQ, 0, 0, 0}}});
    rig.engine.playcard(1, 1);
    rig.take();
    EXPECT_EQ(rig.engine.stepCode(), 5);

    rig.engine.playcard(2, 3);  // empty slot
    rig.engine.playcard(2, 1);  // a Spade while holding a Club
    EXPECT_EQ(rig.take(), (Lines{"seat2 CMD_notvalid 2 2 1"}));
    EXPECT_EQ(rig.diagnostics.reports,
              (std::vector<std::string>{"That is not a valid card!!!", "computer played incorrectly"}));
    EXPECT_TRUE(rig.timer.running());
    EXPECT_EQ(rig.engine.stepCode(), 5);
    EXPECT_TRUE(rig.tick(2).empty());
    EXPECT_EQ(rig.tick(), (Lines{"all CMD_playedcard 2 2 12", "all CMD_nextplayer 3"}));
}

TEST(EngineTimer, ActNowMakesTheComputerDecideAtOnce) {
    EngineRig rig(61);
    rig.humans({1, 2, 3, 4});
    rig.engine.startgame("", 10);
    rig.take();
    rig.engine.setComputerPlays(3, true);
    rig.engine.actNowForSeat(3);
    EXPECT_TRUE(rig.take().empty()) << "seat 3 is not awaited";
    rig.engine.setComputerPlays(2, true);
    rig.engine.actNowForSeat(2);
    const Lines seen = rig.take();
    ASSERT_FALSE(seen.empty());
    EXPECT_TRUE(seen[0] == "all CMD_hepassed 2" || seen[0] == "all CMD_heaccepted 2") << seen[0];
}

TEST(EngineTimer, AMakerWhoDealsAnswersAloneOnceThenExchanges) {
    EngineRig rig(67);
    rig.humans({1, 2, 3, 4});
    rig.engine.startgame("", 10);
    GameState& s = rig.state();
    const int turned = s.turnedCard();
    for (int seat : {2, 3, 4}) rig.engine.selectedbubble(seat, 2);
    rig.engine.selectedbubble(1, 1);
    rig.engine.selectedbubble(1, 8);
    EXPECT_EQ(rig.take().back(), "all CMD_discarder 1");

    rig.engine.selectedbubble(1, 7);
    EXPECT_TRUE(rig.take().empty()) << "the question was answered";
    EXPECT_FALSE(s.seat(1).wentAlone);
    EXPECT_FALSE(s.seat(3).sitsOut);

    rig.engine.setComputerPlays(1, true);
    rig.engine.actNowForSeat(1);
    const Lines seen = rig.take();
    ASSERT_EQ(seen.size(), 3u);
    EXPECT_EQ(seen[0].rfind("seat1 CMD_switch 1 ", 0), 0u);
    EXPECT_EQ(seen[0].substr(seen[0].rfind(' ') + 1), n(turned));
    EXPECT_EQ(seen[2], "all CMD_nextplayer 2");
}

TEST(GameStart, StartgameStartsCleanInTheMiddleOfATrick) {
    EngineRig rig(71);
    rig.humans({1, 2, 3, 4});
    rig.engine.startgame("", 10);
    GameState& s = rig.state();
    positionForPlay(s, kSpades, 2, 1, {{{SA, 0, 0, 0, 0}, {S9, 0, 0, 0, 0}, {ST, 0, 0, 0, 0}, {SK, 0, 0, 0, 0}}});
    s.teams[1].score = 6;
    s.teams[2].score = 4;
    s.trickNumber = 5;
    rig.engine.playcard(1, 1);
    rig.engine.setComputerPlays(3, true);
    ASSERT_EQ(s.ledSuit, kSpades);
    rig.take();

    rig.engine.startgame("Bo", 5);
    EXPECT_EQ(rig.take()[1], "all CMD_dealer 1");
    EXPECT_EQ(s.ledSuit, 0);
    EXPECT_EQ(s.trickNumber, 1);
    for (int seat = 1; seat <= 4; ++seat) {
        EXPECT_EQ(s.seat(seat).tableCard, kNoCard);
        EXPECT_FALSE(s.seat(seat).computerPlays);
        EXPECT_EQ(s.seat(seat).cardsHeld(), 5);
    }
    EXPECT_EQ(s.teams[1].score + s.teams[2].score + s.teams[1].tricks + s.teams[2].tricks, 0);
    EXPECT_EQ(s.currentBidder, 2);
    EXPECT_EQ(s.target, 5);
}

// Plays the fifth trick so that the Maker's team ends with `makerTricks`.
struct HandEnd {
    int target, score1, score2, maker;
    bool alone;
    int makerTricks;
    const char* score;
    int winner;  // 0: the game goes on
};

TEST(Scoring, PointsForTheHandAndTheEndOfTheGame) {
    const HandEnd cases[] = {
        {10, 0, 0, 1, false, 3, "all CMD_score 1 1 1 0 0", 0},
        {10, 0, 0, 3, false, 4, "all CMD_score 1 1 1 0 0", 0},
        {10, 0, 0, 1, false, 5, "all CMD_score 1 2 2 0 0", 0},
        {10, 0, 0, 3, true, 5, "all CMD_score 1 4 4 0 0", 0},
        {10, 0, 0, 1, true, 4, "all CMD_score 1 1 1 0 0", 0},
        {10, 0, 0, 1, true, 3, "all CMD_score 1 1 1 0 0", 0},
        {10, 0, 0, 1, false, 2, "all CMD_score 1 0 0 2 2", 0},
        {10, 0, 0, 3, true, 0, "all CMD_score 1 0 0 2 2", 0},
        {10, 2, 3, 2, false, 5, "all CMD_score 2 2 0 5 2", 0},
        {10, 2, 3, 4, true, 5, "all CMD_score 2 2 0 7 4", 0},
        {10, 2, 3, 2, false, 1, "all CMD_score 2 4 2 3 0", 0},
        {10, 8, 7, 1, false, 3, "all CMD_score 1 9 1 7 0", 0},
        {10, 9, 7, 1, false, 3, "all CMD_score 1 10 1 7 0", 1},
        {10, 7, 8, 1, false, 2, "all CMD_score 1 7 0 10 2", 2},
        {5, 0, 4, 2, true, 5, "all CMD_score 2 0 0 8 4", 2},
    };
    for (const HandEnd& c : cases) {
        SCOPED_TRACE(c.score);
        EngineRig rig(73);
        rig.humans({1, 2, 3, 4});
        rig.engine.startgame("", c.target);
        GameState& s = rig.state();
        const int makerTeam = teamOf(c.maker);
        const int lastWinner = c.makerTricks > 0 ? c.maker : nextSeat(c.maker);
        std::array<Hand, 4> hands{{{C9}, {D9}, {S9}, {CT}}};
        hands[lastWinner - 1] = {HJ};
        if (c.alone) hands[partnerOf(c.maker) - 1] = {};
        positionForPlay(s, kHearts, c.maker, c.maker, hands);
        s.seat(c.maker).wentAlone = c.alone;
        s.seat(partnerOf(c.maker)).sitsOut = c.alone;
        s.trickNumber = 5;
        s.teams[makerTeam].tricks = c.makerTricks - (c.makerTricks > 0 ? 1 : 0);
        s.teams[3 - makerTeam].tricks = 4 - s.teams[makerTeam].tricks;
        s.teams[1].score = c.score1;
        s.teams[2].score = c.score2;
        rig.take();

        finishTrickByHand(rig);
        const Lines seen = rig.take();
        const int t1 = makerTeam == 1 ? c.makerTricks : 5 - c.makerTricks;
        ASSERT_GE(seen.size(), 2u);
        const std::size_t scoreAt = seen.size() - (c.winner ? 2 : 1);
        EXPECT_EQ(seen[scoreAt - 1], line({"all CMD_trickwinner", n(lastWinner), n(t1), n(5 - t1)}));
        EXPECT_EQ(seen[scoreAt], c.score);
        if (c.winner == 0) {
            EXPECT_TRUE(s.gameRunning);
            EXPECT_EQ(rig.engine.stepCode(), 7);
        } else {
            EXPECT_EQ(seen.back(), "all CMD_thewinner " + n(c.winner));
            EXPECT_FALSE(s.gameRunning);
            EXPECT_FALSE(rig.timer.running());
            EXPECT_TRUE(rig.tick(200).empty()) << "nothing is dealt after the game";
            for (int seat = 1; seat <= 4; ++seat) {
                for (int code : {1, 2, 3, 4, 5, 6, 7, 8, 22}) rig.engine.selectedbubble(seat, code);
                for (int slot = 1; slot <= 5; ++slot) rig.engine.playcard(seat, slot);
            }
            EXPECT_TRUE(rig.take().empty()) << "no decision is taken after the game";
        }
    }
}

}  // namespace
}  // namespace vornel::test

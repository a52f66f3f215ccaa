// Card codes, Bowers, the shuffle and the three trick rules.

#include <algorithm>
#include <set>

#include "engine/rules.h"
#include "engine_test_support.h"

namespace vornel::test {
namespace {

TEST(Cards, SuitRankAndRemainderOfCodes) {
    struct Case { int code, suit, rank, remainder; };  // remainder only for codes 1..52
    const Case cases[] = {
        {0, 0, 0, 0},     {1, 1, 1, 1},    {7, 1, 7, 7},    {8, 1, 8, 8},     {9, 1, 9, 9},    {10, 1, 10, 10},
        {11, 1, 11, 11},  {12, 1, 12, 12}, {13, 1, 13, 0},  {14, 2, 1, 1},    {20, 2, 7, 7},   {21, 2, 8, 8},
        {26, 2, 13, 0},   {27, 3, 1, 1},   {33, 3, 7, 7},   {36, 3, 10, 10},  {39, 3, 13, 0},  {40, 4, 1, 1},
        {46, 4, 7, 7},    {47, 4, 8, 8},   {51, 4, 12, 12}, {52, 4, 13, 0},   {53, 0, 0, 0},   {-1, 0, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.code);
        EXPECT_EQ(suitOf(c.code), c.suit);
        EXPECT_EQ(rankPosition(c.code), c.rank);
        if (c.suit != 0) {
            EXPECT_EQ(remainderOf(c.code), c.remainder);
        }
        EXPECT_EQ(isInPlay(c.code), c.rank >= 8);
    }
    EXPECT_EQ(suitName(kClubs), "Clubs");
    EXPECT_EQ(suitName(kDiamonds), "Diamonds");
    EXPECT_EQ(suitName(kSpades), "Spades");
    EXPECT_EQ(suitName(kHearts), "Hearts");
    EXPECT_EQ(suitName(0), "");
}

TEST(Cards, BowersFollowTheColourPairs) {
    struct Case { int trump, right, left; };
    const Case cases[] = {{kClubs, CJ, SJ}, {kDiamonds, DJ, HJ}, {kSpades, SJ, CJ}, {kHearts, HJ, DJ}, {0, 0, 0}};
    for (const Case& c : cases) {
        EXPECT_EQ(rightBowerFor(c.trump), c.right) << c.trump;
        EXPECT_EQ(leftBowerFor(c.trump), c.left) << c.trump;
    }
}

TEST(Cards, EffectiveSuitMovesOnlyTheLeftBower) {
    struct Case { int code, trump, expected; };
    const Case cases[] = {
        {SJ, kClubs, kClubs},      // Left Bower joins trump
        {CJ, kClubs, kClubs},      // Right Bower stays in its block
        {DJ, kClubs, kDiamonds},   // a jack of the other colour stays put
        {SA, kClubs, kSpades},     {DJ, kHearts, kHearts}, {HJ, kDiamonds, kDiamonds},
        {CJ, kSpades, kSpades},    {CA, kSpades, kClubs},  {SJ, 0, kSpades}, {0, kClubs, 0},
    };
    for (const Case& c : cases)
        EXPECT_EQ(effectiveSuit(c.code, c.trump, leftBowerFor(c.trump)), c.expected) << c.code << " " << c.trump;
}

TEST(Cards, SeatsTeamsAndPartners) {
    const int partner[] = {0, 3, 4, 1, 2}, team[] = {0, 1, 2, 1, 2}, next[] = {0, 2, 3, 4, 1};
    for (int seat = 1; seat <= 4; ++seat) {
        EXPECT_EQ(partnerOf(seat), partner[seat]);
        EXPECT_EQ(teamOf(seat), team[seat]);
        EXPECT_EQ(nextSeat(seat), next[seat]);
    }
    EXPECT_FALSE(isSeat(0));
    EXPECT_FALSE(isSeat(5));
}

std::set<int> inPlayCodes() {
    std::set<int> codes;
    for (int suit = 1; suit <= 4; ++suit)
        for (int rank = kNine; rank <= kAce; ++rank) codes.insert(cardCode(suit, rank));
    return codes;
}

TEST(Shuffle, AlwaysHoldsTheTwentyFourCardsInPlayOnce) {
    const std::set<int> expected = inPlayCodes();
    ASSERT_EQ(expected.size(), 24u);
    for (std::uint64_t seed = 1; seed <= 200; ++seed) {
        SeededRandom random(seed);
        Deck deck;
        deck.shuffle(random);
        std::multiset<int> dealt;
        for (int position = 1; position <= 24; ++position) dealt.insert(deck.at(position));
        ASSERT_EQ(std::set<int>(dealt.begin(), dealt.end()), expected) << "seed " << seed;
        ASSERT_EQ(dealt.size(), 24u);
        EXPECT_EQ(deck.at(0), kNoCard);
        EXPECT_EQ(deck.at(25), kNoCard);
    }
}

TEST(Shuffle, PlacesCodesInAscendingOrderRedrawingFilledPositions) {
    // Card i (0-based, ascending codes) draws 23 - i, so the deck comes out
    // reversed; the second card first draws the first card's position.
    ScriptedRandom random;
    random.script({23, 23, 22});
    for (int draw = 21; draw >= 0; --draw) random.script({draw});
    Deck deck;
    deck.shuffle(random);

    EXPECT_EQ(random.scriptLeft(), 0u);
    EXPECT_EQ(random.fallbackDraws, 0);
    EXPECT_EQ(random.requests.size(), 25u);
    EXPECT_TRUE(std::all_of(random.requests.begin(), random.requests.end(), [](int n) { return n == 24; }));
    const std::set<int> codes = inPlayCodes();
    int position = 24;
    for (int code : codes) EXPECT_EQ(deck.at(position--), code) << code;

    // Filled positions are redrawn as often as needed.
    ScriptedRandom again;
    again.script({0});
    for (int card = 1; card < 24; ++card) {
        for (int taken = 0; taken < card; ++taken) again.script({taken});
        again.script({card});
    }
    Deck ordered;
    ordered.shuffle(again);
    EXPECT_EQ(again.fallbackDraws, 0);
    position = 1;
    for (int code : codes) EXPECT_EQ(ordered.at(position++), code);
}

TEST(Rules, CheckforsuitUsesEffectiveSuitsAndSkipsEmptySlots) {
    struct Case { int trump, led; Hand hand; bool expected; const char* why; };
    const Case cases[] = {
        {kClubs, kSpades, {SJ, CA, DT, HA, 0}, false, "only Spade is the Left Bower: void in Spades"},
        {kClubs, kClubs, {SA, SK, SQ, DT, HA}, false, "Clubs led by the Left Bower, no Clubs held"},
        {kClubs, kClubs, {SA, SJ, DT, HA, 0}, true, "the Left Bower follows trump"},
        {kClubs, kSpades, {SJ, ST, 0, 0, 0}, true, "a real Spade follows"},
        {kHearts, kDiamonds, {DJ, HA, CK, 0, 0}, false, "Left Bower of Hearts is not a Diamond"},
        {kHearts, kDiamonds, {0, 0, 0, 0, DQ}, true, "the last slot counts"},
        {kHearts, kHearts, {0, 0, 0, 0, 0}, false, "an empty hand follows nothing"},
        {kSpades, kHearts, {CJ, SA, D9, 0, 0}, false, "no Heart at all"},
    };
    for (const Case& c : cases) {
        GameState s;
        setTrump(s, c.trump);
        s.ledSuit = c.led;
        setHand(s, 3, c.hand);
        EXPECT_EQ(checkforsuit(s, 3), c.expected) << c.why;
        EXPECT_FALSE(checkforsuit(s, 1)) << "seat 1 holds nothing";
    }
}

TEST(Rules, ThewinnerHonoursBowersTrumpAndTheLedSuit) {
    struct Case { int trump, led; std::array<int, 4> table; int sitsOut, expected; const char* why; };
    const Case cases[] = {
        {kHearts, kClubs, {CA, DJ, HA, HJ}, 0, 4, "Right Bower beats all"},
        {kHearts, kClubs, {CA, DJ, HA, CT}, 0, 2, "without it, the Left Bower wins"},
        {kHearts, kClubs, {HJ, DJ, HA, CA}, 0, 1, "Right Bower in the lower seat"},
        {kClubs, kClubs, {SJ, CA, CJ, CK}, 0, 3, "Right Bower in the higher seat still wins"},
        {kSpades, kHearts, {HA, SA, CJ, H9}, 0, 3, "Left Bower beats the trump ace"},
        {kClubs, kSpades, {SA, SJ, SK, S9}, 0, 2, "jack of Spades is trump, not a Spade"},
        {kClubs, kClubs, {SJ, CA, SA, CK}, 0, 1, "Left Bower led wins the trump trick"},
        {kDiamonds, kClubs, {CA, DT, DK, C9}, 0, 3, "trump king over trump ten"},
        {kDiamonds, kClubs, {DK, DA, DQ, D9}, 0, 2, "trump ace over king"},
        {kHearts, kDiamonds, {DA, HT, DK, D9}, 0, 2, "a low trump beats the led ace"},
        {kHearts, kClubs, {CJ, CQ, C9, CT}, 0, 2, "plain suit: queen over jack"},
        {kHearts, kClubs, {CK, C9, CA, CQ}, 0, 3, "plain suit: ace highest"},
        {kHearts, kClubs, {C9, SA, DA, SK}, 0, 1, "off-suit cards never win"},
        {kHearts, kSpades, {S9, SA, 0, ST}, 3, 2, "a sitting-out seat has no card"},
        {kHearts, kSpades, {S9, ST, SK, HJ}, 4, 3, "a sitting-out seat never wins, even with a stale card"},
    };
    for (const Case& c : cases) {
        GameState s;
        setTrump(s, c.trump);
        s.ledSuit = c.led;
        setTable(s, c.table);
        if (c.sitsOut != 0) s.seat(c.sitsOut).sitsOut = true;
        EXPECT_EQ(thewinner(s), c.expected) << c.why;
    }
}

TEST(Rules, HighestLeadsTheTrickSoFarFromTheComputersView) {
    struct Case { int trump, current; std::array<int, 4> table; int suit, expected; const char* why; };
    const Case cases[] = {
        {kHearts, 1, {0, 0, 0, 0}, kClubs, 0, "an empty table"},
        {kHearts, 3, {0, DA, 0, 0}, kClubs, 0, "no card of the suit"},
        {kHearts, 2, {0, CA, 0, 0}, kClubs, 0, "the current player's own card is not counted"},
        {kHearts, 4, {CT, CA, CQ, 0}, kClubs, 2, "plain suit: the highest code"},
        {kHearts, 4, {CK, HA, C9, 0}, kClubs, 1, "a trump is not of the led suit"},
        {kClubs, 4, {S9, SJ, 0, 0}, kSpades, 1, "the Left Bower is no Spade..."},
        {kClubs, 4, {S9, SJ, 0, 0}, kClubs, 2, "...but a Club"},
        {kHearts, 4, {HA, HJ, HK, 0}, kHearts, 2, "Right Bower above the ace"},
        {kHearts, 4, {HA, DJ, HK, 0}, kHearts, 2, "Left Bower above the ace"},
        {kHearts, 4, {DJ, HA, 0, 0}, kHearts, 1, "a Bower stays best"},
        {kHearts, 4, {DJ, 0, HJ, 0}, kHearts, 1, "both Bowers: the lower seat's counts"},
        {kHearts, 2, {HJ, 0, DJ, 0}, kHearts, 1, "both Bowers, Right in the lower seat"},
        {kHearts, 1, {0, H9, HK, HQ}, kHearts, 3, "trump king above queen and nine"},
        {kHearts, 1, {0, HT, H9, 0}, kHearts, 2, "trump ten above nine"},
    };
    for (const Case& c : cases) {
        GameState s;
        setTrump(s, c.trump);
        s.currentPlayer = c.current;
        setTable(s, c.table);
        EXPECT_EQ(highest(s, c.suit), c.expected) << c.why;
    }
}

}  // namespace
}  // namespace vornel::test

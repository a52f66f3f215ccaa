// The own hand: the deal shown sorted, the overlap order, the gap a played
// card leaves, clicks on and off the own turn, right-click sorting, the
// dealer's exchange, a lone Maker's partner losing the hand, and the fans of
// card backs of the other seats.

#include <ostream>
#include <gtest/gtest.h>

#include "table_test_support.h"

namespace vornel::table::test {
namespace {

// Codes 49, 10, 13, 36, 22 in hand slots 1..5.
constexpr const char* kDeal = "CMD_placecard+1+1+49+2+10+3+13+4+36+5+22";

int leftOf(int position) { return 72 + 18 * position; }

std::vector<int> slotsByPosition(TableFixture& f) {
    std::vector<int> slots;
    for (int p = 1; p <= 5; ++p) slots.push_back(f.game().slotAtPosition(p));
    return slots;
}

// The hand card that a click at the visible edge of each position would hit.
void expectFrontOrder(TableFixture& f, int cards) {
    for (int p = 1; p <= cards; ++p) {
        ImageElement* card = f.cardAt(p);
        ASSERT_NE(card, nullptr) << "position " << p;
        EXPECT_EQ(f.board().childAt(leftOf(p) + 3, card->y() + 48), card) << "position " << p << " is covered";
    }
}

int handCardElements(TableFixture& f) {
    int count = 0;
    for (QWidget* child : f.board().findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
        count += child->objectName().startsWith("card", Qt::CaseInsensitive);
    return count;
}

class DealtHand : public ::testing::Test {
protected:
    void SetUp() override {
        f.login(1);
        f.dispatch("CMD_startgame+You+10+");
        f.dispatch(kDeal);
    }
    TableFixture f;
};

TEST_F(DealtHand, IsShownSortedWithItsSlotsAndLeftEdges) {
    EXPECT_EQ(slotsByPosition(f), (std::vector<int>{2, 3, 5, 4, 1}));
    const int codes[] = {0, 10, 13, 22, 36, 49};
    for (int p = 1; p <= 5; ++p) {
        ImageElement* card = f.cardAt(p);
        ASSERT_NE(card, nullptr);
        EXPECT_EQ(card->geometry(), QRect(leftOf(p), 400, 71, 96)) << "position " << p;
        EXPECT_EQ(card->hint(), QString::number(codes[p]));
        EXPECT_EQ(card->tag(), f.game().slotAtPosition(p));
        EXPECT_TRUE(shows(card, f.table.artwork().card(codes[p])));
        EXPECT_TRUE(card->isVisible());
    }
    EXPECT_EQ(f.cardAt(1)->x(), 90);
    EXPECT_EQ(f.cardAt(5)->x(), 162);
    // Code 49 lies in front of every other card.
    EXPECT_EQ(f.board().childAt(170, 450), f.card(1));
    expectFrontOrder(f, 5);
    EXPECT_TRUE(showsNothing(f.board().seatImage("image_cards", 1)));
    EXPECT_EQ(f.services.sounds, QStringList{"getcard"});
}

struct GapCase {
    int playedPosition;
    std::vector<int> slotsLeft;
};
// Names the case in test output instead of dumping its bytes.
inline void PrintTo(const GapCase& c, std::ostream* os) { *os << "position " << c.playedPosition; }

class ClosingTheGap : public ::testing::TestWithParam<GapCase> {};

TEST_P(ClosingTheGap, LaterCardsMoveOnePlaceLeft) {
    const GapCase c = GetParam();
    TableFixture f;
    f.login(1);
    f.dispatch(kDeal);
    const int slot = f.game().slotAtPosition(c.playedPosition);
    const int code = f.card(slot)->hint().toInt();
    f.dispatch("CMD_playedcard+1+" + std::to_string(slot) + "+" + std::to_string(code) + "+");
    settle();
    EXPECT_EQ(f.card(slot), nullptr);
    EXPECT_EQ(handCardElements(f), 4);
    std::vector<int> expected = c.slotsLeft;
    expected.push_back(-1);
    EXPECT_EQ(slotsByPosition(f), expected);
    for (int p = 1; p <= 4; ++p) EXPECT_EQ(f.cardAt(p)->pos(), QPoint(leftOf(p), 400)) << "position " << p;
    expectFrontOrder(f, 4);
    EXPECT_EQ(f.board().seatImage("image_played", 1)->tag(), code);
    EXPECT_TRUE(shows(f.board().seatImage("image_played", 1), f.table.artwork().card(code)));
}

INSTANTIATE_TEST_SUITE_P(Positions, ClosingTheGap,
                         ::testing::Values(GapCase{1, {3, 5, 4, 1}}, GapCase{2, {2, 5, 4, 1}},
                                           GapCase{3, {2, 3, 4, 1}}, GapCase{4, {2, 3, 5, 1}},
                                           GapCase{5, {2, 3, 5, 4}}));

TEST_F(DealtHand, APlayBringsARaisedCardDown) {
    f.dispatch("CMD_nextplayer+1+");
    press(f.cardAt(1));
    f.dispatch("CMD_notvalid+1+2+2+");
    ASSERT_EQ(f.card(2)->y(), 395);
    press(f.cardAt(4));
    ASSERT_EQ(f.card(4)->y(), 395);
    f.dispatch("CMD_playedcard+1+4+36+");
    for (int p = 1; p <= 4; ++p) EXPECT_EQ(f.cardAt(p)->y(), 400);
}

TEST(OtherSeatsHands, FanShrinksWithEachCardPlayed) {
    TableFixture f;
    f.login(1);
    f.dispatch("CMD_placecard+2+1+0+2+0+3+0+4+0+5+0");
    ImageElement* fan = f.board().seatImage("image_cards", 2);
    EXPECT_EQ(fan->tag(), 5);
    EXPECT_EQ(fan->width(), 91);
    EXPECT_FALSE(showsNothing(fan));
    f.dispatch("CMD_playedcard+2+1+9+");
    f.dispatch("CMD_playedcard+2+4+10+");
    EXPECT_EQ(fan->tag(), 3);
    EXPECT_EQ(fan->width(), 81);
    for (int n = 0; n < 3; ++n) f.dispatch("CMD_playedcard+2+5+11+");
    EXPECT_EQ(fan->tag(), 0);
    EXPECT_EQ(fan->width(), 66);
    EXPECT_TRUE(showsNothing(fan));
    // The own hand is untouched by another seat's cards.
    EXPECT_EQ(handCardElements(f), 0);
}

// --- clicks, seen by a stand-in host --------------------------------------

class Clicks : public ::testing::Test {
protected:
    void SetUp() override {
        capture = std::make_unique<SentCapture>(f.table);
        ASSERT_TRUE(capture->connected());
        f.login(1);
        f.dispatch(kDeal);
        capture->takeSent();  // the login answer
    }
    TableFixture f;
    std::unique_ptr<SentCapture> capture;
};

TEST_F(Clicks, TwoClicksOnTheOwnTurnSendOnePlayAndLeaveTheCardAtRest) {
    f.dispatch("CMD_nextplayer+1+");
    press(f.cardAt(2));
    EXPECT_EQ(f.cardAt(2)->y(), 395);
    press(f.cardAt(2));
    EXPECT_EQ(f.cardAt(2)->y(), 400);
    EXPECT_EQ(capture->takeSent(), std::vector<std::string>{"CMD_playcard+1+3+"});
}

// A hand is dealt every few messages: the cards of each new hand show and
// play as the first hand's did, and the board keeps as many widgets as it
// had after the first hand, however many hands follow.
TEST_F(Clicks, EveryNewHandShowsAndPlaysAsTheFirst) {
    struct Round {
        const char* deal;
        int position;  // the card pressed
        int slot;      // its slot, as the play names it
        int code;
    };
    const Round rounds[] = {
        {"CMD_placecard+1+1+49+2+10+3+13+4+36+5+22", 1, 2, 10},
        {"CMD_placecard+1+1+5+2+4+3+3+4+2+5+1", 5, 1, 5},
        {"CMD_placecard+1+1+30+2+31+3+32+4+33+5+34", 3, 3, 32},
        {"CMD_placecard+1+1+49+2+10+3+13+4+36+5+22", 4, 4, 36},
    };
    const auto widgets = [this] { return f.board().findChildren<QWidget*>(Qt::FindDirectChildrenOnly).size(); };
    qsizetype afterFirst = -1;
    for (const Round& round : rounds) {
        f.dispatch("CMD_dealer+1+");
        EXPECT_EQ(handCardElements(f), 0) << round.deal;
        f.dispatch(round.deal);
        settle();
        ASSERT_EQ(handCardElements(f), 5) << round.deal;
        expectFrontOrder(f, 5);
        for (int p = 1; p <= 5; ++p) EXPECT_TRUE(f.cardAt(p)->isVisible()) << round.deal << " position " << p;
        EXPECT_EQ(f.cardAt(round.position)->hint(), QString::number(round.code)) << round.deal;
        f.dispatch("CMD_nextplayer+1+");
        press(f.cardAt(round.position));
        EXPECT_EQ(capture->takeSent(), std::vector<std::string>{"CMD_playcard+1+" + std::to_string(round.slot) + "+"})
            << round.deal;
        f.dispatch("CMD_playedcard+1+" + std::to_string(round.slot) + "+" + std::to_string(round.code) + "+");
        settle();
        EXPECT_EQ(f.card(round.slot), nullptr) << round.deal;
        EXPECT_EQ(handCardElements(f), 4) << round.deal;
        if (afterFirst < 0) afterFirst = widgets();
        else EXPECT_EQ(widgets(), afterFirst) << round.deal << ": the board grew";
    }
}

TEST_F(Clicks, ClicksOffTheOwnTurnSendNothing) {
    for (const char* turn : {"CMD_nextplayer+2+", "CMD_trickwinner+1+1+0+", "CMD_bidder+3+"}) {
        f.dispatch(turn);
        press(f.cardAt(1));
        press(f.cardAt(5));
        EXPECT_EQ(f.cardAt(1)->y(), 400) << turn;
        EXPECT_EQ(f.cardAt(5)->y(), 400) << turn;
        EXPECT_TRUE(capture->takeSent().empty()) << turn;
    }
}

TEST_F(Clicks, ARefusedCardStaysRaisedAndAnotherMayBeClicked) {
    f.dispatch("CMD_nextplayer+1+");
    press(f.cardAt(1));
    f.dispatch("CMD_notvalid+1+2+2+");
    EXPECT_EQ(f.card(2)->y(), 395);
    EXPECT_EQ(f.status(), "You must follow suit if able.");
    EXPECT_TRUE(f.services.sounds.contains("notvalid"));
    press(f.cardAt(3));
    press(f.cardAt(1));  // lowers the refused card; sends nothing
    EXPECT_EQ(f.card(2)->y(), 400);
    EXPECT_EQ(capture->takeSent(), (std::vector<std::string>{"CMD_playcard+1+2+", "CMD_playcard+1+5+"}));
}

TEST_F(Clicks, BubbleOnTheOwnTurnSendsItsCodeAndEmptiesAllFour) {
    f.dispatch("CMD_bidder+1+");
    press(f.board().bubble(2));
    for (int n = 1; n <= 4; ++n) {
        EXPECT_EQ(f.board().bubble(n)->tag(), -1);
        EXPECT_TRUE(showsNothing(f.board().bubble(n)));
    }
    press(f.board().bubble(1));  // empty now: nothing
    EXPECT_EQ(capture->takeSent(), std::vector<std::string>{"CMD_selectedbubble+1+2+"});
}

TEST_F(Clicks, BubbleOffTheOwnTurnSendsNothingButEmptiesAllFour) {
    f.dispatch("CMD_chooser+1+3+");
    f.table.state().seatToAct = 2;
    press(f.board().bubble(4));
    for (int n = 1; n <= 4; ++n) EXPECT_EQ(f.board().bubble(n)->tag(), -1);
    EXPECT_TRUE(capture->takeSent().empty());
}

TEST_F(Clicks, TheDealersDiscardKeepsTheCardsPlace) {
    f.dispatch("CMD_discarder+1+");
    EXPECT_TRUE(f.board().text("label_discard")->isVisibleTo(&f.board()));
    EXPECT_EQ(f.table.state().seatToAct, 1);
    press(f.cardAt(3));  // slot 5, code 22
    EXPECT_EQ(capture->takeSent(), std::vector<std::string>{"CMD_playcard+1+5+"});
    f.dispatch("CMD_switch+1+5+50+");
    ImageElement* card = f.card(5);
    EXPECT_EQ(card->pos(), QPoint(leftOf(3), 400));
    EXPECT_EQ(card->hint(), "50");
    EXPECT_TRUE(shows(card, f.table.artwork().card(50)));
    EXPECT_EQ(slotsByPosition(f), (std::vector<int>{2, 3, 5, 4, 1}));  // not re-sorted
    EXPECT_EQ(f.table.state().seatToAct, 0);
    EXPECT_TRUE(f.board().text("label_discard")->isVisibleTo(&f.board()));
    f.dispatch("CMD_nextplayer+2+");
    EXPECT_FALSE(f.board().text("label_discard")->isVisibleTo(&f.board()));

    // A right click re-sorts at any time, sending nothing.
    press(f.cardAt(1), Qt::RightButton);
    EXPECT_EQ(slotsByPosition(f), (std::vector<int>{2, 3, 4, 1, 5}));
    for (int p = 1; p <= 5; ++p) EXPECT_EQ(f.cardAt(p)->pos(), QPoint(leftOf(p), 400));
    expectFrontOrder(f, 5);
    EXPECT_TRUE(capture->takeSent().empty());
}

TEST(Exchange, ReachesOnlyTheDealer) {
    TableFixture f;
    f.login(2);
    f.dispatch("CMD_placecard+2+1+49+2+10+3+13+4+36+5+22");
    f.dispatch("CMD_discarder+1+");
    f.dispatch("CMD_switch+1+5+50+");
    EXPECT_EQ(f.card(5)->hint(), "22");
    EXPECT_EQ(f.table.state().seatToAct, 1);
    EXPECT_FALSE(f.board().text("label_discard")->isVisibleTo(&f.board()));
}

// --- a partner sitting out ------------------------------------------------

TEST(LoneMaker, PartnerLosesTheHandOthersLoseItsBacks) {
    TableFixture partner;
    partner.login(3);
    partner.dispatch("CMD_placecard+3+1+49+2+10+3+13+4+36+5+22");
    partner.dispatch("CMD_placecard+1+1+0+2+0+3+0+4+0+5+0");
    partner.dispatch("CMD_goingalone+1+8+");
    settle();
    EXPECT_EQ(handCardElements(partner), 5) << "with partner changes nothing";
    partner.dispatch("CMD_goingalone+1+7+");
    settle();
    EXPECT_EQ(handCardElements(partner), 0);
    EXPECT_EQ(slotsByPosition(partner), (std::vector<int>{-1, -1, -1, -1, -1}));
    EXPECT_EQ(partner.board().seatImage("image_cards", 1)->tag(), 5);
    // The next deal builds a whole hand again.
    partner.dispatch("CMD_dealer+2+");
    partner.dispatch("CMD_placecard+3+1+9+2+48+3+23+4+35+5+12");
    settle();
    EXPECT_EQ(slotsByPosition(partner), (std::vector<int>{1, 5, 3, 4, 2}));

    TableFixture other;
    other.login(2);
    for (int seat : {1, 3, 4})
        other.dispatch("CMD_placecard+" + std::to_string(seat) + "+1+0+2+0+3+0+4+0+5+0");
    other.dispatch("CMD_goingalone+1+7+");
    EXPECT_EQ(other.board().seatImage("image_cards", 3)->tag(), 0);
    EXPECT_TRUE(showsNothing(other.board().seatImage("image_cards", 3)));
    EXPECT_EQ(other.board().seatImage("image_cards", 1)->tag(), 5);
    EXPECT_EQ(other.board().seatImage("image_cards", 4)->tag(), 5);
}

}  // namespace
}  // namespace vornel::table::test

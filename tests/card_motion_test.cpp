// Moving cards: a played card slides from its seat's hand and rests at its
// place, a message that changes a moving card ends its motion at once, the
// deal fans in from the dealer, a cleared trick sweeps towards the winner
// while the table is already clear, and Options -> "Animate Cards".

#include <QAction>
#include <QSignalSpy>
#include <gtest/gtest.h>

#include "table_test_support.h"

namespace vornel::table::test {
namespace {

constexpr const char* kDeal = "CMD_placecard+1+1+49+2+10+3+13+4+36+5+22";

// The bounded wait for motions to run out; they last 150 ms.
bool motionsEnd(TableFixture& f) {
    return waitUntil([&] { return !f.board().motion().moving(); }, 5000);
}

class MovingCards : public ::testing::Test {
protected:
    void SetUp() override {
        // Headless tables do not animate; these tests switch it on.
        f.board().motion().setEnabled(true);
        f.login(1);
        f.dispatch("CMD_startgame+You+10+");
        f.dispatch("CMD_dealer+4");
        for (int seat = 2; seat <= 4; ++seat) f.dispatch("CMD_placecard+" + std::to_string(seat) + "+1+0+2+0+3+0+4+0+5+0");
        f.dispatch(kDeal);
        EXPECT_TRUE(motionsEnd(f));
    }
    ImageElement* played(int seat) { return f.board().seatImage("image_played", seat); }
    QRect shownPlace(int seat) { return f.board().shownRect(QRectF(Board::placeGeometry("image_played", seat))); }
    TableFixture f;
};

TEST_F(MovingCards, APlayedCardSlidesFromItsSeatsHandAndRestsAtItsPlace) {
    const QRect fan = f.board().seatImage("image_cards", 3)->geometry();
    f.dispatch("CMD_playedcard+3+5+36");
    ImageElement* card = played(3);
    // The game's place is final at once; only the shown place travels.
    EXPECT_EQ(card->geometry(), Board::placeGeometry("image_played", 3));
    ASSERT_TRUE(f.board().motion().placeNow(*card).has_value());
    EXPECT_NE(card->shownGeometry(), shownPlace(3));
    EXPECT_LT(card->shownGeometry().y(), shownPlace(3).y()) << "it comes down from the top hand";
    EXPECT_GE(card->shownGeometry().y(), fan.y());
    ASSERT_TRUE(motionsEnd(f));
    EXPECT_EQ(card->shownGeometry(), shownPlace(3));
    EXPECT_TRUE(shows(card, f.table.artwork().card(36)));
}

TEST_F(MovingCards, TheOwnCardLeavesFromItsPlaceInTheHand) {
    f.dispatch("CMD_nextplayer+1");
    const QRect hand = f.card(4)->geometry();
    f.dispatch("CMD_playedcard+1+4+36");
    const auto now = f.board().motion().placeNow(*played(1));
    ASSERT_TRUE(now.has_value());
    EXPECT_GT(now->y(), Board::placeGeometry("image_played", 1).y());
    EXPECT_LE(now->y(), hand.y());
    ASSERT_TRUE(motionsEnd(f));
    EXPECT_EQ(played(1)->shownGeometry(), shownPlace(1));
}

TEST_F(MovingCards, AMessageThatChangesAMovingCardEndsItsMotionAtItsPlace) {
    struct Case {
        const char* message;
        bool stillMoving;
    };
    const Case cases[] = {
        {"CMD_nextplayer+4", true},  // touches other elements only
        {"CMD_clearcards+", false},
        {"CMD_dealer+2", false},
    };
    for (const auto& c : cases) {
        f.dispatch("CMD_playedcard+3+5+36");
        ASSERT_TRUE(f.board().motion().placeNow(*played(3)).has_value()) << c.message;
        f.dispatch(c.message);
        EXPECT_EQ(f.board().motion().placeNow(*played(3)).has_value(), c.stillMoving) << c.message;
        if (!c.stillMoving) EXPECT_EQ(played(3)->shownGeometry(), shownPlace(3)) << c.message;
        ASSERT_TRUE(motionsEnd(f));
        EXPECT_EQ(played(3)->shownGeometry(), shownPlace(3)) << c.message;
    }
}

TEST_F(MovingCards, ScaledTheCardRestsAtItsScaledPlace) {
    f.table.resize(f.table.size() - f.table.centralWidget()->size() + QSize(1179, 845));
    QCoreApplication::processEvents();
    ASSERT_DOUBLE_EQ(f.board().scale(), 1.5);
    f.dispatch("CMD_playedcard+2+5+20");
    ASSERT_TRUE(motionsEnd(f));
    const QRect place = Board::placeGeometry("image_played", 2);
    EXPECT_EQ(played(2)->shownGeometry(),
              QRect(qRound(place.x() * 1.5), qRound(place.y() * 1.5), qRound(71 * 1.5), qRound(96 * 1.5)));
}

TEST_F(MovingCards, TheDealFansInFromTheDealer) {
    f.dispatch("CMD_dealer+3");
    f.dispatch(kDeal);
    const QRect pack = f.board().seatImage("image_cards", 3)->geometry();
    for (int p = 1; p <= 5; ++p) {
        ImageElement* card = f.cardAt(p);
        EXPECT_EQ(card->geometry(), QRect(72 + 18 * p, 400, 71, 96)) << p;
        const auto now = f.board().motion().placeNow(*card);
        ASSERT_TRUE(now.has_value()) << p;
        EXPECT_LT(now->y(), 400) << p;
        EXPECT_GE(now->y(), pack.y()) << p;
    }
    f.dispatch("CMD_placecard+2+1+0+2+0+3+0+4+0+5+0");
    EXPECT_TRUE(f.board().motion().placeNow(*f.board().seatImage("image_cards", 2)).has_value());
    ASSERT_TRUE(motionsEnd(f));
    for (int p = 1; p <= 5; ++p) EXPECT_EQ(f.cardAt(p)->shownGeometry(), QRect(72 + 18 * p, 400, 71, 96)) << p;
}

TEST_F(MovingCards, AClearedTrickSweepsTowardsTheWinnerWhileTheTableIsClear) {
    for (int seat = 1; seat <= 4; ++seat)
        f.dispatch("CMD_playedcard+" + std::to_string(seat) + "+1+" + std::to_string(40 + seat));
    ASSERT_TRUE(motionsEnd(f));
    f.dispatch("CMD_trickwinner+2+0+1");
    f.dispatch("CMD_clearcards+");
    for (int seat = 1; seat <= 4; ++seat) EXPECT_TRUE(showsNothing(played(seat))) << seat;
    const auto& sweeps = f.board().motion().sweeps();
    ASSERT_EQ(sweeps.size(), 4u);
    // Seat 2 sits at the left: every card heads left.
    for (const auto& sweep : sweeps) EXPECT_LT(sweep.to.x(), sweep.from.x());
    ASSERT_TRUE(motionsEnd(f));
    EXPECT_TRUE(f.board().motion().sweeps().empty());
}

TEST_F(MovingCards, MessagesNamingNoSeatMoveNothing) {
    const char* const messages[] = {
        "CMD_placecard+7+1+0+2+0+", "CMD_placecard+0+1+0+", "CMD_placecard+-1+1+0+", "CMD_playedcard+9+1+20+",
        "CMD_playedcard+1+9+20+",   "CMD_dealer+12+",       "CMD_placecard+2+1+0+", "CMD_trickwinner+9+0+0+",
        "CMD_clearcards+",
    };
    for (const char* message : messages) {
        f.dispatch(message);
        EXPECT_TRUE(f.board().motion().sweeps().empty()) << message;
    }
    EXPECT_TRUE(motionsEnd(f));
}

TEST_F(MovingCards, AnimateCardsOffMovesNothing) {
    QAction* animate = f.table.action("action_animatecards");
    ASSERT_NE(animate, nullptr);
    EXPECT_EQ(animate->text(), "Animate Cards");
    QSignalSpy written(&f.table, &TableWindow::optionsChanged);
    f.dispatch("CMD_playedcard+3+5+36");
    ASSERT_TRUE(f.board().motion().moving());
    animate->trigger();  // off
    EXPECT_FALSE(f.table.options().animate);
    EXPECT_EQ(written.count(), 1);
    EXPECT_FALSE(f.board().motion().moving()) << "switching off ends what moves";
    EXPECT_EQ(played(3)->shownGeometry(), shownPlace(3));
    f.dispatch("CMD_playedcard+4+5+37");
    EXPECT_FALSE(f.board().motion().moving());
    EXPECT_EQ(played(4)->shownGeometry(), shownPlace(4));
}

TEST(HeadlessTable, DoesNotAnimateAndShowsAnimateCardsChecked) {
    TableFixture f;
    EXPECT_FALSE(f.board().motion().enabled());
    EXPECT_TRUE(f.table.action("action_animatecards")->isChecked());
    TableOptions options;
    options.animate = false;
    f.table.applyOptions(options);
    EXPECT_FALSE(f.table.action("action_animatecards")->isChecked());
    options.animate = true;
    f.table.applyOptions(options);
    EXPECT_TRUE(f.table.action("action_animatecards")->isChecked());
    EXPECT_FALSE(f.board().motion().enabled()) << "offscreen stays still";
}

}  // namespace
}  // namespace vornel::table::test

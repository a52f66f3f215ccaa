// What a broken or hostile host sends reaches the table as bytes on its
// connection: deals that repeat a slot or do not read, deals in impossible
// orders, a second or impossible login request. None of it may confuse the
// own hand or the seats.

#include <gtest/gtest.h>

#include <QMessageBox>
#include <QTextDocument>

#include <algorithm>
#include <ostream>
#include <set>

#include "table_test_support.h"

namespace vornel::table::test {
namespace {

// Feeds the bytes as one read of the socket and works the queue off, one
// message per tick, as the table's timer does.
void receive(TableFixture& f, std::string_view messages) {
    std::string bytes(messages);
    for (char& c : bytes)
        if (c == '|') c = '\xFF';
    ASSERT_TRUE(f.table.connection().received(bytes));
    for (int ticks = 0; ticks < 100 && f.table.connection().waiting() > 0; ++ticks) f.table.connection().tick();
    settle();
}

int handCards(TableFixture& f) {
    int count = 0;
    for (QWidget* child : f.board().findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
        count += child->objectName().startsWith("card", Qt::CaseInsensitive);
    return count;
}

// The slots at the hand's positions; each must stand there once, with its card.
std::multiset<int> handSlots(TableFixture& f) {
    std::multiset<int> slots;
    for (int p = 1; p <= 5; ++p) {
        const int slot = f.game().slotAtPosition(p);
        if (slot == -1) continue;
        slots.insert(slot);
        EXPECT_NE(f.card(slot), nullptr) << "slot " << slot;
    }
    return slots;
}

struct DealCase {
    const char* name;
    const char* bytes;       // after the login and the dealer, '|' ends a message
    std::multiset<int> slots;  // the hand left standing
};

void PrintTo(const DealCase& c, std::ostream* out) { *out << c.name; }

class HostileDeal : public ::testing::TestWithParam<DealCase> {};

TEST_P(HostileDeal, EverySlotStandsOnceWithItsCard) {
    TableFixture f;
    receive(f, "CMD_sendlogininfo+1|CMD_startgame+Host+10+|CMD_dealer+1+|");
    receive(f, GetParam().bytes);
    EXPECT_EQ(handSlots(f), GetParam().slots);
    EXPECT_EQ(handCards(f), static_cast<int>(GetParam().slots.size()));
}

INSTANTIATE_TEST_SUITE_P(
    Table, HostileDeal,
    ::testing::Values(
        // Found by the fuzzer: a second deal without a new dealer, after a
        // card left the hand, put a slot already held at a second position.
        DealCase{"SecondDealAfterAPlay",
                 "CMD_placecard+1+1+49+2+10+3+13+4+36+5+22|CMD_nextplayer+1+|CMD_playedcard+1+2+10+|"
                 "CMD_placecard+1+1+9+2+11+3+12+4+35+5+23|",
                 {1, 2, 3, 4, 5}},
        DealCase{"OneSlotTwiceInADeal", "CMD_placecard+1+1+49+1+10+3+13+4+36+5+22|", {1, 3, 4, 5}},
        // A deal whose fields do not all read has no effect at all.
        DealCase{"UnreadableCode", "CMD_placecard+1+1+49+2+ten+3+13+4+36+5+22|", {}},
        DealCase{"SlotWithoutCode", "CMD_placecard+1+1+49+2+10+3|", {}},
        DealCase{"MoreThanFiveCards", "CMD_placecard+1+1+49+2+10+3+13+4+36+5+22+6+9|", {}},
        DealCase{"SlotsAndCodesOutOfRange", "CMD_placecard+1+0+49+6+10+-3+13+4+57+5+22|", {5}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(HostileDeal, UnreadableDealLeavesAnotherSeatsFanAsItWas) {
    TableFixture f;
    receive(f, "CMD_sendlogininfo+1|CMD_placecard+2+1+0+2+0+3+0+4+0+5+0|");
    ImageElement* fan = f.board().seatImage("image_cards", 2);
    ASSERT_EQ(fan->tag(), 5);
    receive(f, "CMD_placecard+2+1+0+2+0+3+x|");
    EXPECT_EQ(fan->tag(), 5);
    EXPECT_FALSE(showsNothing(fan));
}

struct LoginCase {
    const char* name;
    const char* bytes;
    int ownSeat;  // 0: not logged in
};

void PrintTo(const LoginCase& c, std::ostream* out) { *out << c.name; }

class HostileLogin : public ::testing::TestWithParam<LoginCase> {};

// Only one login request, with a number the host gives (1..9), is taken;
// the seats are turned once, so the own seat's name stays at the bottom.
TEST_P(HostileLogin, TakesOneNumberTheHostCanGive) {
    TableFixture f;
    const QRect bottom = f.board().nameLabel(1)->geometry();
    receive(f, GetParam().bytes);
    EXPECT_EQ(f.table.state().ownSeat, GetParam().ownSeat);
    EXPECT_EQ(f.table.state().loggedIn, GetParam().ownSeat != 0);
    if (GetParam().ownSeat >= 1 && GetParam().ownSeat <= 4) {
        EXPECT_EQ(f.board().nameLabel(GetParam().ownSeat)->geometry(), bottom);
    }
}

INSTANTIATE_TEST_SUITE_P(Table, HostileLogin,
                         ::testing::Values(LoginCase{"Zero", "CMD_sendlogininfo+0|", 0},
                                           LoginCase{"Negative", "CMD_sendlogininfo+-2|", 0},
                                           LoginCase{"Ten", "CMD_sendlogininfo+10|", 0},
                                           LoginCase{"Huge", "CMD_sendlogininfo+99999999999|", 0},
                                           LoginCase{"Watcher", "CMD_sendlogininfo+7|", 7},
                                           LoginCase{"SecondRequestIgnored", "CMD_sendlogininfo+2|CMD_sendlogininfo+3|", 2},
                                           LoginCase{"TwiceTheSameSeat", "CMD_sendlogininfo+2|CMD_sendlogininfo+2|", 2}),
                         [](const auto& info) { return std::string(info.param.name); });

// A host that says "full" again and again gets one box, not a pile of them.
TEST(HostileRefusal, OneBoxHoweverOftenTheGameIsFull) {
    TableFixture f;
    receive(f, "CMD_full+|CMD_full+|CMD_full+|");
    EXPECT_EQ(f.table.findChildren<QMessageBox*>("message_full").size(), 1);
}

// Chat lines without end keep only the latest ones, so the table's memory
// stays bounded whatever the host relays.
TEST(HostileChat, EndlessLinesKeepTheLatest) {
    TableFixture f;
    const int sent = TableWindow::kChatLinesKept + 200;
    std::string lines;
    for (int n = 1; n <= sent; ++n) lines += "CMD_chat+Bob: line " + std::to_string(n) + "|clBlack|";
    std::replace(lines.begin(), lines.end(), '|', '\xFF');
    // The colour separator is a real "|": put it back after the terminators.
    for (std::size_t at = 0; (at = lines.find("\xFF" "clBlack", at)) != std::string::npos;) lines[at] = '|';
    ASSERT_TRUE(f.table.connection().received(lines));
    for (int ticks = 0; ticks <= sent && f.table.connection().waiting() > 0; ++ticks) f.table.connection().tick();
    const auto shown = chatLines(f.table);
    ASSERT_FALSE(shown.empty());
    EXPECT_LT(shown.size(), static_cast<std::size_t>(TableWindow::kChatLinesKept));
    EXPECT_GT(shown.size(), static_cast<std::size_t>(TableWindow::kChatLinesKept) - 10);
    EXPECT_EQ(shown.back().text, "Bob: line " + QString::number(sent));
    EXPECT_FALSE(f.table.board().mainchat()->document()->isUndoRedoEnabled());
}

// A host that floods the table with more messages than it could ever be
// ahead is let go of, as one whose message never ends; a burst within the
// bound is taken whole.
TEST(HostileFlood, TheTableLetsGoOfAHostThatFloodsIt) {
    TableFixture f;
    SentCapture capture(f.table);
    ASSERT_TRUE(capture.connected());
    std::string burst;
    for (std::size_t n = 0; n < net::TableConnection::kMaxWaiting; ++n) burst += "CMD_clearcards+\xFF";
    EXPECT_TRUE(f.table.connection().received(burst));
    EXPECT_TRUE(f.table.connection().isOpen());
    EXPECT_FALSE(f.table.connection().received("CMD_clearcards+\xFF" "CMD_clearcards+\xFF"));
    EXPECT_FALSE(f.table.connection().isOpen());
    EXPECT_LE(f.table.connection().waiting(), net::TableConnection::kMaxWaiting + 1);
    EXPECT_TRUE(f.table.connection().timerActive()) << "what came before the flood is still worked off";
}

// An arrival announced before the login cannot be this table's own: it
// must not read the settings as the own arrival does.
TEST(HostileLogin, ArrivalBeforeTheLoginIsNotTheOwn) {
    TableFixture f;
    int ownArrivals = 0;
    QObject::connect(&f.table, &TableWindow::ownArrival, [&] { ++ownArrivals; });
    receive(f, "CMD_newplayerinfo+0+Eve|");
    EXPECT_EQ(ownArrivals, 0);
    receive(f, "CMD_sendlogininfo+2|CMD_newplayerinfo+2+Ann|");
    EXPECT_EQ(ownArrivals, 1);
}

}  // namespace
}  // namespace vornel::table::test

// The table's side of the connection: the login it answers, arrivals and
// departures with their chat lines and watcher entries, the version
// warnings, and the refusal of a full game.

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QCoreApplication>
#include <QMessageBox>

#include <set>

#include "table_test_support.h"

namespace vornel::table::test {
namespace {

const QColor kBlue(0, 0, 255);
const QColor kNavy(0, 0, 128);

// The chat lines written since `from`, as text and colour.
std::vector<std::pair<QString, QColor>> linesFrom(TableWindow& table, std::size_t from) {
    std::vector<std::pair<QString, QColor>> out;
    const auto all = chatLines(table);
    for (std::size_t i = from; i < all.size(); ++i) out.emplace_back(all[i].text, all[i].colour);
    return out;
}

using Lines = std::vector<std::pair<QString, QColor>>;

TEST(Login, AnswersWithSeatVersionAndNameAndSendsNothingBefore) {
    TableFixture f;
    f.table.setPlayer("Ann", "127.0.0.1");
    f.table.state().loginText = std::string("Ann") + '\xFF';
    SentCapture capture(f.table);
    ASSERT_TRUE(capture.connected());
    // Connected but not logged in: clicks and menu choices send nothing.
    f.table.action("action_fast")->trigger();
    EXPECT_TRUE(capture.takeSent().empty());

    f.login(3);
    EXPECT_EQ(capture.takeSent(), std::vector<std::string>{"CMD_logininfo+3+1.0.5+Ann"});
    EXPECT_EQ(f.table.state().ownSeat, 3);
}

TEST(MenuMessages, BotSpeedGoesToTheHostAndIsSaved) {
    TableFixture f;
    SentCapture capture(f.table);
    ASSERT_TRUE(capture.connected());
    f.login(2);
    capture.takeSent();
    int changes = 0;
    QObject::connect(&f.table, &TableWindow::optionsChanged, [&] { ++changes; });

    f.table.action("action_slow")->trigger();
    EXPECT_EQ(capture.takeSent(), std::vector<std::string>{"CMD_botspeed+2+750+"});
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(f.table.milliseconds(), 750);
    EXPECT_TRUE(f.table.action("action_slow")->isChecked());
    EXPECT_FALSE(f.table.action("action_normal")->isChecked());

    // Settings read at seat 2 are applied quietly: nothing sent, nothing written back.
    TableOptions read = f.table.options();
    read.botSpeed = 200;
    f.table.applyOptions(read);
    EXPECT_TRUE(capture.takeSent().empty());
    EXPECT_EQ(changes, 1);
    EXPECT_TRUE(f.table.action("action_fast")->isChecked());
    EXPECT_FALSE(f.table.action("action_slow")->isChecked());
}

TEST(MenuMessages, SettingsReadAtSeatOneAnnounceTheBotSpeed) {
    TableFixture f;
    SentCapture capture(f.table);
    ASSERT_TRUE(capture.connected());
    f.login(1);
    capture.takeSent();
    TableOptions read = f.table.options();
    read.botSpeed = 123;  // not a speed of the menu: Normal
    f.table.applyOptions(read);
    EXPECT_EQ(capture.takeSent(), std::vector<std::string>{"CMD_botspeed+1+500+"});
    EXPECT_TRUE(f.table.action("action_normal")->isChecked());
}

TEST(MenuMessages, JustWatchAsksTheHostWhoSetsTheCheck) {
    TableFixture f;
    SentCapture capture(f.table);
    ASSERT_TRUE(capture.connected());
    f.login(2);
    capture.takeSent();
    QAction* watch = f.table.action("action_justwatch");
    watch->trigger();
    EXPECT_EQ(capture.takeSent(), std::vector<std::string>{"CMD_justwatch+2+1"});
    EXPECT_FALSE(watch->isChecked());
    f.dispatch("CMD_justwatching+2+1");
    EXPECT_TRUE(watch->isChecked());
    watch->trigger();
    EXPECT_EQ(capture.takeSent(), std::vector<std::string>{"CMD_justwatch+2+2"});
    EXPECT_TRUE(watch->isChecked());
}

TEST(Arrivals, OwnArrivalThenThePlayersAlreadyThere) {
    TableFixture f;
    f.login(3);
    int ownArrivals = 0;
    QObject::connect(&f.table, &TableWindow::ownArrival, [&] { ++ownArrivals; });
    f.dispatch("CMD_newplayerinfo+3+Cy");
    f.dispatch("CMD_existingplayers+1+Al");
    f.dispatch("CMD_existingplayers+2+Bo+Bo");  // the name is the rest of the message
    EXPECT_EQ(linesFrom(f.table, 0),
              (Lines{{"You are Connected.", kBlue}, {"Al is Connected.", kBlue}, {"Bo+Bo is Connected.", kBlue}}));
    EXPECT_EQ(ownArrivals, 1);
    EXPECT_EQ(f.board().nameLabel(3)->text(), "Cy");
    EXPECT_EQ(f.board().nameLabel(1)->text(), "Al");
    EXPECT_EQ(f.board().nameLabel(2)->text(), "Bo+Bo");
    EXPECT_EQ(f.board().nameLabel(4)->text(), "<Waiting>");
    EXPECT_EQ(f.services.sounds, QStringList({"entered", "entered", "entered"}));
    EXPECT_TRUE(f.services.watchers.isEmpty());
}

TEST(Arrivals, WatchersAreListedAndAnnounced) {
    TableFixture f;
    f.login(1);
    f.dispatch("CMD_newplayerinfo+6+Wes");
    EXPECT_EQ(linesFrom(f.table, 0), (Lines{{"Wes is Connected.", kBlue}, {"Wes is spying.", kBlue}}));
    EXPECT_EQ(f.services.watchers, QStringList{"6: Wes"});
    for (int seat = 1; seat <= 4; ++seat) EXPECT_EQ(f.board().nameLabel(seat)->text(), "<Waiting>");

    TableFixture own;
    own.login(7);
    own.dispatch("CMD_newplayerinfo+7+Me");
    EXPECT_EQ(linesFrom(own.table, 0), (Lines{{"You are Connected.", kBlue}, {"You are spying.", kBlue}}));
    EXPECT_EQ(own.services.watchers, QStringList{"7: Me"});
}

TEST(Departures, WatcherLeavingIsRemovedWithANavyLine) {
    TableFixture f;
    f.login(1);
    f.dispatch("CMD_newplayerinfo+6+Wes");
    f.dispatch("CMD_newplayerinfo+8+Val");
    const std::size_t before = chatLines(f.table).size();
    f.dispatch("CMD_playerdisconnected+6+Wes");
    EXPECT_EQ(linesFrom(f.table, before), (Lines{{"Wes has left.", kNavy}}));
    EXPECT_EQ(f.services.watchers, QStringList{"8: Val"});
    // Not in the list (wrong name, or already gone): no line.
    f.dispatch("CMD_playerdisconnected+8+Someone");
    f.dispatch("CMD_playerdisconnected+6+Wes");
    EXPECT_EQ(chatLines(f.table).size(), before + 1);
    EXPECT_EQ(f.services.watchers, QStringList{"8: Val"});
}

TEST(Departures, SeatLeavingShowsTheNameThenTheDefaultName) {
    TableFixture f;
    f.login(3);
    f.dispatch("CMD_newplayerinfo+2+Bo");
    f.dispatch("CMD_justwatching+2+1");
    ASSERT_TRUE(f.board().seatImage("image_eyes", 2)->isVisibleTo(&f.board()));
    const std::size_t before = chatLines(f.table).size();
    f.dispatch("CMD_playerdisconnected+2+ignored");
    EXPECT_EQ(linesFrom(f.table, before), (Lines{{"Bo disconnected.", kBlue}}));
    EXPECT_EQ(f.board().nameLabel(2)->text(), "Klot");
    EXPECT_FALSE(f.board().seatImage("image_eyes", 2)->isVisibleTo(&f.board()));
}

TEST(VersionWarnings, AreChatLinesOnly) {
    TableFixture f;
    f.login(1);
    f.dispatch("CMD_havewrongversion+Zed");
    f.dispatch("CMD_wrongversion+");
    EXPECT_EQ(linesFrom(f.table, 0), (Lines{{"Zed has a different version of the game then you.", kBlue},
                                            {"You have a differnt version of the game then the host.", kBlue}}));
}

TEST(UnknownCommands, AreIgnored) {
    TableFixture f;
    f.login(1);
    for (const char* message : {"CMD_nosuchthing+1+2", "", "+", "CMD_dealer+x+", "CMD_playedcard+1+"})
        f.dispatch(message);
    EXPECT_TRUE(chatLines(f.table).empty());
    EXPECT_EQ(f.status(), "Good Luck!!");
}

TEST(GameIsFull, TheTableClosesWhenTheMessageIsDismissed) {
    TableFixture f;
    f.table.show();
    f.dispatch("CMD_full+");
    auto* box = f.table.findChild<QMessageBox*>("message_full");
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(box->text(), "Game is full");
    EXPECT_TRUE(box->isVisible());
    EXPECT_TRUE(f.table.isVisible()) << "the table waits for the player to read the message";
    box->button(QMessageBox::Ok)->click();
    EXPECT_FALSE(f.table.isVisible());
}

// The queue is worked off one message per tick, so each is drawn before the
// next; a message that finds the queue idle does not wait for a tick. Each
// row arrives as one read, after the queue has gone idle.
TEST(ReceiveTicks, TheFirstMessageGoesOnTheNextPassAndTheRestATickEachInOrder) {
    net::TableConnection connection;
    int pass = 0;
    std::vector<std::string> handled;
    std::set<int> passesUsed;
    connection.setMessageHandler([&](std::string_view message) {
        handled.emplace_back(message);
        EXPECT_TRUE(passesUsed.insert(pass).second) << "two messages in one pass of the event loop";
    });
    const std::vector<std::vector<std::string>> reads{
        {"CMD_sendlogininfo+1"}, {"CMD_dealer+2", "CMD_nextplayer+3", "CMD_clearcards+"}, {"CMD_bidder+4", "CMD_x+"}};
    for (const auto& messages : reads) {
        std::string bytes;
        for (const std::string& message : messages) bytes += message + '\xFF';
        handled.clear();
        ASSERT_TRUE(connection.received(bytes));
        EXPECT_TRUE(handled.empty()) << "the read only queues";

        ++pass;
        QCoreApplication::processEvents();
        EXPECT_EQ(handled, std::vector<std::string>{messages.front()}) << "the first on the next pass, not a tick later";

        for (int more = 0; more < 20000 && (handled.size() < messages.size() || connection.timerActive()); ++more) {
            ++pass;
            QCoreApplication::processEvents();
        }
        EXPECT_EQ(handled, messages) << "the rest follow in order";
        EXPECT_FALSE(connection.timerActive()) << "the timer stops once the queue is empty";
    }
}

}  // namespace
}  // namespace vornel::table::test

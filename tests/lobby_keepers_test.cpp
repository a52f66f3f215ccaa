// The host's seat keepers against the game's own host on a loopback port,
// its own table in seat 1: the keepers hold seats 2-4 under the names the
// seats will show, report every game that comes in (once), free one seat
// for its player and hold it again, and let go; and when the host starts
// the game before they let go, the computer plays their seats and the game
// goes on.

#include <gtest/gtest.h>

#include <QSignalSpy>

#include "lobby_window/seat_keepers.h"
#include "net/qt_host.h"
#include "players/simulation.h"
#include "socket_test_client.h"

namespace vornel::lobby_window::test {
namespace {

using vornel::test::TestClient;
using vornel::test::waitUntil;

class SeatKeepersTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(game.listen(0));
        ASSERT_TRUE(ownTable.connectTo(game.serverPort()));
        ASSERT_EQ(ownTable.login("Ann"), 1);
    }

    const net::HostCore& core() { return game.core(); }
    std::unique_ptr<TestClient> join(std::string_view name, int expected) {
        auto client = std::make_unique<TestClient>();
        EXPECT_TRUE(client->connectTo(game.serverPort()));
        EXPECT_EQ(client->login(name), expected) << name;
        return client;
    }
    // Waits for the reports of arrivals, and then a little for any that should not come.
    static std::vector<std::pair<int, QByteArray>> arrivals(const QSignalSpy& spy) {
        std::vector<std::pair<int, QByteArray>> seen;
        for (const QList<QVariant>& report : spy) seen.emplace_back(report[0].toInt(), report[1].toByteArray());
        return seen;
    }

    FixedBotSpeed speed{2};
    RecordingDiagnostics diagnostics;
    net::QtHost game{speed, diagnostics};
    TestClient ownTable;
};

TEST_F(SeatKeepersTest, KeepersHoldTheSeatsUntilEachPlayerComesAndReportEveryArrivalOnce) {
    SeatKeepers keepers(game.serverPort());
    QSignalSpy allHeld(&keepers, &SeatKeepers::allHeld);
    QSignalSpy arrived(&keepers, &SeatKeepers::arrived);
    QSignalSpy freed(&keepers, &SeatKeepers::freed);
    QSignalSpy held(&keepers, &SeatKeepers::held);
    keepers.holdAll({"", "", "Klot", "Bob", "Kling"});
    ASSERT_TRUE(waitUntil([&] { return allHeld.count() == 1; }));
    EXPECT_EQ(core().record(2).name, "Klot");
    EXPECT_EQ(core().record(3).name, "Bob");
    EXPECT_EQ(core().record(4).name, "Kling");
    EXPECT_TRUE(ownTable.waitFor("CMD_newplayerinfo+4+Kling"));
    EXPECT_TRUE(arrived.isEmpty()) << "the keepers' own logins are no arrivals";

    // A watcher's game: every seat is held, so it watches.
    auto cy = join("Cy", 5);
    ASSERT_TRUE(waitUntil([&] { return arrived.count() >= 1; }));

    // Bob's seat is freed for him, and his game takes it.
    keepers.free(3);
    ASSERT_TRUE(waitUntil([&] { return freed.count() == 1; }));
    EXPECT_EQ(freed.front().front().toInt(), 3);
    EXPECT_FALSE(core().record(3).inUse);
    EXPECT_FALSE(keepers.holds(3));
    auto bob = join("Bob", 3);
    ASSERT_TRUE(waitUntil([&] { return arrived.count() >= 2; }));

    // Dee never comes for seat 4: freed, then held again for the computer.
    keepers.free(4);
    ASSERT_TRUE(waitUntil([&] { return freed.count() == 2; }));
    keepers.hold(4, "Kling");
    ASSERT_TRUE(waitUntil([&] { return held.count() == 1; }));
    EXPECT_EQ(held.front().front().toInt(), 4);
    EXPECT_EQ(core().record(4).name, "Kling");

    // Every game that came was reported once; let go, the seats are free.
    ASSERT_TRUE(ownTable.roundTrip("settled"));
    const std::vector<std::pair<int, QByteArray>> expected{{5, "Cy"}, {3, "Bob"}};
    EXPECT_EQ(arrivals(arrived), expected);
    keepers.releaseAll();
    ASSERT_TRUE(waitUntil([&] { return !core().record(2).inUse && !core().record(4).inUse; }));
    EXPECT_EQ(core().record(1).name, "Ann");
    EXPECT_EQ(core().record(3).name, "Bob");
    EXPECT_EQ(core().record(5).name, "Cy");
    EXPECT_EQ(keepers.count(), 0);
}

TEST_F(SeatKeepersTest, AGameStartedBeforeTheKeepersLetGoIsPlayedOnByTheComputer) {
    SeatKeepers keepers(game.serverPort());
    QSignalSpy allHeld(&keepers, &SeatKeepers::allHeld);
    keepers.holdAll({"", "", "Klot", "Klick", "Kling"});
    ASSERT_TRUE(waitUntil([&] { return allHeld.count() == 1; }));

    ownTable.setAutoplay(true);
    ownTable.send("CMD_startgame+Ann+1+");
    for (const char* watching : {"CMD_justwatching+2+1", "CMD_justwatching+3+1", "CMD_justwatching+4+1"})
        EXPECT_TRUE(ownTable.waitFor(watching)) << watching;
    // Seat 2 set to be played again, by the host's seat menu: its keeper hands it back.
    const std::size_t from = ownTable.messages().size();
    ownTable.send("CMD_justwatch+2+2");
    ASSERT_TRUE(ownTable.waitFor("CMD_justwatching+2+2", from));
    EXPECT_TRUE(ownTable.waitFor("CMD_justwatching+2+1", from));
    // Nobody waits for a keeper: the game is played to its end.
    EXPECT_TRUE(ownTable.waitFor("CMD_thewinner+", 0, vornel::test::kGameWaitMs));
    EXPECT_TRUE(ownTable.faults().empty());
}

TEST_F(SeatKeepersTest, ASeatTakenByAGameTheLobbyDidNotStartCallsTheStartOff) {
    auto stranger = join("Stranger", 2);
    SeatKeepers keepers(game.serverPort());
    QSignalSpy failed(&keepers, &SeatKeepers::failed);
    QSignalSpy allHeld(&keepers, &SeatKeepers::allHeld);
    keepers.holdAll({"", "", "Klot", "Klick", "Kling"});
    ASSERT_TRUE(waitUntil([&] { return failed.count() == 1; }));
    EXPECT_TRUE(failed.front().front().toString().contains("Seat 2"));
    EXPECT_TRUE(allHeld.isEmpty());
    EXPECT_EQ(keepers.count(), 0);
}

}  // namespace
}  // namespace vornel::lobby_window::test

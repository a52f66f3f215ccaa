// The host through real loopback sockets: QtHost on a free port and table
// stand-ins (TestClient) in the same process and on the same event loop.

#include <gtest/gtest.h>

#include <QCoreApplication>

#include <memory>
#include <ostream>
#include <random>
#include <string>
#include <vector>

#include "net/qt_host.h"
#include "players/simulation.h"
#include "socket_test_client.h"

namespace vornel::test {
namespace {

using Clients = std::vector<std::unique_ptr<TestClient>>;

// Messages every table sees alike, from the start of the game on: the deal's
// per-seat cards, the exchange and refusals go to one table only.
std::vector<std::string> publicGameMessages(const TestClient& client) {
    std::vector<std::string> out;
    const auto start = client.find("CMD_startgame+");
    if (!start) return out;
    for (std::size_t i = *start; i < client.messages().size(); ++i) {
        const std::string& m = client.messages()[i];
        if (startsWith(m, "CMD_placecard+") || startsWith(m, "CMD_switch+") || startsWith(m, "CMD_notvalid+"))
            continue;
        out.push_back(m);
    }
    return out;
}

std::vector<std::string> commandsOf(const std::vector<std::string>& messages, std::size_t from, std::size_t to) {
    std::vector<std::string> out;
    for (std::size_t i = from; i < to && i < messages.size(); ++i) out.push_back(messages[i].substr(0, messages[i].find('+')));
    return out;
}

class HostSocketTest : public ::testing::Test {
protected:
    static constexpr std::uint64_t kSeed = 20240611;

    FixedBotSpeed speed{2};
    RecordingDiagnostics diagnostics;
    net::QtHost host{speed, diagnostics, kSeed};

    void SetUp() override { ASSERT_TRUE(host.listen(0)) << host.errorString().toStdString(); }

    std::unique_ptr<TestClient> connectClient() {
        auto client = std::make_unique<TestClient>();
        EXPECT_TRUE(client->connectTo(host.serverPort()));
        return client;
    }

    // Connects and logs in one table after the other, so they get 1, 2, ...
    Clients seat(const std::vector<std::string>& names) {
        Clients clients;
        for (const std::string& name : names) {
            clients.push_back(connectClient());
            const int number = clients.back()->login(name);
            EXPECT_EQ(number, static_cast<int>(clients.size())) << name;
        }
        return clients;
    }

    Clients seatFour() { return seat({"Ann", "Bob", "Cid", "Dee"}); }

    static void autoplay(Clients& clients) {
        for (auto& client : clients) client->setAutoplay(true);
    }

    static bool allSaw(const Clients& clients, std::string_view prefix, int timeoutMs = kWaitMs) {
        return waitUntil(
            [&] {
                for (const auto& client : clients)
                    if (!client->anyStartsWith(prefix)) return false;
                return true;
            },
            timeoutMs);
    }

    static void expectNoFaults(const Clients& clients) {
        for (const auto& client : clients)
            EXPECT_TRUE(client->faults().empty()) << "table " << client->own() << ": " << client->faults().front();
    }
};

TEST_F(HostSocketTest, NumbersNineConnectionsAndRefusesTheTenth) {
    Clients clients;
    for (int expected = 1; expected <= 9; ++expected) {
        clients.push_back(connectClient());
        EXPECT_EQ(clients.back()->waitNumber(), expected);
        EXPECT_EQ(clients.back()->messages().front(), "CMD_sendlogininfo+" + std::to_string(expected));
    }

    TestClient tenth;
    ASSERT_TRUE(tenth.connectTo(host.serverPort()));
    ASSERT_TRUE(tenth.waitClosed());
    EXPECT_EQ(tenth.messages(), std::vector<std::string>{"CMD_full+"});

    // Freed numbers are handed out again, lowest first; the table is then full again.
    clients[6]->disconnect();
    clients[2]->disconnect();
    ASSERT_TRUE(waitUntil([&] { return !host.core().record(3).inUse && !host.core().record(7).inUse; }));
    for (int expected : {3, 7}) {
        clients.push_back(connectClient());
        EXPECT_EQ(clients.back()->waitNumber(), expected);
    }
    TestClient another;
    ASSERT_TRUE(another.connectTo(host.serverPort()));
    ASSERT_TRUE(another.waitClosed());
    EXPECT_EQ(another.messages(), std::vector<std::string>{"CMD_full+"});
    EXPECT_EQ(host.core().highWaterMark(), 9);
}

struct LoginCase {
    const char* label;
    const char* version;
    std::vector<std::string> newcomerSees;  // after CMD_sendlogininfo
    std::vector<std::string> firstSees;     // table 1, after its own login
};

void PrintTo(const LoginCase& c, std::ostream* os) { *os << c.label; }

class LoginTest : public HostSocketTest, public ::testing::WithParamInterface<LoginCase> {};

TEST_P(LoginTest, ExchangeRunsInItsOrder) {
    const LoginCase& c = GetParam();
    Clients clients = seat({"Ann"});
    TestClient& first = *clients[0];
    const std::size_t firstFrom = first.messages().size();

    TestClient newcomer;
    ASSERT_TRUE(newcomer.connectTo(host.serverPort()));
    ASSERT_EQ(newcomer.login("Bob", c.version), 2);
    // The host handles one connection's messages in order: when this chat
    // comes back, the login has been handled completely.
    ASSERT_TRUE(newcomer.roundTrip("done"));

    const auto& got = newcomer.messages();
    std::vector<std::string> newcomerSees(got.begin() + 1, got.end() - 1);
    EXPECT_EQ(got.front(), "CMD_sendlogininfo+2");
    EXPECT_EQ(newcomerSees, c.newcomerSees);

    ASSERT_TRUE(first.waitFor("CMD_chat+Bob chats: done", firstFrom));
    std::vector<std::string> firstSees(first.messages().begin() + static_cast<long>(firstFrom),
                                       first.messages().end() - 1);
    EXPECT_EQ(firstSees, c.firstSees);
}

INSTANTIATE_TEST_SUITE_P(
    Versions, LoginTest,
    ::testing::Values(
        LoginCase{"SameVersion", "1.0.5", {"CMD_newplayerinfo+2+Bob", "CMD_existingplayers+1+Ann"},
                  {"CMD_newplayerinfo+2+Bob"}},
        LoginCase{"OtherVersion", "1.0.4",
                  {"CMD_newplayerinfo+2+Bob", "CMD_existingplayers+1+Ann", "CMD_wrongversion+"},
                  {"CMD_newplayerinfo+2+Bob", "CMD_havewrongversion+Bob"}}),
    [](const auto& info) { return std::string(info.param.label); });

TEST_F(HostSocketTest, FourTablesPlayAGameToTheEnd) {
    speed.set(1);
    Clients clients = seatFour();
    autoplay(clients);
    clients[0]->send("CMD_startgame+Ann+10+");
    ASSERT_TRUE(allSaw(clients, "CMD_thewinner+", kGameWaitMs));
    ASSERT_TRUE(clients[0]->roundTrip("after"));
    ASSERT_TRUE(allSaw(clients, "CMD_chat+Ann chats: after"));

    expectNoFaults(clients);
    EXPECT_TRUE(diagnostics.reports.empty()) << diagnostics.reports.front();
    const auto reference = publicGameMessages(*clients[0]);
    for (const auto& client : clients) EXPECT_EQ(publicGameMessages(*client), reference) << client->own();

    // The winner reached the target; the last score tells who.
    const TableView& view = clients[0]->view();
    const int winner = view.scores[1] > view.scores[2] ? 1 : 2;
    EXPECT_GE(view.scores[winner], 10);
    EXPECT_EQ(clients[0]->messages()[*clients[0]->find("CMD_thewinner+")], "CMD_thewinner+" + std::to_string(winner) + "+");
    EXPECT_FALSE(host.core().engine().state().gameRunning);
}

TEST_F(HostSocketTest, ComputerBidsAtOnceWhenTheBidderLeaves) {
    Clients clients = seatFour();
    clients[0]->send("CMD_startgame+Ann+10+");
    ASSERT_TRUE(allSaw(clients, "CMD_bidder+2+"));  // seat 1 deals the first hand

    clients[1]->disconnect();
    for (int i : {0, 2, 3}) {
        TestClient& table = *clients[i];
        const auto gone = table.waitFor("CMD_playerdisconnected+2+Bob");
        ASSERT_TRUE(gone) << "table " << i + 1;
        EXPECT_EQ(table.messages()[*gone], "CMD_playerdisconnected+2+Bob");
        ASSERT_TRUE(waitUntil([&] { return table.messages().size() > *gone + 1; }));
        const std::string& next = table.messages()[*gone + 1];
        EXPECT_TRUE(next == "CMD_hepassed+2+" || next == "CMD_heaccepted+2+") << next;
    }
    EXPECT_FALSE(clients[1]->anyStartsWith("CMD_playerdisconnected+"));
    EXPECT_FALSE(host.core().record(2).inUse);
}

TEST_F(HostSocketTest, NewcomerTakesAFreedSeatMidHand) {
    Clients clients = seatFour();
    autoplay(clients);
    clients[0]->holdAfter(2);
    clients[0]->send("CMD_startgame+Ann+10+");
    ASSERT_TRUE(waitUntil([&] { return clients[0]->holding(); }, kGameWaitMs));

    // The host now waits for seat 1; seat 3 leaves with the cards it has left.
    const auto leftBehind = clients[2]->hand();
    const int held = clients[2]->handCount();
    ASSERT_GT(held, 0);
    ASSERT_LT(held, 5);
    clients[2]->disconnect();
    ASSERT_TRUE(clients[0]->waitFor("CMD_playerdisconnected+3+Cid"));

    auto newcomer = connectClient();
    ASSERT_EQ(newcomer->login("Eve"), 3);
    ASSERT_TRUE(newcomer->roundTrip("hello"));
    const auto& got = newcomer->messages();
    const std::size_t from = *newcomer->find("CMD_newplayerinfo+3+Eve");
    EXPECT_EQ(commandsOf(got, from, got.size() - 1),
              (std::vector<std::string>{"CMD_newplayerinfo", "CMD_existingplayers", "CMD_existingplayers",
                                        "CMD_existingplayers", "CMD_loadcards", "CMD_loadstats", "CMD_placecard",
                                        "CMD_loadtheircards"}));

    std::string cards = "CMD_placecard+3";
    for (int slot = 1; slot <= 5; ++slot)
        if (leftBehind[slot] != 0) cards.append("+").append(std::to_string(slot)).append("+").append(std::to_string(leftBehind[slot]));
    EXPECT_EQ(*newcomer->find("CMD_placecard+"), from + 6);
    EXPECT_EQ(got[from + 6], cards);

    // The replay agrees with what the tables that stayed have seen.
    const TableView& seen = clients[0]->view();
    const TableView& told = newcomer->view();
    EXPECT_EQ(told.dealer, seen.dealer);
    EXPECT_EQ(told.trump, seen.trump);
    EXPECT_EQ(told.makerTeam, seen.makerTeam);
    EXPECT_EQ(told.tableCards, seen.tableCards);
    EXPECT_EQ(told.scores, seen.scores);
    EXPECT_EQ(told.tricks, seen.tricks);
    EXPECT_EQ(told.target, 10);
    EXPECT_EQ(told.cardsHeld[1], clients[0]->handCount());
    EXPECT_EQ(told.cardsHeld[2], clients[1]->handCount());
    EXPECT_EQ(told.cardsHeld[4], clients[3]->handCount());
    EXPECT_EQ(told.cardsHeld[3], held);

    // The newcomer plays the seat from here on.
    newcomer->setAutoplay(true);
    clients[2] = std::move(newcomer);
    const std::size_t mark = clients[0]->messages().size();
    clients[0]->resume();
    ASSERT_TRUE(clients[0]->waitFor("CMD_score+", mark, kGameWaitMs));
    ASSERT_TRUE(clients[2]->waitFor("CMD_score+", 0, kGameWaitMs));
    expectNoFaults(clients);
    EXPECT_TRUE(clients[2]->anyStartsWith("CMD_playedcard+3+"));
}

TEST_F(HostSocketTest, WatcherJoinsAGameInProgress) {
    Clients clients = seatFour();
    autoplay(clients);
    clients[0]->holdAfter(1);
    clients[0]->send("CMD_startgame+Ann+10+");
    ASSERT_TRUE(waitUntil([&] { return clients[0]->holding(); }, kGameWaitMs));

    auto watcher = connectClient();
    ASSERT_EQ(watcher->login("Wes"), 5);
    ASSERT_TRUE(watcher->roundTrip("hi"));
    const auto& got = watcher->messages();
    const std::size_t from = *watcher->find("CMD_newplayerinfo+5+Wes");
    EXPECT_EQ(std::vector<std::string>(got.begin() + static_cast<long>(from) + 1, got.begin() + static_cast<long>(from) + 5),
              (std::vector<std::string>{"CMD_existingplayers+1+Ann", "CMD_existingplayers+2+Bob",
                                        "CMD_existingplayers+3+Cid", "CMD_existingplayers+4+Dee"}));
    EXPECT_EQ(commandsOf(got, from + 5, got.size() - 1),
              (std::vector<std::string>{"CMD_loadcards", "CMD_loadstats", "CMD_loadtheircards"}));

    const TableView& seen = clients[0]->view();
    const TableView& told = watcher->view();
    EXPECT_EQ(told.dealer, seen.dealer);
    EXPECT_EQ(told.trump, seen.trump);
    EXPECT_EQ(told.tableCards, seen.tableCards);
    for (int s = 1; s <= 4; ++s) EXPECT_EQ(told.cardsHeld[s], clients[s - 1]->handCount()) << "seat " << s;

    // From here the watcher follows the game like any table.
    const std::size_t mark = got.size();
    clients[0]->resume();
    ASSERT_TRUE(watcher->waitFor("CMD_playedcard+1+", mark));
    EXPECT_TRUE(watcher->faults().empty());
}

struct RelayCase {
    int sender;  // index into the tables
    const char* sent;
    const char* relayed;
};

TEST_F(HostSocketTest, RelaysKeepPlusAndBarInNamesAndTexts) {
    Clients clients = seat({"Ann+Lee|x", "B|o+b"});
    EXPECT_TRUE(clients[1]->anyStartsWith("CMD_existingplayers+1+Ann+Lee|x"));
    EXPECT_EQ(clients[0]->messages().back(), "CMD_newplayerinfo+2+B|o+b");

    const RelayCase cases[] = {
        {0, "CMD_chat+1+hi+there|you|clRed", "CMD_chat+Ann+Lee|x chats: hi+there|you|clRed"},
        {1, "CMD_chat+2+a|b+c|$00FF0000", "CMD_chat+B|o+b chats: a|b+c|$00FF0000"},
        {1, "CMD_action+2+waves+at|all|clBlue", "CMD_action+B|o+b waves+at|all|clBlue"},
        {0, "CMD_action+1+says: Nice+hand!|clBlack", "CMD_action+Ann+Lee|x says: Nice+hand!|clBlack"},
        {1, "CMD_playasound+2+wave7+", "CMD_playasound+2+wave7+"},
        {0, "CMD_playasound+1+wave20+", "CMD_playasound+1+wave20+"},
    };
    for (const RelayCase& c : cases) {
        std::vector<std::size_t> from;
        for (const auto& client : clients) from.push_back(client->messages().size());
        clients[c.sender]->send(c.sent);
        for (std::size_t i = 0; i < clients.size(); ++i) {
            const auto at = clients[i]->waitFor(c.relayed, from[i]);
            ASSERT_TRUE(at) << c.sent;
            EXPECT_EQ(clients[i]->messages()[*at], c.relayed);
        }
    }

    clients[0]->disconnect();
    const auto gone = clients[1]->waitFor("CMD_playerdisconnected+1+");
    ASSERT_TRUE(gone);
    EXPECT_EQ(clients[1]->messages()[*gone], "CMD_playerdisconnected+1+Ann+Lee|x");
}

TEST_F(HostSocketTest, MessagesSentOneByteAtATimeArriveWhole) {
    Clients clients = seat({"Ann"});
    TestClient slow;
    ASSERT_TRUE(slow.connectTo(host.serverPort()));
    ASSERT_EQ(slow.waitNumber(), 2);
    slow.sendByteByByte("CMD_logininfo+2+1.0.5+Slow Sam\xFF\xFF");
    ASSERT_TRUE(slow.waitFor("CMD_existingplayers+1+Ann"));
    EXPECT_EQ(slow.messages()[1], "CMD_newplayerinfo+2+Slow Sam");

    slow.sendByteByByte("CMD_chat+2+one+byte|clBlack\xFF");
    const auto relayed = clients[0]->waitFor("CMD_chat+Slow Sam");
    ASSERT_TRUE(relayed);
    EXPECT_EQ(clients[0]->messages()[*relayed], "CMD_chat+Slow Sam chats: one+byte|clBlack");

    // Two messages in one write, and one message split over two writes.
    const std::size_t from = clients[0]->messages().size();
    slow.sendRaw("CMD_chat+2+first|a\xFF" "CMD_chat+2+second|b\xFF" "CMD_chat+2+th");
    slow.sendRaw("ird|c\xFF");
    ASSERT_TRUE(clients[0]->waitFor("CMD_chat+Slow Sam chats: third|c", from));
    EXPECT_EQ(std::vector<std::string>(clients[0]->messages().begin() + static_cast<long>(from),
                                       clients[0]->messages().end()),
              (std::vector<std::string>{"CMD_chat+Slow Sam chats: first|a", "CMD_chat+Slow Sam chats: second|b",
                                        "CMD_chat+Slow Sam chats: third|c"}));
}

TEST_F(HostSocketTest, KickIsObeyedOnlyFromConnectionOne) {
    Clients clients = seatFour();
    clients[1]->send("CMD_kickhim+2+3+");
    ASSERT_TRUE(clients[1]->roundTrip("after own kick"));
    clients[2]->send("CMD_kickhim+1+4+");  // claims to be connection 1
    ASSERT_TRUE(clients[2]->roundTrip("after spoofed kick"));
    for (const auto& client : clients) EXPECT_FALSE(client->anyStartsWith("CMD_playerdisconnected+"));

    clients[0]->send("CMD_kickhim+1+3+");
    ASSERT_TRUE(clients[2]->waitClosed());
    const auto gone = clients[3]->waitFor("CMD_playerdisconnected+3+");
    ASSERT_TRUE(gone);
    EXPECT_EQ(clients[3]->messages()[*gone], "CMD_playerdisconnected+3+Cid");
    EXPECT_FALSE(host.core().record(3).inUse);
    EXPECT_TRUE(host.core().record(4).inUse);
}

TEST_F(HostSocketTest, TimersRestWhileNothingIsToBeDone) {
    Clients clients = seatFour();
    ASSERT_TRUE(clients[0]->roundTrip("anyone there"));
    EXPECT_TRUE(waitUntil([&] { return !host.queueTimerActive(); }));
    EXPECT_FALSE(host.engineTimerActive());

    // All four seats have people: once the first bidder is asked, the game
    // waits for him and nothing ticks.
    clients[0]->send("CMD_startgame+Ann+10+");
    ASSERT_TRUE(allSaw(clients, "CMD_bidder+2+"));
    EXPECT_TRUE(waitUntil([&] { return !host.queueTimerActive(); }));
    EXPECT_FALSE(host.engineTimerActive());
}

TEST_F(HostSocketTest, TableThatStopsReadingIsDroppedAsADeparture) {
    Clients clients = seat({"Ann", "Stuck"});
    clients[1]->stopReading();
    // Ann chats big lines, one at a time, each once the last has come back.
    int relays = 0;
    clients[0]->onMessage = [&](const std::string& m) { relays += startsWith(m, "CMD_chat+Ann chats: "); };
    const std::string line = "CMD_chat+1+" + std::string(60000, 'z') + "|clBlack";
    int sent = 0;
    const bool dropped = waitUntil(
        [&] {
            if (clients[0]->anyStartsWith("CMD_playerdisconnected+2+")) return true;
            if (relays == sent && sent < 2000) {
                clients[0]->send(line);
                ++sent;
            }
            return false;
        },
        kGameWaitMs);
    clients[0]->onMessage = nullptr;
    ASSERT_TRUE(dropped) << sent << " lines sent";
    EXPECT_EQ(clients[0]->messages()[*clients[0]->find("CMD_playerdisconnected+")], "CMD_playerdisconnected+2+Stuck");
    EXPECT_FALSE(host.core().record(2).inUse);
    EXPECT_TRUE(host.core().record(1).inUse);
    ASSERT_FALSE(diagnostics.reports.empty());
    EXPECT_EQ(diagnostics.reports.back(), "Connection 2 closed: it does not read what it is sent");
}

TEST_F(HostSocketTest, CloseAllClosesEveryConnection) {
    Clients clients = seat({"Ann", "Bob", "Cid"});
    host.closeAll();
    for (const auto& client : clients) EXPECT_TRUE(client->waitClosed());
    EXPECT_EQ(host.connectionCount(), 0);
    EXPECT_TRUE(waitUntil([&] { return host.openSocketCount() == 0; }));
    for (int record = 1; record <= 3; ++record) EXPECT_FALSE(host.core().record(record).inUse);
    // The host goes on listening.
    auto next = connectClient();
    EXPECT_EQ(next->waitNumber(), 1);
}

TEST_F(HostSocketTest, HostileInputLeavesTheHostServingAGame) {
    Clients clients = seatFour();

    // Random bytes, terminators included, from a watcher.
    TestClient noise;
    ASSERT_TRUE(noise.connectTo(host.serverPort()));
    ASSERT_EQ(noise.login("Noise"), 5);
    std::mt19937 generator(7);
    std::string bytes(64 * 1024, '\0');
    for (char& byte : bytes) byte = static_cast<char>(generator() & 0xFF);
    noise.sendRaw(bytes);
    noise.sendRaw("\xFF");
    ASSERT_TRUE(noise.roundTrip("after noise"));

    // A flood of queued messages, then a message that never ends: both
    // connections are closed and handled as departures.
    TestClient flood;
    ASSERT_TRUE(flood.connectTo(host.serverPort()));
    ASSERT_EQ(flood.login("Flood"), 6);
    std::string many;
    for (int i = 0; i < 1500; ++i) many += "CMD_botspeed+6+500+\xFF";
    flood.sendRaw(many);
    ASSERT_TRUE(flood.waitClosed());
    ASSERT_TRUE(clients[0]->waitFor("CMD_playerdisconnected+6+Flood"));

    TestClient endless;
    ASSERT_TRUE(endless.connectTo(host.serverPort()));
    ASSERT_EQ(endless.waitNumber(), 6);
    endless.sendRaw(std::string(2 * 1024 * 1024, 'A'));
    ASSERT_TRUE(endless.waitClosed(kGameWaitMs));
    ASSERT_TRUE(waitUntil([&] { return !host.core().record(6).inUse; }));

    // Unreadable numbers, numbers out of range and claims to be another connection.
    const char* const fromBob[] = {
        "CMD_playcard+x+1+",          "CMD_selectedbubble+2+abc+",  "CMD_selectedbubble+2+99+",
        "CMD_playcard+2+9+",          "CMD_playcard+2+0+",          "CMD_playcard+2+-1+",
        "CMD_playcard+7+1+",          "CMD_startgame+Bob+ten+",     "CMD_justwatch+x+1",
        "CMD_justwatch+3+1",          "CMD_chat+1+spoof|clRed",     "CMD_chat+abc+spoof|clRed",
        "CMD_chat+12+spoof|clRed",    "CMD_action+4+spoof|clRed",   "CMD_playasound+3+wave1+",
        "CMD_logininfo+1+1.0.5+Mallory", "CMD_kickhim+2+3+",         "CMD_kickhim+1+4+",
        "CMD_logininfo+x+1.0.5+Mallory", "CMD_", "+", "", "CMD_chat", "CMD_kickhim+1+",
    };
    for (const char* text : fromBob) clients[1]->send(text);
    ASSERT_TRUE(clients[1]->roundTrip("bob done"));
    const char* const fromAnn[] = {
        "CMD_kickhim+1+42+", "CMD_kickhim+1+x+", "CMD_kickhim+1+-3+", "CMD_kickhim+1+10+",
        "CMD_justwatch+7+1", "CMD_justwatch+0+1", "CMD_justwatch+2+3", "CMD_justwatch+2+1+",
        "CMD_selectedbubble+1+", "CMD_playcard+1+", "CMD_playasound+x+wave1+",
    };
    for (const char* text : fromAnn) clients[0]->send(text);
    ASSERT_TRUE(clients[0]->roundTrip("ann done"));

    for (const auto& client : clients) {
        EXPECT_FALSE(client->isClosed());
        for (const char* text : {"spoof", "Mallory", "CMD_justwatching+", "CMD_startgame+", "CMD_playasound+"})
            EXPECT_FALSE(client->anyContains(text)) << "table " << client->own() << " saw " << text;
        for (int seat = 1; seat <= 4; ++seat)
            EXPECT_FALSE(client->anyStartsWith("CMD_playerdisconnected+" + std::to_string(seat) + "+"));
    }
    const char* const names[] = {"", "Ann", "Bob", "Cid", "Dee"};
    for (int record = 1; record <= 4; ++record) {
        EXPECT_TRUE(host.core().record(record).inUse);
        EXPECT_EQ(host.core().record(record).name, names[record]);
    }

    // A game with tables that try to act for others and send broken
    // messages while it runs still goes to its end, undisturbed.
    autoplay(clients);
    bool restartTried = false;
    clients[1]->onMessage = [&](const std::string& m) {
        if (m == "CMD_nextplayer+1+") clients[1]->send("CMD_playcard+1+5+");
        if (startsWith(m, "CMD_trickwinner+") && !restartTried) {
            restartTried = true;
            clients[1]->send("CMD_startgame+Bob+ten+");
            clients[1]->send("CMD_playcard+2+7+");
        }
    };
    clients[2]->onMessage = [&](const std::string& m) {
        if (m == "CMD_bidder+2+") clients[2]->send("CMD_selectedbubble+2+2+");
        if (m == "CMD_bidder+4+") clients[2]->send("CMD_selectedbubble+4+2+");
    };
    noise.onMessage = [&](const std::string& m) {
        if (startsWith(m, "CMD_nextplayer+")) noise.send("CMD_playcard+5+1+");
    };
    const std::size_t from = clients[0]->messages().size();
    clients[0]->send("CMD_startgame+Ann+10+");
    ASSERT_TRUE(allSaw(clients, "CMD_thewinner+", kGameWaitMs));
    for (auto& client : clients) client->onMessage = nullptr;
    noise.onMessage = nullptr;

    EXPECT_TRUE(restartTried);
    expectNoFaults(clients);
    int starts = 0;
    for (std::size_t i = from; i < clients[0]->messages().size(); ++i) {
        const std::string& m = clients[0]->messages()[i];
        starts += startsWith(m, "CMD_startgame+");
        // Even seats always order up: a pass of theirs could only be a spoof.
        EXPECT_NE(m, "CMD_hepassed+2+");
        EXPECT_NE(m, "CMD_hepassed+4+");
    }
    EXPECT_EQ(starts, 1);
}

}  // namespace
}  // namespace vornel::test

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}

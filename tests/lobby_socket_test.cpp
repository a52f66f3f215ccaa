// The lobby server through real loopback sockets: the reachability check in
// both directions (the host's lobby listening with its token, nothing
// listening, another program answering), and one whole start of a game: a
// lobby server, lobby connections for a host, a player and a watcher, and
// the game's own host, whose connection numbers must come out as the lobby's
// seats.

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QHostAddress>
#include <QTcpServer>
#include <QTcpSocket>

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "lobby/qt_lobby_server.h"
#include "lobby/reachability_probe.h"
#include "lobby_test_client.h"
#include "net/qt_host.h"
#include "players/simulation.h"
#include "socket_test_client.h"

namespace vornel::lobby::test {
namespace {

using vornel::test::TestClient;
using vornel::test::waitUntil;

// A port nothing listens on: taken from the system, then let go.
quint16 freePort() {
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost, 0);
    return probe.serverPort();
}

// What answers on the game port when the server's check connects.
enum class Service { HostsLobby, WrongToken, Nothing, GameHost, Banner, Silent, ClosesAtOnce };

// Listens on 127.0.0.1 and answers each connection as `service` says.
class Answerer {
public:
    Answerer(Service service, std::string token, quint16 port = 0) : service_(service), token_(std::move(token)) {
        if (service_ == Service::Nothing) {
            port_ = port != 0 ? port : freePort();
            return;
        }
        if (service_ == Service::GameHost) {
            host_ = std::make_unique<net::QtHost>(speed_, diagnostics_);
            EXPECT_TRUE(host_->listen(port));
            port_ = host_->serverPort();
            return;
        }
        EXPECT_TRUE(server_.listen(QHostAddress::LocalHost, port));
        port_ = server_.serverPort();
        QObject::connect(&server_, &QTcpServer::newConnection, [this] {
            while (QTcpSocket* socket = server_.nextPendingConnection()) answer(socket);
        });
    }
    quint16 port() const { return port_; }
    int connections() const { return connections_; }

private:
    void answer(QTcpSocket* socket) {
        ++connections_;
        switch (service_) {
        case Service::HostsLobby: socket->write((token_ + '\xFF').c_str(), static_cast<qint64>(token_.size() + 1)); break;
        case Service::WrongToken: socket->write("NotTheToken1\xFF"); break;
        case Service::Banner: socket->write("SSH-2.0-Other\r\n"); break;
        case Service::ClosesAtOnce: socket->close(); break;
        default: break;
        }
        socket->flush();
    }

    Service service_;
    std::string token_;
    QTcpServer server_;
    FixedBotSpeed speed_{500};
    RecordingDiagnostics diagnostics_;
    std::unique_ptr<net::QtHost> host_;
    quint16 port_ = 0;
    int connections_ = 0;
};

struct ProbeCase {
    const char* label;
    Service service;
    ProbeResult expected;
};

const std::vector<ProbeCase> kProbeCases = {
    {"the host's lobby with its token", Service::HostsLobby, ProbeResult::Reachable},
    {"another token", Service::WrongToken, ProbeResult::Other},
    {"nothing listening", Service::Nothing, ProbeResult::Refused},
    {"the game's own host", Service::GameHost, ProbeResult::Other},
    {"another program's greeting", Service::Banner, ProbeResult::Other},
    {"a program that says nothing", Service::Silent, ProbeResult::Other},
    {"a program that hangs up", Service::ClosesAtOnce, ProbeResult::Other},
};

TEST(ReachabilityProbe, OnlyTheTokenFromTheHostsLobbyCountsAsReachable) {
    for (const ProbeCase& c : kProbeCases) {
        SCOPED_TRACE(c.label);
        Answerer answerer(c.service, "Token12345");
        std::optional<ProbeResult> result;
        int reports = 0;
        new ReachabilityProbe("127.0.0.1", answerer.port(), "Token12345",
                              [&](ProbeResult r) {
                                  result = r;
                                  ++reports;
                              },
                              5000, 500);
        ASSERT_TRUE(waitUntil([&] { return result.has_value(); }));
        EXPECT_EQ(*result, c.expected);
        vornel::test::pumpEvents();
        EXPECT_EQ(reports, 1);
    }
}

class LobbySocketTest : public ::testing::Test {
protected:
    RecordingDiagnostics diagnostics;
    QtLobbyServer server{diagnostics, 50};

    void SetUp() override { ASSERT_TRUE(server.listen(0, QHostAddress::LocalHost)) << server.errorString().toStdString(); }

    std::unique_ptr<LobbyTestClient> player(std::string_view name) {
        auto client = std::make_unique<LobbyTestClient>();
        EXPECT_TRUE(client->connectTo(server.serverPort()));
        EXPECT_TRUE(client->login(name)) << name;
        return client;
    }
    // Waits until the client's list shows the table in this state.
    static bool waitTable(const LobbyTestClient& client, int number, const std::function<bool(const TableRecord&)>& is) {
        return waitUntil([&] { return client.list().table(number) != nullptr && is(*client.list().table(number)); });
    }
};

TEST_F(LobbySocketTest, TheServersCheckReachesTheHostOnlyWhenHisLobbyAnswers) {
    auto ann = player("Ann");
    ann->send(build::newTable("Checked"));
    for (const ProbeCase& c : kProbeCases) {
        SCOPED_TRACE(c.label);
        if (c.service == Service::Silent) continue;  // its five seconds are the prober's own test's
        const std::size_t from = ann->messages().size();
        const quint16 port = freePort();
        ann->send(build::start(1, port, "127.0.0.1"));
        ASSERT_TRUE(ann->waitFor("LOBBY_probelisten+1+" + std::to_string(port), from));
        // The host's lobby (or whatever holds the port) listens; the token goes by the lobby connection.
        Answerer answerer(c.service, "Token12345", port);
        ASSERT_EQ(answerer.port(), port);
        ann->send(build::probeReady(1, "Token12345"));
        const auto at = ann->waitFor("LOBBY_probe+", from);
        ASSERT_TRUE(at.has_value());
        const std::string rest = ann->restOf(*at);
        const auto probe = parse::probe(rest);
        ASSERT_TRUE(probe.has_value());
        EXPECT_EQ(probe->result, c.expected) << probe->text;
        if (c.expected == ProbeResult::Reachable) {
            EXPECT_TRUE(ann->waitFor("LOBBY_launch+1+host+1+127.0.0.1+" + std::to_string(port) + "+Ann", from));
            EXPECT_EQ(answerer.connections(), 1);
            // Back to waiting for the next case: the host's game "ends".
            ann->send(build::gameEnded());
            ASSERT_TRUE(waitTable(*ann, 1, [](const TableRecord& t) { return t.state == TableState::Waiting; }));
        } else {
            EXPECT_NE(probe->text.find("TCP port " + std::to_string(port)), std::string::npos);
        }
    }
}

// A host's lobby at work: the game's own host stands for the host's game,
// and seat keepers are game connections that log in and watch.
class HostsLobby {
public:
    explicit HostsLobby(quint16 gamePort) : gamePort_(gamePort) {}

    // The host's game: listening, its own table in seat 1.
    void startGame(std::string_view name) {
        ASSERT_TRUE(game_.listen(gamePort_));
        ownTable_ = connect(name);
        ASSERT_NE(ownTable_, nullptr);
        EXPECT_EQ(ownTable_->own(), 1);
    }
    // Keepers in seats 2-4, logged in under the names the seats will show.
    void holdSeats(const std::array<std::string, 5>& names) {
        for (int seat = 2; seat <= 4; ++seat) {
            keepers_[seat] = connect(names[seat]);
            ASSERT_NE(keepers_[seat], nullptr);
            EXPECT_EQ(keepers_[seat]->own(), seat);
        }
    }
    // From now on arrivals count (a keeper may carry the name of the player to come).
    void expectArrivals() { seenUpTo_ = anyKeeper()->messages().size(); }
    // Closes a keeper and waits until another one sees its seat freed.
    void freeSeat(int seat) {
        keepers_[seat]->disconnect();
        keepers_[seat].reset();
        TestClient* witness = anyKeeper();
        ASSERT_NE(witness, nullptr);
        const auto at = witness->waitFor("CMD_playerdisconnected+" + std::to_string(seat) + "+", seenUpTo_);
        ASSERT_TRUE(at.has_value());
        seenUpTo_ = *at + 1;
    }
    // Waits for a game to log in under that number and name, as a keeper sees it.
    bool sawArrival(int number, std::string_view name) {
        TestClient* witness = anyKeeper();
        return witness != nullptr &&
               witness->waitFor("CMD_newplayerinfo+" + std::to_string(number) + "+" + std::string(name), seenUpTo_)
                   .has_value();
    }
    void releaseAll() {
        for (auto& keeper : keepers_)
            if (keeper) keeper->disconnect();
        for (auto& keeper : keepers_) keeper.reset();
    }
    void endGame() {
        ownTable_->disconnect();
        game_.closeAll();
    }
    net::QtHost& game() { return game_; }

private:
    std::unique_ptr<TestClient> connect(std::string_view name) {
        auto client = std::make_unique<TestClient>();
        if (!client->connectTo(gamePort_) || client->login(name) == 0) return nullptr;
        return client;
    }
    TestClient* anyKeeper() {
        for (auto& keeper : keepers_)
            if (keeper) return keeper.get();
        return nullptr;
    }

    quint16 gamePort_;
    std::size_t seenUpTo_ = 0;  // what the witness had seen when the awaited arrival was made possible
    FixedBotSpeed speed_{500};
    RecordingDiagnostics diagnostics_;
    net::QtHost game_{speed_, diagnostics_};
    std::unique_ptr<TestClient> ownTable_;
    std::array<std::unique_ptr<TestClient>, 5> keepers_;
};

// A joining lobby's game: connects where its launch order says and logs in.
std::unique_ptr<TestClient> joinGame(const LaunchOrder& order) {
    EXPECT_EQ(order.address, "127.0.0.1");
    auto game = std::make_unique<TestClient>();
    if (!game->connectTo(static_cast<quint16>(order.gamePort)) || game->login(order.name) == 0) return nullptr;
    return game;
}

std::optional<LaunchOrder> launchOrder(LobbyTestClient& lobby, std::size_t from = 0) {
    const auto at = lobby.waitFor("LOBBY_launch+", from);
    if (!at) return std::nullopt;
    return parse::launch(lobby.restOf(*at));
}

TEST_F(LobbySocketTest, AWholeStartPutsEveryLobbySeatInTheSameGameSeatAndTheWatcherAmongTheWatchers) {
    auto ann = player("Ann");
    auto bob = player("Bob");
    auto cy = player("Cy");
    auto out = player("Out");
    ann->send(build::newTable("Evening"));
    ASSERT_TRUE(waitTable(*bob, 1, [](const TableRecord&) { return true; }));
    bob->send(build::sit(1, 3));  // the host's partner, with seat 2 open
    cy->send(build::watch(1));
    ASSERT_TRUE(waitTable(*out, 1, [](const TableRecord& t) { return t.seats[2] == "Bob" && t.watchers.size() == 1; }));
    out->send(build::chat("good luck + have fun"));
    for (auto* client : {ann.get(), bob.get(), cy.get()})
        EXPECT_TRUE(client->waitFor("LOBBY_chat+Out+good luck + have fun"));

    // The check: Ann's lobby listens on the game port and hands over its token.
    const quint16 gamePort = freePort();
    ann->send(build::start(1, gamePort, "127.0.0.1"));
    ASSERT_TRUE(ann->waitFor("LOBBY_probelisten+1+" + std::to_string(gamePort)));
    {
        Answerer lobbyListening(Service::HostsLobby, "Evening2024", gamePort);
        ann->send(build::probeReady(1, "Evening2024"));
        ASSERT_TRUE(ann->waitFor("LOBBY_probe+1+reachable+"));
    }
    const auto hostOrder = launchOrder(*ann);
    ASSERT_TRUE(hostOrder.has_value());
    EXPECT_EQ(hostOrder->role, Role::Host);
    ASSERT_EQ(hostOrder->gamePort, gamePort);

    // The host's game runs and its keepers hold seats 2-4.
    HostsLobby hostLobby(gamePort);
    hostLobby.startGame(hostOrder->name);
    ann->send(build::gameRunning());
    hostLobby.holdSeats({"", "", "Klot", "Bob", "Kling"});
    EXPECT_FALSE(cy->find("LOBBY_launch+")) << "nobody goes before the host's game is ready";
    EXPECT_FALSE(bob->find("LOBBY_launch+"));
    hostLobby.expectArrivals();
    ann->send(build::hostReady(1));

    // The watcher first: every seat is taken in the game, so it watches.
    const auto cyOrder = launchOrder(*cy);
    ASSERT_TRUE(cyOrder.has_value());
    EXPECT_EQ(cyOrder->role, Role::Watcher);
    auto cyGame = joinGame(*cyOrder);
    ASSERT_NE(cyGame, nullptr);
    EXPECT_EQ(cyGame->own(), 5);
    ASSERT_TRUE(hostLobby.sawArrival(5, "Cy"));
    ann->send(build::arrived(1, 5, "Cy"));

    // Then Bob's seat 3, freed just for him.
    const auto free = ann->waitFor("LOBBY_freeseat+1+3");
    ASSERT_TRUE(free.has_value());
    EXPECT_FALSE(bob->find("LOBBY_launch+"));
    hostLobby.freeSeat(3);
    ann->send(build::seatFree(1, 3));
    const auto bobOrder = launchOrder(*bob);
    ASSERT_TRUE(bobOrder.has_value());
    EXPECT_EQ(bobOrder->role, Role::Player);
    EXPECT_EQ(bobOrder->seat, 3);
    auto bobGame = joinGame(*bobOrder);
    ASSERT_NE(bobGame, nullptr);
    EXPECT_EQ(bobGame->own(), 3) << "lobby seat 3 is game seat 3";
    ASSERT_TRUE(hostLobby.sawArrival(3, "Bob"));
    ann->send(build::arrived(1, 3, "Bob"));

    // The open seats go to the computer; everyone hears that all are in.
    ASSERT_TRUE(ann->waitFor("LOBBY_releaseseats+1"));
    hostLobby.releaseAll();
    for (auto* client : {ann.get(), bob.get(), cy.get()}) EXPECT_TRUE(client->waitFor("LOBBY_gameready+1"));
    EXPECT_FALSE(out->find("LOBBY_launch+")) << "only the table's players get the host's address";
    bob->send(build::gameRunning());
    cy->send(build::gameRunning());

    // In the host's game: Ann in 1, Bob in 3, Cy watching as 5, seats 2 and 4 free.
    const net::HostCore& game = hostLobby.game().core();
    ASSERT_TRUE(waitUntil([&] { return !game.record(2).inUse && !game.record(4).inUse; }));
    EXPECT_EQ(game.record(1).name, "Ann");
    EXPECT_EQ(game.record(3).name, "Bob");
    EXPECT_EQ(game.record(5).name, "Cy");
    EXPECT_TRUE(bobGame->anyStartsWith("CMD_existingplayers+5+Cy") || bobGame->anyStartsWith("CMD_newplayerinfo+5+Cy"));
    ASSERT_TRUE(waitUntil([&] {
        const PlayerRecord* b = out->list().player("Bob");
        const TableRecord* t = out->list().table(1);
        return b != nullptr && b->state == PlayerState::Playing && t != nullptr && t->state == TableState::Playing;
    }));

    // The host's game ends: the joining games lose their host and everyone is told.
    hostLobby.endGame();
    ann->send(build::gameEnded());
    for (auto* client : {bob.get(), cy.get()})
        EXPECT_TRUE(client->waitFor("LOBBY_gameover+1+hostleft+The host left: the game at table 1 is over."));
    EXPECT_TRUE(bobGame->waitClosed());
    bob->send(build::gameEnded());
    cy->send(build::gameEnded());
    ASSERT_TRUE(waitTable(*out, 1, [](const TableRecord& t) { return t.state == TableState::Waiting; }));
    ASSERT_TRUE(waitUntil([&] { return out->list().player("Bob")->state == PlayerState::Table; }));
    for (auto* client : {ann.get(), bob.get(), cy.get(), out.get()}) EXPECT_FALSE(client->listBroken());

    // A lobby that goes away leaves; its table closes with it.
    ann->disconnect();
    EXPECT_TRUE(bob->waitFor("LOBBY_tableclosed+1+hostleft+"));
    ASSERT_TRUE(waitUntil([&] { return out->list().table(1) == nullptr && out->list().player("Ann") == nullptr; }));
}

TEST(LobbyServerSockets, AFullServerSaysSoBeforeItClosesAndTakesTheNextWhenOneLeaves) {
    RecordingDiagnostics diagnostics;
    QtLobbyServer server(diagnostics, 2);
    ASSERT_TRUE(server.listen(0, QHostAddress::LocalHost));
    std::vector<std::unique_ptr<LobbyTestClient>> clients;
    for (const char* name : {"Ann", "Bob"}) {
        clients.push_back(std::make_unique<LobbyTestClient>());
        ASSERT_TRUE(clients.back()->connectTo(server.serverPort()));
        ASSERT_TRUE(clients.back()->login(name));
    }
    LobbyTestClient late;
    ASSERT_TRUE(late.connectTo(server.serverPort()));
    EXPECT_TRUE(late.waitFor("LOBBY_refused+full+The lobby is full (2 players): try again later."));
    EXPECT_TRUE(late.waitClosed());
    clients[1]->disconnect();
    ASSERT_TRUE(waitUntil([&] { return server.core().connectionCount() == 1; }));
    LobbyTestClient next;
    ASSERT_TRUE(next.connectTo(server.serverPort()));
    EXPECT_TRUE(next.login("Cy"));
    ASSERT_TRUE(waitUntil([&] { return server.openSocketCount() == 2; })) << "the closed ones are let go";
}

TEST_F(LobbySocketTest, AHostileClientIsClosedAndTheOthersGoOn) {
    auto ann = player("Ann");
    LobbyTestClient hostile;
    ASSERT_TRUE(hostile.connectTo(server.serverPort()));
    ASSERT_TRUE(hostile.login("Mal"));
    hostile.send(std::string(2000, 'x'));
    ASSERT_TRUE(hostile.waitFor("LOBBY_closing+toolong+"));
    EXPECT_TRUE(hostile.waitClosed());
    ann->send(build::chat("still here"));
    EXPECT_TRUE(ann->waitFor("LOBBY_chat+Ann+still here"));
    ASSERT_TRUE(waitUntil([&] { return ann->list().player("Mal") == nullptr; }));
}

}  // namespace
}  // namespace vornel::lobby::test

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}

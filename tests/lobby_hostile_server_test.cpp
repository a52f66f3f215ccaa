// The lobby against a server that says what it likes, through the lobby's
// real receive path: a scripted server on a loopback socket, a session
// logged in to it at table 12, and the stand-in game that records how it
// was started. Nothing but an order for the player's own game may start
// anything, and what the server asks of a host is done only for the game
// this lobby hosts.

#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

#include "lobby/lobby_protocol.h"
#include "lobby_window/lobby_session.h"
#include "lobby_window_test_support.h"
#include "socket_test_client.h"

namespace vornel::lobby_window::test {
namespace {

using vornel::test::waitUntil;

class HostileServerTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(home.isValid());
        config = testConfig(home, VORNEL_FAKE_GAME);
        session = std::make_unique<LobbySession>(config);
        log = std::make_unique<SessionLog>(*session);
    }

    // Logs Bob in; he sits in seat 3 at table 12, which Ann hosts (or hosts it himself).
    void logIn(bool hosts = false) {
        session->logIn("127.0.0.1", server.port(), "Bob");
        ASSERT_TRUE(server.waitConnection());
        ASSERT_TRUE(server.waitFor("LOBBY_login+1+Bob"));
        server.send("LOBBY_welcome", "1+Bob");
        server.send("LOBBY_list", hosts ? "player+Bob+table+12+table+12+waiting+Bob's game+Bob++++0"
                                        : "player+Ann+table+12+player+Bob+table+12+table+12+waiting+Friday+Ann++Bob++0");
        server.send("LOBBY_listend", "");
        ASSERT_TRUE(waitUntil([&] { return session->ownTable() == 12; }));
        ASSERT_EQ(session->hostsOwnTable(), hosts);
    }

    // A chat line after the messages under test: once it is shown, they were handled.
    void handled() {
        const std::string mark = "mark" + std::to_string(++marks);
        server.send("LOBBY_chat", "Ann+" + mark);
        ASSERT_TRUE(waitUntil([&] { return log->chat.contains(QString::fromStdString("Ann: " + mark)); }));
    }

    QByteArray gameRecord() const {
        QFile file(home.filePath("fake-game.txt"));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    QTemporaryDir home;
    LobbyConfig config;
    ScriptedServer server;
    std::unique_ptr<LobbySession> session;
    std::unique_ptr<SessionLog> log;
    int marks = 0;
};

TEST_F(HostileServerTest, ALaunchOrderWithABadAddressNameRoleOrTableStartsNothing) {
    logIn();
    const std::vector<std::pair<const char*, const char*>> orders = {
        {"a name instead of an address", "12+player+3+evil.example+7800+Bob"},
        {"an option instead of an address", "12+player+3+--platform+7800+Bob"},
        {"the broadcast address", "12+player+3+255.255.255.255+7800+Bob"},
        {"another player's name", "12+player+3+127.0.0.1+7800+Ann"},
        {"arguments after the name", "12+player+3+127.0.0.1+7800+Bob -platform vnc"},
        {"a name with a control character", "12+player+3+127.0.0.1+7800+Bob\x01"},
        {"the host's role at Ann's table", "12+host+1+127.0.0.1+7800+Bob"},
        {"an unknown role", "12+admin+3+127.0.0.1+7800+Bob"},
        {"a seat that does not fit the role", "12+watcher+3+127.0.0.1+7800+Bob"},
        {"another table", "7+player+3+127.0.0.1+7800+Bob"},
        {"a port out of range", "12+player+3+127.0.0.1+70000+Bob"},
    };
    for (const auto& [label, rest] : orders) {
        SCOPED_TRACE(label);
        const qsizetype noticesBefore = log->notices.size();
        server.send("LOBBY_launch", rest);
        handled();
        EXPECT_EQ(session->game().starts(), 0);
        EXPECT_FALSE(session->game().busy());
        ASSERT_GT(log->notices.size(), noticesBefore);
        EXPECT_TRUE(log->notices.back().contains("nothing was started"));
    }
    EXPECT_TRUE(gameRecord().isEmpty());
    EXPECT_FALSE(server.received("LOBBY_gamerunning"));

    // The same server's good order: the game starts once, with exactly these arguments.
    const std::size_t from = server.count();
    server.send("LOBBY_launch", "12+player+3+127.0.0.1+7800+Bob");
    ASSERT_TRUE(server.waitFor("LOBBY_gamerunning+", from)) << "the game's arrival on the link is reported";
    EXPECT_EQ(session->game().starts(), 1);
    EXPECT_EQ(gameRecord(), "Bob\n127.0.0.1\nx\nVORNEL_PORT=7800\nZELMO7_LOBBY_LINK_PORT=" +
                                QByteArray::number(config.linkPort) + "\n");

    // Removed from the table: the lobby ends its game, and the link's close is reported.
    server.send("LOBBY_removed", "12+You were removed from table 12 by its host.");
    ASSERT_TRUE(server.waitFor("LOBBY_gameended+", from));
    EXPECT_FALSE(session->game().busy());
    EXPECT_TRUE(log->noticed("You were removed from table 12 by its host."));
}

TEST_F(HostileServerTest, WhatOnlyAHostIsAskedIsIgnoredWithoutTheGameItHosts) {
    logIn(true);
    const std::size_t from = server.count();
    // Nobody pressed Start: no check is listened for, on this port or any other.
    server.send("LOBBY_probelisten", "12+" + std::to_string(config.gamePort));
    // No game runs here: no keeper is made, no seat reported.
    server.send("LOBBY_freeseat", "12+2");
    server.send("LOBBY_holdseat", "12+3");
    server.send("LOBBY_releaseseats", "12");
    server.send("LOBBY_gameready", "12");
    handled();
    EXPECT_FALSE(session->probeListening());
    EXPECT_EQ(session->keepers(), nullptr);
    for (const char* reply : {"LOBBY_probeready", "LOBBY_seatfree", "LOBBY_seatheld", "LOBBY_hostready"})
        EXPECT_FALSE(server.received(reply, from)) << reply;

    // Start: the check is listened for only on the port the lobby gave.
    session->start();
    ASSERT_TRUE(server.waitFor("LOBBY_start+12+" + std::to_string(config.gamePort) + "+127.0.0.1", from));
    server.send("LOBBY_probelisten", "12+" + std::to_string(config.gamePort + 1));
    handled();
    EXPECT_FALSE(session->probeListening());
    server.send("LOBBY_probelisten", "12+" + std::to_string(config.gamePort));
    ASSERT_TRUE(server.waitFor("LOBBY_probeready+12+", from));
    EXPECT_TRUE(session->probeListening());

    // A failed check: the host is told in the server's words and may start anyway.
    server.send("LOBBY_probe", "12+refused+Players outside your home network cannot join.");
    ASSERT_TRUE(waitUntil([&] { return !log->probes.empty(); }));
    EXPECT_FALSE(log->probes.back().first);
    EXPECT_EQ(log->probes.back().second, "Players outside your home network cannot join.");
    EXPECT_FALSE(session->probeListening());
    ASSERT_TRUE(session->canStartAnyway());
    session->startAnyway();
    EXPECT_TRUE(server.waitFor("LOBBY_startanyway+12", from));
    EXPECT_FALSE(session->canStartAnyway());
}

TEST_F(HostileServerTest, AServerThatBreaksTheProtocolIsLeft) {
    struct Case {
        const char* label;
        std::string sent;  // raw bytes after the login
        const char* why;   // part of what the player is told
    };
    const std::vector<Case> cases = {
        {"a welcome for someone else", "LOBBY_welcome+1+Mallory\xFF", "does not read"},
        {"another protocol version", "LOBBY_welcome+2+Bob\xFF", "does not read"},
        {"a refusal", "LOBBY_refused+nametaken+The name Bob is taken: choose another.\xFF",
         "The name Bob is taken: choose another."},
        {"a message without end", std::string(70000, 'x'), "too long"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        ScriptedServer scripted;
        LobbySession fresh(config);
        SessionLog said(fresh);
        fresh.logIn("127.0.0.1", scripted.port(), "Bob");
        ASSERT_TRUE(scripted.waitConnection());
        ASSERT_TRUE(scripted.waitFor("LOBBY_login+1+Bob"));
        if (std::string_view(c.label) == "a message without end") scripted.send("LOBBY_welcome", "1+Bob");
        scripted.sendRaw(c.sent);
        ASSERT_TRUE(waitUntil([&] { return !said.offline.isEmpty(); }));
        EXPECT_TRUE(said.offline.front().contains(c.why)) << said.offline.front().toStdString();
        EXPECT_EQ(fresh.stage(), LobbySession::Stage::Offline);
    }
}

}  // namespace
}  // namespace vornel::lobby_window::test

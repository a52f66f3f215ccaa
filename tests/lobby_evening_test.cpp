// A whole evening on loopback: a lobby server, three lobby windows
// (offscreen) and real games. Ann makes a table, Bob sits in seat 3 and Cy
// watches; Ann presses Start; the lobbies start three real `vornel`
// programs, each with its own settings folder, and the host's game ends up
// with Ann in seat 1, Bob in seat 3 and Cy watching. Then Ann's game ends:
// the others' games close by themselves and everyone is back in the lobby,
// told that the host left.

#include <gtest/gtest.h>

#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTreeWidget>

#include "lobby/qt_lobby_server.h"
#include "lobby_window/first_screen.h"
#include "lobby_window/lobby_session.h"
#include "lobby_window/lobby_view.h"
#include "lobby_window/lobby_window.h"
#include "lobby_window_test_support.h"
#include "players/simulation.h"
#include "socket_test_client.h"

namespace vornel::lobby_window::test {
namespace {

using vornel::test::kGameWaitMs;
using vornel::test::TestClient;
using vornel::test::waitUntil;

struct Player {
    QTemporaryDir home;
    std::unique_ptr<LobbyWindow> window;
    std::unique_ptr<SessionLog> log;

    LobbySession& session() { return window->session(); }
    void click(const char* name) {
        auto* button = window->findChild<QPushButton*>(name);
        ASSERT_NE(button, nullptr) << name;
        ASSERT_TRUE(button->isVisible() && button->isEnabled()) << name;
        button->click();
    }
    const lobby::TableRecord* table(int number) { return session().list().table(number); }
    // What the window's tables list shows in one column of a table's row.
    QString shown(int number, int column) {
        auto* list = window->findChild<QTreeWidget*>("list_tables");
        for (int i = 0; list != nullptr && i < list->topLevelItemCount(); ++i)
            if (list->topLevelItem(i)->text(LobbyView::ColumnNumber) == QString::number(number))
                return list->topLevelItem(i)->text(column);
        return {};
    }
};

class EveningTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(server.listen(0, QHostAddress::LocalHost)); }

    // The first screen: name, server, Connect; then the main screen.
    void enter(Player& player, const QString& name) {
        ASSERT_TRUE(player.home.isValid());
        player.window = std::make_unique<LobbyWindow>(testConfig(player.home, VORNEL_GAME_PROGRAM));
        player.log = std::make_unique<SessionLog>(player.session());
        player.window->show();
        player.window->firstScreen().setName(name);
        player.window->firstScreen().setServer("127.0.0.1:" + QString::number(server.serverPort()));
        player.click("button_connect");
        ASSERT_TRUE(waitUntil([&] { return !player.window->showsFirstScreen(); }));
    }

    static bool everyone(std::initializer_list<Player*> players, const std::function<bool(Player&)>& holds,
                         int timeoutMs = kGameWaitMs) {
        return waitUntil([&] {
            for (Player* p : players)
                if (!holds(*p)) return false;
            return true;
        }, timeoutMs);
    }

    RecordingDiagnostics diagnostics;
    lobby::QtLobbyServer server{diagnostics};
    Player ann, bob, cy;
};

TEST_F(EveningTest, EveryLobbySeatIsTheSameGameSeatTheWatcherWatchesAndAllAreBackWhenTheHostLeaves) {
    enter(ann, "Ann");
    enter(bob, "Bob");
    enter(cy, "Cy");

    // Ann's table; Bob takes seat 3 (seat 2 stays open), Cy watches.
    ann.window->findChild<QLineEdit*>("edit_title")->setText("Friday game");
    ann.click("button_newtable");
    ASSERT_TRUE(waitUntil([&] { return bob.table(1) != nullptr && cy.table(1) != nullptr; }));
    EXPECT_EQ(bob.shown(1, LobbyView::ColumnHost), "Ann");
    bob.window->view().selectTable(1, LobbyView::ColumnSeat3);
    bob.click("button_sit");
    cy.window->view().selectTable(1);
    cy.click("button_watch");
    ASSERT_TRUE(waitUntil([&] {
        const lobby::TableRecord* t = ann.table(1);
        return t != nullptr && t->seats[2] == "Bob" && t->watchers == std::vector<std::string>{"Cy"};
    }));
    ASSERT_TRUE(waitUntil([&] { return ann.shown(1, LobbyView::ColumnSeat3) == "Bob"; }));
    EXPECT_EQ(ann.shown(1, LobbyView::ColumnSeat2), "Open");
    EXPECT_EQ(ann.shown(1, LobbyView::ColumnWatchers), "Cy");

    // Start: the check reaches Ann's lobby, and the three games start one after another.
    ann.click("button_start");
    ASSERT_TRUE(waitUntil([&] { return !ann.log->probes.empty(); }));
    EXPECT_TRUE(ann.log->probes.front().first) << ann.log->probes.front().second.toStdString();
    ASSERT_TRUE(everyone({&ann, &bob, &cy}, [](Player& p) { return p.log->noticed("Every game is in"); }))
        << "Ann: " << ann.log->notices.join(" / ").toStdString() << "\nBob: " << bob.log->notices.join(" / ").toStdString()
        << "\nCy: " << cy.log->notices.join(" / ").toStdString();
    for (Player* p : {&ann, &bob, &cy}) {
        EXPECT_EQ(p->session().game().starts(), 1);
        EXPECT_TRUE(p->session().game().running());
    }
    EXPECT_EQ(ann.session().game().role(), lobby::Role::Host);
    EXPECT_EQ(bob.session().game().role(), lobby::Role::Player);
    EXPECT_EQ(cy.session().game().role(), lobby::Role::Watcher);
    EXPECT_EQ(ann.session().keepers(), nullptr) << "the keepers have let the open seats go";

    // The host's game as a newcomer sees it, once the keepers' departures are
    // through: the open seat 2 is the lowest free.
    std::unique_ptr<TestClient> look;
    for (int attempt = 0; attempt < 50; ++attempt) {
        look = std::make_unique<TestClient>();
        ASSERT_TRUE(look->connectTo(ann.session().config().gamePort));
        if (look->login("Look") == 2) break;
        look->disconnect();
        look.reset();
        waitUntil([] { return false; }, 100);
    }
    ASSERT_NE(look, nullptr) << "seat 2 was never let go";
    ASSERT_TRUE(look->roundTrip("seen"));
    EXPECT_TRUE(look->anyStartsWith("CMD_existingplayers+1+Ann"));
    EXPECT_TRUE(look->anyStartsWith("CMD_existingplayers+3+Bob")) << "lobby seat 3 is game seat 3";
    EXPECT_TRUE(look->anyStartsWith("CMD_existingplayers+5+Cy")) << "the watcher watches";
    EXPECT_FALSE(look->anyStartsWith("CMD_existingplayers+4+"));
    look->disconnect();

    ASSERT_TRUE(everyone({&ann, &bob, &cy}, [](Player& p) {
        const lobby::PlayerRecord* b = p.session().list().player("Bob");
        return b != nullptr && b->state == lobby::PlayerState::Playing && p.shown(1, LobbyView::ColumnState) == "Playing";
    }));

    // Ann's game ends: the others lose their host, their games close, and everyone is back.
    ann.session().game().end();
    ASSERT_TRUE(everyone({&ann, &bob, &cy}, [](Player& p) { return !p.session().game().busy(); }));
    for (Player* p : {&bob, &cy}) EXPECT_TRUE(waitUntil([&] {
        return p->log->noticed("The host left: the game at table 1 is over.");
    }));
    ASSERT_TRUE(everyone({&ann, &bob, &cy}, [](Player& p) {
        const lobby::PlayerRecord* b = p.session().list().player("Bob");
        return p.shown(1, LobbyView::ColumnState) == "Waiting" && b != nullptr && b->state == lobby::PlayerState::Table;
    }));
    for (Player* p : {&ann, &bob, &cy}) {
        EXPECT_EQ(p->session().ownTable(), 1);
        EXPECT_TRUE(p->log->noticed("Your game has ended: you are back in the lobby."));
        EXPECT_TRUE(p->log->offline.isEmpty());
    }
    EXPECT_EQ(bob.session().ownSeat(), 3);
}

}  // namespace
}  // namespace vornel::lobby_window::test

// The lobby window as a player uses it, offscreen, against the lobby server
// on a loopback port: the first screen and what it remembers, a refused
// login, the buttons each player may use, the chat lines in the game's
// style, removing a player, and the lobby started on this computer.

#include <gtest/gtest.h>

#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QTextEdit>
#include <QTreeWidget>

#include "lobby/qt_lobby_server.h"
#include "lobby_window/first_screen.h"
#include "lobby_window/local_lobby.h"
#include "lobby_window/lobby_session.h"
#include "lobby_window/lobby_settings.h"
#include "lobby_window/lobby_view.h"
#include "lobby_window/lobby_window.h"
#include "lobby_window_test_support.h"
#include "players/simulation.h"
#include "socket_test_client.h"

namespace vornel::lobby_window::test {
namespace {

using vornel::test::waitUntil;

class LobbyWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(home.isValid());
        ASSERT_TRUE(server.listen(0, QHostAddress::LocalHost));
    }

    std::unique_ptr<LobbyWindow> window(LobbyConfig config) {
        auto w = std::make_unique<LobbyWindow>(std::move(config));
        w->show();
        return w;
    }
    std::unique_ptr<LobbyWindow> window() { return window(testConfig(home, "/nonexistent/vornel")); }
    QString address() const { return "127.0.0.1:" + QString::number(server.serverPort()); }
    // Name, server, Connect; true once the main screen shows.
    bool enter(LobbyWindow& w, const QString& name) {
        w.firstScreen().setName(name);
        w.firstScreen().setServer(address());
        button(w, "button_connect")->click();
        return waitUntil([&] { return !w.showsFirstScreen(); });
    }
    static QPushButton* button(LobbyWindow& w, const char* name) { return w.findChild<QPushButton*>(name); }
    static QString status(LobbyWindow& w) { return w.findChild<QLabel*>("label_status")->text(); }
    static bool usable(LobbyWindow& w, const char* name) {
        QPushButton* b = button(w, name);
        return b->isVisible() && b->isEnabled();
    }

    QTemporaryDir home;
    RecordingDiagnostics diagnostics;
    lobby::QtLobbyServer server{diagnostics};
};

TEST_F(LobbyWindowTest, TheFirstScreenChecksTheNameAndRemembersItWithTheServer) {
    auto w = window();
    EXPECT_EQ(w->windowTitle(), "The Zelmo7 Lobby");
    ASSERT_TRUE(w->showsFirstScreen());
    for (const auto& [typed, problem] : std::vector<std::pair<QString, QString>>{
             {"", "A name has 1 to 20 characters."}, {"-x", "A name cannot begin with \"-\"."}}) {
        w->firstScreen().setName(typed);
        w->firstScreen().setServer(address());
        button(*w, "button_connect")->click();
        EXPECT_EQ(status(*w), problem);
        EXPECT_TRUE(w->showsFirstScreen());
    }
    w->firstScreen().setName("Ann");
    w->firstScreen().setServer("no such:place");
    button(*w, "button_connect")->click();
    EXPECT_TRUE(status(*w).startsWith("Type the lobby server's address"));
    EXPECT_EQ(server.core().connectionCount(), 0u);

    ASSERT_TRUE(enter(*w, "Ann"));
    EXPECT_EQ(readLobbySettings(home.path()), (LobbySettings{"Ann", address()}));
    w.reset();

    // The next time: both as they were; an address from the environment wins and is not kept.
    auto again = window();
    EXPECT_EQ(again->firstScreen().name(), "Ann");
    EXPECT_EQ(again->firstScreen().server(), address());
    again.reset();
    LobbyConfig overridden = testConfig(home, "/nonexistent/vornel");
    overridden.serverOverride = "127.0.0.1:" + QString::number(server.serverPort());
    auto third = window(overridden);
    EXPECT_EQ(third->firstScreen().server(), overridden.serverOverride);
    third->firstScreen().setName("Annie");
    button(*third, "button_connect")->click();
    ASSERT_TRUE(waitUntil([&] { return !third->showsFirstScreen(); }));
    EXPECT_EQ(readLobbySettings(home.path()), (LobbySettings{"Annie", address()}));
}

TEST_F(LobbyWindowTest, ARefusedLoginIsShownOnTheFirstScreenInTheServersWords) {
    auto ann = window();
    ASSERT_TRUE(enter(*ann, "Ann"));
    QTemporaryDir otherHome;
    auto other = window(testConfig(otherHome, "/nonexistent/vornel"));
    other->firstScreen().setName("ANN");
    other->firstScreen().setServer(address());
    button(*other, "button_connect")->click();
    ASSERT_TRUE(waitUntil([&] { return status(*other).contains("taken"); }));
    EXPECT_EQ(status(*other), "The name ANN is taken: choose another.");
    EXPECT_TRUE(other->showsFirstScreen());
    EXPECT_TRUE(button(*other, "button_connect")->isEnabled());
}

TEST_F(LobbyWindowTest, EachPlayerHasTheButtonsThatFitWhereHeIs) {
    auto ann = window();
    ASSERT_TRUE(enter(*ann, "Ann"));
    QTemporaryDir bobHome;
    auto bob = window(testConfig(bobHome, "/nonexistent/vornel"));
    ASSERT_TRUE(enter(*bob, "Bob"));

    struct Expectation {
        const char* step;
        std::vector<const char*> annCan;
        std::vector<const char*> bobCan;
    };
    const std::vector<const char*> all{"button_newtable", "button_sit",   "button_watch", "button_standup",
                                       "button_leave",    "button_start", "button_remove"};
    auto check = [&](const Expectation& e) {
        SCOPED_TRACE(e.step);
        for (const char* name : all) {
            const bool annCan = std::find(e.annCan.begin(), e.annCan.end(), std::string_view(name)) != e.annCan.end();
            const bool bobCan = std::find(e.bobCan.begin(), e.bobCan.end(), std::string_view(name)) != e.bobCan.end();
            EXPECT_EQ(usable(*ann, name), annCan) << "Ann: " << name;
            EXPECT_EQ(usable(*bob, name), bobCan) << "Bob: " << name;
        }
        EXPECT_FALSE(button(*bob, "button_start")->isVisible()) << "Start is the host's only";
    };
    check({"both in the lobby", {"button_newtable"}, {"button_newtable"}});

    button(*ann, "button_newtable")->click();
    ASSERT_TRUE(waitUntil([&] { return bob->session().list().table(1) != nullptr && ann->session().hostsOwnTable(); }));
    ann->view().refresh();
    bob->view().selectTable(1);
    ann->view().selectTable(1);
    check({"Ann hosts table 1, Bob has chosen it", {"button_leave", "button_start"},
           {"button_newtable", "button_sit", "button_watch"}});
    EXPECT_EQ(bob->view().seatToTake(), 2);
    bob->view().selectTable(1, LobbyView::ColumnSeat4);
    EXPECT_EQ(bob->view().seatToTake(), 4);

    button(*bob, "button_sit")->click();
    ASSERT_TRUE(waitUntil([&] { return bob->session().ownSeat() == 4 && ann->session().list().table(1)->seats[3] == "Bob"; }));
    check({"Bob in seat 4", {"button_leave", "button_start", "button_remove"},
           {"button_sit", "button_watch", "button_standup", "button_leave"}});

    // The host removes Bob through his menu of the people at his table.
    button(*ann, "button_remove")->click();
    QMenu* menu = ann->view().removeMenu();
    ASSERT_NE(menu, nullptr);
    ASSERT_EQ(menu->actions().size(), 1);
    EXPECT_EQ(menu->actions().front()->text(), "Bob");
    menu->actions().front()->trigger();
    menu->hide();
    ASSERT_TRUE(waitUntil([&] { return bob->session().ownTable() == 0; }));
    auto* bobChat = bob->findChild<QTextEdit*>("lobbychat");
    EXPECT_TRUE(bobChat->toPlainText().contains("Lobby: You were removed from table 1 by its host."));
}

TEST_F(LobbyWindowTest, ChatLinesShowTheNameInBoldAsTheGamesChatDoes) {
    auto ann = window();
    ASSERT_TRUE(enter(*ann, "Ann"));
    QTemporaryDir bobHome;
    auto bob = window(testConfig(bobHome, "/nonexistent/vornel"));
    ASSERT_TRUE(enter(*bob, "Bob"));
    auto* entry = ann->findChild<QLineEdit*>("lobbyentry");
    EXPECT_EQ(entry->text(), "<Enter Chat Here>");
    entry->setText("good luck + have fun");
    QMetaObject::invokeMethod(entry, "returnPressed");
    auto* chat = bob->findChild<QTextEdit*>("lobbychat");
    ASSERT_TRUE(waitUntil([&] { return chat->toPlainText().contains("Ann: good luck + have fun"); }));
    EXPECT_TRUE(entry->text().isEmpty());
    for (QTextBlock block = chat->document()->begin(); block.isValid(); block = block.next()) {
        if (!block.text().startsWith("Ann:")) continue;
        QTextCursor cursor(block);
        cursor.movePosition(QTextCursor::Right);
        EXPECT_EQ(cursor.charFormat().fontWeight(), QFont::Bold) << "the name";
        cursor.setPosition(block.position() + static_cast<int>(block.length()) - 2);
        EXPECT_NE(cursor.charFormat().fontWeight(), QFont::Bold) << "the text";
    }
    // Characters outside the game's character set never leave the window.
    entry->setText(QString::fromUtf8("привет"));
    QMetaObject::invokeMethod(entry, "returnPressed");
    EXPECT_TRUE(ann->findChild<QTextEdit*>("lobbychat")->toPlainText().contains("Western European"));
}

TEST_F(LobbyWindowTest, ALobbyStartedOnThisComputerTakesThePlayerInAndNamesTheAddressesToType) {
    auto w = window();
    w->firstScreen().setName("Ann");
    button(*w, "button_startlobby")->click();
    ASSERT_TRUE(waitUntil([&] { return !w->showsFirstScreen(); }));
    ASSERT_TRUE(w->localLobby().running());
    const quint16 port = w->localLobby().port();
    EXPECT_NE(port, 0);
    EXPECT_EQ(w->localLobby().server()->core().playerCount(), 1u);
    const QString told = w->findChild<QLabel*>("label_locallobby")->text();
    EXPECT_TRUE(told.startsWith("The lobby runs on this computer")) << told.toStdString();
    EXPECT_TRUE(told.contains(QString::number(port)));
    for (const QString& address : w->localLobby().addressesForOthers()) EXPECT_TRUE(told.contains(address));
    // Another lobby on this computer reaches it on loopback.
    QTemporaryDir bobHome;
    auto bob = window(testConfig(bobHome, "/nonexistent/vornel"));
    bob->firstScreen().setName("Bob");
    bob->firstScreen().setServer("127.0.0.1:" + QString::number(port));
    button(*bob, "button_connect")->click();
    ASSERT_TRUE(waitUntil([&] { return w->session().list().player("Bob") != nullptr; }));
    EXPECT_EQ(readLobbySettings(home.path()).server, QString()) << "this computer's lobby is not remembered as the server";
}

}  // namespace
}  // namespace vornel::lobby_window::test

namespace vornel::lobby_window::test {
namespace {

TEST(LobbyWindowClosing, ClosedWhileItsGameRunsTheLobbyServesTheGameAndGoesWhenItEnds) {
    QTemporaryDir home;
    ASSERT_TRUE(home.isValid());
    ScriptedServer server;
    LobbyWindow window(testConfig(home, VORNEL_FAKE_GAME));
    window.show();
    window.firstScreen().setName("Bob");
    window.firstScreen().setServer("127.0.0.1:" + QString::number(server.port()));
    window.findChild<QPushButton*>("button_connect")->click();
    ASSERT_TRUE(server.waitConnection());
    ASSERT_TRUE(server.waitFor("LOBBY_login+1+Bob"));
    server.send("LOBBY_welcome", "1+Bob");
    server.send("LOBBY_list", "player+Bob+table+3+table+3+waiting+Friday+Ann+Bob+++0");
    server.send("LOBBY_listend", "");
    ASSERT_TRUE(waitUntil([&] { return window.session().ownSeat() == 2; }));
    server.send("LOBBY_launch", "3+player+2+127.0.0.1+7800+Bob");
    ASSERT_TRUE(server.waitFor("LOBBY_gamerunning+"));

    window.close();
    EXPECT_FALSE(window.isVisible());
    vornel::test::pumpEvents();
    EXPECT_FALSE(server.clientClosed()) << "the game still needs its lobby";
    EXPECT_TRUE(window.session().game().running());

    // The host removes Bob: his game ends, and with it the lobby.
    QSignalSpy gone(&window, &LobbyWindow::closedAfterGame);
    server.send("LOBBY_removed", "3+You were removed from table 3 by its host.");
    ASSERT_TRUE(server.waitFor("LOBBY_gameended+"));
    EXPECT_TRUE(waitUntil([&] { return server.clientClosed(); }));
    EXPECT_EQ(window.session().stage(), LobbySession::Stage::Offline);
    EXPECT_EQ(gone.count(), 1);
}

}  // namespace
}  // namespace vornel::lobby_window::test

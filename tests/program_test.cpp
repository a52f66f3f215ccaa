// The program as it starts: the command line (solo, incomplete, hosting,
// joining), the login on its own in-process host, the settings read after
// login and written after a change, the refusal of a full game, and the
// start dialog starting a game on the host.

#include <gtest/gtest.h>

#include <QApplication>
#include <QFile>
#include <QLineEdit>
#include <QAbstractButton>
#include <QMessageBox>
#include <QScreen>
#include <QTemporaryDir>

#include "app/game_start_dialog.h"
#include "app/program.h"
#include "app/spy_list_window.h"
#include "net/protocol.h"
#include "players/simulation.h"
#include "program_fixture.h"
#include "table_test_support.h"

namespace vornel::app {
namespace {

using table::test::chatLines;
using table::test::freePort;
using table::test::press;
using table::test::waitUntil;

const QColor kBlue(0, 0, 255);

class ProgramStart : public test::ProgramFixture {};

TEST_F(ProgramStart, NoArgumentsIsASoloGameAsYouOnTheLoopbackHost) {
    Program& p = start({});
    ASSERT_TRUE(loggedIn());
    const auto lines = chatLines(table());
    ASSERT_GE(lines.size(), 2u);
    EXPECT_EQ(lines[0].text, "Loading Solo Game..Please wait.");
    EXPECT_EQ(lines[0].colour, kBlue);
    EXPECT_EQ(lines[1].text, "You are Connected.");
    EXPECT_TRUE(p.window("Tdownload")->isVisible());
    EXPECT_TRUE(p.host().isListening());
    EXPECT_EQ(p.host().serverPort(), p.port());
    EXPECT_EQ(table().connection().socket().peerAddress().toString(), "127.0.0.1");
    const table::TableState& state = table().state();
    EXPECT_EQ(state.ownSeat, 1);
    EXPECT_EQ(state.playerName, "You");
    EXPECT_TRUE(state.isHost);
    EXPECT_EQ(table().board().nameLabel(1)->text(), "You");
    EXPECT_EQ(p.host().core().record(1).name, "You");
    EXPECT_TRUE(table().board().image("button_start")->isVisible());
    EXPECT_TRUE(table().action("action_startgame")->isEnabled());
}

class IncompleteCommandLine : public ProgramStart, public ::testing::WithParamInterface<QStringList> {};

TEST_P(IncompleteCommandLine, OnlyTheLoadingLine) {
    Program& p = start(GetParam());
    ASSERT_TRUE(waitUntil([&] { return !chatLines(table()).empty(); }));
    const auto lines = chatLines(table());
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0].text, "Loading Multi-player Game.. Please Wait.");
    EXPECT_EQ(lines[0].colour, kBlue);
    EXPECT_FALSE(p.host().isListening());
    EXPECT_EQ(table().connection().socket().state(), QAbstractSocket::UnconnectedState);
    EXPECT_FALSE(p.window("Tdownload")->isVisible());
    EXPECT_FALSE(table().board().image("button_start")->isVisible());
    EXPECT_FALSE(table().action("action_startgame")->isEnabled());

    // Closed before any login: the settings file is left alone.
    table().close();
    EXPECT_FALSE(QFile::exists(settingsPath()));
}

INSTANTIATE_TEST_SUITE_P(OneOrTwo, IncompleteCommandLine,
                         ::testing::Values(QStringList{"Ann"}, QStringList{"Ann", "127.0.0.1"}));

// Anything but the exact "true" joins the given address.
class JoiningCommandLine : public ProgramStart, public ::testing::WithParamInterface<QString> {};

TEST_P(JoiningCommandLine, ConnectsToTheAddressWithoutHosting) {
    QTcpServer otherHost;
    ASSERT_TRUE(otherHost.listen(QHostAddress::LocalHost, 0));
    Program& p = start({"Ann", "127.0.0.1", GetParam()}, otherHost.serverPort());
    ASSERT_TRUE(waitUntil([&] { return otherHost.hasPendingConnections(); }));
    EXPECT_FALSE(p.host().isListening());
    EXPECT_FALSE(table().state().isHost);
    EXPECT_EQ(table().state().playerName, "Ann");
    EXPECT_EQ(chatLines(table())[0].text, "Loading Multi-player Game.. Please Wait.");
    EXPECT_FALSE(table().board().image("button_start")->isVisible());
    EXPECT_FALSE(table().action("action_startgame")->isEnabled());
    EXPECT_FALSE(p.window("Tdownload")->isVisible());
    EXPECT_FALSE(qobject_cast<SpyListWindow*>(p.window("Tspylist"))->removeAction()->isEnabled());
}

INSTANTIATE_TEST_SUITE_P(ThirdArgument, JoiningCommandLine, ::testing::Values("True", "TRUE", "yes", "false"));

TEST_F(ProgramStart, AHostThatCannotBeReachedIsReportedInTheChat) {
    start({"Ann", "127.0.0.1", "join"}, freePort());
    ASSERT_TRUE(waitUntil([&] {
        for (const auto& line : chatLines(table()))
            if (line.text == "Unable to connect to the host.") return true;
        return false;
    }));
    EXPECT_FALSE(table().state().loggedIn);
    EXPECT_TRUE(table().isVisible());
}

TEST_F(ProgramStart, TrueHostsAndConnectsToTheLoopbackAddress) {
    Program& p = start({"Ann", "127.0.0.2", "true"});
    ASSERT_TRUE(loggedIn());
    EXPECT_TRUE(p.host().isListening());
    EXPECT_TRUE(table().state().isHost);
    EXPECT_EQ(table().connection().socket().peerAddress().toString(), "127.0.0.1");
    EXPECT_EQ(table().board().nameLabel(1)->text(), "Ann");
    EXPECT_EQ(chatLines(table())[0].text, "Loading Multi-player Game.. Please Wait.");
    EXPECT_FALSE(p.window("Tdownload")->isVisible());
    EXPECT_TRUE(table().board().image("button_start")->isVisible());
    EXPECT_TRUE(qobject_cast<SpyListWindow*>(p.window("Tspylist"))->removeAction()->isEnabled());
}

// --- settings --------------------------------------------------------------

TEST_F(ProgramStart, SettingsAreReadAfterLoginAndAppliedToTheMenus) {
    writeSettings(
        "[Vornel]\nTextsize=12\nBotspeed=750\nPlaysounds=false\nTurnsound=1\nChatterSounds=true\n"
        "Scontop=true\nLtontop=True\nTop=40\nLeft=4\nWidth=790\nHeight=700\nPhrase1=Hello there\n");
    Program& p = start({});
    EXPECT_TRUE(table().action("action_normal")->isChecked()) << "nothing is read before login";
    ASSERT_TRUE(loggedIn());
    EXPECT_TRUE(table().action("action_slow")->isChecked());
    EXPECT_FALSE(table().action("action_normal")->isChecked());
    EXPECT_FALSE(table().action("action_fast")->isChecked());
    EXPECT_EQ(table().options().botSpeed, 750);
    EXPECT_TRUE(table().action("action_size12")->isChecked());
    EXPECT_FALSE(table().action("action_size8")->isChecked());
    EXPECT_FALSE(table().action("action_playsounds")->isChecked());
    EXPECT_TRUE(table().action("action_turnnew")->isChecked());
    EXPECT_FALSE(table().action("action_turnclassic")->isChecked());
    EXPECT_TRUE(table().action("action_chattersounds")->isChecked());
    EXPECT_TRUE(table().action("action_scorecardontop")->isChecked());
    EXPECT_FALSE(table().action("action_lasttrickontop")->isChecked()) << "\"True\" is not \"true\"";
    EXPECT_TRUE(waitUntil([&] { return table().pos() == QPoint(4, 40) && table().size() == QSize(790, 700); }))
        << "window at " << table().x() << "," << table().y() << " " << table().width() << "x" << table().height();
    EXPECT_EQ(p.host().core().record(1).name, "You");
}

TEST_F(ProgramStart, AMenuChangeIsWrittenAndAnUnmovedCloseWritesNothing) {
    writeSettings("[Vornel]\nBotspeed=500\nTop=40\nLeft=4\nWidth=790\nHeight=700\nPhrase1=Hello there\n");
    start({});
    ASSERT_TRUE(loggedIn());
    ASSERT_TRUE(waitUntil([&] { return table().pos() == QPoint(4, 40) && table().size() == QSize(790, 700); }));

    table().action("action_fast")->trigger();
    const QByteArray written = settingsText();
    EXPECT_TRUE(written.contains("Botspeed=200\n")) << written.toStdString();
    EXPECT_TRUE(written.contains("Phrase1=Hello there")) << written.toStdString();
    EXPECT_TRUE(written.contains("Left=4\n")) << written.toStdString();
    EXPECT_TRUE(table().action("action_fast")->isChecked());
    EXPECT_EQ(table().options().botSpeed, 200);

    table().close();
    EXPECT_EQ(settingsText(), written) << "the window did not move: nothing to write at close";
}

TEST_F(ProgramStart, AMovedWindowIsWrittenAtClose) {
    writeSettings("[Vornel]\nTop=40\nLeft=4\nWidth=790\nHeight=700\n");
    start({});
    ASSERT_TRUE(loggedIn());
    ASSERT_TRUE(waitUntil([&] { return table().pos() == QPoint(4, 40); }));
    // The player drags the window and stretches it past the screen's edge.
    table().move(60, 70);
    table().resize(900, 700);
    ASSERT_TRUE(waitUntil([&] { return table().pos() == QPoint(60, 70) && table().width() == 900; }));
    table().close();
    const QByteArray written = settingsText();
    EXPECT_TRUE(written.contains("Top=70\n")) << written.toStdString();
    EXPECT_TRUE(written.contains("Left=60\n")) << written.toStdString();
    // Wider or taller than the work area: 15 pixels less, once.
    const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
    const QByteArray width = "Width=" + QByteArray::number(900 > area.width() ? 885 : 900) + "\n";
    const QByteArray height = "Height=" + QByteArray::number(700 > area.height() ? 685 : 700) + "\n";
    EXPECT_TRUE(written.contains(width)) << written.toStdString();
    EXPECT_TRUE(written.contains(height)) << written.toStdString();
    EXPECT_EQ(table().width(), 900 > area.width() ? 885 : 900) << "what is written is what is shown";
}

// --- a full game -------------------------------------------------------------

TEST_F(ProgramStart, GameIsFullShowsTheMessageThenCloses) {
    FixedBotSpeed hostSpeed(500);
    RecordingDiagnostics diagnostics;
    net::QtHost fullHost(hostSpeed, diagnostics);
    ASSERT_TRUE(fullHost.listen(0));
    std::vector<std::unique_ptr<QTcpSocket>> others;
    for (int n = 0; n < 9; ++n) {
        others.push_back(std::make_unique<QTcpSocket>());
        others.back()->connectToHost("127.0.0.1", fullHost.serverPort());
    }
    ASSERT_TRUE(waitUntil([&] { return fullHost.connectionCount() == 9; }));

    start({"Zed", "127.0.0.1", "join"}, fullHost.serverPort());
    QMessageBox* box = nullptr;
    ASSERT_TRUE(waitUntil([&] {
        box = table().findChild<QMessageBox*>("message_full");
        return box != nullptr && box->isVisible();
    }));
    EXPECT_EQ(box->text(), "Game is full");
    EXPECT_TRUE(table().isVisible()) << "the table stays until the message is dismissed";
    box->button(QMessageBox::Ok)->click();
    EXPECT_FALSE(table().isVisible());
}

// --- starting a game -------------------------------------------------------

TEST_F(ProgramStart, TheStartDialogStartsAGameOnTheInProcessHost) {
    Program& p = start({});
    ASSERT_TRUE(loggedIn());
    std::vector<std::string> received;
    table().connection().setMessageHandler([&](std::string_view message) {
        received.emplace_back(message);
        table().dispatch(message);
    });
    GameStartDialog& dialog = p.gameStart();
    EXPECT_FALSE(dialog.isVisible());
    press(table().board().image("button_start"));
    ASSERT_TRUE(dialog.isVisible());
    EXPECT_EQ(dialog.findChild<QLineEdit*>("edit_playtoscore")->text(), "10");
    dialog.arrows().stepDown();
    press(dialog.findChild<QWidget*>("button_start"));
    EXPECT_FALSE(dialog.isVisible());

    auto seen = [&](std::string_view prefix) {
        for (const auto& message : received)
            if (message.rfind(prefix, 0) == 0) return true;
        return false;
    };
    ASSERT_TRUE(waitUntil([&] { return seen("CMD_dealer+"); }));
    EXPECT_TRUE(seen("CMD_startgame+You+9+"));
    EXPECT_EQ(table().board().text("label_playtoscore")->text(), "Play to Score: 9");
    EXPECT_FALSE(table().board().image("button_start")->isVisible());
    bool announced = false;
    for (const auto& line : chatLines(table())) announced |= line.text == "You has started a game.";
    EXPECT_TRUE(announced);
}

// A second table joining the game while the host waits for its player:
// the replay must show it what the host's own table shows.
TEST_F(ProgramStart, ANewcomerIsShownTheRunningGame) {
    Program& p = start({});
    ASSERT_TRUE(loggedIn());
    press(table().board().image("button_start"));
    press(p.gameStart().findChild<QWidget*>("button_start"));
    auto waitsForItsPlayer = [&] {
        const auto& state = table().state();
        if (state.seatToAct != state.ownSeat) return false;
        for (int n = 1; n <= 4; ++n)
            if (table().board().bubble(n)->tag() != -1) return true;
        const QString status = table().board().text("label_status")->text();
        return status.endsWith("'s turn to play a card.") || status.endsWith(" needs to discard.");
    };
    ASSERT_TRUE(waitUntil(waitsForItsPlayer));

    table::test::TableFixture newcomer;
    newcomer.table.setPlayer("Bea", "127.0.0.1");
    newcomer.table.state().loginText = std::string("Bea") + net::kTerminator;
    newcomer.table.connection().connectToHost("127.0.0.1", p.port());
    table::Board& host = table().board();
    table::Board& joined = newcomer.board();
    auto handSize = [&](table::TableWindow& t) {
        int cards = 0;
        for (int position = 1; position <= 5; ++position) cards += t.game().slotAtPosition(position) != -1;
        return cards;
    };
    ASSERT_TRUE(waitUntil([&] {
        return newcomer.table.state().ownSeat == 2 && handSize(newcomer.table) > 0 &&
               joined.seatImage("image_cards", 1)->tag() > 0 && joined.text("label_score1")->text() != "";
    }));
    ASSERT_TRUE(waitUntil([&] { return table().board().nameLabel(2)->text() == "Bea"; }));

    EXPECT_EQ(joined.nameLabel(1)->text(), "You");
    EXPECT_EQ(joined.nameLabel(2)->text(), "Bea");
    EXPECT_EQ(joined.nameLabel(3)->text(), "Klick");
    EXPECT_EQ(joined.nameLabel(4)->text(), "Kling");
    EXPECT_EQ(joined.nameLabel(2)->pos(), QPoint(88, 382)) << "the newcomer sits at the bottom";
    for (const char* name : {"label_playtoscore", "label_score1", "label_score2", "label_current1", "label_current2"})
        EXPECT_EQ(joined.text(name)->text(), host.text(name)->text()) << name;
    EXPECT_EQ(joined.image("button_dealer")->tag(), host.image("button_dealer")->tag());
    EXPECT_EQ(joined.image("image_maker1")->isVisible(), host.image("image_maker1")->isVisible());
    EXPECT_EQ(joined.image("image_maker2")->isVisible(), host.image("image_maker2")->isVisible());
    for (int seat = 1; seat <= 4; ++seat)
        EXPECT_EQ(joined.seatImage("image_played", seat)->tag(), host.seatImage("image_played", seat)->tag()) << seat;
    EXPECT_EQ(handSize(newcomer.table), host.seatImage("image_cards", 2)->tag());
    EXPECT_EQ(joined.seatImage("image_cards", 1)->tag(), handSize(table()));
    for (int seat : {3, 4})
        EXPECT_EQ(joined.seatImage("image_cards", seat)->tag(), host.seatImage("image_cards", seat)->tag()) << seat;
}

TEST_F(ProgramStart, StartGameBeforeLoginSaysNotConnected) {
    QTcpServer silentHost;  // accepts, never sends the login
    ASSERT_TRUE(silentHost.listen(QHostAddress::LocalHost, 0));
    start({"Ann", "127.0.0.1", "true"}, silentHost.serverPort());
    // The own host cannot listen on a port already taken, so the table
    // reaches the silent one and waits there, not logged in.
    ASSERT_TRUE(waitUntil([&] { return silentHost.hasPendingConnections(); }));
    ASSERT_FALSE(table().state().loggedIn);
    table().action("action_startgame")->trigger();
    auto* box = table().findChild<QMessageBox*>("message_notconnected");
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(box->text(), "You are not connected");
    EXPECT_FALSE(program->gameStart().isVisible());
}

TEST_F(ProgramStart, ComputerPlayersOptionChoosesTheHostsPlayersAndIsWritten) {
    writeSettings("[Vornel]\nBotspeed=500\nBotskill=1\n");
    Program& p = start({});
    EXPECT_FALSE(p.host().expertPlayers()) << "nothing is read before login";
    ASSERT_TRUE(loggedIn());
    EXPECT_TRUE(table().action("action_botexpert")->isChecked());
    EXPECT_FALSE(table().action("action_botstandard")->isChecked());
    EXPECT_TRUE(p.host().expertPlayers());
    for (int seat = 1; seat <= 4; ++seat) EXPECT_NE(p.host().core().engine().seatPlayer(seat), nullptr);

    table().action("action_botstandard")->trigger();
    EXPECT_TRUE(table().action("action_botstandard")->isChecked());
    EXPECT_FALSE(table().action("action_botexpert")->isChecked());
    EXPECT_FALSE(p.host().expertPlayers());
    EXPECT_EQ(p.host().core().engine().seatPlayer(2), nullptr);
    EXPECT_TRUE(settingsText().contains("Botskill=0\n")) << settingsText().toStdString();

    table().action("action_botexpert")->trigger();
    EXPECT_TRUE(p.host().expertPlayers());
    EXPECT_TRUE(settingsText().contains("Botskill=1\n")) << settingsText().toStdString();
}

}  // namespace
}  // namespace vornel::app

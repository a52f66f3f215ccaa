// zelmo7-lobby-shots: pictures of what lobby players see, made with the real
// programs: a lobby server in this process on a loopback port, lobby windows
// for four players, and a real game for the table that plays.
//
//   zelmo7-lobby-shots [output-directory] [game-program]
//
// Saves lobby-first.png (the first screen), lobby-main.png (the host's main
// screen with one table waiting and one playing) and lobby-probe.png (the
// host told that the check failed, with "Start anyway"). The game defaults
// to the vornel beside this tool's directory.

#include <QApplication>
#include <QDir>
#include <QHostAddress>
#include <QLineEdit>
#include <QPushButton>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>

#include <cstdio>
#include <functional>
#include <memory>

#include "lobby/qt_lobby_server.h"
#include "lobby_window/first_screen.h"
#include "lobby_window/lobby_session.h"
#include "lobby_window/lobby_view.h"
#include "lobby_window/lobby_window.h"
#include "players/simulation.h"

namespace {

using vornel::lobby_window::LobbyConfig;
using vornel::lobby_window::LobbyView;
using vornel::lobby_window::LobbyWindow;

quint16 freePort() {
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost, 0);
    return probe.serverPort();
}

// Pumps events until `done` holds, at most `ms` milliseconds.
bool waitUntil(const std::function<bool()>& done, int ms = 60000) {
    for (int waited = 0; waited < ms; waited += 10) {
        if (done()) return true;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        QThread::msleep(10);
    }
    return done();
}

struct Player {
    QTemporaryDir home;
    std::unique_ptr<LobbyWindow> window;

    void open(const QString& gameProgram) {
        LobbyConfig config;
        config.settingsDirectory = home.path();
        config.gameProgram = gameProgram;
        config.gamePort = freePort();
        config.linkPort = freePort();
        config.localAddressOverride = "127.0.0.1";
        config.gameEnvironment.insert("VORNEL_HOME", home.path());
        config.gameEnvironment.insert("QT_QPA_PLATFORM", "offscreen");
        window = std::make_unique<LobbyWindow>(config);
        window->move(40, 40);
        window->show();
    }
    bool enter(const QString& name, quint16 serverPort) {
        window->firstScreen().setName(name);
        window->firstScreen().setServer("127.0.0.1:" + QString::number(serverPort));
        window->findChild<QPushButton*>("button_connect")->click();
        return waitUntil([&] { return !window->showsFirstScreen(); });
    }
    vornel::lobby_window::LobbySession& session() { return window->session(); }
    void click(const char* name) { window->findChild<QPushButton*>(name)->click(); }
    void newTable(const QString& title) {
        window->findChild<QLineEdit*>("edit_title")->setText(title);
        click("button_newtable");
    }
    void say(const QString& line) {
        auto* entry = window->findChild<QLineEdit*>("lobbyentry");
        entry->setText(line);
        QMetaObject::invokeMethod(entry, "returnPressed");
    }
};

bool fail(const char* what) {
    std::fprintf(stderr, "zelmo7-lobby-shots: %s\n", what);
    return false;
}

bool shoot(LobbyWindow& window, const QString& path) {
    QCoreApplication::processEvents();
    if (!window.grab().save(path)) return fail("a picture could not be saved");
    std::printf("%s\n", qPrintable(path));
    return true;
}

bool run(const QString& outDir, const QString& gameProgram) {
    vornel::RecordingDiagnostics diagnostics;
    vornel::lobby::QtLobbyServer server(diagnostics);
    if (!server.listen(0, QHostAddress::LocalHost)) return fail("the lobby server could not listen");
    const quint16 port = server.serverPort();

    Player ann, bob, cy, dee;
    ann.open(gameProgram);
    ann.window->firstScreen().setName("Ann");
    ann.window->firstScreen().setServer("lobby.example.org");
    if (!shoot(*ann.window, outDir + "/lobby-first.png")) return false;

    if (!ann.enter("Ann", port)) return fail("Ann did not get in");
    for (auto [player, name] : {std::pair{&bob, "Bob"}, std::pair{&cy, "Cy"}, std::pair{&dee, "Dee"}}) {
        player->open(gameProgram);
        if (!player->enter(name, port)) return fail("a player did not get in");
    }

    // Dee plays at her own table, the computer in the other seats: a real game.
    dee.newTable("Late show");
    if (!waitUntil([&] { return dee.session().hostsOwnTable(); })) return fail("Dee has no table");
    dee.click("button_start");
    if (!waitUntil([&] { return dee.session().game().running(); })) return fail("Dee's game did not start");

    ann.newTable("Friday game");
    if (!waitUntil([&] { return bob.session().list().table(2) != nullptr; })) return fail("Ann has no table");
    bob.window->view().selectTable(2, LobbyView::ColumnSeat3);
    bob.click("button_sit");
    cy.window->view().selectTable(2);
    cy.click("button_watch");
    ann.say("Evening all! Bob, will you partner me?");
    bob.say("Gladly, I'm in seat 3.");
    cy.say("I'll watch this one + cheer.");
    const auto settled = [&] {
        const vornel::lobby::TableRecord* late = ann.session().list().table(1);
        const vornel::lobby::TableRecord* friday = ann.session().list().table(2);
        return late != nullptr && late->state == vornel::lobby::TableState::Playing && friday != nullptr &&
               friday->seats[2] == "Bob" && friday->watchers.size() == 1;
    };
    if (!waitUntil(settled)) return fail("the tables did not settle");
    waitUntil([] { return false; }, 600);  // the last chat lines
    ann.window->view().selectTable(2);
    if (!shoot(*ann.window, outDir + "/lobby-main.png")) return false;

    // Another program holds Ann's game port: her lobby cannot listen for the check.
    QTcpServer other;
    if (!other.listen(QHostAddress::LocalHost, ann.session().config().gamePort)) return fail("the port is gone");
    ann.click("button_start");
    if (!waitUntil([&] { return ann.session().canStartAnyway(); }, 30000)) return fail("the check did not end");
    if (!shoot(*ann.window, outDir + "/lobby-probe.png")) return false;

    dee.session().game().end();
    waitUntil([&] { return !dee.session().game().busy(); }, 10000);
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    const QString outDir = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QString("screenshots");
    const QString game = argc > 2 ? QString::fromLocal8Bit(argv[2])
                                  : QCoreApplication::applicationDirPath() + "/../vornel";
    QDir().mkpath(outDir);
    return run(outDir, game) ? 0 : 1;
}

// zelmo7-lobby: The Zelmo7 Lobby's window. Players meet, sit down at a
// table together, and the lobby starts Vornel for each of them.

#include <QApplication>

#include <cstdio>
#include <cstring>

#include "app/platform.h"
#include "app/settings.h"
#include "lobby/lobby_protocol.h"
#include "lobby_window/lobby_window.h"
#include "vornel_version.h"

namespace {

constexpr char kUsage[] =
    "Usage: zelmo7-lobby\n"
    "\n"
    "The Zelmo7 Lobby: players meet on a lobby server, sit down at a table\n"
    "together, and the lobby starts the vornel beside it for each of them.\n"
    "  --help     this text\n"
    "  --version  the program's version and its lobby protocol\n"
    "\n"
    "Environment: ZELMO7_LOBBY_SERVER the lobby server's address, VORNEL_PROGRAM\n"
    "the game it starts, VORNEL_PORT the port the host's game listens on,\n"
    "ZELMO7_LOBBY_LINK_PORT the lobby link's port (9001),\n"
    "ZELMO7_LOBBY_LOCAL_ADDRESS the local address a host reports, VORNEL_HOME\n"
    "the folder of the settings files.\n";

}  // namespace

int main(int argc, char** argv) {
    // Answered before any window exists, so they need no display.
    if (argc == 2 && std::strcmp(argv[1], "--help") == 0) {
        std::fputs(kUsage, stdout);
        return 0;
    }
    if (argc == 2 && std::strcmp(argv[1], "--version") == 0) {
        std::printf("zelmo7-lobby %s (lobby protocol %d)\n", vornel::version::kFull.data(),
                    vornel::lobby::kProtocolVersion);
        return 0;
    }
    // The lobby's settings live in the game's settings directory, which
    // falls back to the user's data directory under the game's name.
    QApplication::setApplicationName("vornel");
    QApplication application(argc, argv);
    const std::filesystem::path executableDir = vornel::app::platform::executableDirectory().toStdU16String();
    const QString settingsDir = QString::fromStdU16String(vornel::app::dataDirectory(executableDir).u16string());
    QApplication::setApplicationName("zelmo7-lobby");

    vornel::lobby_window::LobbyWindow window(
        vornel::lobby_window::LobbyConfig::fromEnvironment(settingsDir, vornel::app::platform::gameProgramPath()));
    QObject::connect(&window, &vornel::lobby_window::LobbyWindow::closedAfterGame, &application, &QApplication::quit);
    window.show();
    return QApplication::exec();
}

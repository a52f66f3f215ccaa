// zelmo7-lobby: The Zelmo7 Lobby's window. Players meet, sit down at a
// table together, and the lobby starts Vornel for each of them.

#include <QApplication>

#include "app/platform.h"
#include "app/settings.h"
#include "lobby_window/lobby_window.h"

int main(int argc, char** argv) {
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

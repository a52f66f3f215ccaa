#include "lobby_window/lobby_settings.h"

#include <QDir>
#include <QSettings>

namespace vornel::lobby_window {

namespace {

QString filePath(const QString& directory) { return QDir(directory).filePath(kLobbySettingsFileName); }

}  // namespace

LobbySettings readLobbySettings(const QString& directory) {
    QSettings file(filePath(directory), QSettings::IniFormat);
    file.beginGroup("Lobby");
    return {file.value("Name").toString(), file.value("Server").toString()};
}

bool writeLobbySettings(const QString& directory, const LobbySettings& settings) {
    QDir().mkpath(directory);
    QSettings file(filePath(directory), QSettings::IniFormat);
    file.beginGroup("Lobby");
    file.setValue("Name", settings.name);
    file.setValue("Server", settings.server);
    file.endGroup();
    file.sync();
    return file.status() == QSettings::NoError;
}

}  // namespace vornel::lobby_window

#pragma once
// The lobby's own settings file, "zelmo7-lobby.ini", kept beside the game's
// settings: the player's name and the lobby server's address, section
// "Lobby", keys "Name" and "Server".

#include <QString>

namespace vornel::lobby_window {

inline constexpr const char* kLobbySettingsFileName = "zelmo7-lobby.ini";

struct LobbySettings {
    QString name;
    QString server;  // as typed: "host" or "host:port"
    friend bool operator==(const LobbySettings&, const LobbySettings&) = default;
};

// A missing file or key reads as empty.
LobbySettings readLobbySettings(const QString& directory);
// False when the file cannot be written.
bool writeLobbySettings(const QString& directory, const LobbySettings& settings);

}  // namespace vornel::lobby_window

#pragma once
// What one lobby window works with: where its settings live, which game it
// starts and the ports it uses, the lobby server's address as the player
// types it, and this computer's addresses. The program reads the
// environment once (fromEnvironment); tests make one per window, so several
// lobbies run side by side in one process.

#include <QProcessEnvironment>
#include <QString>
#include <QStringList>

#include <optional>

class QTcpSocket;

namespace vornel::lobby_window {

inline constexpr quint16 kDefaultGamePort = 7772;
inline constexpr quint16 kDefaultLinkPort = 9001;
inline constexpr quint16 kDefaultServerPort = 7773;

struct LobbyConfig {
    // The directory of the game's settings: the lobby keeps its own file there.
    QString settingsDirectory;
    // The game beside the lobby, or $VORNEL_PROGRAM.
    QString gameProgram;
    // The host's game listens here: $VORNEL_PORT, else 7772.
    quint16 gamePort = kDefaultGamePort;
    // The lobby link: $ZELMO7_LOBBY_LINK_PORT, else 9001; the game is told the same.
    quint16 linkPort = kDefaultLinkPort;
    // $ZELMO7_LOBBY_SERVER: replaces the remembered server address.
    QString serverOverride;
    // $ZELMO7_LOBBY_LOCAL_ADDRESS: the local address the host's lobby reports.
    QString localAddressOverride;
    // "Start a lobby on this computer" listens here (0 picks a free port).
    quint16 localServerPort = kDefaultServerPort;
    // What the started games inherit (VORNEL_HOME among it).
    QProcessEnvironment gameEnvironment = QProcessEnvironment::systemEnvironment();

    static LobbyConfig fromEnvironment(QString settingsDirectory, QString gameProgram);
};

// A port from an environment variable: 1..65535, else the fallback.
quint16 portFromEnvironment(const char* name, quint16 fallback);

// The lobby server's address as typed: "host" or "host:port".
struct ServerAddress {
    QString host;
    quint16 port = kDefaultServerPort;
    friend bool operator==(const ServerAddress&, const ServerAddress&) = default;
};
std::optional<ServerAddress> readServerAddress(const QString& typed);
// "host", or "host:port" when the port is not the default.
QString serverAddressText(const ServerAddress& address);

// This computer's IPv4 addresses on its networks (loopback left out), home
// network addresses first, for the player to read out to the others;
// nothing here connects to them.
QStringList networkAddresses();

// The local address the host's lobby reports with Start: the override when
// it is a dotted address, else the address this computer reaches the lobby
// server from when that is not a loopback address, else the first network
// address, else 127.0.0.1.
QString localAddress(const LobbyConfig& config, const QTcpSocket& serverSocket);

}  // namespace vornel::lobby_window

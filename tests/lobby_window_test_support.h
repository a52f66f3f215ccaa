#pragma once
// For the lobby window's tests: a lobby's configuration of its own (its
// settings folder, a free game port and link port, everything on
// 127.0.0.1), a scripted lobby server on a loopback socket, and a log of
// what a session tells its player.

#include <QObject>
#include <QString>
#include <QStringList>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "lobby_window/lobby_config.h"
#include "lobby_window/lobby_session.h"
#include "net/protocol.h"

namespace vornel::lobby_window::test {

// A port nothing listens on: taken from the system, then let go.
quint16 freePort();

// A lobby's configuration for a test: settings and its games' VORNEL_HOME
// in `home`, free ports, the local address 127.0.0.1, quiet games.
LobbyConfig testConfig(const QTemporaryDir& home, const QString& gameProgram);

// What a session said to its player, in order.
class SessionLog : public QObject {
public:
    explicit SessionLog(LobbySession& session);
    QStringList notices;
    QStringList chat;  // "name: text"
    QStringList offline;
    std::vector<std::pair<bool, QString>> probes;
    bool noticed(const QString& part) const;
};

// A lobby server that says what the test tells it to: one connection on
// 127.0.0.1, every message it receives kept.
class ScriptedServer {
public:
    ScriptedServer();
    quint16 port() const { return server_.serverPort(); }
    bool waitConnection();
    // Sends bytes as they are (a frame carries its own terminator).
    void sendRaw(std::string_view bytes);
    void send(std::string_view command, std::string_view rest);
    bool waitFor(std::string_view prefix, std::size_t from = 0);
    bool received(std::string_view prefix, std::size_t from = 0) const;
    std::size_t count() const { return messages_.size(); }
    // The lobby has closed its connection.
    bool clientClosed() const { return client_ != nullptr && client_->state() != QAbstractSocket::ConnectedState; }
    const std::vector<std::string>& messages() const { return messages_; }

private:
    QTcpServer server_;
    QTcpSocket* client_ = nullptr;
    net::Framer framer_;
    std::vector<std::string> messages_;
};

}  // namespace vornel::lobby_window::test

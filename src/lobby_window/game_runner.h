#pragma once
// The player's game, started by the lobby: the game program run with an
// argument vector (never through a shell), and the lobby link, on which
// the game's arrival says it runs and its close says it ended.
//
// The link listens on 127.0.0.1 at the link port only while a game is
// started from this lobby, so two lobbies on one computer can take turns.
// The first connection is the game's; any other is closed at once.

#include <QObject>
#include <QProcess>
#include <QString>
#include <QTcpServer>
#include <QTimer>

#include "lobby/lobby_protocol.h"
#include "lobby_window/lobby_config.h"

class QTcpSocket;

namespace vornel::lobby_window {

class GameRunner final : public QObject {
    Q_OBJECT
public:
    // A game asked to end gets this long to close its window before it is killed.
    static constexpr int kEndGraceMs = 3000;

    explicit GameRunner(const LobbyConfig& config, QObject* parent = nullptr);
    ~GameRunner() override;

    // Starts the game for a checked order. False (nothing started, error()
    // says why in plain words) when a game of this lobby still runs, the
    // link port is taken or the program cannot be started.
    bool start(const lobby::LaunchOrder& order);
    // Ends the game: asks it to close, and kills it if it does not.
    void end();

    // Started and not yet ended.
    bool busy() const { return busy_; }
    // The game has arrived on the link.
    bool running() const { return linked_; }
    int table() const { return table_; }
    lobby::Role role() const { return role_; }
    int gamePort() const { return gamePort_; }
    // How many games this lobby has started.
    int starts() const { return starts_; }
    const QString& error() const { return error_; }

Q_SIGNALS:
    // The game arrived on the lobby link.
    void arrived();
    // The game ended (its link closed, or the program ended or could not
    // start); comes once per start.
    void ended();

private:
    void onLinkConnection();
    void finish();

    const LobbyConfig& config_;
    QProcess process_;
    QTcpServer link_;
    QTcpSocket* linkSocket_ = nullptr;
    QTimer killTimer_;
    bool busy_ = false;
    bool linked_ = false;
    int table_ = 0;
    lobby::Role role_ = lobby::Role::Watcher;
    int gamePort_ = 0;
    int starts_ = 0;
    QString error_;
};

}  // namespace vornel::lobby_window

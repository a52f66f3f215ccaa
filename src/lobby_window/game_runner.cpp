#include "lobby_window/game_runner.h"

#include <QFileInfo>
#include <QHostAddress>
#include <QStandardPaths>
#include <QTcpSocket>

#include "lobby_window/launch_check.h"

namespace vornel::lobby_window {

GameRunner::GameRunner(const LobbyConfig& config, QObject* parent) : QObject(parent), config_(config) {
    // The game's own output (and any report of a crash) goes where the lobby's goes.
    process_.setProcessChannelMode(QProcess::ForwardedChannels);
    process_.setStandardInputFile(QProcess::nullDevice());
    connect(&process_, &QProcess::finished, this, [this] { finish(); });
    connect(&process_, &QProcess::errorOccurred, this, [this](QProcess::ProcessError problem) {
        if (problem != QProcess::FailedToStart) return;
        error_ = "The game could not be started (" + config_.gameProgram + "): " + process_.errorString();
        finish();
    });
    connect(&link_, &QTcpServer::newConnection, this, &GameRunner::onLinkConnection);
    killTimer_.setSingleShot(true);
    killTimer_.setInterval(kEndGraceMs);
    connect(&killTimer_, &QTimer::timeout, this, [this] {
        if (process_.state() != QProcess::NotRunning) process_.kill();
    });
}

GameRunner::~GameRunner() {
    // Going quietly: nobody is told any more, not even by the link's socket as the link goes.
    disconnect(&process_, nullptr, this, nullptr);
    if (linkSocket_ != nullptr) linkSocket_->disconnect(this);
    if (process_.state() != QProcess::NotRunning) {
        process_.kill();
        process_.waitForFinished(kEndGraceMs);
    }
}

bool GameRunner::start(const lobby::LaunchOrder& order) {
    error_.clear();
    if (busy_) {
        error_ = "Your game from this lobby is still running: close it first.";
        return false;
    }
    // The last game has left the link; its program may take a moment more to end.
    if (process_.state() != QProcess::NotRunning && !process_.waitForFinished(kEndGraceMs)) {
        error_ = "Your last game is still closing: try again in a moment.";
        return false;
    }
    // A path, or a bare name ($VORNEL_PROGRAM) found where programs are.
    QString program = config_.gameProgram;
    if (const QFileInfo file(program); !file.isFile() || !file.isExecutable())
        program = QStandardPaths::findExecutable(program);
    if (program.isEmpty()) {
        error_ = "The game was not found beside the lobby (" + config_.gameProgram + ").";
        return false;
    }
    if (!link_.listen(QHostAddress::LocalHost, config_.linkPort)) {
        error_ = "Another program on this computer (perhaps another lobby) uses TCP port " +
                 QString::number(config_.linkPort) + ", where the game tells the lobby that it runs: close it and " +
                 "try again.";
        return false;
    }
    busy_ = true;
    linked_ = false;
    table_ = order.table;
    role_ = order.role;
    gamePort_ = order.gamePort;
    ++starts_;
    process_.setProgram(program);
    process_.setArguments(gameArguments(order));
    process_.setProcessEnvironment(gameEnvironment(config_.gameEnvironment, order.gamePort, config_.linkPort));
    process_.start();
    return true;
}

void GameRunner::end() {
    if (!busy_ || process_.state() == QProcess::NotRunning) return;
    process_.terminate();
    killTimer_.start();
}

void GameRunner::onLinkConnection() {
    while (QTcpSocket* socket = link_.nextPendingConnection()) {
        if (linkSocket_ != nullptr || !busy_) {
            socket->abort();
            socket->deleteLater();
            continue;
        }
        linkSocket_ = socket;
        linked_ = true;
        // Nothing is ever read: only the close counts.
        connect(socket, &QTcpSocket::readyRead, socket, [socket] { socket->readAll(); });
        connect(socket, &QTcpSocket::disconnected, this, &GameRunner::finish);
        Q_EMIT arrived();
    }
}

void GameRunner::finish() {
    if (!busy_) return;
    busy_ = false;
    linked_ = false;
    link_.close();
    if (linkSocket_ != nullptr) {
        linkSocket_->disconnect(this);
        linkSocket_->abort();
        linkSocket_->deleteLater();
        linkSocket_ = nullptr;
    }
    Q_EMIT ended();
}

}  // namespace vornel::lobby_window

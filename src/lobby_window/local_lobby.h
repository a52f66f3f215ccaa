#pragma once
// "Start a lobby on this computer": the lobby server run inside the lobby
// program, for a game on a home network, and the addresses the others type
// to reach it. It listens on every IPv4 address of this computer.

#include <QObject>
#include <QString>
#include <QStringList>

#include <memory>
#include <string_view>

#include "engine/ports.h"
#include "lobby/qt_lobby_server.h"

namespace vornel::lobby_window {

class LocalLobby final : public QObject {
    Q_OBJECT
public:
    explicit LocalLobby(QObject* parent = nullptr);
    ~LocalLobby() override;

    // Starts listening; port 0 picks a free one. False when the port cannot
    // be had: errorString() says why in plain words.
    bool start(quint16 port);
    void stop();
    bool running() const { return server_ != nullptr && server_->isListening(); }
    quint16 port() const { return running() ? server_->serverPort() : 0; }
    const QString& errorString() const { return error_; }
    lobby::QtLobbyServer* server() { return server_.get(); }

    // What the others type as the lobby server: each network address of
    // this computer, with ":port" when the port is not the usual one.
    QStringList addressesForOthers() const;

Q_SIGNALS:
    // The server's own reports (a check it could not make, and the like).
    void report(const QString& text);

private:
    class Reports final : public Diagnostics {
    public:
        explicit Reports(LocalLobby& owner) : owner_(owner) {}
        void report(std::string_view text) override;

    private:
        LocalLobby& owner_;
    };

    Reports reports_{*this};
    std::unique_ptr<lobby::QtLobbyServer> server_;
    QString error_;
};

}  // namespace vornel::lobby_window

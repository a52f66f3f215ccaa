#pragma once
// The lobby server on Qt's TCP sockets: a listening socket, one QTcpSocket
// per connection, the queue timer, the 250 ms tick and the reachability
// checks' connections, all on the one event thread. Everything about
// players, tables and the start of games is LobbyCore's; this class only
// carries bytes, time and check results between the two.

#include <QElapsedTimer>
#include <QHostAddress>
#include <QObject>
#include <QString>
#include <QTimer>

#include <unordered_map>

#include "lobby/lobby_core.h"

class QTcpServer;
class QTcpSocket;

namespace vornel::lobby {

class QtLobbyServer final : public QObject, private LobbyTransport, private LobbyClock, private ReachabilityProber {
    Q_OBJECT

public:
    static constexpr qint64 kReadChunk = 32768;
    static constexpr int kListenBacklog = 512;
    // A connection whose peer has stopped reading is closed (as a departure)
    // once this much waits to be written to it.
    static constexpr qint64 kMaxUnsentBytes = 1024 * 1024;
    // How long a closed connection may take to hand out its last bytes.
    static constexpr int kCloseGraceMs = 5000;

    explicit QtLobbyServer(Diagnostics& diagnostics, int maxPlayers = kDefaultMaxPlayers, QObject* parent = nullptr);
    ~QtLobbyServer() override;

    // Listens on `address` (all IPv4 addresses by default); port 0 picks a
    // free one. False when the port cannot be had; errorString() says why.
    bool listen(quint16 port = kDefaultServerPort, const QHostAddress& address = QHostAddress::AnyIPv4);
    bool isListening() const;
    quint16 serverPort() const;
    QString errorString() const;
    // Sends every connection LOBBY_closing and closes it.
    void closeAll();
    // Sockets not yet destroyed, those still handing out their last bytes included.
    int openSocketCount() const;

    LobbyCore& core() { return core_; }
    const LobbyCore& core() const { return core_; }

Q_SIGNALS:
    void connectionOpened(int connection, const QString& peer);
    void connectionClosed(int connection);

private:
    class QueueTimerAdapter final : public net::QueueTimer {
    public:
        QTimer timer;
        void start() override { timer.start(); }
        void stop() override { timer.stop(); }
        bool active() const override { return timer.isActive(); }
    };

    // LobbyTransport
    void send(int connection, std::string_view bytes) override;
    void sendToMany(std::span<const int> connections, std::string_view bytes) override;
    void close(int connection) override;
    // LobbyClock
    std::int64_t nowMs() const override { return clock_.elapsed(); }
    // ReachabilityProber
    void probe(int probe, std::string_view address, int port, std::string_view token) override;

    void onNewConnection();
    void readInto(int connection, QTcpSocket* socket);
    void onPeerClosed(int connection, QTcpSocket* socket);
    void write(int connection, QTcpSocket* socket, const QByteArray& bytes);
    void dropStalled(int connection, QTcpSocket* socket);
    QTcpSocket* socketOf(int connection) const;
    static void closeSocket(QTcpSocket* socket);

    Diagnostics& diagnostics_;
    QTcpServer* server_;
    QElapsedTimer clock_;
    QueueTimerAdapter queueTimer_;
    QTimer tickTimer_;
    LobbyCore core_;
    std::unordered_map<int, QTcpSocket*> sockets_;
};

}  // namespace vornel::lobby

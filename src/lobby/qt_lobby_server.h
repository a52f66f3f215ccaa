#pragma once
// The lobby server on Qt's event loop: a QTcpServer that listens, each
// player's socket read and written directly (socket_io.h) whenever the
// socket watch says it is ready, the queue timer, the core's tick and the
// reachability checks' connections, all on the one event thread.
// Everything about players, tables and the start of games is LobbyCore's;
// this class only carries bytes, time and check results between the two.

#include <QElapsedTimer>
#include <QHostAddress>
#include <QObject>
#include <QString>
#include <QTimer>

#include <string>
#include <unordered_map>

#include "lobby/lobby_core.h"
#include "lobby/socket_watch.h"

class QTcpServer;

namespace vornel::lobby {

class QtLobbyServer final : public QObject, private LobbyTransport, private LobbyClock, private ReachabilityProber {
    Q_OBJECT

public:
    static constexpr int kListenBacklog = 512;
    static constexpr std::size_t kReadChunk = 32768;
    // Reads per readiness report, so one busy player does not hold up the rest.
    static constexpr int kReadsPerTurn = 4;
    // A connection whose peer has stopped reading is closed (as a departure)
    // once this much waits to be written to it.
    static constexpr std::size_t kMaxUnsentBytes = 1024 * 1024;
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
    // Connections not yet gone, those still handing out their last bytes included.
    int openSocketCount() const { return static_cast<int>(sockets_.size()); }

    LobbyCore& core() { return core_; }
    const LobbyCore& core() const { return core_; }

Q_SIGNALS:
    void connectionOpened(int connection, const QString& peer);
    void connectionClosed(int connection);

private:
    // Messages read are handled right after the read; the timer only takes
    // over when more wait than one turn handles, so reading goes on between.
    class QueueTimerAdapter final : public net::QueueTimer {
    public:
        QTimer timer;
        bool running = false;
        bool reading = false;
        void start() override {
            running = true;
            if (!reading && !timer.isActive()) timer.start();
        }
        void stop() override {
            running = false;
            timer.stop();
        }
        bool active() const override { return running; }
    };

    struct Socket {
        qintptr descriptor = -1;
        bool watchingWrites = false;  // something waits to be written
        std::string unsent;
        std::size_t unsentFrom = 0;
        bool closing = false;   // the server closes it: its last bytes go out, what comes is dropped
        bool finished = false;  // shut down for sending: waiting for the peer's end or the grace
        bool dropping = false;  // a drop for not reading is on its way
    };

    // LobbyTransport
    void send(int connection, std::string_view bytes) override;
    void sendToMany(std::span<const int> connections, std::string_view bytes) override;
    void close(int connection) override;
    // LobbyClock
    std::int64_t nowMs() const override { return clock_.elapsed(); }
    // ReachabilityProber
    void probe(int probe, std::string_view address, int port, std::string_view token) override;

    void scheduleTick();
    void incoming(qintptr descriptor);
    void onReadable(int connection);
    void onWritable(int connection);
    // The connection a ready socket belongs to, or 0.
    int connectionOf(qintptr descriptor) const;
    void write(int connection, Socket& socket, std::string_view bytes);
    void flushUnsent(int connection, Socket& socket);
    // The peer went: the core hears of it from the event loop, never from
    // inside one of its own sends.
    void reportGone(int connection);
    void peerGone(int connection);
    void dropStalled(int connection);
    void finishSending(int connection, Socket& socket);
    void destroy(int connection);

    // Started before the core is made: the core reads the clock from the start.
    static QElapsedTimer startedClock() {
        QElapsedTimer clock;
        clock.start();
        return clock;
    }

    Diagnostics& diagnostics_;
    QTcpServer* server_;
    SocketWatch* watch_;
    QElapsedTimer clock_ = startedClock();
    QueueTimerAdapter queueTimer_;
    QTimer tickTimer_;
    LobbyCore core_;
    std::unordered_map<int, Socket> sockets_;
    std::unordered_map<qintptr, int> byDescriptor_;
};

}  // namespace vornel::lobby

#pragma once
// The host on Qt's TCP sockets: a listening socket, one QTcpSocket per
// accepted connection, the 10 ms queue timer and the engine timer, all on the
// one event thread. Everything about records, logins, relays and the game is
// HostCore's; this class only carries bytes and timer ticks between the two.

// The engine's headers come first: a seat's hand is called `slots`, which
// Qt's keyword macros would otherwise rewrite. Hence Q_SIGNALS and Q_EMIT.
#include "engine/random.h"
#include "net/host_core.h"
#include "players/expert_player.h"

#include <QObject>
#include <QString>
#include <QTimer>

#include <array>
#include <cstdint>
#include <memory>
#include <optional>

class QTcpServer;
class QTcpSocket;

namespace vornel::net {

class QtHost final : public QObject, private HostTransport {
    Q_OBJECT

public:
    static constexpr int kListenBacklog = 5;
    static constexpr qint64 kReadChunk = 32768;
    static constexpr int kQueueTickMs = 10;
    // How long a closed connection may take to hand its last bytes (such as
    // CMD_full) to a peer that does not read before it is dropped.
    static constexpr int kCloseGraceMs = 5000;
    // A connection whose peer has stopped reading is closed (as a departure)
    // once this much waits to be written to it, so it cannot make the host
    // hold ever more memory. A whole game is a few kilobytes.
    static constexpr qint64 kMaxUnsentBytes = 4 * 1024 * 1024;

    // The bot speed is read whenever the engine arms or stops its timer, so
    // the creator may change it while the host runs. Without a seed the
    // shuffle is seeded from std::random_device.
    QtHost(const BotSpeed& botSpeed, Diagnostics& diagnostics, std::optional<std::uint64_t> seed = std::nullopt,
           QObject* parent = nullptr);
    ~QtHost() override;

    // Starts listening on all IPv4 addresses; port 0 picks a free port.
    // False when the port cannot be had; errorString() then says why.
    bool listen(quint16 port = kDefaultPort);
    bool isListening() const;
    quint16 serverPort() const;
    QString errorString() const;

    // Closes every connection, for instance at shutdown. Connections closed
    // this way are not reported as departures.
    void closeAll();

    HostCore& core() { return core_; }
    const HostCore& core() const { return core_; }
    // Whether expert computer players take the computer-played seats, from
    // their next decision on; standard players otherwise, as by default.
    void setExpertPlayers(bool expert);
    bool expertPlayers() const { return expert_ != nullptr; }
    // Connections currently mapped to a record (the refused tenth included
    // while it is being turned away).
    int connectionCount() const;
    // Sockets not yet destroyed, those still handing out their last bytes
    // after a close included: 0 once closeAll() has finished its work.
    int openSocketCount() const;
    // Idle costs nothing: both timers run only while there is work.
    bool queueTimerActive() const { return queueTimer_.timer.isActive(); }
    bool engineTimerActive() const { return engineTimer_.timer.isActive(); }
    // Ticks of the queue timer since the host was made (each handles at most
    // one message).
    int queueTicks() const { return queueTicks_; }

Q_SIGNALS:
    // A connection was accepted on this record (1..9).
    void connected(int record, const QString& peer);
    // A tenth connection was turned away with CMD_full.
    void refused(const QString& peer);
    // A connection left: closed by its peer, or closed by the host (kick,
    // flooding, an oversized message). `name` is its login name, if any.
    void disconnected(int record, const QString& name);

private:
    // HostTransport
    void send(int record, std::string_view bytes) override;
    void close(int record) override;

    class QueueTimerAdapter final : public QueueTimer {
    public:
        QTimer timer;
        // A message that finds the queue idle is handled on the next pass of
        // the event loop rather than a whole tick later; the ones behind it
        // still wait a tick each.
        void start() override {
            if (!timer.isActive()) timer.start(0);
        }
        void stop() override { timer.stop(); }
        bool active() const override { return timer.isActive(); }
    };

    class EngineTimerAdapter final : public EngineTimer {
    public:
        QTimer timer;
        void start(int intervalMs) override { timer.start(intervalMs < 1 ? 1 : intervalMs); }
        void stop() override { timer.stop(); }
    };

    void onNewConnection();
    void onReadyRead(QTcpSocket* socket);
    void onPeerClosed(QTcpSocket* socket);
    int recordOf(const QTcpSocket* socket) const;
    void readInto(int record, QTcpSocket* socket);
    void dropStalled(int record, QTcpSocket* socket);
    static void closeSocket(QTcpSocket* socket);

    Diagnostics& diagnostics_;
    QTcpServer* server_;
    SeededRandom random_;
    QueueTimerAdapter queueTimer_;
    int queueTicks_ = 0;
    EngineTimerAdapter engineTimer_;
    HostCore core_;
    std::array<QTcpSocket*, HostCore::kRecords + 1> sockets_{};  // by record, 1..11
    std::unique_ptr<ExpertPlayer> expert_;
    std::unique_ptr<PolicyPlayer> expertSeats_;  // the expert, shown only its seat's view
};

}  // namespace vornel::net

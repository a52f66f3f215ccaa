#include "lobby/qt_lobby_server.h"

#include <QMetaObject>
#include <QTcpServer>

#include <algorithm>
#include <array>
#include <string>

#include "lobby/reachability_probe.h"
#include "lobby/socket_io.h"

namespace vornel::lobby {

namespace {

// Hands each accepted connection's descriptor over instead of wrapping it
// in a QTcpSocket.
class Listener final : public QTcpServer {
public:
    Listener(std::function<void(qintptr)> onIncoming, QObject* parent)
        : QTcpServer(parent), onIncoming_(std::move(onIncoming)) {}

protected:
    void incomingConnection(qintptr descriptor) override { onIncoming_(descriptor); }

private:
    std::function<void(qintptr)> onIncoming_;
};

}  // namespace

QtLobbyServer::QtLobbyServer(Diagnostics& diagnostics, int maxPlayers, QObject* parent)
    : QObject(parent),
      diagnostics_(diagnostics),
      server_(new Listener([this](qintptr descriptor) { incoming(descriptor); }, this)),
      watch_(new SocketWatch([this](qintptr descriptor) { onReadable(connectionOf(descriptor)); },
                             [this](qintptr descriptor) { onWritable(connectionOf(descriptor)); }, this)),
      core_(LobbyCore::Ports{*this, queueTimer_, *this, *this, diagnostics}, maxPlayers) {
    // Messages are worked off as soon as the event loop is free.
    queueTimer_.timer.setInterval(0);
    connect(&queueTimer_.timer, &QTimer::timeout, this, [this] { core_.dispatchWaiting(); });
    // Aimed anew after each tick at the moment the core names, so a late
    // tick does not make the next ones late.
    tickTimer_.setSingleShot(true);
    tickTimer_.setTimerType(Qt::PreciseTimer);
    connect(&tickTimer_, &QTimer::timeout, this, [this] {
        core_.tick();
        scheduleTick();
    });
    scheduleTick();
    server_->setListenBacklogSize(kListenBacklog);
}

QtLobbyServer::~QtLobbyServer() {
    queueTimer_.timer.stop();
    tickTimer_.stop();
    for (auto& [connection, socket] : sockets_) {
        watch_->remove(socket.descriptor);
        socket_io::close(socket.descriptor);
    }
    sockets_.clear();
    byDescriptor_.clear();
}

void QtLobbyServer::scheduleTick() {
    const std::int64_t wait = std::clamp<std::int64_t>(core_.nextTickMs() - nowMs(), 0, LobbyCore::kTickIntervalMs);
    tickTimer_.start(static_cast<int>(wait));
}

bool QtLobbyServer::listen(quint16 port, const QHostAddress& address) { return server_->listen(address, port); }
bool QtLobbyServer::isListening() const { return server_->isListening(); }
quint16 QtLobbyServer::serverPort() const { return server_->serverPort(); }
QString QtLobbyServer::errorString() const { return server_->errorString(); }

void QtLobbyServer::incoming(qintptr descriptor) {
    if (!socket_io::prepare(descriptor)) {
        socket_io::close(descriptor);
        return;
    }
    const QString peer = socket_io::peerAddress(descriptor).toString();
    const int connection = core_.accept(peer.toStdString());
    Socket& socket = sockets_[connection];
    socket.descriptor = descriptor;
    byDescriptor_[descriptor] = connection;
    watch_->add(descriptor);
    Q_EMIT connectionOpened(connection, peer);
    core_.welcome(connection);
}

void QtLobbyServer::onReadable(int connection) {
    static std::array<char, kReadChunk> chunk;
    queueTimer_.reading = true;
    for (int turn = 0; turn < kReadsPerTurn; ++turn) {
        const auto it = sockets_.find(connection);
        if (it == sockets_.end()) break;
        Socket& socket = it->second;
        const socket_io::Result read = socket_io::receive(socket.descriptor, chunk.data(), chunk.size());
        if (read.outcome == socket_io::Outcome::WouldBlock) break;
        if (read.outcome == socket_io::Outcome::Closed) {
            // The peer's end: for a connection being closed, the close is complete.
            if (socket.closing) destroy(connection);
            else peerGone(connection);
            break;
        }
        // What comes after the server has closed the connection is not wanted.
        if (!socket.closing) core_.received(connection, std::string_view(chunk.data(), read.bytes));
        // A short read took all there was; the event loop reports anything newer.
        if (read.bytes < chunk.size()) break;
    }
    queueTimer_.reading = false;
    if (queueTimer_.running) core_.dispatchWaiting();
    if (queueTimer_.running && !queueTimer_.timer.isActive()) queueTimer_.timer.start();
}

void QtLobbyServer::send(int connection, std::string_view bytes) {
    const auto it = sockets_.find(connection);
    if (it != sockets_.end()) write(connection, it->second, bytes);
}

void QtLobbyServer::sendToMany(std::span<const int> connections, std::string_view bytes) {
    // The same bytes straight to each socket; only what one cannot take yet is copied.
    for (const int connection : connections) send(connection, bytes);
}

void QtLobbyServer::write(int connection, Socket& socket, std::string_view bytes) {
    if (socket.finished || socket.dropping || bytes.empty()) return;
    if (socket.unsent.size() == socket.unsentFrom) {
        const socket_io::Result sent = socket_io::send(socket.descriptor, bytes.data(), bytes.size());
        if (sent.outcome == socket_io::Outcome::Closed) {
            reportGone(connection);
            return;
        }
        if (sent.outcome == socket_io::Outcome::Done) bytes.remove_prefix(sent.bytes);
        if (bytes.empty()) return;
        socket.unsent.clear();
        socket.unsentFrom = 0;
    }
    socket.unsent.append(bytes);
    if (!socket.watchingWrites) {
        socket.watchingWrites = true;
        watch_->watchWriting(socket.descriptor, true);
    }
    if (socket.unsent.size() - socket.unsentFrom > kMaxUnsentBytes && !socket.closing) {
        socket.dropping = true;
        // Not from inside the core's send: it may be walking its connections.
        QMetaObject::invokeMethod(this, [this, connection] { dropStalled(connection); }, Qt::QueuedConnection);
    }
}

int QtLobbyServer::connectionOf(qintptr descriptor) const {
    const auto it = byDescriptor_.find(descriptor);
    return it == byDescriptor_.end() ? 0 : it->second;
}

void QtLobbyServer::onWritable(int connection) {
    const auto it = sockets_.find(connection);
    if (it != sockets_.end()) flushUnsent(connection, it->second);
}

void QtLobbyServer::flushUnsent(int connection, Socket& socket) {
    while (socket.unsentFrom < socket.unsent.size()) {
        const socket_io::Result sent = socket_io::send(socket.descriptor, socket.unsent.data() + socket.unsentFrom,
                                                       socket.unsent.size() - socket.unsentFrom);
        if (sent.outcome == socket_io::Outcome::WouldBlock) return;
        if (sent.outcome == socket_io::Outcome::Closed) {
            if (socket.closing) destroy(connection);
            else peerGone(connection);
            return;
        }
        socket.unsentFrom += sent.bytes;
    }
    socket.unsent.clear();
    socket.unsent.shrink_to_fit();
    socket.unsentFrom = 0;
    socket.watchingWrites = false;
    watch_->watchWriting(socket.descriptor, false);
    if (socket.closing) finishSending(connection, socket);
}

void QtLobbyServer::reportGone(int connection) {
    QMetaObject::invokeMethod(
        this,
        [this, connection] {
            const auto it = sockets_.find(connection);
            if (it != sockets_.end() && !it->second.closing) peerGone(connection);
        },
        Qt::QueuedConnection);
}

void QtLobbyServer::peerGone(int connection) {
    if (!sockets_.contains(connection)) return;
    destroy(connection);
    core_.connectionClosed(connection);
    Q_EMIT connectionClosed(connection);
}

void QtLobbyServer::dropStalled(int connection) {
    const auto it = sockets_.find(connection);
    if (it == sockets_.end() || it->second.closing) return;
    diagnostics_.report("connection " + std::to_string(connection) + " closed: it does not read what it is sent");
    peerGone(connection);
}

void QtLobbyServer::close(int connection) {
    const auto it = sockets_.find(connection);
    if (it == sockets_.end() || it->second.closing) return;
    Socket& socket = it->second;
    socket.closing = true;
    Q_EMIT connectionClosed(connection);
    // Its last bytes (a refusal, a closing notice) go out first; a peer that
    // does not take them gets a few seconds.
    QTimer::singleShot(kCloseGraceMs, this, [this, connection] { destroy(connection); });
    if (socket.unsentFrom == socket.unsent.size()) finishSending(connection, socket);
}

void QtLobbyServer::finishSending(int, Socket& socket) {
    if (socket.finished) return;
    socket.finished = true;
    socket_io::shutdownSending(socket.descriptor);
}

void QtLobbyServer::destroy(int connection) {
    const auto it = sockets_.find(connection);
    if (it == sockets_.end()) return;
    Socket& socket = it->second;
    watch_->remove(socket.descriptor);
    byDescriptor_.erase(socket.descriptor);
    socket_io::close(socket.descriptor);
    sockets_.erase(it);
}

void QtLobbyServer::closeAll() { core_.closeAll(); }

void QtLobbyServer::probe(int probe, std::string_view address, int port, std::string_view token) {
    new ReachabilityProbe(QString::fromLatin1(address.data(), static_cast<qsizetype>(address.size())),
                          static_cast<quint16>(port), std::string(token),
                          [this, probe](ProbeResult result) { core_.probeFinished(probe, result); },
                          kProbeConnectMs, kProbeReadMs, this);
}

}  // namespace vornel::lobby

#include "lobby/qt_lobby_server.h"

#include <QMetaObject>
#include <QPointer>
#include <QTcpServer>
#include <QTcpSocket>

#include <string>

#include "lobby/reachability_probe.h"

namespace vornel::lobby {

namespace {

// Set on a socket whose drop for not reading has been scheduled.
constexpr const char* kDropping = "lobbyDropping";

}  // namespace

QtLobbyServer::QtLobbyServer(Diagnostics& diagnostics, int maxPlayers, QObject* parent)
    : QObject(parent),
      diagnostics_(diagnostics),
      server_(new QTcpServer(this)),
      core_(LobbyCore::Ports{*this, queueTimer_, *this, *this, diagnostics}, maxPlayers) {
    clock_.start();
    // Messages are worked off as soon as the event loop is free.
    queueTimer_.timer.setInterval(0);
    connect(&queueTimer_.timer, &QTimer::timeout, this, [this] { core_.dispatchWaiting(); });
    tickTimer_.setInterval(kUpdateIntervalMs);
    tickTimer_.setTimerType(Qt::PreciseTimer);
    connect(&tickTimer_, &QTimer::timeout, this, [this] { core_.tick(); });
    tickTimer_.start();
    server_->setListenBacklogSize(kListenBacklog);
    connect(server_, &QTcpServer::newConnection, this, &QtLobbyServer::onNewConnection);
}

QtLobbyServer::~QtLobbyServer() {
    queueTimer_.timer.stop();
    tickTimer_.stop();
    // No close may reach a core that is going away.
    for (QTcpSocket* socket : server_->findChildren<QTcpSocket*>()) socket->disconnect(this);
    server_->disconnect(this);
    sockets_.clear();
    delete server_;
}

bool QtLobbyServer::listen(quint16 port, const QHostAddress& address) { return server_->listen(address, port); }
bool QtLobbyServer::isListening() const { return server_->isListening(); }
quint16 QtLobbyServer::serverPort() const { return server_->serverPort(); }
QString QtLobbyServer::errorString() const { return server_->errorString(); }

int QtLobbyServer::openSocketCount() const {
    return static_cast<int>(server_->findChildren<QTcpSocket*>(Qt::FindDirectChildrenOnly).size());
}

QTcpSocket* QtLobbyServer::socketOf(int connection) const {
    const auto it = sockets_.find(connection);
    return it == sockets_.end() ? nullptr : it->second;
}

void QtLobbyServer::onNewConnection() {
    while (QTcpSocket* socket = server_->nextPendingConnection()) {
        socket->setSocketOption(QAbstractSocket::LowDelayOption, 1);
        const QString peer = socket->peerAddress().toString();
        const int connection = core_.accept(peer.toStdString());
        sockets_[connection] = socket;
        connect(socket, &QTcpSocket::readyRead, this, [this, connection, socket] { readInto(connection, socket); });
        connect(socket, &QTcpSocket::disconnected, this, [this, connection, socket] { onPeerClosed(connection, socket); });
        connect(socket, &QTcpSocket::errorOccurred, this, [this, connection, socket] {
            if (socket->state() == QAbstractSocket::UnconnectedState) onPeerClosed(connection, socket);
        });
        Q_EMIT connectionOpened(connection, peer);
        core_.welcome(connection);
    }
}

void QtLobbyServer::readInto(int connection, QTcpSocket* socket) {
    if (socketOf(connection) != socket) {
        socket->readAll();  // closed by the server; its last bytes are not wanted
        return;
    }
    char chunk[kReadChunk];
    // Stop as soon as the core closes the connection (too long, a flood).
    while (socketOf(connection) == socket && socket->bytesAvailable() > 0) {
        const qint64 n = socket->read(chunk, kReadChunk);
        if (n <= 0) break;
        core_.received(connection, std::string_view(chunk, static_cast<std::size_t>(n)));
    }
}

void QtLobbyServer::onPeerClosed(int connection, QTcpSocket* socket) {
    if (socketOf(connection) != socket) return;  // already handled, or closed by the server
    readInto(connection, socket);
    if (socketOf(connection) != socket) return;  // its last bytes closed it
    sockets_.erase(connection);
    core_.connectionClosed(connection);
    Q_EMIT connectionClosed(connection);
    socket->deleteLater();
}

void QtLobbyServer::write(int connection, QTcpSocket* socket, const QByteArray& bytes) {
    socket->write(bytes);
    if (socket->bytesToWrite() > kMaxUnsentBytes && !socket->property(kDropping).toBool()) {
        socket->setProperty(kDropping, true);
        // Not from inside the core's send: it may be walking its connections.
        QMetaObject::invokeMethod(
            this, [this, connection, guard = QPointer<QTcpSocket>(socket)] { dropStalled(connection, guard); },
            Qt::QueuedConnection);
    }
}

void QtLobbyServer::send(int connection, std::string_view bytes) {
    if (QTcpSocket* socket = socketOf(connection))
        write(connection, socket, QByteArray(bytes.data(), static_cast<qsizetype>(bytes.size())));
}

void QtLobbyServer::sendToMany(std::span<const int> connections, std::string_view bytes) {
    // One buffer for all: Qt shares a large one among the sockets' queues.
    const QByteArray shared(bytes.data(), static_cast<qsizetype>(bytes.size()));
    for (const int connection : connections)
        if (QTcpSocket* socket = socketOf(connection)) write(connection, socket, shared);
}

void QtLobbyServer::dropStalled(int connection, QTcpSocket* socket) {
    if (socket == nullptr || socketOf(connection) != socket) return;  // gone meanwhile
    diagnostics_.report("connection " + std::to_string(connection) + " closed: it does not read what it is sent");
    sockets_.erase(connection);
    socket->abort();
    socket->deleteLater();
    core_.connectionClosed(connection);
    Q_EMIT connectionClosed(connection);
}

void QtLobbyServer::close(int connection) {
    QTcpSocket* socket = socketOf(connection);
    if (socket == nullptr) return;
    sockets_.erase(connection);
    closeSocket(socket);
    Q_EMIT connectionClosed(connection);
}

void QtLobbyServer::closeSocket(QTcpSocket* socket) {
    // disconnectFromHost() writes what is still buffered (a refusal, a
    // closing notice) before it closes. A peer that does not read gets a few
    // seconds; one that has stalled is cut off at once.
    if (socket->bytesToWrite() > kMaxUnsentBytes) {
        socket->abort();
        socket->deleteLater();
        return;
    }
    connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
    QTimer::singleShot(kCloseGraceMs, socket, [socket] {
        socket->abort();
        socket->deleteLater();
    });
    socket->disconnectFromHost();
    if (socket->state() == QAbstractSocket::UnconnectedState) socket->deleteLater();
}

void QtLobbyServer::closeAll() { core_.closeAll(); }

void QtLobbyServer::probe(int probe, std::string_view address, int port, std::string_view token) {
    new ReachabilityProbe(QString::fromLatin1(address.data(), static_cast<qsizetype>(address.size())),
                          static_cast<quint16>(port), std::string(token),
                          [this, probe](ProbeResult result) { core_.probeFinished(probe, result); },
                          kProbeConnectMs, kProbeReadMs, this);
}

}  // namespace vornel::lobby

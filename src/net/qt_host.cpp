#include "qt_host.h"

#include <QHostAddress>
#include <QMetaObject>
#include <QPointer>
#include <QTcpServer>
#include <QTcpSocket>

#include <random>
#include <string>

namespace vornel::net {

namespace {

std::uint64_t freshSeed() {
    std::random_device device;
    return (std::uint64_t{device()} << 32) ^ device();
}

// Set on a socket whose drop for not reading has been scheduled.
constexpr const char* kDropping = "vornelDropping";

QString peerOf(const QTcpSocket* socket) {
    return socket->peerAddress().toString() + QLatin1Char(':') + QString::number(socket->peerPort());
}

}  // namespace

QtHost::QtHost(const BotSpeed& botSpeed, Diagnostics& diagnostics, std::optional<std::uint64_t> seed,
               QObject* parent)
    : QObject(parent),
      diagnostics_(diagnostics),
      server_(new QTcpServer(this)),
      random_(seed ? *seed : freshSeed()),
      core_(HostCore::Ports{*this, queueTimer_, engineTimer_, random_, diagnostics, botSpeed}) {
    queueTimer_.timer.setInterval(kQueueTickMs);
    // Precise timers: a message waits one 10 ms tick, not one tick plus slack,
    // and test games can run the engine at a millisecond or two.
    queueTimer_.timer.setTimerType(Qt::PreciseTimer);
    engineTimer_.timer.setTimerType(Qt::PreciseTimer);
    connect(&queueTimer_.timer, &QTimer::timeout, this, [this] {
        // After the first tick of a run the queue is worked off every 10 ms.
        if (queueTimer_.timer.interval() != kQueueTickMs) queueTimer_.timer.setInterval(kQueueTickMs);
        ++queueTicks_;
        core_.dispatchOne();
    });
    connect(&engineTimer_.timer, &QTimer::timeout, this, [this] { core_.engineTick(); });

    server_->setListenBacklogSize(kListenBacklog);
    connect(server_, &QTcpServer::newConnection, this, &QtHost::onNewConnection);
}

QtHost::~QtHost() {
    queueTimer_.timer.stop();
    engineTimer_.timer.stop();
    // Sockets are children of the server; cut their signals to this object
    // before they are destroyed, so that no close is reported to a core that
    // is going away.
    for (QTcpSocket* socket : server_->findChildren<QTcpSocket*>()) socket->disconnect(this);
    server_->disconnect(this);
    sockets_.fill(nullptr);
    delete server_;
}

bool QtHost::listen(quint16 port) { return server_->listen(QHostAddress::AnyIPv4, port); }

bool QtHost::isListening() const { return server_->isListening(); }

quint16 QtHost::serverPort() const { return server_->serverPort(); }

QString QtHost::errorString() const { return server_->errorString(); }

int QtHost::connectionCount() const {
    int count = 0;
    for (const QTcpSocket* socket : sockets_) count += socket != nullptr;
    return count;
}

int QtHost::openSocketCount() const {
    return static_cast<int>(server_->findChildren<QTcpSocket*>(Qt::FindDirectChildrenOnly).size());
}

int QtHost::recordOf(const QTcpSocket* socket) const {
    for (int record = 1; record <= HostCore::kRecords; ++record)
        if (sockets_[record] == socket) return record;
    return 0;
}

void QtHost::onNewConnection() {
    while (QTcpSocket* socket = server_->nextPendingConnection()) {
        // Messages are small and a player waits for each answer: send at once.
        socket->setSocketOption(QAbstractSocket::LowDelayOption, 1);
        connect(socket, &QTcpSocket::readyRead, this, [this, socket] { onReadyRead(socket); });
        connect(socket, &QTcpSocket::disconnected, this, [this, socket] { onPeerClosed(socket); });
        connect(socket, &QTcpSocket::errorOccurred, this, [this, socket] {
            if (socket->state() == QAbstractSocket::UnconnectedState) onPeerClosed(socket);
        });

        const int record = core_.accept();
        if (record < 1 || record > HostCore::kRecords || sockets_[record] != nullptr) {
            // The core handed out a record that cannot take a connection.
            closeSocket(socket);
            continue;
        }
        sockets_[record] = socket;
        if (record == HostCore::kRefusedRecord) Q_EMIT refused(peerOf(socket));
        else Q_EMIT connected(record, peerOf(socket));
        core_.welcome(record);
    }
}

void QtHost::readInto(int record, QTcpSocket* socket) {
    char chunk[kReadChunk];
    // Stop as soon as the core closes the connection (an oversized message,
    // a flood): whatever else it sent is not wanted.
    while (sockets_[record] == socket && socket->bytesAvailable() > 0) {
        const qint64 n = socket->read(chunk, kReadChunk);
        if (n <= 0) break;
        core_.received(record, std::string_view(chunk, static_cast<std::size_t>(n)));
    }
}

void QtHost::onReadyRead(QTcpSocket* socket) {
    const int record = recordOf(socket);
    if (record == 0) {
        socket->readAll();  // closed by the host; its last bytes are not wanted
        return;
    }
    readInto(record, socket);
}

void QtHost::onPeerClosed(QTcpSocket* socket) {
    const int record = recordOf(socket);
    if (record == 0) return;  // already handled, or closed by the host
    readInto(record, socket);
    if (sockets_[record] != socket) return;  // the last bytes closed it
    const QString name = QString::fromLatin1(core_.record(record).name);
    sockets_[record] = nullptr;
    core_.connectionClosed(record);
    if (record != HostCore::kRefusedRecord) Q_EMIT disconnected(record, name);
    socket->deleteLater();
}

void QtHost::send(int record, std::string_view bytes) {
    if (record < 1 || record > HostCore::kRecords) return;
    QTcpSocket* socket = sockets_[record];
    if (socket == nullptr) return;
    socket->write(bytes.data(), static_cast<qint64>(bytes.size()));
    if (socket->bytesToWrite() > kMaxUnsentBytes && !socket->property(kDropping).toBool()) {
        socket->setProperty(kDropping, true);
        // Not from inside the core's send: it may be walking its records.
        QMetaObject::invokeMethod(
            this, [this, record, guard = QPointer<QTcpSocket>(socket)] { dropStalled(record, guard); },
            Qt::QueuedConnection);
    }
}

void QtHost::dropStalled(int record, QTcpSocket* socket) {
    if (socket == nullptr || sockets_[record] != socket) return;  // gone meanwhile
    diagnostics_.report("Connection " + std::to_string(record) + " closed: it does not read what it is sent");
    core_.disconnectsock(record);
    if (sockets_[record] == socket) close(record);
}

void QtHost::close(int record) {
    if (record < 1 || record > HostCore::kRecords) return;
    QTcpSocket* socket = sockets_[record];
    if (socket == nullptr) return;
    const QString name = QString::fromLatin1(core_.record(record).name);
    sockets_[record] = nullptr;
    closeSocket(socket);
    if (record != HostCore::kRefusedRecord) Q_EMIT disconnected(record, name);
}

void QtHost::closeSocket(QTcpSocket* socket) {
    // disconnectFromHost() writes what is still buffered (CMD_full, say)
    // before it closes; deleting the socket earlier would drop those bytes.
    // A peer that never reads gets a few seconds, then is cut off; one that
    // has already stalled is cut off at once.
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

void QtHost::closeAll() {
    for (int record = 1; record <= HostCore::kRecords; ++record) {
        if (sockets_[record] == nullptr) continue;
        // Through the core, so that it forgets the connection as well; what
        // the core leaves open is closed here.
        if (record != HostCore::kRefusedRecord) core_.disconnectsock(record);
        if (sockets_[record] != nullptr) close(record);
    }
}

void QtHost::setExpertPlayers(bool expert) {
    if (expert == expertPlayers()) return;
    if (expert) {
        // Seeded from a copy of the host's generator, so the deal does not change.
        SeededRandom copy = random_;
        expert_ = std::make_unique<ExpertPlayer>(copy.next());
        expertSeats_ = std::make_unique<PolicyPlayer>(*expert_);
    }
    for (int seat = 1; seat <= 4; ++seat) core_.engine().setSeatPlayer(seat, expert ? expertSeats_.get() : nullptr);
    if (!expert) {
        expertSeats_.reset();
        expert_.reset();
    }
}

}  // namespace vornel::net

#include "net/table_connection.h"

#include <array>

namespace vornel::net {

namespace {
constexpr qint64 kReadChunk = 32768;
}

TableConnection::TableConnection(QObject* parent) : QObject(parent), socket_(this), timer_(this) {
    timer_.setInterval(kTickMs);
    timer_.setTimerType(Qt::PreciseTimer);
    connect(&timer_, &QTimer::timeout, this, &TableConnection::tick);
    connect(&socket_, &QTcpSocket::readyRead, this, &TableConnection::readBytes);
    connect(&socket_, &QTcpSocket::connected, this, [this] {
        everConnected_ = true;
        Q_EMIT connected();
    });
    connect(&socket_, &QTcpSocket::errorOccurred, this, &TableConnection::onError);
    connect(&socket_, &QTcpSocket::disconnected, this, [this] {
        if (reportedEnd_) return;
        reportedEnd_ = true;
        // Whatever arrived before the close is still worked off first.
        readBytes();
        Q_EMIT closedByHost();
    });
}

TableConnection::~TableConnection() {
    // The socket's own teardown reports a close; nothing here may hear it.
    socket_.disconnect(this);
    timer_.stop();
    socket_.abort();
}

void TableConnection::connectToHost(const QString& host, quint16 port) {
    everConnected_ = false;
    reportedEnd_ = false;
    framer_.clear();
    socket_.connectToHost(host, port);
}

void TableConnection::reset() {
    reportedEnd_ = true;  // the abort is ours, not the host's close
    socket_.abort();
    timer_.stop();
    framer_.clear();
    queue_ = ReceiveQueue();
    everConnected_ = false;
    reportedEnd_ = false;
}

void TableConnection::onError(QAbstractSocket::SocketError error) {
    if (reportedEnd_) return;
    if (!everConnected_) {
        reportedEnd_ = true;
        Q_EMIT connectFailed();
        return;
    }
    // An orderly close by the host reports RemoteHostClosedError too; that
    // one is answered by the disconnected signal.
    if (error == QAbstractSocket::RemoteHostClosedError) return;
    reportedEnd_ = true;
    Q_EMIT connectionLost();
}

void TableConnection::send(std::string_view command, std::span<const Field> fields) {
    if (!isOpen()) return;
    std::string bytes;
    appendFrame(bytes, command, fields);
    socket_.write(bytes.data(), static_cast<qint64>(bytes.size()));
}

void TableConnection::sendText(std::string_view text) {
    if (!isOpen()) return;
    std::string bytes(text);
    bytes.push_back(kTerminator);
    socket_.write(bytes.data(), static_cast<qint64>(bytes.size()));
}

void TableConnection::readBytes() {
    std::array<char, kReadChunk> buffer;
    while (socket_.bytesAvailable() > 0) {
        const qint64 got = socket_.read(buffer.data(), kReadChunk);
        if (got <= 0) break;
        if (!received(std::string_view(buffer.data(), static_cast<std::size_t>(got)))) return;
    }
}

bool TableConnection::received(std::string_view bytes) {
    bool flooded = false;
    const bool fits = framer_.feed(bytes, [this, &flooded](std::string_view message) {
        if (flooded) return;
        queue_.push(0, message);
        flooded = queue_.size() > kMaxWaiting;
    });
    if (!fits || flooded) {
        // A host that never ends its message, or floods, is not a host we can follow.
        framer_.clear();
        socket_.abort();
        if (!queue_.empty()) startTicks();
        return false;
    }
    if (!queue_.empty()) startTicks();
    return true;
}

void TableConnection::startTicks() {
    // The timer ticks only while there is work, so a message that finds it
    // idle is handled on the next pass of the event loop, as a timer that
    // kept running would take it within its millisecond; the ones behind it
    // wait a tick each.
    if (!timer_.isActive()) timer_.start(0);
}

void TableConnection::wake() {
    if (!timer_.isActive()) timer_.start();
}

void TableConnection::tick() {
    if (timer_.interval() != kTickMs) timer_.setInterval(kTickMs);
    if (auto message = queue_.pop(); message && onMessage_) onMessage_(message->text);
    const bool hookNeedsTicks = tickHook_ ? tickHook_() : false;
    if (queue_.empty() && !hookNeedsTicks) timer_.stop();
}

}  // namespace vornel::net

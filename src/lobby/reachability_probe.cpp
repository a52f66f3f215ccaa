#include "lobby/reachability_probe.h"

#include <QHostAddress>

namespace vornel::lobby {

ReachabilityProbe::ReachabilityProbe(const QString& address, quint16 port, std::string token, Done done,
                                     int connectMs, int readMs, QObject* parent)
    : QObject(parent), token_(std::move(token)), done_(std::move(done)), readMs_(readMs) {
    timer_.setSingleShot(true);
    connect(&timer_, &QTimer::timeout, this, &ReachabilityProbe::onTimeout);
    connect(&socket_, &QTcpSocket::connected, this, &ReachabilityProbe::onConnected);
    connect(&socket_, &QTcpSocket::readyRead, this, &ReachabilityProbe::onReadyRead);
    connect(&socket_, &QTcpSocket::errorOccurred, this, &ReachabilityProbe::onError);
    timer_.start(connectMs);
    // An address, never a name: nothing is looked up.
    socket_.connectToHost(QHostAddress(address), port);
}

void ReachabilityProbe::onConnected() {
    connected_ = true;
    timer_.start(readMs_);
}

void ReachabilityProbe::onReadyRead() {
    while (!finished_ && socket_.bytesAvailable() > 0) {
        char chunk[kMaxProbeReply];
        const qint64 n = socket_.read(chunk, static_cast<qint64>(sizeof chunk));
        if (n <= 0) break;
        reply_.append(chunk, static_cast<std::size_t>(n));
        const auto end = reply_.find(net::kTerminator);
        if (end != std::string::npos) finish(reply_.compare(0, end, token_) == 0 && end == token_.size()
                                                 ? ProbeResult::Reachable
                                                 : ProbeResult::Other);
        else if (reply_.size() >= kMaxProbeReply) finish(ProbeResult::Other);
    }
}

void ReachabilityProbe::onError(QAbstractSocket::SocketError error) {
    if (finished_) return;
    if (connected_) {
        onReadyRead();  // whatever came before the close
        // Something accepted the connection and closed it without the token.
        finish(ProbeResult::Other);
        return;
    }
    finish(error == QAbstractSocket::ConnectionRefusedError ? ProbeResult::Refused : ProbeResult::NoAnswer);
}

void ReachabilityProbe::onTimeout() {
    // Connected but silent: another program holds the port. Never connected:
    // something on the way drops the connection.
    finish(connected_ ? ProbeResult::Other : ProbeResult::NoAnswer);
}

void ReachabilityProbe::finish(ProbeResult result) {
    if (finished_) return;
    finished_ = true;
    timer_.stop();
    socket_.disconnect(this);
    socket_.abort();
    Done done = std::move(done_);
    deleteLater();
    done(result);
}

}  // namespace vornel::lobby

#include "lobby_window/probe_listener.h"

#include <QRandomGenerator>
#include <QTcpSocket>

#include "net/protocol.h"

namespace vornel::lobby_window {

ProbeListener::ProbeListener(QObject* parent) : QObject(parent) {
    timer_.setSingleShot(true);
    timer_.setInterval(kListenMs);
    connect(&timer_, &QTimer::timeout, this, &ProbeListener::stop);
    connect(&server_, &QTcpServer::newConnection, this, &ProbeListener::answer);
}

std::string ProbeListener::makeToken() {
    static constexpr char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    std::string token;
    for (int i = 0; i < kTokenLength; ++i)
        token += kAlphabet[QRandomGenerator::system()->bounded(static_cast<int>(sizeof kAlphabet - 1))];
    return token;
}

bool ProbeListener::listen(quint16 port) {
    stop();
    if (!server_.listen(QHostAddress::AnyIPv4, port)) return false;
    token_ = makeToken();
    timer_.start();
    return true;
}

void ProbeListener::stop() {
    timer_.stop();
    server_.close();
}

void ProbeListener::answer() {
    while (QTcpSocket* socket = server_.nextPendingConnection()) {
        const std::string reply = token_ + net::kTerminator;
        socket->write(reply.data(), static_cast<qint64>(reply.size()));
        socket->disconnectFromHost();
        // A peer that never lets go goes with the listener, its parent.
        connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
    }
}

}  // namespace vornel::lobby_window

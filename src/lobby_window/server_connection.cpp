#include "lobby_window/server_connection.h"

#include "lobby/lobby_protocol.h"

namespace vornel::lobby_window {

ServerConnection::ServerConnection(QObject* parent) : QObject(parent) {
    aliveTimer_.setInterval(kCheckEveryMs);
    connect(&aliveTimer_, &QTimer::timeout, this, &ServerConnection::checkAlive);
    connect(&socket_, &QTcpSocket::connected, this, [this] {
        connected_ = true;
        lastHeard_.start();
        pinged_ = false;
        aliveTimer_.start();
        Q_EMIT opened();
    });
    connect(&socket_, &QTcpSocket::readyRead, this, &ServerConnection::onReadyRead);
    connect(&socket_, &QTcpSocket::errorOccurred, this, [this](QAbstractSocket::SocketError error) {
        if (!connected_) {
            end("The lobby server at " + target_ + " could not be reached: " + socket_.errorString());
            return;
        }
        onReadyRead();  // whatever came before the close
        end(error == QAbstractSocket::RemoteHostClosedError ? QString("The lobby server closed the connection.")
                                                              : "The connection to the lobby server broke: " +
                                                                    socket_.errorString());
    });
}

void ServerConnection::open(const QString& host, quint16 port) {
    close();
    socket_.abort();
    active_ = true;
    target_ = port == lobby::kDefaultServerPort ? host : host + ':' + QString::number(port);
    framer_.clear();
    socket_.connectToHost(host, port);
}

void ServerConnection::close() {
    active_ = false;
    aliveTimer_.stop();
    connected_ = false;
    // What was sent last (the end of a game, say) still goes out first.
    if (socket_.state() == QAbstractSocket::ConnectedState) socket_.disconnectFromHost();
    else socket_.abort();
}

void ServerConnection::send(std::string_view frame) {
    if (isOpen()) socket_.write(frame.data(), static_cast<qint64>(frame.size()));
}

void ServerConnection::onReadyRead() {
    char chunk[kReadChunk];
    while (connected_ && socket_.bytesAvailable() > 0) {
        const qint64 n = socket_.read(chunk, kReadChunk);
        if (n <= 0) return;
        lastHeard_.start();
        pinged_ = false;
        const bool fits = framer_.feed(std::string_view(chunk, static_cast<std::size_t>(n)), [&](std::string_view m) {
            if (connected_ && onMessage) onMessage(m);
        });
        if (!fits) {
            end("The lobby server sent a message too long to read: the lobby left it.");
            return;
        }
    }
}

void ServerConnection::checkAlive() {
    if (!connected_) return;
    const qint64 silent = lastHeard_.elapsed();
    if (silent >= kSilentMs) {
        end("Nothing came from the lobby server for 45 seconds: the lobby left it.");
    } else if (silent >= kQuietMs && !pinged_) {
        pinged_ = true;
        send(lobby::build::ping());
    }
}

void ServerConnection::end(const QString& why) {
    if (!active_) return;
    close();
    Q_EMIT closed(why);
}

}  // namespace vornel::lobby_window

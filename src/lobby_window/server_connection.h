#pragma once
// The lobby window's connection to the lobby server: the socket, the
// messages cut at the terminator by the game's Framer, and the keep-alive.
// A server that stays silent for kSilentMs is taken for dead; after
// kQuietMs of silence the window asks with LOBBY_ping, so a live server
// always has something to say.

#include <QElapsedTimer>
#include <QObject>
#include <QString>
#include <QTcpSocket>
#include <QTimer>

#include <functional>
#include <string>
#include <string_view>

#include "net/protocol.h"

namespace vornel::lobby_window {

class ServerConnection final : public QObject {
    Q_OBJECT
public:
    static constexpr int kCheckEveryMs = 1000;
    static constexpr int kQuietMs = 15000;
    static constexpr int kSilentMs = 45000;
    static constexpr qint64 kReadChunk = 32768;

    explicit ServerConnection(QObject* parent = nullptr);

    // Connects to the server (a name is looked up, an address is not).
    void open(const QString& host, quint16 port);
    // Closes without a report, once what was sent has gone out.
    void close();
    bool isOpen() const { return socket_.state() == QAbstractSocket::ConnectedState; }
    void send(std::string_view frame);
    const QTcpSocket& socket() const { return socket_; }

    // Every message as it is cut, in order.
    std::function<void(std::string_view message)> onMessage;

Q_SIGNALS:
    void opened();
    // The connection could not be made, or ended; the text says why.
    void closed(const QString& why);

private:
    void onReadyRead();
    void checkAlive();
    void end(const QString& why);

    QTcpSocket socket_;
    net::Framer framer_;
    QTimer aliveTimer_;
    QElapsedTimer lastHeard_;
    bool pinged_ = false;
    bool active_ = false;  // opened, and not yet closed or ended
    bool connected_ = false;
    QString target_;
};

}  // namespace vornel::lobby_window

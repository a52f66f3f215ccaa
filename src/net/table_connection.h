#pragma once
// The table's one connection to the host: bytes are cut into messages at
// the terminator as they arrive, queued, and handed out one per tick of a
// 1 ms timer, so each step of the game is drawn before the next is handled.
// The timer runs only while messages wait or a caller still needs ticks; a
// message that finds it idle is handled on the next pass of the event loop.

#include <QObject>
#include <QTcpSocket>
#include <QTimer>
#include <functional>
#include <span>
#include <string>
#include <string_view>

#include "engine/ports.h"
#include "net/protocol.h"
#include "net/receive_queue.h"

namespace vornel::net {

class TableConnection : public QObject {
    Q_OBJECT
public:
    explicit TableConnection(QObject* parent = nullptr);
    ~TableConnection() override;

    void connectToHost(const QString& host, quint16 port);
    // Closes the socket without a report and drops whatever arrived and
    // waits: nothing of this connection reaches the table after it.
    void reset();
    bool isOpen() const { return socket_.state() == QAbstractSocket::ConnectedState; }

    // Sends one message; nothing is sent while the connection is not open.
    void send(std::string_view command, std::span<const Field> fields);
    void send(std::string_view command, std::initializer_list<Field> fields) {
        send(command, std::span<const Field>(fields.begin(), fields.size()));
    }
    // Sends an already built message text (terminator added).
    void sendText(std::string_view text);

    // Called with one message text per tick.
    void setMessageHandler(std::function<void(std::string_view)> handler) { onMessage_ = std::move(handler); }
    // Called on every tick after the message; returns whether it needs
    // further ticks (the phrase buttons' pause counts ticks).
    void setTickHook(std::function<bool()> hook) { tickHook_ = std::move(hook); }
    // Makes sure the timer runs (after the tick hook starts needing ticks).
    void wake();

    // One tick of `Timer1`: dispatch one waiting message, then the hook.
    void tick();
    // Messages that may wait at once. A host sends a few at a time and the
    // table handles a thousand a second; one that gets this far ahead is
    // flooding the table.
    static constexpr std::size_t kMaxWaiting = 20000;
    static constexpr int kTickMs = 1;

    // Takes bytes as one read of the socket delivers them: cut at the
    // terminator into the queue. False when the host's unfinished message
    // grew too long or too many messages wait; the connection is then closed.
    bool received(std::string_view bytes);

    std::size_t waiting() const { return queue_.size(); }
    bool timerActive() const { return timer_.isActive(); }
    QTcpSocket& socket() { return socket_; }

Q_SIGNALS:
    // The host closed the connection in an orderly way ("Socket Closed").
    void closedByHost();
    // The connection could not be made, or broke with a network error.
    void connectFailed();
    void connectionLost();
    void connected();

private:
    void readBytes();
    void startTicks();
    void onError(QAbstractSocket::SocketError error);

    QTcpSocket socket_;
    QTimer timer_;
    Framer framer_;
    ReceiveQueue queue_;
    std::function<void(std::string_view)> onMessage_;
    std::function<bool()> tickHook_;
    bool everConnected_ = false;
    bool reportedEnd_ = false;
};

}  // namespace vornel::net

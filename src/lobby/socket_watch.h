#pragma once
// Tells when the lobby server's player sockets can be read or written. Qt's
// event loop polls every socket notifier on every turn, which with thousands
// of players costs more than the reading itself; on Linux the sockets are
// gathered in one epoll set, and only that set's descriptor is watched by
// the event loop. Elsewhere each socket has notifiers of its own.

#include <QObject>

#include <functional>
#include <unordered_map>

class QSocketNotifier;

namespace vornel::lobby {

class SocketWatch final : public QObject {
public:
    using Ready = std::function<void(qintptr socket)>;

    // `gather` false gives every socket notifiers of its own on Linux too.
    SocketWatch(Ready onReadable, Ready onWritable, QObject* parent = nullptr, bool gather = true);
    ~SocketWatch() override;

    // Watched for reading (and for its end) from now on.
    void add(qintptr socket);
    // Whether the socket is also watched for room to write.
    void watchWriting(qintptr socket, bool wanted);
    // Not watched any more; call before the socket is closed.
    void remove(qintptr socket);

    // True when the sockets are in one epoll set.
    bool gathered() const { return set_ >= 0; }

private:
    struct Notifiers {
        QSocketNotifier* readable = nullptr;
        QSocketNotifier* writable = nullptr;
    };

    void takeReadySockets();

    Ready onReadable_;
    Ready onWritable_;
    int set_ = -1;                        // the epoll set, where there is one
    QSocketNotifier* setNotifier_ = nullptr;
    std::unordered_map<qintptr, Notifiers> notifiers_;  // without a set
};

}  // namespace vornel::lobby

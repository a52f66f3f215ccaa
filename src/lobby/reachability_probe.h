#pragma once
// The reachability check's connection on Qt's sockets: connect to the
// host's address and game port, read what arrives, and tell whether the
// host's lobby answered with its token (followed by the byte 0xFF). A
// refused connection, no answer in time, or anything else answering on that
// port each get their own result.

#include <QObject>
#include <QString>
#include <QTcpSocket>
#include <QTimer>

#include <functional>
#include <string>

#include "lobby/lobby_protocol.h"

namespace vornel::lobby {

class ReachabilityProbe final : public QObject {
    Q_OBJECT
public:
    using Done = std::function<void(ProbeResult)>;

    // Starts at once; `done` is called exactly once, from the event loop,
    // and the probe deletes itself afterwards.
    ReachabilityProbe(const QString& address, quint16 port, std::string token, Done done,
                      int connectMs = kProbeConnectMs, int readMs = kProbeReadMs, QObject* parent = nullptr);

private:
    void onConnected();
    void onReadyRead();
    void onError(QAbstractSocket::SocketError error);
    void onTimeout();
    void finish(ProbeResult result);

    QTcpSocket socket_;
    QTimer timer_;
    std::string token_;
    std::string reply_;
    Done done_;
    int readMs_;
    bool connected_ = false;
    bool finished_ = false;
};

}  // namespace vornel::lobby

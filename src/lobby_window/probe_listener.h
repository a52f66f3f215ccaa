#pragma once
// The host's lobby during the server's reachability check: it listens on
// the game port (on every address, as the game will), writes its token and
// the terminator to each connection that arrives, and closes it. It stops
// when told the check's result, or by itself after kListenMs.

#include <QObject>
#include <QTcpServer>
#include <QTimer>

#include <string>

namespace vornel::lobby_window {

class ProbeListener final : public QObject {
    Q_OBJECT
public:
    static constexpr int kListenMs = 30000;
    static constexpr int kTokenLength = 24;

    explicit ProbeListener(QObject* parent = nullptr);

    // Listens with a new token; false when the port cannot be had.
    bool listen(quint16 port);
    void stop();
    bool isListening() const { return server_.isListening(); }
    const std::string& token() const { return token_; }
    QString errorString() const { return server_.errorString(); }

    // Letters and digits from the system's random source.
    static std::string makeToken();

private:
    void answer();

    QTcpServer server_;
    QTimer timer_;
    std::string token_;
};

}  // namespace vornel::lobby_window

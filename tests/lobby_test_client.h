#pragma once
// A lobby window's connection for the socket tests: a real QTcpSocket to the
// lobby server that sends framed messages, keeps every message it gets (cut
// at the terminator by the game's Framer), answers pings, and keeps the
// players and tables list from the server's updates.

#include <QTcpSocket>

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "lobby/lobby_list.h"
#include "net/dispatcher.h"
#include "socket_test_client.h"

namespace vornel::lobby::test {

class LobbyTestClient {
public:
    LobbyTestClient();
    LobbyTestClient(const LobbyTestClient&) = delete;
    LobbyTestClient& operator=(const LobbyTestClient&) = delete;

    bool connectTo(quint16 port);
    // Bytes as a builder made them (terminator included).
    void send(std::string_view frame);
    // Logs in and waits for the end of the list; false when refused.
    bool login(std::string_view name);
    void disconnect() { socket_.disconnectFromHost(); }

    const std::vector<std::string>& messages() const { return messages_; }
    std::optional<std::size_t> find(std::string_view prefix, std::size_t from = 0) const;
    std::optional<std::size_t> waitFor(std::string_view prefix, std::size_t from = 0,
                                       int timeoutMs = vornel::test::kWaitMs);
    // The rest of the message found by waitFor (after the command's "+").
    std::string restOf(std::size_t index) const;
    bool waitClosed(int timeoutMs = vornel::test::kWaitMs);
    bool isClosed() const { return closed_; }
    const LobbyList& list() const { return list_; }
    bool listBroken() const { return listBroken_; }

private:
    void onReadyRead();

    QTcpSocket socket_;
    net::Framer framer_;
    net::Dispatcher<> dispatcher_;
    std::vector<std::string> messages_;
    LobbyList list_;
    bool listBroken_ = false;
    bool closed_ = false;
};

}  // namespace vornel::lobby::test

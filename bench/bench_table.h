#pragma once
// A minimal table for the host's measurement programs: connects to a host,
// logs in, and when seated answers its prompts like a simple player (order
// up or pass, never alone, discard the first card, play slots in order and
// move on after CMD_notvalid).

#include <QTcpSocket>

#include <array>
#include <functional>
#include <string>
#include <string_view>

namespace vornel::bench {

class BenchTable {
public:
    BenchTable(std::string name, bool autoplay);
    BenchTable(const BenchTable&) = delete;
    BenchTable& operator=(const BenchTable&) = delete;

    void connectTo(const QString& host, quint16 port);
    void send(std::string_view text);
    // Bytes as they are, no terminator added.
    void sendRaw(std::string_view bytes);
    // Drops the connection at once, without an orderly close.
    void abort() { socket_.abort(); }

    const std::string& name() const { return name_; }
    int own() const { return own_; }  // 0 until CMD_sendlogininfo came
    bool loggedIn() const { return loggedIn_; }
    bool closed() const { return closed_; }
    bool seated() const { return own_ >= 1 && own_ <= 4; }
    long long received() const { return received_; }

    // Called for every message after the table's own handling.
    std::function<void(const std::string& message)> onMessage;
    // Called just before a card (not a discard) is sent.
    std::function<void(int slot)> onPlaySending;
    // Called when the host reports the table's own card played.
    std::function<void()> onOwnCardPlayed;

private:
    void onReadyRead();
    void handle(const std::string& message);
    void playFrom(int slot);

    QTcpSocket socket_;
    std::string name_;
    bool autoplay_;
    std::string pending_;
    int own_ = 0;
    bool loggedIn_ = false;
    bool closed_ = false;
    long long received_ = 0;
    std::array<int, 6> hand_{};  // slots 1..5
};

// Fields after the command name, read as numbers (-1 where one does not read).
std::array<int, 12> numbersOf(std::string_view message);

}  // namespace vornel::bench

#pragma once
// The host's connections, seats and relays, without sockets: the socket
// layer (QtHost, or a test, or a fuzzer) reports accepted connections, bytes
// read and closed connections, ticks the timers, and carries out sends and
// closes through HostTransport.
//
// Records 1..9 serve connections (1..4 the seats, 5..9 watchers); record 10
// only refuses a tenth connection. The engine is driven only through its
// entry points; its announcements become messages to the records in use.

#include <array>
#include <string>
#include <string_view>

#include "engine/host_engine.h"
#include "net/dispatcher.h"
#include "net/protocol.h"
#include "net/receive_queue.h"
#include "players/computer_players.h"

namespace vornel::net {

class HostTransport {
public:
    virtual ~HostTransport() = default;
    // Append the bytes to the record's outgoing buffer; never blocks.
    virtual void send(int record, std::string_view bytes) = 0;
    // Close the record's connection and forget it. HostCore handles the
    // departure itself: the transport must not report this close back.
    // Called only for closes the host decides on (kick, flood, an oversized
    // message, the refused tenth connection), never after connectionClosed.
    virtual void close(int record) = 0;
};

// The 10 ms queue timer. It runs only while messages wait.
class QueueTimer {
public:
    virtual ~QueueTimer() = default;
    virtual void start() = 0;
    virtual void stop() = 0;
    virtual bool active() const = 0;
};

class HostCore final : private Output {
public:
    static constexpr int kRecords = 11;
    static constexpr int kRefusedRecord = 10;
    static constexpr std::size_t kMaxQueuedPerConnection = 1000;

    struct Ports {
        HostTransport& transport;
        QueueTimer& queueTimer;
        EngineTimer& engineTimer;
        RandomSource& random;
        Diagnostics& diagnostics;
        const BotSpeed& botSpeed;
    };

    struct ClientRecord {
        std::string name;
        bool inUse = false;
        Framer framer;
    };

    explicit HostCore(Ports ports);
    HostCore(const HostCore&) = delete;
    HostCore& operator=(const HostCore&) = delete;

    // A connection was accepted: returns the record it goes to (1..9), or
    // kRefusedRecord when nine are in use. The caller then maps its socket to
    // that record and calls welcome(record).
    int accept();
    // Sends CMD_sendlogininfo; for the refused record, CMD_full and a close.
    void welcome(int record);
    // Bytes read on a record's connection.
    void received(int record, std::string_view bytes);
    // The peer closed the record's connection ("Socket Closed").
    void connectionClosed(int record);
    // `disconnectsock`: closes the record's connection if it is in use.
    void disconnectsock(int record);

    // Queue-timer tick: handles one waiting message.
    void dispatchOne();
    // Engine-timer tick.
    void engineTick() { engine_.ctimerTimer(); }

    HostEngine& engine() { return engine_; }
    const HostEngine& engine() const { return engine_; }
    const ClientRecord& record(int index) const { return records_[index]; }
    int highWaterMark() const { return highWater_; }
    const ReceiveQueue& queue() const { return queue_; }

private:
    // The engine's announcements: to the in-use records 1..9 it includes.
    void announce(Recipient to, std::string_view command, std::span<const Field> fields) override;
    void sendTo(int record, std::string_view command, std::span<const Field> fields);
    void sendToAll(std::string_view command, std::span<const Field> fields);
    // Sends ready-made bytes to every in-use record but `except`.
    void sendFrameToAll(std::string_view frame, int except = 0);

    static bool isConnection(int record) { return record >= 1 && record <= 9; }
    bool inUse(int record) const { return isConnection(record) && records_[record].inUse; }
    // The host closes the record's connection, then handles it as a departure.
    void closeAsDeparture(int record);
    // `tempsockInfo` "Socket Closed": announce, free the record, let the computer take over.
    void departure(int record);
    void stopQueueTimerIfIdle();

    // Message handlers; `from` is the connection the message arrived on.
    void receivedlogininfo(std::string_view rest, int from);
    void replayGame(int newcomer);
    void kickhim(std::string_view rest, int from);
    void relayText(std::string_view rest, int from, std::string_view command, std::string_view separator);
    void startgame(std::string_view rest, int from);
    void justwatch(std::string_view rest, int from);
    void selectedbubble(std::string_view rest, int from);
    void playcard(std::string_view rest, int from);
    void playasound(std::string_view rest, int from);

    Ports ports_;
    // Plays every seat the computer plays, unless the host gives one its own player.
    StandardPlayer standard_;
    HostEngine engine_;
    std::array<ClientRecord, kRecords + 1> records_{};  // 1..11
    int highWater_ = 0;
    ReceiveQueue queue_;
    Dispatcher<int> dispatcher_;
};

}  // namespace vornel::net

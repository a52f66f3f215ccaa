#pragma once
// A table stand-in for the socket tests: a real QTcpSocket client that sends
// messages, collects what the host sends (cut at the terminator) and, when
// asked, answers its prompts like a simple player. It also keeps the table's
// view of the game (hands, table cards, scores) so replays can be checked.

#include <QEventLoop>
#include <QTcpSocket>

#include <array>
#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vornel::test {

// Upper bounds for waits; generous, since sanitizers and a busy machine slow
// everything down. A wait normally ends as soon as its condition holds.
inline constexpr int kWaitMs = 30000;
inline constexpr int kGameWaitMs = 300000;

// Pumps the event loop until `done` holds or `timeoutMs` has passed.
bool waitUntil(const std::function<bool()>& done, int timeoutMs = kWaitMs);
// Pumps the event loop for whatever is ready (by default without waiting),
// deferred deletions included.
void pumpEvents(QEventLoop::ProcessEventsFlags flags = QEventLoop::AllEvents);

// Fields of a message after its command name, split at every "+".
std::vector<std::string> fieldsOf(std::string_view message);
bool startsWith(std::string_view text, std::string_view prefix);

struct TableView {
    int dealer = 0;
    int trump = 0;  // the turned card's suit during bidding, then trump
    int makerTeam = 0;
    int target = 0;
    std::array<int, 5> tableCards{};  // seats 1..4
    std::array<int, 5> cardsHeld{};   // seats 1..4
    std::array<int, 3> tricks{};      // teams 1..2
    std::array<int, 3> scores{};      // teams 1..2
};

class TestClient {
public:
    TestClient();
    TestClient(const TestClient&) = delete;
    TestClient& operator=(const TestClient&) = delete;

    bool connectTo(quint16 port);
    // Waits for CMD_sendlogininfo and returns the number it carries (0 if none came).
    int waitNumber();
    // Answers CMD_sendlogininfo as a table does and waits for its own
    // CMD_newplayerinfo. Returns the connection number, 0 on failure.
    int login(std::string_view name, std::string_view version = "1.0.5");

    // Sends the text and the terminator.
    void send(std::string_view text);
    void sendRaw(std::string_view bytes);
    // Sends every byte on its own, flushed, pumping events in between.
    void sendByteByByte(std::string_view bytes);
    // Sends a chat line from its own number and waits until the host relays
    // it back: everything this client sent before has been handled by then.
    bool roundTrip(std::string_view tag);
    void disconnect();
    // Stops taking bytes off the socket, like a table that hangs.
    void stopReading();

    bool isClosed() const { return closed_; }
    bool waitClosed(int timeoutMs = kWaitMs);
    int own() const { return own_; }

    const std::vector<std::string>& messages() const { return messages_; }
    // Index of the first message at or after `from` that starts with `prefix`.
    std::optional<std::size_t> find(std::string_view prefix, std::size_t from = 0) const;
    std::optional<std::size_t> waitFor(std::string_view prefix, std::size_t from = 0, int timeoutMs = kWaitMs);
    bool anyStartsWith(std::string_view prefix) const { return find(prefix).has_value(); }
    bool anyContains(std::string_view text) const;

    // Plays its seat: order up when its seat is even, pass when odd; names
    // the first suit it may; never alone; discards its first card; plays
    // its slots in order, moving on after CMD_notvalid.
    void setAutoplay(bool on);
    // Stops answering CMD_nextplayer once it has played `plays` cards in the
    // current hand; holding() tells when the host waits for it.
    void holdAfter(int plays) { holdAfter_ = plays; }
    bool holding() const { return holding_; }
    void resume();

    const std::array<int, 6>& hand() const { return hand_; }
    int handCount() const;
    const TableView& view() const { return view_; }
    // Faults the player noticed in what the host sent.
    const std::vector<std::string>& faults() const { return faults_; }

    // Called for every message after the client's own bookkeeping.
    std::function<void(const std::string&)> onMessage;

private:
    void onReadyRead();
    void handle(const std::string& message);
    void track(std::string_view command, const std::vector<int>& n);
    void react(std::string_view command, const std::vector<int>& n);
    void playFrom(int slot);
    void fault(std::string text) { faults_.push_back(std::move(text)); }

    QTcpSocket socket_;
    std::string pending_;
    std::vector<std::string> messages_;
    bool closed_ = false;
    bool reading_ = true;
    int own_ = 0;

    bool autoplay_ = false;
    int holdAfter_ = -1;
    bool holding_ = false;
    int playsThisHand_ = 0;
    int lastSlot_ = 0;  // the slot of the card last sent, until the host answers
    std::array<int, 6> hand_{};
    TableView view_;
    std::vector<std::string> faults_;
};

}  // namespace vornel::test

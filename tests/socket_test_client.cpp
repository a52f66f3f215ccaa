#include "socket_test_client.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QHostAddress>
#include <QTimer>

#include <charconv>

namespace vornel::test {

namespace {

constexpr char kTerminator = '\xFF';

int toNumber(std::string_view text) {
    int value = -1;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    return error == std::errc{} && end == text.data() + text.size() ? value : -1;
}

int suitOfCard(int code) { return code >= 1 && code <= 52 ? (code - 1) / 13 + 1 : 0; }

}  // namespace

bool waitUntil(const std::function<bool()>& done, int timeoutMs) {
    // The ticker makes sure the blocking wait below wakes up regularly, so
    // the deadline is seen even when nothing happens at all.
    QTimer ticker;
    ticker.start(5);
    const QDeadlineTimer deadline(timeoutMs);
    while (!done()) {
        if (deadline.hasExpired()) return false;
        pumpEvents(QEventLoop::WaitForMoreEvents);
    }
    return true;
}

void pumpEvents(QEventLoop::ProcessEventsFlags flags) {
    QCoreApplication::processEvents(flags);
    // Outside exec() Qt leaves deleteLater() undone; the host relies on it.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

std::vector<std::string> fieldsOf(std::string_view message) {
    std::vector<std::string> fields;
    std::size_t plus = message.find('+');
    if (plus == std::string_view::npos) return fields;
    message.remove_prefix(plus + 1);
    while (true) {
        plus = message.find('+');
        fields.emplace_back(message.substr(0, plus));
        if (plus == std::string_view::npos) break;
        message.remove_prefix(plus + 1);
    }
    return fields;
}

bool startsWith(std::string_view text, std::string_view prefix) { return text.substr(0, prefix.size()) == prefix; }

TestClient::TestClient() {
    QObject::connect(&socket_, &QTcpSocket::readyRead, [this] { onReadyRead(); });
    QObject::connect(&socket_, &QTcpSocket::disconnected, [this] { closed_ = true; });
    QObject::connect(&socket_, &QTcpSocket::errorOccurred, [this] {
        if (socket_.state() == QAbstractSocket::UnconnectedState) closed_ = true;
    });
}

bool TestClient::connectTo(quint16 port) {
    socket_.setSocketOption(QAbstractSocket::LowDelayOption, 1);
    socket_.connectToHost(QHostAddress::LocalHost, port);
    return waitUntil([this] { return socket_.state() == QAbstractSocket::ConnectedState || closed_; }) &&
           !closed_;
}

int TestClient::waitNumber() {
    if (!waitFor("CMD_sendlogininfo+")) return 0;
    return own_;
}

int TestClient::login(std::string_view name, std::string_view version) {
    const int number = waitNumber();
    if (number == 0) return 0;
    // The login text ends in its own terminator, so the message ends in two.
    std::string text = "CMD_logininfo+" + std::to_string(number) + "+" + std::string(version) + "+" +
                       std::string(name) + kTerminator;
    const std::size_t from = messages_.size();
    send(text);
    const std::string welcome = "CMD_newplayerinfo+" + std::to_string(number) + "+" + std::string(name);
    const auto at = waitFor(welcome, from);
    return at && messages_[*at] == welcome ? number : 0;
}

void TestClient::send(std::string_view text) {
    std::string bytes(text);
    bytes += kTerminator;
    sendRaw(bytes);
}

void TestClient::sendRaw(std::string_view bytes) {
    socket_.write(bytes.data(), static_cast<qint64>(bytes.size()));
    socket_.flush();
}

void TestClient::sendByteByByte(std::string_view bytes) {
    for (char byte : bytes) {
        socket_.write(&byte, 1);
        socket_.flush();
        pumpEvents();
        pumpEvents();
    }
}

bool TestClient::roundTrip(std::string_view tag) {
    const std::size_t from = messages_.size();
    send("CMD_chat+" + std::to_string(own_) + "+" + std::string(tag) + "|clBlack");
    const std::string relayed = " chats: " + std::string(tag) + "|clBlack";
    return waitUntil([&] {
        for (std::size_t i = from; i < messages_.size(); ++i) {
            const std::string& m = messages_[i];
            if (startsWith(m, "CMD_chat+") && m.size() >= relayed.size() &&
                m.compare(m.size() - relayed.size(), relayed.size(), relayed) == 0)
                return true;
        }
        return closed_;
    }) && !closed_;
}

void TestClient::disconnect() { socket_.disconnectFromHost(); }

void TestClient::stopReading() {
    reading_ = false;
    socket_.setReadBufferSize(4096);  // Qt stops reading once this much waits
}

bool TestClient::waitClosed(int timeoutMs) {
    return waitUntil([this] { return closed_; }, timeoutMs);
}

std::optional<std::size_t> TestClient::find(std::string_view prefix, std::size_t from) const {
    for (std::size_t i = from; i < messages_.size(); ++i)
        if (startsWith(messages_[i], prefix)) return i;
    return std::nullopt;
}

std::optional<std::size_t> TestClient::waitFor(std::string_view prefix, std::size_t from, int timeoutMs) {
    std::optional<std::size_t> at;
    waitUntil(
        [&] {
            at = find(prefix, from);
            return at.has_value();
        },
        timeoutMs);
    return at;
}

bool TestClient::anyContains(std::string_view text) const {
    for (const std::string& m : messages_)
        if (m.find(text) != std::string::npos) return true;
    return false;
}

int TestClient::handCount() const {
    int n = 0;
    for (int slot = 1; slot <= 5; ++slot) n += hand_[slot] != 0;
    return n;
}

void TestClient::setAutoplay(bool on) { autoplay_ = on; }

void TestClient::resume() {
    holdAfter_ = -1;
    if (!holding_) return;
    holding_ = false;
    playFrom(1);
}

void TestClient::onReadyRead() {
    if (!reading_) return;
    pending_ += socket_.readAll().toStdString();
    std::size_t end;
    while ((end = pending_.find(kTerminator)) != std::string::npos) {
        std::string message = pending_.substr(0, end);
        pending_.erase(0, end + 1);
        messages_.push_back(message);
        handle(message);
    }
}

void TestClient::handle(const std::string& message) {
    const std::string_view command = std::string_view(message).substr(0, message.find('+'));
    if (command == "CMD_sendlogininfo") own_ = toNumber(std::string_view(message).substr(command.size() + 1));
    std::vector<int> n;
    for (const std::string& field : fieldsOf(message)) n.push_back(toNumber(field));
    n.resize(std::max<std::size_t>(n.size(), 12), -1);
    track(command, n);
    if (autoplay_) react(command, n);
    if (onMessage) onMessage(message);
}

void TestClient::track(std::string_view command, const std::vector<int>& n) {
    auto& v = view_;
    const auto validSeat = [](int seat) { return seat >= 1 && seat <= 4; };
    const auto validSlot = [](int slot) { return slot >= 1 && slot <= 5; };
    if (command == "CMD_startgame") {
        v = TableView{};
        v.target = n[1];
    } else if (command == "CMD_dealer") {
        v.dealer = n[0];
        v.tricks = {};
        v.tableCards = {};
        playsThisHand_ = 0;
    } else if (command == "CMD_placecard" && validSeat(n[0])) {
        const int seat = n[0];
        int pairs = 0;
        if (seat == own_) hand_ = {};
        for (std::size_t i = 1; i + 1 < n.size() && n[i] != -1; i += 2, ++pairs) {
            const int slot = n[i], code = n[i + 1];
            if (!validSlot(slot)) fault("CMD_placecard with slot " + std::to_string(slot));
            else if (seat == own_) hand_[slot] = code;
            if ((seat == own_) != (code != 0)) fault("CMD_placecard shows the wrong cards of seat " + std::to_string(seat));
        }
        v.cardsHeld[seat] = pairs;
    } else if (command == "CMD_loadtheircards") {
        for (std::size_t i = 0; i + 1 < n.size() && n[i] != -1; i += 2)
            if (validSeat(n[i])) v.cardsHeld[n[i]] = n[i + 1];
    } else if (command == "CMD_loadcards") {
        v.makerTeam = n[0];
        v.dealer = n[2];
        v.trump = n[3];
        for (int seat = 1; seat <= 4; ++seat) v.tableCards[seat] = n[3 + seat];
    } else if (command == "CMD_loadstats") {
        v.target = n[0];
        v.scores = {0, n[1], n[3]};
        v.tricks = {0, n[2], n[4]};
    } else if (command == "CMD_settrump") {
        v.trump = suitOfCard(n[0]);
    } else if (command == "CMD_trumpchoosen" && validSeat(n[0])) {
        v.trump = n[1];
        v.makerTeam = n[0] % 2 == 1 ? 1 : 2;
    } else if (command == "CMD_switch" && n[0] == own_ && validSlot(n[1])) {
        hand_[n[1]] = n[2];
    } else if (command == "CMD_clearcards") {
        v.tableCards = {};
    } else if (command == "CMD_playedcard" && validSeat(n[0]) && validSlot(n[1])) {
        const int seat = n[0], slot = n[1], code = n[2];
        v.tableCards[seat] = code;
        --v.cardsHeld[seat];
        if (seat == own_) {
            if (hand_[slot] != code) fault("CMD_playedcard names a card this seat does not hold");
            if (autoplay_ && slot != lastSlot_) fault("CMD_playedcard for a card this table did not play");
            hand_[slot] = 0;
            lastSlot_ = 0;
            ++playsThisHand_;
        }
    } else if (command == "CMD_trickwinner") {
        v.tricks = {0, n[1], n[2]};
        v.tableCards = {};
    } else if (command == "CMD_score") {
        v.scores = {0, n[1], n[3]};
    }
}

void TestClient::react(std::string_view command, const std::vector<int>& n) {
    if (n[0] != own_) return;
    const std::string me = std::to_string(own_);
    if (command == "CMD_bidder") {
        send("CMD_selectedbubble+" + me + (own_ % 2 == 0 ? "+1+" : "+2+"));
    } else if (command == "CMD_chooser") {
        const int suit = n[1] == 1 ? 2 : 1;
        send("CMD_selectedbubble+" + me + "+" + std::to_string(suit + 2) + "+");
    } else if (command == "CMD_aloner") {
        send("CMD_selectedbubble+" + me + "+8+");
    } else if (command == "CMD_discarder") {
        for (int slot = 1; slot <= 5; ++slot) {
            if (hand_[slot] == 0) continue;
            send("CMD_playcard+" + me + "+" + std::to_string(slot) + "+");
            return;
        }
        fault("asked to discard with no card in hand");
    } else if (command == "CMD_nextplayer") {
        if (holdAfter_ >= 0 && playsThisHand_ >= holdAfter_) holding_ = true;
        else playFrom(1);
    } else if (command == "CMD_notvalid") {
        if (n[1] == 2) playFrom(n[2] + 1);
        else fault("CMD_notvalid of kind " + std::to_string(n[1]));
    }
}

void TestClient::playFrom(int slot) {
    for (int s = std::max(slot, 1); s <= 5; ++s) {
        if (hand_[s] == 0) continue;
        lastSlot_ = s;
        send("CMD_playcard+" + std::to_string(own_) + "+" + std::to_string(s) + "+");
        return;
    }
    fault("no card of this hand was accepted");
}

}  // namespace vornel::test

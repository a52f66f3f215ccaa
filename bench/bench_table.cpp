#include "bench_table.h"

#include <charconv>
#include <utility>

namespace vornel::bench {

namespace {
constexpr char kTerminator = '\xFF';
}

std::array<int, 12> numbersOf(std::string_view message) {
    std::array<int, 12> n;
    n.fill(-1);
    std::size_t plus = message.find('+');
    for (std::size_t i = 0; i < n.size() && plus != std::string_view::npos; ++i) {
        message.remove_prefix(plus + 1);
        plus = message.find('+');
        const std::string_view field = message.substr(0, plus);
        int value = -1;
        const auto [end, error] = std::from_chars(field.data(), field.data() + field.size(), value);
        if (error == std::errc{} && end == field.data() + field.size()) n[i] = value;
    }
    return n;
}

BenchTable::BenchTable(std::string name, bool autoplay) : name_(std::move(name)), autoplay_(autoplay) {
    QObject::connect(&socket_, &QTcpSocket::readyRead, [this] { onReadyRead(); });
    QObject::connect(&socket_, &QTcpSocket::disconnected, [this] { closed_ = true; });
    QObject::connect(&socket_, &QTcpSocket::errorOccurred, [this] {
        if (socket_.state() == QAbstractSocket::UnconnectedState) closed_ = true;
    });
}

void BenchTable::connectTo(const QString& host, quint16 port) {
    socket_.setSocketOption(QAbstractSocket::LowDelayOption, 1);
    socket_.connectToHost(host, port);
}

void BenchTable::send(std::string_view text) {
    std::string bytes(text);
    bytes += kTerminator;
    socket_.write(bytes.data(), static_cast<qint64>(bytes.size()));
    socket_.flush();  // measured sends must not wait for the next loop turn
}

void BenchTable::sendRaw(std::string_view bytes) {
    socket_.write(bytes.data(), static_cast<qint64>(bytes.size()));
    socket_.flush();
}

void BenchTable::onReadyRead() {
    pending_ += socket_.readAll().toStdString();
    std::size_t end;
    while ((end = pending_.find(kTerminator)) != std::string::npos) {
        const std::string message = pending_.substr(0, end);
        pending_.erase(0, end + 1);
        ++received_;
        handle(message);
    }
}

void BenchTable::handle(const std::string& message) {
    const std::string_view command = std::string_view(message).substr(0, message.find('+'));
    const auto n = numbersOf(message);
    const std::string me = std::to_string(own_);
    if (command == "CMD_sendlogininfo") {
        own_ = n[0];
        send("CMD_logininfo+" + std::to_string(own_) + "+1.0.5+" + name_ + kTerminator);
    } else if (command == "CMD_newplayerinfo" && n[0] == own_) {
        loggedIn_ = true;
    } else if (command == "CMD_placecard" && n[0] == own_) {
        hand_ = {};
        for (std::size_t i = 1; i + 1 < n.size() && n[i] >= 1 && n[i] <= 5; i += 2) hand_[n[i]] = n[i + 1];
    } else if (command == "CMD_switch" && n[0] == own_ && n[1] >= 1 && n[1] <= 5) {
        hand_[n[1]] = n[2];
    } else if (command == "CMD_playedcard" && n[0] == own_ && n[1] >= 1 && n[1] <= 5) {
        hand_[n[1]] = 0;
        if (onOwnCardPlayed) onOwnCardPlayed();
    } else if (autoplay_ && seated() && n[0] == own_) {
        if (command == "CMD_bidder") send("CMD_selectedbubble+" + me + (own_ % 2 == 0 ? "+1+" : "+2+"));
        else if (command == "CMD_chooser") send("CMD_selectedbubble+" + me + (n[1] == 1 ? "+4+" : "+3+"));
        else if (command == "CMD_aloner") send("CMD_selectedbubble+" + me + "+8+");
        else if (command == "CMD_discarder") {
            for (int slot = 1; slot <= 5; ++slot) {
                if (hand_[slot] == 0) continue;
                send("CMD_playcard+" + me + "+" + std::to_string(slot) + "+");
                break;
            }
        } else if (command == "CMD_nextplayer") playFrom(1);
        else if (command == "CMD_notvalid" && n[1] == 2) playFrom(n[2] + 1);
    }
    if (onMessage) onMessage(message);
}

void BenchTable::playFrom(int slot) {
    for (int s = slot < 1 ? 1 : slot; s <= 5; ++s) {
        if (hand_[s] == 0) continue;
        if (onPlaySending) onPlaySending(s);
        send("CMD_playcard+" + std::to_string(own_) + "+" + std::to_string(s) + "+");
        return;
    }
}

}  // namespace vornel::bench

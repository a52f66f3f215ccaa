#include "lobby_test_client.h"

#include <QHostAddress>

namespace vornel::lobby::test {

using vornel::test::waitUntil;

LobbyTestClient::LobbyTestClient() {
    // What a window does with the list, the updates and the pings.
    const auto records = [this](std::string_view rest) { listBroken_ |= !list_.applyMessage(rest); };
    dispatcher_.on(cmd::List, records).on(cmd::Update, records).on(cmd::Ping, [this](std::string_view) {
        send(build::pong());
    });
    QObject::connect(&socket_, &QTcpSocket::readyRead, [this] { onReadyRead(); });
    QObject::connect(&socket_, &QTcpSocket::disconnected, [this] { closed_ = true; });
    QObject::connect(&socket_, &QTcpSocket::errorOccurred, [this] {
        if (socket_.state() == QAbstractSocket::UnconnectedState) closed_ = true;
    });
}

bool LobbyTestClient::connectTo(quint16 port) {
    socket_.connectToHost(QHostAddress::LocalHost, port);
    return waitUntil([this] { return socket_.state() == QAbstractSocket::ConnectedState || closed_; }) && !closed_;
}

void LobbyTestClient::send(std::string_view frame) {
    socket_.write(frame.data(), static_cast<qint64>(frame.size()));
    socket_.flush();
}

bool LobbyTestClient::login(std::string_view name) {
    const std::size_t from = messages_.size();
    send(build::login(name));
    return waitUntil([&] { return find("LOBBY_listend+", from) || find("LOBBY_refused+", from) || closed_; }) &&
           find("LOBBY_listend+", from).has_value();
}

void LobbyTestClient::onReadyRead() {
    const QByteArray bytes = socket_.readAll();
    framer_.feed(std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())), [this](std::string_view m) {
        messages_.emplace_back(m);
        dispatcher_.dispatch(m);
    });
}

std::optional<std::size_t> LobbyTestClient::find(std::string_view prefix, std::size_t from) const {
    for (std::size_t i = from; i < messages_.size(); ++i)
        if (vornel::test::startsWith(messages_[i], prefix)) return i;
    return std::nullopt;
}

std::optional<std::size_t> LobbyTestClient::waitFor(std::string_view prefix, std::size_t from, int timeoutMs) {
    std::optional<std::size_t> at;
    waitUntil([&] { return (at = find(prefix, from)).has_value(); }, timeoutMs);
    return at;
}

std::string LobbyTestClient::restOf(std::size_t index) const {
    return std::string(net::splitCommand(messages_.at(index)).rest);
}

bool LobbyTestClient::waitClosed(int timeoutMs) {
    return waitUntil([this] { return closed_; }, timeoutMs);
}

}  // namespace vornel::lobby::test

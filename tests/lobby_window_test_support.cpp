#include "lobby_window_test_support.h"

#include <QHostAddress>

#include "socket_test_client.h"

namespace vornel::lobby_window::test {

quint16 freePort() {
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost, 0);
    return probe.serverPort();
}

LobbyConfig testConfig(const QTemporaryDir& home, const QString& gameProgram) {
    LobbyConfig config;
    config.settingsDirectory = home.path();
    config.gameProgram = gameProgram;
    config.gamePort = freePort();
    config.linkPort = freePort();
    config.localAddressOverride = "127.0.0.1";
    config.localServerPort = 0;
    config.gameEnvironment = QProcessEnvironment::systemEnvironment();
    config.gameEnvironment.insert("VORNEL_HOME", home.path());
    config.gameEnvironment.insert("QT_QPA_PLATFORM", "offscreen");
    // The games' own leak reports are not these tests' business.
    config.gameEnvironment.insert("ASAN_OPTIONS", "detect_leaks=0");
    return config;
}

SessionLog::SessionLog(LobbySession& session) {
    connect(&session, &LobbySession::notice, this, [this](const QString& text) { notices.push_back(text); });
    connect(&session, &LobbySession::chatLine, this,
            [this](const QString& name, const QString& text) { chat.push_back(name + ": " + text); });
    connect(&session, &LobbySession::offline, this, [this](const QString& why) { offline.push_back(why); });
    connect(&session, &LobbySession::probeResult, this,
            [this](bool reachable, const QString& text) { probes.emplace_back(reachable, text); });
}

bool SessionLog::noticed(const QString& part) const {
    for (const QString& notice : notices)
        if (notice.contains(part)) return true;
    return false;
}

ScriptedServer::ScriptedServer() { server_.listen(QHostAddress::LocalHost, 0); }

bool ScriptedServer::waitConnection() {
    if (!vornel::test::waitUntil([&] { return server_.hasPendingConnections() || client_ != nullptr; })) return false;
    if (client_ == nullptr) {
        client_ = server_.nextPendingConnection();
        QObject::connect(client_, &QTcpSocket::readyRead, [this] {
            const QByteArray bytes = client_->readAll();
            framer_.feed(std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())),
                         [this](std::string_view m) { messages_.emplace_back(m); });
        });
    }
    return true;
}

void ScriptedServer::sendRaw(std::string_view bytes) {
    if (client_ == nullptr) return;
    client_->write(bytes.data(), static_cast<qint64>(bytes.size()));
    client_->flush();
}

void ScriptedServer::send(std::string_view command, std::string_view rest) {
    std::string frame(command);
    frame += '+';
    frame += rest;
    frame += net::kTerminator;
    sendRaw(frame);
}

bool ScriptedServer::received(std::string_view prefix, std::size_t from) const {
    for (std::size_t i = from; i < messages_.size(); ++i)
        if (messages_[i].starts_with(prefix)) return true;
    return false;
}

bool ScriptedServer::waitFor(std::string_view prefix, std::size_t from) {
    return vornel::test::waitUntil([&] { return received(prefix, from); });
}

}  // namespace vornel::lobby_window::test

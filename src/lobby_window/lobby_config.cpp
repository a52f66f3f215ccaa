#include "lobby_window/lobby_config.h"

#include <algorithm>
#include <vector>

#include <QHostAddress>
#include <QNetworkInterface>
#include <QTcpSocket>

#include "lobby/lobby_protocol.h"

namespace vornel::lobby_window {

LobbyConfig LobbyConfig::fromEnvironment(QString settingsDirectory, QString gameProgram) {
    LobbyConfig config;
    config.settingsDirectory = std::move(settingsDirectory);
    const QString program = qEnvironmentVariable("VORNEL_PROGRAM");
    config.gameProgram = program.isEmpty() ? std::move(gameProgram) : program;
    config.gamePort = portFromEnvironment("VORNEL_PORT", kDefaultGamePort);
    config.linkPort = portFromEnvironment("ZELMO7_LOBBY_LINK_PORT", kDefaultLinkPort);
    config.serverOverride = qEnvironmentVariable("ZELMO7_LOBBY_SERVER").trimmed();
    config.localAddressOverride = qEnvironmentVariable("ZELMO7_LOBBY_LOCAL_ADDRESS").trimmed();
    return config;
}

quint16 portFromEnvironment(const char* name, quint16 fallback) {
    bool ok = false;
    const int port = qEnvironmentVariableIntValue(name, &ok);
    return ok && port > 0 && port < 65536 ? static_cast<quint16>(port) : fallback;
}

std::optional<ServerAddress> readServerAddress(const QString& typed) {
    const QString text = typed.trimmed();
    ServerAddress address;
    address.host = text;
    const qsizetype colon = text.lastIndexOf(':');
    if (colon >= 0) {
        bool ok = false;
        const int port = text.mid(colon + 1).toInt(&ok);
        if (!ok || port < 1 || port > 65535) return std::nullopt;
        address.host = text.left(colon);
        address.port = static_cast<quint16>(port);
    }
    if (address.host.isEmpty()) return std::nullopt;
    for (const QChar c : address.host)
        if (c.isSpace() || c == ':' || c == '/') return std::nullopt;
    return address;
}

QString serverAddressText(const ServerAddress& address) {
    return address.port == kDefaultServerPort ? address.host : address.host + ':' + QString::number(address.port);
}

namespace {

// Home networks first (192.168/16, then 10/8, then 172.16/12), so the
// address the others most likely reach comes first; then any other.
int preference(const QHostAddress& ip) {
    const quint32 a = ip.toIPv4Address();
    if ((a >> 16) == 0xC0A8) return 0;
    if ((a >> 24) == 10) return 1;
    if ((a >> 20) == 0xAC1) return 2;
    return 3;
}

}  // namespace

QStringList networkAddresses() {
    std::vector<QHostAddress> found;
    for (const QNetworkInterface& interface : QNetworkInterface::allInterfaces()) {
        const auto flags = interface.flags();
        if (!flags.testFlag(QNetworkInterface::IsUp) || !flags.testFlag(QNetworkInterface::IsRunning) ||
            flags.testFlag(QNetworkInterface::IsLoopBack))
            continue;
        for (const QNetworkAddressEntry& entry : interface.addressEntries()) {
            const QHostAddress ip = entry.ip();
            if (ip.protocol() == QAbstractSocket::IPv4Protocol && !ip.isLoopback() && !ip.isLinkLocal())
                found.push_back(ip);
        }
    }
    std::stable_sort(found.begin(), found.end(),
                     [](const QHostAddress& a, const QHostAddress& b) { return preference(a) < preference(b); });
    QStringList addresses;
    for (const QHostAddress& ip : found) addresses.push_back(ip.toString());
    return addresses;
}

QString localAddress(const LobbyConfig& config, const QTcpSocket& serverSocket) {
    if (lobby::isDottedAddress(config.localAddressOverride.toStdString())) return config.localAddressOverride;
    bool isIpv4 = false;
    const QHostAddress own = serverSocket.localAddress();
    own.toIPv4Address(&isIpv4);
    if (isIpv4 && !own.isLoopback()) return QHostAddress(own.toIPv4Address()).toString();
    const QStringList addresses = networkAddresses();
    return addresses.isEmpty() ? QStringLiteral("127.0.0.1") : addresses.front();
}

}  // namespace vornel::lobby_window

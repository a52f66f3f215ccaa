#include "lobby_window/launch_check.h"

#include "lobby_window/lobby_config.h"
#include "net/protocol.h"

namespace vornel::lobby_window {

bool isHostAddress(std::string_view dotted) {
    if (!lobby::isDottedAddress(dotted)) return false;
    const auto first = net::parseNumber(dotted.substr(0, dotted.find('.')));
    // 0.x.x.x is "this network"; 224 and above are multicast, reserved and broadcast.
    return first && *first >= 1 && *first <= 223;
}

std::optional<lobby::LaunchOrder> checkLaunch(std::string_view rest, const LaunchContext& context) {
    auto order = lobby::parse::launch(rest);
    if (!order) return std::nullopt;
    if (context.ownTable <= 0 || order->table != context.ownTable) return std::nullopt;
    if (context.ownName.empty() || order->name != context.ownName || order->name.front() == '-') return std::nullopt;
    if ((order->role == lobby::Role::Host) != context.hostsOwnTable) return std::nullopt;
    if (!isHostAddress(order->address)) return std::nullopt;
    return order;
}

QStringList gameArguments(const lobby::LaunchOrder& order) {
    const QString name = QString::fromLatin1(order.name.data(), static_cast<qsizetype>(order.name.size()));
    if (order.role == lobby::Role::Host) return {name, QStringLiteral("127.0.0.1"), QStringLiteral("true")};
    return {name, QString::fromLatin1(order.address.data(), static_cast<qsizetype>(order.address.size())),
            QStringLiteral("x")};
}

QProcessEnvironment gameEnvironment(QProcessEnvironment base, int gamePort, quint16 linkPort) {
    if (gamePort == kDefaultGamePort) base.remove("VORNEL_PORT");
    else base.insert("VORNEL_PORT", QString::number(gamePort));
    if (linkPort == kDefaultLinkPort) base.remove("ZELMO7_LOBBY_LINK_PORT");
    else base.insert("ZELMO7_LOBBY_LINK_PORT", QString::number(linkPort));
    return base;
}

}  // namespace vornel::lobby_window

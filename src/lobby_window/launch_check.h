#pragma once
// What a lobby starts when the server says LOBBY_launch, and the checks that
// come first. A server, friendly or not, can only have the lobby start the
// game beside it, under the player's own name, for the player's own table,
// hosting only when the player hosts that table, joining a plain host
// address; it can never pass other arguments.

#include <QProcessEnvironment>
#include <QString>
#include <QStringList>

#include <optional>
#include <string_view>

#include "lobby/lobby_protocol.h"

namespace vornel::lobby_window {

// Where the lobby stands when a launch order comes.
struct LaunchContext {
    std::string_view ownName;  // as the server recorded it at the login
    int ownTable = 0;          // 0: at no table
    bool hostsOwnTable = false;
};

// The launch order in `rest` (after "LOBBY_launch+") when every field fits:
// the protocol's own checks (role, seat for the role, dotted address,
// port, name rules), and then: the table is the player's own, the name is
// his own exactly, he is told to host exactly when he hosts that table, a
// joining game's address is one a game can be hosted at (not 0.x.x.x, not a
// multicast, reserved or broadcast address), and the name does not begin
// with "-", which the game would take for an option. nullopt otherwise.
std::optional<lobby::LaunchOrder> checkLaunch(std::string_view rest, const LaunchContext& context);

// Whether a game could be hosted at this dotted address.
bool isHostAddress(std::string_view dotted);

// The game's arguments: NAME 127.0.0.1 true for the host, NAME ADDRESS x
// for everyone else.
QStringList gameArguments(const lobby::LaunchOrder& order);

// The game's environment: `base` with VORNEL_PORT set to the game port when
// it is not 7772 (and taken away when it is), and ZELMO7_LOBBY_LINK_PORT
// likewise for a link port other than 9001.
QProcessEnvironment gameEnvironment(QProcessEnvironment base, int gamePort, quint16 linkPort);

}  // namespace vornel::lobby_window

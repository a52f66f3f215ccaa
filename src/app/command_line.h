#pragma once
// Reading the command line: a solo game, or a multi-player game started by
// the lobby program with name, host address and "true" to host.

#include <span>
#include <string>
#include <string_view>

namespace vornel::app {

enum class StartKind {
    Solo,        // no arguments
    Host,        // third argument exactly "true"
    Join,        // third argument anything else
    Incomplete,  // one or two arguments: the table stays idle
};

struct StartChoice {
    StartKind kind = StartKind::Incomplete;
    std::string playerName;   // empty when incomplete
    std::string hostAddress;  // as given; a hosting table still connects to the loopback address
};

inline constexpr std::string_view kLoopbackAddress = "127.0.0.1";
inline constexpr std::string_view kSoloPlayerName = "You";

// `arguments` are those after the program name; any after the third are ignored.
StartChoice readCommandLine(std::span<const std::string> arguments);

// The address the table's own connection opens: the loopback address when
// this copy hosts (solo included), the given address when it joins, empty
// when no connection is made.
std::string connectionAddress(const StartChoice& choice);

// The solo game offers the lobby download; multi-player starts open the
// one-way loopback link to the lobby instead.
bool showsLobbyDownload(const StartChoice& choice);
bool opensLobbyLink(const StartChoice& choice);

// The first chat line, shown in blue before anything else happens.
std::string_view loadingLine(const StartChoice& choice);

}  // namespace vornel::app

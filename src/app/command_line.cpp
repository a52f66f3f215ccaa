#include "app/command_line.h"

namespace vornel::app {

StartChoice readCommandLine(std::span<const std::string> arguments) {
    if (arguments.empty()) return {StartKind::Solo, std::string(kSoloPlayerName), std::string(kLoopbackAddress)};
    if (arguments.size() < 3) return {};
    const StartKind kind = arguments[2] == "true" ? StartKind::Host : StartKind::Join;
    return {kind, arguments[0], arguments[1]};
}

std::string connectionAddress(const StartChoice& choice) {
    switch (choice.kind) {
        case StartKind::Solo:
        case StartKind::Host: return std::string(kLoopbackAddress);
        case StartKind::Join: return choice.hostAddress;
        case StartKind::Incomplete: break;
    }
    return {};
}

bool showsLobbyDownload(const StartChoice& choice) { return choice.kind == StartKind::Solo; }

bool opensLobbyLink(const StartChoice& choice) {
    return choice.kind == StartKind::Host || choice.kind == StartKind::Join;
}

std::string_view loadingLine(const StartChoice& choice) {
    return choice.kind == StartKind::Solo ? "Loading Solo Game..Please wait."
                                          : "Loading Multi-player Game.. Please Wait.";
}

}  // namespace vornel::app

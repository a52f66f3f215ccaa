// How the command line chooses a solo, hosted or joined game.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/command_line.h"

namespace vornel::app {
namespace {

constexpr std::string_view kSoloLine = "Loading Solo Game..Please wait.";
constexpr std::string_view kMultiLine = "Loading Multi-player Game.. Please Wait.";

struct Case {
    std::vector<std::string> arguments;
    StartKind kind;
    std::string_view name;
    std::string_view address;     // as remembered
    std::string_view connectsTo;  // where the own table's connection goes
    bool lobbyDownload;
    bool lobbyLink;
    std::string_view loading;
};

TEST(CommandLine, Choices) {
    const std::vector<Case> cases = {
        {{}, StartKind::Solo, "You", "127.0.0.1", "127.0.0.1", true, false, kSoloLine},
        {{"Ann"}, StartKind::Incomplete, "", "", "", false, false, kMultiLine},
        {{"Ann", "10.0.0.5"}, StartKind::Incomplete, "", "", "", false, false, kMultiLine},
        {{"Ann", "10.0.0.5", "true"}, StartKind::Host, "Ann", "10.0.0.5", "127.0.0.1", false, true, kMultiLine},
        {{"Ann", "10.0.0.5", "True"}, StartKind::Join, "Ann", "10.0.0.5", "10.0.0.5", false, true, kMultiLine},
        {{"Ann", "10.0.0.5", "TRUE"}, StartKind::Join, "Ann", "10.0.0.5", "10.0.0.5", false, true, kMultiLine},
        {{"Ann", "10.0.0.5", "true "}, StartKind::Join, "Ann", "10.0.0.5", "10.0.0.5", false, true, kMultiLine},
        {{"Ann", "host.example", "false"}, StartKind::Join, "Ann", "host.example", "host.example", false, true,
         kMultiLine},
        {{"Ann", "10.0.0.5", ""}, StartKind::Join, "Ann", "10.0.0.5", "10.0.0.5", false, true, kMultiLine},
        {{"Ann", "10.0.0.5", "true", "x", "y"}, StartKind::Host, "Ann", "10.0.0.5", "127.0.0.1", false, true,
         kMultiLine},
        {{"Ann", "10.0.0.5", "no", "true"}, StartKind::Join, "Ann", "10.0.0.5", "10.0.0.5", false, true, kMultiLine},
        {{"", "", "true"}, StartKind::Host, "", "", "127.0.0.1", false, true, kMultiLine},
    };
    for (const auto& c : cases) {
        std::string trace;
        for (const auto& a : c.arguments) trace += "[" + a + "]";
        SCOPED_TRACE(trace);
        const StartChoice choice = readCommandLine(c.arguments);
        EXPECT_EQ(choice.kind, c.kind);
        EXPECT_EQ(choice.playerName, c.name);
        EXPECT_EQ(choice.hostAddress, c.address);
        EXPECT_EQ(connectionAddress(choice), c.connectsTo);
        EXPECT_EQ(showsLobbyDownload(choice), c.lobbyDownload);
        EXPECT_EQ(opensLobbyLink(choice), c.lobbyLink);
        EXPECT_EQ(loadingLine(choice), c.loading);
    }
}

}  // namespace
}  // namespace vornel::app

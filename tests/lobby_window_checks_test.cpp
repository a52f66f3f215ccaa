// The lobby window's checks of what it is told and what the player types:
// which launch orders start a game and with which arguments, the games'
// environment, the server's address as typed, the names a player may use,
// the settings file, and what the environment sets (the ports, the server,
// the game beside the lobby and the lobby beside the game).

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QTcpSocket>
#include <QTemporaryDir>

#include <tuple>

#include "app/platform.h"
#include "lobby_window/launch_check.h"
#include "lobby_window/lobby_config.h"
#include "lobby_window/lobby_settings.h"
#include "lobby_window/typed_text.h"

namespace vornel::lobby_window::test {
namespace {

struct LaunchCase {
    const char* label;
    const char* rest;  // after "LOBBY_launch+"
    bool hosts;        // the player hosts his table 12
    QStringList arguments;  // the game's arguments; empty: nothing may start
};

// Bob is at table 12.
const std::vector<LaunchCase> kLaunchCases = {
    {"a seat", "12+player+3+192.168.1.20+7772+Bob", false, {"Bob", "192.168.1.20", "x"}},
    {"watching", "12+watcher+0+203.0.113.7+7800+Bob", false, {"Bob", "203.0.113.7", "x"}},
    {"hosting", "12+host+1+127.0.0.1+7772+Bob", true, {"Bob", "127.0.0.1", "true"}},
    {"the lowest host address", "12+player+2+1.0.0.0+7772+Bob", false, {"Bob", "1.0.0.0", "x"}},
    {"another table", "13+player+3+192.168.1.20+7772+Bob", false, {}},
    {"table 0", "0+player+3+192.168.1.20+7772+Bob", false, {}},
    {"someone else's name", "12+player+3+192.168.1.20+7772+Ann", false, {}},
    {"his name in other letters", "12+player+3+192.168.1.20+7772+BOB", false, {}},
    {"more arguments after the name", "12+player+3+192.168.1.20+7772+Bob -platform xcb", false, {}},
    {"a field too many", "12+player+3+192.168.1.20+7772+Bob+x", false, {}},
    {"hosting a table he does not host", "12+host+1+127.0.0.1+7772+Bob", false, {}},
    {"joining the table he hosts", "12+player+2+127.0.0.1+7772+Bob", true, {}},
    {"hosting elsewhere", "12+host+1+192.168.1.20+7772+Bob", true, {}},
    {"an unknown role", "12+guest+3+192.168.1.20+7772+Bob", false, {}},
    {"a player in seat 1", "12+player+1+192.168.1.20+7772+Bob", false, {}},
    {"a player in seat 5", "12+player+5+192.168.1.20+7772+Bob", false, {}},
    {"a watcher in a seat", "12+watcher+3+192.168.1.20+7772+Bob", false, {}},
    {"a host name for an address", "12+player+3+evil.example+7772+Bob", false, {}},
    {"an option for an address", "12+player+3+-style=x+7772+Bob", false, {}},
    {"a part above 255", "12+player+3+192.168.1.256+7772+Bob", false, {}},
    {"a leading zero", "12+player+3+192.168.01.20+7772+Bob", false, {}},
    {"three parts", "12+player+3+192.168.1+7772+Bob", false, {}},
    {"this network", "12+player+3+0.0.0.0+7772+Bob", false, {}},
    {"the broadcast address", "12+player+3+255.255.255.255+7772+Bob", false, {}},
    {"a multicast address", "12+player+3+224.0.0.1+7772+Bob", false, {}},
    {"port 0", "12+player+3+192.168.1.20+0+Bob", false, {}},
    {"port 65536", "12+player+3+192.168.1.20+65536+Bob", false, {}},
    {"a port that does not read", "12+player+3+192.168.1.20+7772x+Bob", false, {}},
    {"fields missing", "12+player+3", false, {}},
    {"nothing", "", false, {}},
};

TEST(LobbyLaunchCheck, OnlyAnOrderForThePlayersOwnGameStartsItWithExactlyTheseArguments) {
    for (const LaunchCase& c : kLaunchCases) {
        SCOPED_TRACE(c.label);
        const auto order = checkLaunch(c.rest, {"Bob", 12, c.hosts});
        ASSERT_EQ(order.has_value(), !c.arguments.isEmpty());
        if (order) {
            EXPECT_EQ(gameArguments(*order), c.arguments);
        }
    }
}

TEST(LobbyLaunchCheck, NamesTheGameWouldTakeForAnOptionAndPlayersAtNoTableStartNothing) {
    EXPECT_FALSE(checkLaunch("12+player+3+192.168.1.20+7772+-Bob", {"-Bob", 12, false}));
    EXPECT_FALSE(checkLaunch("12+player+3+192.168.1.20+7772+Bob", {"Bob", 0, false}));
    EXPECT_FALSE(checkLaunch("12+player+3+192.168.1.20+7772+Bob", {"", 12, false}));
    EXPECT_TRUE(checkLaunch("12+player+3+192.168.1.20+7772+Zo\xEB", {"Zo\xEB", 12, false}));
}

TEST(LobbyLaunchCheck, TheGameGetsItsPortsOnlyWhenTheyAreNotTheUsualOnes) {
    QProcessEnvironment base;
    base.insert("VORNEL_PORT", "7000");
    base.insert("ZELMO7_LOBBY_LINK_PORT", "9100");
    base.insert("VORNEL_HOME", "/home/bob/.vornel");
    const QProcessEnvironment usual = gameEnvironment(base, 7772, 9001);
    EXPECT_FALSE(usual.contains("VORNEL_PORT")) << "the lobby's own setting must not move the host's port";
    EXPECT_FALSE(usual.contains("ZELMO7_LOBBY_LINK_PORT"));
    EXPECT_EQ(usual.value("VORNEL_HOME"), "/home/bob/.vornel");
    const QProcessEnvironment other = gameEnvironment(base, 7800, 9200);
    EXPECT_EQ(other.value("VORNEL_PORT"), "7800");
    EXPECT_EQ(other.value("ZELMO7_LOBBY_LINK_PORT"), "9200");
}

TEST(LobbyServerAddress, TheAddressIsReadAsTyped) {
    struct Case {
        const char* typed;
        std::optional<ServerAddress> read;
    };
    const std::vector<Case> cases = {
        {"lobby.example.org", ServerAddress{"lobby.example.org", 7773}},
        {"192.168.1.20:7800", ServerAddress{"192.168.1.20", 7800}},
        {"  10.0.0.5  ", ServerAddress{"10.0.0.5", 7773}},
        {"", std::nullopt},
        {":7773", std::nullopt},
        {"host:0", std::nullopt},
        {"host:70000", std::nullopt},
        {"host:port", std::nullopt},
        {"two words", std::nullopt},
        {"http://lobby.example.org", std::nullopt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.typed);
        EXPECT_EQ(readServerAddress(c.typed), c.read);
    }
    EXPECT_EQ(serverAddressText({"10.0.0.5", 7773}), "10.0.0.5");
    EXPECT_EQ(serverAddressText({"10.0.0.5", 7800}), "10.0.0.5:7800");
}

TEST(LobbyTypedName, APlayerIsToldWhyANameCannotBeUsed) {
    struct Case {
        QString typed;
        const char* problem;  // "" when the name is fine
    };
    const std::vector<Case> cases = {
        {"Ann", ""},
        {QString::fromUtf8("Zoë Brontë"), ""},
        {"", "A name has 1 to 20 characters."},
        {QString(21, 'a'), "A name has 1 to 20 characters."},
        {"Ann+Bob", "A name cannot contain \"+\" or \"|\"."},
        {"Ann|red", "A name cannot contain \"+\" or \"|\"."},
        {"Ann\tBob", "A name cannot contain control characters."},
        {" Ann", "A name cannot begin or end with a blank."},
        {"-reverse", "A name cannot begin with \"-\"."},
        {QString::fromUtf8("Анна"), "A name uses the letters of Western European languages only."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.typed.toStdString());
        EXPECT_EQ(typedNameProblem(c.typed), QString(c.problem));
    }
    EXPECT_EQ(latin1Bytes(QString::fromUtf8("Zoë")), std::optional<std::string>("Zo\xEB"));
}

TEST(LobbySettingsFile, TheNameAndTheServerAreKeptBesideTheGamesSettings) {
    QTemporaryDir home;
    ASSERT_TRUE(home.isValid());
    EXPECT_EQ(readLobbySettings(home.path()), LobbySettings{});
    const LobbySettings kept{QString::fromUtf8("Zoë"), "lobby.example.org:7800"};
    ASSERT_TRUE(writeLobbySettings(home.path(), kept));
    EXPECT_TRUE(QFile::exists(home.filePath("zelmo7-lobby.ini")));
    EXPECT_EQ(readLobbySettings(home.path()), kept);
}

}  // namespace
}  // namespace vornel::lobby_window::test

namespace vornel::lobby_window::test {
namespace {

// Sets environment variables for one scope and puts them back after.
class ScopedEnvironment {
public:
    using Values = std::vector<std::pair<const char*, const char*>>;
    explicit ScopedEnvironment(const Values& values) {
        for (const auto& [name, value] : values) {
            kept_.emplace_back(name, qgetenv(name), qEnvironmentVariableIsSet(name));
            if (value != nullptr) qputenv(name, value);
            else qunsetenv(name);
        }
    }
    ~ScopedEnvironment() {
        for (const auto& [name, value, wasSet] : kept_) {
            if (wasSet) qputenv(name, value);
            else qunsetenv(name);
        }
    }

private:
    std::vector<std::tuple<const char*, QByteArray, bool>> kept_;
};

TEST(LobbyEnvironment, TheEnvironmentGivesThePortsTheServerAndTheGame) {
    struct Case {
        const char* label;
        std::vector<std::pair<const char*, const char*>> environment;
        quint16 gamePort;
        quint16 linkPort;
        QString server;
        QString program;
    };
    const std::vector<Case> cases = {
        {"nothing set",
         {{"VORNEL_PORT", nullptr}, {"ZELMO7_LOBBY_LINK_PORT", nullptr}, {"ZELMO7_LOBBY_SERVER", nullptr},
          {"VORNEL_PROGRAM", nullptr}},
         7772, 9001, "", "/opt/games/vornel"},
        {"everything set",
         {{"VORNEL_PORT", "7800"}, {"ZELMO7_LOBBY_LINK_PORT", "9100"}, {"ZELMO7_LOBBY_SERVER", " 10.0.0.5:7800 "},
          {"VORNEL_PROGRAM", "/tmp/other-vornel"}},
         7800, 9100, "10.0.0.5:7800", "/tmp/other-vornel"},
        {"ports that do not read",
         {{"VORNEL_PORT", "99999"}, {"ZELMO7_LOBBY_LINK_PORT", "port"}, {"ZELMO7_LOBBY_SERVER", ""},
          {"VORNEL_PROGRAM", ""}},
         7772, 9001, "", "/opt/games/vornel"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        ScopedEnvironment environment(c.environment);
        const LobbyConfig config = LobbyConfig::fromEnvironment("/home/ann/.vornel", "/opt/games/vornel");
        EXPECT_EQ(config.gamePort, c.gamePort);
        EXPECT_EQ(config.linkPort, c.linkPort);
        EXPECT_EQ(config.serverOverride, c.server);
        EXPECT_EQ(config.gameProgram, c.program);
        EXPECT_EQ(config.settingsDirectory, "/home/ann/.vornel");
    }
}

TEST(LobbyEnvironment, TheLocalAddressReportedIsTheOverrideOrADottedAddressOfThisComputer) {
    QTcpSocket unconnected;
    LobbyConfig config;
    config.localAddressOverride = "192.168.1.20";
    EXPECT_EQ(localAddress(config, unconnected), "192.168.1.20");
    config.localAddressOverride = "my computer";
    const QString found = localAddress(config, unconnected);
    EXPECT_TRUE(lobby::isDottedAddress(found.toStdString())) << found.toStdString();
    for (const QString& address : networkAddresses()) {
        EXPECT_TRUE(lobby::isDottedAddress(address.toStdString()));
        EXPECT_FALSE(address.startsWith("127."));
    }
}

TEST(LobbyEnvironment, TheGameAndItsLobbyFindEachOtherBesideEachOther) {
    const QString dir = QCoreApplication::applicationDirPath();
    {
        ScopedEnvironment environment(ScopedEnvironment::Values{{"VORNEL_LOBBY_PROGRAM", nullptr}});
#if !defined(Q_OS_WIN)
        EXPECT_EQ(app::platform::lobbyProgramPath(), dir + "/zelmo7-lobby");
#endif
    }
    {
        ScopedEnvironment environment(ScopedEnvironment::Values{{"VORNEL_LOBBY_PROGRAM", "/opt/other/lobby"}});
        EXPECT_EQ(app::platform::lobbyProgramPath(), "/opt/other/lobby");
    }
#if !defined(Q_OS_WIN) && !defined(Q_OS_MACOS)
    EXPECT_EQ(app::platform::gameProgramPath(), dir + "/vornel");
#endif
}

}  // namespace
}  // namespace vornel::lobby_window::test

// The lobby server's core through its receive path: logins, the table of
// hostile messages (each refused with its error while another player goes
// on using the lobby), the limits, the updates, the keep-alive and tables.

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "lobby/lobby_notices.h"
#include "lobby_core_fixture.h"

namespace vornel::lobby::test {
namespace {

using namespace std::string_literals;

// --- logging in -----------------------------------------------------------------

TEST_F(LobbyCoreTest, ALoginIsWelcomedWithTheWholeListOnce) {
    join("Ann");
    say("Ann", "LOBBY_newtable+Friday");
    tick();
    const int bob = join("Bob");
    EXPECT_EQ(messages(bob), (Messages{"LOBBY_welcome+1+Bob",
                                       "LOBBY_list+player+Ann+table+1+player+Bob+lobby+0+table+1+waiting+Friday+Ann++++0",
                                       "LOBBY_listend+"}));
    // Everybody, Bob included, hears of him in the next update, and only then.
    EXPECT_EQ(since(of("Ann"), 0).back(), "LOBBY_update+player+Ann+table+1+table+1+waiting+Friday+Ann++++0");
    tick();
    EXPECT_EQ(messages("Ann").back(), "LOBBY_update+player+Bob+lobby+0");
    EXPECT_EQ(messages(bob).back(), "LOBBY_update+player+Bob+lobby+0");
    EXPECT_EQ(withPrefix(bob, "LOBBY_list+").size(), 1u);
}

struct RefusalCase {
    const char* label;
    std::string login;
    std::string expected;
};

TEST_F(LobbyCoreTest, RefusedLoginsSayWhyAndAreClosed) {
    join("Ann");
    const std::vector<RefusalCase> cases = {
        {"another version", "LOBBY_login+2+Bob",
         "LOBBY_refused+version+This lobby server speaks lobby protocol 1 and your lobby speaks 2: use the same version of Vornel as the server."},
        {"a version that does not read", "LOBBY_login+one+Bob",
         "LOBBY_refused+version+This lobby server speaks lobby protocol 1 and your lobby speaks an unknown one: use the same version of Vornel as the server."},
        {"a taken name in other letters", "LOBBY_login+1+aNN", "LOBBY_refused+nametaken+The name aNN is taken: choose another."},
        {"an empty name", "LOBBY_login+1+", "LOBBY_refused+name+A name has 1 to 20 characters."},
        {"a long name", "LOBBY_login+1+" + std::string(21, 'x'), "LOBBY_refused+name+A name has 1 to 20 characters."},
        {"a plus", "LOBBY_login+1+Bob+Ann", "LOBBY_refused+name+A name cannot contain \"+\" or \"|\"."},
        {"a bar", "LOBBY_login+1+Bob|clRed", "LOBBY_refused+name+A name cannot contain \"+\" or \"|\"."},
        {"a control character", "LOBBY_login+1+Bo\tb", "LOBBY_refused+name+A name cannot contain control characters."},
        {"a blank at the end", "LOBBY_login+1+Bob ", "LOBBY_refused+name+A name cannot begin or end with a blank."},
    };
    for (const RefusalCase& c : cases) {
        const int connection = connect();
        deliver(connection, c.login);
        EXPECT_EQ(messages(connection), Messages{c.expected}) << c.label;
        EXPECT_TRUE(closed(connection)) << c.label;
        EXPECT_FALSE(core.isOpen(connection)) << c.label;
    }
    tick();
    EXPECT_EQ(core.playerCount(), 1u);
    EXPECT_EQ(listOf("Ann").players().size(), 1u) << "nobody refused was ever announced";
}

TEST_F(LobbyCoreTest, AFullServerTurnsNewcomersAwayAtOnce) {
    for (int i = 0; i < maxPlayers; ++i) join("P" + std::to_string(i));
    const int late = connect();
    EXPECT_EQ(messages(late), Messages{"LOBBY_refused+full+The lobby is full (100 players): try again later."});
    EXPECT_TRUE(closed(late));
    EXPECT_FALSE(core.isOpen(late));
    EXPECT_EQ(core.connectionCount(), static_cast<std::size_t>(maxPlayers));
    // A place that frees up is taken by the next one.
    core.connectionClosed(of("P7"));
    join("Late");
    EXPECT_EQ(messages("Late").front(), "LOBBY_welcome+1+Late");
}

// --- hostile messages -------------------------------------------------------------

struct HostileCase {
    const char* sender;
    std::string message;
    std::string_view code;
};

// The lobby each case runs in:
//   table 1 "One", host Ann, Bob in seat 2, Mal in seat 3
//   table 2 "Two", host Dee, five watchers W1..W5
//   table 3 closed (its host Eve left)
//   table 4 "Four", host Fay, Gil in seat 2: its game is starting
//   Nia in the lobby; "anon" connected but not logged in;
//   Kim keeps making and leaving tables and chatting meanwhile.
class HostileTest : public LobbyCoreTest {
protected:
    void SetUp() override {
        for (const char* name : {"Ann", "Bob", "Mal", "Dee", "Eve", "Fay", "Gil", "Nia", "Kim", "Obs"}) join(name);
        say("Ann", "LOBBY_newtable+One");
        say("Bob", "LOBBY_sit+1+2");
        say("Mal", "LOBBY_sit+1+3");
        say("Dee", "LOBBY_newtable+Two");
        for (int i = 1; i <= 5; ++i) {
            join("W" + std::to_string(i));
            say("W" + std::to_string(i), "LOBBY_watch+2");
        }
        say("Eve", "LOBBY_newtable+Three");
        say("Eve", "LOBBY_leave+3");
        say("Fay", "LOBBY_newtable+Four");
        say("Gil", "LOBBY_sit+4+2");
        say("Fay", "LOBBY_start+4+7772+10.0.0.5");
        say("Fay", "LOBBY_probeready+4+token1234");
        core.probeFinished(prober.checks.back().probe, ProbeResult::Refused);
        say("Fay", "LOBBY_startanyway+4");
        names["anon"] = connect();
        tick();
    }
};

TEST_F(HostileTest, EachBadRequestGetsItsErrorAndNothingElseWhileTheLobbyGoesOn) {
    const std::vector<HostileCase> cases = {
        // unknown commands
        {"Mal", "LOBBY_dance+1", "unknown"},
        {"Mal", "CMD_chat+1+hi|clBlack", "unknown"},
        {"Mal", "no plus at all", "unknown"},
        {"anon", "LOBBY_fly+", "unknown"},
        // before the login
        {"anon", "LOBBY_sit+1+4", "notloggedin"},
        {"anon", "LOBBY_chat+hello", "notloggedin"},
        // a second login
        {"Mal", "LOBBY_login+1+Mal", "secondlogin"},
        {"Mal", "LOBBY_login+1+Someone", "secondlogin"},
        {"Mal", "LOBBY_login+7+Mal", "secondlogin"},
        // acting for a table one does not host
        {"Mal", "LOBBY_start+1+7772+10.0.0.9", "notyourtable"},
        {"Mal", "LOBBY_remove+1+Bob", "notyourtable"},
        {"Mal", "LOBBY_startanyway+4", "notyourtable"},
        {"Mal", "LOBBY_hostready+4", "notyourtable"},
        {"Gil", "LOBBY_seatfree+4+2", "notyourtable"},
        {"Bob", "LOBBY_arrived+1+2+Bob", "notyourtable"},
        {"Nia", "LOBBY_probeready+2+token1234", "notyourtable"},
        // sitting in a taken seat
        {"Mal", "LOBBY_sit+1+2", "seattaken"},
        {"Nia", "LOBBY_sit+1+3", "seattaken"},
        // stale table numbers
        {"Nia", "LOBBY_sit+3+2", "notable"},
        {"Nia", "LOBBY_watch+3", "notable"},
        {"Mal", "LOBBY_leave+3", "notable"},
        {"Nia", "LOBBY_sit+99+2", "notable"},
        {"Eve", "LOBBY_start+3+7772+10.0.0.9", "notable"},
        {"Eve", "LOBBY_remove+3+Bob", "notable"},
        // fields that do not read
        {"Nia", "LOBBY_sit+one+2", "badfields"},
        {"Nia", "LOBBY_sit+1", "badfields"},
        {"Nia", "LOBBY_watch+1+2", "badfields"},
        {"Dee", "LOBBY_start+2+7772", "badfields"},
        {"Nia", "LOBBY_gamerunning+now", "badfields"},
        // and the rest of the rules
        {"Nia", "LOBBY_sit+1+1", "badseat"},
        {"Nia", "LOBBY_sit+1+5", "badseat"},
        {"Nia", "LOBBY_watch+2", "watchersfull"},
        {"Mal", "LOBBY_sit+2+2", "attable"},
        {"Mal", "LOBBY_newtable+Mine", "attable"},
        {"Nia", "LOBBY_sit+4+3", "tablebusy"},
        {"Nia", "LOBBY_watch+4", "tablebusy"},
        {"Gil", "LOBBY_standup+4", "tablebusy"},
        {"Fay", "LOBBY_start+4+7772+10.0.0.5", "tablebusy"},
        {"Dee", "LOBBY_sit+2+2", "hostseat"},
        {"Dee", "LOBBY_watch+2", "hostseat"},
        {"Ann", "LOBBY_standup+1", "hostseat"},
        {"Ann", "LOBBY_remove+1+ann", "hostseat"},
        {"Mal", "LOBBY_sit+1+3", "already"},
        {"W1", "LOBBY_watch+2", "already"},
        {"W1", "LOBBY_standup+2", "notseated"},
        {"Nia", "LOBBY_standup+1", "notattable"},
        {"Nia", "LOBBY_leave+1", "notattable"},
        {"Dee", "LOBBY_remove+2+Bob", "noplayer"},
        {"Dee", "LOBBY_remove+2+Nobody", "noplayer"},
        {"Nia", "LOBBY_newtable+", "title"},
        {"Nia", "LOBBY_newtable+" + std::string(41, 't'), "title"},
        {"Nia", "LOBBY_newtable+a+b", "title"},
        {"Nia", "LOBBY_chat+", "chat"},
        {"Nia", "LOBBY_chat+" + std::string(201, 'c'), "chat"},
        {"Nia", "LOBBY_chat+bell\x07", "chat"},
        {"Dee", "LOBBY_start+2+0+10.0.0.9", "badport"},
        {"Dee", "LOBBY_start+2+70000+10.0.0.9", "badport"},
        {"Dee", "LOBBY_start+2+7772+lobby.example", "badaddress"},
        {"Dee", "LOBBY_start+2+7772+255.255.255.255", "badaddress"},
        {"Dee", "LOBBY_start+2+7772+224.0.0.1", "badaddress"},
        {"Dee", "LOBBY_startanyway+2", "nocheck"},
        {"Dee", "LOBBY_hostready+2", "unexpected"},
        {"Dee", "LOBBY_seatfree+2+2", "unexpected"},
        {"Fay", "LOBBY_seatfree+4+2", "unexpected"},
        {"Fay", "LOBBY_arrived+4+2+Gil", "unexpected"},
        {"Nia", "LOBBY_gamerunning+", "unexpected"},
        {"Nia", "LOBBY_gameended+", "unexpected"},
    };
    const std::vector<std::string> tables{"1", "2", "4"};
    int round = 0;
    for (const HostileCase& c : cases) {
        SCOPED_TRACE(c.message);
        const int sender = of(c.sender);
        std::map<int, std::size_t> before;
        for (const auto& [name, connection] : names) before[connection] = count(connection);
        const LobbyList seen = listOf("Obs");

        deliver(sender, c.message);
        for (const auto& [name, connection] : names) {
            const Messages got = since(connection, before[connection]);
            if (connection != sender) {
                EXPECT_TRUE(got.empty()) << name << " heard of it: " << got.front();
                continue;
            }
            ASSERT_EQ(got.size(), 1u) << "the sender gets one reply";
            const auto [command, rest] = net::splitCommand(got.front());
            EXPECT_EQ(command, "LOBBY_error");
            const auto error = parse::notice(rest);
            ASSERT_TRUE(error.has_value());
            EXPECT_EQ(error->code, c.code) << error->text;
            EXPECT_FALSE(error->text.empty());
        }
        EXPECT_TRUE(core.isOpen(sender));

        // Meanwhile Kim goes on: a table made or left, and a chat line.
        ++round;
        say("Kim", round % 2 ? "LOBBY_newtable+Kim's " + std::to_string(round) : "LOBBY_leave+" + std::to_string(4 + round / 2));
        if (round % 4 == 0) say("Kim", "LOBBY_chat+round " + std::to_string(round));  // within the chat pace
        tick();
        const LobbyList now = listOf("Obs");
        EXPECT_EQ(now.tables(), listOf("Nia").tables()) << "everyone has the same list";
        EXPECT_EQ(now.player("Kim")->state, round % 2 ? PlayerState::Table : PlayerState::Lobby);
        EXPECT_EQ(now.tables().size(), 3u + round % 2);
        EXPECT_EQ(withPrefix(of("Obs"), "LOBBY_chat+Kim+round ").size(), static_cast<std::size_t>(round / 4));
        // Nothing the hostile request touched has changed.
        for (const std::string& t : tables) EXPECT_EQ(*now.table(std::stoi(t)), *seen.table(std::stoi(t))) << "table " << t;
        for (const auto& [key, player] : seen.players()) {
            if (key == "kim") continue;
            EXPECT_EQ(*now.player(player.name), player) << player.name;
        }
    }
    EXPECT_EQ(core.brokenInvariant(), "");
}

// --- the limits ----------------------------------------------------------------------

TEST_F(LobbyCoreTest, TooLongMessagesAndFloodsCloseOnlyTheirConnection) {
    join("Ann");
    say("Ann", "LOBBY_newtable+Kept");
    struct Case {
        const char* label;
        std::function<void(int)> send;
        std::string closing;
    };
    const std::vector<Case> cases = {
        {"one message past the limit",
         [&](int c) { core.received(c, "LOBBY_chat+" + std::string(kMaxClientMessage, 'x') + "\xFF"); },
         "LOBBY_closing+toolong+Your lobby sent a message longer than 1024 bytes."},
        {"a message that never ends",
         [&](int c) {
             for (int i = 0; i < 10; ++i) core.received(c, std::string(200, 'y'));
         },
         "LOBBY_closing+toolong+Your lobby sent a message longer than 1024 bytes."},
        {"a flood in one read",
         [&](int c) {
             std::string burst;
             for (std::size_t i = 0; i <= kMaxWaitingMessages; ++i) burst += "LOBBY_ping+\xFF";
             core.received(c, burst);
         },
         "LOBBY_closing+flood+Your lobby sent more than 100 messages at once."},
    };
    int n = 0;
    for (const Case& c : cases) {
        const int hostile = join("Host" + std::to_string(++n));
        say("Host" + std::to_string(n), "LOBBY_newtable+Doomed");
        const std::size_t got = count(hostile);
        c.send(hostile);
        drain();
        EXPECT_EQ(since(hostile, got), Messages{c.closing}) << c.label;
        EXPECT_TRUE(closed(hostile)) << c.label;
        EXPECT_FALSE(core.isOpen(hostile)) << c.label;
        EXPECT_EQ(core.queue().waitingFrom(hostile), 0u) << c.label << ": its waiting messages are dropped";
    }
    tick();
    const LobbyList list = listOf("Ann");
    EXPECT_EQ(list.players().size(), 1u) << "the closed players left the lobby";
    EXPECT_EQ(list.tables().size(), 1u) << "and their tables closed";
    say("Ann", "LOBBY_chat+still here");
    tick();
    EXPECT_EQ(messages("Ann").back(), "LOBBY_chat+Ann+still here");
}

TEST_F(LobbyCoreTest, ChatGoesToEveryoneWithTheNextUpdateAtItsPaceAndNoFaster) {
    join("Ann");
    join("Bob");
    tick();
    const std::size_t many = transport.manyLog.size();
    const std::size_t before = count(of("Bob"));
    say("Ann", "LOBBY_chat+hi + hello");
    say("Bob", "LOBBY_chat+hi Ann");
    EXPECT_EQ(count(of("Bob")), before) << "chat waits for the tick";
    tick();
    expectOneWriteEachOfTheSameBytes(many, 2);
    EXPECT_EQ(since(of("Bob"), before), (Messages{"LOBBY_chat+Ann+hi + hello", "LOBBY_chat+Bob+hi Ann"}));
    EXPECT_EQ(messages("Ann").back(), "LOBBY_chat+Bob+hi Ann");
    for (int i = 1; i < kChatLinesPerWindow; ++i) say("Ann", "LOBBY_chat+line " + std::to_string(i));
    say("Ann", "LOBBY_chat+one too many");
    EXPECT_EQ(messages("Ann").back(), "LOBBY_error+chatflood+You are chatting too fast: wait a few seconds.");
    tick();
    EXPECT_EQ(messages("Bob").back(), "LOBBY_chat+Ann+line 9");
    clock.now += kChatWindowMs;
    say("Ann", "LOBBY_chat+again");
    tick();
    EXPECT_EQ(messages("Bob").back(), "LOBBY_chat+Ann+again");
}

// --- updates ----------------------------------------------------------------------------

TEST_F(LobbyCoreTest, ChangesReachEveryoneAtMostFourTimesASecondAsOneUpdateOfTheirLatestState) {
    join("Ann");
    join("Bob");
    join("Cy");
    tick();
    const std::size_t before = count(of("Cy"));
    const std::size_t many = transport.manyLog.size();
    say("Ann", "LOBBY_newtable+Quick");
    say("Bob", "LOBBY_sit+1+2");
    say("Bob", "LOBBY_sit+1+4");  // a move: only where he ends up is sent
    say("Cy", "LOBBY_watch+1");
    EXPECT_EQ(count(of("Cy")), before) << "nothing goes out between ticks";
    tick();
    expectOneWriteEachOfTheSameBytes(many, 3);
    EXPECT_EQ(since(of("Cy"), before),
              Messages{"LOBBY_update+player+Ann+table+1+player+Bob+table+1+player+Cy+table+1"
                       "+table+1+waiting+Quick+Ann+++Bob+1+Cy"});
    EXPECT_EQ(messages("Ann").back(), messages("Cy").back());

    // Nothing changed: no update at all.
    const std::size_t quiet = count(of("Ann"));
    tick();
    tick();
    EXPECT_EQ(count(of("Ann")), quiet);
}

TEST_F(LobbyCoreTest, GroupsOfPlayersTakeTurnsEachAtMostFourTimesASecondAndMissingNothing) {
    const int players = 2 * LobbyCore::kUpdateGroups;
    for (int i = 0; i < players; ++i) join("P" + std::to_string(i));
    std::map<int, std::vector<std::int64_t>> updatesAt;
    std::map<int, std::size_t> updatesSeen;
    // A change before every tick of the server's timer, for four seconds;
    // now and then a tick comes late and the next one on time again, as a
    // busy event loop makes them.
    const std::int64_t start = clock.now;
    for (int step = 1; step <= 4000 / LobbyCore::kTickIntervalMs; ++step) {
        say("P0", step % 2 ? "LOBBY_newtable+T" + std::to_string(step) : "LOBBY_leave+" + std::to_string(step / 2));
        clock.now = start + step * LobbyCore::kTickIntervalMs + (step % 7 == 3 ? LobbyCore::kTickIntervalMs - 5 : 0);
        core.tick();
        int written = 0;
        for (const auto& [name, connection] : names) {
            const std::size_t updates = withPrefix(connection, "LOBBY_update+").size();
            if (updates == updatesSeen[connection]) continue;
            updatesSeen[connection] = updates;
            updatesAt[connection].push_back(clock.now);
            ++written;
        }
        EXPECT_LE(written, 2 * players / LobbyCore::kUpdateGroups) << "a group's turn (and one held back), not everybody's";
    }
    for (const auto& [connection, times] : updatesAt) {
        EXPECT_GE(times.size(), 14u) << "connection " << connection;
        for (std::size_t i = LobbyCore::kUpdatesPerSecond; i < times.size(); ++i)
            EXPECT_GE(times[i] - times[i - LobbyCore::kUpdatesPerSecond], 1000) << "connection " << connection;
    }
    // Each one's list ends where everybody's does.
    tick();
    for (const auto& [name, connection] : names) EXPECT_EQ(listOf(connection).tables(), listOf("P0").tables()) << name;
}

TEST_F(LobbyCoreTest, APlayerWhoComesAndGoesBetweenUpdatesIsToldAsGone) {
    join("Ann");
    tick();
    const int bob = join("Bob");
    core.connectionClosed(bob);
    join("BOB");  // another player of that name takes it
    tick();
    EXPECT_EQ(messages("Ann").back(), "LOBBY_update+player+BOB+lobby+0");
    core.connectionClosed(of("BOB"));
    tick();
    EXPECT_EQ(messages("Ann").back(), "LOBBY_update+gone+BOB");
    EXPECT_EQ(listOf("Ann").players().size(), 1u);
}

// --- keep-alive -----------------------------------------------------------------------------

TEST_F(LobbyCoreTest, SilentConnectionsArePingedThenClosedAndTheirPlayerLeaves) {
    join("Ann");
    join("Bob");
    say("Bob", "LOBBY_newtable+Bob's");
    say("Ann", "LOBBY_sit+1+2");
    const int anon = connect();
    tick();
    // Ann answers every ping; Bob has gone quiet.
    std::size_t answered = 0;
    for (int elapsed = 0; elapsed < kSilentCloseMs + 3 * kUpdateIntervalMs; elapsed += kUpdateIntervalMs) {
        tick();
        const std::size_t pings = withPrefix(of("Ann"), "LOBBY_ping+").size();
        if (pings > answered) say("Ann", "LOBBY_pong+");
        answered = pings;
    }
    EXPECT_TRUE(core.isOpen(of("Ann")));
    EXPECT_EQ(answered, 3u) << "at 15, 30 and 45 seconds, each answered";
    EXPECT_FALSE(core.isOpen(of("Bob")));
    EXPECT_EQ(withPrefix(of("Bob"), "LOBBY_ping+").size(), 2u) << "at 15 and 30 seconds";
    EXPECT_EQ(messages("Bob").back(), "LOBBY_closing+silent+Nothing came from your lobby for 45 seconds.");
    EXPECT_FALSE(core.isOpen(anon));
    EXPECT_EQ(messages(anon).back(), "LOBBY_closing+logintimeout+No login came within 30 seconds.");
    EXPECT_TRUE(std::find(messages("Ann").begin(), messages("Ann").end(),
                          "LOBBY_tableclosed+1+hostleft+The host left: table 1 has closed.") != messages("Ann").end());
    tick();
    const LobbyList list = listOf("Ann");
    EXPECT_EQ(list.player("Bob"), nullptr);
    EXPECT_TRUE(list.tables().empty());
    EXPECT_EQ(list.player("Ann")->state, PlayerState::Lobby);
    // A client's own ping is answered.
    say("Ann", "LOBBY_ping+");
    EXPECT_EQ(messages("Ann").back(), "LOBBY_pong+");
}

// --- tables ------------------------------------------------------------------------------------

TEST_F(LobbyCoreTest, PlayersSitMoveWatchStandUpAndLeaveAndTheHostRemovesAnyone) {
    for (const char* name : {"Ann", "Bob", "Cy", "Di"}) join(name);
    struct Step {
        const char* who;
        std::string message;
        std::string table;  // table 1's record afterwards
    };
    const std::vector<Step> steps = {
        {"Ann", "LOBBY_newtable+Ann's game", "table+1+waiting+Ann's game+Ann++++0"},
        {"Bob", "LOBBY_sit+1+3", "table+1+waiting+Ann's game+Ann++Bob++0"},
        {"Bob", "LOBBY_sit+1+2", "table+1+waiting+Ann's game+Ann+Bob+++0"},
        {"Cy", "LOBBY_watch+1", "table+1+waiting+Ann's game+Ann+Bob+++1+Cy"},
        {"Cy", "LOBBY_sit+1+4", "table+1+waiting+Ann's game+Ann+Bob++Cy+0"},
        {"Bob", "LOBBY_standup+1", "table+1+waiting+Ann's game+Ann+++Cy+1+Bob"},
        {"Di", "LOBBY_sit+1+2", "table+1+waiting+Ann's game+Ann+Di++Cy+1+Bob"},
        {"Bob", "LOBBY_leave+1", "table+1+waiting+Ann's game+Ann+Di++Cy+0"},
        {"Ann", "LOBBY_remove+1+cy", "table+1+waiting+Ann's game+Ann+Di+++0"},
    };
    for (const Step& s : steps) {
        say(s.who, s.message);
        tick();
        const std::string update = messages("Ann").back();
        EXPECT_NE(update.find("+" + s.table), std::string::npos) << s.message << " gave " << update;
    }
    EXPECT_EQ(messages("Cy").back(), "LOBBY_update+player+Cy+lobby+0+table+1+waiting+Ann's game+Ann+Di+++0");
    EXPECT_TRUE(std::find(messages("Cy").begin(), messages("Cy").end(),
                          "LOBBY_removed+1+You were removed from table 1 by its host.") != messages("Cy").end());
    const LobbyList list = listOf("Bob");
    EXPECT_EQ(list.player("Di")->state, PlayerState::Table);
    EXPECT_EQ(list.player("Di")->table, 1);
    EXPECT_EQ(list.player("Bob")->state, PlayerState::Lobby);

    // The host leaves: the table closes and everyone at it is told.
    say("Bob", "LOBBY_watch+1");
    say("Ann", "LOBBY_leave+1");
    for (const char* name : {"Di", "Bob"})
        EXPECT_EQ(messages(name).back(), "LOBBY_tableclosed+1+hostleft+The host left: table 1 has closed.") << name;
    tick();
    EXPECT_EQ(messages("Cy").back(),
              "LOBBY_update+player+Ann+lobby+0+player+Bob+lobby+0+player+Di+lobby+0+closed+1");
    say("Di", "LOBBY_sit+1+2");
    EXPECT_EQ(messages("Di").back(), "LOBBY_error+notable+There is no table 1: it may have closed.");
    say("Di", "LOBBY_newtable+Di's");
    tick();
    EXPECT_NE(listOf("Cy").table(2), nullptr) << "table numbers are never used twice";
}

}  // namespace
}  // namespace vornel::lobby::test

// The lobby's messages in both directions: the exact bytes each builder
// writes, reading them back through the game's framer and dispatcher, the
// checks of names, titles, chat lines, addresses and tokens, the list's
// records, and a window's checks of a launch order from a hostile server.

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "lobby/lobby_list.h"
#include "lobby/lobby_notices.h"
#include "lobby/lobby_protocol.h"
#include "lobby/lobby_records.h"
#include "net/dispatcher.h"

namespace vornel::lobby {
namespace {

using namespace std::string_literals;

std::vector<std::string> cut(std::string_view bytes) {
    std::vector<std::string> messages;
    net::Framer framer;
    EXPECT_TRUE(framer.feed(bytes, [&](std::string_view m) { messages.emplace_back(m); }));
    EXPECT_EQ(framer.pending(), 0u) << "a message without its terminator";
    return messages;
}

// --- every message's bytes ---------------------------------------------------

struct BytesCase {
    std::string built;
    std::string_view expected;  // without the terminator
};

TEST(LobbyMessages, EachBuilderWritesItsFieldsAfterPlusesAndOneTerminator) {
    const LaunchOrder order{12, Role::Player, 3, "203.0.113.7", 7772, "Bob"};
    const std::vector<BytesCase> cases = {
        // client to server
        {build::login("Ann"), "LOBBY_login+1+Ann"},
        {build::login("Ann", 7), "LOBBY_login+7+Ann"},
        {build::ping(), "LOBBY_ping+"},
        {build::pong(), "LOBBY_pong+"},
        {build::chat("1+1 is 2"), "LOBBY_chat+1+1 is 2"},
        {build::newTable("Friday game"), "LOBBY_newtable+Friday game"},
        {build::sit(12, 3), "LOBBY_sit+12+3"},
        {build::watch(12), "LOBBY_watch+12"},
        {build::standUp(12), "LOBBY_standup+12"},
        {build::leave(12), "LOBBY_leave+12"},
        {build::remove(12, "Bob"), "LOBBY_remove+12+Bob"},
        {build::start(12, 7772, "192.168.1.20"), "LOBBY_start+12+7772+192.168.1.20"},
        {build::startAnyway(12), "LOBBY_startanyway+12"},
        {build::probeReady(12, "abcDEF123"), "LOBBY_probeready+12+abcDEF123"},
        {build::hostReady(12), "LOBBY_hostready+12"},
        {build::seatFree(12, 3), "LOBBY_seatfree+12+3"},
        {build::seatHeld(12, 3), "LOBBY_seatheld+12+3"},
        {build::arrived(12, 6, "Cy"), "LOBBY_arrived+12+6+Cy"},
        {build::gameRunning(), "LOBBY_gamerunning+"},
        {build::gameEnded(), "LOBBY_gameended+"},
        // server to client
        {build::welcome("Ann"), "LOBBY_welcome+1+Ann"},
        {build::refused(notice::nameTaken("Ann")), "LOBBY_refused+nametaken+The name Ann is taken: choose another."},
        {build::closing(notice::flood()), "LOBBY_closing+flood+Your lobby sent more than 100 messages at once."},
        {build::error(notice::seatTaken(12, 3)), "LOBBY_error+seattaken+Seat 3 at table 12 is taken."},
        {build::chatLine("Ann", "a+b"), "LOBBY_chat+Ann+a+b"},
        {build::probeListen(12, 7772), "LOBBY_probelisten+12+7772"},
        {build::probe(12, ProbeResult::NoAnswer, "text"), "LOBBY_probe+12+noanswer+text"},
        {build::launch(order), "LOBBY_launch+12+player+3+203.0.113.7+7772+Bob"},
        {build::freeSeat(12, 2), "LOBBY_freeseat+12+2"},
        {build::holdSeat(12, 2), "LOBBY_holdseat+12+2"},
        {build::releaseSeats(12), "LOBBY_releaseseats+12"},
        {build::gameReady(12), "LOBBY_gameready+12"},
        {build::gameOver(12, notice::hostLeftGame(12)), "LOBBY_gameover+12+hostleft+The host left: the game at table 12 is over."},
        {build::removed(12, notice::removedText(12)), "LOBBY_removed+12+You were removed from table 12 by its host."},
        {build::tableClosed(12, notice::hostLeftTable(12)), "LOBBY_tableclosed+12+hostleft+The host left: table 12 has closed."},
    };
    for (const BytesCase& c : cases) {
        EXPECT_EQ(c.built, std::string(c.expected) + '\xFF');
        EXPECT_EQ(cut(c.built), std::vector<std::string>{std::string(c.expected)});
    }
}

// --- reading them back through the dispatcher ---------------------------------

TEST(LobbyMessages, ClientMessagesReadBackThroughTheDispatcher) {
    std::vector<std::string> seen;
    auto note = [&](std::string text) { seen.push_back(std::move(text)); };
    net::Dispatcher<int> d;
    d.on(cmd::Login, [&](std::string_view rest, int from) {
         const auto m = parse::login(rest);
         note(std::to_string(from) + " login " + std::to_string(m->version) + " " + std::string(m->name));
     })
        .on(cmd::Sit, [&](std::string_view rest, int) {
            const auto m = parse::tableSeat(rest);
            note("sit " + std::to_string(m->table) + " " + std::to_string(m->seat));
        })
        .on(cmd::Remove, [&](std::string_view rest, int) {
            const auto m = parse::removal(rest);
            note("remove " + std::to_string(m->table) + " " + std::string(m->name));
        })
        .on(cmd::Start, [&](std::string_view rest, int) {
            const auto m = parse::start(rest);
            note("start " + std::to_string(m->table) + " " + std::to_string(m->gamePort) + " " +
                 std::string(m->localAddress));
        })
        .on(cmd::ProbeReady, [&](std::string_view rest, int) {
            const auto m = parse::probeReady(rest);
            note("ready " + std::to_string(m->table) + " " + std::string(m->token));
        })
        .on(cmd::Arrived, [&](std::string_view rest, int) {
            const auto m = parse::arrived(rest);
            note("arrived " + std::to_string(m->table) + " " + std::to_string(m->number) + " " + std::string(m->name));
        })
        .on(cmd::GameEnded, [&](std::string_view rest, int) { note(parse::empty(rest) ? "ended" : "ended+junk"); });

    const std::string bytes = build::login("Ann") + build::sit(4, 2) + build::remove(4, "Bob") +
                              build::start(4, 7000, "10.0.0.2") + build::probeReady(4, "tok3nTOKEN") +
                              build::arrived(4, 5, "Cy") + build::gameEnded();
    net::Framer framer;
    framer.feed(bytes, [&](std::string_view message) { EXPECT_TRUE(d.dispatch(message, 9)) << message; });
    EXPECT_EQ(seen, (std::vector<std::string>{"9 login 1 Ann", "sit 4 2", "remove 4 Bob", "start 4 7000 10.0.0.2",
                                              "ready 4 tok3nTOKEN", "arrived 4 5 Cy", "ended"}));
}

struct ParseCase {
    const char* rest;
    bool reads;
};

TEST(LobbyMessages, FieldsThatDoNotReadOrAreTooManyAreRefused) {
    const std::vector<std::pair<std::function<bool(std::string_view)>, std::vector<ParseCase>>> cases = {
        {[](std::string_view r) { return parse::tableOnly(r).has_value(); },
         {{"12", true}, {"12+", true}, {"", false}, {"x", false}, {"12+3", false}, {"1 2", false}}},  // a closing "+" reads as in the game
        {[](std::string_view r) { return parse::tableSeat(r).has_value(); },
         {{"12+3", true}, {"12", false}, {"12+", false}, {"12+3+4", false}, {"+3", false}, {"12+three", false}}},
        {[](std::string_view r) { return parse::login(r).has_value(); }, {{"1+Ann", true}, {"one+Ann", false}, {"", false}}},
        {[](std::string_view r) { return parse::start(r).has_value(); },
         {{"1+7772+1.2.3.4", true}, {"1+7772", false}, {"1+port+1.2.3.4", false}}},
        {[](std::string_view r) { return parse::arrived(r).has_value(); }, {{"1+2+Bo", true}, {"1+2", false}, {"1", false}}},
        {[](std::string_view r) { return parse::notice(r).has_value(); }, {{"code+text", true}, {"+text", false}, {"", false}}},
        {[](std::string_view r) { return parse::probe(r).has_value(); },
         {{"3+reachable+t", true}, {"3+maybe+t", false}, {"3", false}}},
        {[](std::string_view r) { return parse::probeListen(r).has_value(); },
         {{"3+7772", true}, {"3+0", false}, {"3+65536", false}}},
    };
    for (const auto& [reads, table] : cases)
        for (const ParseCase& c : table) EXPECT_EQ(reads(c.rest), c.reads) << c.rest;
}

// --- checks --------------------------------------------------------------------

struct CheckCase {
    std::string text;
    bool good;
};

TEST(LobbyChecks, NamesFollowTheNameRules) {
    const std::vector<CheckCase> cases = {
        {"Ann", true},
        {"A", true},
        {std::string(20, 'x'), true},
        {"Zo\xEB \xC5ngstr\xF6m", true},  // Latin-1 letters
        {"", false},
        {std::string(21, 'x'), false},
        {"A+B", false},
        {"A|B", false},
        {"Tab\tin", false},
        {"bell\x07", false},
        {"del\x7F", false},
        {"c1\x85", false},
        {"end\xFF", false},
        {" lead", false},
        {"trail ", false},
    };
    for (const CheckCase& c : cases) EXPECT_EQ(!nameProblem(c.text).has_value(), c.good) << c.text;
}

TEST(LobbyChecks, NamesAreOneWhateverTheirLetterCase) {
    EXPECT_TRUE(sameName("Ann", "aNN"));
    EXPECT_TRUE(sameName("\xC9MILE", "\xE9mile"));  // Émile
    EXPECT_FALSE(sameName("\xD7", "\xF7"));          // the multiplication and division signs are no letters
    EXPECT_FALSE(sameName("Ann", "Anne"));
    EXPECT_EQ(foldName("BoB9"), "bob9");
}

TEST(LobbyChecks, TitlesChatLinesAddressesTokensAndPorts) {
    const std::vector<std::pair<std::function<bool(const std::string&)>, std::vector<CheckCase>>> cases = {
        {[](const std::string& t) { return !titleProblem(t); },
         {{"Friday game", true}, {std::string(40, 't'), true}, {"", false}, {std::string(41, 't'), false},
          {"a+b", false}, {"new\nline", false}}},
        {[](const std::string& t) { return !chatProblem(t); },
         {{"hi there + more", true}, {std::string(200, 'c'), true}, {"", false}, {std::string(201, 'c'), false},
          {"esc\x1B", false}}},
        {[](const std::string& t) { return isDottedAddress(t); },
         {{"127.0.0.1", true}, {"255.255.255.255", true}, {"0.0.0.0", true}, {"256.0.0.1", false},
          {"1.2.3", false}, {"1.2.3.4.5", false}, {"01.2.3.4", false}, {"1.2.3.4.", false}, {"a.b.c.d", false},
          {"-1.2.3.4", false}, {"", false}, {"host.example", false}, {"1..2.3", false}}},
        {[](const std::string& t) { return isToken(t); },
         {{"abcdEFGH", true}, {std::string(64, 'z'), true}, {"abcdEFG", false}, {std::string(65, 'z'), false},
          {"abcd-EFGH", false}}},
    };
    for (const auto& [good, table] : cases)
        for (const CheckCase& c : table) EXPECT_EQ(good(c.text), c.good) << c.text;
    for (const char* address : {"1.2.3.4", "127.0.0.1", "192.168.1.2", "223.255.255.255"})
        EXPECT_TRUE(isHostAddress(address)) << address;
    for (const char* address : {"0.0.0.0", "0.1.2.3", "224.0.0.1", "239.255.255.250", "255.255.255.255", "1.2.3"})
        EXPECT_FALSE(isHostAddress(address)) << address;
    EXPECT_TRUE(isLoopbackAddress("127.0.0.1"));
    EXPECT_FALSE(isLoopbackAddress("128.0.0.1"));
    EXPECT_TRUE(isPort(1) && isPort(65535));
    EXPECT_FALSE(isPort(0) || isPort(65536));
}

// --- a launch order from a hostile server --------------------------------------

struct LaunchCase {
    const char* label;
    std::string rest;
    bool startsSomething;
};

TEST(LobbyLaunch, AWindowStartsNothingWhenAnyFieldOfTheOrderFails) {
    const std::vector<LaunchCase> cases = {
        {"host", "3+host+1+127.0.0.1+7772+Ann", true},
        {"player", "3+player+4+203.0.113.9+7000+Bob", true},
        {"watcher", "3+watcher+0+10.1.2.3+7772+Cy", true},
        {"a name for an address", "3+player+2+evil.example+7772+Bob", false},
        {"an address with an option", "3+player+2+--help+7772+Bob", false},
        {"a broadcast address", "3+player+2+255.255.255.255+7772+Bob", false},
        {"a multicast address", "3+watcher+0+224.0.0.251+7772+Bob", false},
        {"no address at all", "3+player+2+0.0.0.0+7772+Bob", false},
        {"a host elsewhere", "3+host+1+10.0.0.1+7772+Ann", false},
        {"an unknown role", "3+admin+1+127.0.0.1+7772+Ann", false},
        {"a player in seat 1", "3+player+1+1.2.3.4+7772+Bob", false},
        {"a watcher with a seat", "3+watcher+5+1.2.3.4+7772+Bob", false},
        {"port 0", "3+player+2+1.2.3.4+0+Bob", false},
        {"a port too large", "3+player+2+1.2.3.4+70000+Bob", false},
        {"a name with a newline", "3+player+2+1.2.3.4+7772+Bob\n--x", false},
        {"a name too long", "3+player+2+1.2.3.4+7772+" + std::string(21, 'B'), false},
        {"a name with a plus", "3+player+2+1.2.3.4+7772+Bob+true", false},
        {"no name", "3+player+2+1.2.3.4+7772+", false},
        {"fields missing", "3+player+2+1.2.3.4", false},
        {"table 0", "0+player+2+1.2.3.4+7772+Bob", false},
    };
    for (const LaunchCase& c : cases) {
        const auto order = parse::launch(c.rest);
        EXPECT_EQ(order.has_value(), c.startsSomething) << c.label;
        if (order) {
            EXPECT_EQ(build::launch(*order), "LOBBY_launch+"s + c.rest + '\xFF') << c.label;
        }
    }
}

// --- records ---------------------------------------------------------------------

TEST(LobbyRecords, EveryKindReadsBackAsWritten) {
    const std::vector<ListRecord> records = {
        PlayerRecord{"Ann", PlayerState::Table, 12},
        PlayerRecord{"Bob", PlayerState::Lobby, 0},
        PlayerRecord{"Cy", PlayerState::Playing, 3},
        TableRecord{12, TableState::Waiting, "Friday game", {"Ann", "", "Bob", ""}, {"Cy", "Di"}},
        TableRecord{3, TableState::Playing, "x", {"Eve", "Fay", "Gus", "Hal"}, {}},
        PlayerGone{"Ivy"},
        TableGone{7},
    };
    std::string rest;
    for (const ListRecord& r : records) appendRecord(rest, r);
    EXPECT_EQ(rest,
              "+player+Ann+table+12+player+Bob+lobby+0+player+Cy+playing+3"
              "+table+12+waiting+Friday game+Ann++Bob++2+Cy+Di"
              "+table+3+playing+x+Eve+Fay+Gus+Hal+0+gone+Ivy+closed+7");
    const auto read = parseRecords(rest.substr(1));  // the rest follows the command's "+"
    ASSERT_TRUE(read.has_value());
    EXPECT_EQ(*read, records);
}

TEST(LobbyRecords, RecordsThatDoNotReadRefuseTheWholeMessage) {
    for (const char* rest : {"player+Ann+sleeping+0", "player+Ann+table", "player++lobby+0", "table+1+waiting+t+a+b+c",
                             "table+1+waiting+t+a+++d+6+1+2+3+4+5+6", "table+1+open+t+a+++d+0", "gone", "closed+0",
                             "chair+1", "table+0+waiting+t+a++++0", "table+1+waiting+t+a++++2+W"})
        EXPECT_FALSE(parseRecords(rest).has_value()) << rest;
    EXPECT_TRUE(parseRecords("").has_value());
}

TEST(LobbyRecords, LongRunsAreCutIntoSeveralMessagesBelowTheLimit) {
    RecordMessages messages(cmd::List);
    const int players = 5000;
    for (int i = 0; i < players; ++i)
        messages.add([&](std::string& out) { appendPlayerRecord(out, "Player" + std::to_string(i), PlayerState::Lobby, 0); });
    const std::vector<std::string> cutUp = cut(messages.take());
    ASSERT_GT(cutUp.size(), 1u);
    LobbyList list;
    for (const std::string& m : cutUp) {
        EXPECT_LE(m.size(), kMaxServerMessage);
        const auto [command, rest] = net::splitCommand(m);
        EXPECT_EQ(command, cmd::List);
        EXPECT_TRUE(list.applyMessage(rest));
    }
    EXPECT_EQ(list.players().size(), static_cast<std::size_t>(players));
    EXPECT_TRUE(messages.empty());
    EXPECT_TRUE(messages.take().empty());
}

// --- the list a window keeps ---------------------------------------------------------

TEST(LobbyListModel, RecordsReplaceWhatTheyNameAndUnknownDeparturesAreIgnored) {
    LobbyList list;
    ASSERT_TRUE(list.applyMessage("player+Bob+lobby+0+table+4+waiting+T+Ann++++0+gone+Nobody+closed+99"));
    ASSERT_TRUE(list.applyMessage("player+BOB+table+4+table+4+waiting+T+Ann+BOB+++0"));
    ASSERT_NE(list.player("bob"), nullptr);
    EXPECT_EQ(list.player("bob")->name, "BOB");
    EXPECT_EQ(list.player("bob")->state, PlayerState::Table);
    EXPECT_EQ(list.players().size(), 1u);
    ASSERT_NE(list.table(4), nullptr);
    EXPECT_EQ(list.table(4)->seats[1], "BOB");
    // Applying the same update twice changes nothing.
    const auto before = list.tables();
    ASSERT_TRUE(list.applyMessage("table+4+waiting+T+Ann+BOB+++0"));
    EXPECT_EQ(list.tables(), before);
    ASSERT_TRUE(list.applyMessage("gone+bob+closed+4"));
    EXPECT_TRUE(list.players().empty());
    EXPECT_TRUE(list.tables().empty());
    EXPECT_FALSE(list.applyMessage("player+Ann+lobby"));
    EXPECT_TRUE(list.players().empty()) << "a message that does not read applies nothing";
}

}  // namespace
}  // namespace vornel::lobby

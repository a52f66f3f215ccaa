// The host's connections, logins, relays, departures and the dispatch of
// queued messages, driven through a fake transport and hand-ticked timers.

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "engine/random.h"
#include "net/host_core.h"
#include "net/manual_queue_timer.h"
#include "players/simulation.h"

namespace vornel::net {
namespace {

using namespace std::string_literals;
using Messages = std::vector<std::string>;

Messages splitFrames(std::string_view bytes) {
    Messages messages;
    Framer framer;
    framer.feed(bytes, [&](std::string_view m) { messages.emplace_back(m); });
    return messages;
}

class FakeTransport final : public HostTransport {
public:
    void send(int record, std::string_view bytes) override { sent[record] += bytes; }
    void close(int record) override { closed.push_back(record); }

    std::map<int, std::string> sent;
    std::vector<int> closed;
};

using FakeQueueTimer = vornel::net::ManualQueueTimer;

// One table: reads what the host sent its record and answers every prompt
// for its own seat the way a player clicking through the game would.
class TestTable {
public:
    TestTable(int record, std::size_t readFrom) : record_(record), read_(readFrom) {}

    // Answers to the messages that arrived since the last call.
    Messages react(const std::string& sent) {
        Messages answers;
        Framer framer;
        framer.feed(std::string_view(sent).substr(read_), [&](std::string_view m) { react(m, answers); });
        read_ = sent.size();
        return answers;
    }

    int record() const { return record_; }
    int winners() const { return winners_; }
    int hands() const { return hands_; }
    int cardsHeld() const { return static_cast<int>(std::count_if(hand_.begin() + 1, hand_.end(), [](int c) { return c != 0; })); }

private:
    void react(std::string_view message, Messages& answers) {
        const auto [command, rest] = splitCommand(message);
        FieldReader reader(rest);
        const int seat = reader.number().value_or(0);
        const std::string own = std::to_string(record_);
        auto bubble = [&](int code) { answers.push_back("CMD_selectedbubble+" + own + "+" + std::to_string(code) + "+"); };
        auto play = [&](int slot) { answers.push_back("CMD_playcard+" + own + "+" + std::to_string(slot) + "+"); };
        if (command == "CMD_dealer") {
            ++hands_;
            dealer_ = seat;
        } else if (command == "CMD_placecard" && seat == record_) {
            hand_.fill(0);
            while (!reader.atEnd()) {
                const int slot = reader.number().value_or(0);
                hand_.at(slot) = reader.number().value_or(0);
            }
        } else if (command == "CMD_switch" && seat == record_) {
            const int slot = reader.number().value_or(0);
            hand_.at(slot) = reader.number().value_or(0);
        } else if (command == "CMD_playedcard" && seat == record_) {
            hand_.at(reader.number().value_or(0)) = 0;
        } else if (command == "CMD_bidder" && seat == record_) {
            bubble(hands_ % 2 == 0 && seat == dealer_ ? 1 : 2);  // the dealer orders up every other hand
        } else if (command == "CMD_chooser" && seat == record_) {
            const int turnedDown = reader.number().value_or(0);
            bubble((turnedDown % 4) + 1 + 2);  // the next suit after the turned-down one
        } else if (command == "CMD_aloner" && seat == record_) {
            bubble(hands_ % 3 == 0 ? 7 : 8);
        } else if ((command == "CMD_discarder" || command == "CMD_nextplayer") && seat == record_) {
            play(nextCard(0));
        } else if (command == "CMD_notvalid" && seat == record_) {
            EXPECT_EQ(reader.number(), 2) << "only cards are refused";
            play(nextCard(reader.number().value_or(0)));
        } else if (command == "CMD_thewinner") {
            ++winners_;
        }
    }

    // The first card held after `after`; the refused ones are skipped in turn.
    int nextCard(int after) const {
        for (int slot = after + 1; slot <= 5; ++slot)
            if (hand_[slot] != 0) return slot;
        return 0;
    }

    int record_;
    std::size_t read_;
    std::array<int, 6> hand_{};
    int dealer_ = 0;
    int hands_ = 0;
    int winners_ = 0;
};

class HostCoreTest : public ::testing::Test {
protected:
    HostCore::Ports ports() { return {transport, queueTimer, engineTimer, random, diagnostics, speed}; }

    // Accepts a connection and welcomes it; returns its record.
    int connect() {
        const int record = core.accept();
        core.welcome(record);
        return record;
    }
    // Delivers one message from a record's table, terminated.
    void deliver(int record, const std::string& text) { core.received(record, text + '\xFF'); }
    // As a table logs in: its number, the version, the name and a second terminator.
    void login(int record, const std::string& name, const std::string& version = "1.0.5") {
        deliver(record, "CMD_logininfo+" + std::to_string(record) + "+" + version + "+" + name + "\xFF");
        drain();
    }
    int join(const std::string& name) {
        const int record = connect();
        login(record, name);
        return record;
    }
    void seatFour() {
        for (const char* name : {"Ann", "Bob", "Cy", "Di"}) join(name);
    }
    // Runs the queue timer until it stops.
    void drain() {
        for (int ticks = 0; queueTimer.active(); ++ticks) {
            ASSERT_LT(ticks, 5000) << "the queue timer never stops";
            core.dispatchOne();
        }
    }
    void startGame(int from = 1, int target = 10) {
        deliver(from, "CMD_startgame+Ann+" + std::to_string(target) + "+");
        drain();
    }

    Messages messages(int record) const {
        const auto it = transport.sent.find(record);
        return it == transport.sent.end() ? Messages{} : splitFrames(it->second);
    }
    // Messages a record got since `since` messages had arrived.
    Messages messagesSince(int record, std::size_t since) const {
        Messages all = messages(record);
        all.erase(all.begin(), all.begin() + static_cast<std::ptrdiff_t>(std::min(since, all.size())));
        return all;
    }
    std::size_t count(int record) const { return messages(record).size(); }
    void forgetSent() { transport.sent.clear(); }

    // Tables answer what they have read; then one queue or engine tick runs.
    // Returns false when nothing is left to do.
    bool step(std::vector<TestTable>& tables) {
        for (auto& table : tables) {
            if (!core.record(table.record()).inUse) continue;
            for (const auto& answer : table.react(transport.sent[table.record()])) deliver(table.record(), answer);
        }
        if (queueTimer.active()) core.dispatchOne();
        else if (engineTimer.running()) core.engineTick();
        else return false;
        return true;
    }
    void runUntil(std::vector<TestTable>& tables, const std::function<bool()>& done) {
        for (int steps = 0; !done(); ++steps) {
            ASSERT_LT(steps, 500000) << "the game did not get there";
            if (!step(tables)) {
                ASSERT_TRUE(done()) << "the game stalled after " << lastOf(1);
                return;
            }
        }
    }
    std::string lastOf(int record) const {
        const Messages all = messages(record);
        std::string text;
        for (std::size_t i = all.size() > 8 ? all.size() - 8 : 0; i < all.size(); ++i) text += all[i] + " ";
        return text;
    }
    TestTable tableFor(int record) { return TestTable(record, transport.sent[record].size()); }

    FakeTransport transport;
    FakeQueueTimer queueTimer;
    ManualTimer engineTimer;
    SeededRandom random{20240601};
    RecordingDiagnostics diagnostics;
    FixedBotSpeed speed{500};
    HostCore core{ports()};
    const GameState& state() const { return core.engine().state(); }
};

// --- connections -------------------------------------------------------

TEST_F(HostCoreTest, NineConnectionsAreNumberedAndATenthIsRefused) {
    for (int expected = 1; expected <= 9; ++expected) {
        EXPECT_EQ(connect(), expected);
        EXPECT_EQ(messages(expected), Messages{"CMD_sendlogininfo+" + std::to_string(expected)});
    }
    EXPECT_EQ(core.highWaterMark(), 9);

    EXPECT_EQ(connect(), HostCore::kRefusedRecord);
    EXPECT_EQ(transport.sent[10], "CMD_full+\xFF"s);
    EXPECT_EQ(transport.closed, std::vector<int>{10});
    EXPECT_FALSE(core.record(10).inUse);
    EXPECT_EQ(core.highWaterMark(), 9);

    // Record 10 hears nothing of what goes to all.
    login(1, "Ann");
    startGame();
    EXPECT_EQ(transport.sent[10], "CMD_full+\xFF"s);
}

TEST_F(HostCoreTest, AFreedRecordIsRefilledLowestFirstAndTheMarkOnlyGrows) {
    for (int i = 0; i < 5; ++i) connect();
    core.connectionClosed(3);
    core.connectionClosed(2);
    core.connectionClosed(5);
    EXPECT_TRUE(transport.closed.empty()) << "a peer's close is not closed again";
    EXPECT_EQ(core.highWaterMark(), 5);
    EXPECT_EQ(connect(), 2);
    EXPECT_EQ(connect(), 3);
    EXPECT_EQ(connect(), 5);
    EXPECT_EQ(connect(), 6);
    EXPECT_EQ(core.highWaterMark(), 6);
}

TEST_F(HostCoreTest, TheEngineSeesWhichSeatsHaveATable) {
    for (int i = 0; i < 5; ++i) connect();
    core.connectionClosed(2);
    for (int seat = 1; seat <= 4; ++seat) EXPECT_EQ(state().seat(seat).inUse, seat != 2) << seat;
    connect();
    EXPECT_TRUE(state().seat(2).inUse);
}

TEST_F(HostCoreTest, AnAcceptedTableHearsWhatGoesToAllBeforeItLogsIn) {
    join("Ann");
    connect();
    deliver(1, "CMD_chat+1+hello|clBlack");
    drain();
    EXPECT_EQ(messages(2).back(), "CMD_chat+Ann chats: hello|clBlack");
}

// --- login -------------------------------------------------------------

TEST_F(HostCoreTest, LoginAnnouncesTheNewcomerAndListsTheOthersInOrder) {
    join("Ann");
    connect();
    connect();
    join("Di");  // record 4; records 2 and 3 are accepted but nameless
    login(2, "Bob");
    EXPECT_EQ(messages(2), (Messages{
                               "CMD_sendlogininfo+2",
                               "CMD_newplayerinfo+4+Di",
                               "CMD_newplayerinfo+2+Bob",
                               "CMD_existingplayers+1+Ann",
                               "CMD_existingplayers+3+",
                               "CMD_existingplayers+4+Di",
                           }));
    EXPECT_EQ(messagesSince(1, 3), Messages{"CMD_newplayerinfo+2+Bob"});
    EXPECT_EQ(messagesSince(4, 5), Messages{"CMD_newplayerinfo+2+Bob"});
}

TEST_F(HostCoreTest, AWrongVersionWarnsRecordOneAndTheNewcomerAndLetsHimIn) {
    join("Ann");
    connect();
    login(2, "Bob", "1.0.4");
    EXPECT_EQ(messages(2), (Messages{
                               "CMD_sendlogininfo+2",
                               "CMD_newplayerinfo+2+Bob",
                               "CMD_existingplayers+1+Ann",
                               "CMD_wrongversion+",
                           }));
    EXPECT_EQ(messagesSince(1, 2), (Messages{"CMD_newplayerinfo+2+Bob", "CMD_havewrongversion+Bob"}));
    EXPECT_EQ(core.record(2).name, "Bob");
    EXPECT_TRUE(core.record(2).inUse);
}

TEST_F(HostCoreTest, TheEmptyMessageAfterALoginIsIgnored) {
    connect();
    deliver(1, "CMD_logininfo+1+1.0.5+Ann\xFF");
    EXPECT_EQ(core.queue().size(), 2u);
    core.dispatchOne();
    const auto sent = count(1);
    core.dispatchOne();
    EXPECT_EQ(count(1), sent);
    EXPECT_FALSE(queueTimer.active());
}

// --- a whole game --------------------------------------------------------

TEST_F(HostCoreTest, FourTablesPlayAGameToTheWinner) {
    seatFour();
    join("Watcher");
    std::vector<TestTable> tables;
    for (int record = 1; record <= 4; ++record) tables.push_back(tableFor(record));
    const auto before = count(5);
    startGame(1, 10);
    runUntil(tables, [&] { return tables[0].winners() > 0; });
    while (step(tables)) {
    }

    for (const auto& table : tables) EXPECT_EQ(table.winners(), 1) << table.record();
    EXPECT_FALSE(state().gameRunning);
    EXPECT_TRUE(diagnostics.reports.empty());
    const Messages watched = messagesSince(5, before);
    ASSERT_FALSE(watched.empty());
    EXPECT_EQ(watched.front(), "CMD_startgame+Ann+10+");
    EXPECT_EQ(watched.back().rfind("CMD_thewinner+", 0), 0u);
    EXPECT_GT(tables[0].hands(), 1);
    // The watcher sees every hand dealt face down and no card refused.
    for (const auto& message : watched) {
        EXPECT_NE(message.rfind("CMD_notvalid", 0), 0u);
        EXPECT_NE(message.rfind("CMD_switch", 0), 0u);
        if (message.rfind("CMD_placecard+", 0) == 0) {
            FieldReader reader(splitCommand(message).rest);
            reader.number();
            for (int slot = 1; slot <= 5; ++slot) {
                EXPECT_EQ(reader.number(), slot);
                EXPECT_EQ(reader.number(), 0);
            }
        }
    }
    // Each seat's table saw its own cards at every deal, and only its own.
    for (int record = 1; record <= 4; ++record) {
        for (const auto& message : messages(record)) {
            if (message.rfind("CMD_placecard+", 0) != 0) continue;
            FieldReader reader(splitCommand(message).rest);
            const int seat = reader.number().value_or(0);
            for (int slot = 1; slot <= 5; ++slot) {
                reader.number();
                EXPECT_EQ(reader.number().value_or(-1) != 0, seat == record) << message;
            }
        }
    }
    const Messages last = messages(1);
    const auto score = std::find_if(last.rbegin(), last.rend(), [](const std::string& m) { return m.rfind("CMD_score+", 0) == 0; });
    ASSERT_NE(score, last.rend());
    FieldReader reader(splitCommand(*score).rest);
    reader.number();
    const int team1 = reader.number().value_or(0);
    reader.number();
    const int team2 = reader.number().value_or(0);
    EXPECT_GE(std::max(team1, team2), 10);
}

// --- departures ----------------------------------------------------------

TEST_F(HostCoreTest, TheComputerBidsAtOnceForASeatThatLeavesWhileItsBidIsAwaited) {
    seatFour();
    startGame();
    ASSERT_EQ(state().currentBidder, 2);
    deliver(3, "CMD_chat+3+still here|clBlack");
    const auto before = count(1);
    core.connectionClosed(2);

    const Messages after = messagesSince(1, before);
    ASSERT_GE(after.size(), 2u);
    EXPECT_EQ(after[0], "CMD_playerdisconnected+2+Bob");
    EXPECT_TRUE(after[1] == "CMD_hepassed+2+" || after[1] == "CMD_heaccepted+2+") << after[1];
    EXPECT_NE(state().currentBidder, 2);
    EXPECT_EQ(core.queue().size(), 1u) << "the chat waits for its tick";
    EXPECT_TRUE(transport.closed.empty());
    EXPECT_FALSE(core.record(2).inUse);
    EXPECT_EQ(core.record(2).name, "");
    EXPECT_EQ(messagesSince(2, 0).back(), "CMD_bidder+2+") << "nothing more goes to the closed record";
}

TEST_F(HostCoreTest, TheComputerAlsoTakesOverRecordOnesAwaitedDecision) {
    seatFour();
    startGame();
    for (int seat : {2, 3, 4}) deliver(seat, "CMD_selectedbubble+" + std::to_string(seat) + "+2+");
    drain();
    ASSERT_EQ(state().currentBidder, 1);
    const auto before = count(2);
    core.connectionClosed(1);
    EXPECT_NE(state().currentBidder, 1);
    const Messages after = messagesSince(2, before);
    ASSERT_GE(after.size(), 2u);
    EXPECT_EQ(after[0], "CMD_playerdisconnected+1+Ann");
    EXPECT_TRUE(after[1] == "CMD_hepassed+1+" || after[1] == "CMD_heaccepted+1+") << after[1];
}

TEST_F(HostCoreTest, ANewcomerInAFreedSeatGetsOnlyItsRemainingCards) {
    seatFour();
    join("Wes");
    join("Flo");
    std::vector<TestTable> tables;
    for (int record = 1; record <= 4; ++record) tables.push_back(tableFor(record));
    startGame();
    runUntil(tables, [&] { return state().seat(3).cardsHeld() == 3 && state().currentPlayer != 3; });
    core.connectionClosed(3);
    tables.erase(tables.begin() + 2);
    EXPECT_EQ(messages(1).back(), "CMD_playerdisconnected+3+Cy");

    const auto start = count(3);
    const int record = connect();
    ASSERT_EQ(record, 3);
    tables.push_back(tableFor(3));
    login(3, "Gus");
    const GameState& s = state();
    std::string cards = "CMD_loadcards+" + std::to_string(s.makerTeam()) + "+0+" + std::to_string(s.dealer) + "+" +
                        std::to_string(s.trump);
    for (int seat = 1; seat <= 4; ++seat) cards += "+" + std::to_string(s.seat(seat).tableCard);
    std::string hand = "CMD_placecard+3";
    for (int slot = 1; slot <= 5; ++slot)
        if (s.card(3, slot) != 0) hand += "+" + std::to_string(slot) + "+" + std::to_string(s.card(3, slot));
    auto held = [&](int seat) { return std::to_string(s.seat(seat).cardsHeld()); };
    EXPECT_EQ(messagesSince(3, start + 1), (Messages{
                                       "CMD_newplayerinfo+3+Gus",
                                       "CMD_existingplayers+1+Ann",
                                       "CMD_existingplayers+2+Bob",
                                       "CMD_existingplayers+4+Di",
                                       "CMD_existingplayers+5+Wes",
                                       "CMD_existingplayers+6+Flo",
                                       cards + "+",
                                       "CMD_loadstats+10+" + std::to_string(s.teams[1].score) + "+" +
                                           std::to_string(s.teams[1].tricks) + "+" + std::to_string(s.teams[2].score) +
                                           "+" + std::to_string(s.teams[2].tricks) + "+",
                                       hand,
                                       "CMD_loadtheircards+1+" + held(1) + "+2+" + held(2) + "+4+" + held(4),
                                   }));
    EXPECT_EQ(std::count(hand.begin(), hand.end(), '+'), 1 + 2 * 3) << "three cards left, empty slots not listed";

    // The newcomer plays the hand on, to the end of the game.
    runUntil(tables, [&] { return !state().gameRunning; });
    EXPECT_TRUE(diagnostics.reports.empty());
}

TEST_F(HostCoreTest, AWatcherJoiningMidGameGetsCardCountsForAllFourSeats) {
    seatFour();
    std::vector<TestTable> tables;
    for (int record = 1; record <= 4; ++record) tables.push_back(tableFor(record));
    startGame();
    runUntil(tables, [&] { return state().trickNumber == 2 && state().currentPlayer != 0; });
    const int watcher = connect();
    ASSERT_EQ(watcher, 5);
    login(watcher, "Wes");
    Messages replay = messagesSince(watcher, 1 + 1 + 4);  // sendlogininfo, newplayerinfo, four existing
    const GameState& s = state();
    ASSERT_EQ(replay.size(), 3u);
    EXPECT_EQ(replay[0].rfind("CMD_loadcards+", 0), 0u);
    EXPECT_EQ(replay[1].rfind("CMD_loadstats+", 0), 0u);
    std::string counts = "CMD_loadtheircards";
    for (int seat = 1; seat <= 4; ++seat) counts += "+" + std::to_string(seat) + "+" + std::to_string(s.seat(seat).cardsHeld());
    EXPECT_EQ(replay[2], counts);
    EXPECT_EQ(std::count_if(replay.begin(), replay.end(), [](const std::string& m) { return m.rfind("CMD_placecard", 0) == 0; }), 0);
}

TEST_F(HostCoreTest, ANewcomerTakingAnAwaitedExchangeIsAskedToDiscard) {
    seatFour();
    core.connectionClosed(1);  // seat 1 deals and is played by the computer
    startGame(2);
    deliver(2, "CMD_selectedbubble+2+1+");
    deliver(2, "CMD_selectedbubble+2+8+");
    drain();
    ASSERT_EQ(state().discarder, 1);
    ASSERT_TRUE(engineTimer.running());

    ASSERT_EQ(connect(), 1);
    login(1, "Ann");
    EXPECT_EQ(messages(1).back(), "CMD_discarder+1+");
    for (int tick = 0; tick < 5; ++tick) core.engineTick();
    EXPECT_EQ(state().discarder, 1) << "the computer stopped playing the seat";

    const int turned = state().turnedCard();
    deliver(1, "CMD_playcard+1+3+");
    drain();
    EXPECT_EQ(state().discarder, 0);
    const Messages toDealer = messages(1);
    EXPECT_NE(std::find(toDealer.begin(), toDealer.end(), "CMD_switch+1+3+" + std::to_string(turned) + "+"), toDealer.end());
}

TEST_F(HostCoreTest, ANewcomerTakingAnAwaitedAloneAnswerIsAskedForIt) {
    join("Ann");
    connect();  // record 2, freed before the game so the computer plays seat 2
    join("Cy");
    join("Di");
    core.connectionClosed(2);
    startGame();
    ASSERT_EQ(state().currentBidder, 2);
    // Seat 2 holds every high trump, so the computer orders up.
    auto& seat2 = core.engine().stateForTesting().seat(2);
    const int trump = state().trump;
    seat2.slots = {0, rightBowerFor(trump), leftBowerFor(trump), cardCode(trump, kAce), cardCode(trump, kKing),
                   cardCode(trump, kQueen)};
    for (int tick = 0; tick < 10 && state().aloneCandidate == 0; ++tick) core.engineTick();
    ASSERT_EQ(state().aloneCandidate, 2);
    ASSERT_TRUE(state().aloneAnswerAwaited());

    ASSERT_EQ(connect(), 2);
    login(2, "Bob");
    const Messages got = messages(2);
    EXPECT_EQ(got.back(), "CMD_aloner+2+");
    EXPECT_EQ(got[got.size() - 2].rfind("CMD_loadtheircards+1+5+3+5+4+5", 0), 0u);

    deliver(2, "CMD_selectedbubble+2+8+");
    drain();
    EXPECT_EQ(messages(3).back(), "CMD_discarder+1+");
}

TEST_F(HostCoreTest, ANewcomerIsNotAskedForAnAnswerAlreadyGiven) {
    seatFour();
    core.connectionClosed(1);
    startGame(2);
    deliver(2, "CMD_selectedbubble+2+1+");
    deliver(2, "CMD_selectedbubble+2+8+");
    drain();
    core.connectionClosed(2);  // the Maker has answered; only the exchange is awaited
    ASSERT_EQ(connect(), 1);
    login(1, "Ann");
    ASSERT_EQ(connect(), 2);
    login(2, "Bob");
    const Messages got = messages(2);
    EXPECT_EQ(got.back().rfind("CMD_loadtheircards+", 0), 0u);
}

TEST_F(HostCoreTest, DuringThePauseAfterATrickNobodyPlaysOutOfTurn) {
    seatFour();
    std::vector<TestTable> tables;
    for (int record = 1; record <= 4; ++record) tables.push_back(tableFor(record));
    startGame();
    // Just after the first trick of a hand, while the tricks lie on the table a moment.
    runUntil(tables, [&] {
        const Messages got = messages(1);
        return got.back().rfind("CMD_trickwinner+", 0) == 0 && state().trickNumber == 2;
    });
    const int winner = FieldReader(splitCommand(messages(1).back()).rest).number().value_or(0);
    ASSERT_TRUE(isSeat(winner));
    const int before = winner == 1 ? 4 : winner - 1;  // the seat the winner's turn follows
    int slot = 1;
    while (state().card(before, slot) == 0) ++slot;

    forgetSent();
    deliver(before, "CMD_playcard+" + std::to_string(before) + "+" + std::to_string(slot) + "+");
    drain();
    EXPECT_TRUE(transport.sent.empty()) << "a card in the pause is ignored";

    core.connectionClosed(before);
    EXPECT_EQ(state().seat(before).tableCard, 0) << "the computer waits for the turn too";
    ASSERT_EQ(connect(), before);
    login(before, "New");
    EXPECT_EQ(messages(before).back().rfind("CMD_loadtheircards+", 0), 0u) << "no prompt to play in the pause";

    for (int tick = 0; tick < 5; ++tick) core.engineTick();
    const Messages after = messages(winner);
    EXPECT_EQ(after[after.size() - 2], "CMD_clearcards+");
    EXPECT_EQ(after.back(), "CMD_nextplayer+" + std::to_string(state().seat(winner).sitsOut ? nextSeat(winner) : winner) + "+");
}

// --- relays --------------------------------------------------------------

TEST_F(HostCoreTest, RelaysCarryNamesAndTextsWithPlusAndBarWhole) {
    join("A+B|C");
    join("Bob");
    for (int i = 0; i < 3; ++i) connect();
    join("Wes");  // record 6, a watcher
    const std::vector<std::pair<int, std::string>> cases = {
        {2, "CMD_chat+2+1+1=2 | ok|$000000FF"},
        {1, "CMD_action+1+waves+bows|clBlack"},
        {6, "CMD_action+6+says: Nice+play|clNavy"},
        {2, "CMD_playasound+2+wave7+"},
        {1, "CMD_chat+1+"},
    };
    const Messages expected = {
        "CMD_chat+Bob chats: 1+1=2 | ok|$000000FF",
        "CMD_action+A+B|C waves+bows|clBlack",
        "CMD_action+Wes says: Nice+play|clNavy",
        "CMD_playasound+2+wave7+",
        "CMD_chat+A+B|C chats: ",
    };
    std::vector<std::size_t> before;
    for (int record = 1; record <= 6; ++record) before.push_back(count(record));
    for (const auto& [from, text] : cases) deliver(from, text);
    drain();
    for (int record = 1; record <= 6; ++record) EXPECT_EQ(messagesSince(record, before[record - 1]), expected) << record;
    EXPECT_EQ(messages(2)[1], "CMD_newplayerinfo+2+Bob");
    EXPECT_EQ(messages(2)[2], "CMD_existingplayers+1+A+B|C");
}

TEST_F(HostCoreTest, ADepartureNamesTheLeaverToEveryoneElse) {
    join("A+B");
    join("Bob");
    join("Cy");
    core.connectionClosed(1);
    EXPECT_EQ(messages(2).back(), "CMD_playerdisconnected+1+A+B");
    EXPECT_EQ(messages(3).back(), "CMD_playerdisconnected+1+A+B");
    EXPECT_NE(messages(1).back(), "CMD_playerdisconnected+1+A+B");
}

// --- just watching and kicking -------------------------------------------

class JustWatchTest : public HostCoreTest, public ::testing::WithParamInterface<int> {};

TEST_P(JustWatchTest, FromTheSeatOrRecordOneTheComputerActsAtOnce) {
    const int from = GetParam();
    seatFour();
    startGame();
    ASSERT_EQ(state().currentBidder, 2);
    const auto before = count(3);
    deliver(from, "CMD_justwatch+2+1");
    core.dispatchOne();
    const Messages after = messagesSince(3, before);
    ASSERT_GE(after.size(), 2u);
    EXPECT_EQ(after[0], "CMD_justwatching+2+1");
    EXPECT_TRUE(after[1] == "CMD_hepassed+2+" || after[1] == "CMD_heaccepted+2+") << after[1];
    EXPECT_TRUE(state().seat(2).computerPlays);

    deliver(from, "CMD_justwatch+2+2");
    drain();
    EXPECT_EQ(messages(3).back(), "CMD_justwatching+2+2");
    EXPECT_FALSE(state().seat(2).computerPlays);
}

INSTANTIATE_TEST_SUITE_P(Senders, JustWatchTest, ::testing::Values(1, 2));

TEST_F(HostCoreTest, JustWatchForASeatWithoutATableChangesNothing) {
    join("Ann");
    startGame();
    deliver(1, "CMD_justwatch+3+1");
    drain();
    EXPECT_FALSE(state().seat(3).computerPlays);
    EXPECT_NE(messages(1).back(), "CMD_justwatching+3+1");
}

TEST_F(HostCoreTest, ANewGameEndsEveryonesJustWatching) {
    seatFour();
    deliver(3, "CMD_justwatch+3+1");
    drain();
    ASSERT_TRUE(state().seat(3).computerPlays);
    startGame();
    EXPECT_FALSE(state().seat(3).computerPlays);
}

TEST_F(HostCoreTest, RecordOneMayKickAnyone) {
    seatFour();
    join("Wes");
    deliver(1, "CMD_kickhim+1+5+");
    drain();
    EXPECT_EQ(transport.closed, std::vector<int>{5});
    EXPECT_FALSE(core.record(5).inUse);
    EXPECT_EQ(messages(2).back(), "CMD_playerdisconnected+5+Wes");
}

TEST_F(HostCoreTest, KickingASeatDuringAGameHandsItToTheComputer) {
    seatFour();
    startGame();
    deliver(1, "CMD_kickhim+1+2+");
    drain();
    EXPECT_EQ(transport.closed, std::vector<int>{2});
    EXPECT_NE(state().currentBidder, 2);
    EXPECT_TRUE(state().seat(2).computerPlayed());
}

// --- what the host refuses -------------------------------------------------

struct Snapshot {
    std::string text;
    static Snapshot of(const HostCore& core) {
        const GameState& s = core.engine().state();
        std::string t;
        for (int v : {int(s.gameRunning), s.target, s.dealer, s.trump, s.currentBidder, s.currentChooser,
                      s.currentPlayer, s.discarder, s.aloneCandidate, core.engine().stepCode()})
            t += std::to_string(v) + ",";
        for (int seat = 1; seat <= 4; ++seat) {
            t += "|" + std::to_string(s.seat(seat).computerPlays) + std::to_string(s.seat(seat).inUse);
            for (int slot = 1; slot <= 5; ++slot) t += "," + std::to_string(s.card(seat, slot));
        }
        for (int record = 1; record <= 9; ++record)
            t += "|" + core.record(record).name + std::to_string(core.record(record).inUse);
        return {t};
    }
};

TEST_F(HostCoreTest, SpoofedUnreadableAndOutOfRangeMessagesChangeNothing) {
    seatFour();
    join("Wes");
    startGame();
    ASSERT_EQ(state().currentBidder, 2);
    const std::vector<std::pair<int, std::string>> cases = {
        // someone else's seat or connection number
        {3, "CMD_selectedbubble+2+2+"},
        {3, "CMD_playcard+2+1+"},
        {2, "CMD_chat+3+hello|clBlack"},
        {2, "CMD_action+1+waves|clBlack"},
        {2, "CMD_playasound+1+wave1+"},
        {2, "CMD_logininfo+1+1.0.5+Mallory"},
        {5, "CMD_selectedbubble+5+2+"},
        // kicks not from record 1, or at no connection
        {2, "CMD_kickhim+2+3+"},
        {2, "CMD_kickhim+1+3+"},
        {1, "CMD_kickhim+2+3+"},
        {1, "CMD_kickhim+1+10+"},
        {1, "CMD_kickhim+1+0+"},
        {1, "CMD_kickhim+1+-1+"},
        {1, "CMD_kickhim+1+x+"},
        // just watching from an unrelated table, or not exactly "1"/"2"
        {3, "CMD_justwatch+2+1"},
        {5, "CMD_justwatch+2+1"},
        {1, "CMD_justwatch+2+1+"},
        {1, "CMD_justwatch+2+ 1"},
        {1, "CMD_justwatch+2+3"},
        {1, "CMD_justwatch+5+1"},
        {1, "CMD_justwatch+0+1"},
        {1, "CMD_justwatch+x+1"},
        // numbers that do not read, seats, slots and bubble codes out of range
        {2, "CMD_selectedbubble+2+x+"},
        {2, "CMD_selectedbubble+2++"},
        {2, "CMD_selectedbubble+2+ 2+"},
        {2, "CMD_selectedbubble+2+2x+"},
        {2, "CMD_selectedbubble+2+99999999999+"},
        {2, "CMD_selectedbubble+2+9+"},
        {2, "CMD_selectedbubble+2+0+"},
        {2, "CMD_selectedbubble+2+-1+"},
        {2, "CMD_selectedbubble+2+21+"},
        {2, "CMD_selectedbubble+02x+2+"},
        {2, "CMD_selectedbubble+2"},
        {2, "CMD_playcard+2+0+"},
        {2, "CMD_playcard+2+6+"},
        {2, "CMD_playcard+2+-2147483648+"},
        {2, "CMD_playcard+2+"},
        {2, "CMD_chat+x+hello"},
        {2, "CMD_chat+"},
        {2, "CMD_playasound+2x+wave1+"},
        {1, "CMD_logininfo+x+1.0.5+Z"},
        {1, "CMD_startgame+Ann+x+"},
        {1, "CMD_startgame+Ann++"},
        {1, "CMD_startgame+Ann+0+"},
        {1, "CMD_startgame+Ann+-5+"},
        {1, "CMD_startgame+Ann"},
        // commands the host does not take
        {1, "CMD_botspeed+1+200+"},
        {2, "CMD_bidder+2+"},
        {2, "cmd_selectedbubble+2+2+"},
        {2, "CMD_selectedbubble 2 2"},
        {2, ""},
        {2, "+CMD_chat+2+hi"},
        {2, "\x01\x02\x80"},
    };
    const Snapshot before = Snapshot::of(core);
    for (const auto& [from, text] : cases) {
        forgetSent();
        deliver(from, text);
        drain();
        EXPECT_TRUE(transport.sent.empty()) << from << ": " << text << " -> " << transport.sent.begin()->second;
        EXPECT_EQ(Snapshot::of(core).text, before.text) << from << ": " << text;
    }
    EXPECT_TRUE(transport.closed.empty());
    EXPECT_TRUE(diagnostics.reports.empty());

    // The game goes on as before.
    deliver(2, "CMD_selectedbubble+2+2+");
    drain();
    EXPECT_EQ(state().currentBidder, 3);
}

TEST_F(HostCoreTest, AMalformedStartDuringAGameLeavesTheComputerPlayersTicking) {
    join("Ann");
    startGame();
    ASSERT_EQ(state().currentBidder, 2);
    ASSERT_TRUE(engineTimer.running());
    for (const char* text : {"CMD_startgame+Ann+ten+", "CMD_startgame+Ann+0+", "CMD_startgame+Ann"}) {
        deliver(1, text);
        drain();
        EXPECT_TRUE(engineTimer.running()) << text;
        EXPECT_EQ(core.engine().stepCode(), 2) << text;
    }
    for (int tick = 0; tick < 3; ++tick) core.engineTick();
    EXPECT_NE(state().currentBidder, 2) << "the computer's bid came";
}

TEST_F(HostCoreTest, AStartFromAnyTableWithAPositiveTargetStartsANewGame) {
    join("Ann");
    join("Bob");
    deliver(2, "CMD_startgame+Bob+007+");
    drain();
    EXPECT_TRUE(state().gameRunning);
    EXPECT_EQ(state().target, 7);
    EXPECT_EQ(messages(1)[3], "CMD_startgame+Bob+7+");
}

// --- flooding, oversized messages and the queue --------------------------

TEST_F(HostCoreTest, MoreThanAThousandWaitingMessagesCloseTheConnection) {
    for (const auto& [waiting, closed] : std::vector<std::pair<int, bool>>{{1000, false}, {1001, true}}) {
        SCOPED_TRACE(waiting);
        HostCore host(ports());
        transport.closed.clear();
        for (int i = 0; i < 3; ++i) host.welcome(host.accept());
        host.received(3, "CMD_chat+3+first\xFF"s);
        std::string flood;
        for (int i = 0; i < waiting; ++i) flood += "CMD_chat+2+spam\xFF"s;
        host.received(2, flood);
        EXPECT_EQ(host.record(2).inUse, !closed);
        EXPECT_EQ(transport.closed, closed ? std::vector<int>{2} : std::vector<int>{});
        EXPECT_EQ(host.queue().waitingFrom(2), closed ? 0u : 1000u);
        EXPECT_EQ(host.queue().waitingFrom(3), 1u);
    }
    EXPECT_EQ(messages(3).back(), "CMD_playerdisconnected+2+");
}

TEST_F(HostCoreTest, AnOversizedUnfinishedMessageClosesTheConnection) {
    join("Ann");
    join("Bob");
    core.received(2, std::string(65536, 'x'));
    EXPECT_TRUE(core.record(2).inUse) << "65,536 bytes may wait";
    core.received(2, "x");
    EXPECT_FALSE(core.record(2).inUse);
    EXPECT_EQ(transport.closed, std::vector<int>{2});
    EXPECT_EQ(messages(1).back(), "CMD_playerdisconnected+2+Bob");

    // The next holder of record 2 starts with nothing pending.
    ASSERT_EQ(connect(), 2);
    login(2, "Cy");
    EXPECT_EQ(core.record(2).name, "Cy");
}

TEST_F(HostCoreTest, TwoMegabytesWithoutATerminatorCloseTheConnection) {
    join("Ann");
    join("Bob");
    core.received(2, std::string(2 * 1024 * 1024, 'A'));
    EXPECT_FALSE(core.record(2).inUse);
    EXPECT_EQ(transport.closed, std::vector<int>{2});
}

TEST_F(HostCoreTest, AMessageArrivingOneByteAtATimeIsHandledWhole) {
    join("Ann");
    join("Bob");
    const std::string bytes = "CMD_chat+2+one+byte|clRed\xFF"s;
    for (char byte : bytes) {
        EXPECT_FALSE(queueTimer.active());
        core.received(2, std::string_view(&byte, 1));
    }
    EXPECT_TRUE(queueTimer.active());
    drain();
    EXPECT_EQ(messages(1).back(), "CMD_chat+Bob chats: one+byte|clRed");
}

TEST_F(HostCoreTest, LinesOfAClosedConnectionAreDropped) {
    join("Ann");
    join("Bob");
    join("Cy");
    deliver(2, "CMD_chat+2+one|clBlack");
    deliver(3, "CMD_chat+3+two|clBlack");
    deliver(2, "CMD_chat+2+three|clBlack");
    core.connectionClosed(2);
    EXPECT_EQ(core.queue().size(), 1u);
    // A newcomer in record 2 must not inherit the lines.
    ASSERT_EQ(connect(), 2);
    const auto before = count(1);
    drain();
    EXPECT_EQ(messagesSince(1, before), Messages{"CMD_chat+Cy chats: two|clBlack"});
}

TEST_F(HostCoreTest, TheQueueTimerRunsOnlyWhileMessagesWait) {
    join("Ann");
    join("Bob");
    EXPECT_FALSE(queueTimer.active());
    const int starts = queueTimer.starts;
    core.received(1, "CMD_chat+1+a|clRed"s);
    EXPECT_FALSE(queueTimer.active()) << "an unfinished message does not wake the host";
    core.received(1, "\xFF" "CMD_chat+1+b|clRed\xFF"s);
    core.received(2, "CMD_chat+2+c|clRed\xFF"s);
    EXPECT_TRUE(queueTimer.active());
    EXPECT_EQ(queueTimer.starts, starts + 1);
    core.dispatchOne();
    core.dispatchOne();
    EXPECT_TRUE(queueTimer.active());
    core.dispatchOne();
    EXPECT_FALSE(queueTimer.active());
    core.dispatchOne();  // a late tick on an empty queue is harmless
    EXPECT_FALSE(queueTimer.active());

    // Dropping the last waiting lines stops it too.
    deliver(2, "CMD_chat+2+d|clRed");
    core.connectionClosed(2);
    EXPECT_FALSE(queueTimer.active());
}

TEST_F(HostCoreTest, BytesForRecordsNotInUseAreIgnored) {
    join("Ann");
    for (int record : {0, 2, 9, 10, 11, -1, 12}) core.received(record, "CMD_chat+1+x\xFF"s);
    EXPECT_TRUE(core.queue().empty());
    core.connectionClosed(7);
    core.disconnectsock(7);
    core.disconnectsock(10);
    EXPECT_TRUE(transport.closed.empty());
}

}  // namespace
}  // namespace vornel::net

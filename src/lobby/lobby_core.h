#pragma once
// The lobby server without sockets: the adapter (QtLobbyServer, a test, the
// fuzzer) reports accepted connections, bytes read and closed connections,
// ticks the timers and reports the reachability checks; the core answers
// through LobbyTransport. docs/lobby-protocol.md describes what it does.
//
// Received bytes are cut into messages at once and queued; the queue timer
// works them off in arrival order. tick() runs at the moments nextTickMs()
// names, at least every kTickIntervalMs: it moves the starts of games past
// their deadlines, pings silent connections, closes dead ones, and sends the
// group whose turn has come its update: the chat lines that came meanwhile
// and every change since the group's last update, made once for the group,
// the same bytes for all in it. The players are dealt into kUpdateGroups
// groups that take their turns in rotation, so sending is spread over the
// quarter second. The turns keep to fixed times: when a tick comes a little
// late, the turns it missed follow at once, one per tick (the sockets are
// read in between), and the later turns are not pushed back; after a longer
// stall the turns go on from then, in their order. A group's updates are
// at least a quarter second apart, so it never gets more than
// kUpdatesPerSecond in any second; a group whose update went out late comes
// back to its turns' times a little at each turn.
//
// The core is spread over three files: lobby_core.cpp (connections, login,
// chat, updates, keep-alive), lobby_tables.cpp (tables) and lobby_start.cpp
// (the check and the start of a game).

#include <array>
#include <cstdint>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "engine/ports.h"
#include "lobby/lobby_ports.h"
#include "lobby/lobby_protocol.h"
#include "net/dispatcher.h"
#include "net/host_core.h"
#include "net/receive_queue.h"

namespace vornel::lobby {

class LobbyCore {
public:
    struct Ports {
        LobbyTransport& transport;
        net::QueueTimer& queueTimer;
        LobbyClock& clock;
        ReachabilityProber& prober;
        Diagnostics& diagnostics;
    };

    // How many messages one queue-timer tick handles at most, so sockets
    // are read between them.
    static constexpr int kDispatchPerTick = 256;
    static constexpr int kUpdateGroups = 10;
    static constexpr int kUpdatesPerSecond = 1000 / kUpdateIntervalMs;
    // A group's turns come a little more than a quarter second apart: a turn
    // that runs a few milliseconds late then does not hold back the group's
    // turn four later, which must come a whole second after it.
    static constexpr int kGroupPeriodMs = kUpdateIntervalMs + 2;
    // The longest time between ticks: the turns come about this often, and
    // the deadlines and the keep-alive need no finer steps.
    static constexpr int kTickIntervalMs = kUpdateIntervalMs / kUpdateGroups;

    LobbyCore(Ports ports, int maxPlayers = kDefaultMaxPlayers);
    LobbyCore(const LobbyCore&) = delete;
    LobbyCore& operator=(const LobbyCore&) = delete;

    // A connection arrived from `peerAddress` (dotted IPv4): returns its
    // number, never used twice. The caller maps its socket to the number,
    // then calls welcome(), which turns it away when the server is full.
    int accept(std::string_view peerAddress);
    void welcome(int connection);
    // Bytes read on a connection.
    void received(int connection, std::string_view bytes);
    // The peer closed the connection, or it broke.
    void connectionClosed(int connection);
    // Queue-timer tick: handles up to kDispatchPerTick waiting messages.
    void dispatchWaiting();
    // The updates whose turn has come, the keep-alive and the deadlines.
    void tick();
    // When tick() has work next: now when a turn is overdue, else the next
    // group's turn or the moment a group whose last update went out late
    // may have its next.
    std::int64_t nextTickMs() const;
    // The reachability check `probe` has ended.
    void probeFinished(int probe, ProbeResult result);
    // Shutting down: every connection gets LOBBY_closing and is closed.
    void closeAll();

    // What the adapter, the tests and the fuzzer look at.
    bool isOpen(int connection) const { return connections_.contains(connection); }
    std::size_t connectionCount() const { return connections_.size(); }
    std::size_t playerCount() const { return names_.size(); }
    std::size_t tableCount() const { return tables_.size(); }
    const net::ReceiveQueue& queue() const { return queue_; }
    int maxPlayers() const { return maxPlayers_; }
    // The first broken invariant of players, tables and the queue, or "".
    std::string brokenInvariant() const;

private:
    enum class Phase : std::uint8_t {
        Waiting,           // players gather; a failed check may be started past
        AwaitProbeReady,   // the host's lobby was asked to listen
        Probing,           // the server's connection to the host runs
        AwaitHostReady,    // the host's game was launched
        Watchers,          // the watchers' games were launched
        FreeingSeat,       // the host's lobby was asked to free the current seat
        AwaitArrival,      // the current seat's game was launched
        HoldingSeat,       // the host's lobby was asked to hold the current seat again
        Playing,           // every game is in
    };

    struct Connection {
        std::string peer;
        net::Framer framer;
        std::int64_t openedMs = 0;
        std::int64_t lastHeardMs = 0;
        std::int64_t lastPingMs = 0;
        bool overCapacity = false;
        bool leaving = false;  // its departure is being handled: nothing more goes to it
        bool loggedIn = false;
        std::string name;
        std::string key;  // the folded name
        int table = 0;
        std::vector<std::int64_t> chatTimes;  // the last lines' times, at most kChatLinesPerWindow
        int launchedTable = 0;                // the table whose game this player was told to start
        bool gameRunning = false;
        int group = 0;                        // which update group he is in
    };

    // What changed since a group's last update.
    struct PendingUpdate {
        std::map<std::string, std::string> players;  // folded -> name as last known
        std::set<int> tables;
        std::string chat;  // chat lines, framed
        std::array<std::int64_t, kUpdatesPerSecond> sentMs{};  // its last updates, oldest first
        bool due = false;                                       // its turn has come
        std::int64_t dueMs = 0;                                 // since when
    };

    struct Table {
        int number = 0;
        std::string title;
        std::array<int, kSeats + 1> seats{};  // connections by seat 1..4; 0 is open
        std::vector<int> watchers;
        Phase phase = Phase::Waiting;
        bool checkFailed = false;
        // The start.
        int gamePort = 0;
        std::string hostAddress;   // the host's address as the server sees it
        std::string localAddress;  // as the host's lobby reported it
        int probe = 0;
        std::int64_t deadlineMs = 0;
        int currentSeat = 0;
        std::vector<int> pendingWatchers;       // launched, not arrived
        std::array<bool, kSeats + 1> held{};    // seats the host's lobby keeps
        std::vector<int> launched;              // everyone told to start, the host first

        int host() const { return seats[1]; }
        bool busy() const { return phase >= Phase::AwaitHostReady; }
        bool checking() const { return phase == Phase::AwaitProbeReady || phase == Phase::Probing; }
    };

    // --- lobby_core.cpp ---
    Connection* player(int connection);
    void send(int connection, std::string_view bytes);
    void sendError(int connection, const Notice& notice);
    void closeWith(int connection, const Notice& notice);
    void departure(int connection);
    void stopQueueTimerIfIdle();
    std::vector<int> loggedInConnections() const;
    void changedPlayer(const Connection& c);
    void changedTable(int number);
    PlayerState stateOf(const Connection& c) const;
    void sendList(int connection);
    void appendTable(std::string& out, const Table& table) const;
    void flushUpdate(PendingUpdate& pending, int group);
    // When turn `turn` (of group turn % kUpdateGroups) is due.
    std::int64_t turnDueMs(std::int64_t turn) const;
    void markDueTurns(std::int64_t now);
    void keepAlive();
    void login(std::string_view rest, int from);
    void ping(std::string_view rest, int from);
    void pong(std::string_view rest, int from);
    void chat(std::string_view rest, Connection& c, int from);
    // A handler that needs a login: refuses anyone not logged in.
    using PlayerHandler = void (LobbyCore::*)(std::string_view rest, Connection& c, int from);
    void route(std::string_view command, PlayerHandler handler);

    // --- lobby_tables.cpp ---
    // The table a request names, or nullptr after telling the sender why not:
    // the request did not parse, there is no such table, or (hostedTable) it
    // is not his; hostStep also wants the table at that step of its start
    // and, for a seat's step, at that seat.
    template <class Request>
    Table* tableFor(const std::optional<Request>& request, int from) {
        return request ? numberedTable(request->table, from) : refuseFields(from);
    }
    template <class Request>
    Table* hostedTable(const std::optional<Request>& request, int from) {
        return request ? tableHostedBy(request->table, from) : refuseFields(from);
    }
    template <class Request>
    Table* hostStep(const std::optional<Request>& request, int from, Phase step) {
        Table* table = hostedTable(request, from);
        if (table == nullptr) return nullptr;
        bool atSeat = true;
        if constexpr (requires { request->seat; }) atSeat = request->seat == table->currentSeat;
        return atStep(*table, from, step, atSeat);
    }
    Table* refuseFields(int from);
    Table* numberedTable(int number, int from);
    Table* tableHostedBy(int number, int from);
    Table* atStep(Table& table, int from, Phase step, bool atSeat);
    void newTable(std::string_view rest, Connection& c, int from);
    void sit(std::string_view rest, Connection& c, int from);
    void watch(std::string_view rest, Connection& c, int from);
    void standUp(std::string_view rest, Connection& c, int from);
    void leave(std::string_view rest, Connection& c, int from);
    void remove(std::string_view rest, Connection& c, int from);
    // Takes the player off his table; a host's leaving closes it.
    void leaveTable(int connection);
    void closeTable(int number);
    static int seatOf(const Table& table, int connection);
    static bool watches(const Table& table, int connection);

    // --- lobby_start.cpp ---
    void start(std::string_view rest, Connection& c, int from);
    void startAnyway(std::string_view rest, Connection& c, int from);
    void probeReady(std::string_view rest, Connection& c, int from);
    void hostReady(std::string_view rest, Connection& c, int from);
    void seatFree(std::string_view rest, Connection& c, int from);
    void seatHeld(std::string_view rest, Connection& c, int from);
    void arrived(std::string_view rest, Connection& c, int from);
    void gameRunning(std::string_view rest, Connection& c, int from);
    void gameEnded(std::string_view rest, Connection& c, int from);
    void checkResult(Table& table, ProbeResult result);
    void beginLaunch(Table& table);
    void launch(Table& table, int connection, Role role, int seat);
    void launchWatchers(Table& table);
    void nextSeat(Table& table, int after);
    void seatMissed(Table& table);
    void finishStart(Table& table);
    // Ends the start or the game: the table waits again, everyone launched
    // but `except` is told why.
    void endGame(Table& table, const Notice& why, int except);
    void setPhase(Table& table, Phase phase, int withinMs);
    // A member of the start's cast left the table (or the lobby).
    void castLeft(Table& table, int connection, int seat);
    void deadlines();
    std::string addressFor(const Table& table, int connection) const;

    Ports ports_;
    int maxPlayers_;
    int nextConnection_ = 1;
    int nextTable_ = 1;
    int nextProbe_ = 1;
    std::unordered_map<int, Connection> connections_;
    std::map<std::string, int> names_;  // folded name -> connection, in the list's order
    std::map<int, Table> tables_;
    std::map<int, int> probes_;  // running check -> table
    std::set<int> starting_;     // tables with a deadline
    net::ReceiveQueue queue_;
    net::Dispatcher<int> dispatcher_;
    std::array<PendingUpdate, kUpdateGroups> updates_;
    std::array<std::vector<int>, kUpdateGroups> groupMembers_;  // logged-in connections by group
    std::int64_t firstTurnMs_ = 0;  // when turn 0 was due; moved on after a stall
    std::int64_t nextTurn_ = 0;  // the first turn not yet marked due
    std::int64_t lastKeepAliveMs_ = 0;
};

}  // namespace vornel::lobby

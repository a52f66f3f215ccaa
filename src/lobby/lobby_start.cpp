// The start of a table's game: the reachability check, the host's game and
// its seat keepers, then the watchers' games and the players' games one
// seat at a time, each step with its deadline (docs/lobby-protocol.md,
// "Starting a game").

#include <algorithm>

#include "lobby/lobby_core.h"
#include "lobby/lobby_notices.h"

namespace vornel::lobby {

namespace {

bool anyHeld(const std::array<bool, kSeats + 1>& held) { return std::find(held.begin(), held.end(), true) != held.end(); }

}  // namespace

LobbyCore::Table* LobbyCore::atStep(Table& table, int from, Phase step, bool atSeat) {
    if (table.phase == step && atSeat) return &table;
    sendError(from, notice::unexpected(table.number));
    return nullptr;
}

void LobbyCore::setPhase(Table& table, Phase phase, int withinMs) {
    table.phase = phase;
    table.deadlineMs = withinMs > 0 ? ports_.clock.nowMs() + withinMs : 0;
    if (withinMs > 0) starting_.insert(table.number);
    else starting_.erase(table.number);
    changedTable(table.number);
}

// --- the check ---------------------------------------------------------------------

void LobbyCore::start(std::string_view rest, Connection& c, int from) {
    const auto request = parse::start(rest);
    Table* table = hostedTable(request, from);
    if (table == nullptr) return;
    if (table->phase != Phase::Waiting) {
        sendError(from, notice::tableBusy(table->number));
        return;
    }
    if (!isPort(request->gamePort)) {
        sendError(from, notice::badPort());
        return;
    }
    if (!isHostAddress(request->localAddress)) {
        sendError(from, notice::badAddress());
        return;
    }
    table->gamePort = request->gamePort;
    table->localAddress = request->localAddress;
    table->hostAddress = c.peer;
    table->checkFailed = false;
    setPhase(*table, Phase::AwaitProbeReady, kProbeReadyWithinMs);
    send(from, build::probeListen(table->number, table->gamePort));
}

void LobbyCore::probeReady(std::string_view rest, Connection&, int from) {
    const auto request = parse::probeReady(rest);
    Table* table = hostStep(request, from, Phase::AwaitProbeReady);
    if (table == nullptr) return;
    if (!isToken(request->token)) {
        sendError(from, notice::badToken());
        return;
    }
    table->probe = nextProbe_++;
    probes_[table->probe] = table->number;
    // The prober's own waits end it; this deadline only guards against one that never reports.
    setPhase(*table, Phase::Probing, kProbeConnectMs + kProbeReadMs + 5000);
    ports_.prober.probe(table->probe, table->hostAddress, table->gamePort, request->token);
}

void LobbyCore::probeFinished(int probe, ProbeResult result) {
    const auto it = probes_.find(probe);
    if (it == probes_.end()) return;  // its table has closed, or the check was given up
    const int number = it->second;
    probes_.erase(it);
    const auto table = tables_.find(number);
    if (table != tables_.end() && table->second.phase == Phase::Probing) checkResult(table->second, result);
}

void LobbyCore::checkResult(Table& table, ProbeResult result) {
    probes_.erase(table.probe);
    send(table.host(), build::probe(table.number, result,
                                    notice::probeText(result, table.hostAddress, table.gamePort)));
    if (result == ProbeResult::Reachable) {
        beginLaunch(table);
        return;
    }
    setPhase(table, Phase::Waiting, 0);
    table.checkFailed = true;
}

void LobbyCore::startAnyway(std::string_view rest, Connection&, int from) {
    const auto request = parse::tableOnly(rest);
    Table* table = hostedTable(request, from);
    if (table == nullptr) return;
    if (table->phase != Phase::Waiting) sendError(from, notice::tableBusy(table->number));
    else if (!table->checkFailed) sendError(from, notice::noCheck(table->number));
    else beginLaunch(*table);
}

// --- the host's game ------------------------------------------------------------------

std::string LobbyCore::addressFor(const Table& table, int connection) const {
    if (connection == table.host()) return "127.0.0.1";
    const Connection& c = connections_.at(connection);
    // One public address for both, or a server on the host's computer: the
    // host's own network address is the one that leads to him.
    if (c.peer == table.hostAddress || isLoopbackAddress(table.hostAddress)) return table.localAddress;
    return table.hostAddress;
}

void LobbyCore::launch(Table& table, int connection, Role role, int seat) {
    Connection& c = connections_.at(connection);
    c.launchedTable = table.number;
    if (std::find(table.launched.begin(), table.launched.end(), connection) == table.launched.end())
        table.launched.push_back(connection);
    send(connection, build::launch({table.number, role, seat, addressFor(table, connection), table.gamePort, c.name}));
}

void LobbyCore::beginLaunch(Table& table) {
    table.checkFailed = false;
    table.launched.clear();
    table.pendingWatchers.clear();
    table.currentSeat = 0;
    table.held = {};
    setPhase(table, Phase::AwaitHostReady, kHostReadyWithinMs);
    launch(table, table.host(), Role::Host, 1);
}

void LobbyCore::hostReady(std::string_view rest, Connection&, int from) {
    const auto request = parse::tableOnly(rest);
    Table* table = hostStep(request, from, Phase::AwaitHostReady);
    if (table == nullptr) return;
    for (int seat = 2; seat <= kSeats; ++seat) table->held[seat] = true;
    launchWatchers(*table);
}

// --- the watchers, then the seats one at a time -------------------------------------------

void LobbyCore::launchWatchers(Table& table) {
    table.pendingWatchers = table.watchers;
    if (table.pendingWatchers.empty()) {
        nextSeat(table, 1);
        return;
    }
    setPhase(table, Phase::Watchers, kWatchersWithinMs);
    for (const int watcher : table.pendingWatchers) launch(table, watcher, Role::Watcher, 0);
}

void LobbyCore::nextSeat(Table& table, int after) {
    for (int seat = after + 1; seat <= kSeats; ++seat) {
        if (table.seats[seat] == 0) continue;
        table.currentSeat = seat;
        setPhase(table, Phase::FreeingSeat, kSeatReportWithinMs);
        send(table.host(), build::freeSeat(table.number, seat));
        return;
    }
    finishStart(table);
}

void LobbyCore::seatFree(std::string_view rest, Connection&, int from) {
    const auto request = parse::tableSeat(rest);
    Table* table = hostStep(request, from, Phase::FreeingSeat);
    if (table == nullptr) return;
    const int seat = table->currentSeat;
    table->held[seat] = false;
    if (table->seats[seat] == 0) {  // its player left meanwhile
        seatMissed(*table);
        return;
    }
    launch(*table, table->seats[seat], Role::Player, seat);
    // Without a keeper left nobody could see the arrival, and nothing waits for it.
    if (anyHeld(table->held)) setPhase(*table, Phase::AwaitArrival, kSeatArrivalWithinMs);
    else finishStart(*table);
}

void LobbyCore::seatMissed(Table& table) {
    const int seat = table.currentSeat;
    const int player = table.seats[seat];
    if (player != 0 && connections_.at(player).launchedTable == table.number)
        send(player, build::gameOver(table.number, notice::late(table.number, true)));
    setPhase(table, Phase::HoldingSeat, kSeatReportWithinMs);
    send(table.host(), build::holdSeat(table.number, seat));
}

void LobbyCore::seatHeld(std::string_view rest, Connection&, int from) {
    const auto request = parse::tableSeat(rest);
    Table* table = hostStep(request, from, Phase::HoldingSeat);
    if (table == nullptr) return;
    table->held[table->currentSeat] = true;
    nextSeat(*table, table->currentSeat);
}

void LobbyCore::arrived(std::string_view rest, Connection&, int from) {
    const auto request = parse::arrived(rest);
    Table* table = hostedTable(request, from);
    if (table == nullptr) return;
    const auto named = [&](int connection) { return connections_.at(connection).name == request->name; };
    if (table->phase == Phase::Watchers && request->number > kSeats) {
        const auto it = std::find_if(table->pendingWatchers.begin(), table->pendingWatchers.end(), named);
        if (it != table->pendingWatchers.end()) {
            table->pendingWatchers.erase(it);
            if (table->pendingWatchers.empty()) nextSeat(*table, 1);
            return;
        }
    } else if (table->phase == Phase::AwaitArrival && request->number == table->currentSeat &&
               table->seats[table->currentSeat] != 0 && named(table->seats[table->currentSeat])) {
        nextSeat(*table, table->currentSeat);
        return;
    }
    sendError(from, notice::unexpected(table->number));
}

void LobbyCore::finishStart(Table& table) {
    if (anyHeld(table.held)) send(table.host(), build::releaseSeats(table.number));
    table.held = {};
    table.currentSeat = 0;
    setPhase(table, Phase::Playing, 0);
    const std::string ready = build::gameReady(table.number);
    for (const int member : table.launched) {
        const auto it = connections_.find(member);
        if (it != connections_.end() && it->second.launchedTable == table.number) send(member, ready);
    }
}

// --- the games' reports -------------------------------------------------------------------

void LobbyCore::gameRunning(std::string_view rest, Connection& c, int from) {
    if (!parse::empty(rest)) {
        sendError(from, notice::badFields());
        return;
    }
    if (c.launchedTable == 0) {
        sendError(from, notice::noGameStarted());
        return;
    }
    c.gameRunning = true;
    changedPlayer(c);
}

void LobbyCore::gameEnded(std::string_view rest, Connection& c, int from) {
    if (!parse::empty(rest)) {
        sendError(from, notice::badFields());
        return;
    }
    if (c.launchedTable == 0 && !c.gameRunning) {
        sendError(from, notice::noGameStarted());
        return;
    }
    const int number = c.launchedTable;
    c.launchedTable = 0;
    c.gameRunning = false;
    changedPlayer(c);
    const auto it = tables_.find(number);
    if (it == tables_.end() || !it->second.busy()) return;
    Table& table = it->second;
    if (table.host() == from) {
        // Before the keepers were in place the game never got going.
        const bool gotGoing = table.phase != Phase::AwaitHostReady;
        endGame(table, gotGoing ? notice::hostLeftGame(number) : notice::startFailed(number), from);
    } else if (table.phase == Phase::AwaitArrival && table.seats[table.currentSeat] == from) {
        seatMissed(table);
    } else if (table.phase == Phase::Watchers) {
        castLeft(table, from, 0);
    }
}

void LobbyCore::endGame(Table& table, const Notice& why, int except) {
    const std::string over = build::gameOver(table.number, why);
    for (const int member : table.launched) {
        const auto it = connections_.find(member);
        if (member == except || it == connections_.end()) continue;
        // A player whose game closed first (its host gone) and was reported
        // before the host's is still at the table and is told why too.
        const Connection& c = it->second;
        if (c.launchedTable == table.number || (c.launchedTable == 0 && c.table == table.number)) send(member, over);
    }
    table.launched.clear();
    table.pendingWatchers.clear();
    table.held = {};
    table.currentSeat = 0;
    setPhase(table, Phase::Waiting, 0);
}

void LobbyCore::castLeft(Table& table, int connection, int seat) {
    switch (table.phase) {
    case Phase::Watchers:
        if (std::erase(table.pendingWatchers, connection) > 0 && table.pendingWatchers.empty()) nextSeat(table, 1);
        break;
    case Phase::AwaitArrival:
        if (seat == table.currentSeat) seatMissed(table);
        break;
    default:  // a later seat is skipped when its turn comes; a freed one is re-held on its report
        break;
    }
}

void LobbyCore::deadlines() {
    const std::int64_t now = ports_.clock.nowMs();
    std::vector<int> due;
    for (const int number : starting_)
        if (const auto it = tables_.find(number); it != tables_.end() && now >= it->second.deadlineMs) due.push_back(number);
    for (const int number : due) {
        const auto it = tables_.find(number);
        if (it == tables_.end()) continue;
        Table& table = it->second;
        switch (table.phase) {
        case Phase::AwaitProbeReady: checkResult(table, ProbeResult::NotReady); break;
        case Phase::Probing: checkResult(table, ProbeResult::NoAnswer); break;
        case Phase::Watchers:
            for (const int watcher : table.pendingWatchers)
                send(watcher, build::gameOver(table.number, notice::late(table.number, false)));
            table.pendingWatchers.clear();
            nextSeat(table, 1);
            break;
        case Phase::AwaitArrival: seatMissed(table); break;
        case Phase::AwaitHostReady:
        case Phase::FreeingSeat:
        case Phase::HoldingSeat: endGame(table, notice::startFailed(table.number), 0); break;
        case Phase::Waiting:
        case Phase::Playing: starting_.erase(number); break;
        }
    }
}

}  // namespace vornel::lobby

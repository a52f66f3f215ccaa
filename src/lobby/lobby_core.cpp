// The lobby server's connections, logins, chat, updates and keep-alive.

#include "lobby/lobby_core.h"

#include <algorithm>

#include "lobby/lobby_notices.h"
#include "lobby/lobby_records.h"

namespace vornel::lobby {

LobbyCore::LobbyCore(Ports ports, int maxPlayers) : ports_(ports), maxPlayers_(maxPlayers) {
    // No group has had an update yet.
    firstTurnMs_ = ports_.clock.nowMs();
    const std::int64_t longAgo = firstTurnMs_ - 2 * 1000;
    for (PendingUpdate& pending : updates_) pending.sentMs.fill(longAgo);
    // Compared exactly; anything else gets `unknown`.
    dispatcher_.on(cmd::Login, [this](std::string_view rest, int from) { login(rest, from); })
        .on(cmd::Ping, [this](std::string_view rest, int from) { ping(rest, from); })
        .on(cmd::Pong, [this](std::string_view rest, int from) { pong(rest, from); });
    route(cmd::Chat, &LobbyCore::chat);
    route(cmd::NewTable, &LobbyCore::newTable);
    route(cmd::Sit, &LobbyCore::sit);
    route(cmd::Watch, &LobbyCore::watch);
    route(cmd::StandUp, &LobbyCore::standUp);
    route(cmd::Leave, &LobbyCore::leave);
    route(cmd::Remove, &LobbyCore::remove);
    route(cmd::Start, &LobbyCore::start);
    route(cmd::StartAnyway, &LobbyCore::startAnyway);
    route(cmd::ProbeReady, &LobbyCore::probeReady);
    route(cmd::HostReady, &LobbyCore::hostReady);
    route(cmd::SeatFree, &LobbyCore::seatFree);
    route(cmd::SeatHeld, &LobbyCore::seatHeld);
    route(cmd::Arrived, &LobbyCore::arrived);
    route(cmd::GameRunning, &LobbyCore::gameRunning);
    route(cmd::GameEnded, &LobbyCore::gameEnded);
}

void LobbyCore::route(std::string_view command, PlayerHandler handler) {
    dispatcher_.on(command, [this, handler](std::string_view rest, int from) {
        Connection* c = player(from);
        if (c == nullptr) {
            sendError(from, notice::notLoggedIn());
            return;
        }
        (this->*handler)(rest, *c, from);
    });
}

// --- connections -------------------------------------------------------------

int LobbyCore::accept(std::string_view peerAddress) {
    const int number = nextConnection_++;
    Connection& c = connections_[number];
    c.peer = peerAddress;
    c.openedMs = c.lastHeardMs = ports_.clock.nowMs();
    c.overCapacity = connections_.size() > static_cast<std::size_t>(maxPlayers_);
    return number;
}

void LobbyCore::welcome(int connection) {
    const auto it = connections_.find(connection);
    if (it == connections_.end() || !it->second.overCapacity) return;
    send(connection, build::refused(notice::full(maxPlayers_)));
    ports_.transport.close(connection);
    connections_.erase(it);
}

void LobbyCore::received(int connection, std::string_view bytes) {
    const auto it = connections_.find(connection);
    if (it == connections_.end()) return;
    Connection& c = it->second;
    c.lastHeardMs = ports_.clock.nowMs();
    bool tooLong = false;
    bool flooded = false;
    const bool fits = c.framer.feed(bytes, [&](std::string_view text) {
        if (tooLong || flooded) return;
        if (text.size() > kMaxClientMessage) {
            tooLong = true;
            return;
        }
        queue_.push(connection, text);
        flooded = queue_.waitingFrom(connection) > kMaxWaitingMessages;
    });
    if (!fits || tooLong || c.framer.pending() > kMaxClientMessage) {
        closeWith(connection, notice::tooLong());
        return;
    }
    if (flooded) {
        closeWith(connection, notice::flood());
        return;
    }
    if (!queue_.empty() && !ports_.queueTimer.active()) ports_.queueTimer.start();
}

void LobbyCore::connectionClosed(int connection) { departure(connection); }

void LobbyCore::closeWith(int connection, const Notice& notice) {
    if (!connections_.contains(connection)) return;
    if (notice.code != "shutdown")
        ports_.diagnostics.report("connection " + std::to_string(connection) + " closed: " + std::string(notice.code));
    send(connection, build::closing(notice));
    ports_.transport.close(connection);
    departure(connection);
}

void LobbyCore::departure(int connection) {
    const auto it = connections_.find(connection);
    if (it == connections_.end() || it->second.leaving) return;
    // Leaving its table can end a start, which tells everyone launched:
    // not this connection any more, closed or gone.
    it->second.leaving = true;
    if (it->second.loggedIn) {
        leaveTable(connection);
        Connection& c = connections_.at(connection);
        changedPlayer(c);
        names_.erase(c.key);
        std::erase(groupMembers_[static_cast<std::size_t>(c.group)], connection);
    }
    connections_.erase(connection);
    // Its waiting messages must not act for anyone.
    queue_.dropFrom(connection);
    stopQueueTimerIfIdle();
}

void LobbyCore::closeAll() {
    std::vector<int> open;
    for (const auto& [number, c] : connections_) open.push_back(number);
    for (const int number : open) closeWith(number, notice::shutdown());
}

// --- dispatch ------------------------------------------------------------------

void LobbyCore::dispatchWaiting() {
    for (int handled = 0; handled < kDispatchPerTick; ++handled) {
        const auto message = queue_.pop();
        if (!message) break;
        if (!connections_.contains(message->connection) || message->text.empty()) continue;
        if (!dispatcher_.dispatch(message->text, message->connection))
            sendError(message->connection, notice::unknown());
    }
    stopQueueTimerIfIdle();
}

void LobbyCore::stopQueueTimerIfIdle() {
    if (queue_.empty() && ports_.queueTimer.active()) ports_.queueTimer.stop();
}

// --- sending -------------------------------------------------------------------

void LobbyCore::send(int connection, std::string_view bytes) {
    const auto it = connections_.find(connection);
    if (it != connections_.end() && !it->second.leaving) ports_.transport.send(connection, bytes);
}

void LobbyCore::sendError(int connection, const Notice& notice) { send(connection, build::error(notice)); }

LobbyCore::Connection* LobbyCore::player(int connection) {
    const auto it = connections_.find(connection);
    return it != connections_.end() && it->second.loggedIn ? &it->second : nullptr;
}

std::vector<int> LobbyCore::loggedInConnections() const {
    std::vector<int> out;
    out.reserve(names_.size());
    for (const auto& [key, number] : names_) out.push_back(number);
    return out;
}

// --- login, keep-alive, chat -----------------------------------------------------

void LobbyCore::login(std::string_view rest, int from) {
    Connection& c = connections_.at(from);
    if (c.loggedIn) {
        sendError(from, notice::secondLogin(c.name));
        return;
    }
    const auto request = parse::login(rest);
    if (!request || request->version != kProtocolVersion) {
        std::string theirs;
        if (request) theirs = std::to_string(request->version);
        send(from, build::refused(notice::versionRefused(theirs)));
        ports_.transport.close(from);
        departure(from);
        return;
    }
    std::optional<Notice> refusal;
    if (const auto problem = nameProblem(request->name)) refusal = notice::badName(*problem);
    else if (names_.contains(foldName(request->name))) refusal = notice::nameTaken(request->name);
    if (refusal) {
        send(from, build::refused(*refusal));
        ports_.transport.close(from);
        departure(from);
        return;
    }
    c.loggedIn = true;
    c.name = request->name;
    c.key = foldName(c.name);
    // The smallest group, so the groups stay even as players come and go.
    const auto smallest = std::min_element(groupMembers_.begin(), groupMembers_.end(),
                                           [](const auto& a, const auto& b) { return a.size() < b.size(); });
    c.group = static_cast<int>(smallest - groupMembers_.begin());
    smallest->push_back(from);
    names_[c.key] = from;
    changedPlayer(c);
    send(from, build::welcome(c.name));
    sendList(from);
}

void LobbyCore::ping(std::string_view, int from) { send(from, build::pong()); }

void LobbyCore::pong(std::string_view, int) {
    // Every message already counts as a sign of life when it arrives.
}

void LobbyCore::chat(std::string_view rest, Connection& c, int from) {
    if (const auto problem = chatProblem(rest)) {
        sendError(from, notice::chat(*problem));
        return;
    }
    const std::int64_t now = ports_.clock.nowMs();
    std::erase_if(c.chatTimes, [now](std::int64_t at) { return now - at >= kChatWindowMs; });
    if (c.chatTimes.size() >= static_cast<std::size_t>(kChatLinesPerWindow)) {
        sendError(from, notice::chatFlood());
        return;
    }
    c.chatTimes.push_back(now);
    // Sent with the next update: one write to each player per update.
    const std::string line = build::chatLine(c.name, rest);
    for (PendingUpdate& pending : updates_) pending.chat += line;
}

// --- the list and its updates -------------------------------------------------------

PlayerState LobbyCore::stateOf(const Connection& c) const {
    if (c.gameRunning) return PlayerState::Playing;
    return c.table != 0 ? PlayerState::Table : PlayerState::Lobby;
}

void LobbyCore::changedPlayer(const Connection& c) {
    for (PendingUpdate& pending : updates_) pending.players[c.key] = c.name;
}

void LobbyCore::changedTable(int number) {
    for (PendingUpdate& pending : updates_) pending.tables.insert(number);
}

void LobbyCore::appendTable(std::string& out, const Table& table) const {
    const auto nameOf = [this](int connection) -> std::string_view {
        const auto it = connections_.find(connection);
        return it == connections_.end() ? std::string_view() : std::string_view(it->second.name);
    };
    const std::array<std::string_view, kSeats> seats{nameOf(table.seats[1]), nameOf(table.seats[2]),
                                                     nameOf(table.seats[3]), nameOf(table.seats[4])};
    std::array<std::string_view, kMaxWatchers> watchers{};
    std::size_t count = 0;
    for (const int w : table.watchers) watchers[count++] = nameOf(w);
    appendTableRecord(out, table.number, table.busy() ? TableState::Playing : TableState::Waiting, table.title, seats,
                      std::span<const std::string_view>(watchers.data(), count));
}

void LobbyCore::sendList(int connection) {
    RecordMessages list(cmd::List);
    for (const auto& [key, number] : names_) {
        const Connection& c = connections_.at(number);
        list.add([&](std::string& out) { appendPlayerRecord(out, c.name, stateOf(c), c.table); });
    }
    for (const auto& entry : tables_) list.add([&](std::string& out) { appendTable(out, entry.second); });
    send(connection, list.take());
    send(connection, frame(cmd::ListEnd));
}

void LobbyCore::flushUpdate(PendingUpdate& pending, int group) {
    if (pending.players.empty() && pending.tables.empty() && pending.chat.empty()) return;
    RecordMessages update(cmd::Update);
    for (const auto& [key, lastKnown] : pending.players) {
        const auto it = names_.find(key);
        if (it == names_.end()) {
            const std::string_view name = lastKnown;  // (a lambda cannot take a structured binding in clang 14)
            update.add([&](std::string& out) { appendGoneRecord(out, name); });
            continue;
        }
        const Connection& c = connections_.at(it->second);
        update.add([&](std::string& out) { appendPlayerRecord(out, c.name, stateOf(c), c.table); });
    }
    for (const int number : pending.tables) {
        const auto it = tables_.find(number);
        if (it == tables_.end()) update.add([&](std::string& out) { appendClosedRecord(out, number); });
        else update.add([&](std::string& out) { appendTable(out, it->second); });
    }
    pending.players.clear();
    pending.tables.clear();
    std::string bytes;
    bytes.swap(pending.chat);
    bytes += update.take();
    ports_.transport.sendToMany(groupMembers_[static_cast<std::size_t>(group)], bytes);
}

void LobbyCore::keepAlive() {
    const std::int64_t now = ports_.clock.nowMs();
    std::vector<int> toPing;
    std::vector<std::pair<int, Notice>> toClose;
    for (auto& [number, c] : connections_) {
        if (!c.loggedIn && now - c.openedMs >= kLoginWithinMs) {
            toClose.emplace_back(number, notice::loginTimeout());
        } else if (now - c.lastHeardMs >= kSilentCloseMs) {
            toClose.emplace_back(number, notice::silent());
        } else if (now - c.lastHeardMs >= kPingAfterMs && now - c.lastPingMs >= kPingAfterMs) {
            c.lastPingMs = now;
            toPing.push_back(number);
        }
    }
    if (!toPing.empty()) ports_.transport.sendToMany(toPing, build::ping());
    for (const auto& [number, why] : toClose) closeWith(number, why);
}

std::int64_t LobbyCore::turnDueMs(std::int64_t turn) const {
    return firstTurnMs_ + turn * kGroupPeriodMs / kUpdateGroups;
}

void LobbyCore::markDueTurns(std::int64_t now) {
    // After a stall the turns go on from now, in their order, rather than all
    // at once: groups sent together would stay together, a quarter second
    // apart at the soonest, and their players would wait for each other's writes.
    if (now - turnDueMs(nextTurn_) > kTickIntervalMs) firstTurnMs_ += now - turnDueMs(nextTurn_);
    for (; turnDueMs(nextTurn_) <= now; ++nextTurn_) {
        PendingUpdate& pending = updates_[static_cast<std::size_t>(nextTurn_ % kUpdateGroups)];
        if (pending.due) continue;
        // A quarter second after its last update at the soonest: a group
        // whose update went out late has its next one no earlier, and
        // comes back to its turns' times a little at each turn.
        pending.due = true;
        pending.dueMs = std::max(turnDueMs(nextTurn_), pending.sentMs.back() + kUpdateIntervalMs);
    }
}

void LobbyCore::tick() {
    const std::int64_t now = ports_.clock.nowMs();
    deadlines();
    if (now - lastKeepAliveMs_ >= kUpdateIntervalMs) {
        lastKeepAliveMs_ = now;
        keepAlive();
    }
    // Of the turns whose time has come (those a late tick missed included),
    // the longest due. A group that has had four updates in the last second
    // waits until the first of them is a second old.
    markDueTurns(now);
    int next = -1;
    for (int group = 0; group < kUpdateGroups; ++group) {
        const PendingUpdate& pending = updates_[static_cast<std::size_t>(group)];
        if (!pending.due || pending.dueMs > now || now - pending.sentMs.front() < 1000) continue;
        if (next < 0 || pending.dueMs < updates_[static_cast<std::size_t>(next)].dueMs) next = group;
    }
    if (next < 0) return;
    PendingUpdate& pending = updates_[static_cast<std::size_t>(next)];
    pending.due = false;
    std::rotate(pending.sentMs.begin(), pending.sentMs.begin() + 1, pending.sentMs.end());
    pending.sentMs.back() = now;
    flushUpdate(pending, next);
}

std::int64_t LobbyCore::nextTickMs() const {
    std::int64_t next = turnDueMs(nextTurn_);
    for (const PendingUpdate& pending : updates_)
        if (pending.due) next = std::min(next, std::max(pending.dueMs, pending.sentMs.front() + 1000));
    return next;
}

// --- invariants --------------------------------------------------------------------

std::string LobbyCore::brokenInvariant() const {
    if (!queue_.empty() && !ports_.queueTimer.active()) return "messages wait but the queue timer is stopped";
    for (const auto& [key, number] : names_) {
        const auto it = connections_.find(number);
        if (it == connections_.end() || !it->second.loggedIn || it->second.key != key)
            return "a name belongs to no logged-in connection";
    }
    std::size_t loggedIn = 0;
    for (const auto& [number, c] : connections_) {
        if (queue_.waitingFrom(number) > kMaxWaitingMessages) return "a connection has too many messages waiting";
        if (!c.loggedIn) continue;
        ++loggedIn;
        if (c.table == 0) continue;
        const auto t = tables_.find(c.table);
        if (t == tables_.end()) return "a player is at a table that is gone";
        if (seatOf(t->second, number) == 0 && !watches(t->second, number)) return "a player's table does not have him";
    }
    if (loggedIn != names_.size()) return "a logged-in connection has no name";
    std::size_t grouped = 0;
    for (std::size_t group = 0; group < groupMembers_.size(); ++group) {
        grouped += groupMembers_[group].size();
        for (const int member : groupMembers_[group]) {
            const auto it = connections_.find(member);
            if (it == connections_.end() || !it->second.loggedIn || it->second.group != static_cast<int>(group))
                return "an update group holds someone not in it";
        }
    }
    if (grouped != names_.size()) return "a player in no update group";
    for (const auto& [number, table] : tables_) {
        if (table.host() == 0) return "a table without its host";
        if (table.watchers.size() > static_cast<std::size_t>(kMaxWatchers)) return "too many watchers";
        std::set<int> at;
        for (int seat = 1; seat <= kSeats; ++seat)
            if (table.seats[seat] != 0 && !at.insert(table.seats[seat]).second) return "a player in two seats";
        for (const int w : table.watchers)
            if (!at.insert(w).second) return "a player both seated and watching";
        for (const int member : at) {
            const auto it = connections_.find(member);
            if (it == connections_.end() || !it->second.loggedIn || it->second.table != number)
                return "a table holds someone who is not at it";
        }
        if ((table.phase != Phase::Waiting && table.phase != Phase::Playing) != starting_.contains(number))
            return "a start without its deadline";
    }
    for (const auto& [probe, number] : probes_)
        if (!tables_.contains(number) || tables_.at(number).probe != probe) return "a check for no table";
    return {};
}

}  // namespace vornel::lobby

// The lobby server's tables: creating them, sitting, watching, standing up,
// leaving, removing, and closing a table when its host goes.

#include <algorithm>

#include "lobby/lobby_core.h"
#include "lobby/lobby_notices.h"

namespace vornel::lobby {

int LobbyCore::seatOf(const Table& table, int connection) {
    for (int seat = 1; seat <= kSeats; ++seat)
        if (table.seats[seat] == connection) return seat;
    return 0;
}

bool LobbyCore::watches(const Table& table, int connection) {
    return std::find(table.watchers.begin(), table.watchers.end(), connection) != table.watchers.end();
}

// The table a request names, or nullptr after telling the sender it is gone.
LobbyCore::Table* LobbyCore::refuseFields(int from) {
    sendError(from, notice::badFields());
    return nullptr;
}

LobbyCore::Table* LobbyCore::numberedTable(int number, int from) {
    const auto it = tables_.find(number);
    if (it == tables_.end()) {
        sendError(from, notice::noTable(number));
        return nullptr;
    }
    return &it->second;
}

// The table a request names if the sender hosts it.
LobbyCore::Table* LobbyCore::tableHostedBy(int number, int from) {
    Table* table = numberedTable(number, from);
    if (table != nullptr && table->host() != from) {
        sendError(from, notice::notYourTable(number));
        return nullptr;
    }
    return table;
}

void LobbyCore::newTable(std::string_view rest, Connection& c, int from) {
    if (c.table != 0) {
        sendError(from, notice::atTable(c.table));
        return;
    }
    if (const auto problem = titleProblem(rest)) {
        sendError(from, notice::title(*problem));
        return;
    }
    const int number = nextTable_++;
    Table& table = tables_[number];
    table.number = number;
    table.title = rest;
    table.seats[1] = from;
    c.table = number;
    changedTable(number);
    changedPlayer(c);
}

void LobbyCore::sit(std::string_view rest, Connection& c, int from) {
    const auto request = parse::tableSeat(rest);
    Table* table = tableFor(request, from);
    if (table == nullptr) return;
    const int seat = request->seat;
    std::optional<Notice> refusal;
    if (c.table != 0 && c.table != table->number) refusal = notice::atTable(c.table);
    else if (table->host() == from) refusal = notice::hostSeat();
    else if (seat < 2 || seat > kSeats) refusal = notice::badSeat();
    else if (table->seats[seat] == from) refusal = notice::already();
    else if (table->busy()) refusal = notice::tableBusy(table->number);
    else if (table->seats[seat] != 0) refusal = notice::seatTaken(table->number, seat);
    if (refusal) {
        sendError(from, *refusal);
        return;
    }
    // Moving within the table: from another seat, or from watching.
    if (const int old = seatOf(*table, from)) table->seats[old] = 0;
    std::erase(table->watchers, from);
    table->seats[seat] = from;
    c.table = table->number;
    changedTable(table->number);
    changedPlayer(c);
}

void LobbyCore::watch(std::string_view rest, Connection& c, int from) {
    const auto request = parse::tableOnly(rest);
    Table* table = tableFor(request, from);
    if (table == nullptr) return;
    std::optional<Notice> refusal;
    if (c.table != 0 && c.table != table->number) refusal = notice::atTable(c.table);
    else if (table->host() == from) refusal = notice::hostSeat();
    else if (watches(*table, from)) refusal = notice::already();
    else if (table->busy()) refusal = notice::tableBusy(table->number);
    else if (table->watchers.size() >= static_cast<std::size_t>(kMaxWatchers))
        refusal = notice::watchersFull(table->number);
    if (refusal) {
        sendError(from, *refusal);
        return;
    }
    if (const int old = seatOf(*table, from)) table->seats[old] = 0;
    table->watchers.push_back(from);
    c.table = table->number;
    changedTable(table->number);
    changedPlayer(c);
}

void LobbyCore::standUp(std::string_view rest, Connection& c, int from) {
    const auto request = parse::tableOnly(rest);
    Table* table = tableFor(request, from);
    if (table == nullptr) return;
    const int seat = seatOf(*table, from);
    std::optional<Notice> refusal;
    if (c.table != table->number) refusal = notice::notAtTable(table->number);
    else if (seat == 1) refusal = notice::hostSeat();
    else if (seat == 0) refusal = notice::notSeated(table->number);
    else if (table->busy()) refusal = notice::tableBusy(table->number);
    else if (table->watchers.size() >= static_cast<std::size_t>(kMaxWatchers))
        refusal = notice::watchersFull(table->number);
    if (refusal) {
        sendError(from, *refusal);
        return;
    }
    table->seats[seat] = 0;
    table->watchers.push_back(from);
    changedTable(table->number);
}

void LobbyCore::leave(std::string_view rest, Connection& c, int from) {
    const auto request = parse::tableOnly(rest);
    if (tableFor(request, from) == nullptr) return;
    if (c.table != request->table) {
        sendError(from, notice::notAtTable(request->table));
        return;
    }
    leaveTable(from);
}

void LobbyCore::remove(std::string_view rest, Connection&, int from) {
    const auto request = parse::removal(rest);
    Table* table = hostedTable(request, from);
    if (table == nullptr) return;
    const auto named = names_.find(foldName(request->name));
    const int target = named == names_.end() ? 0 : named->second;
    if (target == from) {
        sendError(from, notice::hostSeat());
        return;
    }
    if (target == 0 || connections_.at(target).table != table->number) {
        sendError(from, notice::noPlayer(table->number, request->name));
        return;
    }
    const int number = table->number;
    leaveTable(target);
    send(target, build::removed(number, notice::removedText(number)));
}

void LobbyCore::leaveTable(int connection) {
    Connection& c = connections_.at(connection);
    const auto it = tables_.find(c.table);
    if (it == tables_.end()) return;
    Table& table = it->second;
    if (table.host() == connection) {
        closeTable(table.number);
        return;
    }
    const int seat = seatOf(table, connection);
    if (seat != 0) table.seats[seat] = 0;
    std::erase(table.watchers, connection);
    c.table = 0;
    changedTable(table.number);
    changedPlayer(c);
    castLeft(table, connection, seat);
}

void LobbyCore::closeTable(int number) {
    const auto it = tables_.find(number);
    if (it == tables_.end()) return;
    Table& table = it->second;
    std::vector<int> members(table.seats.begin() + 1, table.seats.end());
    members.insert(members.end(), table.watchers.begin(), table.watchers.end());
    const std::string closed = build::tableClosed(number, notice::hostLeftTable(number));
    for (const int member : members) {
        if (member == 0) continue;
        Connection& c = connections_.at(member);
        c.table = 0;
        changedPlayer(c);
        if (member != table.host()) send(member, closed);
    }
    probes_.erase(table.probe);
    starting_.erase(number);
    tables_.erase(it);
    changedTable(number);
}

}  // namespace vornel::lobby

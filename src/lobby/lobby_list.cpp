#include "lobby/lobby_list.h"

namespace vornel::lobby {

void LobbyList::apply(const ListRecord& record) {
    if (const auto* p = std::get_if<PlayerRecord>(&record)) {
        players_[foldName(p->name)] = *p;
    } else if (const auto* g = std::get_if<PlayerGone>(&record)) {
        players_.erase(foldName(g->name));
    } else if (const auto* t = std::get_if<TableRecord>(&record)) {
        tables_[t->number] = *t;
    } else if (const auto* c = std::get_if<TableGone>(&record)) {
        tables_.erase(c->number);
    }
}

void LobbyList::apply(std::span<const ListRecord> records) {
    for (const ListRecord& record : records) apply(record);
}

bool LobbyList::applyMessage(std::string_view rest) {
    const auto records = parseRecords(rest);
    if (!records) return false;
    apply(*records);
    return true;
}

void LobbyList::clear() {
    players_.clear();
    tables_.clear();
}

const PlayerRecord* LobbyList::player(std::string_view name) const {
    const auto it = players_.find(foldName(name));
    return it == players_.end() ? nullptr : &it->second;
}

const TableRecord* LobbyList::table(int number) const {
    const auto it = tables_.find(number);
    return it == tables_.end() ? nullptr : &it->second;
}

}  // namespace vornel::lobby

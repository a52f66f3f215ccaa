#pragma once
// The players and tables list as a lobby window keeps it: built from the
// records of LOBBY_list and kept up to date with those of LOBBY_update.
// Players are kept by their name without regard to letter case, tables by
// number; a record for someone unknown adds him, a gone or closed record for
// someone unknown is ignored.

#include <map>
#include <span>
#include <string>
#include <string_view>

#include "lobby/lobby_records.h"

namespace vornel::lobby {

class LobbyList {
public:
    void apply(const ListRecord& record);
    void apply(std::span<const ListRecord> records);
    // Reads the records of a LOBBY_list or LOBBY_update and applies them;
    // false (and nothing applied) when they do not read.
    bool applyMessage(std::string_view rest);
    void clear();

    // Keyed by the folded name (foldName).
    const std::map<std::string, PlayerRecord>& players() const { return players_; }
    const std::map<int, TableRecord>& tables() const { return tables_; }
    const PlayerRecord* player(std::string_view name) const;
    const TableRecord* table(int number) const;

private:
    std::map<std::string, PlayerRecord> players_;
    std::map<int, TableRecord> tables_;
};

}  // namespace vornel::lobby

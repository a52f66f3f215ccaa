#pragma once
// The records of the players and tables list, as LOBBY_list and LOBBY_update
// carry them: each record is a kind word and its fields, one after another
// in one message.
//
//   player + name + state + table      state: lobby (table 0), table, playing
//   gone   + name
//   table  + number + state + title + seat1..seat4 + W + W watcher names
//                                      state: waiting, playing; open seat: ""
//   closed + number
//
// A record is the whole present state of its player or table, so applying
// it twice does no harm.

#include <array>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "lobby/lobby_protocol.h"

namespace vornel::lobby {

struct PlayerRecord {
    std::string name;
    PlayerState state = PlayerState::Lobby;
    int table = 0;
    friend bool operator==(const PlayerRecord&, const PlayerRecord&) = default;
};
struct PlayerGone {
    std::string name;
    friend bool operator==(const PlayerGone&, const PlayerGone&) = default;
};
struct TableRecord {
    int number = 0;
    TableState state = TableState::Waiting;
    std::string title;
    std::array<std::string, kSeats> seats;  // seat 1 first; "" is an open seat
    std::vector<std::string> watchers;
    friend bool operator==(const TableRecord&, const TableRecord&) = default;
};
struct TableGone {
    int number = 0;
    friend bool operator==(const TableGone&, const TableGone&) = default;
};
using ListRecord = std::variant<PlayerRecord, PlayerGone, TableRecord, TableGone>;

// Each appends "+" and the record's fields to a message under construction.
void appendPlayerRecord(std::string& out, std::string_view name, PlayerState state, int table);
void appendGoneRecord(std::string& out, std::string_view name);
void appendTableRecord(std::string& out, int number, TableState state, std::string_view title,
                       std::span<const std::string_view, kSeats> seats, std::span<const std::string_view> watchers);
void appendClosedRecord(std::string& out, int number);
void appendRecord(std::string& out, const ListRecord& record);

// The records of a LOBBY_list or LOBBY_update; nullopt when anything does
// not read (an unknown kind or state, a number that does not read, a
// watcher count outside 0..5, fields missing).
std::optional<std::vector<ListRecord>> parseRecords(std::string_view rest);

// Puts records into messages of one command, starting another message of
// the same command before one would grow past kMaxServerMessage bytes.
// The messages follow each other in one run of bytes, ready to send.
class RecordMessages {
public:
    explicit RecordMessages(std::string_view command) : command_(command) {}
    // Adds one record: `append(out)` appends it with an append...Record call.
    template <typename Append>
    void add(Append&& append) {
        record_.clear();
        append(record_);
        addRecord(record_);
    }
    bool empty() const { return records_ == 0; }
    // The finished messages; the builder is empty afterwards.
    std::string take();

private:
    void addRecord(std::string_view record);

    std::string_view command_;
    std::string bytes_;
    std::string record_;
    std::size_t messageStart_ = 0;
    bool open_ = false;
    std::size_t records_ = 0;
};

}  // namespace vornel::lobby

#include "lobby/lobby_records.h"

#include <charconv>

namespace vornel::lobby {

namespace {

void appendText(std::string& out, std::string_view text) {
    out += '+';
    out += text;
}

void appendNumber(std::string& out, int number) {
    char digits[16];
    const auto [end, ec] = std::to_chars(digits, digits + sizeof digits, number);
    (void)ec;  // an int always fits
    out += '+';
    out.append(digits, end);
}

// The next field, which must be there.
std::optional<std::string_view> fieldOf(net::FieldReader& reader) {
    if (reader.atEnd()) return std::nullopt;
    return reader.field();
}

std::optional<int> numberOf(net::FieldReader& reader) {
    if (reader.atEnd()) return std::nullopt;
    return reader.number();
}

std::optional<ListRecord> readPlayer(net::FieldReader& reader) {
    const auto name = fieldOf(reader);
    const auto state = name ? fieldOf(reader) : std::nullopt;
    const auto table = state ? numberOf(reader) : std::nullopt;
    const auto known = state ? playerStateOf(*state) : std::nullopt;
    if (!table || !known || name->empty() || *table < 0) return std::nullopt;
    return PlayerRecord{std::string(*name), *known, *table};
}

std::optional<ListRecord> readTable(net::FieldReader& reader) {
    TableRecord table;
    const auto number = numberOf(reader);
    const auto state = number ? fieldOf(reader) : std::nullopt;
    const auto known = state ? tableStateOf(*state) : std::nullopt;
    const auto title = known ? fieldOf(reader) : std::nullopt;
    if (!title || *number < 1) return std::nullopt;
    table.number = *number;
    table.state = *known;
    table.title = *title;
    for (std::string& seat : table.seats) {
        const auto name = fieldOf(reader);
        if (!name) return std::nullopt;
        seat = *name;
    }
    const auto watchers = numberOf(reader);
    if (!watchers || *watchers < 0 || *watchers > kMaxWatchers) return std::nullopt;
    for (int i = 0; i < *watchers; ++i) {
        const auto name = fieldOf(reader);
        if (!name || name->empty()) return std::nullopt;
        table.watchers.emplace_back(*name);
    }
    return table;
}

}  // namespace

void appendPlayerRecord(std::string& out, std::string_view name, PlayerState state, int table) {
    appendText(out, "player");
    appendText(out, name);
    appendText(out, word(state));
    appendNumber(out, table);
}

void appendGoneRecord(std::string& out, std::string_view name) {
    appendText(out, "gone");
    appendText(out, name);
}

void appendTableRecord(std::string& out, int number, TableState state, std::string_view title,
                       std::span<const std::string_view, kSeats> seats, std::span<const std::string_view> watchers) {
    appendText(out, "table");
    appendNumber(out, number);
    appendText(out, word(state));
    appendText(out, title);
    for (const std::string_view seat : seats) appendText(out, seat);
    appendNumber(out, static_cast<int>(watchers.size()));
    for (const std::string_view watcher : watchers) appendText(out, watcher);
}

void appendClosedRecord(std::string& out, int number) {
    appendText(out, "closed");
    appendNumber(out, number);
}

void appendRecord(std::string& out, const ListRecord& record) {
    if (const auto* p = std::get_if<PlayerRecord>(&record)) {
        appendPlayerRecord(out, p->name, p->state, p->table);
    } else if (const auto* g = std::get_if<PlayerGone>(&record)) {
        appendGoneRecord(out, g->name);
    } else if (const auto* t = std::get_if<TableRecord>(&record)) {
        const std::array<std::string_view, kSeats> seats{t->seats[0], t->seats[1], t->seats[2], t->seats[3]};
        const std::vector<std::string_view> watchers(t->watchers.begin(), t->watchers.end());
        appendTableRecord(out, t->number, t->state, t->title, seats, watchers);
    } else if (const auto* c = std::get_if<TableGone>(&record)) {
        appendClosedRecord(out, c->number);
    }
}

std::optional<std::vector<ListRecord>> parseRecords(std::string_view rest) {
    std::vector<ListRecord> records;
    net::FieldReader reader(rest);
    while (!reader.atEnd()) {
        const std::string_view kind = reader.field();
        std::optional<ListRecord> record;
        if (kind == "player") {
            record = readPlayer(reader);
        } else if (kind == "table") {
            record = readTable(reader);
        } else if (kind == "gone") {
            const auto name = fieldOf(reader);
            if (name && !name->empty()) record = PlayerGone{std::string(*name)};
        } else if (kind == "closed") {
            const auto number = numberOf(reader);
            if (number && *number >= 1) record = TableGone{*number};
        }
        if (!record) return std::nullopt;
        records.push_back(std::move(*record));
    }
    return records;
}

void RecordMessages::addRecord(std::string_view record) {
    if (open_ && bytes_.size() - messageStart_ + record.size() > kMaxServerMessage) {
        bytes_ += net::kTerminator;
        open_ = false;
    }
    if (!open_) {
        messageStart_ = bytes_.size();
        bytes_ += command_;
        open_ = true;
    }
    bytes_ += record;
    ++records_;
}

std::string RecordMessages::take() {
    if (open_) bytes_ += net::kTerminator;
    open_ = false;
    records_ = 0;
    messageStart_ = 0;
    std::string out;
    out.swap(bytes_);
    return out;
}

}  // namespace vornel::lobby

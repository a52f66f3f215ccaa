#include "tally/tally_table.h"

#include <algorithm>
#include <charconv>

namespace vornel::tally {
namespace {

unsigned char foldCase(unsigned char c) {
    const bool upperAscii = c >= 'A' && c <= 'Z';
    const bool upperLatin1 = c >= 0xC0 && c <= 0xDE && c != 0xD7;
    return upperAscii || upperLatin1 ? static_cast<unsigned char>(c + 0x20) : c;
}

Row zeroRow() {
    Row row;
    row.fill("0");
    return row;
}

std::optional<std::size_t> readCount(std::string_view line) {
    std::size_t value = 0;
    const auto [end, error] = std::from_chars(line.data(), line.data() + line.size(), value);
    if (error != std::errc() || end != line.data() + line.size() || line.empty()) return std::nullopt;
    return value;
}

}  // namespace

bool sameNameIgnoringCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (foldCase(static_cast<unsigned char>(a[i])) != foldCase(static_cast<unsigned char>(b[i]))) return false;
    return true;
}

TallyTable::TallyTable() : rows_{zeroRow()} {}

std::optional<int> TallyTable::findFollowed(std::string_view name) const {
    for (std::size_t r = 1; r < rows_.size(); ++r)
        if (sameNameIgnoringCase(rows_[r][0], name)) return static_cast<int>(r);
    return std::nullopt;
}

bool TallyTable::follow(std::string_view name) {
    if (findFollowed(name)) return false;
    Row row = zeroRow();
    row[0] = std::string(name);
    rows_.push_back(std::move(row));
    return true;
}

void TallyTable::moverow(int row) {
    if (row < 1 || row >= rowCount()) return;
    rows_.erase(rows_.begin() + row);
}

long long TallyTable::addit(int column, int row) {
    std::string& cell = rows_.at(static_cast<std::size_t>(row)).at(static_cast<std::size_t>(column));
    long long value = 0;
    const auto [end, error] = std::from_chars(cell.data(), cell.data() + cell.size(), value);
    if (error != std::errc() || end != cell.data() + cell.size() || value < 0) value = 0;
    ++value;
    cell = std::to_string(value);
    return value;
}

void TallyTable::addgame(std::string_view first, std::string_view second, const std::vector<std::string>& inGame) {
    const bool ownTeamWon = first == kAddToMine;
    addit(1, 0);
    if (ownTeamWon) addit(2, 0);
    for (const std::string& name : inGame) {
        const auto row = findFollowed(name);
        if (!row) continue;
        Row& cells = rows_[static_cast<std::size_t>(*row)];
        for (int c = 1; c < kColumns; ++c)
            if (cells[static_cast<std::size_t>(c)].empty()) cells[static_cast<std::size_t>(c)].assign(1, '0');
        addit(1, *row);
        addit(5, *row);
        const std::string& followed = cells[0];
        if (ownTeamWon && followed == second) {
            addit(4, *row);
            addit(8, *row);
        } else if (followed == first || followed == second) {
            addit(2, *row);
            addit(6, *row);
        } else if (ownTeamWon) {
            addit(3, *row);
            addit(7, *row);
        }
    }
}

void TallyTable::reset() { rows_.assign(1, zeroRow()); }

void TallyTable::startRun() {
    for (std::size_t r = 1; r < rows_.size(); ++r)
        for (std::size_t c = 5; c < kColumns; ++c) rows_[r][c].assign(1, '0');
}

std::string TallyTable::toText() const {
    std::string text = std::to_string(kColumns) + "\r\n" + std::to_string(rows_.size()) + "\r\n";
    for (std::size_t c = 0; c < kColumns; ++c)
        for (const Row& row : rows_) {
            // A line break inside a name would shift every cell after it.
            std::string cell = row[c];
            std::replace_if(cell.begin(), cell.end(), [](char ch) { return ch == '\r' || ch == '\n'; }, ' ');
            text += cell + "\r\n";
        }
    return text;
}

std::optional<TallyTable> TallyTable::fromText(std::string_view text) {
    std::vector<std::string_view> lines;
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        lines.push_back(line);
        if (end == std::string_view::npos) break;
        text.remove_prefix(end + 1);
    }
    if (lines.size() < 2) return std::nullopt;
    const auto columns = readCount(lines[0]);
    const auto rows = readCount(lines[1]);
    if (columns != std::size_t{kColumns} || !rows || *rows < 1 || *rows > lines.size()) return std::nullopt;
    if (lines.size() - 2 < *rows * kColumns) return std::nullopt;

    TallyTable table;
    table.rows_.assign(*rows, Row{});
    std::size_t at = 2;
    for (std::size_t c = 0; c < kColumns; ++c)
        for (std::size_t r = 0; r < *rows; ++r) table.rows_[r][c] = std::string(lines[at++]);
    return table;
}

}  // namespace vornel::tally

#pragma once
// The tally: a table of text cells, nine columns wide. Row 0 holds the local
// player's own totals (column 1 games, 2 wins, 3 marches, 4 Vornels); each
// further row one followed player: column 0 the name, 1..4 the totals of all
// runs (games together, the player's wins, your wins against the player,
// wins as partners) and 5..8 the same for this run only.
//
// Names are 8-bit text; looking a followed name up ignores letter case
// (ASCII and Latin-1 letters), comparing with a game's winners does not.

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vornel::tally {

inline constexpr int kColumns = 9;
inline constexpr std::string_view kAddToMine = "addtomine";

using Row = std::array<std::string, kColumns>;

class TallyTable {
public:
    // Row 0 alone, every cell "0".
    TallyTable();

    int rowCount() const { return static_cast<int>(rows_.size()); }
    const Row& row(int index) const { return rows_.at(static_cast<std::size_t>(index)); }
    const std::string& cell(int column, int row) const { return this->row(row)[static_cast<std::size_t>(column)]; }

    // The followed player's row (1 and up), letter case ignored.
    std::optional<int> findFollowed(std::string_view name) const;
    // Appends a row for the name, counters "0"; false when already followed.
    bool follow(std::string_view name);
    // `moverow`: removes a row; the rows below move up by one.
    void moverow(int row);
    // `addit`: adds 1 to one counter (an empty or unreadable cell counts as
    // 0) and returns the new value.
    long long addit(int column, int row);
    // A finished game: `first` is "addtomine" and `second` the partner when
    // the own team won, otherwise the two winners. `inGame` are the other
    // three players at the table.
    void addgame(std::string_view first, std::string_view second, const std::vector<std::string>& inGame);
    // Own totals "0" and nobody followed.
    void reset();
    // Sets every followed player's this-run counters to "0".
    void startRun();

    // The tally text: "9", the row count, then every cell column by column,
    // each line ended by CR LF.
    std::string toText() const;
    // Reads a tally text (lines ended by CR LF or LF alone); nothing when
    // it is not nine columns of at least one row with every cell present.
    static std::optional<TallyTable> fromText(std::string_view text);

private:
    std::vector<Row> rows_;
};

// Letter case ignored for ASCII and Latin-1 letters.
bool sameNameIgnoringCase(std::string_view a, std::string_view b);

}  // namespace vornel::tally

#pragma once
// The tally list window `Ttallylist`: the local player's own totals and the
// results against followed players, counted as games and hands end, read
// from "Vorneltally.tld" at start-up and written back when the window is
// destroyed at the end of the run.

#include <QListWidget>
#include <QPushButton>
#include <array>
#include <filesystem>
#include <optional>

#include "app/side_window.h"
#include "table/table_services.h"
#include "tally/tally_table.h"

class QLabel;

namespace vornel::table {
class TableWindow;
}

namespace vornel::app {

class TallyList final : public SideWindow, public table::TallySink {
    Q_OBJECT
public:
    // Reads the tally from `file`; a file that cannot be read leaves the
    // tally empty and shows why.
    TallyList(const QPixmap& background, table::TableWindow& table, std::filesystem::path file);
    // Saves the tally.
    ~TallyList() override;

    void addgame(const QString& first, const QString& second) override;
    void addtomineincrease(int column) override;
    // `addit`: one counter + 1, shown when it is on display; the new value.
    long long addit(int column, int row);
    // Rebuilds "Players In Current Game" from the table's seat names.
    void loadchecklist();
    // Writes the tally file now; an unreadable file found at start-up is
    // first kept aside. Failures are silent: false.
    bool save();

    const tally::TallyTable& tally() const { return tally_; }
    const std::filesystem::path& file() const { return file_; }
    // Why the file could not be read at start-up.
    const std::optional<std::string>& loadFailure() const { return loadFailure_; }

private:
    void buildPanels();
    // `loadtally`: the lists and labels from the table just read.
    void loadtally();
    void showOwnTotals();
    void showPlayer(int entry);
    void followChecked(QListWidgetItem* item);
    void talliedChecked(QListWidgetItem* item);
    void unfollow(QListWidgetItem* item);
    void resetTally();
    bool ask(const QString& question);
    void setChecked(QListWidgetItem* item, bool checked);

    table::TableWindow& table_;
    std::filesystem::path file_;
    tally::TallyTable tally_;
    std::optional<std::string> loadFailure_;
    std::array<QLabel*, 5> ownLabels_{};     // mylabel_1..4
    std::array<QLabel*, 9> playerLabels_{};  // label_1..8
    QLabel* heading_ = nullptr;
    QLabel* winsLine_ = nullptr;
    QListWidget* inGame_ = nullptr;
    QListWidget* tallied_ = nullptr;
    bool updatingLists_ = false;
};

}  // namespace vornel::app

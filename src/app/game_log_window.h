#pragma once
// The game log `Tscorecard`: one line per hand for each team and a line for
// each finished game, kept for the whole run. Its two panes are never
// cleared, so the hand numbers keep counting across games.

#include <QTextEdit>

#include "app/side_window.h"
#include "table/table_services.h"

namespace vornel::table {
class TableWindow;
}

namespace vornel::app {

class GameLogWindow : public SideWindow, public table::GameLogSink {
    Q_OBJECT
public:
    explicit GameLogWindow(table::TableWindow& table);

    void addlinetomemo(const QString& text, int pane, const QColor& colour) override;
    int lineCount(int pane) const override;

    // Pane 1 (Tan) or 2 (Blue); nullptr otherwise.
    QTextEdit* pane(int number) const;

private:
    QTextEdit* panes_[2] = {nullptr, nullptr};
};

}  // namespace vornel::app

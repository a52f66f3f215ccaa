#pragma once
// The watcher list `Tspylist`: one entry per watcher ("6: Wes"), and on the
// host a pop-up menu that removes the watcher under the pointer.

#include <QAction>
#include <QListWidget>
#include <QMenu>

#include "app/side_window.h"
#include "table/table_services.h"

namespace vornel::table {
class TableWindow;
}

namespace vornel::app {

class SpyListWindow : public SideWindow, public table::WatcherList {
    Q_OBJECT
public:
    // The table sends the kick.
    explicit SpyListWindow(table::TableWindow& table);
    // "Remove From Game" is offered once this copy hosts the game.
    void setHosting(bool hosting) { remove_->setEnabled(hosting); }

    void addWatcher(const QString& entry) override;
    bool removeWatcher(const QString& entry) override;
    bool isEmpty() const override { return list_->count() == 0; }

    QListWidget* list() const { return list_; }
    QMenu* popup() const { return popup_; }
    QAction* removeAction() const { return remove_; }
    // The row of the entry under the pointer, -1 for none.
    int entryUnderPointer() const { return underPointer_; }

    // `RemoveFromGame1Click`: kicks the watcher whose entry is under the
    // pointer; an entry that does not start with a number removes nobody.
    void RemoveFromGame1Click();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    table::TableWindow& table_;
    QListWidget* list_ = nullptr;
    QMenu* popup_ = nullptr;
    QAction* remove_ = nullptr;
    int underPointer_ = -1;
};

}  // namespace vornel::app

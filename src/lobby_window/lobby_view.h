#pragma once
// The lobby's main screen: the tables list with the buttons that act on
// it, the players list, the lobby chat, and the result of the reachability
// check with "Start anyway" for the host. It shows what the session knows
// and hands the player's requests to it.

#include <QPixmap>
#include <QWidget>

#include <memory>

class QFrame;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;
class QTextEdit;
class QTreeWidget;

namespace vornel::table {
class ChatBox;
}

namespace vornel::lobby_window {

class LobbySession;

class LobbyView final : public QWidget {
    Q_OBJECT
public:
    // The columns of the tables list.
    enum Column { ColumnNumber, ColumnTitle, ColumnHost, ColumnSeat2, ColumnSeat3, ColumnSeat4, ColumnWatchers,
                  ColumnState, ColumnCount };

    LobbyView(LobbySession& session, const QPixmap& logo, QWidget* parent = nullptr);
    ~LobbyView() override;

    // Lists, buttons and the line about the player, from the session.
    void refresh();
    void addChatLine(const QString& name, const QString& text);
    void addNotice(const QString& text);
    void showProbeResult(bool reachable, const QString& text);
    // The lobby on this computer, as the others reach it; empty hides the line.
    void setLocalLobbyText(const QString& text);
    void clearChat();

    // The table chosen in the list, 0 when none.
    int selectedTable() const;
    void selectTable(int number, int column = ColumnTitle);
    // The open seat that Sit takes at the chosen table: the chosen cell's
    // seat when it is open, else the first open seat; 0 when none is.
    int seatToTake() const;
    // The menu of who can be removed, made afresh by Remove.
    QMenu* removeMenu() const { return removeMenu_; }

protected:
    // The chat entry's hint goes when the player starts to type.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void fillTables();
    void fillPlayers();
    void enableButtons();
    void sendChat();
    void newTable();
    void sitDown();
    void showRemoveMenu();
    QPushButton* button(const QString& caption, const char* name);

    LobbySession& session_;
    QLabel* whereabouts_;
    QLabel* localLobby_;
    QTreeWidget* tables_;
    QTreeWidget* players_;
    QLineEdit* title_;
    QPushButton* newTable_;
    QPushButton* sit_;
    QPushButton* watch_;
    QPushButton* standUp_;
    QPushButton* leave_;
    QPushButton* start_;
    QPushButton* remove_;
    QFrame* probePanel_;
    QLabel* probeText_;
    QPushButton* startAnyway_;
    QTextEdit* chatBox_;
    std::unique_ptr<table::ChatBox> chat_;
    QLineEdit* entry_;
    QMenu* removeMenu_ = nullptr;
};

}  // namespace vornel::lobby_window

#pragma once
// The lobby program's window, "The Zelmo7 Lobby": the first screen until
// the player is in the lobby, then the main screen, on the table's tiled
// background. It owns the player's session and the lobby this computer may
// run for a home network, and remembers the name and the server's address.
//
// Closed while the game it started still runs, the window only hides: the
// lobby keeps serving that game (the host's seat keepers, the reports to
// the server) and closes when the game ends.

#include <QWidget>

#include <memory>

#include "lobby_window/lobby_config.h"
#include "table/artwork.h"

class QStackedWidget;

namespace vornel::lobby_window {

class FirstScreen;
class LobbySession;
class LobbyView;
class LocalLobby;

class LobbyWindow final : public QWidget {
    Q_OBJECT
public:
    static constexpr int kDefaultWidth = 860;
    static constexpr int kDefaultHeight = 640;

    explicit LobbyWindow(LobbyConfig config, QWidget* parent = nullptr);
    ~LobbyWindow() override;

    LobbySession& session() { return *session_; }
    FirstScreen& firstScreen() { return *first_; }
    LobbyView& view() { return *view_; }
    LocalLobby& localLobby() { return *local_; }
    bool showsFirstScreen() const;

    // "Connect" with what the first screen holds.
    void connectToServer();
    // "Start a lobby on this computer", then connect to it.
    void startLocalLobby();

Q_SIGNALS:
    // The window was closed while its game ran, and now the game has ended:
    // the program may end.
    void closedAfterGame();

protected:
    void paintEvent(QPaintEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void onStageChanged();
    void onOffline(const QString& why);
    // The typed name as the lobby sends it, after saying why it cannot be.
    std::optional<std::string> checkedName();
    void remember();
    // Out of the lobby, and this computer's lobby stopped.
    void leave();

    table::Artwork artwork_;
    std::unique_ptr<LobbySession> session_;
    std::unique_ptr<LocalLobby> local_;
    QStackedWidget* pages_;
    FirstScreen* first_;
    LobbyView* view_;
    bool closeWhenGameEnds_ = false;
};

}  // namespace vornel::lobby_window

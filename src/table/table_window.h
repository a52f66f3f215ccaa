#pragma once
// The table window `Tchat`: the board, the menus, the connection to the
// host and the dispatch of the host's messages, one per tick.

#include <QAction>
#include <QActionGroup>
#include <QMainWindow>
#include <QMenu>
#include <array>
#include <memory>
#include <string_view>

#include "engine/ports.h"
#include "net/dispatcher.h"
#include "net/table_connection.h"
#include "table/artwork.h"
#include "table/board.h"
#include "table/table_options.h"
#include "table/table_services.h"

namespace vornel::table {

class ChatBox;
class GameView;

// Everything the table knows about itself and the game.
struct TableState {
    QString playerName;
    QString hostAddress;
    std::string loginText;  // the name followed by the terminator byte
    bool isHost = false;
    int ownSeat = 0;
    bool loggedIn = false;
    int seatToAct = 0;
    std::array<QString, 5> defaultNames{"", "You", "Klot", "Klick", "Kling"};
};

class TableWindow : public QMainWindow, public BotSpeed {
    Q_OBJECT
public:
    static constexpr int kDefaultWidth = 780;
    static constexpr int kDefaultHeight = 600;

    struct Services {
        GameLogSink& gameLog;
        LastTrickSink& lastTrick;
        TallySink& tally;
        WatcherList& watchers;
        SoundSink& sounds;
    };

    explicit TableWindow(Services services, QWidget* parent = nullptr);
    ~TableWindow() override;

    // The host's engine reads the pace of its computer players here.
    int milliseconds() const override { return options_.botSpeed; }

    // Opens the connection; when hosting, the host must already listen.
    void hostpress(quint16 port);
    void joinpress(quint16 port);
    void setPlayer(const QString& name, const QString& hostAddress);

    // `addlinetochat`: one line in the chat box.
    void addlinetochat(const QString& text, const QColor& colour);
    // `playsounds`: an event sound, when "Play Sounds" is on.
    void playsounds(const QString& name);
    // Sends a message on the connection, only while logged in.
    void sendMessage(std::string_view command, std::initializer_list<Field> fields);

    // Applies options read from the settings file (`loadinifile`).
    void applyOptions(const TableOptions& options);
    const TableOptions& options() const { return options_; }

    Services& services() { return services_; }
    TableState& state() { return state_; }
    const TableState& state() const { return state_; }
    Board& board() { return *board_; }
    const Artwork& artwork() const { return artwork_; }
    net::TableConnection& connection() { return connection_; }
    GameView& game() { return *game_; }
    ChatBox& chat() { return *chat_; }
    QAction* action(const QString& objectName) const;
    // Handles one message text as the dispatch timer would.
    void dispatch(std::string_view message);

Q_SIGNALS:
    // The host announced this table's own arrival: time to read the settings.
    void ownArrival();
    // An option changed through the menus: time to write the settings.
    void optionsChanged();
    void startGameRequested();
    void showScoreCardRequested();
    void showLastTrickRequested();
    void showTallyRequested();
    void showSpyListRequested();
    void showHelpRequested();
    void showAboutRequested();
    void showPhraseEditorRequested();
    void logoClicked();
    void activated();
    void closing();

protected:
    void changeEvent(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void buildMenus();
    // Options -> "Animate Cards" and View -> "Full Screen" (table_window_display.cpp).
    void addDisplayActions(QMenu* options, QMenu* view);
    void showDisplayState();
    void applyAnimate();
    void buildDispatch();
    void connectBoard();
    void setBotSpeed(int speed, bool announce);
    void startGameClicked();

    // Connection handlers.
    void sendloginfo(std::string_view rest);
    void newplayerinfo(std::string_view rest);
    void playerdisconnected(std::string_view rest);
    void gameIsFull();
    // Chat lines and chatter sounds relayed by the host.
    void chatrecieved(std::string_view rest);
    void playasound(std::string_view rest);
    // `sendit`: the entry line goes out as a chat line or a "/me" action.
    void sendit();

    Services services_;
    Artwork artwork_;
    TableState state_;
    TableOptions options_;
    Board* board_ = nullptr;
    std::unique_ptr<ChatBox> chat_;
    std::unique_ptr<GameView> game_;
    net::TableConnection connection_;
    net::Dispatcher<> dispatcher_;
    bool closingAfterRefusal_ = false;
    bool maximisedBeforeFullScreen_ = false;
};

}  // namespace vornel::table

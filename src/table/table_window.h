#pragma once
// The table window `Tchat`: the board, the menus, the connection to the
// host and the dispatch of the host's messages, one per tick.

#include <QAction>
#include <QActionGroup>
#include <QMainWindow>
#include <QHash>
#include <QMenu>
#include <QPointer>
#include <QTimer>
#include <QUrl>
#include <array>
#include <memory>
#include <optional>
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
class HintAdvisor;
class SeenGame;

// The text a phrase button 1..9 sends until the player sets another.
QString builtInPhrase(int button);
// The caption of chatter sound 1..20 ("Doh" ...), "<Cancel>" for 0.
QString chatterSoundCaption(int number);

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
    // The chat box keeps this many of its latest lines.
    static constexpr int kChatLinesKept = 5000;

    struct Services {
        GameLogSink& gameLog;
        LastTrickSink& lastTrick;
        TallySink& tally;
        WatcherList& watchers;
        SoundSink& sounds;
    };

    // Made first, before the windows around it: until setServices() their
    // requests are kept by a recorder of the table's own.
    explicit TableWindow(QWidget* parent = nullptr);
    // Made and given its services at once (tests, tools).
    TableWindow(Services services, QWidget* parent = nullptr);
    ~TableWindow() override;

    // The windows around the table, all given in this one call once they
    // exist; unsetServices() takes them back before they go.
    void setServices(Services services);
    void unsetServices();

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

    Services& services() { return *services_; }
    TableState& state() { return state_; }
    const TableState& state() const { return state_; }
    Board& board() { return *board_; }
    const Artwork& artwork() const { return *artwork_; }
    net::TableConnection& connection() { return connection_; }
    GameView& game() { return *game_; }
    ChatBox& chat() { return *chat_; }
    QAction* action(const QString& objectName) const;
    // The phrase phrase button 1..9 sends (also its tooltip).
    QString phrase(int button) const;
    // The phrase editor's "Done": texts 1..9 become the buttons' phrases,
    // empty ones included.
    void setPhrases(const std::array<QString, 10>& phrases);
    // The chatter-sound menu of `b_phrase10`.
    QMenu* chatterMenu() const { return chatterMenu_; }
    // Handles one message text as the dispatch timer would.
    void dispatch(std::string_view message);
    // Back to the state the window was made in, for a table that begins
    // again: the connection closed and what it queued dropped, not logged
    // in, the board, the chat box, the hand, the game seen and the hint as
    // new, no refusal box. The player's options and phrases stay.
    void reset();

    // What this table has been told of the game, and the hint worked out
    // from it: available on the own seat's turn only, never to a watcher.
    const SeenGame& seenGame() const { return *seen_; }
    HintAdvisor& hintAdvisor() { return *hint_; }
    bool hintAvailable() const;
    // "Hint": starts working out the hint for the present prompt.
    void askHint();

    // `kicking`: asks the host to remove connection `number`; only the host's
    // own table asks, and only once logged in.
    void kicking(int number);
    // The seat-name pop-up `popup_kick` and the seat it was opened on.
    QMenu* seatPopup() const { return popupKick_; }
    int seatPopupSeat() const { return popupKickSeat_; }
    // `label_playername1ContextPopup`: enables the items for this table and
    // the seat's name, and remembers the seat.
    void label_playername1ContextPopup(int seat);

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
    // A web address in the chat box was clicked: open it (never a file).
    void openWebAddress(const QUrl& address);
    void activated();
    void closing();
    // A hint is on the table: `decision` as a Decision, `answer` the bubble
    // code or the hand slot shown.
    void hintShown(int decision, int answer);

protected:
    void changeEvent(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

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
    void buildSeatPopup();
    void makeHintAdvisor();
    void updateHintAction();
    void showHint(int prompt, int decision, int answer);

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

    // The chat box, its entry line, the phrase buttons and the chat items
    // of the Options menu (table_window_chat.cpp).
    void connectChat();
    void applyChatOptions();
    void applyTextColour();
    void b_phrase1Click(int button);
    void b_phrase10Click();
    void wave20Click(int number);
    void setScrollOff(bool off);
    void chooseColour(bool actionColour);
    void copy1Click();
    void paste1Click();
    bool mychatKeyPress(QKeyEvent* event);
    bool mainchatMouse(QEvent* event);
    // One tick of the message timer; true while the phrase pause runs.
    bool phraseTick();

    // Before setServices() and after unsetServices().
    std::unique_ptr<RecordingServices> unset_ = std::make_unique<RecordingServices>();
    std::optional<Services> services_;
    // Shared with every other window: each picture is drawn once.
    std::shared_ptr<const Artwork> artwork_ = Artwork::shared();
    TableState state_;
    TableOptions options_;
    Board* board_ = nullptr;
    std::unique_ptr<ChatBox> chat_;
    std::unique_ptr<GameView> game_;
    std::unique_ptr<SeenGame> seen_;
    HintAdvisor* hint_ = nullptr;
    net::TableConnection connection_;
    net::Dispatcher<> dispatcher_;
    bool closingAfterRefusal_ = false;
    // Waits for the queue to drain after the host closed, then closes.
    QPointer<QTimer> closeAfterDrain_;
    QPointer<QAction> hintAction_;
    // Actions by object name, found once each.
    mutable QHash<QString, QPointer<QAction>> actions_;
    QMenu* popupKick_ = nullptr;
    int popupKickSeat_ = 0;
    std::array<QString, 10> phrases_;  // 1..9
    bool phrasePauseOpen_ = true;
    int phrasePauseTicks_ = 0;
    QMenu* chatterMenu_ = nullptr;
    QMenu* chatMenu_ = nullptr;
    QMenu* entryMenu_ = nullptr;
    Qt::CursorShape chatCursor_ = Qt::IBeamCursor;  // the box's own, away from addresses
    bool maximisedBeforeFullScreen_ = false;
};

}  // namespace vornel::table

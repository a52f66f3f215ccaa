#pragma once
// The program: its eleven windows in a fixed order, the start from the
// command line (solo, hosting or joining), the host in this process, and the
// settings file read after login and written on change. The side windows the
// table writes to, the host's window and the download window are made at
// start-up; the dialogs the player opens from a menu (about, game start,
// help, phrases) are made the first time they are asked for, and then live,
// hidden when closed, until the program ends.

#include <QObject>
#include <QStringList>
#include <QTcpSocket>
#include <functional>
#include <memory>
#include <optional>

#include "app/command_line.h"
#include "app/settings.h"
#include "app/side_window.h"
#include "app/sound_player.h"
#include "app/tally_list.h"
#include "engine/ports.h"
#include "net/qt_host.h"
#include "table/table_services.h"
#include "table/table_window.h"

namespace vornel::app {

class AboutWindow;
class DownloadWindow;
class GameStartDialog;
class PhraseEditor;

class Program : public QObject {
    Q_OBJECT
public:
    struct Options {
        // The port of the host and the table's connection; 7772 unless
        // VORNEL_PORT says otherwise.
        std::optional<quint16> port{};
        // Paces the host's computer players instead of the table's Bot
        // Speed (tests run games with a few milliseconds).
        const BotSpeed* botSpeed = nullptr;
        // The font configuration's loading started at the top of main
        // (platform::loadFontConfigurationAhead), if it was.
        std::shared_future<void> fontConfiguration{};
    };

    Program(QStringList arguments, Options options);
    ~Program() override;

    // Shows the table window; the command line is read once it is shown.
    void start();

    table::TableWindow& table() { return *table_; }
    net::QtHost& host() { return *host_; }
    GameStartDialog& gameStart();
    DownloadWindow& download() { return *download_; }
    PhraseEditor& phraseEditor();
    SoundPlayer& sounds() { return sounds_; }
    table::RecordingServices& services() { return services_; }
    TallyList& tally() { return *tally_; }
    // The side window of that class name (made now if it waits for its
    // first use); null for a name the program has none of.
    SideWindow* window(const QString& className);
    // Whether the side window has been made yet.
    bool windowMade(const QString& className) const;
    // The eleven windows in their fixed order, the table first; any not
    // made yet is made now, in that order.
    std::vector<QWidget*> windowsInCreationOrder();
    quint16 port() const { return port_; }
    bool settingsRead() const { return settingsRead_; }

private:
    class HostDiagnostics;

    // One side window in the fixed order: made at start-up, or by `make`
    // when it is first asked for.
    struct SideSlot {
        QString className;
        std::function<std::unique_ptr<SideWindow>()> make;
        std::unique_ptr<SideWindow> window;
    };

    template <typename Window>
    Window* adopt(std::unique_ptr<Window> window);
    void waitForFirstUse(QString className, std::function<std::unique_ptr<SideWindow>()> make);
    AboutWindow& about();

    // What the command line asks for: read at start-up, to decode a solo
    // start's advert ahead, and again when the table is first shown, where
    // the start is made.
    StartChoice startChoice() const;
    void processparams();
    void hostpress();
    void joinpress();
    void openLobbyLink();
    void loadinifile();
    void saveinifile();
    void savePhrases(const std::array<QString, 10>& phrases);
    void showWriteFailure(const std::string& message);
    void formClose();
    void formActivate();
    WindowBounds currentBounds() const;
    // Moves and sizes the table to these bounds as far as the screens allow.
    void placeTable(const WindowBounds& wanted);
    void placeAgainOnceFramed();
    bool eventFilter(QObject* watched, QEvent* event) override;

    QStringList arguments_;
    quint16 port_;
    table::RecordingServices services_;
    SoundPlayer sounds_;
    std::unique_ptr<HostDiagnostics> diagnostics_;
    // Taken before the table so that the start pictures are drawing while it is made.
    std::shared_ptr<const table::Artwork> artwork_;
    std::unique_ptr<table::TableWindow> table_;
    std::vector<SideSlot> windows_;
    DownloadWindow* download_ = nullptr;
    TallyList* tally_ = nullptr;
    SideWindow* server_ = nullptr;
    net::QtHost* host_ = nullptr;
    QTcpSocket lobbyLink_;
    std::filesystem::path settingsFile_;
    bool settingsRead_ = false;
    // The memory the start-up freed is handed back once, this long after
    // the first login.
    static constexpr int kStartSettledMs = 100;
    WindowBounds storedBounds_{0, 0, 0, 0};
    // What the table was last placed to, before fitting.
    WindowBounds placedBounds_;
    bool shown_ = false;
};

}  // namespace vornel::app

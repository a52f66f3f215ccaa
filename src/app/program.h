#pragma once
// The program: its eleven windows, created once in a fixed order, the start
// from the command line (solo, hosting or joining), the host in this
// process, and the settings file read after login and written on change.

#include <QObject>
#include <QStringList>
#include <QTcpSocket>
#include <memory>
#include <optional>

#include "app/settings.h"
#include "app/side_window.h"
#include "app/sound_player.h"
#include "app/tally_list.h"
#include "engine/ports.h"
#include "net/qt_host.h"
#include "table/table_services.h"
#include "table/table_window.h"

namespace vornel::app {

class DownloadWindow;
class GameStartDialog;
class PhraseEditor;

class Program : public QObject {
    Q_OBJECT
public:
    struct Options {
        // The port of the host and the table's connection; 7772 unless
        // VORNEL_PORT says otherwise.
        std::optional<quint16> port;
        // Paces the host's computer players instead of the table's Bot
        // Speed (tests run games with a few milliseconds).
        const BotSpeed* botSpeed = nullptr;
    };

    Program(QStringList arguments, Options options);
    ~Program() override;

    // Shows the table window; the command line is read once it is shown.
    void start();

    table::TableWindow& table() { return *table_; }
    net::QtHost& host() { return *host_; }
    GameStartDialog& gameStart() { return *gameStart_; }
    DownloadWindow& download() { return *download_; }
    PhraseEditor& phraseEditor() { return *phraseEditor_; }
    SoundPlayer& sounds() { return sounds_; }
    table::RecordingServices& services() { return services_; }
    TallyList& tally() { return *tally_; }
    SideWindow* window(const QString& className) const;
    // The eleven windows in the order they were created, the table first.
    std::vector<QWidget*> windowsInCreationOrder() const;
    quint16 port() const { return port_; }
    bool settingsRead() const { return settingsRead_; }

private:
    class HostDiagnostics;

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
    std::unique_ptr<table::TableWindow> table_;
    std::vector<std::unique_ptr<SideWindow>> windows_;
    GameStartDialog* gameStart_ = nullptr;
    DownloadWindow* download_ = nullptr;
    PhraseEditor* phraseEditor_ = nullptr;
    TallyList* tally_ = nullptr;
    SideWindow* server_ = nullptr;
    net::QtHost* host_ = nullptr;
    QTcpSocket lobbyLink_;
    std::filesystem::path settingsFile_;
    bool settingsRead_ = false;
    WindowBounds storedBounds_{0, 0, 0, 0};
    // What the table was last placed to, before fitting.
    WindowBounds placedBounds_;
    bool shown_ = false;
};

}  // namespace vornel::app

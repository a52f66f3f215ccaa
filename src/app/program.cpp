#include "app/program.h"

#include <QMessageBox>
#include <QPointer>
#include <QTimer>

#include "app/about_window.h"
#include "app/command_line.h"
#include "app/download_window.h"
#include "app/game_log_window.h"
#include "app/game_start_dialog.h"
#include "app/help_window.h"
#include "app/last_trick_window.h"
#include "app/phrase_editor.h"
#include "app/platform.h"
#include "app/spy_list_window.h"
#include "app/window_bounds.h"
#include "tally/tally_file.h"

namespace vornel::app {

namespace {

const QColor kBlue(0, 0, 255);

// The lobby link's port: 9001, or what the lobby that started this game says.
constexpr quint16 kLobbyLinkPort = 9001;

quint16 portFromEnvironment(const char* name, quint16 fallback) {
    bool ok = false;
    const int port = qEnvironmentVariableIntValue(name, &ok);
    return ok && port > 0 && port < 65536 ? static_cast<quint16>(port) : fallback;
}

table::TableOptions toOptions(const TableSettings& s) {
    table::TableOptions o;
    o.textSize = s.textSize;
    o.textColour = s.textColour;
    o.actionColour = s.actionColour;
    o.scoreCardOnTop = s.scoreCardOnTop;
    o.lastTrickOnTop = s.lastTrickOnTop;
    o.botSpeed = s.botSpeed;
    o.playSounds = s.playSounds;
    o.turnSound = s.turnSound;
    o.chatterSounds = s.chatterSounds;
    o.animate = s.animate;
    for (int i = 0; i < kPhraseCount; ++i) o.phrases[i + 1] = QString::fromLatin1(s.phrases[i].c_str());
    o.botSkill = s.botSkill;
    return o;
}

// The options as the settings file keeps them; the phrases are written
// only by the phrase editor.
TableSettings toSettings(const table::TableOptions& o, const WindowBounds& bounds) {
    TableSettings s;
    s.textSize = o.textSize;
    s.textColour = o.textColour;
    s.actionColour = o.actionColour;
    s.scoreCardOnTop = o.scoreCardOnTop;
    s.lastTrickOnTop = o.lastTrickOnTop;
    s.botSpeed = o.botSpeed;
    s.playSounds = o.playSounds;
    s.bounds = bounds;
    s.turnSound = o.turnSound;
    s.chatterSounds = o.chatterSounds;
    s.animate = o.animate;
    s.botSkill = o.botSkill;
    return s;
}

}  // namespace

// The host's own messages: shown on the host's screen without blocking.
class Program::HostDiagnostics final : public Diagnostics {
public:
    explicit HostDiagnostics(QWidget* parent) : parent_(parent) {}
    // One box at a time shows the latest message, so a table that keeps
    // sending bad cards cannot bury the host's screen under windows.
    void report(std::string_view text) override {
        if (box_ == nullptr) {
            box_ = new QMessageBox(QMessageBox::Information, "Vornel", QString(), QMessageBox::Ok, parent_);
            box_->setObjectName("message_host");
            box_->setAttribute(Qt::WA_DeleteOnClose);
            box_->setModal(false);
        }
        box_->setText(QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size())));
        box_->show();
    }

private:
    QWidget* parent_;
    QPointer<QMessageBox> box_;
};

Program::Program(QStringList arguments, Options options)
    : arguments_(std::move(arguments)), port_(options.port.value_or(portFromEnvironment("VORNEL_PORT", net::kDefaultPort))) {
    platform::createNamedMutex("vornel");
    settingsFile_ = settingsPath(platform::executableDirectory().toStdString());

    // The table writes to these from its first message: made before it,
    // given the table once it exists.
    auto gameLog = std::make_unique<GameLogWindow>();
    auto lastTrick = std::make_unique<LastTrickWindow>();
    auto spyList = std::make_unique<SpyListWindow>();
    table::TableWindow::Services services{*gameLog, *lastTrick, tallyRelay_, *spyList, sounds_};
    table_ = std::make_unique<table::TableWindow>(services);
    table::TableWindow& table = *table_;
    const QPixmap& tile = table.artwork().backgroundTile();
    auto add = [&](const QString& className, const QString& caption, QSize size, bool tool = true) {
        windows_.push_back(std::make_unique<SideWindow>(className, caption, size, tile, &table, tool));
        return windows_.back().get();
    };
    auto adopt = [&](auto window) {
        auto* raw = window.get();
        windows_.push_back(std::move(window));
        return raw;
    };

    auto tally = std::make_unique<TallyList>(tile, table, settingsFile_.parent_path() / tally::kTallyFileName);
    tally_ = tally.get();
    tallyRelay_.attach(tally_);
    windows_.push_back(std::move(tally));
    AboutWindow* about = adopt(std::make_unique<AboutWindow>(
        tile, table.artwork().logo(), &table, QString::fromStdU16String(settingsFile_.parent_path().u16string()),
        [](const QString& address) { platform::openExternally(address); }));
    auto dialog = std::make_unique<GameStartDialog>(tile, table.artwork().startButton(), &table);
    gameStart_ = dialog.get();
    windows_.push_back(std::move(dialog));
    HelpWindow* help = adopt(std::make_unique<HelpWindow>(tile, &table));
    auto editor = std::make_unique<PhraseEditor>(tile, &table);
    phraseEditor_ = editor.get();
    windows_.push_back(std::move(editor));
    server_ = add("TServer", "Server", {200, 100}, false);
    adopt(std::move(spyList))->attach(table);
    adopt(std::move(lastTrick))->attach(table);
    adopt(std::move(gameLog))->attach(table);
    // The installer goes where the settings file lives; after starting it
    // the game closes as "Exit" does, writing what an exit writes.
    DownloadWindow::Hooks hooks{
        [this] { return QString::fromStdU16String(settingsFile_.parent_path().u16string()); },
        [this] { table_->action("action_exit")->trigger(); }};
    auto download = std::make_unique<DownloadWindow>(&table, std::move(hooks));
    download_ = download.get();
    windows_.push_back(std::move(download));

    diagnostics_ = std::make_unique<HostDiagnostics>(&table);
    const BotSpeed& speed = options.botSpeed != nullptr ? *options.botSpeed : static_cast<const BotSpeed&>(table);
    host_ = new net::QtHost(speed, *diagnostics_, std::nullopt, server_);

    connect(&table, &table::TableWindow::ownArrival, this, &Program::loadinifile);
    connect(&table, &table::TableWindow::optionsChanged, this, [this] {
        window("Tscorecard")->setStayOnTop(table_->options().scoreCardOnTop);
        window("Tlasttrick")->setStayOnTop(table_->options().lastTrickOnTop);
        host_->setExpertPlayers(table_->options().botSkill == 1);
        saveinifile();
    });
    connect(&table, &table::TableWindow::closing, this, &Program::formClose);
    connect(&table, &table::TableWindow::closing, download_, &DownloadWindow::abortDownload);
    connect(&table, &table::TableWindow::activated, this, &Program::formActivate);
    connect(&table, &table::TableWindow::startGameRequested, this, [this] { gameStart_->showOver(); });
    connect(gameStart_, &GameStartDialog::startRequested, this, [this](const QString& score) {
        // A "+" would end the name's field early on the way to the host.
        QString name = table_->state().playerName;
        name.remove('+');
        const std::string nameBytes = name.toLatin1().toStdString();
        const std::string scoreBytes = score.toStdString();
        table_->sendMessage("CMD_startgame", {Field::txt(nameBytes), Field::txt(scoreBytes)});
    });
    auto shows = [this, &table](auto signal, const char* className) {
        connect(&table, signal, this, [this, className] { window(className)->showOver(); });
    };
    shows(&table::TableWindow::showScoreCardRequested, "Tscorecard");
    shows(&table::TableWindow::showLastTrickRequested, "Tlasttrick");
    connect(&table, &table::TableWindow::showTallyRequested, this, [this] {
        tally_->loadchecklist();
        tally_->showOver();
    });
    shows(&table::TableWindow::showSpyListRequested, "Tspylist");
    shows(&table::TableWindow::showHelpRequested, "Thelp");
    shows(&table::TableWindow::showAboutRequested, "Tabout");
    connect(&table, &table::TableWindow::logoClicked, about, &AboutWindow::openLink);
    connect(help, &HelpWindow::aboutRequested, about, &SideWindow::showOver);
    connect(&table, &table::TableWindow::showPhraseEditorRequested, this, [this] {
        std::array<QString, 10> phrases;
        for (int n = 1; n <= kPhraseCount; ++n) phrases[static_cast<std::size_t>(n)] = table_->phrase(n);
        phraseEditor_->open(phrases);
    });
    connect(phraseEditor_, &PhraseEditor::done, this, &Program::savePhrases);
    connect(&table, &table::TableWindow::openWebAddress, this, [](const QUrl& address) { platform::openUrl(address); });
}

// The tally is saved as its window goes; the table must not reach it after.
Program::~Program() { tallyRelay_.attach(nullptr); }

SideWindow* Program::window(const QString& className) const {
    for (const auto& w : windows_)
        if (w->objectName() == className) return w.get();
    return nullptr;
}

std::vector<QWidget*> Program::windowsInCreationOrder() const {
    std::vector<QWidget*> all{table_.get()};
    for (const auto& w : windows_) all.push_back(w.get());
    return all;
}

void Program::start() {
    table_->move(storedBounds_.left == 0 ? kDefaultBounds.left : storedBounds_.left,
                 storedBounds_.top == 0 ? kDefaultBounds.top : storedBounds_.top);
    table_->show();
    if (!shown_) {
        shown_ = true;
        QTimer::singleShot(0, this, &Program::processparams);
    }
}

void Program::processparams() {
    table_->board().image("button_start")->hide();
    table_->action("action_startgame")->setEnabled(false);
    table_->state().loginText.clear();

    std::vector<std::string> args;
    for (const QString& a : arguments_) args.push_back(a.toStdString());
    const StartChoice choice = readCommandLine(args);
    table_->addlinetochat(QString::fromLatin1(loadingLine(choice).data(), static_cast<qsizetype>(loadingLine(choice).size())),
                          kBlue);
    if (choice.kind == StartKind::Incomplete) return;
    table_->setPlayer(QString::fromStdString(choice.playerName), QString::fromStdString(choice.hostAddress));
    if (showsLobbyDownload(choice)) download_->showOnDesktop();
    if (choice.kind == StartKind::Join) joinpress();
    else hostpress();
    if (opensLobbyLink(choice)) openLobbyLink();
}

void Program::hostpress() {
    if (!host_->isListening() && !host_->listen(port_))
        table_->addlinetochat("Unable to host a game on port " + QString::number(port_) + ": " + host_->errorString(),
                              kBlue);
    table_->hostpress(port_);
    qobject_cast<SpyListWindow*>(window("Tspylist"))->setHosting(true);
}

void Program::joinpress() { table_->joinpress(port_); }

void Program::openLobbyLink() {
    // Opened and never used: the lobby only watches that the game runs.
    lobbyLink_.connectToHost("127.0.0.1", portFromEnvironment("ZELMO7_LOBBY_LINK_PORT", kLobbyLinkPort));
}

WindowBounds Program::currentBounds() const {
    // Full screen is a way of showing the window, not a place for it: the
    // place it goes back to is the one kept.
    if (table_->isFullScreen()) {
        const QRect normal = table_->normalGeometry();
        return {normal.x(), normal.y(), normal.width(), normal.height()};
    }
    return {table_->x(), table_->y(), table_->width(), table_->height()};
}

void Program::loadinifile() {
    const TableSettings settings = readSettings(settingsFile_);
    table_->applyOptions(toOptions(settings));
    window("Tscorecard")->setStayOnTop(settings.scoreCardOnTop);
    window("Tlasttrick")->setStayOnTop(settings.lastTrickOnTop);
    host_->setExpertPlayers(settings.botSkill == 1);
    storedBounds_ = settings.bounds;
    table_->move(storedBounds_.left, storedBounds_.top);
    table_->resize(storedBounds_.width, storedBounds_.height);
    settingsRead_ = true;
}

void Program::savePhrases(const std::array<QString, 10>& phrases) {
    table_->setPhrases(phrases);
    // Only the nine phrase keys are written, so the player's other settings
    // stay as they are even before they were read.
    std::array<std::string, kPhraseCount> texts;
    for (int i = 0; i < kPhraseCount; ++i)
        texts[static_cast<std::size_t>(i)] = phrases[static_cast<std::size_t>(i + 1)].toLatin1().toStdString();
    if (const auto failure = writePhrases(settingsFile_, texts)) showWriteFailure(*failure);
}

void Program::showWriteFailure(const std::string& message) {
    auto* box = new QMessageBox(QMessageBox::Warning, "Vornel", QString::fromStdString(message), QMessageBox::Ok,
                                table_.get());
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->show();
}

void Program::saveinifile() {
    // Before the settings were read (no login yet) an option applies to this
    // run only: writing now would put built-in values over the player's.
    if (!settingsRead_) return;
    if (const auto failure = writeSettings(settingsFile_, toSettings(table_->options(), currentBounds())))
        showWriteFailure(*failure);
}

void Program::formClose() {
    const QRect area = platform::workArea(*table_);
    const auto bounds =
        boundsToStoreAtClose(currentBounds(), storedBounds_, settingsRead_, {area.width(), area.height()});
    if (!bounds) return;
    storedBounds_ = *bounds;
    table_->resize(bounds->width, bounds->height);
    saveinifile();
}

void Program::formActivate() {
    if (!table_->options().lastTrickOnTop) window("Tlasttrick")->hideUnlessJustShown();
    if (!table_->options().scoreCardOnTop) window("Tscorecard")->hideUnlessJustShown();
}

}  // namespace vornel::app

#include "app/program.h"

#include <QPointer>
#include <QTimer>
#include <QWindow>
#include <algorithm>
#include <future>
#include <memory>

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
#include "table/message_box.h"
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
        if (box_ == nullptr) box_ = table::makeMessageBox(QMessageBox::Information, QString(), parent_, "message_host");
        box_->setText(QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size())));
        table::showInFront(box_);
    }

private:
    QWidget* parent_;
    QPointer<QMessageBox> box_;
};

Program::Program(QStringList arguments, Options options)
    : arguments_(std::move(arguments)), port_(options.port.value_or(portFromEnvironment("VORNEL_PORT", net::kDefaultPort))) {
    platform::createNamedMutex("vornel");
    settingsFile_ = settingsPath(platform::executableDirectory().toStdString());

    // The pictures the empty table shows are drawn meanwhile on a thread of
    // their own; the table and every window share this artwork.
    // That thread also decodes the advert a solo start shows, while it waits
    // for the fonts.
    artwork_ = table::Artwork::shared();
    std::future<QImage> advert;
    std::function<void()> decodeAdvert;
    if (showsLobbyDownload(startChoice())) {
        auto decoded = std::make_shared<std::promise<QImage>>();
        advert = decoded->get_future();
        decodeAdvert = [decoded] { decoded->set_value(DownloadWindow::decodeAdvert()); };
    }
    artwork_->drawStartPicturesAhead(options.fontConfiguration, std::move(decodeAdvert));
    // The table first, then each side window in its place in the order
    // (the dialogs opened from a menu wait there for their first use), then
    // the table given the windows it writes to, all in one call.
    table_ = std::make_unique<table::TableWindow>();
    table::TableWindow& table = *table_;
    const table::Artwork& artwork = table.artwork();

    tally_ = adopt(std::make_unique<TallyList>(artwork.backgroundTile(), table,
                                               settingsFile_.parent_path() / tally::kTallyFileName));
    waitForFirstUse("Tabout", [this, &artwork] {
        return std::make_unique<AboutWindow>(
            artwork.backgroundTile(), artwork.logo(), table_.get(),
            QString::fromStdU16String(settingsFile_.parent_path().u16string()),
            [](const QString& address) { platform::openExternally(address); });
    });
    waitForFirstUse("Tgamestart", [this, &artwork] {
        auto dialog = std::make_unique<GameStartDialog>(artwork.backgroundTile(), artwork.startButton(), table_.get());
        connect(dialog.get(), &GameStartDialog::startRequested, this, [this](const QString& score) {
            // A "+" would end the name's field early on the way to the host.
            QString name = table_->state().playerName;
            name.remove('+');
            const std::string nameBytes = name.toLatin1().toStdString();
            const std::string scoreBytes = score.toStdString();
            table_->sendMessage("CMD_startgame", {Field::txt(nameBytes), Field::txt(scoreBytes)});
        });
        return dialog;
    });
    waitForFirstUse("Thelp", [this, &artwork] {
        auto help = std::make_unique<HelpWindow>(artwork.backgroundTile(), table_.get());
        connect(help.get(), &HelpWindow::aboutRequested, this, [this] { about().showOver(); });
        return help;
    });
    waitForFirstUse("Tphrases", [this, &artwork] {
        auto editor = std::make_unique<PhraseEditor>(artwork.backgroundTile(), table_.get());
        connect(editor.get(), &PhraseEditor::done, this, &Program::savePhrases);
        return editor;
    });
    server_ = adopt(std::make_unique<SideWindow>("TServer", "Server", QSize(200, 100), artwork.backgroundTile(), &table, false));
    auto* spyList = adopt(std::make_unique<SpyListWindow>(table));
    auto* lastTrick = adopt(std::make_unique<LastTrickWindow>(table));
    auto* gameLog = adopt(std::make_unique<GameLogWindow>(table));
    // The installer goes where the settings file lives; after starting it
    // the game closes as "Exit" does, writing what an exit writes.
    DownloadWindow::Hooks hooks{
        [this] { return QString::fromStdU16String(settingsFile_.parent_path().u16string()); },
        [this] { table_->action("action_exit")->trigger(); }};
    download_ = adopt(std::make_unique<DownloadWindow>(&table, std::move(hooks)));
    if (advert.valid()) download_->keepAdvertForShowing(advert.get());
    table.setServices({*gameLog, *lastTrick, *tally_, *spyList, sounds_});
    // Kept open while playing: beside the table, off the cards.
    for (SideWindow* window : std::initializer_list<SideWindow*>{tally_, spyList, lastTrick, gameLog})
        window->setPlacement(SideWindow::Placement::BesideTable);

    diagnostics_ = std::make_unique<HostDiagnostics>(&table);
    const BotSpeed& speed = options.botSpeed != nullptr ? *options.botSpeed : static_cast<const BotSpeed&>(table);
    host_ = new net::QtHost(speed, *diagnostics_, std::nullopt, server_);

    connect(&table, &table::TableWindow::ownArrival, this, &Program::loadinifile);
    // The start-up's threads are done by then: the pictures and the fonts
    // before the login, the sound module's loading, which the login's sound
    // starts, soon after it.
    connect(
        &table, &table::TableWindow::ownArrival, this,
        [this] { QTimer::singleShot(kStartSettledMs, this, [] { platform::releaseFreedMemory(); }); },
        Qt::SingleShotConnection);
    connect(&table, &table::TableWindow::optionsChanged, this, [this] {
        window("Tscorecard")->setStayOnTop(table_->options().scoreCardOnTop);
        window("Tlasttrick")->setStayOnTop(table_->options().lastTrickOnTop);
        host_->setExpertPlayers(table_->options().botSkill == 1);
        saveinifile();
    });
    connect(&table, &table::TableWindow::closing, this, &Program::formClose);
    connect(&table, &table::TableWindow::closing, download_, &DownloadWindow::abortDownload);
    connect(&table, &table::TableWindow::activated, this, &Program::formActivate);
    // After the table's own step, which puts the window at the built-in bounds.
    connect(table.action("action_resetscreen"), &QAction::triggered, this, [this] { placeTable(kDefaultBounds); });
    connect(&table, &table::TableWindow::startGameRequested, this, [this] { gameStart().showOver(); });
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
    connect(&table, &table::TableWindow::logoClicked, this, [this] { about().openLink(); });
    connect(&table, &table::TableWindow::showPhraseEditorRequested, this, [this] {
        std::array<QString, 10> phrases;
        for (int n = 1; n <= kPhraseCount; ++n) phrases[static_cast<std::size_t>(n)] = table_->phrase(n);
        phraseEditor().open(phrases);
    });
    connect(&table, &table::TableWindow::openWebAddress, this, [](const QUrl& address) { platform::openUrl(address); });
}

// The side windows go before the table (the tally saving its file as it
// goes): the table must not reach them after.
Program::~Program() { table_->unsetServices(); }

template <typename Window>
Window* Program::adopt(std::unique_ptr<Window> window) {
    Window* raw = window.get();
    windows_.push_back({window->objectName(), nullptr, std::move(window)});
    return raw;
}

void Program::waitForFirstUse(QString className, std::function<std::unique_ptr<SideWindow>()> make) {
    windows_.push_back({std::move(className), std::move(make), nullptr});
}

SideWindow* Program::window(const QString& className) {
    for (SideSlot& slot : windows_) {
        if (slot.className != className) continue;
        if (!slot.window) slot.window = slot.make();
        return slot.window.get();
    }
    return nullptr;
}

bool Program::windowMade(const QString& className) const {
    return std::any_of(windows_.begin(), windows_.end(),
                       [&](const SideSlot& slot) { return slot.className == className && slot.window; });
}

std::vector<QWidget*> Program::windowsInCreationOrder() {
    std::vector<QWidget*> all{table_.get()};
    for (const SideSlot& slot : windows_) all.push_back(window(slot.className));
    return all;
}

GameStartDialog& Program::gameStart() { return *qobject_cast<GameStartDialog*>(window("Tgamestart")); }

PhraseEditor& Program::phraseEditor() { return *qobject_cast<PhraseEditor*>(window("Tphrases")); }

AboutWindow& Program::about() { return *qobject_cast<AboutWindow*>(window("Tabout")); }

void Program::start() {
    const WindowBounds builtIn{kDefaultBounds.left, kDefaultBounds.top, table_->width(), table_->height()};
    placeTable(settingsRead_ ? storedBounds_ : builtIn);
    const bool first = !shown_;
    // Read before a box made at start-up comes up, so that a window this
    // opens (the download window) does not go over the box.
    if (first) {
        shown_ = true;
        QTimer::singleShot(0, this, &Program::processparams);
    }
    table_->show();
    if (first) placeAgainOnceFramed();
}

// Until the window is on the screen its frame is not known, and a window
// manager may have put the client, not the frame, where the frame was
// asked for (leaving the title bar above the screen): once the window is
// exposed, the same bounds are applied again with the frame known.
void Program::placeAgainOnceFramed() {
    QWindow* window = table_->windowHandle();
    if (window == nullptr) return;
    if (window->isExposed()) QTimer::singleShot(0, this, [this] { placeTable(placedBounds_); });
    else window->installEventFilter(this);
}

bool Program::eventFilter(QObject* watched, QEvent* event) {
    auto* window = qobject_cast<QWindow*>(watched);
    if (window != nullptr && window == table_->windowHandle() && event->type() == QEvent::Expose &&
        window->isExposed()) {
        window->removeEventFilter(this);
        QTimer::singleShot(0, this, [this] { placeTable(placedBounds_); });
    }
    return QObject::eventFilter(watched, event);
}

void Program::placeTable(const WindowBounds& wanted) {
    placedBounds_ = wanted;
    const QSize minimum = table_->minimumSizeHint().expandedTo(table_->minimumSize());
    const WindowBounds bounds = fitToScreens(wanted, platform::workAreas(), platform::frameMargins(*table_),
                                             {minimum.width(), minimum.height()});
    if (bounds == currentBounds()) return;
    table_->move(bounds.left, bounds.top);
    table_->resize(bounds.width, bounds.height);
}

StartChoice Program::startChoice() const {
    std::vector<std::string> args;
    for (const QString& a : arguments_) args.push_back(a.toStdString());
    return readCommandLine(args);
}

void Program::processparams() {
    table_->board().image("button_start")->hide();
    table_->action("action_startgame")->setEnabled(false);
    table_->state().loginText.clear();

    const StartChoice choice = startChoice();
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
    // The file's bounds are kept as they were read, so that a window that
    // had to be fitted to the screens is written back where it is shown.
    storedBounds_ = settings.bounds;
    placeTable(storedBounds_);
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
    table::showInFront(
        table::makeMessageBox(QMessageBox::Warning, QString::fromStdString(message), table_.get(), "message_write"));
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

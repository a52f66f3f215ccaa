#include "table/table_window.h"

#include <QCloseEvent>
#include <QEvent>
#include <QMenuBar>
#include <QTextDocument>
#include <QTimer>

#include "net/protocol.h"
#include "table/board_stage.h"
#include "table/chat_box.h"
#include "table/game_view.h"
#include "table/hint.h"
#include "table/message_box.h"
#include "table/seat_rotation.h"
#include "table/seen_game.h"

namespace vornel::table {

namespace {
const QColor kBlue(0, 0, 255);
const QColor kNavy(0, 0, 128);

QString fromWire(std::string_view text) { return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size())); }
}  // namespace

TableWindow::TableWindow(Services services, QWidget* parent) : TableWindow(parent) { setServices(services); }

TableWindow::TableWindow(QWidget* parent) : QMainWindow(parent), connection_(this) {
    unsetServices();
    setObjectName("Tchat");
    setWindowTitle("Vornel");

    // The menus need no fonts: made while the font configuration and the
    // fonts are loaded, before the board's chat box waits for them.
    buildMenus();
    artwork_->awaitFontConfiguration();
    auto* stage = new BoardStage(*artwork_, this);
    setCentralWidget(stage);
    board_ = &stage->board();
    applyAnimate();

    chat_ = std::make_unique<ChatBox>(*board_->mainchat());
    // A host that sends chat lines without end must not grow the table
    // without end; this also drops the box's undo history.
    board_->mainchat()->document()->setMaximumBlockCount(kChatLinesKept);
    game_ = std::make_unique<GameView>(*this);
    seen_ = std::make_unique<SeenGame>();
    makeHintAdvisor();
    buildDispatch();
    connectBoard();
    buildSeatPopup();
    connectChat();

    connection_.setMessageHandler([this](std::string_view message) { dispatch(message); });
    connect(&connection_, &net::TableConnection::closedByHost, this, [this] {
        // What the host sent before it closed (a refusal, say) is handled
        // first; the close report usually arrives before it is dispatched.
        auto* drained = new QTimer(this);
        closeAfterDrain_ = drained;
        drained->setInterval(1);
        connect(drained, &QTimer::timeout, this, [this, drained] {
            if (connection_.waiting() > 0) return;
            drained->deleteLater();
            if (!closingAfterRefusal_) close();
        });
        drained->start();
    });
    connect(&connection_, &net::TableConnection::connectFailed, this,
            [this] { addlinetochat("Unable to connect to the host.", kBlue); });
    connect(&connection_, &net::TableConnection::connectionLost, this,
            [this] { addlinetochat("The connection to the host was lost.", kBlue); });

    game_->clearall();
    resize(kDefaultWidth, kDefaultHeight);
    board_->rememberStart();
}

void TableWindow::makeHintAdvisor() {
    hint_ = new HintAdvisor(this);
    connect(hint_, &HintAdvisor::answered, this, [this](int prompt, Decision decision, int answer) {
        showHint(prompt, static_cast<int>(decision), answer);
    });
}

void TableWindow::reset() {
    connection_.reset();
    delete closeAfterDrain_;  // the last connection's close no longer closes the window
    closingAfterRefusal_ = false;
    for (QMessageBox* box : findChildren<QMessageBox*>(Qt::FindDirectChildrenOnly)) delete box;
    state_ = TableState{};
    phrasePauseOpen_ = true;
    phrasePauseTicks_ = 0;
    popupKick_->hide();
    popupKickSeat_ = 0;

    board_->restoreStart();
    chat_->clear();
    game_ = std::make_unique<GameView>(*this);
    seen_->reset();
    // A hint still being worked out answers a prompt of the old game: an
    // advisor that was asked is made again (one never asked is as new).
    if (hint_->asked()) {
        delete hint_;
        makeHintAdvisor();
    }
    action("action_justwatch")->setChecked(false);
    action("action_startgame")->setEnabled(false);
    updateHintAction();
}

TableWindow::~TableWindow() {
    // A socket still open reports its own close as it is destroyed, after
    // the connection's timer is gone and while this window is half taken
    // down: close it now, without closing (and running the close step of)
    // a window that is going away.
    connection_.disconnect(this);
    connection_.socket().abort();
    for (QObject* watched : {static_cast<QObject*>(board_->mychat()), static_cast<QObject*>(board_->mainchat()),
                             static_cast<QObject*>(board_->mainchat()->viewport())})
        watched->removeEventFilter(this);
}

void TableWindow::setServices(Services services) { services_.emplace(services); }

void TableWindow::unsetServices() { services_.emplace(Services{*unset_, *unset_, *unset_, *unset_, *unset_}); }

QAction* TableWindow::action(const QString& objectName) const {
    // Looked up on every message (the hint's availability): a walk over the
    // whole window once per name.
    QPointer<QAction>& known = actions_[objectName];
    if (known == nullptr || known->objectName() != objectName) known = findChild<QAction*>(objectName);
    return known;
}

void TableWindow::buildMenus() {
    auto add = [](QMenu* menu, const char* name, const QString& caption, bool checkable = false,
                      bool checked = false) {
        QAction* a = menu->addAction(caption);
        a->setObjectName(name);
        a->setCheckable(checkable);
        a->setChecked(checked);
        return a;
    };

    QMenu* file = menuBar()->addMenu("File");
    QAction* start = add(file, "action_startgame", "Start Game");
    start->setEnabled(false);
    connect(start, &QAction::triggered, this, &TableWindow::startGameClicked);
    QAction* hint = add(file, "action_hint", "Hint");
    hint->setShortcut(QKeySequence(Qt::Key_H));
    hint->setEnabled(false);
    connect(hint, &QAction::triggered, this, &TableWindow::askHint);
    hintAction_ = hint;
    add(file, "action_host", "Host")->setVisible(false);
    add(file, "action_join", "Join")->setVisible(false);
    connect(add(file, "action_exit", "Exit"), &QAction::triggered, this, &QWidget::close);

    QMenu* options = menuBar()->addMenu("Options");
    connect(add(options, "action_playsounds", "Play Sounds", true, true), &QAction::toggled, this, [this](bool on) {
        options_.playSounds = on;
        Q_EMIT optionsChanged();
    });
    connect(add(options, "action_chattersounds", "Play Chatter Sounds", true, false), &QAction::toggled, this,
            [this](bool on) {
                options_.chatterSounds = on;
                Q_EMIT optionsChanged();
            });
    QMenu* turnSound = options->addMenu("Turn Sound");
    auto* turnGroup = new QActionGroup(this);
    for (int choice = 0; choice <= 1; ++choice) {
        QAction* a = add(turnSound, choice == 0 ? "action_turnclassic" : "action_turnnew", choice == 0 ? "Classic" : "New",
                         true, choice == 0);
        turnGroup->addAction(a);
        connect(a, &QAction::triggered, this, [this, choice] {
            options_.turnSound = choice;
            Q_EMIT optionsChanged();
        });
    }
    QMenu* speed = options->addMenu("Bot Speed");
    auto* speedGroup = new QActionGroup(this);
    for (const auto& [name, caption, ms] : {std::tuple{"action_slow", "Slow", 750}, std::tuple{"action_normal", "Normal", 500},
                                            std::tuple{"action_fast", "Fast", 200}}) {
        QAction* a = add(speed, name, caption, true, ms == 500);
        speedGroup->addAction(a);
        connect(a, &QAction::triggered, this, [this, ms = ms] { setBotSpeed(ms, true); });
    }
    QMenu* players = options->addMenu("Computer Players");
    auto* playersGroup = new QActionGroup(this);
    for (int skill = 0; skill <= 1; ++skill) {
        QAction* a = add(players, skill == 0 ? "action_botstandard" : "action_botexpert",
                         skill == 0 ? "Standard" : "Expert", true, skill == 0);
        playersGroup->addAction(a);
        connect(a, &QAction::triggered, this, [this, skill] {
            options_.botSkill = skill;
            Q_EMIT optionsChanged();
        });
    }
    options->addSeparator();
    connect(add(options, "action_viewscorecard", "View Score Card"), &QAction::triggered, this,
            &TableWindow::showScoreCardRequested);
    connect(add(options, "action_scorecardontop", "Score Card Window - Stay on Top", true), &QAction::triggered, this,
            [this](bool on) {
                options_.scoreCardOnTop = on;
                Q_EMIT optionsChanged();
            });
    connect(add(options, "action_viewlasttrick", "View Last Trick"), &QAction::triggered, this,
            &TableWindow::showLastTrickRequested);
    connect(add(options, "action_lasttrickontop", "Last Trick Window - Stay on Top", true), &QAction::triggered, this,
            [this](bool on) {
                options_.lastTrickOnTop = on;
                Q_EMIT optionsChanged();
            });
    options->addSeparator();
    add(options, "action_textcolor", "Text Color");
    add(options, "action_actioncolor", "Action Color");
    QMenu* size = options->addMenu("Text Size");
    for (int points : {8, 10, 12, 14}) {
        QAction* a = add(size, QString("action_size%1").arg(points).toLatin1().constData(), QString::number(points), true,
                         points == 8);
        connect(a, &QAction::triggered, this, [this, points] {
            options_.textSize = points;
            chat_->setFontSize(points);
            for (int other : {8, 10, 12, 14})
                action(QString("action_size%1").arg(other))->setChecked(other == points);
            Q_EMIT optionsChanged();
        });
    }
    add(options, "action_scrolloff", "Scroll Chat Off", true);
    connect(add(options, "action_clearchat", "Clear Main Chat Box"), &QAction::triggered, this,
            [this] { chat_->clear(); });
    connect(add(options, "action_resetscreen", "Reset Screen Location"), &QAction::triggered, this, [this] {
        move(3, 3);
        resize(kDefaultWidth, kDefaultHeight);
    });
    connect(add(options, "action_justwatch", "Just Watch", true), &QAction::triggered, this, [this](bool nowChecked) {
        // The host's answer sets the check mark; until then it shows what it showed.
        action("action_justwatch")->setChecked(!nowChecked);
        if (state_.ownSeat < 1 || state_.ownSeat > 4) return;
        const char* value = nowChecked ? "1" : "2";
        sendMessage("CMD_justwatch", {Field::num(state_.ownSeat), Field::txt(value)});
    });

    QMenu* view = menuBar()->addMenu("View");
    connect(add(view, "action_viewtally", "View Tally"), &QAction::triggered, this, &TableWindow::showTallyRequested);
    connect(add(view, "action_spylist", "Spy List"), &QAction::triggered, this, &TableWindow::showSpyListRequested);
    connect(add(view, "action_lasttrick", "Last Trick"), &QAction::triggered, this, &TableWindow::showLastTrickRequested);
    connect(add(view, "action_gamelog", "Game Log"), &QAction::triggered, this, &TableWindow::showScoreCardRequested);
    connect(add(view, "action_phraselist", "Phrase List"), &QAction::triggered, this,
            &TableWindow::showPhraseEditorRequested);
    addDisplayActions(options, view);

    QMenu* help = menuBar()->addMenu("Help");
    QAction* content = add(help, "action_content", "Content");
    content->setShortcut(QKeySequence(Qt::Key_F1));
    connect(content, &QAction::triggered, this, &TableWindow::showHelpRequested);
    connect(add(help, "action_about", "About"), &QAction::triggered, this, &TableWindow::showAboutRequested);
}

void TableWindow::connectBoard() {
    connect(board_->image("button_start"), &ImageElement::pressed, this, [this](Qt::MouseButton button) {
        if (button == Qt::LeftButton) startGameClicked();
    });
    connect(board_->image("button_scorecard"), &ImageElement::pressed, this,
            [this](Qt::MouseButton) { Q_EMIT showScoreCardRequested(); });
    connect(board_->image("button_lasttrick"), &ImageElement::pressed, this,
            [this](Qt::MouseButton) { Q_EMIT showLastTrickRequested(); });
    connect(board_->image("Image6"), &ImageElement::pressed, this, [this](Qt::MouseButton) { Q_EMIT logoClicked(); });
    connect(board_, &Board::handCardPressed, this, [this](ImageElement* card, Qt::MouseButton button) {
        game_->cardimagesMouseDown(*card, button == Qt::LeftButton ? 1 : button == Qt::RightButton ? 2 : 0);
    });
    for (int n = 1; n <= 4; ++n) {
        connect(board_->bubble(n), &ImageElement::pressed, this, [this, n](Qt::MouseButton button) {
            if (button == Qt::LeftButton) game_->bubble1Click(n);
        });
    }
}

void TableWindow::buildDispatch() {
    auto& d = dispatcher_;
    auto game = [this](void (GameView::*handler)(std::string_view)) {
        return [this, handler](std::string_view rest) { (game_.get()->*handler)(rest); };
    };
    d.on("CMD_sendlogininfo", [this](std::string_view rest) { sendloginfo(rest); });
    d.on("CMD_chat", [this](std::string_view rest) { chatrecieved(rest); });
    d.on("CMD_action", [this](std::string_view rest) { chatrecieved(rest); });
    d.on("CMD_newplayerinfo", [this](std::string_view rest) { newplayerinfo(rest); });
    d.on("CMD_havewrongversion", [this](std::string_view rest) {
        addlinetochat(fromWire(rest) + " has a different version of the game then you.", kBlue);
    });
    d.on("CMD_wrongversion", [this](std::string_view) {
        addlinetochat("You have a differnt version of the game then the host.", kBlue);
    });
    d.on("CMD_existingplayers", [this](std::string_view rest) { newplayerinfo(rest); });
    d.on("CMD_playerdisconnected", [this](std::string_view rest) { playerdisconnected(rest); });
    d.on("CMD_startgame", game(&GameView::startthegame));
    d.on("CMD_nextplayer", game(&GameView::setnextplayer));
    d.on("CMD_full", [this](std::string_view) { gameIsFull(); });
    d.on("CMD_justwatching", game(&GameView::justwatching));
    d.on("CMD_dealer", game(&GameView::setdealer));
    d.on("CMD_placecard", game(&GameView::placecard));
    d.on("CMD_bidder", game(&GameView::setbidder));
    d.on("CMD_hepassed", game(&GameView::hepassed));
    d.on("CMD_heaccepted", game(&GameView::heaccepted));
    d.on("CMD_settrump", game(&GameView::settrump));
    d.on("CMD_discarder", game(&GameView::setdiscarder));
    d.on("CMD_switch", game(&GameView::switchCard));
    d.on("CMD_chooser", game(&GameView::setchooser));
    d.on("CMD_trumpchoosen", game(&GameView::trumpchoosen));
    d.on("CMD_playedcard", game(&GameView::playedcard));
    d.on("CMD_notvalid", game(&GameView::notvalid));
    d.on("CMD_trickwinner", game(&GameView::trickwinner));
    d.on("CMD_clearcards", game(&GameView::clearcards));
    d.on("CMD_score", game(&GameView::scores));
    d.on("CMD_thewinner", game(&GameView::thewinner));
    d.on("CMD_loadstats", game(&GameView::loadstats));
    d.on("CMD_loadcards", game(&GameView::loadcards));
    d.on("CMD_loadtheircards", game(&GameView::loadtheircard));
    d.on("CMD_aloner", game(&GameView::setaloner));
    d.on("CMD_goingalone", game(&GameView::goingalone));
    d.on("CMD_playasound", [this](std::string_view rest) { playasound(rest); });
}

void TableWindow::dispatch(std::string_view message) {
    dispatcher_.dispatch(message);
    const int prompt = seen_->promptNumber();
    seen_->observe(message, state_.ownSeat);
    if (seen_->promptNumber() != prompt) game_->dropHint();
    updateHintAction();
}

// --- the hint ------------------------------------------------------------

bool TableWindow::hintAvailable() const {
    return state_.loggedIn && isSeat(state_.ownSeat) && state_.seatToAct == state_.ownSeat &&
           seen_->awaited().has_value() && !seen_->ownSeatWatching();
}

void TableWindow::updateHintAction() {
    // Every message passes here: the action is kept rather than looked up.
    if (hintAction_ != nullptr) hintAction_->setEnabled(hintAvailable());
}

void TableWindow::askHint() {
    if (hintAvailable()) hint_->ask(hintQuestion(*seen_));
}

void TableWindow::showHint(int prompt, int decision, int answer) {
    // An answer for a prompt that has passed is dropped.
    if (prompt != seen_->promptNumber() || !hintAvailable()) return;
    const auto kind = static_cast<Decision>(decision);
    const bool shown = kind == Decision::Discard || kind == Decision::Play ? game_->raiseHintedCard(answer)
                                                                          : game_->highlightBubble(answer);
    if (shown) Q_EMIT hintShown(decision, answer);
}

// --- connection ----------------------------------------------------------

void TableWindow::setPlayer(const QString& name, const QString& hostAddress) {
    QString clean = name;
    clean.remove(QChar(0xFF));
    state_.playerName = clean;
    state_.hostAddress = hostAddress;
}

void TableWindow::hostpress(quint16 port) {
    state_.loginText = state_.playerName.toLatin1().toStdString() + net::kTerminator;
    state_.isHost = true;
    connection_.connectToHost("127.0.0.1", port);
    board_->image("button_start")->show();
    action("action_startgame")->setEnabled(true);
}

void TableWindow::joinpress(quint16 port) {
    state_.loginText = state_.playerName.toLatin1().toStdString() + net::kTerminator;
    connection_.connectToHost(state_.hostAddress, port);
    board_->image("button_start")->hide();
    action("action_startgame")->setEnabled(false);
}

void TableWindow::sendMessage(std::string_view command, std::initializer_list<Field> fields) {
    if (!state_.loggedIn) return;
    connection_.send(command, fields);
}

void TableWindow::sendloginfo(std::string_view rest) {
    const auto seat = net::parseNumber(rest);
    // The host numbers connections 1..9 and asks once; a second request
    // would turn the seats a second time.
    if (!seat || *seat < 1 || *seat > 9 || state_.loggedIn) return;
    state_.ownSeat = *seat;
    state_.loggedIn = true;
    // The login text ends in the terminator itself, so the host sees an
    // empty message after this one and ignores it.
    connection_.sendText("CMD_logininfo+" + std::to_string(*seat) + "+" + std::string(net::kVersion) + "+" +
                         state_.loginText);
    sortstuff(*board_, state_.ownSeat, state_.defaultNames);
}

void TableWindow::newplayerinfo(std::string_view rest) {
    net::FieldReader reader(rest);
    const auto number = reader.number();
    if (!number) return;
    const int n = *number;
    const QString name = fromWire(reader.remainder());
    // Before the login the table has no number: nobody announced is this table.
    if (state_.loggedIn && n == state_.ownSeat) {
        addlinetochat("You are Connected.", kBlue);
        Q_EMIT ownArrival();
    } else {
        addlinetochat(name + " is Connected.", kBlue);
    }
    if (n > 4) {
        services_->watchers.addWatcher(QString::number(n) + ": " + name);
        addlinetochat(n == state_.ownSeat ? QString("You are spying.") : name + " is spying.", kBlue);
    } else if (TextElement* label = board_->nameLabel(n)) {
        label->setText(name);
        label->show();
    }
    playsounds("entered");
}

void TableWindow::playerdisconnected(std::string_view rest) {
    net::FieldReader reader(rest);
    const auto number = reader.number();
    if (!number) return;
    const int n = *number;
    const QString name = fromWire(reader.remainder());
    if (n > 4) {
        if (!services_->watchers.isEmpty() && services_->watchers.removeWatcher(QString::number(n) + ": " + name))
            addlinetochat(name + " has left.", kNavy);
        return;
    }
    TextElement* label = board_->nameLabel(n);
    if (label == nullptr) return;
    addlinetochat(label->text() + " disconnected.", kBlue);
    label->setText(label->hint());
    if (ImageElement* eyes = board_->seatImage(SeatFamily::Eyes, n)) eyes->hide();
}

void TableWindow::gameIsFull() {
    if (closingAfterRefusal_) return;  // one box is enough, however often it is said
    closingAfterRefusal_ = true;
    // Not modal: the event loop goes on while the player reads it, and the
    // table closes when it is dismissed.
    QMessageBox* box = makeMessageBox(QMessageBox::Information, "Game is full", this, "message_full");
    connect(box, &QMessageBox::finished, this, &QWidget::close);
    showInFront(box);
}

// --- chat and sounds -----------------------------------------------------

void TableWindow::addlinetochat(const QString& text, const QColor& colour) { chat_->addLine(text, colour); }

void TableWindow::playsounds(const QString& name) {
    if (options_.playSounds) services_->sounds.play(name);
}

// --- options -------------------------------------------------------------

void TableWindow::setBotSpeed(int speed, bool announce) {
    options_.botSpeed = speed;
    action("action_slow")->setChecked(speed == 750);
    action("action_normal")->setChecked(speed == 500);
    action("action_fast")->setChecked(speed == 200);
    sendMessage("CMD_botspeed", {Field::num(state_.ownSeat), Field::num(speed)});
    if (announce) Q_EMIT optionsChanged();
}

void TableWindow::applyOptions(const TableOptions& options) {
    const QSignalBlocker blocker(this);  // applying what was read must not write it back
    options_ = options;
    chat_->setFontSize(options.textSize);
    for (int points : {8, 10, 12, 14}) action(QString("action_size%1").arg(points))->setChecked(points == options.textSize);
    const int speed = options.botSpeed == 750 || options.botSpeed == 200 ? options.botSpeed : 500;
    options_.botSpeed = speed;
    action("action_slow")->setChecked(speed == 750);
    action("action_normal")->setChecked(speed == 500);
    action("action_fast")->setChecked(speed == 200);
    if (state_.ownSeat == 1 && state_.loggedIn)
        sendMessage("CMD_botspeed", {Field::num(state_.ownSeat), Field::num(speed)});
    action("action_scorecardontop")->setChecked(options.scoreCardOnTop);
    action("action_lasttrickontop")->setChecked(options.lastTrickOnTop);
    const std::pair<const char*, bool> checks[] = {{"action_playsounds", options.playSounds},
                                                   {"action_chattersounds", options.chatterSounds},
                                                   {"action_turnclassic", options.turnSound != 1},
                                                   {"action_turnnew", options.turnSound == 1}};
    for (const auto& [name, checked] : checks) {
        QAction* a = action(name);
        const QSignalBlocker quiet(a);
        a->setChecked(checked);
    }
    applyChatOptions();
    applyAnimate();
    // Unblocked, so the radio group follows; only a click writes the option.
    action(options.botSkill == 1 ? "action_botexpert" : "action_botstandard")->setChecked(true);
}

void TableWindow::startGameClicked() {
    if (!state_.isHost) return;
    if (!state_.loggedIn) {
        showInFront(makeMessageBox(QMessageBox::Information, "You are not connected", this, "message_notconnected"));
        return;
    }
    Q_EMIT startGameRequested();
}

// --- window events -------------------------------------------------------

void TableWindow::changeEvent(QEvent* event) {
    if (event->type() == QEvent::ActivationChange && isActiveWindow()) Q_EMIT activated();
    if (event->type() == QEvent::WindowStateChange) showDisplayState();
    QMainWindow::changeEvent(event);
}

void TableWindow::closeEvent(QCloseEvent* event) {
    Q_EMIT closing();
    QMainWindow::closeEvent(event);
}

}  // namespace vornel::table

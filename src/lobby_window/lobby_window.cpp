#include "lobby_window/lobby_window.h"

#include <QCloseEvent>
#include <QStackedWidget>
#include <QVBoxLayout>

#include "lobby_window/first_screen.h"
#include "lobby_window/local_lobby.h"
#include "lobby_window/lobby_look.h"
#include "lobby_window/lobby_session.h"
#include "lobby_window/lobby_settings.h"
#include "lobby_window/lobby_view.h"
#include "lobby_window/typed_text.h"
#include "table/board.h"

namespace vornel::lobby_window {

LobbyWindow::LobbyWindow(LobbyConfig config, QWidget* parent)
    : QWidget(parent), session_(std::make_unique<LobbySession>(std::move(config))), local_(std::make_unique<LocalLobby>()) {
    setObjectName("Tlobby");
    setWindowTitle("The Zelmo7 Lobby");
    resize(kDefaultWidth, kDefaultHeight);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    pages_ = new QStackedWidget(this);
    layout->addWidget(pages_);
    first_ = new FirstScreen(artwork_.logo(), pages_);
    view_ = new LobbyView(*session_, artwork_.logo(), pages_);
    pages_->addWidget(first_);
    pages_->addWidget(view_);

    const LobbyConfig& c = session_->config();
    const LobbySettings settings = readLobbySettings(c.settingsDirectory);
    first_->setName(settings.name);
    first_->setServer(c.serverOverride.isEmpty() ? settings.server : c.serverOverride);

    connect(first_, &FirstScreen::connectRequested, this, &LobbyWindow::connectToServer);
    connect(first_, &FirstScreen::startLobbyRequested, this, &LobbyWindow::startLocalLobby);
    LobbySession& s = *session_;
    connect(&s, &LobbySession::stageChanged, this, &LobbyWindow::onStageChanged);
    connect(&s, &LobbySession::offline, this, &LobbyWindow::onOffline);
    connect(&s, &LobbySession::listChanged, view_, &LobbyView::refresh);
    connect(&s, &LobbySession::chatLine, view_, &LobbyView::addChatLine);
    connect(&s, &LobbySession::notice, view_, &LobbyView::addNotice);
    connect(&s, &LobbySession::probeResult, view_, &LobbyView::showProbeResult);
    connect(&s.game(), &GameRunner::ended, this, [this] {
        // The player is back: the lobby comes to the front, or goes if it was closed meanwhile.
        if (closeWhenGameEnds_) {
            // The player closed the window long ago: the hidden window goes now.
            leave();
            Q_EMIT closedAfterGame();
            return;
        }
        raise();
        activateWindow();
    });
    connect(local_.get(), &LocalLobby::report, view_, &LobbyView::addNotice);
}

LobbyWindow::~LobbyWindow() {
    // The session goes first: its game and keepers may still talk to the local lobby.
    session_.reset();
    local_.reset();
}

bool LobbyWindow::showsFirstScreen() const { return pages_->currentWidget() == first_; }

void LobbyWindow::paintEvent(QPaintEvent*) { paintTableBackground(*this, artwork_.backgroundTile()); }

std::optional<std::string> LobbyWindow::checkedName() {
    const QString typed = first_->name().trimmed();
    if (const QString problem = typedNameProblem(typed); !problem.isEmpty()) {
        first_->setStatus(problem, true);
        return std::nullopt;
    }
    return latin1Bytes(typed);
}

void LobbyWindow::remember() {
    const LobbyConfig& c = session_->config();
    LobbySettings settings = readLobbySettings(c.settingsDirectory);
    settings.name = first_->name().trimmed();
    // An address given by the environment, or this computer's own lobby, is not the player's choice.
    if (c.serverOverride.isEmpty() && !local_->running()) settings.server = first_->server().trimmed();
    if (!writeLobbySettings(c.settingsDirectory, settings))
        first_->setStatus("Your name and the server's address could not be remembered in " + c.settingsDirectory + ".",
                          true);
}

void LobbyWindow::connectToServer() {
    const auto name = checkedName();
    if (!name) return;
    const auto address = readServerAddress(first_->server());
    if (!address) {
        first_->setStatus("Type the lobby server's address, for example 192.168.1.20 or lobby.example.org:7773.", true);
        return;
    }
    remember();
    first_->setBusy(true);
    first_->setStatus("Connecting to " + serverAddressText(*address) + "...", false);
    session_->logIn(address->host, address->port, *name);
}

void LobbyWindow::startLocalLobby() {
    const auto name = checkedName();
    if (!name) return;
    if (!local_->running() && !local_->start(session_->config().localServerPort)) {
        first_->setStatus(local_->errorString(), true);
        return;
    }
    remember();
    const QString others = localLobbyText(local_->addressesForOthers(), local_->port());
    first_->setLocalLobby(local_->addressesForOthers(), local_->port());
    view_->setLocalLobbyText(others);
    first_->setBusy(true);
    first_->setStatus("Connecting to the lobby on this computer...", false);
    session_->logIn("127.0.0.1", local_->port(), *name);
}

void LobbyWindow::onStageChanged() {
    if (session_->stage() != LobbySession::Stage::InLobby) return;
    first_->setBusy(false);
    first_->setStatus(QString(), false);
    view_->clearChat();
    view_->addNotice("Welcome to The Zelmo7 Lobby, " + fromLatin1(session_->ownName()) +
                     ". Sit down at a table, or make a new one with New Table.");
    view_->refresh();
    pages_->setCurrentWidget(view_);
}

void LobbyWindow::onOffline(const QString& why) {
    first_->setBusy(false);
    first_->setStatus(why, true);
    pages_->setCurrentWidget(first_);
}

void LobbyWindow::closeEvent(QCloseEvent* event) {
    if (session_->game().busy()) {
        // The game started from here still needs its lobby.
        closeWhenGameEnds_ = true;
        hide();
        event->ignore();
        return;
    }
    leave();
    event->accept();
}

void LobbyWindow::leave() {
    session_->logOut();
    local_->stop();
}

}  // namespace vornel::lobby_window

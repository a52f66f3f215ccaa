// The session's connection, list, chat and notices; the check, the game and
// the keepers are in lobby_session_game.cpp.

#include "lobby_window/lobby_session.h"

namespace vornel::lobby_window {

namespace {

QString latin1(std::string_view text) { return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size())); }

}  // namespace

LobbySession::LobbySession(LobbyConfig config, QObject* parent)
    : QObject(parent), config_(std::move(config)), game_(config_) {
    server_.onMessage = [this](std::string_view message) { onMessage(message); };
    connect(&server_, &ServerConnection::opened, this, &LobbySession::onOpened);
    connect(&server_, &ServerConnection::closed, this, &LobbySession::onClosed);
    connect(&game_, &GameRunner::arrived, this, &LobbySession::gameArrived);
    connect(&game_, &GameRunner::ended, this, &LobbySession::gameEnded);

    namespace cmd = lobby::cmd;
    dispatcher_.on(cmd::Welcome, [this](std::string_view rest) { welcome(rest); })
        .on(cmd::Refused, [this](std::string_view rest) { refused(rest); })
        .on(cmd::Closing, [this](std::string_view rest) { closing(rest); })
        .on(cmd::Error, [this](std::string_view rest) { error(rest); })
        .on(cmd::Ping, [this](std::string_view) { sendToServer(lobby::build::pong()); })
        .on(cmd::Pong, [](std::string_view) {})
        .on(cmd::List, [this](std::string_view rest) { records(rest); })
        .on(cmd::ListEnd, [this](std::string_view) { Q_EMIT listChanged(); })
        .on(cmd::Update, [this](std::string_view rest) { records(rest); })
        .on(cmd::Chat, [this](std::string_view rest) { chatReceived(rest); })
        .on(cmd::ProbeListen, [this](std::string_view rest) { probeListen(rest); })
        .on(cmd::Probe, [this](std::string_view rest) { probe(rest); })
        .on(cmd::Launch, [this](std::string_view rest) { launch(rest); })
        .on(cmd::FreeSeat, [this](std::string_view rest) { freeSeat(rest); })
        .on(cmd::HoldSeat, [this](std::string_view rest) { holdSeat(rest); })
        .on(cmd::ReleaseSeats, [this](std::string_view rest) { releaseSeats(rest); })
        .on(cmd::GameReady, [this](std::string_view rest) { gameReady(rest); })
        .on(cmd::GameOver, [this](std::string_view rest) { tableNotice(rest, false); })
        .on(cmd::Removed, [this](std::string_view rest) { removed(rest); })
        .on(cmd::TableClosed, [this](std::string_view rest) { tableNotice(rest, true); });
}

LobbySession::~LobbySession() {
    server_.disconnect(this);
    game_.disconnect(this);
}

void LobbySession::logIn(const QString& host, quint16 port, const std::string& name) {
    requestedName_ = name;
    ownName_.clear();
    closingText_.clear();
    list_.clear();
    stage_ = Stage::Connecting;
    Q_EMIT stageChanged();
    server_.open(host, port);
}

void LobbySession::logOut() {
    game_.end();
    goOffline(QString());
}

void LobbySession::onOpened() { sendToServer(lobby::build::login(requestedName_)); }

void LobbySession::onClosed(const QString& why) { goOffline(closingText_.isEmpty() ? why : closingText_); }

void LobbySession::goOffline(const QString& why) {
    server_.close();
    probe_.stop();
    if (keepers_) keepers_.release()->deleteLater();
    checkTable_ = startAnywayTable_ = 0;
    list_.clear();
    const bool wasOnline = stage_ != Stage::Offline;
    stage_ = Stage::Offline;
    if (!wasOnline) return;
    Q_EMIT stageChanged();
    Q_EMIT listChanged();
    Q_EMIT offline(why);
}

void LobbySession::sendToServer(std::string_view frame) { server_.send(frame); }

void LobbySession::onMessage(std::string_view message) {
    // Before the welcome only the login's answers and the keep-alive count.
    if (stage_ != Stage::InLobby) {
        const std::string_view command = net::splitCommand(message).command;
        if (command != lobby::cmd::Welcome && command != lobby::cmd::Refused && command != lobby::cmd::Closing &&
            command != lobby::cmd::Ping && command != lobby::cmd::Error)
            return;
    }
    dispatcher_.dispatch(message);
}

void LobbySession::welcome(std::string_view rest) {
    const auto message = lobby::parse::welcome(rest);
    if (stage_ == Stage::InLobby) return;
    if (!message || message->version != lobby::kProtocolVersion || !lobby::sameName(message->name, requestedName_)) {
        goOffline("The lobby server's answer to the login does not read: it may be another kind of server.");
        return;
    }
    ownName_ = std::string(message->name);
    stage_ = Stage::InLobby;
    Q_EMIT stageChanged();
}

void LobbySession::refused(std::string_view rest) {
    const auto message = lobby::parse::notice(rest);
    goOffline(message ? latin1(message->text) : QString("The lobby server refused the login."));
}

void LobbySession::closing(std::string_view rest) {
    if (const auto message = lobby::parse::notice(rest)) closingText_ = latin1(message->text);
}

void LobbySession::error(std::string_view rest) {
    if (const auto message = lobby::parse::notice(rest)) tell(message->text);
}

void LobbySession::records(std::string_view rest) {
    if (!list_.applyMessage(rest)) return;  // a message that does not read changes nothing
    if (list_.players().size() + list_.tables().size() > kMostListed) {
        goOffline("The lobby server sent a longer list than any lobby holds: the lobby left it.");
        return;
    }
    if (startAnywayTable_ != 0 && startAnywayTable_ != ownTable()) startAnywayTable_ = 0;
    Q_EMIT listChanged();
}

void LobbySession::chatReceived(std::string_view rest) {
    if (const auto message = lobby::parse::chatLine(rest)) Q_EMIT chatLine(latin1(message->name), latin1(message->text));
}

void LobbySession::tableNotice(std::string_view rest, bool closed) {
    const auto message = lobby::parse::tableNotice(rest);
    if (!message) return;
    tell(message->text);
    // A seat that went to the computer: the game that came too late goes.
    if (!closed && message->reason == "late" && game_.busy() && game_.table() == message->table) game_.end();
}

void LobbySession::removed(std::string_view rest) {
    const auto message = lobby::parse::removed(rest);
    if (!message) return;
    tell(message->text);
    if (game_.busy() && game_.table() == message->table) game_.end();
}

void LobbySession::gameReady(std::string_view rest) {
    const auto message = lobby::parse::tableOnly(rest);
    if (!message || !game_.busy() || game_.table() != message->table) return;
    tell(game_.role() == lobby::Role::Host
             ? "Every game is in: start the game in your game window (File, Start Game) when you are ready."
             : "Every game is in: the host starts the game.");
}

void LobbySession::tell(std::string_view text) { Q_EMIT notice(latin1(text)); }

// --- the player's requests -----------------------------------------------------

void LobbySession::chat(std::string_view text) { sendToServer(lobby::build::chat(text)); }

void LobbySession::newTable(std::string_view title) { sendToServer(lobby::build::newTable(title)); }

void LobbySession::sit(int table, int seat) { sendToServer(lobby::build::sit(table, seat)); }

void LobbySession::watch(int table) { sendToServer(lobby::build::watch(table)); }

void LobbySession::standUp() {
    if (const int table = ownTable()) sendToServer(lobby::build::standUp(table));
}

void LobbySession::leaveTable() {
    const int table = ownTable();
    if (table == 0) return;
    if (game_.busy() && game_.table() == table) game_.end();
    sendToServer(lobby::build::leave(table));
}

void LobbySession::remove(std::string_view name) {
    if (const int table = ownTable()) sendToServer(lobby::build::remove(table, name));
}

// --- where the player stands ----------------------------------------------------

int LobbySession::ownTable() const {
    const lobby::PlayerRecord* own = ownName_.empty() ? nullptr : list_.player(ownName_);
    return own != nullptr && own->state != lobby::PlayerState::Lobby ? own->table : 0;
}

bool LobbySession::hostsOwnTable() const { return ownSeat() == 1; }

int LobbySession::ownSeat() const {
    const lobby::TableRecord* table = list_.table(ownTable());
    if (table == nullptr) return 0;
    for (int seat = 1; seat <= lobby::kSeats; ++seat)
        if (lobby::sameName(table->seats[static_cast<std::size_t>(seat - 1)], ownName_)) return seat;
    return 0;
}

}  // namespace vornel::lobby_window

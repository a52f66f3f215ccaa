// The session's part in the start of a game: the reachability check, the
// game itself, and the host's seat keepers.

#include "lobby_window/launch_check.h"
#include "lobby_window/lobby_session.h"
#include "table/table_window.h"

namespace vornel::lobby_window {

void LobbySession::start() {
    const int table = ownTable();
    if (table == 0 || !hostsOwnTable()) return;
    checkTable_ = table;
    startAnywayTable_ = 0;
    const std::string address = localAddress(config_, server_.socket()).toStdString();
    sendToServer(lobby::build::start(table, config_.gamePort, address));
}

void LobbySession::startAnyway() {
    if (!canStartAnyway()) return;
    sendToServer(lobby::build::startAnyway(startAnywayTable_));
    startAnywayTable_ = 0;
}

// --- the check -------------------------------------------------------------------

void LobbySession::probeListen(std::string_view rest) {
    const auto order = lobby::parse::probeListen(rest);
    // Only for the check this lobby asked for, on the port it gave.
    if (!order || order->table != checkTable_ || order->table != ownTable() || !hostsOwnTable() ||
        order->gamePort != config_.gamePort)
        return;
    if (!probe_.listen(config_.gamePort)) {
        tell("Your lobby could not listen on TCP port " + std::to_string(config_.gamePort) +
             " for the check (" + probe_.errorString().toStdString() +
             "): another program on this computer may be using it.");
        return;
    }
    sendToServer(lobby::build::probeReady(order->table, probe_.token()));
}

void LobbySession::probe(std::string_view rest) {
    const auto result = lobby::parse::probe(rest);
    if (!result || result->table != checkTable_) return;
    probe_.stop();
    checkTable_ = 0;
    const bool reachable = result->result == lobby::ProbeResult::Reachable;
    startAnywayTable_ = reachable ? 0 : result->table;
    Q_EMIT probeResult(reachable, QString::fromLatin1(result->text.data(), static_cast<qsizetype>(result->text.size())));
}

// --- the game ----------------------------------------------------------------------

void LobbySession::launch(std::string_view rest) {
    const auto order = checkLaunch(rest, {ownName_, ownTable(), hostsOwnTable()});
    if (!order) {
        tell("The lobby server asked for a game that does not fit this lobby (another table, name, role or "
             "address): nothing was started.");
        return;
    }
    probe_.stop();  // the host's game needs the port
    startAnywayTable_ = 0;
    if (!game_.start(*order)) {
        tell(game_.error().toStdString());
        sendToServer(lobby::build::gameEnded());
        return;
    }
    tell(order->role == lobby::Role::Host ? "Starting your game: you host table " + std::to_string(order->table) + "."
         : order->role == lobby::Role::Player
             ? "Starting your game: you play in seat " + std::to_string(order->seat) + " at table " +
                   std::to_string(order->table) + "."
             : "Starting your game: you watch table " + std::to_string(order->table) + ".");
}

void LobbySession::gameArrived() {
    sendToServer(lobby::build::gameRunning());
    if (game_.role() != lobby::Role::Host) return;
    const int table = game_.table();
    keepers_ = std::make_unique<SeatKeepers>(static_cast<quint16>(game_.gamePort()));
    SeatKeepers* keepers = keepers_.get();
    connect(keepers, &SeatKeepers::allHeld, this, [this, table] { sendToServer(lobby::build::hostReady(table)); });
    connect(keepers, &SeatKeepers::freed, this,
            [this, table](int seat) { sendToServer(lobby::build::seatFree(table, seat)); });
    connect(keepers, &SeatKeepers::held, this,
            [this, table](int seat) { sendToServer(lobby::build::seatHeld(table, seat)); });
    connect(keepers, &SeatKeepers::arrived, this, [this, table](int number, const QByteArray& name) {
        sendToServer(lobby::build::arrived(table, number, std::string_view(name.constData(), name.size())));
    });
    connect(keepers, &SeatKeepers::failed, this, &LobbySession::keepersFailed);
    std::array<std::string, 5> names;
    for (int seat = 2; seat <= lobby::kSeats; ++seat) names[static_cast<std::size_t>(seat)] = keeperName(seat);
    keepers->holdAll(names);
}

void LobbySession::gameEnded() {
    if (keepers_) keepers_.release()->deleteLater();
    sendToServer(lobby::build::gameEnded());
    if (!game_.error().isEmpty()) Q_EMIT notice(game_.error());
    tell("Your game has ended: you are back in the lobby.");
    Q_EMIT listChanged();
}

void LobbySession::keepersFailed(const QString& why) {
    if (keepers_) keepers_.release()->deleteLater();
    Q_EMIT notice(why);
    game_.end();  // its end tells the server, which calls the start off for everyone
}

// --- the host's keepers on the server's word ------------------------------------------

int LobbySession::keeperSeat(std::string_view rest) const {
    const auto order = lobby::parse::tableSeat(rest);
    if (!order || !keepers_ || !game_.busy() || game_.role() != lobby::Role::Host || order->table != game_.table())
        return 0;
    return order->seat >= 2 && order->seat <= lobby::kSeats ? order->seat : 0;
}

std::string LobbySession::keeperName(int seat) const {
    // The name the seat will show: its lobby player's, or the seat's own.
    const lobby::TableRecord* table = list_.table(game_.table());
    const std::string& player = table != nullptr ? table->seats[static_cast<std::size_t>(seat - 1)] : std::string();
    return player.empty() ? table::TableState().defaultNames[static_cast<std::size_t>(seat)].toStdString() : player;
}

void LobbySession::freeSeat(std::string_view rest) {
    if (const int seat = keeperSeat(rest)) keepers_->free(seat);
}

void LobbySession::holdSeat(std::string_view rest) {
    // Its player did not come: the computer will play it under the seat's own name.
    if (const int seat = keeperSeat(rest))
        keepers_->hold(seat, table::TableState().defaultNames[static_cast<std::size_t>(seat)].toStdString());
}

void LobbySession::releaseSeats(std::string_view rest) {
    const auto order = lobby::parse::tableOnly(rest);
    if (!order || !keepers_ || game_.role() != lobby::Role::Host || order->table != game_.table()) return;
    // The computer plays the seats still held; the keepers' work is done.
    keepers_->releaseAll();
    keepers_.release()->deleteLater();
}

}  // namespace vornel::lobby_window

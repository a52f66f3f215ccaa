#pragma once
// One player's time in the lobby, without a window: the login, the list of
// players and tables, the chat, the player's requests, and what the server
// tells this lobby to do: the reachability check, starting the game, and,
// for the host, the seat keepers (docs/lobby-protocol.md, "What the lobby
// window does, in order"). The window shows what the session says and
// calls its requests; tests drive a session the same way.
//
// Every field the server sends is checked before the session acts on it;
// texts are only ever shown, as plain text.

#include <QObject>
#include <QString>

#include <memory>
#include <string>
#include <string_view>

#include "lobby/lobby_list.h"
#include "lobby/lobby_protocol.h"
#include "lobby_window/game_runner.h"
#include "lobby_window/lobby_config.h"
#include "lobby_window/probe_listener.h"
#include "lobby_window/seat_keepers.h"
#include "lobby_window/server_connection.h"
#include "net/dispatcher.h"

namespace vornel::lobby_window {

class LobbySession final : public QObject {
    Q_OBJECT
public:
    // A list longer than any server holds is a server gone wrong.
    static constexpr std::size_t kMostListed = 200000;

    enum class Stage { Offline, Connecting, InLobby };

    explicit LobbySession(LobbyConfig config, QObject* parent = nullptr);
    ~LobbySession() override;

    // Connects and logs in under `name` (Latin-1, checked by the caller).
    void logIn(const QString& host, quint16 port, const std::string& name);
    // Leaves the lobby (and ends the game this lobby started).
    void logOut();

    // The player's requests. Those for a table act on the player's own.
    void chat(std::string_view text);
    void newTable(std::string_view title);
    void sit(int table, int seat);
    void watch(int table);
    void standUp();
    void leaveTable();
    void start();
    void startAnyway();
    void remove(std::string_view name);

    Stage stage() const { return stage_; }
    const std::string& ownName() const { return ownName_; }
    const lobby::LobbyList& list() const { return list_; }
    // The player's table (seated or watching), 0 when at none.
    int ownTable() const;
    // The player hosts his table (sits in seat 1).
    bool hostsOwnTable() const;
    // The player's seat at his table, 0 when watching or at none.
    int ownSeat() const;
    // A failed check may be started past.
    bool canStartAnyway() const { return startAnywayTable_ != 0 && startAnywayTable_ == ownTable(); }
    const LobbyConfig& config() const { return config_; }
    GameRunner& game() { return game_; }
    const GameRunner& game() const { return game_; }
    // The host's keepers while they hold seats; nullptr otherwise.
    const SeatKeepers* keepers() const { return keepers_.get(); }
    bool probeListening() const { return probe_.isListening(); }

Q_SIGNALS:
    void stageChanged();
    // The list or the player's place in it changed.
    void listChanged();
    void chatLine(const QString& name, const QString& text);
    // Something to tell the player, in plain words.
    void notice(const QString& text);
    // The reachability check's result, for the host.
    void probeResult(bool reachable, const QString& text);
    // The login was refused, or the connection failed or ended; back to the first screen.
    void offline(const QString& why);

private:
    // lobby_session.cpp: the connection, the list, the chat and the notices.
    void onOpened();
    void onClosed(const QString& why);
    void onMessage(std::string_view message);
    void goOffline(const QString& why);
    void sendToServer(std::string_view frame);
    void welcome(std::string_view rest);
    void refused(std::string_view rest);
    void closing(std::string_view rest);
    void error(std::string_view rest);
    void records(std::string_view rest);
    void chatReceived(std::string_view rest);
    void tableNotice(std::string_view rest, bool closed);
    void removed(std::string_view rest);
    void gameReady(std::string_view rest);
    void tell(std::string_view text);

    // lobby_session_game.cpp: the check, the game, the keepers.
    void probeListen(std::string_view rest);
    void probe(std::string_view rest);
    void launch(std::string_view rest);
    void freeSeat(std::string_view rest);
    void holdSeat(std::string_view rest);
    void releaseSeats(std::string_view rest);
    void gameArrived();
    void gameEnded();
    void keepersFailed(const QString& why);
    // The seat of a host-only order (LOBBY_freeseat, LOBBY_holdseat) when it
    // is for the game this lobby hosts and its keepers; 0 otherwise.
    int keeperSeat(std::string_view rest) const;
    std::string keeperName(int seat) const;

    LobbyConfig config_;
    ServerConnection server_;
    net::Dispatcher<> dispatcher_;
    Stage stage_ = Stage::Offline;
    std::string requestedName_;
    std::string ownName_;
    lobby::LobbyList list_;
    QString closingText_;  // the server's last word, shown when the connection ends

    ProbeListener probe_;
    int checkTable_ = 0;       // the table whose check this lobby asked for
    int startAnywayTable_ = 0;  // the table whose failed check may be started past
    GameRunner game_;
    std::unique_ptr<SeatKeepers> keepers_;
};

}  // namespace vornel::lobby_window

#pragma once
// The host's seat keepers: connections of the host's lobby to its own game
// that hold seats 2-4 while the others' games come in one at a time, so that
// every lobby seat becomes the same game seat and every watcher watches
// (docs/lobby-protocol.md, "Starting a game").
//
// A keeper logs in as a table does, under the name of the player whose seat
// it keeps (or the seat's own name), and only reads. One keeper, the one in
// the lowest seat, reports what the game announces: the arrival of every
// game the lobby did not connect itself, and the freeing of a seat.
//
// Should the host start the game before the keepers are let go, each keeper
// asks the game to let the computer play its seat ("Just Watch"), so that
// nobody waits for a keeper; a player arriving later takes the seat over.

#include <QObject>
#include <QTimer>

#include <array>
#include <initializer_list>
#include <map>
#include <memory>
#include <string>
#include <string_view>

#include "net/protocol.h"

class QTcpSocket;

namespace vornel::lobby_window {

class SeatKeepers final : public QObject {
    Q_OBJECT
public:
    // The host's own table may come in a moment after its game's link: a
    // keeper that was given number 1 steps back and tries again.
    static constexpr int kRetryMs = 200;
    static constexpr int kMaxRetries = 50;

    explicit SeatKeepers(quint16 gamePort, QObject* parent = nullptr);
    ~SeatKeepers() override;

    // Seats 2, 3 and 4, one after the other, under names[2..4]; allHeld() once all are in.
    void holdAll(const std::array<std::string, 5>& names);
    // Closes the keeper of the seat; freed() once the game has let the seat go.
    void free(int seat);
    // A keeper for the seat again; held() once it is in.
    void hold(int seat, const std::string& name);
    // Lets go of every seat still held.
    void releaseAll();

    bool holds(int seat) const;
    int count() const { return static_cast<int>(keepers_.size()); }

Q_SIGNALS:
    void allHeld();
    void freed(int seat);
    void held(int seat);
    // A game the lobby did not connect itself logged in (Latin-1 name).
    void arrived(int number, const QByteArray& name);
    // The seats could not be held; the text says why in plain words.
    void failed(const QString& why);

private:
    enum class Purpose { HoldAll, Hold };
    struct Keeper {
        int seat = 0;
        std::string name;
        Purpose purpose = Purpose::HoldAll;
        QTcpSocket* socket = nullptr;
        net::Framer framer;
        int number = 0;  // given by the game
        bool in = false;  // its own arrival announced
        bool gameStarted = false;
    };

    void connectKeeper(int seat, const std::string& name, Purpose purpose);
    void holdNext();
    void onReadyRead(Keeper& keeper);
    void handle(Keeper& keeper, std::string_view message);
    void loggedIn(Keeper& keeper, int number);
    void keeperIn(Keeper& keeper);
    void lost(int seat);
    void drop(int seat);
    void send(Keeper& keeper, std::string_view command, std::initializer_list<Field> fields);
    void askJustWatch(Keeper& keeper);
    const Keeper* reporter() const;
    bool isKeeperNumber(int number) const;

    quint16 port_;
    std::map<int, std::unique_ptr<Keeper>> keepers_;  // by seat
    std::array<std::string, 5> names_;
    int nextToHold_ = 0;  // holdAll's seat in progress, 0 when done
    int retries_ = 0;
    int pendingFree_ = 0;
};

}  // namespace vornel::lobby_window

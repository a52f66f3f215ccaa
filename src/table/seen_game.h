#pragma once
// The game as this table has been told it: a game state that holds the own
// seat's cards and the public steps of the hand (the deal's turned card, the
// bidding, the Maker, the cards played, the scores) and nothing else. The
// other seats' hands stay empty. A table that joined a running game has no
// engine to ask; this record is all it knows, so a computer player shown the
// own seat's view of it can know no more than the player does.

#include <optional>
#include <string_view>

#include "engine/computer_player.h"
#include "engine/game_state.h"
#include "net/dispatcher.h"
#include "players/seat_view.h"

namespace vornel::table {

class SeenGame {
public:
    SeenGame();

    // One message from the host, after the table has handled it; `ownSeat`
    // is the table's own connection number as it stands then.
    void observe(std::string_view message, int ownSeat);
    // Back to a game not yet told of anything, as a new record.
    void reset();

    int ownSeat() const { return ownSeat_; }
    // The decision the host awaits from the own seat, if any.
    std::optional<Decision> awaited() const { return awaited_; }
    // Counts every prompt, so an answer worked out for one prompt can be
    // told from one for the next.
    int promptNumber() const { return promptNumber_; }
    // Whether this table saw the present hand from its deal; a table that
    // joined during the hand did not see its bidding or its earlier tricks.
    bool wholeHand() const { return wholeHand_; }
    // The own seat has chosen to just watch: a computer answers for it.
    bool ownSeatWatching() const { return watching_; }

    // The own seat's view at the awaited decision (built as the host builds
    // it for its computer players).
    SeatView view() const;
    // The seen state itself, the current player set to the own seat and the
    // suit led worked out from the table cards when the trick's start was
    // not seen: what the standard rules decide from.
    GameState state() const;

private:
    // A record without its handlers: what reset() starts again from.
    struct Unwired {};
    explicit SeenGame(Unwired) {}

    void startgame(std::string_view rest);
    void dealer(std::string_view rest);
    void placecard(std::string_view rest);
    void settrump(std::string_view rest);
    void bidder(std::string_view rest);
    void passed(std::string_view rest);
    void accepted(std::string_view rest);
    void trumpchoosen(std::string_view rest);
    void chooser(std::string_view rest);
    void aloner(std::string_view rest);
    void goingalone(std::string_view rest);
    void discarder(std::string_view rest);
    void switched(std::string_view rest);
    void nextplayer(std::string_view rest);
    void playedcard(std::string_view rest);
    void trickwinner(std::string_view rest);
    void clearcards(std::string_view rest);
    void score(std::string_view rest);
    void thewinner(std::string_view rest);
    void justwatching(std::string_view rest);
    void loadcards(std::string_view rest);
    void loadstats(std::string_view rest);

    void ask(int seat, Decision decision);
    void answered();
    void setTrump(int suit);
    void makeMaker(int seat);

    net::Dispatcher<> dispatcher_;
    GameState state_;
    int ownSeat_ = 0;
    std::optional<Decision> awaited_;
    int promptNumber_ = 0;
    bool wholeHand_ = false;
    bool secondRound_ = false;
    bool watching_ = false;
};

}  // namespace vornel::table

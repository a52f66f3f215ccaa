#include "table/seen_game.h"

#include <array>
#include <utility>

#include "engine/cards.h"
#include "net/field_numbers.h"
#include "net/protocol.h"

namespace vornel::table {

namespace {

constexpr int kTurnedPosition = 21;  // the deck position of the card turned up

using net::readNumbers;

bool inPlay(int code) { return code >= 1 && code <= 52; }

}  // namespace

SeenGame::SeenGame() {
    auto& d = dispatcher_;
    auto on = [this, &d](std::string_view command, void (SeenGame::*handler)(std::string_view)) {
        d.on(command, [this, handler](std::string_view rest) { (this->*handler)(rest); });
    };
    on("CMD_startgame", &SeenGame::startgame);
    on("CMD_dealer", &SeenGame::dealer);
    on("CMD_placecard", &SeenGame::placecard);
    on("CMD_settrump", &SeenGame::settrump);
    on("CMD_bidder", &SeenGame::bidder);
    on("CMD_hepassed", &SeenGame::passed);
    on("CMD_heaccepted", &SeenGame::accepted);
    on("CMD_trumpchoosen", &SeenGame::trumpchoosen);
    on("CMD_chooser", &SeenGame::chooser);
    on("CMD_aloner", &SeenGame::aloner);
    on("CMD_goingalone", &SeenGame::goingalone);
    on("CMD_discarder", &SeenGame::discarder);
    on("CMD_switch", &SeenGame::switched);
    on("CMD_nextplayer", &SeenGame::nextplayer);
    on("CMD_playedcard", &SeenGame::playedcard);
    on("CMD_trickwinner", &SeenGame::trickwinner);
    on("CMD_clearcards", &SeenGame::clearcards);
    on("CMD_score", &SeenGame::score);
    on("CMD_thewinner", &SeenGame::thewinner);
    on("CMD_justwatching", &SeenGame::justwatching);
    on("CMD_loadcards", &SeenGame::loadcards);
    on("CMD_loadstats", &SeenGame::loadstats);
}

void SeenGame::observe(std::string_view message, int ownSeat) {
    ownSeat_ = ownSeat;
    dispatcher_.dispatch(message);
}

void SeenGame::reset() {
    // The handlers point at this record and stay; every other part is
    // made as new, so no part can be left over from the last game.
    net::Dispatcher<> handlers = std::move(dispatcher_);
    *this = SeenGame(Unwired{});
    dispatcher_ = std::move(handlers);
}

SeatView SeenGame::view() const { return makeSeatView(state_, ownSeat_, awaited_.value_or(Decision::Play)); }

GameState SeenGame::state() const {
    GameState s = state_;
    if (!isSeat(ownSeat_)) return s;
    s.currentPlayer = ownSeat_;
    if (s.ledSuit == 0) {
        // A trick joined midway: the cards on it were played by the seats
        // before this one, so the one furthest back led it.
        for (int back = 3; back >= 1; --back) {
            const int seat = (ownSeat_ - 1 + 4 - back) % 4 + 1;
            if (s.seat(seat).tableCard == kNoCard) continue;
            s.ledSuit = s.effectiveSuit(s.seat(seat).tableCard);
            break;
        }
    }
    return s;
}

void SeenGame::ask(int seat, Decision decision) {
    ++promptNumber_;
    if (isSeat(ownSeat_) && seat == ownSeat_) awaited_ = decision;
    else awaited_.reset();
}

void SeenGame::answered() {
    if (awaited_) ++promptNumber_;
    awaited_.reset();
}

void SeenGame::setTrump(int suit) {
    state_.trump = suit;
    state_.leftBower = leftBowerFor(suit);
}

void SeenGame::makeMaker(int seat) {
    if (!isSeat(seat)) return;
    state_.teams[teamOf(seat)].maker = true;
    state_.teams[3 - teamOf(seat)].maker = false;
}

// --- the game and the deal ------------------------------------------------

void SeenGame::startgame(std::string_view rest) {
    net::FieldReader reader(rest);
    reader.field();  // the starter's name
    const auto target = reader.number();
    state_.gameRunning = true;
    if (target) state_.target = *target;
    for (int team = 1; team <= 2; ++team) state_.teams[team].score = state_.teams[team].tricks = 0;
    state_.history.handsDealt = 0;
    watching_ = false;
    answered();
}

void SeenGame::dealer(std::string_view rest) {
    std::array<int, 1> f{};
    if (!readNumbers(rest, f)) return;
    for (int seat = 1; seat <= 4; ++seat) state_.seat(seat) = SeatState{};
    for (int team = 1; team <= 2; ++team) state_.teams[team].tricks = 0;
    state_.dealer = f[0];
    state_.deck = Deck{};
    state_.deckPosition = 0;
    state_.turnedDown = 0;
    state_.orderedUp = false;
    state_.ledSuit = 0;
    state_.currentPlayer = 0;
    state_.trickNumber = 1;
    setTrump(0);
    state_.history.newHand();
    wholeHand_ = true;
    secondRound_ = false;
    answered();
}

void SeenGame::placecard(std::string_view rest) {
    net::FieldReader reader(rest);
    const auto seat = reader.number();
    if (!seat || *seat != ownSeat_ || !isSeat(*seat)) return;
    while (!reader.atEnd()) {
        const auto slot = reader.number();
        const auto code = reader.number();
        if (!slot || !code) return;
        if (*slot >= 1 && *slot <= 5 && inPlay(*code)) state_.seat(*seat).slots[*slot] = *code;
    }
}

void SeenGame::settrump(std::string_view rest) {
    std::array<int, 1> f{};
    if (!readNumbers(rest, f) || !inPlay(f[0])) return;
    state_.deck.place(kTurnedPosition, f[0]);
    state_.deckPosition = kTurnedPosition;
    setTrump(suitOf(f[0]));
}

// --- bidding ----------------------------------------------------------------

void SeenGame::bidder(std::string_view rest) {
    std::array<int, 1> f{};
    if (readNumbers(rest, f)) ask(f[0], Decision::Bid);
}

void SeenGame::passed(std::string_view rest) {
    std::array<int, 1> f{};
    if (!readNumbers(rest, f)) return;
    if (wholeHand_) state_.history.bid(f[0], secondRound_ ? 22 : 2);
    answered();
}

void SeenGame::accepted(std::string_view rest) {
    std::array<int, 1> f{};
    if (!readNumbers(rest, f)) return;
    if (wholeHand_) state_.history.bid(f[0], 1);
    state_.orderedUp = true;
    makeMaker(f[0]);
    answered();
}

void SeenGame::trumpchoosen(std::string_view rest) {
    std::array<int, 2> f{};
    if (!readNumbers(rest, f)) return;
    const auto [maker, suit] = f;
    // In the second round this is the naming itself; after an order-up it
    // only repeats the turned card's suit.
    if (secondRound_ && wholeHand_) state_.history.bid(maker, suit + 2);
    if (suit >= 1 && suit <= 4) setTrump(suit);
    makeMaker(maker);
}

void SeenGame::chooser(std::string_view rest) {
    std::array<int, 2> f{};
    if (!readNumbers(rest, f)) return;
    secondRound_ = true;
    state_.turnedDown = f[1];
    ask(f[0], Decision::Choose);
}

void SeenGame::aloner(std::string_view rest) {
    std::array<int, 1> f{};
    if (readNumbers(rest, f)) ask(f[0], Decision::Alone);
}

void SeenGame::goingalone(std::string_view rest) {
    std::array<int, 2> f{};
    if (!readNumbers(rest, f)) return;
    const auto [maker, answer] = f;
    state_.history.maker = maker;
    state_.history.alone = answer == 7;
    if (answer == 7 && isSeat(maker)) {
        state_.seat(maker).wentAlone = true;
        state_.seat(partnerOf(maker)).sitsOut = true;
    }
    answered();
}

void SeenGame::discarder(std::string_view rest) {
    std::array<int, 1> f{};
    if (readNumbers(rest, f)) ask(f[0], Decision::Discard);
}

void SeenGame::switched(std::string_view rest) {
    std::array<int, 3> f{};
    if (!readNumbers(rest, f)) return;
    const auto [seat, slot, code] = f;
    if (seat != ownSeat_ || !isSeat(seat) || slot < 1 || slot > 5 || !inPlay(code)) return;
    state_.history.discarded = state_.seat(seat).slots[slot];
    state_.seat(seat).slots[slot] = code;
    answered();
}

// --- tricks and scores ------------------------------------------------------

void SeenGame::nextplayer(std::string_view rest) {
    std::array<int, 1> f{};
    if (readNumbers(rest, f)) ask(f[0], Decision::Play);
}

void SeenGame::playedcard(std::string_view rest) {
    std::array<int, 3> f{};
    if (!readNumbers(rest, f)) return;
    const auto [seat, slot, code] = f;
    if (!isSeat(seat) || !inPlay(code)) return;
    if (wholeHand_) state_.history.play(seat, code);
    if (state_.ledSuit == 0) state_.ledSuit = state_.effectiveSuit(code);
    state_.seat(seat).tableCard = code;
    if (seat == ownSeat_ && slot >= 1 && slot <= 5) state_.seat(seat).slots[slot] = kNoCard;
    answered();
}

void SeenGame::trickwinner(std::string_view rest) {
    std::array<int, 3> f{};
    if (readNumbers(rest, f)) {
        state_.teams[1].tricks = f[1];
        state_.teams[2].tricks = f[2];
    }
    for (int seat = 1; seat <= 4; ++seat) state_.seat(seat).tableCard = kNoCard;
    state_.ledSuit = 0;
    ++state_.trickNumber;
    answered();
}

void SeenGame::clearcards(std::string_view) {
    for (int seat = 1; seat <= 4; ++seat) state_.seat(seat).tableCard = kNoCard;
    state_.ledSuit = 0;
}

void SeenGame::score(std::string_view rest) {
    std::array<int, 5> f{};
    if (!readNumbers(rest, f)) return;
    state_.teams[1].score = f[1];
    state_.teams[2].score = f[3];
    answered();
}

void SeenGame::thewinner(std::string_view) {
    state_.gameRunning = false;
    answered();
}

void SeenGame::justwatching(std::string_view rest) {
    net::FieldReader reader(rest);
    const auto seat = reader.number();
    if (seat && *seat == ownSeat_ && isSeat(*seat)) watching_ = reader.remainder() == "1";
}

// --- joining a running game -------------------------------------------------

void SeenGame::loadcards(std::string_view rest) {
    std::array<int, 8> f{};
    if (!readNumbers(rest, f)) return;
    const int team = f[0], dealerSeat = f[2], suit = f[3];
    // The hand so far was not seen: only its state is known, not its steps.
    for (int seat = 1; seat <= 4; ++seat) state_.seat(seat) = SeatState{};
    state_.history.newHand();
    wholeHand_ = false;
    secondRound_ = false;
    state_.gameRunning = true;
    state_.dealer = dealerSeat;
    setTrump(suit >= 1 && suit <= 4 ? suit : 0);
    state_.teams[1].maker = team == 1;
    state_.teams[2].maker = team == 2;
    state_.ledSuit = 0;
    for (int seat = 1; seat <= 4; ++seat)
        if (inPlay(f[3 + seat])) state_.seat(seat).tableCard = f[3 + seat];
    answered();
}

void SeenGame::loadstats(std::string_view rest) {
    std::array<int, 5> f{};
    if (!readNumbers(rest, f)) return;
    state_.target = f[0];
    state_.teams[1].score = f[1];
    state_.teams[1].tricks = f[2];
    state_.teams[2].score = f[3];
    state_.teams[2].tricks = f[4];
}

}  // namespace vornel::table

#include "host_engine.h"

#include <array>
#include <string>

#include "commands.h"
#include "rules.h"

namespace vornel {

namespace {
// Timer steps: what the engine does when the delay has run out.
enum Step : int {
    kIdle = 0,
    kComputerBids = 2,
    kComputerDiscards = 3,
    kComputerChooses = 4,
    kComputerPlays = 5,
    kNextTrick = 6,
    kNextHand = 7,
    kComputerAnswersAlone = 8,
};
constexpr int kComputerDelay = -1;  // runs on the third tick
constexpr int kTrickPause = -3;     // fifth tick
constexpr int kHandPause = -10;     // twelfth tick
// Made at once, each decision makes the next inside it: a deal's bids, the
// answer and the exchange, and the cards of the first trick, about fifteen
// deep. The bound only guards that; past it the timer runs the step as it
// would without computers at once.
constexpr int kMostDecisionsInside = 24;
// Bits 1..4 of seatsDone(): the trick is complete.
constexpr unsigned kEverySeatDone = 0b11110;
}  // namespace

HostEngine::HostEngine(Ports ports)
    : ports_(ports),
      seeded_(dynamic_cast<SeededRandom*>(&ports.random)),
      manualTimer_(dynamic_cast<ManualTimer*>(&ports.timer)),
      fixedSpeed_(dynamic_cast<const FixedBotSpeed*>(&ports.botSpeed)),
      listened_(ports.output.listens()) {}

// --- the timer ---------------------------------------------------------

void HostEngine::haltTimer() {
    // Only the engine starts its timer: one it never started, or stopped
    // since, needs no second stop.
    if (!timerStarted_) return;
    timerStarted_ = false;
    stopTimerPort();
}

void HostEngine::stopTimer() {
    // The interval is set again from the bot speed whenever the timer is
    // armed, so a stopped timer needs no fresh reading of it.
    stepCode_ = kIdle;
    haltTimer();
}

// Disabling and stopping differ only in the interval set by a stop, which
// the next arming sets anyway.
void HostEngine::disableTimer() { stopTimer(); }

void HostEngine::armTimer(int step, int delay) {
    interval_ = botSpeedMs();
    delayCounter_ = delay;
    stepCode_ = step;
    startTimerPort(interval_);
    timerStarted_ = true;
}

void HostEngine::runArmedStep() {
    if (stepCode_ == kIdle) return;
    delayCounter_ = 1;
    ctimerTimer();
}

void HostEngine::ctimerTimer() {
    if (stepCode_ == kIdle || ++delayCounter_ < 2) return;
    haltTimer();
    const int step = stepCode_;
    stepCode_ = kIdle;  // a late tick must not run the step twice
    auto& s = state_;
    // Most steps are a computer's card: tested first, the jump is foreseen.
    if (step == kComputerPlays) {
        runComputerStep<kComputerPlays>();
        return;
    }
    switch (step) {
    case kComputerBids: runComputerStep<kComputerBids>(); break;
    case kComputerDiscards: runComputerStep<kComputerDiscards>(); break;
    case kComputerChooses: runComputerStep<kComputerChooses>(); break;
    case kComputerAnswersAlone: runComputerStep<kComputerAnswersAlone>(); break;
    case kNextTrick:
        s.currentPlayer = seatBeforeLeader_;
        starthand();
        break;
    case kNextHand:
        s.pendingDealer = s.dealer;
        startround();
        break;
    default:
        break;
    }
}

// The computer decides for the seat whose decision the step awaits, if
// the computer plays that seat.
template <int step>
void HostEngine::runComputerStep() {
    auto& s = state_;
    auto computerPlayed = [&](int seat) { return seat != 0 && s.seat(seat).computerPlayed(); };
    if constexpr (step == kComputerPlays) {
        if (computerPlayed(s.currentPlayer)) cnextplayer(s.currentPlayer);
    } else if constexpr (step == kComputerBids) {
        if (computerPlayed(s.currentBidder)) cbidder(s.currentBidder);
    } else if constexpr (step == kComputerDiscards) {
        if (computerPlayed(s.discarder) || (s.discarder != 0 && s.seat(s.discarder).sitsOut)) cdiscarder(s.discarder);
    } else if constexpr (step == kComputerChooses) {
        if (computerPlayed(s.currentChooser)) cchooser(s.currentChooser);
    } else {
        static_assert(step == kComputerAnswersAlone);
        if (computerPlayed(s.aloneCandidate)) caloner(s.aloneCandidate);
    }
}

template <int step>
void HostEngine::awaitComputer() {
    if (computersAtOnce_ && decisionsRunning_ < kMostDecisionsInside) {
        ++decisionsRunning_;
        runComputerStep<step>();
        --decisionsRunning_;
        return;
    }
    armTimer(step, kComputerDelay);
}

// --- seats -------------------------------------------------------------

void HostEngine::setSeatInUse(int seat, bool inUse) {
    if (isSeat(seat)) state_.seat(seat).inUse = inUse;
}

void HostEngine::setComputerPlays(int seat, bool computerPlays) {
    if (isSeat(seat)) state_.seat(seat).computerPlays = computerPlays;
}

void HostEngine::actNowForSeat(int seat) {
    if (!isSeat(seat)) return;
    const auto& s = state_;
    if (seat == s.currentBidder) cbidder(seat);
    else if (seat == s.currentPlayer) cnextplayer(seat);
    else if (seat == s.currentChooser) cchooser(seat);
    else if (seat == s.aloneCandidate && s.aloneAnswerAwaited()) caloner(seat);
    else if (seat == s.discarder) cdiscarder(seat);
}

// --- computer players --------------------------------------------------

void HostEngine::setSeatPlayer(int seat, ComputerPlayer* player) {
    if (isSeat(seat)) players_[seat] = player;
}

namespace {

// A card of the seat's hand that the rules accept now, 0 when none: what a
// computer-played seat plays when its player answered with a refused card,
// so that no player can stall the game.
int firstPlayableSlot(const GameState& state, int seat) {
    for (int slot = 1; slot <= 5; ++slot) {
        const int code = state.card(seat, slot);
        if (code == kNoCard) continue;
        if (state.ledSuit == 0 || state.effectiveSuit(code) == state.ledSuit || !checkforsuit(state, seat))
            return slot;
    }
    return 0;
}

}  // namespace

void HostEngine::cbidder(int seat) {
    if (!isSeat(seat) || seat != state_.currentBidder) return;
    selectedbubble(seat, ask(seat, Decision::Bid) == 1 ? 1 : 2);
}

void HostEngine::cchooser(int seat) {
    if (!isSeat(seat) || seat != state_.currentChooser) return;
    const int code = ask(seat, Decision::Choose);
    const bool names = code >= 3 && code <= 6 && code - 2 != state_.turnedDown;
    selectedbubble(seat, names ? code : 22);
}

void HostEngine::caloner(int seat) {
    if (!isSeat(seat) || seat != state_.aloneCandidate || !state_.aloneAnswerAwaited()) return;
    selectedbubble(seat, ask(seat, Decision::Alone) == 7 ? 7 : 8);
}

void HostEngine::cdiscarder(int seat) {
    if (!isSeat(seat) || seat != state_.discarder) return;
    const int slot = ask(seat, Decision::Discard);
    const bool holds = slot >= 1 && slot <= 5 && state_.card(seat, slot) != kNoCard;
    if (const int chosen = holds ? slot : firstPlayableSlot(state_, seat)) playcard(seat, chosen);
}

void HostEngine::cnextplayer(int seat) {
    if (!isSeat(seat) || seat != state_.currentPlayer) return;
    const int slot = ask(seat, Decision::Play);
    const int code = slot >= 1 && slot <= 5 ? state_.card(seat, slot) : kNoCard;
    const int suit = state_.effectiveSuit(code);
    const bool follows = state_.ledSuit == 0 || suit == state_.ledSuit || !checkforsuit(state_, seat);
    if (code != kNoCard && follows && seat != state_.discarder) {
        // Checked here already: the card goes to the table without the
        // checks playcard() makes of a card from a table.
        placeCard(seat, slot, code, suit);
        return;
    }
    playComputerCard(seat, slot, code, follows);
}

// The computer's answer `slot` (holding `code`, which `follows` or not) was
// not put on the table at once: sent as a table's card would be, or, when
// refused, the first card the rules accept instead.
void HostEngine::playComputerCard(int seat, int slot, int code, bool follows) {
    if (const int chosen = code != kNoCard && follows ? slot : firstPlayableSlot(state_, seat)) playcard(seat, chosen);
}

// --- a new game and a new hand -----------------------------------------

void HostEngine::startgame(std::string_view firstField, int target) {
    if (target < 1) return;  // no game can be played to nothing; a running one goes on
    auto& s = state_;
    s.gameRunning = true;
    stopTimer();
    s.target = target;
    if (listened_) {
        const std::array<Field, 2> fields{Field::txt(firstField), Field::num(target)};
        ports_.output.announce(Recipient::all(), cmd::StartGame, fields);
    }
    for (int seat = 1; seat <= 4; ++seat) s.seat(seat).computerPlays = false;
    for (int team = 1; team <= 2; ++team) s.teams[team].tricks = s.teams[team].score = 0;
    s.history.handsDealt = 0;
    s.ledSuit = 0;  // an interrupted trick must not lead the new game
    s.pendingDealer = 6;
    startround();
}

void HostEngine::startround() {
    auto& s = state_;
    stopTimer();
    for (int seat = 1; seat <= 4; ++seat) {
        auto& st = s.seat(seat);
        st.slots.fill(kNoCard);
        st.tableCard = kNoCard;
        st.sitsOut = st.wentAlone = false;
    }
    s.teams[1].tricks = s.teams[2].tricks = 0;
    s.turnedDown = 0;
    setTrump(0);
    s.dealer = 0;
    s.currentBidder = s.currentChooser = s.currentPlayer = s.discarder = s.aloneCandidate = 0;
    s.biddingStart = 0;
    s.ledSuit = 0;
    s.trickNumber = 1;
    s.orderedUp = false;
    finddealer();
}

void HostEngine::finddealer() {
    auto& s = state_;
    stopTimer();
    s.currentBidder = s.currentChooser = s.currentPlayer = s.aloneCandidate = s.discarder = 0;
    if (++s.pendingDealer > 4) s.pendingDealer = 1;
    s.dealer = s.pendingDealer;
    announce(Recipient::all(), cmd::Dealer, s.dealer);
    dealtype(s.pendingDealer, draw(2));
}

void HostEngine::dealtype(int seat, int pattern) {
    auto& s = state_;
    if (seat == 0 || seat != s.pendingDealer) return;
    stopTimer();
    s.deckPosition = 0;
    s.history.newHand();
    if (seeded_ != nullptr) {
        // On a copy the generator's state can stay in registers for the
        // whole shuffle; the engine's generator then continues from it.
        SeededRandom generator = *seeded_;
        s.deck.shuffle(generator);
        *seeded_ = generator;
    } else {
        s.deck.shuffle(ports_.random);
    }
    if (pattern == 0) dealPackets<2>();
    else dealPackets<3>();
    s.deckPosition = 20;

    if (listened_) announceDeal();
    ++s.deckPosition;
    const int turned = s.turnedCard();
    setTrump(suitOf(turned));
    announce(Recipient::all(), cmd::SetTrump, turned);
    s.pendingDealer = 0;
    s.currentBidder = s.dealer;
    s.biddingStart = 0;
    findbidder();
}

// Positions 1..20 around the table in two rounds of packets: `first` cards
// to each seat, then the rest of the five. The packet size is fixed per
// pattern, so the deal is twenty plain copies.
template <int first>
void HostEngine::dealPackets() {
    const auto& cards = state_.deck.positions();
    constexpr int second = 5 - first;
    for (int seatNo = 1; seatNo <= 4; ++seatNo) {
        auto& slots = state_.seat(seatNo).slots;
        const int firstRound = (seatNo - 1) * first + 1;
        const int secondRound = 4 * first + (seatNo - 1) * second + 1;
        for (int k = 0; k < first; ++k) slots[static_cast<unsigned>(1 + k)] = cards[static_cast<unsigned>(firstRound + k)];
        for (int k = 0; k < second; ++k)
            slots[static_cast<unsigned>(first + 1 + k)] = cards[static_cast<unsigned>(secondRound + k)];
    }
}

// Each seat's own cards to it, five empty slots to everyone else: one set of
// fields, the seat and the cards filled in before each message.
void HostEngine::announceDeal() {
    std::array<Field, 11> fields{Field::num(0), Field::num(1), Field::num(0), Field::num(2), Field::num(0),
                                 Field::num(3), Field::num(0), Field::num(4), Field::num(0), Field::num(5),
                                 Field::num(0)};
    for (int seatNo = 1; seatNo <= 4; ++seatNo) {
        fields[0].number = seatNo;
        for (int slot = 1; slot <= 5; ++slot) fields[2 * slot].number = state_.seat(seatNo).slots[slot];
        ports_.output.announce(Recipient::only(seatNo), cmd::PlaceCard, fields);
        for (int slot = 1; slot <= 5; ++slot) fields[2 * slot].number = kNoCard;
        ports_.output.announce(Recipient::allBut(seatNo), cmd::PlaceCard, fields);
    }
}

void HostEngine::setTrump(int suit) {
    state_.trump = suit;
    state_.leftBower = leftBowerFor(suit);
}

void HostEngine::makeMaker(int seat) {
    state_.teams[teamOf(seat)].maker = true;
    state_.teams[3 - teamOf(seat)].maker = false;
}

// --- bidding -----------------------------------------------------------

void HostEngine::selectedbubble(int seat, int code) {
    if (!isSeat(seat)) return;
    auto& s = state_;
    if (code >= 3 && code <= 6 && code - 2 == s.turnedDown) {
        announce(Recipient::only(seat), cmd::NotValid, seat, 3, 0);
        return;
    }
    switch (code) {
    case 1:
    case 2: bidtype(seat, code); break;
    case 3:
    case 4:
    case 5:
    case 6:
    case 22: choosetype(seat, code); break;
    case 7:
    case 8: alonetype(seat, code); break;
    default: break;
    }
}

void HostEngine::findbidder() {
    auto& s = state_;
    stopTimer();
    s.discarder = s.pendingDealer = s.currentChooser = s.currentPlayer = s.aloneCandidate = 0;
    s.currentBidder = nextSeat(s.currentBidder);
    if (s.currentBidder == s.biddingStart) {
        s.currentBidder = 0;
        s.biddingStart = 0;
        s.turnedDown = s.trump;
        s.currentChooser = s.dealer;
        findchooser();
        return;
    }
    const bool firstBid = s.biddingStart == 0;
    if (firstBid) s.biddingStart = s.currentBidder;
    announce(Recipient::all(), cmd::Bidder, s.currentBidder);
    if (!s.seat(s.currentBidder).computerPlayed()) return;
    // Each deal's first bid is a step of its own, so no step runs into a
    // second deal.
    if (firstBid) armTimer(kComputerBids, kComputerDelay);
    else awaitComputer<kComputerBids>();
}

void HostEngine::bidtype(int seat, int code) {
    auto& s = state_;
    if (seat != s.currentBidder) return;
    stopTimer();
    s.history.bid(seat, code);
    if (code == 2) {
        announce(Recipient::all(), cmd::HePassed, seat);
        findbidder();
        return;
    }
    announce(Recipient::all(), cmd::HeAccepted, seat);
    announce(Recipient::all(), cmd::TrumpChoosen, seat, s.trump);
    s.currentBidder = 0;
    makeMaker(seat);
    s.orderedUp = true;
    findaloner(seat);
}

void HostEngine::findchooser() {
    auto& s = state_;
    disableTimer();
    s.discarder = s.pendingDealer = s.currentBidder = s.currentPlayer = s.aloneCandidate = 0;
    s.currentChooser = nextSeat(s.currentChooser);
    if (s.currentChooser == s.biddingStart) {
        // Everyone passed twice: the hand is thrown in and the next seat deals.
        s.pendingDealer = s.dealer;
        startround();
        return;
    }
    if (s.biddingStart == 0) s.biddingStart = s.currentChooser;
    announce(Recipient::all(), cmd::Chooser, s.currentChooser, s.trump);
    if (s.seat(s.currentChooser).computerPlayed()) awaitComputer<kComputerChooses>();
}

void HostEngine::choosetype(int seat, int code) {
    auto& s = state_;
    if (seat != s.currentChooser) return;
    stopTimer();
    s.history.bid(seat, code);
    if (code == 22) {
        announce(Recipient::all(), cmd::HePassed, seat);
        findchooser();
        return;
    }
    s.currentChooser = 0;
    setTrump(code - 2);
    announce(Recipient::all(), cmd::TrumpChoosen, seat, s.trump);
    makeMaker(seat);
    findaloner(seat);
}

void HostEngine::findaloner(int maker) {
    auto& s = state_;
    stopTimer();
    s.pendingDealer = s.currentBidder = s.currentChooser = s.currentPlayer = s.discarder = 0;
    s.aloneCandidate = maker;
    announce(Recipient::all(), cmd::Aloner, maker);
    if (s.seat(maker).computerPlayed()) awaitComputer<kComputerAnswersAlone>();
}

void HostEngine::alonetype(int seat, int code) {
    auto& s = state_;
    // Once answered, the candidate stays set through the dealer's exchange:
    // a second answer must not run the step again.
    if (seat != s.aloneCandidate || !s.aloneAnswerAwaited()) return;
    stopTimer();
    s.history.maker = seat;
    s.history.alone = code == 7;
    if (code == 7) {
        s.seat(seat).wentAlone = true;
        s.seat(partnerOf(seat)).sitsOut = true;
    }
    announce(Recipient::all(), cmd::GoingAlone, seat, code);
    if (s.orderedUp) {
        s.discarder = s.dealer;
        announce(Recipient::all(), cmd::Discarder, s.dealer);
        // A dealer whose partner went alone sits out and holds no cards on
        // his table: the computer exchanges for him, as for an empty seat.
        if (s.seat(s.dealer).computerPlayed() || s.seat(s.dealer).sitsOut) awaitComputer<kComputerDiscards>();
        return;
    }
    s.currentPlayer = code == 7 ? seat : s.dealer;
    starthand();
}

void HostEngine::hesdiscarding(int seat, int slot) {
    auto& s = state_;
    s.discarder = 0;
    const int turned = s.turnedCard();
    s.history.discarded = s.seat(seat).slots[slot];
    s.seat(seat).slots[slot] = turned;
    announce(Recipient::only(seat), cmd::Switch, seat, slot, turned);
    s.currentPlayer = s.dealer;
    for (int seatNo = 4; seatNo >= 1; --seatNo) {
        if (s.seat(seatNo).wentAlone) {
            s.currentPlayer = seatNo;
            break;
        }
    }
    starthand();
}

// --- tricks ------------------------------------------------------------

// The card goes to the table. The caller has reported a card played
// twice and stopped the timer, and announces the card.
inline void HostEngine::putOnTable(int seat, int slot, int code, int suit) {
    auto& s = state_;
    auto& st = s.seat(seat);
    s.ledSuit = s.ledSuit != 0 ? s.ledSuit : suit;  // the first card leads
    st.tableCard = code;
    st.slots[slot] = kNoCard;
    s.history.play(seat, code);
}

// The seats (as bits 1..4) done with the trick: their card is on the table,
// or they sit out.
unsigned HostEngine::seatsDone() const {
    unsigned done = 0;
    for (int seat = 1; seat <= 4; ++seat) {
        const auto& st = state_.seat(seat);
        done |= static_cast<unsigned>((st.tableCard != kNoCard) | st.sitsOut) << seat;
    }
    return done;
}

void HostEngine::playcard(int seat, int slot) {
    if (!isSeat(seat) || slot < 1 || slot > 5) return;
    if (seat == state_.discarder) {
        // Completing the exchange is all this message does, even when the
        // dealer is also the first to lead.
        stopTimer();
        hesdiscarding(seat, slot);
        return;
    }
    if (seat == state_.currentPlayer) hesplaying(seat, slot);
}

void HostEngine::starthand() {
    auto& s = state_;
    stopTimer();
    for (int seat = 1; seat <= 4; ++seat) s.seat(seat).tableCard = kNoCard;
    announce(Recipient::all(), cmd::ClearCards);
    findnextplayer();
}

void HostEngine::findnextplayer() {
    if (listened_) playInTurn<true>();
    else playInTurn<false>();
}

// Made twice: once with the announcements, and once, for an output that
// wants none, without even the test for them between one card and the next.
template <bool announces>
void HostEngine::playInTurn() {
    auto& s = state_;
    // Computers' cards made at once follow one another in this loop, each
    // counted as one decision deeper, as if made inside the last: the same
    // order and the same bound as awaitComputer(), without a call chain per
    // card.
    disableTimer();
    s.discarder = s.pendingDealer = s.currentBidder = s.currentChooser = s.aloneCandidate = 0;
    const int depthBefore = decisionsRunning_;
    // Only the cards placed here change who is done, so that is kept as
    // they follow one another rather than looked up after every card.
    unsigned done = seatsDone();
    // The current player is kept at hand as well: nothing but this loop
    // moves it while the cards follow one another.
    int current = s.currentPlayer;
    for (;;) {
        int tries = 0;
        do {
            current = nextSeat(current);
        } while (s.seat(current).sitsOut && ++tries < 4);
        s.currentPlayer = current;
        if constexpr (announces) announce(Recipient::all(), cmd::NextPlayer, current);
        if (!s.seat(current).computerPlayed()) break;
        if (!computersAtOnce_ || decisionsRunning_ >= kMostDecisionsInside) {
            armTimer(kComputerPlays, kComputerDelay);
            break;
        }
        ++decisionsRunning_;
        const int seat = current;
        const int slot = ask(seat, Decision::Play);
        const int code = slot >= 1 && slot <= 5 ? s.card(seat, slot) : kNoCard;
        const int suit = s.effectiveSuit(code);
        const bool follows = s.ledSuit == 0 || suit == s.ledSuit || !checkforsuit(s, seat);
        if (code == kNoCard || !follows) {
            // A refused answer: the general way, which plays a card that follows.
            playComputerCard(seat, slot, code, follows);
            break;
        }
        if (s.seat(seat).tableCard != kNoCard) reportPlayedDouble(seat);
        // The timer was stopped above and stays so while the cards follow
        // one another.
        putOnTable(seat, slot, code, suit);
        if constexpr (announces) announce(Recipient::all(), cmd::PlayedCard, seat, slot, code);
        done |= 1u << seat;
        if (done == kEverySeatDone) {
            finishtrick();
            break;
        }
        // No decision sets a turn variable: the next seat follows as if
        // found afresh.
    }
    decisionsRunning_ = depthBefore;
}

void HostEngine::hesplaying(int seat, int slot) {
    auto& s = state_;
    if (seat != s.currentPlayer) return;
    auto& st = s.seat(seat);
    const int code = st.slots[slot];
    if (code == kNoCard) {
        ports_.diagnostics.report("That is not a valid card!!!");
        return;
    }
    const int suit = s.effectiveSuit(code);
    if (s.ledSuit != 0 && suit != s.ledSuit && checkforsuit(s, seat)) {
        if (st.tableCard != kNoCard) reportPlayedDouble(seat);
        refuseCard(seat, slot);
        return;
    }
    placeCard(seat, slot, code, suit);
}

// The current player's card `code`, of effective suit `suit`, from `slot`
// to the table; the rules accept it.
void HostEngine::placeCard(int seat, int slot, int code, int suit) {
    if (state_.seat(seat).tableCard != kNoCard) reportPlayedDouble(seat);
    stopTimer();
    putOnTable(seat, slot, code, suit);
    announce(Recipient::all(), cmd::PlayedCard, seat, slot, code);
    if (seatsDone() == kEverySeatDone) finishtrick();
    else findnextplayer();
}

// Kept out of hesplaying(), which runs for every card: these seldom run.
void HostEngine::reportPlayedDouble(int seat) {
    ports_.diagnostics.report("player: " + std::to_string(seat) + " played double! Next Player Is:" +
                              std::to_string(state_.currentPlayer) + " Timer Tag is " + std::to_string(stepCode_));
}

void HostEngine::refuseCard(int seat, int slot) {
    // A refused card leaves the turn, and any pending computer step, as it was.
    if (state_.seat(seat).computerPlayed()) ports_.diagnostics.report("computer played incorrectly");
    announce(Recipient::only(seat), cmd::NotValid, seat, 2, slot);
}

void HostEngine::finishtrick() {
    auto& s = state_;
    s.currentPlayer = 0;
    disableTimer();
    ++s.trickNumber;
    const int winner = thewinner(s);
    if (winner != 0) ++s.teams[teamOf(winner)].tricks;
    for (int seat = 1; seat <= 4; ++seat) s.seat(seat).tableCard = kNoCard;
    announce(Recipient::all(), cmd::TrickWinner, winner, s.teams[1].tricks, s.teams[2].tricks);
    s.ledSuit = 0;
    if (s.trickNumber > 5) {
        tallyscore();
        return;
    }
    // Nobody's card is awaited during the pause: the seat before the winner
    // becomes the current player only when the next trick starts.
    seatBeforeLeader_ = winner == 1 || winner == 0 ? 4 : winner - 1;
    armTimer(kNextTrick, kTrickPause);
}

void HostEngine::tallyscore() {
    auto& s = state_;
    std::array<int, 3> points{};
    for (int team = 1; team <= 2; ++team) {
        if (!s.teams[team].maker) continue;
        const int tricks = s.teams[team].tricks;
        const bool alone = s.seat(team).wentAlone || s.seat(team + 2).wentAlone;
        if (tricks == 5) points[team] = alone ? 4 : 2;
        else if (tricks >= 3) points[team] = 1;
        else points[3 - team] = 2;
    }
    s.teams[1].score += points[1];
    s.teams[2].score += points[2];
    announce(Recipient::all(), cmd::Score, s.makerTeam(), s.teams[1].score, points[1], s.teams[2].score, points[2]);
    if (s.teams[1].score <= s.target - 1 && s.teams[2].score <= s.target - 1) {
        armTimer(kNextHand, kHandPause);
        return;
    }
    const int winningTeam = s.teams[1].score > s.teams[2].score ? 1 : 2;
    s.gameRunning = false;
    announce(Recipient::all(), cmd::TheWinner, winningTeam);
}

}  // namespace vornel

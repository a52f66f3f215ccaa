#include "host_core.h"

#include <string>

#include "engine/commands.h"

namespace vornel::net {

namespace {

constexpr std::string_view kSendLoginInfo = "CMD_sendlogininfo";
constexpr std::string_view kFull = "CMD_full";
constexpr std::string_view kNewPlayerInfo = "CMD_newplayerinfo";
constexpr std::string_view kExistingPlayers = "CMD_existingplayers";
constexpr std::string_view kHaveWrongVersion = "CMD_havewrongversion";
constexpr std::string_view kWrongVersion = "CMD_wrongversion";
constexpr std::string_view kPlayerDisconnected = "CMD_playerdisconnected";
constexpr std::string_view kJustWatching = "CMD_justwatching";
constexpr std::string_view kChat = "CMD_chat";
constexpr std::string_view kAction = "CMD_action";
constexpr std::string_view kPlayASound = "CMD_playasound";
constexpr std::string_view kLoadCards = "CMD_loadcards";
constexpr std::string_view kLoadStats = "CMD_loadstats";
constexpr std::string_view kLoadTheirCards = "CMD_loadtheircards";

constexpr bool isBubbleCode(int code) { return (code >= 1 && code <= 8) || code == 22; }
constexpr bool isSlot(int slot) { return slot >= 1 && slot <= 5; }

// A message's fields gathered before it is sent: at most a seat and five pairs.
class FieldList {
public:
    void add(Field field) { fields_[size_++] = field; }
    void add(int number) { add(Field::num(number)); }
    std::span<const Field> span() const { return {fields_.data(), size_}; }

private:
    std::array<Field, 11> fields_{};
    std::size_t size_ = 0;
};

}  // namespace

HostCore::HostCore(Ports ports)
    : ports_(ports),
      engine_(HostEngine::Ports{*this, ports.engineTimer, ports.random, ports.diagnostics, ports.botSpeed, standard_}) {
    // Compared exactly, in this order; anything else (CMD_botspeed too) is ignored.
    dispatcher_.on("CMD_logininfo", [this](std::string_view rest, int from) { receivedlogininfo(rest, from); })
        .on("CMD_kickhim", [this](std::string_view rest, int from) { kickhim(rest, from); })
        .on(kChat, [this](std::string_view rest, int from) { relayText(rest, from, kChat, " chats: "); })
        .on(kAction, [this](std::string_view rest, int from) { relayText(rest, from, kAction, " "); })
        .on("CMD_startgame", [this](std::string_view rest, int from) { startgame(rest, from); })
        .on("CMD_justwatch", [this](std::string_view rest, int from) { justwatch(rest, from); })
        .on("CMD_selectedbubble", [this](std::string_view rest, int from) { selectedbubble(rest, from); })
        .on("CMD_playcard", [this](std::string_view rest, int from) { playcard(rest, from); })
        .on(kPlayASound, [this](std::string_view rest, int from) { playasound(rest, from); });
}

// --- connections -------------------------------------------------------

int HostCore::accept() {
    int chosen = 0;
    if (highWater_ == 0) {
        chosen = highWater_ = 1;
    } else {
        for (int index = 1; index <= highWater_ && chosen == 0; ++index)
            if (!records_[index].inUse) chosen = index;
        if (chosen == 0) {
            if (highWater_ >= 9) return kRefusedRecord;
            chosen = ++highWater_;
        }
    }
    ClientRecord& record = records_[chosen];
    record.inUse = true;
    record.name.clear();
    record.framer.clear();
    // A seat with a table is no longer computer-played: its player inherits the turn.
    engine_.setSeatInUse(chosen, true);
    return chosen;
}

void HostCore::welcome(int record) {
    if (record == kRefusedRecord) {
        std::string frame;
        appendFrame(frame, kFull, {});
        ports_.transport.send(kRefusedRecord, frame);
        ports_.transport.close(kRefusedRecord);
        return;
    }
    const Field number = Field::num(record);
    sendTo(record, kSendLoginInfo, {&number, 1});
}

void HostCore::received(int record, std::string_view bytes) {
    if (!inUse(record)) return;
    bool flooded = false;
    const bool fits = records_[record].framer.feed(bytes, [&](std::string_view text) {
        if (flooded) return;
        queue_.push(record, text);
        flooded = queue_.waitingFrom(record) > kMaxQueuedPerConnection;
    });
    if (!fits || flooded) {
        ports_.diagnostics.report("Connection " + std::to_string(record) + " closed: " +
                                  (flooded ? "too many messages waiting" : "message too long"));
        closeAsDeparture(record);
        return;
    }
    if (!queue_.empty() && !ports_.queueTimer.active()) ports_.queueTimer.start();
}

void HostCore::connectionClosed(int record) { departure(record); }

void HostCore::disconnectsock(int record) { closeAsDeparture(record); }

void HostCore::closeAsDeparture(int record) {
    if (!inUse(record)) return;
    ports_.transport.close(record);
    departure(record);
}

void HostCore::departure(int record) {
    if (!inUse(record)) return;
    ClientRecord& leaving = records_[record];
    const std::array<Field, 2> fields{Field::num(record), Field::txt(leaving.name)};
    std::string frame;
    appendFrame(frame, kPlayerDisconnected, fields);
    sendFrameToAll(frame, record);

    leaving.inUse = false;
    leaving.name.clear();
    leaving.framer.clear();
    // Its waiting lines could otherwise act for the seat's next holder.
    queue_.dropFrom(record);
    if (isSeat(record)) {
        engine_.setComputerPlays(record, false);
        engine_.setSeatInUse(record, false);
        // Record 1 too: on a headless host nobody else would ever answer for it.
        if (engine_.state().gameRunning) engine_.actNowForSeat(record);
    }
    stopQueueTimerIfIdle();
}

// --- dispatch ----------------------------------------------------------

void HostCore::dispatchOne() {
    if (const auto message = queue_.pop(); message && inUse(message->connection))
        dispatcher_.dispatch(message->text, message->connection);
    stopQueueTimerIfIdle();
}

void HostCore::stopQueueTimerIfIdle() {
    if (queue_.empty() && ports_.queueTimer.active()) ports_.queueTimer.stop();
}

// --- sending -----------------------------------------------------------

void HostCore::announce(Recipient to, std::string_view command, std::span<const Field> fields) {
    std::string frame;
    appendFrame(frame, command, fields);
    for (int index = 1; index <= 9; ++index)
        if (records_[index].inUse && to.includes(index)) ports_.transport.send(index, frame);
}

void HostCore::sendTo(int record, std::string_view command, std::span<const Field> fields) {
    if (!inUse(record)) return;
    std::string frame;
    appendFrame(frame, command, fields);
    ports_.transport.send(record, frame);
}

void HostCore::sendFrameToAll(std::string_view frame, int except) {
    for (int index = 1; index <= 9; ++index)
        if (index != except && records_[index].inUse) ports_.transport.send(index, frame);
}

void HostCore::sendToAll(std::string_view command, std::span<const Field> fields) {
    announce(Recipient::all(), command, fields);
}

// --- login and the replay of a running game ----------------------------

void HostCore::receivedlogininfo(std::string_view rest, int from) {
    FieldReader reader(rest);
    const auto claimed = reader.number();
    if (!claimed || *claimed != from) return;
    const std::string_view version = reader.field();
    ClientRecord& newcomer = records_[from];
    newcomer.name = reader.remainder();
    newcomer.inUse = true;

    const std::array<Field, 2> announced{Field::num(from), Field::txt(newcomer.name)};
    sendToAll(kNewPlayerInfo, announced);
    for (int index = 1; index <= 9; ++index) {
        if (index == from || !records_[index].inUse) continue;
        const std::array<Field, 2> existing{Field::num(index), Field::txt(records_[index].name)};
        sendTo(from, kExistingPlayers, existing);
    }
    if (version != kVersion) {
        const Field name = Field::txt(newcomer.name);
        sendTo(1, kHaveWrongVersion, {&name, 1});
        sendTo(from, kWrongVersion, {});
    }
    if (engine_.state().gameRunning) replayGame(from);
}

void HostCore::replayGame(int newcomer) {
    const GameState& s = engine_.state();
    FieldList cards;
    for (int number : {s.makerTeam(), 0, s.dealer, s.trump}) cards.add(number);
    for (int seat = 1; seat <= 4; ++seat) cards.add(s.seat(seat).tableCard);
    sendTo(newcomer, kLoadCards, cards.span());

    FieldList stats;
    for (int number : {s.target, s.teams[1].score, s.teams[1].tricks, s.teams[2].score, s.teams[2].tricks})
        stats.add(number);
    sendTo(newcomer, kLoadStats, stats.span());

    if (isSeat(newcomer) && s.seat(newcomer).cardsHeld() > 0) {
        FieldList hand;
        hand.add(newcomer);
        for (int slot = 1; slot <= 5; ++slot) {
            if (s.card(newcomer, slot) == kNoCard) continue;
            hand.add(slot);
            hand.add(s.card(newcomer, slot));
        }
        sendTo(newcomer, cmd::PlaceCard, hand.span());
    }

    FieldList theirs;
    for (int seat = 1; seat <= 4; ++seat) {
        if (seat == newcomer) continue;
        theirs.add(seat);
        theirs.add(s.seat(seat).cardsHeld());
    }
    sendTo(newcomer, kLoadTheirCards, theirs.span());

    const Field seat = Field::num(newcomer);
    const std::span<const Field> seatOnly{&seat, 1};
    if (s.currentBidder == newcomer) sendTo(newcomer, cmd::Bidder, seatOnly);
    if (s.currentChooser == newcomer) {
        const std::array<Field, 2> chooser{seat, Field::num(s.trump)};
        sendTo(newcomer, cmd::Chooser, chooser);
    }
    if (s.currentPlayer == newcomer) sendTo(newcomer, cmd::NextPlayer, seatOnly);
    if (s.pendingDealer == newcomer) sendTo(newcomer, cmd::Dealer, seatOnly);
    // A player who takes the seat while its answer or exchange is awaited must be asked too.
    if (s.aloneCandidate == newcomer && s.aloneAnswerAwaited()) sendTo(newcomer, cmd::Aloner, seatOnly);
    if (s.discarder == newcomer) sendTo(newcomer, cmd::Discarder, seatOnly);
}

// --- people ------------------------------------------------------------

void HostCore::kickhim(std::string_view rest, int from) {
    FieldReader reader(rest);
    const auto requester = reader.number();
    const auto target = reader.number();
    if (!requester || !target) return;
    if (from != 1 || *requester != 1 || !isConnection(*target)) return;
    disconnectsock(*target);
}

void HostCore::relayText(std::string_view rest, int from, std::string_view command, std::string_view separator) {
    FieldReader reader(rest);
    const auto claimed = reader.number();
    if (!claimed || *claimed != from) return;
    std::string text = records_[from].name;
    text += separator;
    text += reader.remainder();
    const Field field = Field::txt(text);
    sendToAll(command, {&field, 1});
}

void HostCore::playasound(std::string_view rest, int from) {
    FieldReader reader(rest);
    const auto claimed = reader.number();
    if (!claimed || *claimed != from) return;
    // The rest already carries its closing "+", so it is passed on as it came.
    std::string frame(kPlayASound);
    frame += '+';
    frame += std::to_string(from);
    frame += '+';
    frame += reader.remainder();
    frame += kTerminator;
    sendFrameToAll(frame);
}

void HostCore::justwatch(std::string_view rest, int from) {
    FieldReader reader(rest);
    const auto seat = reader.number();
    const std::string_view value = reader.remainder();
    if (!seat || !isSeat(*seat) || (value != "1" && value != "2")) return;
    if (!inUse(*seat) || (from != 1 && from != *seat)) return;
    const bool watching = value == "1";
    engine_.setComputerPlays(*seat, watching);
    const std::array<Field, 2> fields{Field::num(*seat), Field::num(watching ? 1 : 2)};
    sendToAll(kJustWatching, fields);
    if (watching) engine_.actNowForSeat(*seat);
}

// --- the game ----------------------------------------------------------

void HostCore::startgame(std::string_view rest, int /*from*/) {
    FieldReader reader(rest);
    const std::string_view starter = reader.field();
    const auto target = reader.number();
    if (!target || *target < 1) return;  // no game can be played to 0 points
    engine_.startgame(starter, *target);
}

void HostCore::selectedbubble(std::string_view rest, int from) {
    FieldReader reader(rest);
    const auto seat = reader.number();
    const auto code = reader.number();
    if (!seat || !code || *seat != from || !isSeat(*seat) || !isBubbleCode(*code)) return;
    engine_.selectedbubble(*seat, *code);
}

void HostCore::playcard(std::string_view rest, int from) {
    FieldReader reader(rest);
    const auto seat = reader.number();
    const auto slot = reader.number();
    if (!seat || !slot || *seat != from || !isSeat(*seat) || !isSlot(*slot)) return;
    engine_.playcard(*seat, *slot);
}

}  // namespace vornel::net

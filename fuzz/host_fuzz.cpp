// Feeds arbitrary scripts of connections, bytes, closes and timer ticks into
// the host's receive path, dispatcher and engine, without sockets.
//
// Each input is read as a sequence of operations; a byte picks the operation
// and the following bytes its arguments. Besides raw bytes, one operation
// writes well-formed table messages with small numbers, so the fuzzer reaches
// the bidding and the tricks instead of stopping at the framer.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "engine/random.h"
#include "net/host_core.h"
#include "players/simulation.h"

#include "fuzz_bytes.h"

namespace {

using vornel::net::HostCore;

// Aborts with a message: the fuzzer reports it as a crash.
[[noreturn]] void broken(const char* what) {
    std::fprintf(stderr, "host invariant broken: %s\n", what);
    std::abort();
}

using vornel::fuzz::Bytes;

class CheckingTransport final : public vornel::net::HostTransport {
public:
    void send(int record, std::string_view bytes) override {
        if (bytes.empty() || bytes.back() != '\xFF') broken("a send without its terminator");
        if (record == HostCore::kRefusedRecord) {
            if (bytes != "CMD_full+\xFF") broken("record 10 got more than CMD_full");
            return;
        }
        if (record < 1 || record > 9 || !core->record(record).inUse) broken("a send to a record not in use");
        sentBytes += bytes.size();
    }
    void close(int record) override {
        if (record != HostCore::kRefusedRecord && (record < 1 || record > 9 || !core->record(record).inUse))
            broken("a close of a record not in use");
    }

    const HostCore* core = nullptr;
    std::size_t sentBytes = 0;
};

class FlagQueueTimer final : public vornel::net::QueueTimer {
public:
    void start() override {
        if (running) broken("the queue timer started twice");
        running = true;
    }
    void stop() override { running = false; }
    bool active() const override { return running; }
    bool running = false;
};

// A well-formed table message with fields drawn from small ranges.
std::string tableMessage(Bytes& in) {
    const auto number = [&](int range) { return std::to_string(static_cast<int>(in.next() % range)); };
    switch (in.next() % 10) {
    case 0: return "CMD_logininfo+" + number(11) + "+" + (in.next() % 4 ? "1.0.5" : "1.0.4") + "+N+" + number(10);
    case 1: return "CMD_startgame+Host+" + number(12) + "+";
    case 2: return "CMD_selectedbubble+" + number(6) + "+" + std::to_string(in.next() % 4 ? 1 + in.next() % 8 : 22) + "+";
    case 3: return "CMD_playcard+" + number(6) + "+" + number(7) + "+";
    case 4: return "CMD_justwatch+" + number(6) + "+" + (in.next() % 2 ? "1" : "2");
    case 5: return "CMD_kickhim+" + number(3) + "+" + number(12) + "+";
    case 6: return "CMD_chat+" + number(10) + "+hi+there|clBlack";
    case 7: return "CMD_action+" + number(10) + "+waves|$000000FF";
    case 8: return "CMD_playasound+" + number(10) + "+wave" + number(21) + "+";
    default: return "CMD_botspeed+" + number(10) + "+200+";
    }
}

void checkInvariants(const HostCore& core, const FlagQueueTimer& queueTimer) {
    if (!core.queue().empty() && !queueTimer.active()) broken("messages wait but the queue timer is stopped");
    for (int record = 1; record <= 11; ++record)
        if (core.queue().waitingFrom(record) != 0 && !core.record(record).inUse)
            broken("lines wait from a record not in use");
    if (core.record(10).inUse || core.record(11).inUse) broken("record 10 or 11 in use");
    if (core.highWaterMark() < 0 || core.highWaterMark() > 9) broken("high-water mark out of range");
    const vornel::GameState& s = core.engine().state();
    for (int seat = 1; seat <= 4; ++seat)
        if (s.seat(seat).inUse != core.record(seat).inUse) broken("the engine's seat flags drifted from the records");
    const int awaited = (s.currentBidder != 0) + (s.currentChooser != 0) + (s.currentPlayer != 0) +
                        (s.discarder != 0) + (s.pendingDealer != 0);
    if (awaited > 1) broken("more than one decision awaited");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    CheckingTransport transport;
    FlagQueueTimer queueTimer;
    vornel::ManualTimer engineTimer;
    vornel::SeededRandom random(size);
    vornel::RecordingDiagnostics diagnostics;
    vornel::FixedBotSpeed speed(200);
    HostCore core({transport, queueTimer, engineTimer, random, diagnostics, speed});
    transport.core = &core;

    // Ticks of either timer this input may spend, so every run stays quick.
    int budget = 100000;
    auto dispatch = [&] { return budget-- > 0 && queueTimer.active() ? (core.dispatchOne(), true) : false; };
    auto tick = [&] { return budget-- > 0 ? (core.engineTick(), true) : false; };

    Bytes in(data, size);
    while (!in.empty()) {
        switch (in.next() % 8) {
        case 0: core.welcome(core.accept()); break;
        case 1: core.connectionClosed(in.next() % 12); break;
        case 2: core.disconnectsock(in.next() % 12); break;
        case 3: {  // raw bytes from a record (0 and 10, 11 are not connections)
            const std::uint8_t how = in.next();
            const int record = how % 12;
            const std::string_view chunk = in.take(in.next());
            if (how < 128 || chunk.empty()) {
                core.received(record, chunk);
                break;
            }
            // The chunk repeated up to 70,000 bytes and more, in reads of at
            // most 32,768 bytes: floods and messages past the size limit.
            std::string flood;
            const std::size_t size = 1024 + std::size_t{in.next()} * 512;
            while (flood.size() < size) flood += chunk;
            for (std::size_t at = 0; at < flood.size(); at += 32768)
                core.received(record, std::string_view(flood).substr(at, 32768));
            break;
        }
        case 4: {  // a well-formed message, whole or cut in two reads
            const int record = in.next() % 10;
            const std::string message = tableMessage(in) + '\xFF';
            const std::size_t cut = in.next() % (message.size() + 1);
            core.received(record, std::string_view(message).substr(0, cut));
            core.received(record, std::string_view(message).substr(cut));
            break;
        }
        case 5:
            for (int n = in.next(); n > 0 && dispatch(); --n) {
            }
            break;
        case 6:
            for (int n = in.next(); n > 0 && tick(); --n) {
            }
            break;
        default:  // let everything settle: the queue, then the engine's steps
            while (queueTimer.active() ? dispatch() : engineTimer.running() && tick()) {
            }
            break;
        }
        checkInvariants(core, queueTimer);
    }
    return 0;
}

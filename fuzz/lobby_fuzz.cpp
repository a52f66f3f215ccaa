// Feeds arbitrary scripts of connections, bytes, closes, clock ticks and
// reachability results into the lobby server's receive path, dispatcher,
// tables and start of games, without sockets.
//
// Each input is read as a sequence of operations; a byte picks the operation
// and the following bytes its arguments. Besides raw bytes, one operation
// writes well-formed lobby messages with small numbers and a few names, so
// the fuzzer reaches tables, checks and the seat-by-seat start instead of
// stopping at the framer. After every operation the core's invariants must
// hold, and everything the server sent must read with the window's own code.

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <set>
#include <string>
#include <string_view>

#include "lobby/lobby_core.h"
#include "lobby/lobby_records.h"
#include "net/manual_queue_timer.h"
#include "players/simulation.h"

#include "fuzz_bytes.h"

namespace {

using namespace vornel::lobby;

[[noreturn]] void broken(const std::string& what) {
    std::fprintf(stderr, "lobby invariant broken: %s\n", what.c_str());
    std::abort();
}

using vornel::fuzz::Bytes;

// Every message the server sends must be one the window can read.
void checkServerMessage(std::string_view message) {
    const auto [command, rest] = vornel::net::splitCommand(message);
    bool reads = true;
    if (command == cmd::List || command == cmd::Update) reads = parseRecords(rest).has_value();
    else if (command == cmd::Launch) reads = parse::launch(rest).has_value();
    else if (command == cmd::Welcome) reads = parse::welcome(rest).has_value();
    else if (command == cmd::Error || command == cmd::Refused || command == cmd::Closing)
        reads = parse::notice(rest).has_value();
    else if (command == cmd::Chat) reads = parse::chatLine(rest).has_value();
    else if (command == cmd::Probe) reads = parse::probe(rest).has_value();
    else if (command == cmd::ProbeListen) reads = parse::probeListen(rest).has_value();
    else if (command == cmd::GameOver || command == cmd::TableClosed) reads = parse::tableNotice(rest).has_value();
    else if (command == cmd::Removed) reads = parse::removed(rest).has_value();
    else if (command == cmd::FreeSeat || command == cmd::HoldSeat) reads = parse::tableSeat(rest).has_value();
    else if (command == cmd::ReleaseSeats || command == cmd::GameReady) reads = parse::tableOnly(rest).has_value();
    else if (command == cmd::Ping || command == cmd::Pong || command == cmd::ListEnd) reads = rest.empty();
    else reads = false;
    if (!reads) broken("the server sent what a window cannot read: " + std::string(message.substr(0, 200)));
}

class CheckingTransport final : public LobbyTransport {
public:
    void send(int connection, std::string_view bytes) override { check(connection, bytes); }
    void sendToMany(std::span<const int> connections, std::string_view bytes) override {
        for (const int c : connections) {
            if (!core->isOpen(c)) broken("an update to a connection that is not open");
        }
        checkFrames(bytes);
        sentBytes += bytes.size() * connections.size();
    }
    void close(int connection) override {
        if (!core->isOpen(connection)) broken("a close of a connection not open");
        closed.insert(connection);
    }
    void check(int connection, std::string_view bytes) {
        if (!core->isOpen(connection)) broken("a send to a connection that is not open");
        if (closed.contains(connection)) broken("a send after the close");
        checkFrames(bytes);
        sentBytes += bytes.size();
    }
    void checkFrames(std::string_view bytes) {
        if (bytes.empty() || bytes.back() != '\xFF') broken("a send without its terminator");
        vornel::net::Framer framer;
        framer.feed(bytes, [](std::string_view m) {
            if (m.size() > kMaxServerMessage) broken("a message longer than the limit");
            checkServerMessage(m);
        });
    }

    const LobbyCore* core = nullptr;
    std::set<int> closed;
    std::size_t sentBytes = 0;
};

class ManualClock final : public LobbyClock {
public:
    std::int64_t nowMs() const override { return now; }
    std::int64_t now = 0;
};

class RememberingProber final : public ReachabilityProber {
public:
    void probe(int probe, std::string_view address, int port, std::string_view token) override {
        if (!isDottedAddress(address) || !isPort(port) || !isToken(token)) broken("a check with bad fields");
        last = probe;
    }
    int last = 0;
};

constexpr std::array<std::string_view, 6> kNames{"Ann", "bob", "BOB", "Cy", "Di", "Eve"};
constexpr std::array<std::string_view, 3> kPeers{"127.0.0.1", "198.51.100.1", "203.0.113.9"};

// A well-formed lobby message with fields drawn from small ranges.
std::string lobbyMessage(Bytes& in) {
    const auto n = [&](int range) { return std::to_string(static_cast<int>(in.next() % range)); };
    const std::string name(kNames[in.next() % kNames.size()]);
    // Mostly the first tables and the seats 2-4, where the rules have most to say.
    const std::uint8_t pick = in.next();
    const std::string table = std::to_string(pick < 224 ? 1 + pick % 3 : pick % 8);
    const auto seat = [&] {
        const std::uint8_t s = in.next();
        return std::to_string(s < 224 ? 2 + s % 3 : s % 8);
    };
    switch (in.next() % 20) {
    case 0: return build::login(name, in.next() % 8 ? 1 : 2);
    case 1: return build::chat(in.next() % 2 ? "hello + all" : "");
    case 2: return build::newTable(in.next() % 4 ? "Table" : "a+b");
    case 3: return "LOBBY_sit+" + table + "+" + seat() + "\xFF";
    case 4: return build::watch(std::stoi(table));
    case 5: return build::standUp(std::stoi(table));
    case 6: return build::leave(std::stoi(table));
    case 7: return build::remove(std::stoi(table), name);
    case 8: {
        const std::string port = in.next() % 4 ? "7772" : "0";
        const std::string address = in.next() % 4 ? "192.168.1.2" : "host.example";
        return "LOBBY_start+" + table + "+" + port + "+" + address + "\xFF";
    }
    case 9: return build::startAnyway(std::stoi(table));
    case 10: return build::probeReady(std::stoi(table), in.next() % 4 ? "Token1234" : "bad");
    case 11: return build::hostReady(std::stoi(table));
    case 12: return "LOBBY_seatfree+" + table + "+" + seat() + "\xFF";
    case 13: return "LOBBY_seatheld+" + table + "+" + seat() + "\xFF";
    case 14: return "LOBBY_arrived+" + table + "+" + n(10) + "+" + name + "\xFF";
    case 15: return build::gameRunning();
    case 16: return build::gameEnded();
    case 17: return build::ping();
    case 18: return build::pong();
    default: return "LOBBY_nothing+" + table + "\xFF";
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    CheckingTransport transport;
    vornel::net::ManualQueueTimer queueTimer;
    ManualClock clock;
    RememberingProber prober;
    vornel::RecordingDiagnostics diagnostics;
    LobbyCore core({transport, queueTimer, clock, prober, diagnostics}, 8);
    transport.core = &core;

    Bytes in(data, size);
    for (int steps = 0; !in.empty() && steps < 5000; ++steps) {
        switch (in.next() % 9) {
        case 0: core.welcome(core.accept(kPeers[in.next() % kPeers.size()])); break;
        case 1: core.connectionClosed(1 + in.next() % 12); break;
        case 2: {  // raw bytes, sometimes repeated past the limits
            const int connection = 1 + in.next() % 12;
            const std::uint8_t how = in.next();
            const std::string_view chunk = in.take(in.next());
            if (how < 200 || chunk.empty()) {
                core.received(connection, chunk);
                break;
            }
            std::string flood;
            while (flood.size() < 2048) flood += chunk;
            core.received(connection, flood);
            break;
        }
        case 3: {  // a well-formed message, whole or cut in two reads, mostly handled at once
            const int connection = 1 + in.next() % 6;
            const std::string message = lobbyMessage(in);
            const std::uint8_t how = in.next();
            const std::size_t cut = how % (message.size() + 1);
            core.received(connection, std::string_view(message).substr(0, cut));
            core.received(connection, std::string_view(message).substr(cut));
            if (how & 0x80)
                while (queueTimer.active()) core.dispatchWaiting();
            break;
        }
        case 4:
            for (int n = in.next() % 4; n >= 0 && queueTimer.active(); --n) core.dispatchWaiting();
            break;
        case 5: {  // time passes: a tick, or a long wait that reaches the deadlines
            const bool longWait = in.next() % 2 == 0;
            clock.now += longWait ? 1000 * (1 + in.next() % 70) : kUpdateIntervalMs;
            core.tick();
            break;
        }
        case 6: {  // a check ends: mostly the last one asked for
            const int probe = in.next() % 2 ? prober.last : in.next() % 8;
            core.probeFinished(probe, static_cast<ProbeResult>(in.next() % 5));
            break;
        }
        case 7: core.closeAll(); break;
        default:
            while (queueTimer.active()) core.dispatchWaiting();
            break;
        }
        if (const std::string problem = core.brokenInvariant(); !problem.empty()) broken(problem);
    }
    return 0;
}

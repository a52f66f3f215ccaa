#pragma once
// A lobby server core driven by hand: a transport that keeps what each
// connection was sent, a hand-turned clock and queue timer, and a prober
// that remembers the checks asked for. Clients are connection numbers; each
// one's view of the players and tables list is built from what it got, as a
// window builds it.

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "lobby/lobby_core.h"
#include "lobby/lobby_list.h"
#include "net/manual_queue_timer.h"
#include "players/simulation.h"

namespace vornel::lobby::test {

using Messages = std::vector<std::string>;

inline Messages cutMessages(std::string_view bytes) {
    Messages messages;
    net::Framer framer;
    framer.feed(bytes, [&](std::string_view m) { messages.emplace_back(m); });
    return messages;
}

inline bool startsWith(std::string_view text, std::string_view prefix) { return text.substr(0, prefix.size()) == prefix; }

class FakeTransport final : public LobbyTransport {
public:
    void send(int connection, std::string_view bytes) override { sent[connection] += bytes; }
    void sendToMany(std::span<const int> connections, std::string_view bytes) override {
        manyLog.emplace_back(std::vector<int>(connections.begin(), connections.end()), std::string(bytes));
        for (const int c : connections) sent[c] += bytes;
    }
    void close(int connection) override { closed.push_back(connection); }

    std::map<int, std::string> sent;
    std::vector<int> closed;
    std::vector<std::pair<std::vector<int>, std::string>> manyLog;  // each sendToMany: to whom, what
};

using FakeQueueTimer = net::ManualQueueTimer;

class ManualClock final : public LobbyClock {
public:
    std::int64_t nowMs() const override { return now; }
    std::int64_t now = 1000;
};

class FakeProber final : public ReachabilityProber {
public:
    struct Check {
        int probe;
        std::string address;
        int port;
        std::string token;
    };
    void probe(int probe, std::string_view address, int port, std::string_view token) override {
        checks.push_back({probe, std::string(address), port, std::string(token)});
    }
    std::vector<Check> checks;
};

class LobbyCoreTest : public ::testing::Test {
protected:
    FakeTransport transport;
    FakeQueueTimer queueTimer;
    ManualClock clock;
    FakeProber prober;
    RecordingDiagnostics diagnostics;
    int maxPlayers = 100;
    LobbyCore core{{transport, queueTimer, clock, prober, diagnostics}, maxPlayers};

    void TearDown() override { EXPECT_EQ(core.brokenInvariant(), ""); }

    int connect(std::string_view peer = "127.0.0.1") {
        const int connection = core.accept(peer);
        core.welcome(connection);
        return connection;
    }
    // Delivers one message (the terminator added) and works off the queue.
    void deliver(int connection, std::string_view text) {
        core.received(connection, std::string(text) + '\xFF');
        drain();
    }
    void drain() {
        for (int ticks = 0; queueTimer.active(); ++ticks) {
            ASSERT_LT(ticks, 10000) << "the queue timer never stops";
            core.dispatchWaiting();
        }
    }
    // Connects and logs in; the name's connection number.
    int join(std::string_view name, std::string_view peer = "127.0.0.1") {
        const int connection = connect(peer);
        deliver(connection, "LOBBY_login+1+" + std::string(name));
        names[std::string(name)] = connection;
        return connection;
    }
    int of(const std::string& name) const { return names.at(name); }
    void say(const std::string& name, std::string_view text) { deliver(of(name), text); }
    // Lets at least `ms` pass in the server timer's ticks; by default the
    // time between a group's turns (a little over a quarter second), in
    // which every group has its turn.
    void tick(int ms = LobbyCore::kGroupPeriodMs) {
        for (int passed = 0; passed < ms; passed += LobbyCore::kTickIntervalMs) {
            clock.now += LobbyCore::kTickIntervalMs;
            core.tick();
        }
    }

    // Lets time pass tick by tick, every named client showing a sign of
    // life every ten seconds, so only the deadlines under test run out.
    void passTime(int ms) {
        for (int elapsed = 0; elapsed < ms; elapsed += kUpdateIntervalMs) {
            if (elapsed % 10000 == 0)
                for (const auto& [name, connection] : names)
                    if (core.isOpen(connection)) deliver(connection, "LOBBY_pong+");
            tick();
        }
    }

    Messages messages(int connection) const {
        const auto it = transport.sent.find(connection);
        return it == transport.sent.end() ? Messages{} : cutMessages(it->second);
    }
    Messages messages(const std::string& name) const { return messages(of(name)); }
    std::size_t count(int connection) const { return messages(connection).size(); }
    // What a connection got after it had got `since` messages.
    Messages since(int connection, std::size_t from) const {
        Messages all = messages(connection);
        all.erase(all.begin(), all.begin() + static_cast<std::ptrdiff_t>(std::min(from, all.size())));
        return all;
    }
    Messages withPrefix(int connection, std::string_view prefix) const {
        Messages out;
        for (const std::string& m : messages(connection))
            if (startsWith(m, prefix)) out.push_back(m);
        return out;
    }
    // Since the log had `from` entries: every connection written once, and
    // every write the same bytes (each group's update made once).
    void expectOneWriteEachOfTheSameBytes(std::size_t from, std::size_t connections) const {
        std::map<int, int> writes;
        for (std::size_t i = from; i < transport.manyLog.size(); ++i) {
            EXPECT_EQ(transport.manyLog[i].second, transport.manyLog[from].second) << "write " << i;
            for (const int c : transport.manyLog[i].first) ++writes[c];
        }
        EXPECT_EQ(writes.size(), connections);
        for (const auto& [connection, count] : writes) EXPECT_EQ(count, 1) << "connection " << connection;
    }
    bool closed(int connection) const {
        return std::find(transport.closed.begin(), transport.closed.end(), connection) != transport.closed.end();
    }

    // The list as the connection's window would have it now.
    LobbyList listOf(int connection) const {
        LobbyList list;
        for (const std::string& m : messages(connection)) {
            const auto [command, rest] = net::splitCommand(m);
            if (command == "LOBBY_list" || command == "LOBBY_update") {
                EXPECT_TRUE(list.applyMessage(rest)) << m;
            }
        }
        return list;
    }
    LobbyList listOf(const std::string& name) const { return listOf(of(name)); }

    std::map<std::string, int> names;
};

}  // namespace vornel::lobby::test

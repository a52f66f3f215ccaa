#pragma once
// The small interfaces through which the lobby server's core talks to the
// world. The core never touches sockets or clocks: the Qt adapter (or a
// test, or the fuzzer) carries its bytes, tells it the time and makes the
// reachability check's connection.

#include <cstdint>
#include <span>
#include <string_view>

namespace vornel::lobby {

class LobbyTransport {
public:
    virtual ~LobbyTransport() = default;
    // Appends the bytes to the connection's outgoing buffer; never blocks.
    virtual void send(int connection, std::string_view bytes) = 0;
    // The same bytes to each of the connections (an update, a chat line):
    // made once, so the adapter can share one buffer among all of them.
    virtual void sendToMany(std::span<const int> connections, std::string_view bytes) = 0;
    // Closes the connection after what was sent to it. The core has already
    // handled the departure: the adapter must not report this close back.
    virtual void close(int connection) = 0;
};

// Milliseconds on a clock that only moves forward.
class LobbyClock {
public:
    virtual ~LobbyClock() = default;
    virtual std::int64_t nowMs() const = 0;
};

// The reachability check's connection. The prober connects to the address
// and port, reads what arrives, and reports through
// LobbyCore::probeFinished(probe, result): Reachable only when the token
// followed by the byte 0xFF arrived first.
class ReachabilityProber {
public:
    virtual ~ReachabilityProber() = default;
    virtual void probe(int probe, std::string_view address, int port, std::string_view token) = 0;
};

}  // namespace vornel::lobby

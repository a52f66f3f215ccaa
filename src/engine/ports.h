#pragma once
// The small interfaces through which the host engine talks to the world.
// The engine never touches sockets, clocks or windows: whoever drives it
// (the host's connection layer, the simulator, the tests) implements these.

#include <cstdint>
#include <span>
#include <string_view>

namespace vornel {

// Who receives an announcement. Messages to one seat are always announced;
// the connection layer delivers them only when that seat's record is in use.
struct Recipient {
    enum class Kind : std::uint8_t { All, Seat, AllButSeat };
    Kind kind = Kind::All;
    int seat = 0;

    static constexpr Recipient all() { return {Kind::All, 0}; }
    static constexpr Recipient only(int seat) { return {Kind::Seat, seat}; }
    static constexpr Recipient allBut(int seat) { return {Kind::AllButSeat, seat}; }

    // Whether connection/record number `record` gets a message sent this way.
    constexpr bool includes(int record) const {
        switch (kind) {
        case Kind::All: return true;
        case Kind::Seat: return record == seat;
        case Kind::AllButSeat: return record != seat;
        }
        return false;
    }
    friend constexpr bool operator==(Recipient, Recipient) = default;
};

// One field of an announcement: a decimal number or a text.
struct Field {
    std::string_view text;
    int number = 0;
    bool isText = false;

    static constexpr Field num(int n) { return {{}, n, false}; }
    static constexpr Field txt(std::string_view t) { return {t, 0, true}; }
};

// Receives every announcement of the engine, in order.
class Output {
public:
    virtual ~Output() = default;
    virtual void announce(Recipient to, std::string_view command, std::span<const Field> fields) = 0;
    // False for an output that throws every announcement away: the engine
    // then makes none at all. Asked once, when the engine is made.
    virtual bool listens() const { return true; }
};

// The engine's pacing timer. While started it must call the engine's
// ctimerTimer() every `intervalMs` milliseconds until stopped.
class EngineTimer {
public:
    virtual ~EngineTimer() = default;
    virtual void start(int intervalMs) = 0;
    virtual void stop() = 0;
};

// One generator for the shuffle, the deal pattern and the computer players.
class RandomSource {
public:
    virtual ~RandomSource() = default;
    // A uniformly drawn integer in 0..n-1 (n >= 1).
    virtual int below(int n) = 0;
};

// Messages the host shows its operator ("That is not a valid card!!!", ...).
// Implementations must never block.
class Diagnostics {
public:
    virtual ~Diagnostics() = default;
    virtual void report(std::string_view text) = 0;
};

// The host's Bot Speed in milliseconds; read whenever the timer is armed or stopped.
class BotSpeed {
public:
    virtual ~BotSpeed() = default;
    virtual int milliseconds() const = 0;
};

}  // namespace vornel

#pragma once
// Runs whole games with four computer players through the engine's entry
// points, running each armed timer step at once instead of waiting. The
// engine makes the computers' decisions as soon as they are awaited, so the
// steps left are each deal's first bid and the pauses after tricks and hands.

#include <cstdint>
#include <string>
#include <vector>

#include "engine/host_engine.h"
#include "engine/manual_ports.h"
#include "engine/random.h"
#include "players/computer_players.h"

namespace vornel {

class RecordingDiagnostics final : public Diagnostics {
public:
    void report(std::string_view text) override { reports.emplace_back(text); }
    std::vector<std::string> reports;
};

// Throws every announcement away, and says so, so the engine makes none.
class DiscardingOutput final : public Output {
public:
    void announce(Recipient, std::string_view, std::span<const Field>) override {}
    bool listens() const override { return false; }
};

// An engine with every seat empty, so the standard computer players play all
// four (or the players each seat is given).
class ComputerGame {
public:
    ComputerGame(Output& output, std::uint64_t seed);

    // Plays one game to the end, running each armed step at once; returns
    // the number of steps it took.
    std::uint64_t play(int target);
    // Ticks the timer until it stops or `maxTicks` have passed; returns the ticks.
    std::uint64_t runTimer(std::uint64_t maxTicks = ~std::uint64_t{0});

    HostEngine& engine() { return engine_; }
    ManualTimer& timer() { return timer_; }
    SeededRandom& random() { return random_; }
    const RecordingDiagnostics& diagnostics() const { return diagnostics_; }

private:
    ManualTimer timer_;
    SeededRandom random_;
    RecordingDiagnostics diagnostics_;
    FixedBotSpeed speed_{500};
    StandardPlayer standard_;
    HostEngine engine_;
};

}  // namespace vornel

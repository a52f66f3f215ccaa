#include "players/simulation.h"

namespace vornel {

ComputerGame::ComputerGame(Output& output, std::uint64_t seed)
    : random_(seed), engine_({output, timer_, random_, diagnostics_, speed_, standard_}) {
    // Nothing waits for a computer's decision in a simulation.
    engine_.setComputersAtOnce(true);
}

std::uint64_t ComputerGame::runTimer(std::uint64_t maxTicks) {
    std::uint64_t ticks = 0;
    while (timer_.running() && ticks < maxTicks) {
        engine_.ctimerTimer();
        ++ticks;
    }
    return ticks;
}

std::uint64_t ComputerGame::play(int target) {
    engine_.startgame("", target);
    // A game that makes no progress in this many steps has stalled.
    constexpr std::uint64_t kStepLimit = 10'000'000;
    std::uint64_t steps = 0;
    while (timer_.running() && steps < kStepLimit) {
        engine_.runArmedStep();
        ++steps;
    }
    return steps;
}

}  // namespace vornel

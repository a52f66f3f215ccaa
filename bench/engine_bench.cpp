// Complete simulated hands per second on one core, announcements discarded.

#include <benchmark/benchmark.h>

#include "engine/cards.h"
#include "engine/random.h"
#include "players/simulation.h"

namespace {

void BM_SimulatedHands(benchmark::State& state) {
    vornel::DiscardingOutput output;
    vornel::ComputerGame game(output, 12345);
    std::int64_t hands = 0;
    for (auto _ : state) {
        // Each iteration plays until the next hand is dealt (or the game ends).
        const int dealerBefore = game.engine().state().dealer;
        if (!game.timer().running()) game.engine().startgame("", 10);
        while (game.timer().running()) {
            game.engine().runArmedStep();
            if (game.engine().state().dealer != dealerBefore && game.engine().state().dealer != 0) break;
        }
        ++hands;
    }
    state.SetItemsProcessed(hands);
    state.counters["hands_per_second"] = benchmark::Counter(static_cast<double>(hands), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_SimulatedHands);

void BM_WholeGames(benchmark::State& state) {
    vornel::DiscardingOutput output;
    vornel::ComputerGame game(output, 777);
    std::int64_t games = 0;
    for (auto _ : state) {
        game.play(10);
        ++games;
    }
    state.counters["games_per_second"] = benchmark::Counter(static_cast<double>(games), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_WholeGames);

void BM_Shuffle(benchmark::State& state) {
    vornel::SeededRandom random(5);
    vornel::Deck deck;
    for (auto _ : state) {
        deck.shuffle(random);
        benchmark::DoNotOptimize(deck);
    }
}
BENCHMARK(BM_Shuffle);

}  // namespace

BENCHMARK_MAIN();

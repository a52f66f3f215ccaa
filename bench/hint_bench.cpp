// The player's hint, worked out per decision: the questions are what seat 1's
// table sees in games of standard computer players, asked of the hint as the
// table asks it. Reports the mean per decision of each kind and the slowest
// single decision met, on the clock and in processor time (on a busy machine
// the first also counts the time other programs had the processor).

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <ctime>
#include <vector>

#include "net/protocol.h"
#include "players/simulation.h"
#include "table/hint.h"
#include "table/seen_game.h"

namespace {

using vornel::Decision;

// Milliseconds of the clock and of processor time one hint takes.
struct Timed {
    double wallMs = 0;
    double cpuMs = 0;
};

Timed timeHint(const vornel::table::HintQuestion& q) {
    const auto start = std::chrono::steady_clock::now();
    const std::clock_t cpuStart = std::clock();
    benchmark::DoNotOptimize(vornel::table::hintAnswer(q));
    Timed t;
    t.cpuMs = 1000.0 * static_cast<double>(std::clock() - cpuStart) / CLOCKS_PER_SEC;
    t.wallMs = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    return t;
}
using vornel::table::HintQuestion;

// Hands seat 1's messages to a seen game and keeps a question at each of its prompts.
class SeatOneTable final : public vornel::Output {
public:
    void announce(vornel::Recipient to, std::string_view command, std::span<const vornel::Field> fields) override {
        if (!to.includes(1)) return;
        seen.observe(vornel::net::buildMessage(command, fields), 1);
        if (seen.awaited() && seen.promptNumber() != lastPrompt) {
            lastPrompt = seen.promptNumber();
            questions.push_back(vornel::table::hintQuestion(seen));
        }
    }
    vornel::table::SeenGame seen;
    int lastPrompt = -1;
    std::vector<HintQuestion> questions;
};

const std::vector<HintQuestion>& questions() {
    static const std::vector<HintQuestion> all = [] {
        SeatOneTable table;
        vornel::ComputerGame game(table, 4242);
        for (int g = 0; g < 6; ++g) game.play(10);
        return table.questions;
    }();
    return all;
}

std::vector<HintQuestion> ofKind(Decision decision) {
    std::vector<HintQuestion> out;
    for (const auto& q : questions())
        if (q.decision == decision) out.push_back(q);
    return out;
}

void BM_HintPerDecision(benchmark::State& state) {
    const auto kind = static_cast<Decision>(state.range(0));
    const std::vector<HintQuestion> asked = ofKind(kind);
    if (asked.empty()) {
        state.SkipWithError("no decision of this kind");
        return;
    }
    std::size_t next = 0;
    Timed slowest;
    for (auto _ : state) {
        const Timed t = timeHint(asked[next]);
        slowest.wallMs = std::max(slowest.wallMs, t.wallMs);
        slowest.cpuMs = std::max(slowest.cpuMs, t.cpuMs);
        next = (next + 1) % asked.size();
    }
    state.counters["decisions"] = static_cast<double>(asked.size());
    state.counters["slowest_ms"] = slowest.wallMs;
    state.counters["slowest_cpu_ms"] = slowest.cpuMs;
}
BENCHMARK(BM_HintPerDecision)
    ->ArgName("kind")
    ->DenseRange(0, 4)
    ->Unit(benchmark::kMillisecond);

// Every decision met, once each, in game order.
void BM_HintEveryDecision(benchmark::State& state) {
    const auto& asked = questions();
    Timed slowest, total;
    std::int64_t hints = 0;
    for (auto _ : state) {
        for (const auto& q : asked) {
            const Timed t = timeHint(q);
            slowest.wallMs = std::max(slowest.wallMs, t.wallMs);
            slowest.cpuMs = std::max(slowest.cpuMs, t.cpuMs);
            total.wallMs += t.wallMs;
            total.cpuMs += t.cpuMs;
            ++hints;
        }
    }
    const double n = static_cast<double>(std::max<std::int64_t>(hints, 1));
    state.counters["decisions"] = static_cast<double>(asked.size());
    state.counters["mean_ms"] = total.wallMs / n;
    state.counters["mean_cpu_ms"] = total.cpuMs / n;
    state.counters["slowest_ms"] = slowest.wallMs;
    state.counters["slowest_cpu_ms"] = slowest.cpuMs;
}
BENCHMARK(BM_HintEveryDecision)->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace

BENCHMARK_MAIN();

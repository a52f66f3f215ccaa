// The tally file's codec on one core: 1 MB of tally text with many followed
// players, and 1 MB of random bytes. Bytes per second count the text.

#include <benchmark/benchmark.h>

#include <random>
#include <string>

#include "tally/tally_codec.h"
#include "tally/tally_table.h"

namespace {

constexpr std::size_t kSize = 1 << 20;

// Followed players with made-up names and counters as years of play leave them.
std::string tallyText() {
    static const char* const syllables[] = {"ka", "lo", "mi", "ra", "zen", "tor", "bel", "qui", "dan", "sho", "vek", "ul"};
    std::mt19937 random(2026);
    vornel::tally::TallyTable table;
    while (table.toText().size() < kSize) {
        for (int batch = 0; batch < 1000; ++batch) {
            std::string name;
            const int parts = 2 + static_cast<int>(random() % 3);
            for (int s = 0; s < parts; ++s) name += syllables[random() % 12];
            name[0] = static_cast<char>(name[0] - 'a' + 'A');
            if (random() % 3 == 0) name += std::to_string(random() % 100);
            if (!table.follow(name)) continue;
            const int row = table.rowCount() - 1;
            const int games = static_cast<int>(random() % 400);
            for (int c = 1; c <= 8; ++c) {
                const int count = c <= 4 ? games / (c == 1 ? 1 : 3) : static_cast<int>(random() % 4);
                for (int i = 0; i < count % 37; ++i) table.addit(c, row);
            }
        }
    }
    std::string text = table.toText();
    text.resize(kSize);
    return text;
}

std::string randomBytes() {
    std::mt19937 random(7);
    std::string bytes(kSize, '\0');
    for (char& c : bytes) c = static_cast<char>(random() & 0xFF);
    return bytes;
}

void compressBench(benchmark::State& state, const std::string& input) {
    std::size_t packed = 0;
    for (auto _ : state) {
        const std::string file = vornel::tally::compress(input);
        packed = file.size();
        benchmark::DoNotOptimize(file.data());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * input.size()));
    state.counters["ratio"] = static_cast<double>(packed) / static_cast<double>(input.size());
}

void decompressBench(benchmark::State& state, const std::string& input) {
    const std::string file = vornel::tally::compress(input);
    for (auto _ : state) {
        auto text = vornel::tally::decompress(file);
        benchmark::DoNotOptimize(text);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * input.size()));
    state.counters["ratio"] = static_cast<double>(file.size()) / static_cast<double>(input.size());
}

void BM_TallyTextCompress(benchmark::State& state) { compressBench(state, tallyText()); }
void BM_TallyTextDecompress(benchmark::State& state) { decompressBench(state, tallyText()); }
void BM_RandomBytesCompress(benchmark::State& state) { compressBench(state, randomBytes()); }
void BM_RandomBytesDecompress(benchmark::State& state) { decompressBench(state, randomBytes()); }

BENCHMARK(BM_TallyTextCompress);
BENCHMARK(BM_TallyTextDecompress);
BENCHMARK(BM_RandomBytesCompress);
BENCHMARK(BM_RandomBytesDecompress);

}  // namespace

BENCHMARK_MAIN();

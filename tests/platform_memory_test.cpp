// The platform layer's memory figures: the peak resident memory follows
// memory the process really touches, and never goes down.

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <memory>
#include <thread>

#include "app/platform.h"

namespace vornel::app::platform {
namespace {

TEST(PeakResidentMemory, GrowsWithTouchedMemoryAndNeverShrinks) {
    limitMemoryArenas();  // harmless after start-up, and on systems without it
    const std::uint64_t before = peakResidentBytes();
    ASSERT_GT(before, 0u);
    constexpr std::size_t kBlock = 64 * 1024 * 1024;
    {
        auto block = std::make_unique<char[]>(kBlock);
        std::memset(block.get(), 1, kBlock);  // resident only once touched
        EXPECT_GE(peakResidentBytes(), kBlock);
        EXPECT_GE(peakResidentBytes(), before + kBlock / 2);
    }
    // Freed: the peak stays where it was.
    EXPECT_GE(peakResidentBytes(), kBlock);
}

// The start-up probe reads the window thread's own processor time: work
// done by another thread meanwhile is not counted in it.
TEST(ThreadProcessorTime, CountsOnlyTheCallingThreadsWork) {
    const double mineBefore = threadProcessorSeconds();
    double busyUsed = 0;
    std::thread busy([&busyUsed] {
        const double start = threadProcessorSeconds();
        volatile std::uint64_t sum = 0;
        for (std::uint64_t n = 0; n < 200'000'000 && threadProcessorSeconds() - start < 0.2; ++n) sum = sum + n;
        busyUsed = threadProcessorSeconds() - start;
    });
    busy.join();  // this thread sleeps meanwhile
    const double mine = threadProcessorSeconds() - mineBefore;
    EXPECT_GT(busyUsed, 0.05);
    EXPECT_LT(mine, busyUsed / 2) << "the other thread's work counted as this one's";
}

}  // namespace
}  // namespace vornel::app::platform

// The platform layer's memory figures: the peak resident memory follows
// memory the process really touches, and never goes down.

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <memory>

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

}  // namespace
}  // namespace vornel::app::platform

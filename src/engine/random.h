#pragma once
// A seeded pseudo-random generator (xoshiro256**), so any game can be replayed.

#include <cstdint>

#include "ports.h"

namespace vornel {

class SeededRandom final : public RandomSource {
public:
    explicit SeededRandom(std::uint64_t seed) { reseed(seed); }
    void reseed(std::uint64_t seed);
    std::uint64_t next();
    int below(int n) override;

private:
    std::uint64_t s_[4]{};
};

}  // namespace vornel

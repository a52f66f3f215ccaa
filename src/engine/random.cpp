#include "random.h"

namespace vornel {

void SeededRandom::reseed(std::uint64_t seed) {
    for (auto& word : s_) {
        // splitmix64 spreads any seed, 0 included, over the whole state.
        std::uint64_t z = (seed += 0x9e3779b97f4a7c15ULL);
        z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9ULL;
        z = (z ^ (z >> 27)) * 0x94d049bb133111ebULL;
        word = z ^ (z >> 31);
    }
    haveSpare_ = false;
}

}  // namespace vornel

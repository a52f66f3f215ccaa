#pragma once
// A seeded pseudo-random generator (xoshiro256**), so any game can be replayed.

#include <cstdint>

#include "ports.h"

namespace vornel {

class SeededRandom final : public RandomSource {
public:
    explicit SeededRandom(std::uint64_t seed) { reseed(seed); }
    void reseed(std::uint64_t seed);

    std::uint64_t next() {
        const std::uint64_t result = rotl(s_[1] * 5, 7) * 9;
        const std::uint64_t t = s_[1] << 17;
        s_[2] ^= s_[0];
        s_[3] ^= s_[1];
        s_[1] ^= s_[2];
        s_[0] ^= s_[3];
        s_[2] ^= t;
        s_[3] = rotl(s_[3], 45);
        return result;
    }

    // Lemire's multiply-and-reject: unbiased, and no division on the fast path.
    int below(int n) override {
        if (n <= 1) return 0;
        const auto bound = static_cast<std::uint32_t>(n);
        std::uint64_t product = std::uint64_t{next32()} * bound;
        if (static_cast<std::uint32_t>(product) < bound) {
            const std::uint32_t threshold = static_cast<std::uint32_t>(-bound) % bound;
            while (static_cast<std::uint32_t>(product) < threshold) product = std::uint64_t{next32()} * bound;
        }
        return static_cast<int>(product >> 32);
    }

    // Calls `take` with one draw after another, each what below(n) would
    // return at that point, until `take` returns false. The same numbers as
    // that many calls of below(n), and the generator ends in the same state,
    // but a whole 64-bit word is split per step instead of asking for a
    // spare half on every draw.
    template <typename Take>
    void drawWhile(int n, Take take) {
        drawWhilePassing(n, take, [](std::uint64_t) { return false; });
    }

    // As above; and a whole 64-bit word whose two draws `unchanged(a, b)`
    // says `take` would accept without any effect is passed over without
    // calling `take` for either (for draws that mostly repeat, one test a
    // word instead of two calls).
    template <typename Take, typename Unchanged>
    void drawWhile(int n, Take take, Unchanged unchanged) {
        const auto bound = static_cast<std::uint32_t>(n);
        const std::uint32_t threshold = n <= 1 ? 0 : static_cast<std::uint32_t>(-bound) % bound;
        drawWhilePassing(n, take, [&](std::uint64_t word) {
            const std::uint64_t high = (word >> 32) * bound, low = (word & 0xffffffffu) * bound;
            return static_cast<std::uint32_t>(high) >= threshold && static_cast<std::uint32_t>(low) >= threshold &&
                   unchanged(static_cast<int>(high >> 32), static_cast<int>(low >> 32));
        });
    }

    // As above, but `passOver(word)` is asked about each whole 64-bit word
    // first and may pass it over whatever its two halves draw or refuse (a
    // refused half is no draw): it must be sure that neither half, whether
    // refused or not, would change anything. The refusal test is then left
    // to the words that are not passed over.
    template <typename Take, typename PassOver>
    void drawWhilePassing(int n, Take take, PassOver passOver) {
        if (n <= 1) {
            while (take(0)) {
            }
            return;
        }
        const auto bound = static_cast<std::uint32_t>(n);
        const std::uint32_t threshold = static_cast<std::uint32_t>(-bound) % bound;
        // A half whose product falls below the threshold is refused, and the
        // same draw goes on with the next half, as in below().
        auto feed = [&](std::uint32_t half) {
            const std::uint64_t product = std::uint64_t{half} * bound;
            if (static_cast<std::uint32_t>(product) < threshold) [[unlikely]] return true;
            return take(static_cast<int>(product >> 32));
        };
        if (haveSpare_) {
            haveSpare_ = false;
            if (!feed(spare_)) return;
        }
        for (;;) {
            const std::uint64_t word = next();
            if (passOver(word)) continue;
            if (!feed(static_cast<std::uint32_t>(word >> 32))) {
                spare_ = static_cast<std::uint32_t>(word);
                haveSpare_ = true;
                return;
            }
            if (!feed(static_cast<std::uint32_t>(word))) return;
        }
    }

private:
    static constexpr std::uint64_t rotl(std::uint64_t x, int k) { return (x << k) | (x >> (64 - k)); }

    // Both halves of each 64-bit draw are used.
    std::uint32_t next32() {
        if (haveSpare_) {
            haveSpare_ = false;
            return spare_;
        }
        const std::uint64_t word = next();
        spare_ = static_cast<std::uint32_t>(word);
        haveSpare_ = true;
        return static_cast<std::uint32_t>(word >> 32);
    }

    std::uint64_t s_[4]{};
    std::uint32_t spare_ = 0;
    bool haveSpare_ = false;
};

}  // namespace vornel

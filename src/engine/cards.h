#pragma once
// Card codes, suits, Bowers, seats and teams, and the host's deck.
//
// A card is 1..52: thirteen codes per suit block (Clubs, Diamonds, Spades,
// Hearts), two..ace inside a block. Only nine..ace are in play; 0 is no card.

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>
#include <utility>

namespace vornel {


inline constexpr int kNoCard = 0;
inline constexpr int kClubs = 1, kDiamonds = 2, kSpades = 3, kHearts = 4;

namespace detail {
inline constexpr std::array<std::uint8_t, 53> kSuitOfCode = [] {
    std::array<std::uint8_t, 53> table{};
    for (int code = 1; code <= 52; ++code) table[code] = static_cast<std::uint8_t>((code - 1) / 13 + 1);
    return table;
}();
}  // namespace detail

// Suit number 1..4 of a code's block; 0 for codes outside 1..52.
constexpr int suitOf(int code) {
    return static_cast<unsigned>(code) <= 52u ? detail::kSuitOfCode[static_cast<unsigned>(code)] : 0;
}
// Rank position inside the block: 1 two .. 8 nine, 9 ten, 10 jack, 11 queen, 12 king, 13 ace.
constexpr int rankPosition(int code) { return suitOf(code) ? code - 13 * (suitOf(code) - 1) : 0; }
// The engine's favourite test: nine 8, ten 9, jack 10, queen 11, king 12, ace 0.
constexpr int remainderOf(int code) { return code % 13; }
constexpr bool isInPlay(int code) { return suitOf(code) != 0 && rankPosition(code) >= 8; }
constexpr int cardCode(int suit, int rank) { return 13 * (suit - 1) + rank; }

inline constexpr int kNine = 8, kTen = 9, kJack = 10, kQueen = 11, kKing = 12, kAce = 13;

// The 24 codes in play, ascending.
inline constexpr std::array<std::uint8_t, 24> kInPlayCodes = [] {
    std::array<std::uint8_t, 24> codes{};
    std::size_t next = 0;
    for (int code = 1; code <= 52; ++code)
        if (isInPlay(code)) codes[next++] = static_cast<std::uint8_t>(code);
    return codes;
}();

constexpr int rightBowerFor(int trump) { return trump >= 1 && trump <= 4 ? cardCode(trump, kJack) : 0; }
constexpr int leftBowerFor(int trump) {
    constexpr std::array<int, 5> left{0, 36, 49, 10, 23};
    return trump >= 1 && trump <= 4 ? left[trump] : 0;
}
// Follows the trump suit for the Left Bower, the block suit otherwise.
constexpr int effectiveSuit(int code, int trump, int leftBower) {
    return code != kNoCard && code == leftBower ? trump : suitOf(code);
}

constexpr bool isSeat(int seat) { return seat >= 1 && seat <= 4; }
// For seats 0..4 (unsigned, so the remainder needs no sign fix-up).
constexpr int nextSeat(int seat) { return static_cast<int>(static_cast<unsigned>(seat) % 4u) + 1; }
constexpr int partnerOf(int seat) { return static_cast<int>((static_cast<unsigned>(seat) + 1u) % 4u) + 1; }
constexpr int teamOf(int seat) { return seat % 2 == 1 ? 1 : 2; }

std::string_view suitName(int suit);  // "Clubs" .. "Hearts", "" for 0

// The host's 24-card deck: positions 1..24, 1..20 dealt, 21 the turned card.
class Deck {
public:
    // Codes in ascending order, each placed at a random free position: a
    // position already filled is drawn again for the same code. Written as
    // one stream of draws that each either place the next code or not, so
    // nothing branches on a draw; a generator that can hand out a stream of
    // draws (the engine's own) is not asked once per draw. Generic so the
    // engine's generator is called without a virtual hop.
    template <typename Random>
    void shuffle(Random& random) {
        std::array<std::uint8_t, 24> positions{};  // of each code in play, less one
        std::uint32_t filled = 0;                  // bit p: position p + 1 holds a card
        std::size_t placed = 0;
        auto place = [&](int draw) {
            positions[placed] = static_cast<std::uint8_t>(draw);  // kept only when the position is free
            // Whether the position was free, read from the set growing
            // (one bit-set instruction) rather than tested apart.
            const std::uint32_t before = filled;
            filled |= std::uint32_t{1} << draw;
            placed += filled != before;
            return placed < positions.size();
        };
        // Every draw is placed, even the many later ones that fall on
        // filled positions: a test that passes such words over saves
        // instructions but costs more time, as the processor cannot foresee
        // its outcome.
        if constexpr (requires { random.drawWhile(24, place); }) {
            random.drawWhile(24, place);
        } else {
            while (place(random.below(24))) {
            }
        }
        cards_[0] = kNoCard;
        placeInOrder(positions, std::make_index_sequence<24>{});
    }
    int at(int position) const { return position >= 1 && position <= 24 ? cards_[position] : kNoCard; }
    // Positions 0..24 (0 holds no card), for a deal that copies them in a
    // fixed order without a check per card.
    const std::array<int, 25>& positions() const { return cards_; }
    // Puts a known card at a position, to set up a deal seen before.
    void place(int position, int code) {
        if (position >= 1 && position <= 24) cards_[position] = code;
    }

private:
    // The codes in ascending order at their drawn positions: 24 plain
    // stores, written out so that no loop counter runs beside them.
    template <std::size_t... Index>
    void placeInOrder(const std::array<std::uint8_t, 24>& positions, std::index_sequence<Index...>) {
        ((cards_[positions[Index] + 1u] = kInPlayCodes[Index]), ...);
    }

    std::array<int, 25> cards_{};
};

}  // namespace vornel

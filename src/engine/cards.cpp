#include "cards.h"

#include "ports.h"

namespace vornel {

std::string_view suitName(int suit) {
    constexpr std::array<std::string_view, 5> names{"", "Clubs", "Diamonds", "Spades", "Hearts"};
    return suit >= 1 && suit <= 4 ? names[suit] : names[0];
}

void Deck::shuffle(RandomSource& random) {
    cards_.fill(kNoCard);
    for (int code = 1; code <= 52; ++code) {
        if (!isInPlay(code)) continue;
        int position;
        do {
            position = random.below(24) + 1;
        } while (cards_[position] != kNoCard);
        cards_[position] = code;
    }
}

}  // namespace vornel

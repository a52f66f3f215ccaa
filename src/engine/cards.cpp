#include "cards.h"


namespace vornel {

std::string_view suitName(int suit) {
    constexpr std::array<std::string_view, 5> names{"", "Clubs", "Diamonds", "Spades", "Hearts"};
    return suit >= 1 && suit <= 4 ? names[suit] : names[0];
}

}  // namespace vornel

#include "table/seat_rotation.h"

#include <utility>
#include <vector>

#include "table/artwork.h"
#include "table/board.h"

namespace vornel::table {

namespace {
// The order in which each family is re-labelled.
const char* const kRotationOrder[] = {"image_cards",    "label_playername", "image_played", "image_themaker",
                                      "image_winner",   "image_eyes",       "image_turn"};
}  // namespace

void movestuff(Board& board, int from, int to) {
    for (const char* family : kRotationOrder) {
        if (QWidget* element = board.element(QString::fromLatin1(family) + QString::number(from)))
            element->setObjectName(QString::fromLatin1(family) + QString::number(to));
    }
    if (to < 1 || to > 4) return;
    if (TextElement* label = board.nameLabel(to)) {
        QPalette palette = label->palette();
        palette.setColor(QPalette::WindowText, Board::teamColour(to));
        label->setPalette(palette);
    }
}

void sortstuff(Board& board, int ownSeat, const std::array<QString, 5>& defaultNames) {
    std::vector<std::pair<int, int>> moves;
    switch (ownSeat) {
    case 2: moves = {{2, 0}, {1, 2}, {4, 1}, {3, 4}, {0, 3}}; break;
    case 3: moves = {{3, 0}, {1, 3}, {0, 1}, {4, 0}, {2, 4}, {0, 2}}; break;
    case 4: moves = {{4, 0}, {1, 4}, {2, 1}, {3, 2}, {0, 3}}; break;
    default: break;  // seat 1 and watchers keep the start layout
    }
    for (const auto& [from, to] : moves) movestuff(board, from, to);

    for (int seat = 1; seat <= 4; ++seat) {
        if (TextElement* label = board.nameLabel(seat)) label->setHint(defaultNames[seat]);
        if (ImageElement* banner = board.seatImage(SeatFamily::Winner, seat)) {
            // Drawn when the game is won and the banner shows.
            banner->clearPicture();
            banner->setPixmapWhenShown(
                [&art = board.artwork(), team = seat % 2 == 1 ? 1 : 2] { return art.winnersBanner(team); });
        }
    }
}

}  // namespace vornel::table

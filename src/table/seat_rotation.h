#pragma once
// Seat rotation after login: the own seat moves to the bottom of the board,
// the next seat in play to the left, the partner to the top.

#include <QString>
#include <array>

namespace vornel::table {

class Board;
class Artwork;

// Re-labels one seat's seven elements from seat number `from` to `to`; their
// places do not change. 0 is a temporary number.
void movestuff(Board& board, int from, int to);

// Rotates for the own seat (a watcher keeps the start layout), then gives
// every name label its seat's default name as hint and every WINNERS banner
// its team's lettering.
void sortstuff(Board& board, int ownSeat, const std::array<QString, 5>& defaultNames);

}  // namespace vornel::table

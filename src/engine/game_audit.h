#pragma once
// Watches every announcement of the engine, checks the invariants of a
// correct game and keeps the figures the simulator reports.

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "ports.h"

namespace vornel {

struct GameFigures {
    std::uint64_t games = 0;
    std::uint64_t hands = 0;
    std::uint64_t thrownInHands = 0;
    std::uint64_t team1Wins = 0;
    std::uint64_t team2Wins = 0;
    std::uint64_t aloneHands = 0;
    std::uint64_t marches = 0;
    std::uint64_t loneMarches = 0;
    std::uint64_t vornels = 0;
    std::uint64_t team1Points = 0;
    std::uint64_t team2Points = 0;

    GameFigures& operator+=(const GameFigures& other);
};

class GameAudit final : public Output {
public:
    void announce(Recipient to, std::string_view command, std::span<const Field> fields) override;

    const GameFigures& figures() const { return figures_; }
    // FNV-1a over every announcement, in order.
    std::uint64_t checksum() const { return checksum_; }
    const std::vector<std::string>& violations() const { return violations_; }
    // A game that stopped without CMD_thewinner, or a hand left unfinished.
    void finishRun();

private:
    void hash(std::string_view bytes);
    void hashNumber(int number);
    void fail(std::string what);
    void onDeal(Recipient to, std::span<const Field> fields);
    void onSwitch(std::span<const Field> fields);
    void onPlayed(std::span<const Field> fields);
    void onTrick(std::span<const Field> fields);
    void onScore(std::span<const Field> fields);
    void onWinner(std::span<const Field> fields);
    void endHand();

    GameFigures figures_;
    std::uint64_t checksum_ = 0xcbf29ce484222325ULL;
    std::vector<std::string> violations_;

    // The game in progress as the announcements tell it.
    bool gameOn_ = false;
    bool gameOver_ = false;
    int target_ = 0;
    std::array<int, 3> scores_{};
    // The hand in progress.
    bool handOn_ = false;
    bool trumpMade_ = false;
    bool scored_ = false;
    int dealer_ = 0;
    int turned_ = 0;
    int maker_ = 0;
    bool alone_ = false;
    int dealtSeats_ = 0;
    std::array<std::array<int, 6>, 5> hands_{};
    int cardsInTrick_ = 0;
    int tricks_ = 0;
    std::array<int, 3> teamTricks_{};
};

}  // namespace vornel

#pragma once
// Games between two kinds of computer player, one kind per team, as the
// simulator plays them: one game, or a duplicate pair in which the same
// deals are played a second time with the teams' seats swapped, so that
// the difference between the kinds is not the luck of the cards.

#include <array>
#include <map>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "engine/game_audit.h"
#include "players/seat_view.h"

namespace vornel {

// The kinds of player a team can be given: the standard rules, the expert,
// and the expert as it first played (kept to measure changes against).
enum class PolicyKind { Standard, Expert, ExpertLanded };

bool parsePolicyKind(std::string_view name, PolicyKind& kind);
std::string_view policyKindName(PolicyKind kind);
// The expert of that kind with its seed; null for the standard player,
// which the engine plays itself.
std::unique_ptr<SeatPolicy> makePolicy(PolicyKind kind, std::uint64_t seed);

// One hand as it was dealt and scored.
struct HandRecord {
    int dealer = 0;
    int turned = kNoCard;
    std::array<std::array<int, 6>, 5> hands{};  // seats 1..4, slots 1..5, as dealt
    int makerTeam = 0;                           // 0: thrown in
    bool orderedUp = false;  // trump made in the first round
    bool alone = false;
    std::array<int, 3> points{};                 // per team 1..2
};

struct MatchGame {
    GameFigures figures;
    std::uint64_t checksum = 0;
    std::vector<std::string> violations;
    std::vector<std::string> reports;  // what the host said on its screen
    std::vector<HandRecord> hands;
    int winner = 0;  // team 1 or 2
};

struct MatchSetup {
    std::uint64_t gameSeed = 0;
    int target = 10;
    // The player of each team 1..2; null plays by the standard rules.
    std::array<SeatPolicy*, 3> teams{};
    // Every seat draws from a generator of its own, so the engine's own
    // deals alone: the same seed then deals the same hands in the same
    // order, whoever plays them.
    bool ownRandomPerSeat = false;
};

MatchGame playMatchGame(const MatchSetup& setup);

// The figures of duplicate pairs: in the first game of each pair policy A
// holds team 1, in the second team 2, on the same deals.
struct DuplicatePair {
    MatchGame aAsTeam1;
    MatchGame aAsTeam2;
};

struct DuplicateSummary {
    std::uint64_t pairs = 0;
    std::uint64_t hands = 0;  // played in both games together
    double aPointsPerHand = 0;
    double bPointsPerHand = 0;
    double pointsPerHandDifference = 0;  // A's minus B's
    double pointsPerHandDifferenceSe = 0;
    std::uint64_t aWins = 0;
    std::uint64_t bWins = 0;
    double winShareDifference = 0;  // (A's wins - B's wins) / games
    double winShareDifferenceSe = 0;
};

DuplicateSummary summarise(const std::vector<DuplicatePair>& pairs);

// What became of a hand for `team`, e.g. "we make R1 march" or
// "they make R2 alone euchred": who made trump, in which round, alone or not,
// and what the Maker scored (1, march, 4 or
// euchred); "thrown in" when nobody did.
std::string handType(const HandRecord& hand, int team);

// Hands and points (the team's minus the other's) per hand type, for
// player A and player B of duplicate pairs: both played the same deals, so
// where their rows differ is where one outplays the other.
struct HandTypeRow {
    std::uint64_t hands = 0;
    std::int64_t netPoints = 0;
};
struct HandTypeTally {
    std::map<std::string, std::array<HandTypeRow, 2>> rows;  // [0] player A, [1] player B
};
HandTypeTally tallyHandTypes(const std::vector<DuplicatePair>& pairs);

}  // namespace vornel

#include "players/policy_match.h"

#include <cmath>
#include <optional>

#include "engine/commands.h"
#include "players/expert_player.h"
#include "players/simulation.h"

namespace vornel {

namespace {

std::uint64_t splitmix(std::uint64_t x) {
    std::uint64_t z = x + 0x9e3779b97f4a7c15ULL;
    z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9ULL;
    z = (z ^ (z >> 27)) * 0x94d049bb133111ebULL;
    return z ^ (z >> 31);
}

// Passes every announcement on to the audit and keeps each hand's deal and
// score.
class HandRecorder final : public Output {
public:
    explicit HandRecorder(GameAudit& audit) : audit_(audit) {}

    void announce(Recipient to, std::string_view command, std::span<const Field> fields) override {
        audit_.announce(to, command, fields);
        auto num = [&](std::size_t i) { return i < fields.size() ? fields[i].number : 0; };
        if (command == cmd::Dealer) {
            hands.emplace_back().dealer = num(0);
        } else if (hands.empty()) {
            if (command == cmd::TheWinner) winner = num(0);
        } else if (command == cmd::PlaceCard && to.kind == Recipient::Kind::Seat && isSeat(num(0))) {
            for (int slot = 1; slot <= 5; ++slot) hands.back().hands[num(0)][slot] = num(2 * static_cast<std::size_t>(slot));
        } else if (command == cmd::SetTrump) {
            hands.back().turned = num(0);
        } else if (command == cmd::HeAccepted) {
            hands.back().orderedUp = true;
        } else if (command == cmd::GoingAlone) {
            hands.back().alone = num(1) == 7;
        } else if (command == cmd::Score) {
            hands.back().makerTeam = num(0);
            hands.back().points = {0, num(2), num(4)};
        } else if (command == cmd::TheWinner) {
            winner = num(0);
        }
    }

    std::vector<HandRecord> hands;
    int winner = 0;

private:
    GameAudit& audit_;
};

// Plays a seat with the given player but hands it a generator of its own
// instead of the engine's.
class OwnRandomPlayer final : public ComputerPlayer {
public:
    OwnRandomPlayer(ComputerPlayer& inner, std::uint64_t seed) : inner_(inner), random_(seed) {}
    int decide(const GameState& state, int seat, Decision decision, RandomSource&) override {
        return inner_.decide(state, seat, decision, random_);
    }

private:
    ComputerPlayer& inner_;
    SeededRandom random_;
};

}  // namespace

bool parsePolicyKind(std::string_view name, PolicyKind& kind) {
    for (PolicyKind k : {PolicyKind::Standard, PolicyKind::Expert, PolicyKind::ExpertLanded}) {
        if (name == policyKindName(k)) {
            kind = k;
            return true;
        }
    }
    return false;
}

std::string_view policyKindName(PolicyKind kind) {
    switch (kind) {
    case PolicyKind::Standard: return "standard";
    case PolicyKind::Expert: return "expert";
    case PolicyKind::ExpertLanded: return "expert-landed";
    }
    return "";
}

std::unique_ptr<SeatPolicy> makePolicy(PolicyKind kind, std::uint64_t seed) {
    switch (kind) {
    case PolicyKind::Standard: return nullptr;
    case PolicyKind::Expert: return std::make_unique<ExpertPlayer>(seed);
    case PolicyKind::ExpertLanded: return std::make_unique<ExpertPlayer>(seed, ExpertTuning::landed());
    }
    return nullptr;
}

MatchGame playMatchGame(const MatchSetup& setup) {
    GameAudit audit;
    HandRecorder recorder(audit);
    ComputerGame game(recorder, setup.gameSeed);
    StandardPlayer standard;
    std::array<std::optional<PolicyPlayer>, 3> policyPlayers;
    std::array<std::optional<OwnRandomPlayer>, 5> ownRandom;
    for (int team = 1; team <= 2; ++team)
        if (setup.teams[team] != nullptr) policyPlayers[team].emplace(*setup.teams[team]);
    for (int seat = 1; seat <= 4; ++seat) {
        auto& policy = policyPlayers[teamOf(seat)];
        ComputerPlayer* player = policy ? &*policy : nullptr;
        if (setup.ownRandomPerSeat) {
            ownRandom[seat].emplace(player != nullptr ? *player : standard,
                                    splitmix(setup.gameSeed ^ splitmix(static_cast<std::uint64_t>(seat))));
            player = &*ownRandom[seat];
        }
        game.engine().setSeatPlayer(seat, player);
    }
    game.play(setup.target);
    audit.finishRun();

    MatchGame result;
    result.figures = audit.figures();
    result.checksum = audit.checksum();
    result.violations = audit.violations();
    result.reports = game.diagnostics().reports;
    result.hands = std::move(recorder.hands);
    result.winner = recorder.winner;
    return result;
}

DuplicateSummary summarise(const std::vector<DuplicatePair>& pairs) {
    DuplicateSummary s;
    s.pairs = pairs.size();
    if (pairs.empty()) return s;
    struct PairFigures {
        double pointsDifference = 0;  // A's minus B's, both games
        double hands = 0;
        double winDifference = 0;  // per game, -1..1
    };
    std::vector<PairFigures> each;
    double aPoints = 0, bPoints = 0;
    for (const DuplicatePair& pair : pairs) {
        const GameFigures& first = pair.aAsTeam1.figures;
        const GameFigures& second = pair.aAsTeam2.figures;
        const double a = static_cast<double>(first.team1Points + second.team2Points);
        const double b = static_cast<double>(first.team2Points + second.team1Points);
        const std::uint64_t hands = first.hands - first.thrownInHands + second.hands - second.thrownInHands;
        const int aWins = (pair.aAsTeam1.winner == 1) + (pair.aAsTeam2.winner == 2);
        const int bWins = (pair.aAsTeam1.winner == 2) + (pair.aAsTeam2.winner == 1);
        aPoints += a;
        bPoints += b;
        s.hands += hands;
        s.aWins += static_cast<std::uint64_t>(aWins);
        s.bWins += static_cast<std::uint64_t>(bWins);
        each.push_back({a - b, static_cast<double>(hands), (aWins - bWins) / 2.0});
    }
    const double n = static_cast<double>(pairs.size());
    const double hands = static_cast<double>(s.hands);
    if (hands > 0) {
        s.aPointsPerHand = aPoints / hands;
        s.bPointsPerHand = bPoints / hands;
        s.pointsPerHandDifference = (aPoints - bPoints) / hands;
    }
    s.winShareDifference = (static_cast<double>(s.aWins) - static_cast<double>(s.bWins)) / (2 * n);
    if (pairs.size() < 2) return s;
    // The pairs are independent; the hands inside a pair are not, so the
    // error of the points per hand is that of a ratio of pair sums.
    double ratioSquares = 0, winSquares = 0;
    for (const PairFigures& p : each) {
        const double residual = p.pointsDifference - s.pointsPerHandDifference * p.hands;
        ratioSquares += residual * residual;
        const double deviation = p.winDifference - s.winShareDifference;
        winSquares += deviation * deviation;
    }
    const double meanHands = hands / n;
    if (meanHands > 0) s.pointsPerHandDifferenceSe = std::sqrt(ratioSquares / (n * (n - 1))) / meanHands;
    s.winShareDifferenceSe = std::sqrt(winSquares / (n * (n - 1)));
    return s;
}

std::string handType(const HandRecord& hand, int team) {
    if (hand.makerTeam == 0) return "thrown in";
    const int makerPoints = hand.points[hand.makerTeam];
    const int defenderPoints = hand.points[3 - hand.makerTeam];
    std::string type = hand.makerTeam == team ? "we make" : "they make";
    type += hand.orderedUp ? " R1" : " R2";
    if (hand.alone) type += " alone";
    type += defenderPoints > 0 ? " euchred" : makerPoints == 1 ? " 1" : makerPoints == 2 ? " march" : " 4";
    return type;
}

HandTypeTally tallyHandTypes(const std::vector<DuplicatePair>& pairs) {
    HandTypeTally tally;
    auto add = [&](const MatchGame& game, int team, std::size_t player) {
        for (const HandRecord& hand : game.hands) {
            HandTypeRow& row = tally.rows[handType(hand, team)][player];
            ++row.hands;
            row.netPoints += hand.points[team] - hand.points[3 - team];
        }
    };
    for (const DuplicatePair& pair : pairs) {
        add(pair.aAsTeam1, 1, 0);
        add(pair.aAsTeam2, 2, 0);
        add(pair.aAsTeam1, 2, 1);
        add(pair.aAsTeam2, 1, 1);
    }
    return tally;
}

}  // namespace vornel

// vornel-sim: plays complete games with four computer players, checks every
// hand, and prints the figures. The same seed gives the same figures.

#include <algorithm>
#include <array>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <cinttypes>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <thread>
#include <utility>
#include <vector>

#if __has_include(<sys/resource.h>)
#include <sys/resource.h>
#endif

#include "engine/game_audit.h"
#include "players/simulation.h"
#include "players/policy_match.h"

namespace {

struct Options {
    std::uint64_t games = 100;
    std::uint64_t seed = 0;
    bool seedGiven = false;
    int target = 10;
    bool json = false;
    std::array<vornel::PolicyKind, 3> teams{vornel::PolicyKind::Standard, vornel::PolicyKind::Standard,
                                            vornel::PolicyKind::Standard};  // per team 1..2
    bool duplicate = false;
    bool handTypes = false;  // with --duplicate: hands and points per hand type
    std::uint64_t jobs = 1;
    bool jobsGiven = false;
    std::uint64_t firstGame = 0;  // index of the first game, so a long run can be played in parts
    bool firstGameGiven = false;
    bool anyExpert() const {
        return teams[1] != vornel::PolicyKind::Standard || teams[2] != vornel::PolicyKind::Standard;
    }
    // Each game seeded from the run's seed and its index, so the games can be
    // spread over threads. Without experts or --jobs one generator runs
    // through all games, as it always has, and the figures stay comparable.
    bool perGameSeeds() const { return jobsGiven || anyExpert() || duplicate || firstGameGiven; }
};

void usage(std::FILE* to) {
    std::fputs(
        "usage: vornel-sim [--games N] [--seed S] [--target 5..10] [--json] [--jobs N]\n"
        "                  [--team1 KIND] [--team2 KIND] [--duplicate [--hand-types]]\n"
        "                  [--first-game K]\n"
        "KIND is standard, expert or expert-landed (the expert as it first played).\n"
        "--duplicate plays each deal twice, the second time with the teams' seats\n"
        "swapped, and prints how team 1's player differs from team 2's; N pairs.\n"
        "--hand-types adds, per hand type (who made trump, in which round, alone,\n"
        "the Maker's result), each player's hands and points on the same deals.\n"
        "--first-game K plays games K..K+N-1 of the run the seed gives, so a long\n"
        "run can be played in parts that add up to it.\n",
        to);
}

bool parseNumber(const char* text, std::uint64_t& out) {
    if (text == nullptr || *text == '\0') return false;
    char* end = nullptr;
    errno = 0;
    const unsigned long long value = std::strtoull(text, &end, 10);
    if (errno != 0 || *end != '\0' || text[0] == '-') return false;
    out = value;
    return true;
}

// Returns false (after printing why) when the arguments are not usable.
bool parseOptions(int argc, char** argv, Options& options) {
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        const char* value = i + 1 < argc ? argv[i + 1] : nullptr;
        std::uint64_t number = 0;
        if (arg == "--json" || arg == "--duplicate") {
            (arg == "--json" ? options.json : options.duplicate) = true;
            continue;
        }
        if (arg == "--hand-types") {
            options.handTypes = true;
            continue;
        }
        if (arg == "--help" || arg == "-h") {
            usage(stdout);
            std::exit(0);
        }
        if (arg == "--team1" || arg == "--team2") {
            if (value == nullptr || !vornel::parsePolicyKind(value, options.teams[arg == "--team1" ? 1 : 2])) {
                std::fprintf(stderr, "vornel-sim: %s needs standard, expert or expert-landed\n", argv[i]);
                return false;
            }
            ++i;
            continue;
        }
        if (arg != "--games" && arg != "--seed" && arg != "--target" && arg != "--jobs" && arg != "--first-game") {
            std::fprintf(stderr, "vornel-sim: unknown option %s\n", argv[i]);
            return false;
        }
        if (!parseNumber(value, number)) {
            std::fprintf(stderr, "vornel-sim: %s needs a whole number\n", argv[i]);
            return false;
        }
        ++i;
        if (arg == "--games") {
            options.games = number;
        } else if (arg == "--first-game") {
            options.firstGame = number;
            options.firstGameGiven = true;
        } else if (arg == "--jobs") {
            if (number < 1 || number > 256) {
                std::fputs("vornel-sim: --jobs must be 1..256\n", stderr);
                return false;
            }
            options.jobs = number;
            options.jobsGiven = true;
        } else if (arg == "--seed") {
            options.seed = number;
            options.seedGiven = true;
        } else {
            if (number < 5 || number > 10) {
                std::fputs("vornel-sim: --target must be 5..10\n", stderr);
                return false;
            }
            options.target = static_cast<int>(number);
        }
    }
    if (options.handTypes && (!options.duplicate || options.json)) {
        std::fputs("vornel-sim: --hand-types needs --duplicate and no --json\n", stderr);
        return false;
    }
    return true;
}

std::uint64_t splitmix(std::uint64_t x) {
    std::uint64_t z = x + 0x9e3779b97f4a7c15ULL;
    z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9ULL;
    z = (z ^ (z >> 27)) * 0x94d049bb133111ebULL;
    return z ^ (z >> 31);
}

// The calling thread's processor time, so other work on a shared machine
// does not count; elsewhere the wall clock stands in.
double cpuMs() {
#if defined(RUSAGE_THREAD)
    rusage usage{};
    getrusage(RUSAGE_THREAD, &usage);
    const auto ms = [](const timeval& t) { return static_cast<double>(t.tv_sec) * 1e3 + static_cast<double>(t.tv_usec) / 1e3; };
    return ms(usage.ru_utime) + ms(usage.ru_stime);
#else
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now().time_since_epoch()).count();
#endif
}

// Times every decision of the expert it wraps.
class TimedPolicy final : public vornel::SeatPolicy {
public:
    explicit TimedPolicy(vornel::SeatPolicy& inner) : inner_(inner) {}
    int decide(const vornel::SeatView& view) override {
        const double before = cpuMs();
        const int choice = inner_.decide(view);
        const double ms = cpuMs() - before;
        ++decisions;
        totalMs += ms;
        maxMs = std::max(maxMs, ms);
        return choice;
    }
    std::uint64_t decisions = 0;
    double totalMs = 0;
    double maxMs = 0;

private:
    vornel::SeatPolicy& inner_;
};

struct Timing {
    std::uint64_t decisions = 0;
    double totalMs = 0;
    double maxMs = 0;
    void add(std::uint64_t moreDecisions, double moreMs, double slowestMs) {
        decisions += moreDecisions;
        totalMs += moreMs;
        maxMs = std::max(maxMs, slowestMs);
    }
};

struct GameResult {
    std::vector<vornel::MatchGame> games;  // one, or a duplicate pair
    Timing timing;                         // of the experts' decisions
};

GameResult playSeededGame(const Options& options, std::uint64_t index) {
    const std::uint64_t gameSeed = splitmix(options.seed ^ splitmix(index));
    const std::uint64_t playerSeed = splitmix(gameSeed ^ 0x45787065727453ULL);
    GameResult result;
    // In a duplicate pair the second game gives each player the other team's seats.
    for (int round = 0; round < (options.duplicate ? 2 : 1); ++round) {
        vornel::MatchSetup setup;
        setup.gameSeed = gameSeed;
        setup.target = options.target;
        setup.ownRandomPerSeat = options.duplicate;
        std::array<std::unique_ptr<vornel::SeatPolicy>, 3> policies;
        std::array<std::optional<TimedPolicy>, 3> timed;
        for (int team = 1; team <= 2; ++team) {
            policies[team] = vornel::makePolicy(options.teams[round == 0 ? team : 3 - team], playerSeed);
            if (!policies[team]) continue;
            setup.teams[team] = &timed[team].emplace(*policies[team]);
        }
        result.games.push_back(vornel::playMatchGame(setup));
        for (const auto& t : timed)
            if (t) result.timing.add(t->decisions, t->totalMs, t->maxMs);
    }
    return result;
}

// Plays the games on `jobs` threads; the results come back in game order.
std::vector<GameResult> playSeededGames(const Options& options) {
    std::vector<GameResult> results(options.games);
    std::atomic<std::uint64_t> next{0};
    auto work = [&] {
        for (std::uint64_t i = next++; i < options.games; i = next++) results[i] = playSeededGame(options, options.firstGame + i);
    };
    std::vector<std::thread> threads;
    for (std::uint64_t j = 1; j < options.jobs; ++j) threads.emplace_back(work);
    work();
    for (auto& thread : threads) thread.join();
    return results;
}

std::string fixed3(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%.3f", value);
    return text;
}

std::string quoted(std::string_view text) {
    std::string out(1, '"');
    out.append(text);
    out.push_back('"');
    return out;
}

}  // namespace

int main(int argc, char** argv) {
    Options options;
    if (!parseOptions(argc, argv, options)) {
        usage(stderr);
        return 2;
    }
    if (!options.seedGiven)
        options.seed = static_cast<std::uint64_t>(std::chrono::system_clock::now().time_since_epoch().count());

    vornel::GameFigures f;
    std::uint64_t runChecksum = 0;
    std::vector<std::string> violations, reports;
    Timing timing;
    std::vector<vornel::DuplicatePair> pairs;
    const auto started = std::chrono::steady_clock::now();
    if (options.perGameSeeds()) {
        // FNV-1a over the games' own checksums, in game order.
        runChecksum = 0xcbf29ce484222325ULL;
        for (GameResult& r : playSeededGames(options)) {
            for (const vornel::MatchGame& game : r.games) {
                f += game.figures;
                for (int shift = 0; shift < 64; shift += 8) {
                    runChecksum ^= (game.checksum >> shift) & 0xffu;
                    runChecksum *= 0x100000001b3ULL;
                }
                violations.insert(violations.end(), game.violations.begin(), game.violations.end());
                reports.insert(reports.end(), game.reports.begin(), game.reports.end());
            }
            timing.add(r.timing.decisions, r.timing.totalMs, r.timing.maxMs);
            if (options.duplicate) pairs.push_back({std::move(r.games[0]), std::move(r.games[1])});
        }
    } else {
        vornel::GameAudit audit;
        vornel::ComputerGame game(audit, options.seed);
        for (std::uint64_t i = 0; i < options.games; ++i) {
            game.play(options.target);
            audit.finishRun();  // a game that stalled is caught here, before the next one starts
        }
        f = audit.figures();
        runChecksum = audit.checksum();
        violations = audit.violations();
        reports = game.diagnostics().reports;
    }
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();

    const auto invalidPlays = static_cast<std::uint64_t>(reports.size());
    char checksum[17];
    std::snprintf(checksum, sizeof checksum, "%016" PRIx64, runChecksum);
    char secondsText[32], rateText[32];
    std::snprintf(secondsText, sizeof secondsText, "%.3f", seconds);
    std::snprintf(rateText, sizeof rateText, "%.0f", seconds > 0 ? static_cast<double>(f.hands) / seconds : 0.0);
    // Points over the hands played out (hands thrown in score nothing).
    const std::uint64_t played = f.hands - std::min(f.hands, f.thrownInHands);
    auto perHand = [&](std::uint64_t points) {
        return fixed3(played > 0 ? static_cast<double>(points) / static_cast<double>(played) : 0.0);
    };

    std::vector<std::pair<const char*, std::string>> rows{{"seed", std::to_string(options.seed)}};
    if (options.duplicate) rows.emplace_back("pairs", std::to_string(pairs.size()));
    const std::vector<std::pair<const char*, std::string>> common{
        {"games", std::to_string(f.games)},
        {"hands", std::to_string(f.hands)},
        {"thrown_in_hands", std::to_string(f.thrownInHands)},
    };
    rows.insert(rows.end(), common.begin(), common.end());
    if (!options.duplicate) {
        rows.emplace_back("team1_wins", std::to_string(f.team1Wins));
        rows.emplace_back("team2_wins", std::to_string(f.team2Wins));
    }
    const std::vector<std::pair<const char*, std::string>> play{
        {"alone_hands", std::to_string(f.aloneHands)},
        {"marches", std::to_string(f.marches)},
        {"lone_marches", std::to_string(f.loneMarches)},
        {"vornels", std::to_string(f.vornels)},
        {"invalid_plays", std::to_string(invalidPlays)},
        {"checksum", quoted(checksum)},
        {"seconds", secondsText},
        {"hands_per_second", rateText},
    };
    rows.insert(rows.end(), play.begin(), play.end());
    if (options.duplicate) {
        // Player A is the one given as team 1: team 1 in each pair's first game.
        const vornel::DuplicateSummary d = vornel::summarise(pairs);
        const std::vector<std::pair<const char*, std::string>> duplicate{
            {"player_a", quoted(vornel::policyKindName(options.teams[1]))},
            {"player_b", quoted(vornel::policyKindName(options.teams[2]))},
            {"a_points_per_hand", fixed3(d.aPointsPerHand)},
            {"b_points_per_hand", fixed3(d.bPointsPerHand)},
            {"points_per_hand_difference", fixed3(d.pointsPerHandDifference)},
            {"points_per_hand_difference_se", fixed3(d.pointsPerHandDifferenceSe)},
            {"a_wins", std::to_string(d.aWins)},
            {"b_wins", std::to_string(d.bWins)},
            {"games_won_difference", fixed3(d.winShareDifference)},
            {"games_won_difference_se", fixed3(d.winShareDifferenceSe)},
        };
        rows.insert(rows.end(), duplicate.begin(), duplicate.end());
    } else {
        const std::vector<std::pair<const char*, std::string>> teams{
            {"team1", quoted(vornel::policyKindName(options.teams[1]))},
            {"team2", quoted(vornel::policyKindName(options.teams[2]))},
            {"team1_points_per_hand", perHand(f.team1Points)},
            {"team2_points_per_hand", perHand(f.team2Points)},
        };
        rows.insert(rows.end(), teams.begin(), teams.end());
    }
    const std::vector<std::pair<const char*, std::string>> times{
        {"decisions_expert", std::to_string(timing.decisions)},
        {"expert_ms_mean", fixed3(timing.decisions > 0 ? timing.totalMs / static_cast<double>(timing.decisions) : 0.0)},
        {"expert_ms_max", fixed3(timing.maxMs)},
    };
    rows.insert(rows.end(), times.begin(), times.end());
    if (options.json) {
        std::fputs("{", stdout);
        for (std::size_t i = 0; i < rows.size(); ++i)
            std::printf("%s\"%s\": %s", i ? ", " : "", rows[i].first, rows[i].second.c_str());
        std::fputs("}\n", stdout);
    } else {
        for (const auto& [key, value] : rows) {
            const bool isQuoted = value.size() > 1 && value.front() == '"';
            std::printf("%s: %s\n", key, isQuoted ? value.substr(1, value.size() - 2).c_str() : value.c_str());
        }
    }

    if (options.handTypes) {
        // Net points are the player's team's minus the other team's, over the hands of that type.
        std::printf("hand_type: hands_a net_points_a hands_b net_points_b\n");
        for (const auto& [type, row] : vornel::tallyHandTypes(pairs).rows)
            std::printf("%s: %llu %+lld %llu %+lld\n", type.c_str(), static_cast<unsigned long long>(row[0].hands),
                        static_cast<long long>(row[0].netPoints), static_cast<unsigned long long>(row[1].hands),
                        static_cast<long long>(row[1].netPoints));
    }
    for (const auto& violation : violations) std::fprintf(stderr, "vornel-sim: broken: %s\n", violation.c_str());
    for (const auto& report : reports) std::fprintf(stderr, "vornel-sim: host said: %s\n", report.c_str());
    return violations.empty() && invalidPlays == 0 ? 0 : 1;
}

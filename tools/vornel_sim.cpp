// vornel-sim: plays complete games with four computer players, checks every
// hand, and prints the figures. The same seed gives the same figures.

#include <cerrno>
#include <chrono>
#include <cinttypes>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "engine/game_audit.h"
#include "engine/simulation.h"

namespace {

struct Options {
    std::uint64_t games = 100;
    std::uint64_t seed = 0;
    bool seedGiven = false;
    int target = 10;
    bool json = false;
};

void usage(std::FILE* to) {
    std::fputs("usage: vornel-sim [--games N] [--seed S] [--target 5..10] [--json]\n", to);
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
        if (arg == "--json") {
            options.json = true;
            continue;
        }
        if (arg == "--help" || arg == "-h") {
            usage(stdout);
            std::exit(0);
        }
        if (arg != "--games" && arg != "--seed" && arg != "--target") {
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
    return true;
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

    vornel::GameAudit audit;
    vornel::ComputerGame game(audit, options.seed);
    const auto started = std::chrono::steady_clock::now();
    for (std::uint64_t i = 0; i < options.games; ++i) {
        game.play(options.target);
        audit.finishRun();  // a game that stalled is caught here, before the next one starts
    }
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();

    const auto& f = audit.figures();
    const auto invalidPlays = static_cast<std::uint64_t>(game.diagnostics().reports.size());
    char checksum[17];
    std::snprintf(checksum, sizeof checksum, "%016" PRIx64, audit.checksum());
    char secondsText[32], rateText[32];
    std::snprintf(secondsText, sizeof secondsText, "%.3f", seconds);
    std::snprintf(rateText, sizeof rateText, "%.0f", seconds > 0 ? static_cast<double>(f.hands) / seconds : 0.0);

    const std::vector<std::pair<const char*, std::string>> rows{
        {"seed", std::to_string(options.seed)},
        {"games", std::to_string(f.games)},
        {"hands", std::to_string(f.hands)},
        {"thrown_in_hands", std::to_string(f.thrownInHands)},
        {"team1_wins", std::to_string(f.team1Wins)},
        {"team2_wins", std::to_string(f.team2Wins)},
        {"alone_hands", std::to_string(f.aloneHands)},
        {"marches", std::to_string(f.marches)},
        {"lone_marches", std::to_string(f.loneMarches)},
        {"vornels", std::to_string(f.vornels)},
        {"invalid_plays", std::to_string(invalidPlays)},
        {"checksum", std::string("\"") + checksum + "\""},
        {"seconds", secondsText},
        {"hands_per_second", rateText},
    };
    if (options.json) {
        std::fputs("{", stdout);
        for (std::size_t i = 0; i < rows.size(); ++i)
            std::printf("%s\"%s\": %s", i ? ", " : "", rows[i].first, rows[i].second.c_str());
        std::fputs("}\n", stdout);
    } else {
        for (const auto& [key, value] : rows) {
            const bool quoted = value.size() > 1 && value.front() == '"';
            std::printf("%s: %s\n", key, quoted ? value.substr(1, value.size() - 2).c_str() : value.c_str());
        }
    }

    for (const auto& violation : audit.violations()) std::fprintf(stderr, "vornel-sim: broken: %s\n", violation.c_str());
    for (const auto& report : game.diagnostics().reports) std::fprintf(stderr, "vornel-sim: host said: %s\n", report.c_str());
    return audit.violations().empty() && invalidPlays == 0 ? 0 : 1;
}

// Plays the games whose counts guide the optimisation of the engine and the
// computer players in a release build (cmake/profile_guided.cmake): hands
// played through as the simulator and its benchmark play them, whole games
// with every announcement made, and a few games with the expert on either
// side. Built against the counting copies of those libraries only; no
// network, no files but the counts the compiler's run-time writes.
//   vornel-profile-train [HANDS]

#include <cstdio>
#include <cstdlib>
#include <memory>

#include "engine/ports.h"
#include "players/policy_match.h"
#include "players/simulation.h"

namespace {

// Takes every announcement, as a host's connections do, and keeps none.
class CountingOutput final : public vornel::Output {
public:
    void announce(vornel::Recipient, std::string_view command, std::span<const vornel::Field> fields) override {
        count += command.size() + fields.size();
    }
    std::size_t count = 0;
};

}  // namespace

int main(int argc, char** argv) {
    const long hands = argc > 1 ? std::atol(argv[1]) : 200000;
    if (hands < 1 || hands > 100000000) {
        std::fprintf(stderr, "usage: vornel-profile-train [HANDS 1..100000000]\n");
        return 2;
    }
    // Hands as a simulation plays them, announcements thrown away.
    vornel::DiscardingOutput discarding;
    vornel::ComputerGame quiet(discarding, 12345);
    long dealt = 0;
    for (long hand = 0; hand < hands; ++hand) {
        const int dealerBefore = quiet.engine().state().dealer;
        if (!quiet.timer().running()) quiet.engine().startgame("", 10);
        for (int step = 0; step < 100 && quiet.timer().running(); ++step) {
            quiet.engine().runArmedStep();
            if (quiet.engine().state().dealer != dealerBefore && quiet.engine().state().dealer != 0) break;
        }
        dealt = quiet.engine().state().history.handsDealt;
    }
    // Whole games that make every announcement, as a host does.
    CountingOutput counting;
    vornel::ComputerGame told(counting, 777);
    for (int game = 0; game < 20; ++game) told.play(10);
    // The expert on either side, so that its search is not left as code
    // that never ran.
    int expertWins = 0;
    for (int game = 0; game < 2; ++game) {
        std::unique_ptr<vornel::SeatPolicy> expert = vornel::makePolicy(vornel::PolicyKind::Expert, 91 + game);
        vornel::MatchSetup setup;
        setup.gameSeed = 31 + static_cast<std::uint64_t>(game);
        setup.target = 5;
        setup.teams[1 + game % 2] = expert.get();
        expertWins += vornel::playMatchGame(setup).winner == 1 + game % 2;
    }
    std::printf("hands: %ld (last deal %ld), announcements: %zu, expert games won: %d\n", hands, dealt,
                counting.count, expertWins);
    return 0;
}

// Computers at once: the engine of a simulation makes each computer's
// decision as soon as it is awaited. Whole games against the same games
// stepped by the timer, with standard players, players whose answers the
// rules refuse, and seats that tables play.

#include <string>
#include <vector>

#include "engine/random.h"
#include "engine_test_support.h"
#include "players/computer_players.h"
#include "players/simulation.h"

namespace vornel::test {
namespace {

// Answers the rules refuse or the engine must read generously: an unknown
// bid, the suit turned down, no answer to "alone?", a slot past the hand,
// and cards drawn at random from slots 0..6 (empty, missing or not
// following).
class StubbornPlayer final : public ComputerPlayer {
public:
    int decide(const GameState& state, int, Decision decision, RandomSource& random) override {
        ++calls_;
        switch (decision) {
        case Decision::Bid: return calls_ % 5 == 0 ? 1 : calls_ % 3 == 0 ? 9 : 2;
        case Decision::Choose: return calls_ % 2 == 0 ? state.turnedDown + 2 : 3 + calls_ % 4;
        case Decision::Alone: return 0;
        case Decision::Discard: return calls_ % 2 == 0 ? 6 : 1;
        case Decision::Play: return random.below(7);
        }
        return 0;
    }

private:
    int calls_ = 0;
};

// Who plays each seat 1..4: 'c' the standard computer player, 's' a
// stubborn one, 't' a table (answering by the standard rules through the
// entry points a table's messages reach).
struct Seating {
    const char* name;
    const char* seats;
};

struct GameRun {
    std::vector<std::string> log;
    std::vector<std::string> reports;
    int steps = 0;  // timer steps run
    int deals = 0;
    int tableAnswers = 0;
    int nextDraw = 0;  // the generator's next draw after the game
    bool over = false;
    bool oneDealPerCall = true;  // no step or table answer ran into a second deal
};

// The table at `seat` answers the decision awaited of it, if any.
bool tableAnswers(HostEngine& engine, int seat, StandardPlayer& rules, RandomSource& random) {
    const GameState& s = engine.state();
    if (s.currentBidder == seat) engine.selectedbubble(seat, rules.decide(s, seat, Decision::Bid, random));
    else if (s.currentChooser == seat) engine.selectedbubble(seat, rules.decide(s, seat, Decision::Choose, random));
    else if (s.aloneCandidate == seat && s.aloneAnswerAwaited())
        engine.selectedbubble(seat, rules.decide(s, seat, Decision::Alone, random));
    else if (s.discarder == seat) engine.playcard(seat, rules.decide(s, seat, Decision::Discard, random));
    else if (s.currentPlayer == seat) engine.playcard(seat, rules.decide(s, seat, Decision::Play, random));
    else return false;
    return true;
}

GameRun play(std::uint64_t seed, const Seating& seating, bool atOnce) {
    RecordingOutput out;
    ManualTimer timer;
    SeededRandom random(seed), tableRandom(seed + 1000);
    RecordingDiagnostics diagnostics;
    FixedBotSpeed speed(500);
    StandardPlayer standard, tableRules;
    StubbornPlayer stubborn;
    HostEngine engine({out, timer, random, diagnostics, speed, standard});
    engine.setComputersAtOnce(atOnce);
    for (int seat = 1; seat <= 4; ++seat) {
        const char who = seating.seats[seat - 1];
        if (who == 't') engine.setSeatInUse(seat, true);
        if (who == 's') engine.setSeatPlayer(seat, &stubborn);
    }
    GameRun run;
    engine.startgame("", 10);
    for (int call = 0; call < 200000 && engine.state().gameRunning; ++call) {
        const int dealsBefore = engine.state().history.handsDealt;
        if (timer.running()) {
            engine.runArmedStep();
            ++run.steps;
        } else {
            bool answered = false;
            for (int seat = 1; seat <= 4 && !answered; ++seat)
                if (seating.seats[seat - 1] == 't') answered = tableAnswers(engine, seat, tableRules, tableRandom);
            if (!answered) break;  // stalled: nobody's decision is awaited
            ++run.tableAnswers;
        }
        const int dealt = engine.state().history.handsDealt - dealsBefore;
        if (dealt > 1) run.oneDealPerCall = false;
    }
    run.deals = engine.state().history.handsDealt;  // the first dealt by startgame() too
    run.over = !engine.state().gameRunning;
    for (const Announcement& a : out.log) run.log.push_back(a.text);
    run.reports = diagnostics.reports;
    run.nextDraw = random.below(1000);
    return run;
}

TEST(ComputersAtOnce, AnnounceTheSameGamesAsTheTimersSteps) {
    const Seating seatings[] = {
        {"four standard computers", "cccc"},
        {"stubborn computers at 2 and 4", "cscs"},
        {"a table at seat 1", "tccc"},
        {"tables at 2 and 4", "ctct"},
        {"stubborn, computer and table", "sctc"},
    };
    for (const Seating& seating : seatings) {
        for (std::uint64_t seed = 1; seed <= 6; ++seed) {
            SCOPED_TRACE(std::string(seating.name) + ", seed " + std::to_string(seed));
            const GameRun stepped = play(seed, seating, false);
            const GameRun atOnce = play(seed, seating, true);
            ASSERT_TRUE(stepped.over) << "the stepped game ends";
            ASSERT_TRUE(atOnce.over) << "the game at once ends";
            ASSERT_GT(stepped.log.size(), 200u);
            ASSERT_EQ(atOnce.log, stepped.log);
            EXPECT_EQ(atOnce.reports, stepped.reports);
            EXPECT_EQ(atOnce.nextDraw, stepped.nextDraw) << "both drew alike";
            EXPECT_EQ(atOnce.deals, stepped.deals);
            EXPECT_EQ(atOnce.tableAnswers, stepped.tableAnswers) << "the tables answered the same decisions";
            EXPECT_TRUE(stepped.oneDealPerCall);
            EXPECT_TRUE(atOnce.oneDealPerCall) << "a step never runs into a second deal";
            // A played deal is at most its first bid, four trick pauses and
            // the pause after the hand: computers never wait on the timer.
            EXPECT_LE(atOnce.steps, 6 * atOnce.deals);
            EXPECT_GT(stepped.steps, 2 * atOnce.steps) << "the stepped game waits for every computer";
        }
    }
}

TEST(ComputersAtOnce, SimulationsCountTheSameHandsAndSteps) {
    // The simulation runs at once; a hand counted per deal, as the benchmark
    // counts them, and two runs of one seed alike.
    for (std::uint64_t seed : {3u, 11u, 42u}) {
        SCOPED_TRACE("seed " + std::to_string(seed));
        RecordingOutput first, second;
        ComputerGame a(first, seed), b(second, seed);
        const std::uint64_t stepsA = a.play(10), stepsB = b.play(10);
        EXPECT_EQ(stepsA, stepsB);
        ASSERT_EQ(first.take(), second.take());
        EXPECT_FALSE(a.engine().state().gameRunning);
        EXPECT_LE(stepsA, 6u * static_cast<std::uint64_t>(a.engine().state().history.handsDealt));
        EXPECT_TRUE(a.diagnostics().reports.empty());
    }
}

}  // namespace
}  // namespace vornel::test

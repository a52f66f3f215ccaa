// The engine's quick paths against the plain ones they stand for: the
// generator passing over words, an engine that makes no announcements for an
// output that does not listen and calls the simulation's timer directly, and
// a computer's card taken to the table without the checks a table's card
// gets, and the tricks of a lone hand, whose end the engine's loop keeps
// track of as the cards follow one another.

#include <algorithm>
#include <string>
#include <vector>

#include "engine/commands.h"
#include "engine/random.h"
#include "engine_test_support.h"

namespace vornel::test {
namespace {

// --- the generator passing over whole words ------------------------------

TEST(SeededRandom, WordsPassedOverAreStillDrawsInTheirPlace) {
    struct Case {
        const char* name;
        bool (*unchanged)(int, int);
    };
    const Case cases[] = {
        {"never", [](int, int) { return false; }},
        {"a third of the pairs", [](int a, int b) { return (a % 3 + b % 3) % 3 == 0; }},
        {"pairs of equal draws", [](int a, int b) { return a == b; }},
        {"pairs that rise", [](int a, int b) { return a < b; }},
    };
    // Bounds with almost no refused halves, and one that refuses about a third.
    const int bounds[] = {2, 5, 24, 1431655766};
    for (const Case& c : cases) {
        for (int n : bounds) {
            for (int before : {0, 1}) {
                for (int count : {1, 2, 7, 60}) {
                    SCOPED_TRACE(std::string(c.name) + " n " + std::to_string(n) + " before " +
                                 std::to_string(before) + " count " + std::to_string(count));
                    SeededRandom stream(4242), plain(4242);
                    for (int i = 0; i < before; ++i) {
                        stream.below(3);
                        plain.below(3);
                    }
                    // Every draw in order: those taken and those passed over.
                    std::vector<int> seen;
                    int taken = 0;
                    stream.drawWhile(
                        n,
                        [&](int draw) {
                            seen.push_back(draw);
                            return ++taken < count;
                        },
                        [&](int a, int b) {
                            // Bounded even if a case passed over nearly every word.
                            const bool passed = seen.size() < 100000 && c.unchanged(a, b);
                            if (passed) seen.insert(seen.end(), {a, b});
                            return passed;
                        });
                    std::vector<int> expected;
                    for (std::size_t i = 0; i < seen.size(); ++i) expected.push_back(plain.below(n));
                    ASSERT_EQ(taken, count);
                    ASSERT_EQ(seen, expected);
                    for (int next : {24, 7, 1000}) ASSERT_EQ(stream.below(next), plain.below(next)) << "goes on alike";
                }
            }
        }
    }
}

TEST(SeededRandom, WordsPassedOverWholeChangeNothingEvenWhereAHalfIsRefused) {
    // `take` gathers the classes (draw / span) it has not seen, so a draw of
    // a class seen before changes nothing; a word is passed over when both
    // halves fall in classes seen before, whether either half would be
    // refused or not. Against below() one draw at a time: the same classes
    // in the same order, and the generator goes on alike.
    struct Case {
        int n;
        int classes;
    };
    // 1431655766 refuses about a third of the halves; the others hardly any.
    const Case cases[] = {{2, 2}, {5, 5}, {24, 24}, {1000, 10}, {1431655766, 4}};
    for (const Case& c : cases) {
        const int span = (c.n + c.classes - 1) / c.classes;
        const auto bound = static_cast<std::uint64_t>(c.n);
        const auto threshold = static_cast<std::uint32_t>(-static_cast<std::uint32_t>(c.n)) % static_cast<std::uint32_t>(c.n);
        int passed = 0, passedRefused = 0;
        for (int before : {0, 1}) {
            for (std::uint64_t seed : {1u, 77u, 4242u, 99u}) {
                SCOPED_TRACE("n " + std::to_string(c.n) + " before " + std::to_string(before) + " seed " +
                             std::to_string(seed));
                SeededRandom stream(seed), plain(seed);
                for (int i = 0; i < before; ++i) {
                    stream.below(3);
                    plain.below(3);
                }
                auto seen = [](const std::vector<int>& classes, int draw, int span) {
                    return std::find(classes.begin(), classes.end(), draw / span) != classes.end();
                };
                std::vector<int> got;
                stream.drawWhilePassing(
                    c.n,
                    [&](int draw) {
                        if (!seen(got, draw, span)) got.push_back(draw / span);
                        return static_cast<int>(got.size()) < c.classes;
                    },
                    [&](std::uint64_t word) {
                        const std::uint64_t high = (word >> 32) * bound, low = (word & 0xffffffffu) * bound;
                        const bool over = seen(got, static_cast<int>(high >> 32), span) &&
                                          seen(got, static_cast<int>(low >> 32), span);
                        passed += over;
                        passedRefused += over && (static_cast<std::uint32_t>(high) < threshold ||
                                                  static_cast<std::uint32_t>(low) < threshold);
                        return over;
                    });
                std::vector<int> expected;
                for (int guard = 0; static_cast<int>(expected.size()) < c.classes && guard < 100000; ++guard) {
                    const int draw = plain.below(c.n);
                    if (!seen(expected, draw, span)) expected.push_back(draw / span);
                }
                ASSERT_EQ(got, expected);
                for (int next : {24, 7, 1000}) ASSERT_EQ(stream.below(next), plain.below(next)) << "goes on alike";
            }
        }
        if (c.classes >= 4) {
            EXPECT_GT(passed, 0) << "n " << c.n << ": words were passed over";
        }
        if (c.n == 1431655766) {
            EXPECT_GT(passedRefused, 0) << "words with a refused half were passed over";
        }
    }
}

// --- an output nobody listens to, and the simulation's own timer ---------

// Ports that are not the simulation's: the engine must call them through
// their interfaces, as the host's would be.
class PlainTimer final : public EngineTimer {
public:
    void start(int) override { running = true; }
    void stop() override { running = false; }
    bool running = false;
};

class PlainSpeed final : public BotSpeed {
public:
    int milliseconds() const override { return 500; }
};

class DeafCounter final : public Output {
public:
    void announce(Recipient, std::string_view, std::span<const Field>) override { ++count; }
    bool listens() const override { return false; }
    int count = 0;
};

// What a step leaves behind, as text to compare.
std::string snapshot(const HostEngine& engine) {
    const GameState& s = engine.state();
    std::string text = "step " + std::to_string(engine.stepCode()) + " interval " + std::to_string(engine.interval());
    for (int seat = 1; seat <= 4; ++seat) {
        text += " |";
        for (int slot = 1; slot <= 5; ++slot) text += " " + std::to_string(s.card(seat, slot));
        text += " t" + std::to_string(s.seat(seat).tableCard) + (s.seat(seat).sitsOut ? " out" : "");
    }
    for (int team = 1; team <= 2; ++team)
        text += " team" + std::to_string(team) + " " + std::to_string(s.teams[team].score) + "/" +
                std::to_string(s.teams[team].tricks) + (s.teams[team].maker ? "m" : "");
    for (int v : {s.dealer, s.trump, s.currentBidder, s.currentChooser, s.aloneCandidate, s.discarder,
                  s.currentPlayer, s.ledSuit, s.trickNumber, s.history.playCount, s.history.bidCount})
        text += " " + std::to_string(v);
    return text + (s.gameRunning ? " running" : " over");
}

TEST(QuietEngine, PlaysTheSameGamesAsOneThatAnnouncesEverything) {
    for (std::uint64_t seed = 1; seed <= 12; ++seed) {
        SCOPED_TRACE("seed " + std::to_string(seed));
        // Plain: every announcement recorded, the ports called through their interfaces.
        RecordingOutput loud;
        PlainTimer plainTimer;
        PlainSpeed plainSpeed;
        SeededRandom loudRandom(seed);
        RecordingDiagnostics loudDiagnostics;
        StandardPlayer loudPlayer;
        HostEngine plain({loud, plainTimer, loudRandom, loudDiagnostics, plainSpeed, loudPlayer});
        // Quick: nobody listens, the simulation's timer and speed.
        DeafCounter deaf;
        ManualTimer manualTimer;
        FixedBotSpeed fixedSpeed(500);
        SeededRandom quietRandom(seed);
        RecordingDiagnostics quietDiagnostics;
        StandardPlayer quietPlayer;
        HostEngine quick({deaf, manualTimer, quietRandom, quietDiagnostics, fixedSpeed, quietPlayer});

        plain.startgame("", 10);
        quick.startgame("", 10);
        ASSERT_EQ(snapshot(quick), snapshot(plain));
        int steps = 0;
        for (; steps < 100000 && plainTimer.running; ++steps) {
            plain.runArmedStep();
            quick.runArmedStep();
            ASSERT_EQ(manualTimer.running(), plainTimer.running) << "step " << steps;
            ASSERT_EQ(snapshot(quick), snapshot(plain)) << "step " << steps;
        }
        EXPECT_FALSE(plain.state().gameRunning);
        EXPECT_FALSE(manualTimer.running());
        EXPECT_GT(manualTimer.starts(), steps / 2) << "the manual timer was started through its direct path";
        EXPECT_EQ(manualTimer.interval(), 500);
        EXPECT_GT(loud.log.size(), static_cast<std::size_t>(steps)) << "the plain engine announced the game";
        EXPECT_EQ(deaf.count, 0) << "an output that does not listen hears nothing";
        EXPECT_EQ(quietDiagnostics.reports, loudDiagnostics.reports);
        EXPECT_EQ(quietRandom.below(1000), loudRandom.below(1000)) << "both drew alike";
    }
}

// --- a computer's card against the same card from a table ----------------

// The texts the rig's engine announced, in order.
std::vector<std::string> announced(const EngineRig& rig) {
    std::vector<std::string> log;
    for (const Announcement& a : rig.out.log) log.push_back(a.text);
    return log;
}

// Plays a game in which the tables of all four seats make the standard
// player's choices and send them through the entry points, as a table does.
std::vector<std::string> playedByTables(std::uint64_t seed) {
    EngineRig rig(seed);
    rig.humans({1, 2, 3, 4});
    StandardPlayer standard;
    GameState& s = rig.state();
    rig.engine.startgame("", 10);
    for (int step = 0; step < 100000 && s.gameRunning; ++step) {
        if (rig.engine.stepCode() != 0) {
            rig.engine.runArmedStep();
        } else if (s.currentBidder != 0) {
            const int seat = s.currentBidder;
            rig.engine.selectedbubble(seat, standard.decide(s, seat, Decision::Bid, rig.random) == 1 ? 1 : 2);
        } else if (s.currentChooser != 0) {
            const int seat = s.currentChooser;
            rig.engine.selectedbubble(seat, standard.decide(s, seat, Decision::Choose, rig.random));
        } else if (s.aloneAnswerAwaited()) {
            const int seat = s.aloneCandidate;
            rig.engine.selectedbubble(seat, standard.decide(s, seat, Decision::Alone, rig.random) == 7 ? 7 : 8);
        } else if (s.discarder != 0) {
            const int seat = s.discarder;
            rig.engine.playcard(seat, standard.decide(s, seat, Decision::Discard, rig.random));
        } else if (s.currentPlayer != 0) {
            const int seat = s.currentPlayer;
            rig.engine.playcard(seat, standard.decide(s, seat, Decision::Play, rig.random));
        } else {
            ADD_FAILURE() << "nobody's turn at step " << step;
            break;
        }
    }
    EXPECT_FALSE(s.gameRunning);
    return announced(rig);
}

std::vector<std::string> playedByComputer(std::uint64_t seed) {
    EngineRig rig(seed);
    rig.engine.startgame("", 10);
    for (int step = 0; step < 100000 && rig.engine.stepCode() != 0; ++step) rig.engine.runArmedStep();
    EXPECT_FALSE(rig.state().gameRunning);
    EXPECT_TRUE(rig.diagnostics.reports.empty());
    return announced(rig);
}

TEST(ComputerCards, GoTheSameWayAsTheSameCardsFromTables) {
    for (std::uint64_t seed = 1; seed <= 10; ++seed) {
        SCOPED_TRACE("seed " + std::to_string(seed));
        const std::vector<std::string> computer = playedByComputer(seed);
        const std::vector<std::string> tables = playedByTables(seed);
        ASSERT_GT(computer.size(), 100u);
        ASSERT_EQ(computer, tables);
    }
}

// --- a lone hand's tricks, computers at once against tables --------------

// Plays out the hand from the position the rig holds: computers at once
// (the leader's card through the general way when `leaderIsTable`, the
// followers' cards in the engine's own loop), or every card from a table
// with the standard player's choice. Returns what was announced.
std::vector<std::string> playOutHand(EngineRig& rig, int leader, bool allTables, bool leaderIsTable) {
    StandardPlayer standard;
    GameState& s = rig.state();
    if (allTables) rig.humans({1, 2, 3, 4});
    else if (leaderIsTable) rig.humans({leader});
    rig.engine.setComputersAtOnce(!allTables);
    if (!allTables && !leaderIsTable) rig.engine.actNowForSeat(leader);
    for (int step = 0; step < 200 && s.trickNumber <= 5; ++step) {
        if (rig.engine.stepCode() != 0) {
            rig.engine.runArmedStep();
        } else if (s.currentPlayer != 0) {
            const int seat = s.currentPlayer;
            rig.engine.playcard(seat, standard.decide(s, seat, Decision::Play, rig.random));
        } else {
            ADD_FAILURE() << "nobody's turn at step " << step;
            break;
        }
    }
    EXPECT_GT(s.trickNumber, 5) << "the hand was played out";
    EXPECT_TRUE(rig.diagnostics.reports.empty());
    return announced(rig);
}

TEST(ComputerCards, EndALoneHandsTricksAfterThreeCardsAsTablesDo) {
    // Four hands dealt from one deck; trump Hearts.
    const std::array<Hand, 4> hands{Hand{HJ, C9, SA, DK, HT}, Hand{DJ, CA, S9, D9, HQ},
                                    Hand{HA, CK, ST, DT, CT}, Hand{HK, SK, DA, H9, CJ}};
    struct Case {
        int loner;
        int leader;
        bool leaderIsTable;  // a table's card already lies on the table when the computers follow
    };
    const Case cases[] = {
        {1, 1, false}, {1, 2, false}, {1, 4, true}, {2, 2, false}, {2, 3, true},
        {3, 4, false}, {3, 3, true},  {4, 1, false}, {4, 4, true}, {2, 1, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE("loner " + std::to_string(c.loner) + " leader " + std::to_string(c.leader) +
                     (c.leaderIsTable ? " (a table)" : ""));
        auto position = [&](EngineRig& rig) {
            GameState& s = rig.state();
            s.gameRunning = true;
            s.target = 10;
            s.dealer = c.loner;
            positionForPlay(s, kHearts, c.loner, c.leader, hands);
            s.seat(c.loner).wentAlone = true;
            s.seat(partnerOf(c.loner)).sitsOut = true;
        };
        EngineRig atOnce(7), tables(7);
        position(atOnce);
        position(tables);
        const std::vector<std::string> computer = playOutHand(atOnce, c.leader, false, c.leaderIsTable);
        const std::vector<std::string> table = playOutHand(tables, c.leader, true, false);
        ASSERT_EQ(computer, table);
        // Three cards to each of the five tricks, none from the partner who sits out.
        const auto count = [&](const std::string& prefix) {
            return std::count_if(computer.begin(), computer.end(),
                                 [&](const std::string& line) { return line.rfind(prefix, 0) == 0; });
        };
        EXPECT_EQ(count("all " + std::string(cmd::PlayedCard)), 15);
        EXPECT_EQ(count("all " + std::string(cmd::PlayedCard) + " " + std::to_string(partnerOf(c.loner))), 0);
        EXPECT_EQ(count("all " + std::string(cmd::TrickWinner)), 5);
    }
}

}  // namespace
}  // namespace vornel::test

// The turns of the lobby server's update groups, with the timer aimed where
// the core asks (LobbyCore::nextTickMs, as the Qt server aims its own): how
// soon a change reaches every player, how far apart one player's updates
// are, and what a late tick does to the turns after it. Also: the groups
// stay even as players come and go.

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "lobby_core_fixture.h"

namespace vornel::lobby::test {
namespace {

// How late the tick aimed at `aimedMs` comes; `tick` counts from 0.
using Lateness = std::function<std::int64_t(int tick, std::int64_t aimedMs)>;

struct TurnsCase {
    const char* label;
    Lateness late;
    // Changes made from this long after the start count (a stall delays those before it).
    std::int64_t measureFromMs;
    // How much longer than a group's period a change may take to reach every player.
    std::int64_t reachSlackMs;
};

class UpdateTurnsTest : public LobbyCoreTest, public ::testing::WithParamInterface<TurnsCase> {
protected:
    static constexpr int kPlayers = 3 * LobbyCore::kUpdateGroups;
    static constexpr std::int64_t kRunMs = 5000;

    struct Run {
        std::map<int, std::vector<std::int64_t>> updatesAt;  // connection -> when each update was written
        std::vector<std::int64_t> turnsAt;                   // when each group's update was written
        std::vector<std::int64_t> changesAt;                 // a change right after each tick
        int mostGroupsInOneTick = 0;
    };

    // Ticks for kRunMs where the core asks, as late as the case says; P0 makes
    // a change right after every tick.
    Run play(Lateness late) {
        for (int i = 0; i < kPlayers; ++i) join("P" + std::to_string(i));
        Run run;
        std::map<int, std::size_t> seen;
        const std::int64_t start = clock.now;
        int table = 0;
        for (int n = 0; clock.now - start < kRunMs; ++n) {
            EXPECT_LE(core.nextTickMs() - clock.now, LobbyCore::kTickIntervalMs + 1) << "the timer is never idle long";
            const std::int64_t aimed = std::max(core.nextTickMs(), clock.now);
            clock.now = aimed + late(n, aimed - start);
            const std::size_t writes = transport.manyLog.size();
            core.tick();
            int groups = 0;
            for (std::size_t i = writes; i < transport.manyLog.size(); ++i)
                groups += transport.manyLog[i].second.find("LOBBY_update+") != std::string::npos;
            if (groups > 0) run.turnsAt.push_back(clock.now);
            run.mostGroupsInOneTick = std::max(run.mostGroupsInOneTick, groups);
            for (const auto& [name, connection] : names) {
                const std::size_t updates = withPrefix(connection, "LOBBY_update+").size();
                if (updates == seen[connection]) continue;
                seen[connection] = updates;
                run.updatesAt[connection].push_back(clock.now);
            }
            say("P0", n % 2 == 0 ? "LOBBY_newtable+T" + std::to_string(n) : "LOBBY_leave+" + std::to_string(++table));
            run.changesAt.push_back(clock.now);
        }
        return run;
    }
};

TEST_P(UpdateTurnsTest, AChangeReachesEveryoneWithinAGroupsPeriodAndNoGroupGetsMoreThanFourUpdatesASecond) {
    const TurnsCase& c = GetParam();
    const Run run = play(c.late);
    EXPECT_EQ(run.updatesAt.size(), static_cast<std::size_t>(kPlayers)) << "everyone had updates";
    EXPECT_LE(run.mostGroupsInOneTick, 1) << "one group's turn per tick, the sockets read in between";
    const std::int64_t start = run.changesAt.front();
    for (const auto& [connection, times] : run.updatesAt) {
        for (std::size_t i = 1; i < times.size(); ++i)
            EXPECT_GE(times[i] - times[i - 1], kUpdateIntervalMs) << "connection " << connection;
        for (std::size_t i = LobbyCore::kUpdatesPerSecond; i < times.size(); ++i)
            EXPECT_GE(times[i] - times[i - LobbyCore::kUpdatesPerSecond], 1000) << "connection " << connection;
    }
    // The groups' turns stay spread over the quarter second: a jittery timer
    // may bring two or three close together, but never half the groups.
    const std::size_t half = LobbyCore::kUpdateGroups / 2;
    for (std::size_t i = half; i < run.turnsAt.size(); ++i) {
        if (run.turnsAt[i - half] - start < c.measureFromMs) continue;
        EXPECT_GE(run.turnsAt[i] - run.turnsAt[i - half], LobbyCore::kTickIntervalMs) << "turns by " << run.turnsAt[i];
    }
    // Each change measured: until the last player has had an update after it.
    const std::int64_t period = LobbyCore::kGroupPeriodMs;
    std::int64_t longest = 0;
    int measured = 0;
    for (const std::int64_t at : run.changesAt) {
        if (at - start < c.measureFromMs || at > run.changesAt.back() - 2 * period) continue;
        std::int64_t reached = at;
        for (const auto& [connection, times] : run.updatesAt) {
            const auto next = std::upper_bound(times.begin(), times.end(), at);
            ASSERT_NE(next, times.end()) << "connection " << connection << " never heard of the change at " << at;
            reached = std::max(reached, *next);
        }
        longest = std::max(longest, reached - at);
        ++measured;
    }
    EXPECT_GT(measured, 50);
    EXPECT_LE(longest, period + c.reachSlackMs);
    // And each list ends where everybody's does.
    clock.now += 2 * period;
    tick();
    for (const auto& [name, connection] : names) EXPECT_EQ(listOf(connection).tables(), listOf("P0").tables()) << name;
}

INSTANTIATE_TEST_SUITE_P(
    Timer, UpdateTurnsTest,
    ::testing::Values(TurnsCase{"OnTime", [](int, std::int64_t) { return std::int64_t{0}; }, 0, 0},
                      TurnsCase{"EveryTick3msLate", [](int, std::int64_t) { return std::int64_t{3}; }, 0, 3},
                      TurnsCase{"NowAndThen9msLate",
                                [](int n, std::int64_t) { return std::int64_t{n % 7 == 3 ? 9 : 0}; }, 0, 9},
                      // A busy moment: one tick 400 ms late. The turns go on
                      // from then in their order, and none is held back for it.
                      TurnsCase{"OneTick400msLate",
                                [](int, std::int64_t sinceStart) {
                                    return std::int64_t{sinceStart >= 2000 && sinceStart < 2030 ? 400 : 0};
                                },
                                2600, 0}),
    [](const ::testing::TestParamInfo<TurnsCase>& info) { return std::string(info.param.label); });

TEST_F(LobbyCoreTest, NewcomersFillTheSmallestUpdateGroupSoTheGroupsStayEven) {
    const int groups = LobbyCore::kUpdateGroups;
    for (int i = 0; i < 3 * groups; ++i) join("P" + std::to_string(i));
    say("P0", "LOBBY_newtable+First");
    std::size_t from = transport.manyLog.size();
    tick();
    // Everybody of one group leaves: the group that had the first turn.
    ASSERT_GT(transport.manyLog.size(), from);
    const std::vector<int> leaving = transport.manyLog[from].second.find("LOBBY_update+") != std::string::npos
                                         ? transport.manyLog[from].first
                                         : std::vector<int>{};
    ASSERT_EQ(leaving.size(), 3u);
    for (const int connection : leaving) core.connectionClosed(connection);
    // Two left elsewhere as well: the smallest groups fill first.
    core.connectionClosed(of("P29"));
    core.connectionClosed(of("P28"));
    for (int i = 0; i < 5; ++i) join("N" + std::to_string(i));
    say("N0", "LOBBY_newtable+Second");
    from = transport.manyLog.size();
    tick();
    std::map<std::size_t, int> sizes;
    int written = 0;
    for (std::size_t i = from; i < transport.manyLog.size(); ++i) {
        if (transport.manyLog[i].second.find("LOBBY_update+") == std::string::npos) continue;
        ++sizes[transport.manyLog[i].first.size()];
        written += static_cast<int>(transport.manyLog[i].first.size());
    }
    EXPECT_EQ(written, 3 * groups) << "everyone had the update once";
    EXPECT_EQ(sizes, (std::map<std::size_t, int>{{3u, groups}})) << "every group holds three again";
}

}  // namespace
}  // namespace vornel::lobby::test

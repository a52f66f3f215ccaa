// The start of a table's game in the server's core: the reachability check
// and its results, the host's game, the watchers' and players' games one
// seat at a time, the host's address each one gets, the deadlines, and the
// ends of a game.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "lobby/lobby_notices.h"
#include "lobby_core_fixture.h"

namespace vornel::lobby::test {
namespace {

constexpr std::string_view kHostPeer = "198.51.100.1";   // the host's public address
constexpr std::string_view kHostLocal = "192.168.1.10";  // and his own on his home network

class LobbyStartTest : public LobbyCoreTest {
protected:
    // Ann hosts table 1 from kHostPeer; the others join from the peers given.
    void table(const std::vector<std::pair<std::string, std::string>>& seated,
               const std::vector<std::pair<std::string, std::string>>& watching = {}) {
        join("Ann", kHostPeer);
        say("Ann", "LOBBY_newtable+Evening");
        for (const auto& [seatAndName, peer] : seated) {
            const std::string name = seatAndName.substr(2);
            join(name, peer);
            say(name, "LOBBY_sit+1+" + seatAndName.substr(0, 1));
        }
        for (const auto& [name, peer] : watching) {
            join(name, peer);
            say(name, "LOBBY_watch+1");
        }
        join("Out", "203.0.113.77");  // in the lobby, not at the table
    }

    // The check up to its result.
    void check(ProbeResult result) {
        say("Ann", "LOBBY_start+1+7772+" + std::string(kHostLocal));
        say("Ann", "LOBBY_probeready+1+Secret123");
        ASSERT_FALSE(prober.checks.empty());
        core.probeFinished(prober.checks.back().probe, result);
    }
    void startAnyway() {
        check(ProbeResult::Refused);
        say("Ann", "LOBBY_startanyway+1");
    }
    // The last message but the list's updates, which any tick may bring.
    std::string last(const std::string& name) const {
        const Messages all = messages(name);
        for (auto it = all.rbegin(); it != all.rend(); ++it)
            if (!startsWith(*it, "LOBBY_update+")) return *it;
        return {};
    }
    Messages launches(const std::string& name) const { return withPrefix(of(name), "LOBBY_launch+"); }
    TableState stateSeenBy(const std::string& name) const { return listOf(name).table(1)->state; }
};

// --- the check ----------------------------------------------------------------------

TEST_F(LobbyStartTest, TheCheckConnectsToTheHostAsTheServerSeesHimWithHisToken) {
    table({});
    say("Ann", "LOBBY_start+1+7001+" + std::string(kHostLocal));
    EXPECT_EQ(last("Ann"), "LOBBY_probelisten+1+7001");
    EXPECT_TRUE(prober.checks.empty()) << "nothing is checked before the host's lobby listens";
    say("Ann", "LOBBY_probeready+1+bad-token");
    EXPECT_EQ(last("Ann"), "LOBBY_error+badtoken+The check's token has 8 to 64 letters and digits.");
    say("Ann", "LOBBY_probeready+1+Secret123");
    ASSERT_EQ(prober.checks.size(), 1u);
    EXPECT_EQ(prober.checks[0].address, kHostPeer);
    EXPECT_EQ(prober.checks[0].port, 7001);
    EXPECT_EQ(prober.checks[0].token, "Secret123");
    say("Ann", "LOBBY_probeready+1+Secret456");
    EXPECT_EQ(last("Ann"), "LOBBY_error+unexpected+That does not fit the start of table 1 now.");

    core.probeFinished(prober.checks[0].probe, ProbeResult::Reachable);
    const Messages got = messages("Ann");
    EXPECT_EQ(got[got.size() - 2], "LOBBY_probe+1+reachable+" + notice::probeText(ProbeResult::Reachable, kHostPeer, 7001));
    EXPECT_EQ(got.back(), "LOBBY_launch+1+host+1+127.0.0.1+7001+Ann") << "a reachable table starts at once";
    core.probeFinished(prober.checks[0].probe, ProbeResult::Other);
    EXPECT_EQ(last("Ann"), got.back()) << "a second report of the same check changes nothing";
}

struct FailedCheckCase {
    ProbeResult result;
    std::string_view word;
    std::vector<std::string_view> says;
};

TEST_F(LobbyStartTest, AFailedCheckExplainsWhatToDoAndTheHostMayStartAnyway) {
    const std::vector<FailedCheckCase> cases = {
        {ProbeResult::Refused, "refused", {"nothing answered", "TCP port 7772 is opened on your router", "Connecting", "start anyway"}},
        {ProbeResult::NoAnswer, "noanswer", {"no answer", "router or firewall", "TCP port 7772 is opened", "start anyway"}},
        {ProbeResult::Other, "other", {"Another program answered", "forwarded to this computer", "start anyway"}},
    };
    table({{"2 Bob", "203.0.113.2"}});
    for (const FailedCheckCase& c : cases) {
        SCOPED_TRACE(std::string(c.word));
        check(c.result);
        const std::string answer = last("Ann");
        const auto [command, rest] = net::splitCommand(answer);
        EXPECT_EQ(command, "LOBBY_probe");
        const auto probe = parse::probe(rest);
        ASSERT_TRUE(probe.has_value());
        EXPECT_EQ(probe->result, c.result);
        for (const std::string_view part : c.says) EXPECT_NE(probe->text.find(part), std::string_view::npos) << part;
        EXPECT_NE(probe->text.find(kHostPeer), std::string_view::npos);
        tick();
        EXPECT_EQ(stateSeenBy("Bob"), TableState::Waiting);
        EXPECT_TRUE(launches("Ann").empty());
    }
    say("Ann", "LOBBY_startanyway+1");
    EXPECT_EQ(last("Ann"), "LOBBY_launch+1+host+1+127.0.0.1+7772+Ann");
    tick();
    EXPECT_EQ(stateSeenBy("Bob"), TableState::Playing);
}

TEST_F(LobbyStartTest, ACheckThatNeverGetsGoingEndsByItsDeadlines) {
    table({});
    say("Ann", "LOBBY_start+1+7772+" + std::string(kHostLocal));
    passTime(kProbeReadyWithinMs);
    EXPECT_TRUE(last("Ann").starts_with("LOBBY_probe+1+notready+Your lobby did not listen on TCP port 7772"));
    say("Ann", "LOBBY_start+1+7772+" + std::string(kHostLocal));
    say("Ann", "LOBBY_probeready+1+Secret123");
    passTime(kProbeConnectMs + kProbeReadMs + 5000);
    EXPECT_TRUE(last("Ann").starts_with("LOBBY_probe+1+noanswer+")) << "a prober that never reports";
    core.probeFinished(prober.checks.back().probe, ProbeResult::Reachable);
    EXPECT_TRUE(last("Ann").starts_with("LOBBY_probe+1+noanswer+")) << "too late to count";
    say("Ann", "LOBBY_startanyway+1");
    EXPECT_EQ(last("Ann"), "LOBBY_launch+1+host+1+127.0.0.1+7772+Ann");
}

// --- the whole start ----------------------------------------------------------------

TEST_F(LobbyStartTest, WatchersThenEachSeatInOrderEachAfterTheLastHasArrived) {
    // Bob shares the host's public address; Cy and Di come from elsewhere.
    table({{"3 Bob", std::string(kHostPeer)}}, {{"Cy", "203.0.113.3"}, {"Di", "203.0.113.4"}});
    startAnyway();
    EXPECT_EQ(last("Ann"), "LOBBY_launch+1+host+1+127.0.0.1+7772+Ann");
    for (const char* other : {"Bob", "Cy", "Di", "Out"}) EXPECT_TRUE(launches(other).empty()) << other;
    tick();
    EXPECT_EQ(stateSeenBy("Out"), TableState::Playing);
    say("Ann", "LOBBY_gamerunning+");
    say("Bob", "LOBBY_sit+1+2");
    EXPECT_EQ(last("Bob"), "LOBBY_error+tablebusy+The game at table 1 is starting or running: wait until it ends.");

    // The host's game runs and his keepers hold seats 2-4: the watchers go.
    say("Ann", "LOBBY_hostready+1");
    EXPECT_EQ(last("Cy"), "LOBBY_launch+1+watcher+0+198.51.100.1+7772+Cy");
    EXPECT_EQ(last("Di"), "LOBBY_launch+1+watcher+0+198.51.100.1+7772+Di");
    EXPECT_TRUE(launches("Bob").empty()) << "the seats wait for the watchers";
    say("Ann", "LOBBY_arrived+1+6+Di");
    EXPECT_EQ(last("Ann"), "LOBBY_launch+1+host+1+127.0.0.1+7772+Ann") << "Cy is still awaited";
    say("Ann", "LOBBY_arrived+1+6+Di");
    EXPECT_EQ(last("Ann"), "LOBBY_error+unexpected+That does not fit the start of table 1 now.") << "Di came once";
    say("Ann", "LOBBY_arrived+1+5+Cy");
    // Then Bob's seat: freed, then his game, which gets the host's own address.
    EXPECT_EQ(last("Ann"), "LOBBY_freeseat+1+3");
    EXPECT_TRUE(launches("Bob").empty());
    say("Ann", "LOBBY_seatfree+1+3");
    EXPECT_EQ(last("Bob"), "LOBBY_launch+1+player+3+192.168.1.10+7772+Bob");
    // Seats 2 and 4 are still kept, so the arrival is awaited, then they are let go.
    say("Ann", "LOBBY_arrived+1+2+Bob");
    EXPECT_EQ(last("Ann"), "LOBBY_error+unexpected+That does not fit the start of table 1 now.");
    say("Ann", "LOBBY_arrived+1+3+Bob");
    const Messages host = messages("Ann");
    EXPECT_EQ(host[host.size() - 2], "LOBBY_releaseseats+1");
    for (const char* member : {"Ann", "Bob", "Cy", "Di"}) EXPECT_EQ(last(member), "LOBBY_gameready+1") << member;
    EXPECT_TRUE(launches("Out").empty());

    say("Bob", "LOBBY_gamerunning+");
    tick();
    EXPECT_EQ(listOf("Out").player("Bob")->state, PlayerState::Playing);
    EXPECT_EQ(listOf("Out").player("Bob")->table, 1);

    // The host's game ends: everyone else is told, the table waits again.
    say("Ann", "LOBBY_gameended+");
    for (const char* member : {"Bob", "Cy", "Di"})
        EXPECT_EQ(last(member), "LOBBY_gameover+1+hostleft+The host left: the game at table 1 is over.") << member;
    say("Bob", "LOBBY_gameended+");
    tick();
    EXPECT_EQ(stateSeenBy("Out"), TableState::Waiting);
    EXPECT_EQ(listOf("Out").player("Bob")->state, PlayerState::Table);
    say("Bob", "LOBBY_sit+1+2");
    tick();
    EXPECT_EQ(listOf("Out").table(1)->seats[1], "Bob");
}

TEST_F(LobbyStartTest, WithEverySeatTakenTheLastSeatNeedsNoArrival) {
    table({{"2 Bob", "203.0.113.2"}, {"3 Cy", "203.0.113.3"}, {"4 Di", "203.0.113.4"}});
    startAnyway();
    say("Ann", "LOBBY_hostready+1");
    const std::vector<std::pair<std::string, int>> order = {{"Bob", 2}, {"Cy", 3}, {"Di", 4}};
    for (const auto& [name, seat] : order) {
        EXPECT_EQ(last("Ann"), "LOBBY_freeseat+1+" + std::to_string(seat));
        say("Ann", "LOBBY_seatfree+1+" + std::to_string(seat));
        EXPECT_EQ(launches(name), Messages{"LOBBY_launch+1+player+" + std::to_string(seat) + "+198.51.100.1+7772+" + name});
        for (const auto& [later, laterSeat] : order) {
            if (laterSeat <= seat) continue;
            EXPECT_TRUE(launches(later).empty()) << later << " before " << name;
        }
        if (seat < 4) say("Ann", "LOBBY_arrived+1+" + std::to_string(seat) + "+" + name);
    }
    EXPECT_EQ(last("Ann"), "LOBBY_gameready+1") << "no keeper is left to let go";
    EXPECT_TRUE(withPrefix(of("Ann"), "LOBBY_releaseseats").empty());
}

TEST_F(LobbyStartTest, APlayerWhoseGameDoesNotComeHasHisSeatKeptAgainAndTheNextGoesOn) {
    table({{"2 Bob", "203.0.113.2"}, {"3 Cy", "203.0.113.3"}}, {{"Wes", "203.0.113.5"}});
    startAnyway();
    say("Ann", "LOBBY_hostready+1");
    // The watcher's game never arrives: after its wait the seats go on without it.
    passTime(kWatchersWithinMs);
    EXPECT_EQ(last("Wes"), "LOBBY_gameover+1+late+Your game did not reach the host's game at table 1 in time.");
    EXPECT_EQ(last("Ann"), "LOBBY_freeseat+1+2");
    say("Ann", "LOBBY_seatfree+1+2");
    passTime(kSeatArrivalWithinMs);
    EXPECT_EQ(last("Bob"),
              "LOBBY_gameover+1+late+Your game did not reach the host's game at table 1 in time: the computer plays your seat.");
    EXPECT_EQ(last("Ann"), "LOBBY_holdseat+1+2");
    EXPECT_TRUE(launches("Cy").empty()) << "not while seat 2 is free";
    say("Ann", "LOBBY_seatheld+1+2");
    EXPECT_EQ(last("Ann"), "LOBBY_freeseat+1+3");
    say("Ann", "LOBBY_seatfree+1+3");
    // Cy's game ends before it arrives: the same as not coming.
    say("Cy", "LOBBY_gameended+");
    EXPECT_EQ(last("Ann"), "LOBBY_holdseat+1+3");
    say("Ann", "LOBBY_seatheld+1+3");
    EXPECT_EQ(last("Ann"), "LOBBY_gameready+1");
    EXPECT_EQ(withPrefix(of("Ann"), "LOBBY_releaseseats+"), Messages{"LOBBY_releaseseats+1"});
}

TEST_F(LobbyStartTest, AHostsLobbyThatDoesNotAnswerCallsTheStartOff) {
    struct Case {
        const char* label;
        std::vector<std::string> hostSays;
        int waitMs;
    };
    const std::vector<Case> cases = {
        {"no hostready", {}, kHostReadyWithinMs},
        {"no seatfree", {"LOBBY_hostready+1"}, kSeatReportWithinMs},
    };
    table({{"2 Bob", "203.0.113.2"}});
    for (const Case& c : cases) {
        startAnyway();
        for (const std::string& m : c.hostSays) say("Ann", m);
        passTime(c.waitMs);
        EXPECT_EQ(last("Ann"), "LOBBY_gameover+1+failed+The host's game at table 1 could not be started.") << c.label;
        tick();
        EXPECT_EQ(stateSeenBy("Bob"), TableState::Waiting) << c.label;
        EXPECT_TRUE(launches("Bob").empty()) << c.label;
        say("Ann", "LOBBY_gameended+");
    }
}

TEST_F(LobbyStartTest, TheHostLeavingClosesTheTableAndRemovingEndsOnesPart) {
    table({{"2 Bob", "203.0.113.2"}, {"4 Cy", "203.0.113.3"}});
    startAnyway();
    say("Ann", "LOBBY_hostready+1");
    say("Ann", "LOBBY_seatfree+1+2");
    say("Ann", "LOBBY_arrived+1+2+Bob");
    // Removing Cy, whose seat is being freed, keeps the seat for the computer.
    say("Ann", "LOBBY_remove+1+Cy");
    EXPECT_EQ(last("Cy"), "LOBBY_removed+1+You were removed from table 1 by its host.");
    say("Ann", "LOBBY_seatfree+1+4");
    EXPECT_EQ(last("Ann"), "LOBBY_holdseat+1+4");
    EXPECT_TRUE(launches("Cy").empty());
    say("Ann", "LOBBY_seatheld+1+4");
    EXPECT_EQ(last("Bob"), "LOBBY_gameready+1");

    core.connectionClosed(of("Ann"));
    EXPECT_EQ(last("Bob"), "LOBBY_tableclosed+1+hostleft+The host left: table 1 has closed.");
    tick();
    EXPECT_EQ(listOf("Out").table(1), nullptr);
    say("Bob", "LOBBY_gameended+");
    EXPECT_EQ(last("Bob"), "LOBBY_tableclosed+1+hostleft+The host left: table 1 has closed.")
        << "his game's end is taken without a word";
}

TEST_F(LobbyStartTest, AConnectionClosedForItsFaultHearsNothingMoreEvenWhenItsLeavingEndsTheStart) {
    table({}, {{"Wes", "203.0.113.5"}});
    startAnyway();
    say("Ann", "LOBBY_hostready+1");
    ASSERT_EQ(launches("Wes").size(), 1u);
    // The last awaited watcher floods: his leaving finishes the start.
    core.received(of("Wes"), std::string(kMaxClientMessage + 10, 'x'));
    drain();
    EXPECT_EQ(messages("Wes").back(), "LOBBY_closing+toolong+Your lobby sent a message longer than 1024 bytes.");
    EXPECT_TRUE(closed(of("Wes")));
    EXPECT_EQ(last("Ann"), "LOBBY_gameready+1");
}

TEST_F(LobbyStartTest, AServerOnTheHostsComputerGivesEveryoneTheHostsLocalAddress) {
    join("Ann", "127.0.0.1");
    say("Ann", "LOBBY_newtable+Home");
    join("Bob", "192.168.1.11");
    say("Bob", "LOBBY_sit+1+2");
    say("Ann", "LOBBY_start+1+7772+192.168.1.10");
    say("Ann", "LOBBY_probeready+1+Secret123");
    EXPECT_EQ(prober.checks.back().address, "127.0.0.1");
    core.probeFinished(prober.checks.back().probe, ProbeResult::Reachable);
    say("Ann", "LOBBY_hostready+1");
    say("Ann", "LOBBY_seatfree+1+2");
    EXPECT_EQ(last("Bob"), "LOBBY_launch+1+player+2+192.168.1.10+7772+Bob");
}

}  // namespace
}  // namespace vornel::lobby::test

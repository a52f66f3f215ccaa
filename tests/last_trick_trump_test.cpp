// The last-trick window's trump frame through whole hands as the host sends
// them: it shows the trump the table shows after every trick, and empties
// only when the bidding of the next hand begins.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/game_log_window.h"
#include "app/last_trick_window.h"
#include "app/spy_list_window.h"
#include "table_test_support.h"

namespace vornel::app {
namespace {

using table::test::shows;
using table::test::showsNothing;

// A table at seat 1 whose side windows are the real ones.
struct TableWithSideWindows {
    table::RecordingServices services;
    table::TableWindow table;
    GameLogWindow log{table};
    LastTrickWindow last{table};
    SpyListWindow spies{table};

    TableWithSideWindows() {
        table.setServices({log, last, services, spies, services});
        table.show();
        table.dispatch("CMD_sendlogininfo+1");
        table.dispatch("CMD_newplayerinfo+1+You");
        table.dispatch("CMD_startgame+You+10+");
    }
    ~TableWithSideWindows() { table.unsetServices(); }
    QPixmap corner(int image) const {
        return table.artwork().card(image).copy(QRect({0, 0}, LastTrickWindow::kFrameSize));
    }
};

std::string msg(const std::string& command, const std::vector<int>& fields) {
    std::string text = command;
    for (int field : fields) text += "+" + std::to_string(field);
    return text + "+";
}

// The deal of one hand to seat 1's table: the own five cards, backs for the others.
std::vector<std::string> deal(int dealer, const std::vector<int>& ownCards, int turned) {
    std::vector<std::string> messages{msg("CMD_dealer", {dealer})};
    for (int seat = 1; seat <= 4; ++seat) {
        std::vector<int> fields{seat};
        for (int slot = 1; slot <= 5; ++slot) {
            fields.push_back(slot);
            fields.push_back(seat == 1 ? ownCards[static_cast<std::size_t>(slot - 1)] : 0);
        }
        messages.push_back(msg("CMD_placecard", fields));
    }
    messages.push_back(msg("CMD_settrump", {turned}));
    return messages;
}

struct Play {
    int seat;
    int slot;
    int code;
};
struct Trick {
    std::vector<Play> plays;  // in the order played
    int winner;
};

struct HandCase {
    const char* name;
    int dealer;
    std::vector<int> ownCards;
    int turned;
    std::vector<std::string> bidding;  // from the first prompt to the last message before play
    int trumpImage;                    // what the table's trump picture shows in play
    std::vector<Trick> tricks;
};

// Five tricks of four cards, seat `leader` first, slot k in trick k; the
// own seat plays its own cards, the sitting-out seat (0: none) nothing.
std::vector<Trick> fiveTricks(int leader, const std::vector<int>& ownCards, const std::vector<int>& others,
                              int sittingOut = 0) {
    std::vector<Trick> tricks;
    std::size_t next = 0;
    for (int k = 1; k <= 5; ++k) {
        Trick trick{{}, k % 4 + 1};
        for (int i = 0; i < 4; ++i) {
            const int seat = (leader - 1 + i) % 4 + 1;
            if (seat == sittingOut) continue;
            const int code = seat == 1 ? ownCards[static_cast<std::size_t>(k - 1)] : others[next++ % others.size()];
            trick.plays.push_back({seat, k, code});
        }
        if (trick.winner == sittingOut) trick.winner = leader;
        tricks.push_back(trick);
    }
    return tricks;
}

const std::vector<int> kOthers{21, 22, 25, 26, 9, 11, 13, 35, 37, 39, 44, 45, 46, 49, 50};

std::vector<HandCase> handCases() {
    // The nine of hearts turned and ordered up by the own seat; the dealer (4) exchanges.
    const std::vector<int> own1{48, 52, 8, 38, 24};
    HandCase hearts{"NineOfHeartsOrderedUp", 4, own1, 47,
                    {msg("CMD_bidder", {1}), msg("CMD_heaccepted", {1}), msg("CMD_trumpchoosen", {1, 4}),
                     msg("CMD_aloner", {1}), msg("CMD_goingalone", {1, 8}), msg("CMD_discarder", {4})},
                    56, fiveTricks(1, own1, kOthers)};
    // The jack of spades turned and ordered up by the partner; the own seat deals and exchanges.
    const std::vector<int> own2{34, 36, 10, 23, 51};  // slot 2 holds the turned jack after the exchange
    HandCase spades{"JackOfSpadesOrderedUp", 1, {34, 47, 10, 23, 51}, 36,
                    {msg("CMD_bidder", {2}), msg("CMD_hepassed", {2}), msg("CMD_bidder", {3}),
                     msg("CMD_heaccepted", {3}), msg("CMD_trumpchoosen", {3, 3}), msg("CMD_aloner", {3}),
                     msg("CMD_goingalone", {3, 8}), msg("CMD_discarder", {1}), msg("CMD_switch", {1, 2, 36})},
                    55, fiveTricks(2, own2, kOthers)};
    // Clubs turned down; seat 4 names diamonds in the second round and goes alone.
    const std::vector<int> own3{12, 13, 37, 40, 43};
    std::vector<std::string> secondRound;
    for (int seat : {3, 4, 1, 2}) {
        secondRound.push_back(msg("CMD_bidder", {seat}));
        secondRound.push_back(msg("CMD_hepassed", {seat}));
    }
    for (const std::string& m : {msg("CMD_chooser", {3, 1}), msg("CMD_hepassed", {3}), msg("CMD_chooser", {4, 1}),
                                 msg("CMD_trumpchoosen", {4, 2}), msg("CMD_aloner", {4}), msg("CMD_goingalone", {4, 7})})
        secondRound.push_back(m);
    HandCase diamonds{"DiamondsNamedInTheSecondRound", 2, own3, 8, secondRound, 54,
                      fiveTricks(4, own3, kOthers, 2)};
    return {hearts, spades, diamonds};
}

class LastTrickTrump : public ::testing::TestWithParam<HandCase> {};

TEST_P(LastTrickTrump, ShowsTheTablesTrumpUntilTheNextBiddingBegins) {
    const HandCase& c = GetParam();
    TableWithSideWindows f;
    auto dispatch = [&](const std::string& message) { f.table.dispatch(message); };
    for (const std::string& m : deal(c.dealer, c.ownCards, c.turned)) dispatch(m);
    for (const std::string& m : c.bidding) dispatch(m);
    ASSERT_EQ(f.table.board().image("image_trump")->tag(), c.trumpImage);
    ASSERT_TRUE(shows(f.table.board().image("image_trump"), f.table.artwork().card(c.trumpImage)));

    int tricks1 = 0, tricks2 = 0;
    for (std::size_t k = 0; k < c.tricks.size(); ++k) {
        SCOPED_TRACE("trick " + std::to_string(k + 1));
        const Trick& trick = c.tricks[k];
        dispatch("CMD_clearcards+");
        for (const Play& play : trick.plays) {
            dispatch(msg("CMD_nextplayer", {play.seat}));
            dispatch(msg("CMD_playedcard", {play.seat, play.slot, play.code}));
        }
        (trick.winner % 2 == 1 ? tricks1 : tricks2) += 1;
        dispatch(msg("CMD_trickwinner", {trick.winner, tricks1, tricks2}));
        EXPECT_TRUE(shows(f.last.trumpCard(), f.corner(c.trumpImage)));
        for (const Play& play : trick.plays) EXPECT_TRUE(shows(f.last.played(play.seat), f.corner(play.code)));
    }
    dispatch(msg("CMD_score", {1, 1, 1, 0, 0}));

    // The next hand's deal leaves the frame as it was; its first prompt empties it.
    const int nextDealer = c.dealer % 4 + 1;
    for (const std::string& m : deal(nextDealer, {9, 22, 35, 48, 13}, 26)) dispatch(m);
    EXPECT_TRUE(shows(f.last.trumpCard(), f.corner(c.trumpImage)));
    dispatch(msg("CMD_bidder", {nextDealer % 4 + 1}));
    EXPECT_TRUE(showsNothing(f.last.trumpCard()));
}

INSTANTIATE_TEST_SUITE_P(WholeHands, LastTrickTrump, ::testing::ValuesIn(handCases()),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace vornel::app

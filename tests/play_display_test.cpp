// Tricks and scores as each table shows them: cards landing on top of each
// other, the led suit, refusals, the trick-winner marker and the copy of the
// trick, the six outcomes of a hand for every kind of listener, and the end
// of the game.

#include <ostream>
#include <gtest/gtest.h>

#include "table_test_support.h"

namespace vornel::table::test {
namespace {

const QColor kBlue(0, 0, 255);
const QColor kTan(101, 83, 50);
const QColor kBlueTeam(86, 107, 143);
const QColor kPaneOrange(255, 128, 0);
const QColor kPaneBlue(55, 70, 140);

void seatTheTable(TableFixture& f, int ownSeat) {
    f.login(ownSeat);
    f.dispatch("CMD_newplayerinfo+1+Ann");
    f.dispatch("CMD_newplayerinfo+3+Cy");
    f.dispatch("CMD_startgame+Ann+10+");
    f.services.sounds.clear();
}

TEST(Trick, CardsLandOnTopOfEachOtherAndTheFirstSetsTheLedSuit) {
    TableFixture f;
    seatTheTable(f, 3);
    f.dispatch("CMD_nextplayer+1+");
    f.dispatch("CMD_playedcard+1+4+47+");  // a heart leads
    f.dispatch("CMD_playedcard+2+2+10+");
    ImageElement* first = f.board().seatImage("image_played", 1);
    ImageElement* second = f.board().seatImage("image_played", 2);
    EXPECT_TRUE(shows(first, f.table.artwork().card(47)));
    EXPECT_TRUE(shows(second, f.table.artwork().card(10)));
    EXPECT_EQ(first->tag(), 47);
    EXPECT_EQ(second->tag(), 10);
    const QRect overlap = first->geometry().intersected(second->geometry());
    ASSERT_FALSE(overlap.isEmpty());
    EXPECT_EQ(f.board().childAt(overlap.center()), second) << "the latest card lies on top";
    EXPECT_EQ(f.board().image("image_trump")->hint(), "Hearts");
    EXPECT_EQ(f.services.sounds, (QStringList{"placecard", "placecard"}));
    f.dispatch("CMD_playedcard+3+1+29+");
    EXPECT_EQ(f.board().childAt(f.board().seatImage("image_played", 3)->geometry().center()),
              f.board().seatImage("image_played", 3));
}

struct RefusalCase {
    int ownSeat;
    const char* message;
    const char* status;  // nullptr: unchanged
    bool sound;
    int raisedSlot;  // 0 none
};
// Names the case in test output instead of dumping its bytes.
inline void PrintTo(const RefusalCase& c, std::ostream* os) { *os << c.message; }

class Refusal : public ::testing::TestWithParam<RefusalCase> {};

TEST_P(Refusal, OnlyTheRefusedTableReacts) {
    const RefusalCase c = GetParam();
    TableFixture f;
    seatTheTable(f, c.ownSeat);
    f.dispatch("CMD_placecard+" + std::to_string(c.ownSeat) + "+1+49+2+10+3+13+4+36+5+22");
    f.dispatch("CMD_nextplayer+" + std::to_string(c.ownSeat) + "+");
    f.services.sounds.clear();
    const QString before = f.status();
    f.dispatch(c.message);
    EXPECT_EQ(f.status(), c.status != nullptr ? QString(c.status) : before);
    EXPECT_EQ(f.services.sounds.contains("notvalid"), c.sound);
    for (int slot = 1; slot <= 5; ++slot) EXPECT_EQ(f.card(slot)->y(), slot == c.raisedSlot ? 395 : 400) << slot;
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, Refusal,
    ::testing::Values(RefusalCase{1, "CMD_notvalid+1+2+4+", "You must follow suit if able.", true, 4},
                      RefusalCase{1, "CMD_notvalid+1+3+0+", "Cannot selected that suit as trump.", true, 0},
                      RefusalCase{1, "CMD_notvalid+1+1+2+", nullptr, true, 0},
                      RefusalCase{2, "CMD_notvalid+1+2+4+", nullptr, false, 0},
                      RefusalCase{1, "CMD_notvalid+1+2+9+", "You must follow suit if able.", true, 0}));

TEST(Trick, WinnerMarkerSurvivesTheClearingAndGoesWithTheNextTurn) {
    TableFixture f;
    seatTheTable(f, 2);
    f.dispatch("CMD_settrump+23+");
    f.dispatch("CMD_trumpchoosen+1+2+");
    f.dispatch("CMD_clearcards+");
    f.dispatch("CMD_nextplayer+2+");
    f.dispatch("CMD_playedcard+2+1+36+");
    f.dispatch("CMD_playedcard+3+1+27+");
    f.dispatch("CMD_playedcard+4+1+35+");
    f.dispatch("CMD_playedcard+1+1+21+");
    f.services.sounds.clear();
    f.dispatch("CMD_trickwinner+1+1+0+");

    EXPECT_EQ(f.table.state().seatToAct, 0);
    EXPECT_EQ(f.status(), "Ann Won the Trick!");
    EXPECT_EQ(f.board().text("label_current1")->text(), "1");
    EXPECT_EQ(f.board().text("label_current2")->text(), "0");
    ImageElement* marker = f.board().image("image_winner");
    EXPECT_TRUE(marker->isVisible());
    EXPECT_EQ(marker->pos(), f.board().seatImage("image_turn", 1)->pos());
    EXPECT_EQ(marker->pos(), QPoint(313, 250)) << "seat 1 sits at the right of seat 2";
    for (int seat = 1; seat <= 4; ++seat) {
        EXPECT_FALSE(f.board().seatImage("image_turn", seat)->isVisible());
        EXPECT_EQ(f.board().seatImage("image_played", seat)->tag(), 0);
        EXPECT_FALSE(showsNothing(f.board().seatImage("image_played", seat))) << "the trick stays on view";
    }
    EXPECT_TRUE(f.services.sounds.isEmpty()) << "only the winner's table hears the trick sound";
    ASSERT_EQ(f.services.lastTricks.size(), 1u);
    const LastTrick& copy = f.services.lastTricks[0];
    EXPECT_EQ(copy.cards, (std::array<int, 5>{0, 21, 36, 27, 35}));
    EXPECT_EQ(copy.trumpImage, 54);
    EXPECT_EQ(copy.winnerText, "Ann Won the Trick!");
    EXPECT_EQ(copy.ledSuitText, "Spades");
    EXPECT_EQ(f.board().image("image_trump")->hint(), "");

    f.dispatch("CMD_clearcards+");
    EXPECT_TRUE(marker->isVisible());
    for (int seat = 1; seat <= 4; ++seat) EXPECT_TRUE(showsNothing(f.board().seatImage("image_played", seat)));
    f.dispatch("CMD_nextplayer+1+");
    EXPECT_FALSE(marker->isVisible());

    // A partner sitting out leaves its place empty in the copy; the next dealer hides the marker.
    f.dispatch("CMD_playedcard+1+2+40+");
    f.dispatch("CMD_playedcard+2+2+41+");
    f.dispatch("CMD_playedcard+4+2+42+");
    f.dispatch("CMD_trickwinner+2+1+1+");
    EXPECT_EQ(f.services.sounds.back(), "trickwinner");
    EXPECT_EQ(f.services.lastTricks.back().cards, (std::array<int, 5>{0, 40, 41, 0, 42}));
    EXPECT_EQ(f.services.lastTricks.back().ledSuitText, "Hearts");
    f.dispatch("CMD_dealer+3+");
    EXPECT_FALSE(marker->isVisible());
}

// --- scoring ---------------------------------------------------------------

struct ScoreCase {
    const char* name;
    const char* tricks;  // CMD_trickwinner fields giving the trick counts
    const char* score;   // CMD_score fields
    const char* announcement;
    const char* bonus1;
    const char* bonus2;
    const char* log1;
    const char* log2;
    std::array<const char*, 3> sounds;  // listener on a Tan seat, a Blue seat, a watcher
    std::array<int, 2> tally;           // column counted for a Tan seat, a Blue seat (0 none)
};

void PrintTo(const ScoreCase& c, std::ostream* out) { *out << c.name; }

class Scoring : public ::testing::TestWithParam<std::tuple<ScoreCase, int>> {};

TEST_P(Scoring, OutcomeAnnouncedLoggedHeardAndTallied) {
    const auto& [c, ownSeat] = GetParam();
    TableFixture f;
    seatTheTable(f, ownSeat);
    f.dispatch(std::string("CMD_trickwinner+") + c.tricks);
    f.services.sounds.clear();
    f.dispatch(std::string("CMD_score+") + c.score);

    EXPECT_EQ(f.status(), c.announcement);
    EXPECT_EQ(f.board().text("label_bonus1")->text(), c.bonus1);
    EXPECT_EQ(f.board().text("label_bonus2")->text(), c.bonus2);
    ASSERT_EQ(f.services.logLines.size(), 2u);
    EXPECT_EQ(f.services.logLines[0].text, c.log1);
    EXPECT_EQ(f.services.logLines[0].pane, 1);
    EXPECT_EQ(f.services.logLines[0].colour, kPaneOrange);
    EXPECT_EQ(f.services.logLines[1].text, c.log2);
    EXPECT_EQ(f.services.logLines[1].pane, 2);
    EXPECT_EQ(f.services.logLines[1].colour, kPaneBlue);

    const int listener = ownSeat > 4 ? 2 : (ownSeat % 2 == 1 ? 0 : 1);
    EXPECT_EQ(f.services.sounds, QStringList{c.sounds[listener]});
    const int column = listener == 2 ? 0 : c.tally[listener];
    EXPECT_EQ(f.services.mineIncreases, column == 0 ? std::vector<int>{} : std::vector<int>{column});
    EXPECT_TRUE(f.services.games.empty());
}

const ScoreCase kScoreCases[] = {
    {"TanVorneled", "2+2+3+", "1+0+0+2+2+", "The Tan Team Got Vorneled!", "", "+2", "R1: M 0 points 2 tricks Vorneled!",
     "R1:   2 points 3 tricks", {"vorneled", "gotpoints", "vorneled"}, {4, 0}},
    {"BlueVorneled", "1+4+1+", "2+2+2+0+0+", "The Blue Team Got Vorneled!", "+2", "", "R1:   2 points 4 tricks",
     "R1: M 0 points 1 tricks! Vorneled!", {"gotpoints", "vorneled", "vorneled"}, {0, 4}},
    {"TanMarched", "1+5+0+", "1+2+2+0+0+", "The Tan Team Marched!", "+2", "", "R1: M 2 points 5 tricks Marched!",
     "R1:   0 points 0 tricks", {"marched", "nopoints", "nopoints"}, {3, 0}},
    {"TanAloneMarched", "1+5+0+", "1+4+4+0+0+", "The Tan Team Marched!", "+4", "", "R1: M 4 points 5 tricks Marched!",
     "R1:   0 points 0 tricks", {"marched", "nopoints", "nopoints"}, {3, 0}},
    {"BlueMarched", "2+0+5+", "2+0+0+2+2+", "The Blue Team Marched!", "", "+2", "R1:   0 points 0 tricks",
     "R1: M 2 points 5 tricks Marched!", {"nopoints", "marched", "nopoints"}, {0, 3}},
    {"BlueAloneMarched", "4+0+5+", "2+3+0+9+4+", "The Blue Team Marched!", "", "+4", "R1:   0 points 0 tricks",
     "R1: M 4 points 5 tricks Marched!", {"nopoints", "marched", "nopoints"}, {0, 3}},
    {"TanEarned", "3+3+2+", "1+1+1+0+0+", "The Tan Team earned 1 point!", "+1", "", "R1: M 1 point  3 tricks",
     "R1:   0 points 2 tricks", {"gotpoints", "nopoints", "gotpoints"}, {0, 0}},
    {"BlueEarned", "2+1+4+", "2+0+0+1+1+", "The Blue Team earned 1 point!", "", "+1", "R1:   0 points 1 tricks",
     "R1: M 1 point  4 tricks", {"nopoints", "gotpoints", "gotpoints"}, {0, 0}},
};

INSTANTIATE_TEST_SUITE_P(SixOutcomes, Scoring,
                         ::testing::Combine(::testing::ValuesIn(kScoreCases), ::testing::Values(1, 2, 3, 4, 6)),
                         [](const auto& info) {
                             return std::string(std::get<0>(info.param).name) + "_seat" +
                                    std::to_string(std::get<1>(info.param));
                         });

TEST(Scoring, ScoresAndLogLinesCountOnThroughTheGame) {
    TableFixture f;
    seatTheTable(f, 1);
    f.dispatch("CMD_trickwinner+1+3+2+");
    f.dispatch("CMD_score+1+1+1+0+0+");
    f.dispatch("CMD_dealer+2+");
    EXPECT_EQ(f.board().text("label_bonus1")->text(), "");
    f.dispatch("CMD_trickwinner+2+1+4+");
    f.dispatch("CMD_score+2+1+0+1+1+");
    EXPECT_EQ(f.board().text("label_score1")->text(), "1");
    EXPECT_EQ(f.board().text("label_score2")->text(), "1");
    EXPECT_EQ(f.board().text("label_bonus1")->text(), "");
    EXPECT_EQ(f.board().text("label_bonus2")->text(), "+1");
    ASSERT_EQ(f.services.logLines.size(), 4u);
    EXPECT_EQ(f.services.logLines[2].text, "R2:   0 points 1 tricks");
    EXPECT_EQ(f.services.logLines[3].text, "R2: M 1 point  4 tricks");
}

// --- the end of the game ---------------------------------------------------

struct WinnerCase {
    int team;
    int ownSeat;
    std::array<QString, 2> game;  // the tally's record, empty when none
};
// Names the case in test output instead of dumping its bytes.
inline void PrintTo(const WinnerCase& c, std::ostream* os) { *os << c.team; }

class GameWon : public ::testing::TestWithParam<WinnerCase> {};

TEST_P(GameWon, BannersAnnouncementLogAndTally) {
    const WinnerCase c = GetParam();
    TableFixture f;
    f.table.state().isHost = c.ownSeat == 1;
    seatTheTable(f, c.ownSeat);
    f.dispatch("CMD_newplayerinfo+2+Bo");
    f.dispatch("CMD_trickwinner+1+3+2+");
    f.services.sounds.clear();
    f.dispatch("CMD_thewinner+" + std::to_string(c.team) + "+");

    EXPECT_FALSE(f.board().image("image_winner")->isVisible());
    for (int seat = 1; seat <= 4; ++seat)
        EXPECT_EQ(f.board().seatImage("image_winner", seat)->isVisible(), seat % 2 == c.team % 2) << seat;
    const QString teamName = c.team == 1 ? "Tan" : "Blue";
    EXPECT_EQ(chatLines(f.table).back().text, "The " + teamName + " Team has Won the Game!!");
    EXPECT_EQ(chatLines(f.table).back().colour, kBlue);
    ASSERT_EQ(f.services.logLines.size(), 2u);
    for (int pane = 1; pane <= 2; ++pane) {
        EXPECT_EQ(f.services.logLines[pane - 1].text, "The " + teamName + " Team Won!!");
        EXPECT_EQ(f.services.logLines[pane - 1].pane, pane);
        EXPECT_EQ(f.services.logLines[pane - 1].colour, c.team == 1 ? kTan : kBlueTeam);
    }
    if (c.game[0].isEmpty()) {
        EXPECT_TRUE(f.services.games.empty());
    } else {
        ASSERT_EQ(f.services.games.size(), 1u);
        EXPECT_EQ(f.services.games[0], c.game);
    }
    EXPECT_EQ(f.services.sounds, QStringList{"winner"});
    EXPECT_EQ(f.board().image("button_start")->isVisible(), c.ownSeat == 1) << "only the host may start again";
}

INSTANTIATE_TEST_SUITE_P(
    EverySeat, GameWon,
    ::testing::Values(WinnerCase{1, 1, {"addtomine", "Cy"}}, WinnerCase{1, 3, {"addtomine", "Ann"}},
                      WinnerCase{1, 2, {"Ann", "Cy"}}, WinnerCase{1, 4, {"Ann", "Cy"}}, WinnerCase{1, 6, {}},
                      WinnerCase{2, 2, {"addtomine", "Kling"}}, WinnerCase{2, 4, {"addtomine", "Bo"}},
                      WinnerCase{2, 1, {"Bo", "Kling"}}, WinnerCase{2, 3, {"Bo", "Kling"}}, WinnerCase{2, 7, {}}));

}  // namespace
}  // namespace vornel::table::test

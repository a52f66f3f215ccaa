// The deal and the bidding as each table shows them: the bubbles of every
// prompt (never for a watcher), the status lines, the dealer, maker and turn
// markers, the turned-up card giving way to the trump symbol, watching, the
// start of a game, and the replay a table gets when it joins a running game.

#include <ostream>
#include <gtest/gtest.h>

#include "table_test_support.h"

namespace vornel::table::test {
namespace {

const QColor kBlue(0, 0, 255);

// A logged-in table whose seat 1 is "Ann" and whose other seats are played
// by the computer under their default names.
void seatTheTable(TableFixture& f, int ownSeat) {
    f.login(ownSeat);
    f.dispatch("CMD_newplayerinfo+1+Ann");
    f.dispatch("CMD_startgame+Ann+10+");
    f.services.sounds.clear();
}

int visibleTurnMarker(TableFixture& f) {
    int shown = 0;
    for (int seat = 1; seat <= 4; ++seat)
        if (f.board().seatImage("image_turn", seat)->isVisible()) shown = shown == 0 ? seat : -1;
    return shown;
}

struct PromptCase {
    const char* name;
    int ownSeat;
    const char* message;
    std::array<int, 4> codes;     // bubble1..bubble4, -1 empty
    std::array<int, 4> pictures;  // bubble pictures shown, 0 none
    int seatToAct;
    const char* status;
    int turnMarker;  // the one seat showing it, 0 none
    bool turnSound;
};
// Names the case in test output instead of dumping its bytes.
inline void PrintTo(const PromptCase& c, std::ostream* os) { *os << "prompt " << c.name; }

class Prompts : public ::testing::TestWithParam<PromptCase> {};

TEST_P(Prompts, ShowTheirBubblesOnlyToTheSeatAsked) {
    const PromptCase c = GetParam();
    TableFixture f;
    seatTheTable(f, c.ownSeat);
    f.dispatch(c.message);
    for (int n = 1; n <= 4; ++n) {
        ImageElement* bubble = f.board().bubble(n);
        EXPECT_EQ(bubble->tag(), c.codes[n - 1]) << "bubble" << n;
        if (c.pictures[n - 1] == 0) EXPECT_TRUE(showsNothing(bubble)) << "bubble" << n;
        else EXPECT_TRUE(shows(bubble, f.table.artwork().bubble(c.pictures[n - 1]))) << "bubble" << n;
    }
    EXPECT_EQ(f.table.state().seatToAct, c.seatToAct);
    EXPECT_EQ(f.status(), c.status);
    EXPECT_EQ(visibleTurnMarker(f), c.turnMarker);
    EXPECT_EQ(f.services.sounds, c.turnSound ? QStringList{"turn"} : QStringList{});
}

INSTANTIATE_TEST_SUITE_P(
    EveryPrompt, Prompts,
    ::testing::Values(
        PromptCase{"FirstRound", 1, "CMD_bidder+1+", {1, 2, -1, -1}, {1, 2, 0, 0}, 1, "Ann's turn to accept or pass.", 1, true},
        PromptCase{"FirstRoundOther", 1, "CMD_bidder+2+", {-1, -1, -1, -1}, {0, 0, 0, 0}, 2,
                   "Klot's turn to accept or pass.", 2, false},
        PromptCase{"FirstRoundRotated", 3, "CMD_bidder+3+", {1, 2, -1, -1}, {1, 2, 0, 0}, 3,
                   "Klick's turn to accept or pass.", 3, true},
        PromptCase{"SecondRoundSpadesDown", 1, "CMD_chooser+1+3+", {3, 4, 22, 6}, {3, 4, 2, 6}, 1,
                   "Ann is choosing a trump.", 1, true},
        PromptCase{"SecondRoundClubsDown", 1, "CMD_chooser+1+1+", {22, 4, 5, 6}, {2, 4, 5, 6}, 1,
                   "Ann is choosing a trump.", 1, true},
        PromptCase{"SecondRoundHeartsDown", 4, "CMD_chooser+4+4+", {3, 4, 5, 22}, {3, 4, 5, 2}, 4,
                   "Kling is choosing a trump.", 4, true},
        PromptCase{"SecondRoundOther", 1, "CMD_chooser+3+2+", {-1, -1, -1, -1}, {0, 0, 0, 0}, 3,
                   "Klick is choosing a trump.", 3, false},
        PromptCase{"Alone", 1, "CMD_aloner+1+", {8, 7, -1, -1}, {8, 7, 0, 0}, 1, "Will Ann go alone?", 0, false},
        PromptCase{"AloneOther", 1, "CMD_aloner+4+", {-1, -1, -1, -1}, {0, 0, 0, 0}, 4, "Will Kling go alone?", 0, false},
        PromptCase{"Discard", 1, "CMD_discarder+1+", {-1, -1, -1, -1}, {0, 0, 0, 0}, 1, "Ann needs to discard.", 1, true},
        PromptCase{"DiscardOther", 1, "CMD_discarder+2+", {-1, -1, -1, -1}, {0, 0, 0, 0}, 2, "Klot needs to discard.", 2,
                   false},
        PromptCase{"Play", 2, "CMD_nextplayer+2+", {-1, -1, -1, -1}, {0, 0, 0, 0}, 2, "Klot's turn to play a card.", 2,
                   true},
        PromptCase{"WatcherFirstRound", 6, "CMD_bidder+1+", {-1, -1, -1, -1}, {0, 0, 0, 0}, 1,
                   "Ann's turn to accept or pass.", 1, false},
        PromptCase{"WatcherSecondRound", 6, "CMD_chooser+1+3+", {-1, -1, -1, -1}, {0, 0, 0, 0}, 1,
                   "Ann is choosing a trump.", 1, false},
        PromptCase{"WatcherAlone", 6, "CMD_aloner+2+", {-1, -1, -1, -1}, {0, 0, 0, 0}, 2, "Will Klot go alone?", 0,
                   false},
        PromptCase{"WatcherDiscard", 6, "CMD_discarder+1+", {-1, -1, -1, -1}, {0, 0, 0, 0}, 1, "Ann needs to discard.", 1,
                   false},
        PromptCase{"WatcherPlay", 6, "CMD_nextplayer+1+", {-1, -1, -1, -1}, {0, 0, 0, 0}, 1,
                   "Ann's turn to play a card.", 1, false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Prompts, DiscardHintOnlyOnTheDealersTable) {
    TableFixture dealer;
    seatTheTable(dealer, 1);
    dealer.dispatch("CMD_discarder+1+");
    EXPECT_TRUE(dealer.board().text("label_discard")->isVisible());
    EXPECT_EQ(dealer.board().text("label_discard")->text(), "Discard a Card");
    TableFixture other;
    seatTheTable(other, 2);
    other.dispatch("CMD_discarder+1+");
    EXPECT_FALSE(other.board().text("label_discard")->isVisible());
}

TEST(Prompts, NewTurnSoundWhenChosen) {
    TableFixture f;
    seatTheTable(f, 1);
    TableOptions options = f.table.options();
    options.turnSound = 1;
    f.table.applyOptions(options);
    f.dispatch("CMD_bidder+1+");
    EXPECT_EQ(f.services.sounds, QStringList{"turnnew"});
}

// Any later prompt, pass or acceptance takes the bubbles away.
TEST(Prompts, AnswersClearTheBubbles) {
    for (const char* answer : {"CMD_hepassed+1+", "CMD_heaccepted+1+", "CMD_bidder+2+", "CMD_dealer+3+",
                               "CMD_settrump+23+", "CMD_nextplayer+1+", "CMD_chooser+2+3+"}) {
        TableFixture f;
        seatTheTable(f, 1);
        f.dispatch("CMD_bidder+1+");
        f.dispatch(answer);
        for (int n = 1; n <= 4; ++n) EXPECT_EQ(f.board().bubble(n)->tag(), -1) << answer;
    }
}

TEST(Bidding, PassAndOrderUpThenTrumpSymbol) {
    TableFixture f;
    seatTheTable(f, 1);
    f.dispatch("CMD_settrump+23+");
    ImageElement* trump = f.board().image("image_trump");
    EXPECT_TRUE(shows(trump, f.table.artwork().card(23)));
    EXPECT_EQ(trump->tag(), 23);
    f.dispatch("CMD_bidder+1+");
    f.dispatch("CMD_hepassed+1+");
    EXPECT_EQ(f.status(), "Ann passed.");
    EXPECT_EQ(f.table.state().seatToAct, 0);
    f.dispatch("CMD_bidder+2+");
    f.dispatch("CMD_heaccepted+2+");
    EXPECT_EQ(f.status(), "Klot Accepted.");
    EXPECT_EQ(f.table.state().seatToAct, 0);
    EXPECT_TRUE(f.board().image("image_maker2")->isVisible());
    EXPECT_FALSE(f.board().image("image_maker1")->isVisible());
    EXPECT_TRUE(f.board().seatImage("image_themaker", 2)->isVisible());
    f.dispatch("CMD_trumpchoosen+2+2+");
    EXPECT_EQ(f.status(), "Klot choose Diamonds for trump.");
    EXPECT_TRUE(shows(trump, f.table.artwork().card(54)));
    EXPECT_EQ(trump->tag(), 54);
    // The second round's maker: status, markers, symbol; bubbles and seat to act kept.
    f.dispatch("CMD_chooser+1+2+");
    f.dispatch("CMD_trumpchoosen+3+4+");
    EXPECT_EQ(f.status(), "Klick choose Hearts for trump.");
    EXPECT_TRUE(f.board().image("image_maker1")->isVisible());
    EXPECT_TRUE(f.board().seatImage("image_themaker", 3)->isVisible());
    EXPECT_EQ(f.board().bubble(1)->tag(), 3);
    EXPECT_EQ(f.table.state().seatToAct, 1);
    EXPECT_EQ(trump->tag(), 56);
}

TEST(Bidding, FirstRoundPromptForgetsTheLastTricksCardsAndMakers) {
    TableFixture f;
    seatTheTable(f, 1);
    f.dispatch("CMD_heaccepted+3+");
    f.dispatch("CMD_playedcard+2+1+20+");
    f.dispatch("CMD_bidder+4+");
    EXPECT_EQ(f.board().seatImage("image_played", 2)->tag(), 0);
    EXPECT_FALSE(f.board().seatImage("image_themaker", 3)->isVisible());
    EXPECT_EQ(f.services.trumpCardClears, 1);
}

TEST(Dealer, NewDealResetsTheBoardAndMovesTheDealerMarker) {
    TableFixture f;
    seatTheTable(f, 2);
    for (int seat : {1, 3, 4}) f.dispatch("CMD_placecard+" + std::to_string(seat) + "+1+0+2+0+3+0+4+0+5+0");
    f.dispatch("CMD_placecard+2+1+9+2+10+3+11+4+12+5+13");
    f.dispatch("CMD_heaccepted+1+");
    f.dispatch("CMD_playedcard+1+1+20+");
    f.dispatch("CMD_trickwinner+1+1+0+");
    f.dispatch("CMD_score+1+2+1+0+0+");
    ASSERT_EQ(f.board().text("label_bonus1")->text(), "+1");

    f.dispatch("CMD_dealer+3+");
    settle();
    EXPECT_EQ(f.status(), "Klick is dealing.");
    EXPECT_EQ(f.table.state().seatToAct, 3);
    EXPECT_EQ(visibleTurnMarker(f), 3);
    EXPECT_FALSE(f.board().image("image_winner")->isVisible());
    ImageElement* dealer = f.board().image("button_dealer");
    EXPECT_EQ(dealer->tag(), 3);
    const TextElement* label3 = f.board().nameLabel(3);
    EXPECT_EQ(label3->pos(), QPoint(33, 170)) << "seat 3 sits at the left of seat 2";
    EXPECT_EQ(dealer->pos(), QPoint(5, 161));
    EXPECT_EQ(f.board().text("label_bonus1")->text(), "");
    EXPECT_EQ(f.board().text("label_current1")->text(), "0");
    EXPECT_EQ(f.board().text("label_current2")->text(), "0");
    EXPECT_FALSE(f.board().image("image_maker1")->isVisible());
    EXPECT_FALSE(f.board().seatImage("image_themaker", 1)->isVisible());
    for (int seat = 1; seat <= 4; ++seat) {
        EXPECT_TRUE(showsNothing(f.board().seatImage("image_played", seat))) << seat;
        EXPECT_TRUE(showsNothing(f.board().seatImage("image_cards", seat))) << seat;
    }
    EXPECT_EQ(f.game().slotAtPosition(1), -1);
    EXPECT_EQ(f.card(1), nullptr);
    EXPECT_EQ(f.board().text("label_score1")->text(), "2") << "the game's score stays";
}

TEST(Dealer, WatcherLosesAllFourFans) {
    TableFixture f;
    seatTheTable(f, 6);
    for (int seat = 1; seat <= 4; ++seat)
        f.dispatch("CMD_placecard+" + std::to_string(seat) + "+1+0+2+0+3+0+4+0+5+0");
    for (int seat = 1; seat <= 4; ++seat) ASSERT_EQ(f.board().seatImage("image_cards", seat)->tag(), 5);
    f.dispatch("CMD_dealer+1+");
    for (int seat = 1; seat <= 4; ++seat) EXPECT_TRUE(showsNothing(f.board().seatImage("image_cards", seat))) << seat;
    EXPECT_EQ(f.board().image("button_dealer")->pos(), QPoint(60, 373));
}

TEST(GameStart, AnnouncesAndNamesTheComputerSeats) {
    TableFixture f;
    f.table.state().isHost = true;
    f.login(1);
    f.board().image("button_start")->show();
    f.dispatch("CMD_newplayerinfo+3+Cy");
    f.dispatch("CMD_justwatching+3+1");
    f.dispatch("CMD_score+1+4+2+3+0+");
    f.dispatch("CMD_thewinner+1+");
    f.dispatch("CMD_startgame+Ann+7+");
    EXPECT_EQ(chatLines(f.table).back().text, "Ann has started a game.");
    EXPECT_EQ(chatLines(f.table).back().colour, kBlue);
    EXPECT_EQ(f.board().text("label_playtoscore")->text(), "Play to Score: 7");
    EXPECT_EQ(f.board().nameLabel(1)->text(), "<Waiting>");
    EXPECT_EQ(f.board().nameLabel(2)->text(), "Klot");
    EXPECT_EQ(f.board().nameLabel(3)->text(), "Cy");
    EXPECT_EQ(f.board().nameLabel(4)->text(), "Kling");
    EXPECT_FALSE(f.board().image("button_start")->isVisible());
    EXPECT_EQ(f.board().text("label_score1")->text(), "0");
    EXPECT_EQ(f.board().text("label_score2")->text(), "0");
    for (int seat = 1; seat <= 4; ++seat) {
        EXPECT_FALSE(f.board().seatImage("image_eyes", seat)->isVisible());
        EXPECT_FALSE(f.board().seatImage("image_winner", seat)->isVisible());
    }
}

struct WatchCase {
    int ownSeat;
    const char* message;
    const char* line;  // nullptr: nothing
    int eyesSeat;      // seat whose marker is then shown, 0 none
    bool menuChecked;
};
// Names the case in test output instead of dumping its bytes.
inline void PrintTo(const WatchCase& c, std::ostream* os) { *os << c.message; }

class JustWatching : public ::testing::TestWithParam<WatchCase> {};

TEST_P(JustWatching, LineMarkerAndMenu) {
    const WatchCase c = GetParam();
    TableFixture f;
    seatTheTable(f, c.ownSeat);
    const std::size_t before = chatLines(f.table).size();
    f.dispatch(c.message);
    const auto lines = chatLines(f.table);
    if (c.line == nullptr) {
        EXPECT_EQ(lines.size(), before);
    } else {
        ASSERT_EQ(lines.size(), before + 1);
        EXPECT_EQ(lines.back().text, c.line);
        EXPECT_EQ(lines.back().colour, QColor(156, 152, 120));
    }
    for (int seat = 1; seat <= 4; ++seat)
        EXPECT_EQ(f.board().seatImage("image_eyes", seat)->isVisible(), seat == c.eyesSeat) << seat;
    EXPECT_EQ(f.table.action("action_justwatch")->isChecked(), c.menuChecked);
}

INSTANTIATE_TEST_SUITE_P(Cases, JustWatching,
                         ::testing::Values(WatchCase{2, "CMD_justwatching+2+1", "Klot is just watching", 2, true},
                                           WatchCase{1, "CMD_justwatching+2+1", "Klot is just watching", 2, false},
                                           WatchCase{1, "CMD_justwatching+1+2", "Ann now playing again", 0, false},
                                           WatchCase{1, "CMD_justwatching+6+1", nullptr, 0, false}));

TEST(JustWatching, PlayingAgainUnchecksAndHides) {
    TableFixture f;
    seatTheTable(f, 2);
    f.dispatch("CMD_justwatching+2+1");
    f.dispatch("CMD_justwatching+2+2");
    EXPECT_EQ(chatLines(f.table).back().text, "Klot now playing again");
    EXPECT_FALSE(f.board().seatImage("image_eyes", 2)->isVisible());
    EXPECT_FALSE(f.table.action("action_justwatch")->isChecked());
    // A seat marked watching still gets its prompts.
    f.dispatch("CMD_justwatching+2+1");
    f.dispatch("CMD_bidder+2+");
    EXPECT_EQ(f.board().bubble(1)->tag(), 1);
}

// --- joining a running game -----------------------------------------------

TEST(Replay, NewcomerSeesTheRunningGame) {
    TableFixture f;
    f.login(2);
    f.dispatch("CMD_newplayerinfo+2+Bo");
    f.dispatch("CMD_existingplayers+1+Ann");
    // Maker team 1, dealer 4, Spades trump, seat 1 led 10 and seat 3 played 49.
    f.dispatch("CMD_loadcards+1+0+4+3+10+0+49+0+");
    f.dispatch("CMD_loadstats+10+3+2+5+1+");
    f.dispatch("CMD_placecard+2+1+40+3+14+5+9");
    f.dispatch("CMD_loadtheircards+1+3+3+2+4+3");

    EXPECT_TRUE(f.board().image("image_maker1")->isVisible());
    EXPECT_FALSE(f.board().image("image_maker2")->isVisible());
    for (int seat = 1; seat <= 4; ++seat) EXPECT_FALSE(f.board().seatImage("image_themaker", seat)->isVisible());
    ImageElement* dealer = f.board().image("button_dealer");
    const TextElement* label4 = f.board().nameLabel(4);
    EXPECT_EQ(dealer->pos(), label4->pos() - QPoint(28, 9));
    EXPECT_EQ(dealer->tag(), 4);
    ImageElement* trump = f.board().image("image_trump");
    EXPECT_TRUE(shows(trump, f.table.artwork().card(55)));
    EXPECT_EQ(trump->tag(), 55);
    EXPECT_TRUE(shows(f.board().seatImage("image_played", 1), f.table.artwork().card(10)));
    EXPECT_TRUE(shows(f.board().seatImage("image_played", 3), f.table.artwork().card(49)));
    EXPECT_TRUE(showsNothing(f.board().seatImage("image_played", 4)));
    EXPECT_EQ(f.board().nameLabel(1)->text(), "Ann");
    EXPECT_EQ(f.board().nameLabel(2)->text(), "Bo");
    EXPECT_EQ(f.board().nameLabel(3)->text(), "Klick");
    EXPECT_EQ(f.board().nameLabel(4)->text(), "Kling");
    EXPECT_EQ(f.board().text("label_playtoscore")->text(), "Play to Score: 10");
    EXPECT_EQ(f.board().text("label_score1")->text(), "3");
    EXPECT_EQ(f.board().text("label_current1")->text(), "2");
    EXPECT_EQ(f.board().text("label_score2")->text(), "5");
    EXPECT_EQ(f.board().text("label_current2")->text(), "1");
    // The rest of the own hand, sorted: codes 9, 14, 40 in slots 5, 3, 1.
    EXPECT_EQ(f.game().slotAtPosition(1), 5);
    EXPECT_EQ(f.game().slotAtPosition(2), 3);
    EXPECT_EQ(f.game().slotAtPosition(3), 1);
    EXPECT_EQ(f.game().slotAtPosition(4), -1);
    EXPECT_EQ(f.cardAt(3)->pos(), QPoint(126, 400));
    const std::array<std::pair<int, int>, 3> fans{{{1, 3}, {3, 2}, {4, 3}}};
    for (const auto& [seat, count] : fans) {
        ImageElement* fan = f.board().seatImage("image_cards", seat);
        EXPECT_EQ(fan->tag(), count) << seat;
        EXPECT_EQ(fan->width(), 66 + 5 * count) << seat;
    }
    EXPECT_TRUE(showsNothing(f.board().seatImage("image_cards", 2)));

    // The trick in progress goes on: the next card lands, the trick is copied whole.
    f.dispatch("CMD_playedcard+4+2+47+");
    f.dispatch("CMD_playedcard+2+5+9+");
    f.dispatch("CMD_trickwinner+3+3+1+");
    ASSERT_EQ(f.services.lastTricks.size(), 1u);
    EXPECT_EQ(f.services.lastTricks[0].cards, (std::array<int, 5>{0, 10, 9, 49, 47}));
    EXPECT_EQ(f.services.lastTricks[0].trumpImage, 55);
}

TEST(Replay, BeforeTheFirstBidNothingIsMarked) {
    TableFixture f;
    f.login(7);
    f.dispatch("CMD_loadcards+0+0+2+0+0+0+0+0+");
    f.dispatch("CMD_loadtheircards+1+5+2+5+3+5+4+0");
    EXPECT_FALSE(f.board().image("image_maker1")->isVisible());
    EXPECT_FALSE(f.board().image("image_maker2")->isVisible());
    EXPECT_TRUE(showsNothing(f.board().image("image_trump")));
    EXPECT_EQ(f.board().image("button_dealer")->tag(), 2);
    EXPECT_EQ(f.board().seatImage("image_cards", 3)->tag(), 5);
    EXPECT_TRUE(showsNothing(f.board().seatImage("image_cards", 4)));
    for (int seat = 1; seat <= 4; ++seat) EXPECT_EQ(f.board().nameLabel(seat)->text(), f.board().nameLabel(seat)->hint());
}

}  // namespace
}  // namespace vornel::table::test

// A whole solo game against three computer players on the real host in this
// process, played by clicking the table's cards and bubbles as a player
// would; the host's engine runs at a few milliseconds.

#include <gtest/gtest.h>

#include <QApplication>
#include <QTemporaryDir>
#include <QTimer>
#include <set>

#include "app/game_log_window.h"
#include "app/game_start_dialog.h"
#include "app/last_trick_window.h"
#include "app/program.h"
#include "net/protocol.h"
#include "players/simulation.h"
#include "table_test_support.h"

namespace vornel::app {
namespace {

using table::ImageElement;
using table::test::chatLines;
using table::test::freePort;
using table::test::press;
using table::test::waitUntil;

// What the player at seat 1 does when the table asks: bids in turn by hand
// number, then plays the cards left to right until the host takes one.
class ClickingPlayer {
public:
    explicit ClickingPlayer(table::TableWindow& table) : table_(table) {}

    // Called after the table has handled each message from the host.
    void seen(std::string_view message) {
        const auto [command, rest] = net::splitCommand(message);
        net::FieldReader reader(rest);
        const int seat = reader.number().value_or(0);
        if (command == "CMD_dealer") {
            ++hands;
            tricksThisHand = 0;
            sittingOut = false;
        } else if (command == "CMD_trickwinner") {
            ++tricksThisHand;
        } else if (command == "CMD_goingalone" && seat == 3 && reader.number() == 7) {
            sittingOut = true;
        } else if (command == "CMD_playedcard" && seat == 1) {
            const int slot = reader.number().value_or(0);
            if (!clickedThisTurn.contains(slot)) stray.push_back("played slot " + std::to_string(slot) + " never clicked");
            ++plays;
        } else if (command == "CMD_score") {
            ++scores;
        } else if (command == "CMD_thewinner") {
            winner = seat;
        }
        const bool asked = seat == 1 && (command == "CMD_bidder" || command == "CMD_chooser" ||
                                         command == "CMD_aloner" || command == "CMD_discarder" ||
                                         command == "CMD_nextplayer");
        if (asked) clickedThisTurn.clear();
        if (command == "CMD_nextplayer" && seat == 1) checkHand();
        if (asked || (command == "CMD_notvalid" && seat == 1)) {
            // The player looks at the drawn table, then clicks.
            QTimer::singleShot(0, &table_, [this] { act(); });
        }
    }

    int hands = 0, plays = 0, scores = 0, refusals = 0, bubbleClicks = 0, winner = 0;
    std::vector<std::string> stray;

private:
    void act() {
        auto& state = table_.state();
        if (state.seatToAct != state.ownSeat) return;
        table::Board& board = table_.board();
        // Bubbles: the choice depends on the hand, so that both ways are taken.
        const bool bold = hands % 2 == 0;
        const std::vector<int> preferred = bold ? std::vector<int>{1, 7, 3, 4, 5, 6} : std::vector<int>{2, 8, 22};
        for (int code : preferred) {
            for (int n = 1; n <= 4; ++n) {
                if (board.bubble(n)->tag() != code) continue;
                ++bubbleClicks;
                press(board.bubble(n));
                return;
            }
        }
        // A card: the first at rest not yet refused this turn.
        for (int position = 1; position <= 5; ++position) {
            const int slot = table_.game().slotAtPosition(position);
            if (slot == -1 || clickedThisTurn.contains(slot)) continue;
            ImageElement* card = board.image(QString("card%1").arg(slot));
            if (card == nullptr || card->y() != 400) continue;
            clickedThisTurn.insert(slot);
            if (clickedThisTurn.size() > 1) ++refusals;
            press(card);
            if (card->y() != 395) stray.push_back("a clicked card on the own turn was not raised");
            return;
        }
        stray.push_back("asked to act with nothing to click");
    }

    void checkHand() {
        int cards = 0;
        for (int position = 1; position <= 5; ++position) cards += table_.game().slotAtPosition(position) != -1;
        if (sittingOut || cards != 5 - tricksThisHand)
            stray.push_back("hand of " + std::to_string(cards) + " cards after " + std::to_string(tricksThisHand) +
                            " tricks");
    }

    table::TableWindow& table_;
    std::set<int> clickedThisTurn;
    int tricksThisHand = 0;
    bool sittingOut = false;
};

TEST(SoloGame, PlayedToTheEndWithTheMouse) {
    QApplication::setQuitOnLastWindowClosed(false);
    QTemporaryDir home;
    ASSERT_TRUE(home.isValid());
    qputenv("VORNEL_HOME", home.path().toLocal8Bit());
    FixedBotSpeed speed(2);
    Program program({}, {freePort(), &speed});
    table::TableWindow& table = program.table();
    ClickingPlayer player(table);
    table.connection().setMessageHandler([&](std::string_view message) {
        table.dispatch(message);
        player.seen(message);
    });
    program.start();
    ASSERT_TRUE(waitUntil([&] { return table.state().loggedIn && table.board().nameLabel(1)->text() == "You"; }));

    press(table.board().image("button_start"));
    ASSERT_TRUE(program.gameStart().isVisible());
    press(program.gameStart().findChild<QWidget*>("button_start"));
    ASSERT_TRUE(waitUntil([&] { return player.winner != 0; }, 120000))
        << "no winner after " << player.hands << " hands, " << player.plays << " own cards";

    EXPECT_TRUE(player.stray.empty()) << player.stray.front();
    EXPECT_GT(player.plays, 0);
    EXPECT_GT(player.bubbleClicks, 0);
    EXPECT_GE(player.hands, player.scores);
    const int team = player.winner;
    ASSERT_TRUE(team == 1 || team == 2);
    const QString score = table.board().text(QString("label_score%1").arg(team))->text();
    EXPECT_GE(score.toInt(), 10);
    EXPECT_LT(table.board().text(QString("label_score%1").arg(3 - team))->text().toInt(), 10);
    for (int seat = 1; seat <= 4; ++seat)
        EXPECT_EQ(table.board().seatImage("image_winner", seat)->isVisible(), seat % 2 == team % 2) << seat;
    EXPECT_EQ(chatLines(table).back().text, team == 1 ? "The Tan Team has Won the Game!!" : "The Blue Team has Won the Game!!");
    EXPECT_EQ(program.tally().tally().cell(1, 0), "1") << "one game in the tally";
    const auto* log = qobject_cast<GameLogWindow*>(program.window("Tscorecard"));
    ASSERT_NE(log, nullptr);
    EXPECT_EQ(log->lineCount(1) + log->lineCount(2), 2 * player.scores + 2);
    const auto* last = qobject_cast<LastTrickWindow*>(program.window("Tlasttrick"));
    ASSERT_NE(last, nullptr);
    EXPECT_TRUE(last->winner()->text().endsWith(" Won the Trick!")) << last->winner()->text().toStdString();
    EXPECT_TRUE(table.board().image("button_start")->isVisible()) << "the host may start a new game";

    // And it does: the board starts again from nothing.
    const int handsBefore = player.hands;
    press(table.board().image("button_start"));
    press(program.gameStart().findChild<QWidget*>("button_start"));
    ASSERT_TRUE(waitUntil([&] { return player.hands > handsBefore; }));
    EXPECT_FALSE(table.board().image("button_start")->isVisible());
    EXPECT_EQ(table.board().text("label_score1")->text(), "0");
    EXPECT_EQ(table.board().text("label_score2")->text(), "0");
    for (int seat = 1; seat <= 4; ++seat) EXPECT_FALSE(table.board().seatImage("image_winner", seat)->isVisible()) << seat;
    qunsetenv("VORNEL_HOME");
}

}  // namespace
}  // namespace vornel::app

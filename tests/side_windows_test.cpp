// The side windows as the table fills them: the game log across games, the
// last trick (a lone hand, the view from seat 3, before the first trick),
// the watcher list and its kick, the seat-name pop-up, "Just Watch", the
// help pages and the about box.

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QMouseEvent>
#include <QPushButton>
#include <QTextBlock>

#include "app/about_window.h"
#include "app/game_log_window.h"
#include "app/help_window.h"
#include "app/last_trick_window.h"
#include "app/spy_list_window.h"
#include "net/protocol.h"
#include "table_test_support.h"

namespace vornel::app {
namespace {

using table::test::press;
using table::test::SentCapture;
using table::test::shows;
using table::test::showsNothing;
using table::test::waitUntil;
using Sent = std::vector<std::string>;

// A table window whose game log, last trick and watcher list are the real
// windows, made as the program makes them: the table first, the windows
// with it, then the table given them.
struct SideWindows {
    table::RecordingServices services;
    table::TableWindow table;
    GameLogWindow log{table};
    LastTrickWindow last{table};
    SpyListWindow spies{table};

    SideWindows() {
        table.setServices({log, last, services, spies, services});
        table.show();
    }
    void dispatch(std::string_view message) { table.dispatch(message); }
    void login(int seat) { dispatch("CMD_sendlogininfo+" + std::to_string(seat)); }
    void hostAndLogin() {
        table.state().isHost = true;
        spies.setHosting(true);
        login(1);
    }
    QPixmap corner(int card) const { return table.artwork().card(card).copy(QRect({0, 0}, LastTrickWindow::kFrameSize)); }
};

struct LogLine {
    QString text;
    QColor colour;
};

std::vector<LogLine> paneLines(const GameLogWindow& log, int pane) {
    std::vector<LogLine> lines;
    const QTextDocument* document = log.pane(pane)->document();
    for (QTextBlock block = document->begin(); block.isValid(); block = block.next()) {
        if (block.text().isEmpty()) continue;
        const QTextCharFormat format = block.begin().fragment().charFormat();
        EXPECT_EQ(format.fontWeight(), QFont::Bold) << block.text().toStdString();
        EXPECT_EQ(format.fontPointSize(), 10) << block.text().toStdString();
        lines.push_back({block.text(), format.foreground().color()});
    }
    return lines;
}

// --- the game log --------------------------------------------------------

TEST(GameLog, HandNumbersKeepCountingIntoTheSecondGame) {
    SideWindows f;
    f.login(1);
    const QColor orange(255, 128, 0), navy(55, 70, 140);
    // Game 1: Tan makes 3 tricks, Blue marches, Tan wins.
    f.dispatch("CMD_trickwinner+1+3+2+");
    f.dispatch("CMD_score+1+1+1+0+0+");
    f.dispatch("CMD_trickwinner+2+0+5+");
    f.dispatch("CMD_score+2+1+0+2+2+");
    f.dispatch("CMD_thewinner+1+");
    // Game 2 on the same run: Blue is Vorneled.
    f.dispatch("CMD_startgame+Ann+5+");
    f.dispatch("CMD_trickwinner+1+4+1+");
    f.dispatch("CMD_score+2+2+2+0+0+");

    const auto tan = paneLines(f.log, 1);
    const auto blue = paneLines(f.log, 2);
    const std::vector<QString> tanTexts{"R1: M 1 point  3 tricks", "R2:   0 points 0 tricks", "The Tan Team Won!!",
                                        "R4:   2 points 4 tricks"};
    const std::vector<QString> blueTexts{"R1:   0 points 2 tricks", "R2: M 2 points 5 tricks Marched!",
                                         "The Tan Team Won!!", "R4: M 0 points 1 tricks! Vorneled!"};
    ASSERT_EQ(tan.size(), tanTexts.size());
    ASSERT_EQ(blue.size(), blueTexts.size());
    for (std::size_t i = 0; i < tanTexts.size(); ++i) {
        EXPECT_EQ(tan[i].text, tanTexts[i]);
        EXPECT_EQ(blue[i].text, blueTexts[i]);
        const bool gameLine = i == 2;
        EXPECT_EQ(tan[i].colour, gameLine ? table::kTanColour : orange) << i;
        EXPECT_EQ(blue[i].colour, gameLine ? table::kTanColour : navy) << i;
    }
    EXPECT_EQ(f.log.lineCount(1), 4);
    EXPECT_EQ(f.log.lineCount(2), 4);
    EXPECT_TRUE(f.log.pane(1)->isReadOnly());
    EXPECT_EQ(f.log.pane(1)->focusPolicy(), Qt::ClickFocus) << "not reached by tabbing";

    f.log.showOver();
    f.log.findChild<QPushButton*>("button_done")->click();
    EXPECT_FALSE(f.log.isVisible());
    EXPECT_EQ(f.log.lineCount(1), 4) << "hiding keeps the log";
}

// --- the last trick ------------------------------------------------------

TEST(LastTrick, BeforeTheFirstTrick) {
    SideWindows f;
    for (int seat = 1; seat <= 4; ++seat) {
        EXPECT_TRUE(showsNothing(f.last.played(seat))) << seat;
        EXPECT_EQ(f.last.played(seat)->size(), LastTrickWindow::kFrameSize);
        EXPECT_EQ(f.last.player(seat)->text(), "<Waiting>");
    }
    EXPECT_EQ(f.last.ledSuit()->text(), "None");
    EXPECT_TRUE(showsNothing(f.last.trumpCard()));
    EXPECT_EQ(f.last.winner()->text(), "Winner");
}

TEST(LastTrick, ALoneHandLeavesThePartnersFrameEmpty) {
    SideWindows f;
    f.login(1);
    f.dispatch("CMD_newplayerinfo+1+Ann");
    f.dispatch("CMD_existingplayers+4+Dee");
    f.dispatch("CMD_settrump+12+");  // the king of Clubs turned up
    f.dispatch("CMD_playedcard+1+2+40+");
    f.dispatch("CMD_playedcard+2+2+41+");
    f.dispatch("CMD_playedcard+4+2+10+");
    f.dispatch("CMD_trickwinner+4+0+1+");

    EXPECT_TRUE(shows(f.last.played(1), f.corner(40)));
    EXPECT_TRUE(shows(f.last.played(2), f.corner(41)));
    EXPECT_TRUE(showsNothing(f.last.played(3))) << "the partner sat out";
    EXPECT_TRUE(shows(f.last.played(4), f.corner(10)));
    EXPECT_TRUE(shows(f.last.trumpCard(), f.corner(12)));
    EXPECT_EQ(f.last.ledSuit()->text(), "Hearts");
    EXPECT_EQ(f.last.winner()->text(), "Dee Won the Trick!");

    // The next trick replaces the whole picture; a new bidding round clears the trump.
    f.dispatch("CMD_playedcard+4+3+27+");
    f.dispatch("CMD_playedcard+1+3+30+");
    f.dispatch("CMD_playedcard+2+3+31+");
    f.dispatch("CMD_trickwinner+2+0+2+");
    EXPECT_TRUE(shows(f.last.played(1), f.corner(30)));
    EXPECT_EQ(f.last.ledSuit()->text(), "Spades");
    f.dispatch("CMD_bidder+2+");
    EXPECT_TRUE(showsNothing(f.last.trumpCard()));
    EXPECT_TRUE(shows(f.last.played(4), f.corner(27))) << "only the trump card goes";
}

TEST(LastTrick, SeatOneStaysAtTheLeftWhenTheTableIsSeenFromSeatThree) {
    SideWindows f;
    f.login(3);
    f.dispatch("CMD_newplayerinfo+3+Cy");
    f.dispatch("CMD_existingplayers+1+Al");
    f.dispatch("CMD_existingplayers+2+Bo");
    for (int seat = 1; seat <= 4; ++seat) f.dispatch("CMD_playedcard+" + std::to_string(seat) + "+1+" + std::to_string(8 + seat) + "+");
    f.dispatch("CMD_trickwinner+1+1+0+");

    for (int seat = 1; seat <= 4; ++seat) {
        EXPECT_TRUE(shows(f.last.played(seat), f.corner(8 + seat))) << seat;
        EXPECT_EQ(f.last.played(seat)->x(), 10 + 80 * (seat - 1)) << seat;
    }
    EXPECT_EQ(f.last.winner()->text(), "Al Won the Trick!");
    // The names are read from the table each time the window becomes active.
    f.last.showOver();
    ASSERT_TRUE(waitUntil([&] { return f.last.isActiveWindow(); }, 5000));
    const std::vector<QString> names{"Al", "Bo", "Cy", "<Waiting>"};
    for (int seat = 1; seat <= 4; ++seat) EXPECT_EQ(f.last.player(seat)->text(), names[seat - 1]) << seat;
}

// --- the seat-name pop-up, "Just Watch" and kicking -----------------------

struct PopupCase {
    const char* name;
    bool host;
    bool seatTaken;
    bool kickEnabled;
    bool watchEnabled;
};

class SeatPopup : public ::testing::TestWithParam<PopupCase> {};

TEST_P(SeatPopup, ItemsAreEnabledForTheHostAndATakenSeat) {
    const PopupCase& c = GetParam();
    SideWindows f;
    f.table.state().isHost = c.host;
    f.login(1);
    if (c.seatTaken) f.dispatch("CMD_newplayerinfo+3+Cy");
    press(f.table.board().nameLabel(3), Qt::RightButton);
    QMenu* popup = f.table.seatPopup();
    ASSERT_TRUE(popup->isVisible());
    popup->hide();
    EXPECT_EQ(f.table.seatPopupSeat(), 3);
    EXPECT_EQ(f.table.action("popup_kickhim")->isEnabled(), c.kickEnabled);
    EXPECT_EQ(f.table.action("popup_settojustwatch")->isEnabled(), c.watchEnabled);
    EXPECT_EQ(f.table.action("popup_unsetjustwatch")->isEnabled(), c.watchEnabled);
    // A left click opens nothing.
    press(f.table.board().nameLabel(2));
    EXPECT_FALSE(popup->isVisible());
}

INSTANTIATE_TEST_SUITE_P(Tables, SeatPopup,
                         ::testing::Values(PopupCase{"HostTakenSeat", true, true, true, true},
                                           PopupCase{"HostEmptySeat", true, false, false, true},
                                           PopupCase{"JoinedTakenSeat", false, true, false, false},
                                           PopupCase{"JoinedEmptySeat", false, false, false, false}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(SeatPopup, TheHostsItemsSendForTheSeatOfTheLabel) {
    SideWindows f;
    SentCapture capture(f.table);
    ASSERT_TRUE(capture.connected());
    f.table.state().isHost = true;
    f.login(1);
    f.dispatch("CMD_newplayerinfo+3+Cy");
    capture.takeSent();
    f.table.label_playername1ContextPopup(3);
    f.table.action("popup_kickhim")->trigger();
    f.table.action("popup_settojustwatch")->trigger();
    f.table.action("popup_unsetjustwatch")->trigger();
    EXPECT_EQ(capture.takeSent(), (Sent{"CMD_kickhim+1+3+", "CMD_justwatch+3+1", "CMD_justwatch+3+2"}));
}

TEST(SeatPopup, TheSeatFollowsTheLabelAfterTheTableTurns) {
    SideWindows f;
    f.table.state().isHost = true;
    f.login(2);  // seat 2 now sits at the bottom, where seat 1's label was made
    for (int seat = 1; seat <= 4; ++seat) {
        press(f.table.board().nameLabel(seat), Qt::RightButton);
        f.table.seatPopup()->hide();
        EXPECT_EQ(f.table.seatPopupSeat(), seat);
    }
}

TEST(JustWatch, AWatcherSendsNothingAndTwoChoicesBeforeTheAnswerSendOneTwice) {
    SideWindows watcher;
    SentCapture watcherCapture(watcher.table);
    ASSERT_TRUE(watcherCapture.connected());
    watcher.login(6);
    watcherCapture.takeSent();
    watcher.table.action("action_justwatch")->trigger();
    EXPECT_TRUE(watcherCapture.takeSent().empty());

    SideWindows player;
    SentCapture capture(player.table);
    ASSERT_TRUE(capture.connected());
    player.login(2);
    capture.takeSent();
    QAction* watch = player.table.action("action_justwatch");
    watch->trigger();
    watch->trigger();
    EXPECT_EQ(capture.takeSent(), (Sent{"CMD_justwatch+2+1", "CMD_justwatch+2+1"}));
    EXPECT_FALSE(watch->isChecked()) << "only the host's answer checks it";
}

// The pointer over a row of the watcher list (-1: below the last entry).
void pointAt(SpyListWindow& spies, int row) {
    QListWidget* list = spies.list();
    const QPoint at = row >= 0 ? list->visualItemRect(list->item(row)).center() : QPoint(5, list->viewport()->height() - 3);
    QMouseEvent move(QEvent::MouseMove, at, list->viewport()->mapToGlobal(at), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(list->viewport(), &move);
}

TEST(WatcherList, TheHostKicksTheWatcherUnderThePointer) {
    SideWindows f;
    SentCapture capture(f.table);
    ASSERT_TRUE(capture.connected());
    f.hostAndLogin();
    f.dispatch("CMD_newplayerinfo+6+Wes");
    f.dispatch("CMD_newplayerinfo+7+Val");
    f.spies.addWatcher("Ghost: no number");  // not what the table writes, but possible
    capture.takeSent();
    ASSERT_EQ(f.spies.list()->count(), 3);
    EXPECT_EQ(f.spies.list()->item(0)->text(), "6: Wes");
    EXPECT_TRUE(f.spies.removeAction()->isEnabled());

    pointAt(f.spies, 1);
    EXPECT_EQ(f.spies.entryUnderPointer(), 1);
    f.spies.removeAction()->trigger();
    EXPECT_EQ(capture.takeSent(), Sent{"CMD_kickhim+1+7+"});

    for (int row : {2, -1}) {
        pointAt(f.spies, row);
        f.spies.removeAction()->trigger();
        EXPECT_TRUE(capture.takeSent().empty()) << row;
    }

    f.dispatch("CMD_playerdisconnected+6+Wes");
    EXPECT_EQ(f.spies.list()->count(), 2);
    EXPECT_EQ(f.spies.entryUnderPointer(), -1) << "the rows moved: nobody is under the pointer";
}

TEST(WatcherList, AJoinedTableKicksNobody) {
    SideWindows f;
    SentCapture capture(f.table);
    ASSERT_TRUE(capture.connected());
    f.login(2);
    f.dispatch("CMD_newplayerinfo+6+Wes");
    capture.takeSent();
    EXPECT_FALSE(f.spies.removeAction()->isEnabled());
    pointAt(f.spies, 0);
    f.spies.RemoveFromGame1Click();
    f.table.kicking(6);
    EXPECT_TRUE(capture.takeSent().empty());
}

// --- help and about -------------------------------------------------------

TEST(Help, TheHeadingFollowsThePageButtons) {
    HelpWindow help(QPixmap(), nullptr);
    EXPECT_EQ(help.currentPage(), 1);
    EXPECT_EQ(help.heading(), "Overview");
    const std::vector<std::pair<int, QString>> pages{{5, "Documentation"}, {3, "Game Play"}, {6, "License"},
                                                     {2, "Connecting"},    {4, "Scoring"},   {1, "Overview"}};
    for (const auto& [page, caption] : pages) {
        help.pageButton(page)->click();
        EXPECT_EQ(help.currentPage(), page);
        EXPECT_EQ(help.heading(), caption);
        EXPECT_FALSE(help.pageText(page)->toPlainText().trimmed().isEmpty()) << page;
    }
    // The newest entry of the history comes first.
    const QString history = help.pageText(5)->toPlainText();
    EXPECT_LT(history.indexOf("1.0.5.3"), history.indexOf("1.0.5.2"));
    EXPECT_GE(history.indexOf("1.0.5.3"), 0);

    int abouts = 0;
    QObject::connect(&help, &HelpWindow::aboutRequested, [&] { ++abouts; });
    help.findChild<QPushButton*>("button_about")->click();
    EXPECT_EQ(abouts, 1);
    help.showOver();
    help.findChild<QPushButton*>("button_done")->click();
    EXPECT_FALSE(help.isVisible());
}

TEST(About, VersionLinkLogoAndTheDataDirectory) {
    QStringList opened;
    const QPixmap logo(223, 61);
    AboutWindow about(QPixmap(), logo, nullptr, "/home/ann/vornel", [&](const QString& address) { opened << address; });
    EXPECT_EQ(about.version()->text().toStdString(), std::string(net::kVersion));
    const QLabel* build = about.findChild<QLabel*>("label_build");
    EXPECT_EQ(build->text(), ".3");
    EXPECT_EQ(build->x(), about.version()->x() + about.version()->width()) << "reads as one version number";
    EXPECT_TRUE(about.dataDirectory()->text().endsWith("vornel")) << about.dataDirectory()->text().toStdString();
    EXPECT_EQ(about.dataDirectory()->toolTip(), QDir::toNativeSeparators("/home/ann/vornel"));

    press(about.link());
    EXPECT_EQ(opened, QStringList{kWebAddress});
    about.showOver();
    press(about.logo());
    EXPECT_FALSE(about.isVisible()) << "the logo closes the box";
    EXPECT_EQ(opened.size(), 1);
}

}  // namespace
}  // namespace vornel::app

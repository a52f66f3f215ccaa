// The program's windows and the table's menus as they stand at start-up and
// as the player changes them: the eleven windows, the menu items with their
// check marks, stay-on-top, hiding on activation, the smallest size, "Reset
// Screen Location", the chat box's lines and the idle dispatch timer.

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QMenuBar>
#include <QPushButton>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QTextEdit>
#include <QWindow>
#include <QTest>
#include <functional>

#include "app/about_window.h"
#include "app/download_window.h"
#include "app/phrase_editor.h"
#include "app/program.h"
#include "app/spy_list_window.h"
#include "players/simulation.h"
#include "table/chat_box.h"
#include "program_fixture.h"
#include "table_test_support.h"

namespace vornel::app {
namespace {

using table::test::freePort;
using table::test::waitUntil;

class ProgramWindows : public test::ProgramFixture {
protected:
    void SetUp() override {
        ProgramFixture::SetUp();
        start({});
        ASSERT_TRUE(loggedIn());
    }
};

TEST_F(ProgramWindows, ElevenWindowsInTheirOrderWithTheirCaptions) {
    const std::vector<std::pair<QString, QString>> expected{
        {"Tchat", "Vornel"},
        {"Ttallylist", "Vornel - Tally List"},
        {"Tabout", "Vornel - About"},
        {"Tgamestart", "Vornel - Game Start"},
        {"Thelp", "Vornel - Help File"},
        {"Tphrases", "Vornel - Phrase Buttons"},
        {"TServer", "Server"},
        {"Tspylist", "Vornel - Spys"},
        {"Tlasttrick", "Last Trick"},
        {"Tscorecard", "Vornel - Logs"},
        {"Tdownload", "Download The Zelmo7 Lobby"},
    };
    const auto windows = program->windowsInCreationOrder();
    ASSERT_EQ(windows.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(windows[i]->objectName(), expected[i].first) << i;
        EXPECT_EQ(windows[i]->windowTitle(), expected[i].second) << i;
    }
    EXPECT_FALSE(program->window("TServer")->isVisible()) << "the host's window is never shown";
    // A side window closed by its player is hidden, not destroyed.
    SideWindow* about = program->window("Tabout");
    about->showOver();
    about->close();
    EXPECT_FALSE(about->isVisible());
    EXPECT_EQ(program->window("Tabout"), about);
}

TEST_F(ProgramWindows, MenusHoldEveryItemWithItsStartingCheckMarks) {
    QStringList captions;
    for (QAction* menu : table().menuBar()->actions()) {
        captions << menu->text();
        for (QAction* item : menu->menu()->actions()) {
            captions << item->text();
            if (item->menu() != nullptr)
                for (QAction* sub : item->menu()->actions()) captions << sub->text();
        }
    }
    for (const char* wanted :
         {"File", "Start Game", "Exit", "Options", "Play Sounds", "Play Chatter Sounds", "Turn Sound", "Classic", "New",
          "Bot Speed", "Slow", "Normal", "Fast", "View Score Card", "Score Card Window - Stay on Top", "View Last Trick",
          "Last Trick Window - Stay on Top", "Clear Main Chat Box", "Reset Screen Location", "Just Watch", "Text Color",
          "Action Color", "Text Size", "8", "10", "12", "14", "Scroll Chat Off", "View", "View Tally", "Spy List",
          "Last Trick", "Game Log", "Phrase List", "Help", "Content", "About"})
        EXPECT_TRUE(captions.contains(wanted)) << wanted;

    EXPECT_FALSE(table().action("action_host")->isVisible());
    EXPECT_FALSE(table().action("action_join")->isVisible());
    EXPECT_TRUE(table().action("action_startgame")->isEnabled()) << "enabled on the host";
    EXPECT_EQ(table().action("action_content")->shortcut(), QKeySequence(Qt::Key_F1));
    // Built-in states, then the settings read at login (none here: defaults).
    EXPECT_TRUE(table().action("action_playsounds")->isChecked());
    EXPECT_TRUE(table().action("action_turnclassic")->isChecked());
    EXPECT_FALSE(table().action("action_turnnew")->isChecked());
    EXPECT_TRUE(table().action("action_normal")->isChecked());
    EXPECT_FALSE(table().action("action_slow")->isChecked() || table().action("action_fast")->isChecked());
    EXPECT_FALSE(table().action("action_scorecardontop")->isChecked());
    EXPECT_FALSE(table().action("action_lasttrickontop")->isChecked());
    EXPECT_TRUE(table().action("action_size8")->isChecked());
}

TEST_F(ProgramWindows, StayOnTopIsAppliedAndWritten) {
    SideWindow* log = program->window("Tscorecard");
    EXPECT_FALSE(log->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    table().action("action_scorecardontop")->trigger();
    EXPECT_TRUE(log->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    EXPECT_TRUE(settingsText().contains("Scontop=true"));
    EXPECT_TRUE(settingsText().contains("Ltontop=false"));
    table().action("action_scorecardontop")->trigger();
    EXPECT_FALSE(log->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    EXPECT_TRUE(settingsText().contains("Scontop=false"));
}

TEST_F(ProgramWindows, ActivatingTheTableHidesSideWindowsThatDoNotStayOnTop) {
    SideWindow* log = program->window("Tscorecard");
    SideWindow* last = program->window("Tlasttrick");
    table().action("action_lasttrickontop")->trigger();
    log->showOver();
    last->showOver();
    // The table's activation right after a window was opened (the closing
    // menu, the click on a table button) leaves it open.
    Q_EMIT table().activated();
    EXPECT_TRUE(log->isVisible());
    QElapsedTimer clock;
    clock.start();
    waitUntil([&] { return clock.elapsed() > SideWindow::kJustShownMs; });
    table().activateWindow();
    Q_EMIT table().activated();
    EXPECT_FALSE(log->isVisible());
    EXPECT_TRUE(last->isVisible()) << "it stays on top, so it stays shown";
}

TEST_F(ProgramWindows, SideWindowsOpenedFromTheMenusStayOpenWithTheirContent) {
    const std::pair<const char*, const char*> openers[] = {{"action_viewscorecard", "Tscorecard"},
                                                           {"action_lasttrick", "Tlasttrick"},
                                                           {"action_spylist", "Tspylist"},
                                                           {"action_content", "Thelp"},
                                                           {"action_about", "Tabout"}};
    for (const auto& [action, className] : openers) {
        table().action(action)->trigger();
        // The menu closes and the table becomes active again at once.
        Q_EMIT table().activated();
        SideWindow* window = program->window(className);
        EXPECT_TRUE(window->isVisible()) << className;
        EXPECT_TRUE(waitUntil([&] { return window->isActiveWindow(); }, 5000)) << className;
    }
    // Help's "About" shows the about box, which names the folder of the settings file.
    program->window("Tabout")->hide();
    program->window("Thelp")->findChild<QPushButton*>("button_about")->click();
    const auto* about = qobject_cast<AboutWindow*>(program->window("Tabout"));
    ASSERT_NE(about, nullptr);
    EXPECT_TRUE(about->isVisible());
    EXPECT_EQ(QDir(about->dataDirectory()->toolTip()), QDir(home.path()));
    // The solo game is hosted here: the watcher list may remove watchers.
    EXPECT_TRUE(qobject_cast<SpyListWindow*>(program->window("Tspylist"))->removeAction()->isEnabled());
}

// Esc in a side window or dialog does what its close button does: the
// window goes, and the phrase editor keeps nothing that was typed.
TEST_F(ProgramWindows, EscClosesTheDialogsAndSideWindows) {
    const QString builtIn = table().phrase(1);
    const std::pair<const char*, std::function<void()>> windows[] = {
        {"Tgamestart", [&] { table().action("action_startgame")->trigger(); }},
        {"Tphrases", [&] { table().action("action_phraselist")->trigger(); }},
        {"Thelp", [&] { table().action("action_content")->trigger(); }},
        {"Tabout", [&] { table().action("action_about")->trigger(); }},
        {"Ttallylist", [&] { table().action("action_viewtally")->trigger(); }},
        {"Tspylist", [&] { table().action("action_spylist")->trigger(); }},
        {"Tlasttrick", [&] { table().action("action_lasttrick")->trigger(); }},
        {"Tscorecard", [&] { table().action("action_viewscorecard")->trigger(); }},
        {"Tdownload", [&] { program->download().showOnDesktop(); }},
    };
    for (const auto& [className, open] : windows) {
        SCOPED_TRACE(className);
        SideWindow* window = program->window(className);
        open();
        ASSERT_TRUE(waitUntil([&] { return window->isVisible() && window->isActiveWindow(); }, 5000));
        if (window == &program->phraseEditor()) program->phraseEditor().edit(1).setText("Typed, then Esc");
        // The key goes where the player's keys go: the focused element first.
        QWidget* focused = QApplication::focusWidget();
        QTest::keyClick(focused != nullptr && focused->window() == window ? focused : window, Qt::Key_Escape);
        EXPECT_FALSE(window->isVisible());
    }
    EXPECT_EQ(table().phrase(1), builtIn);
    EXPECT_FALSE(settingsText().contains("Phrase1=")) << settingsText().toStdString();
    EXPECT_TRUE(table().isVisible()) << "Esc closes only the window it was pressed in";
}

// On a screen with little room beside the table (the table fills its
// width) the side windows go below it where they fit, or over a corner of
// the board: never over the cards of the trick, never off the screen.
TEST_F(ProgramWindows, SideWindowsLeaveTheTrickInSightOnASmallScreen) {
    QRect trick;
    for (int seat = 1; seat <= 4; ++seat) {
        const QWidget* card = table().board().seatImage("image_played", seat);
        trick |= QRect(card->mapToGlobal(QPoint(0, 0)), card->size());
    }
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    ASSERT_LT(screen.width() - table().frameGeometry().right(), 200) << "no room beside the table";
    const std::pair<const char*, const char*> openers[] = {{"action_lasttrick", "Tlasttrick"},
                                                           {"action_viewscorecard", "Tscorecard"},
                                                           {"action_viewtally", "Ttallylist"},
                                                           {"action_spylist", "Tspylist"}};
    for (const auto& [action, className] : openers) {
        SCOPED_TRACE(className);
        table().action(action)->trigger();
        SideWindow* window = program->window(className);
        const QRect frame = window->frameGeometry();
        EXPECT_FALSE(frame.intersects(trick));
        EXPECT_TRUE(screen.contains(frame));
        // Over the table, so kept in front of it by the window system.
        ASSERT_NE(window->windowHandle(), nullptr);
        EXPECT_EQ(window->windowHandle()->transientParent(), table().windowHandle());
    }
}

TEST_F(ProgramWindows, TheBoardNeverGetsSmallerThanItsMargins) {
    table().resize(200, 150);
    QApplication::processEvents();
    EXPECT_GE(table().centralWidget()->width(), table::Board::kWidth + 15);
    EXPECT_GE(table().centralWidget()->height(), table::Board::kHeight + 12);
}

TEST_F(ProgramWindows, ResetScreenLocationMovesAndSizesWithoutWriting) {
    table().move(120, 80);
    table().resize(900, 700);
    const QByteArray before = settingsText();
    table().action("action_resetscreen")->trigger();
    EXPECT_EQ(table().pos(), QPoint(3, 3));
    // 780 x 600, except that the board's margins keep the width at 786 at least.
    EXPECT_EQ(table().size(), QSize(std::max(780, table::Board::kWidth + 15), 600));
    EXPECT_EQ(settingsText(), before);
}

TEST_F(ProgramWindows, TheDispatchTimerRestsWhenNothingWaits) {
    ASSERT_TRUE(waitUntil([&] { return table().connection().waiting() == 0; }));
    EXPECT_TRUE(waitUntil([&] { return !table().connection().timerActive(); }, 2000));
}

// The chat box: the part up to the first ":" in bold, all of it in the line's colour.
TEST(ChatBox, BoldUpToTheFirstColonInTheLinesColour) {
    QTextEdit box;
    table::ChatBox chat(box);
    chat.addLine("Ann chats: hello: there", QColor(10, 20, 30));
    chat.addLine("Ann waves", QColor(200, 0, 0));

    const QTextBlock first = box.document()->firstBlock();
    ASSERT_EQ(first.text(), "Ann chats: hello: there");
    int boldUpTo = 0;
    for (auto it = first.begin(); !it.atEnd(); ++it) {
        const QTextFragment fragment = it.fragment();
        EXPECT_EQ(fragment.charFormat().foreground().color(), QColor(10, 20, 30));
        if (fragment.charFormat().fontWeight() == QFont::Bold) boldUpTo += fragment.length();
    }
    EXPECT_EQ(boldUpTo, QString("Ann chats:").size());

    const QTextBlock second = first.next();
    ASSERT_EQ(second.text(), "Ann waves");
    for (auto it = second.begin(); !it.atEnd(); ++it) {
        EXPECT_NE(it.fragment().charFormat().fontWeight(), QFont::Bold) << "no colon, no bold part";
        EXPECT_EQ(it.fragment().charFormat().foreground().color(), QColor(200, 0, 0));
    }
}

TEST(ChatBox, ScrollOffKeepsTheViewWhereItWas) {
    QTextEdit box;
    box.resize(270, 120);
    box.show();
    table::ChatBox chat(box);
    for (int i = 0; i < 60; ++i) chat.addLine(QString("line %1").arg(i), Qt::black);
    QApplication::processEvents();
    QScrollBar* bar = box.verticalScrollBar();
    EXPECT_EQ(bar->value(), bar->maximum()) << "new lines show the end";

    bar->setValue(0);
    chat.setScrollOff(true);
    for (int i = 0; i < 20; ++i) chat.addLine("more", Qt::black);
    QApplication::processEvents();
    EXPECT_EQ(bar->value(), 0);
}

}  // namespace
}  // namespace vornel::app

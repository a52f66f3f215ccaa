// The table and its side windows on two screens: bounds from the settings
// file that are bad or stale (a screen gone, a screen smaller than the
// stored size) are fitted to a screen and written back as shown; side
// windows open beside the table, off the cards, and come back where the
// player left them.

#include <gtest/gtest.h>

#include <QApplication>
#include <QRegularExpression>
#include <QScreen>

#include "app/program.h"
#include "app/side_window.h"
#include "program_fixture.h"
#include "table_test_support.h"

namespace vornel::app {
namespace {

using table::test::settle;
using table::test::waitUntil;

QScreen* screenNamed(const QString& name) {
    for (QScreen* screen : QGuiApplication::screens())
        if (screen->name() == name) return screen;
    return nullptr;
}

int valueOf(const QByteArray& settings, const char* key) {
    const QRegularExpression line(QString("(?:^|\\n)%1=(-?[0-9]+)").arg(key));
    const auto match = line.match(QString::fromLatin1(settings));
    return match.hasMatch() ? match.captured(1).toInt() : -99999;
}

class Screens : public test::ProgramFixture {
protected:
    // Started and logged in, its settings applied.
    void startSolo() {
        start({});
        ASSERT_TRUE(loggedIn());
        settle();
    }
    QSize minimum() { return table().minimumSizeHint().expandedTo(table().minimumSize()); }
};

struct StoredCase {
    const char* what;
    QByteArray settings;
    const char* screen;  // where the table must end up
    bool unchanged;      // the file's bounds fitted already: nothing to write at close
};

TEST_F(Screens, BadAndStaleBoundsAreFittedToAScreenAndWrittenBackAsShown) {
    ASSERT_EQ(QGuiApplication::screens().size(), 2);
    const std::vector<StoredCase> cases = {
        {"far off, too narrow, too tall, and a text size the menu lacks",
         "[Vornel]\nTop=-3000\nLeft=50000\nWidth=-500\nHeight=99999999\nTextsize=999\n", "Small", false},
        {"a monitor on the left unplugged", "[Vornel]\nTop=100\nLeft=-1500\nWidth=800\nHeight=620\n", "Main",
         false},
        {"beyond the right screen", "[Vornel]\nTop=100\nLeft=2500\nWidth=800\nHeight=620\n", "Small", false},
        {"stored on a larger screen than the small one it is now on",
         "[Vornel]\nTop=10\nLeft=1610\nWidth=1200\nHeight=900\n", "Small", false},
        {"title bar above the top", "[Vornel]\nTop=-15\nLeft=200\nWidth=900\nHeight=700\n", "Main", false},
        {"not numbers: the built-in place", "[Vornel]\nTop=up\nLeft=left\nWidth=wide\nHeight=high\n", "Main", false},
        {"on the screen already", "[Vornel]\nTop=50\nLeft=100\nWidth=900\nHeight=700\nTextsize=12\n", "Main", true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        writeSettings(c.settings);
        startSolo();
        QScreen* expected = screenNamed(c.screen);
        ASSERT_NE(expected, nullptr);
        const QRect area = expected->availableGeometry();
        const QRect frame = table().frameGeometry();
        EXPECT_EQ(table().screen(), expected);
        // The whole title bar, and the whole window where it can be, on that screen.
        const QRect titleBar(frame.topLeft(), QSize(frame.width(), table().geometry().top() - frame.top()));
        if (table().height() > minimum().height()) EXPECT_TRUE(area.contains(frame)) << c.what;
        EXPECT_TRUE(area.contains(titleBar)) << "title bar " << titleBar.x() << "," << titleBar.y() << " "
                                             << titleBar.width() << "x" << titleBar.height();
        EXPECT_GE(table().width(), minimum().width());
        EXPECT_GE(table().height(), minimum().height());
        EXPECT_LE(frame.width(), area.width());
        EXPECT_TRUE(table().height() == minimum().height() || frame.height() <= area.height());
        const int textSize = table().options().textSize;
        EXPECT_TRUE(textSize == 8 || textSize == 12) << textSize;

        const QRect shown(table().pos(), table().size());
        const QByteArray before = settingsText();
        table().action("action_exit")->trigger();
        const QByteArray written = settingsText();
        if (c.unchanged) {
            EXPECT_EQ(written, before) << "an unmoved window that needed no fitting writes nothing";
            continue;
        }
        EXPECT_EQ(valueOf(written, "Left"), shown.x()) << written.toStdString();
        EXPECT_EQ(valueOf(written, "Top"), shown.y()) << written.toStdString();
        EXPECT_EQ(valueOf(written, "Width"), shown.width()) << written.toStdString();
        EXPECT_EQ(valueOf(written, "Height"), shown.height()) << written.toStdString();
        EXPECT_EQ(valueOf(written, "Textsize"), textSize) << written.toStdString();
    }
}

TEST_F(Screens, ResetScreenLocationStaysOnTheScreen) {
    writeSettings("[Vornel]\nTop=200\nLeft=1700\nWidth=790\nHeight=590\n");
    startSolo();
    table().action("action_resetscreen")->trigger();
    EXPECT_EQ(table().pos(), QPoint(3, 3));
    EXPECT_TRUE(screenNamed("Main")->availableGeometry().contains(table().frameGeometry()));
}

// The played cards of a trick, where the player sees them.
QRect trickOnScreen(table::TableWindow& table) {
    QRect trick;
    for (int seat = 1; seat <= 4; ++seat) {
        const QWidget* card = table.board().seatImage("image_played", seat);
        trick |= QRect(card->mapToGlobal(QPoint(0, 0)), card->size());
    }
    return trick;
}

TEST_F(Screens, SideWindowsOpenBesideTheTableAndComeBackWhereThePlayerLeftThem) {
    startSolo();
    const std::pair<const char*, const char*> openers[] = {{"action_lasttrick", "Tlasttrick"},
                                                           {"action_viewscorecard", "Tscorecard"},
                                                           {"action_viewtally", "Ttallylist"},
                                                           {"action_spylist", "Tspylist"}};
    const QRect main = screenNamed("Main")->availableGeometry();
    std::vector<QRect> shown;
    for (const auto& [action, className] : openers) {
        SCOPED_TRACE(className);
        table().action(action)->trigger();
        SideWindow* window = program->window(className);
        ASSERT_TRUE(waitUntil([&] { return window->isVisible(); }));
        const QRect frame = window->frameGeometry();
        EXPECT_FALSE(frame.intersects(table().frameGeometry())) << "beside the table, not over it";
        EXPECT_FALSE(frame.intersects(trickOnScreen(table())));
        EXPECT_TRUE(main.contains(frame));
        for (const QRect& other : shown) EXPECT_FALSE(frame.intersects(other)) << "nor over each other";
        shown.push_back(frame);
    }

    // The player drags the last trick away and closes it; the game log is
    // closed where it was put. Then the table moves.
    SideWindow* last = program->window("Tlasttrick");
    SideWindow* log = program->window("Tscorecard");
    last->move(1100, 700);
    ASSERT_TRUE(waitUntil([&] { return last->pos() == QPoint(1100, 700); }));
    last->close();
    log->close();
    table().move(300, 200);
    ASSERT_TRUE(waitUntil([&] { return table().pos() == QPoint(300, 200); }));
    table().action("action_lasttrick")->trigger();
    table().action("action_viewscorecard")->trigger();
    ASSERT_TRUE(waitUntil([&] { return last->isVisible() && log->isVisible(); }));
    EXPECT_EQ(last->pos(), QPoint(1100, 700)) << "where the player left it";
    EXPECT_FALSE(log->frameGeometry().intersects(table().frameGeometry())) << "beside the table where it is now";
    EXPECT_FALSE(log->frameGeometry().intersects(last->frameGeometry()));

    // Dialogs still come up centred over the table.
    table().action("action_about")->trigger();
    SideWindow* about = program->window("Tabout");
    ASSERT_TRUE(waitUntil([&] { return about->isVisible(); }));
    EXPECT_LE((about->frameGeometry().center() - table().frameGeometry().center()).manhattanLength(), 4);
}

}  // namespace
}  // namespace vornel::app

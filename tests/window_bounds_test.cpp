// What the close step stores, the smallest client area, the table's bounds
// fitted to the screens, and where a side window goes beside the table.

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include <QRect>

#include "app/window_bounds.h"

namespace vornel::app {
namespace {

constexpr AreaSize kWorkArea{1280, 1000};

struct CloseCase {
    std::string_view what;
    WindowBounds current;
    WindowBounds stored;
    bool settingsWereRead;
    std::optional<WindowBounds> expected;
};

TEST(WindowBounds, CloseRule) {
    const std::vector<CloseCase> cases = {
        {"never read: nothing, even when moved", {50, 60, 800, 600}, {0, 0, 0, 0}, false, std::nullopt},
        {"unmoved: nothing", {50, 60, 800, 600}, {50, 60, 800, 600}, true, std::nullopt},
        {"moved", {51, 60, 800, 600}, {50, 60, 800, 600}, true, WindowBounds{51, 60, 800, 600}},
        {"resized", {50, 60, 800, 601}, {50, 60, 800, 600}, true, WindowBounds{50, 60, 800, 601}},
        {"as wide as the work area: kept", {0, 0, 1280, 1000}, {3, 3, 780, 600}, true, WindowBounds{0, 0, 1280, 1000}},
        {"wider: 15 narrower", {0, 0, 1281, 700}, {3, 3, 780, 600}, true, WindowBounds{0, 0, 1266, 700}},
        {"much wider: only 15 once", {0, 0, 1400, 700}, {3, 3, 780, 600}, true, WindowBounds{0, 0, 1385, 700}},
        {"taller: 15 lower", {0, 0, 800, 1001}, {3, 3, 780, 600}, true, WindowBounds{0, 0, 800, 986}},
        {"both", {-4, -4, 1300, 1100}, {3, 3, 780, 600}, true, WindowBounds{-4, -4, 1285, 1085}},
        {"stored oversized and unmoved: not shrunk again", {0, 0, 1385, 700}, {0, 0, 1385, 700}, true, std::nullopt},
        {"reset screen location", kDefaultBounds, {200, 100, 900, 700}, true, WindowBounds{3, 3, 780, 600}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(boundsToStoreAtClose(c.current, c.stored, c.settingsWereRead, kWorkArea), c.expected);
    }
}

TEST(WindowBounds, ClientNeverSmallerThanTheBoardAndMargins) {
    const std::vector<std::pair<AreaSize, AreaSize>> cases = {
        {{100, 100}, {786, 563}},
        {{785, 562}, {786, 563}},
        {{786, 563}, {786, 563}},
        {{1000, 400}, {1000, 563}},
        {{500, 900}, {786, 900}},
        {{1200, 900}, {1200, 900}},
    };
    for (const auto& [client, expected] : cases) EXPECT_EQ(clampClientSize(client), expected);
}


// --- the table's bounds on the screens ------------------------------------

// A frame as a window manager draws it: 1-pixel sides, a 20-pixel title bar.
const QMargins kFrame{1, 20, 1, 5};
// The table's smallest client: the board and its margins, and the menu bar.
constexpr AreaSize kMinimum{786, 585};
const QRect kScreen{0, 0, 1280, 1024};

struct FitCase {
    std::string_view what;
    WindowBounds wanted;
    std::vector<QRect> screens;
    WindowBounds expected;
};

TEST(WindowBounds, FittedToTheScreens) {
    const QRect rightScreen{1280, 0, 1920, 1080};
    const QRect leftScreen{-1024, 0, 1024, 768};
    const std::vector<FitCase> cases = {
        {"the built-in place: only the board's width added", {3, 3, 780, 600}, {kScreen}, {3, 3, 786, 600}},
        {"on the screen: kept", {100, 40, 900, 700}, {kScreen}, {100, 40, 900, 700}},
        {"far off, too small and too tall", {50000, -3000, -500, 99999999}, {kScreen}, {492, 0, 786, 999}},
        {"beyond every screen in the other direction", {-90000, 90000, 800, 600}, {kScreen}, {0, 399, 800, 600}},
        {"a monitor gone on the right", {2500, 100, 800, 600}, {kScreen}, {478, 100, 800, 600}},
        {"a monitor gone on the left", {-2000, 50, 900, 650}, {kScreen}, {0, 50, 900, 650}},
        {"title bar above the screen", {100, -10, 800, 600}, {kScreen}, {100, 0, 800, 600}},
        {"title bar just below the bottom", {100, 1020, 800, 600}, {kScreen}, {100, 399, 800, 600}},
        {"a screen smaller than the stored size", {10, 10, 1200, 900}, {{0, 0, 1024, 700}}, {0, 0, 1022, 675}},
        {"a screen smaller than the window can be", {200, 200, 900, 700}, {{0, 0, 640, 480}}, {0, 0, 786, 585}},
        {"a task bar above the work area", {3, 3, 780, 600}, {{0, 30, 1280, 994}}, {3, 30, 786, 600}},
        {"on the second screen: kept", {1500, 100, 900, 700}, {kScreen, rightScreen}, {1500, 100, 900, 700}},
        {"across two screens: onto the one holding most", {1000, 100, 900, 700}, {kScreen, rightScreen},
         {1280, 100, 900, 700}},
        {"across two screens, mostly the first", {300, 100, 1000, 700}, {kScreen, rightScreen}, {278, 100, 1000, 700}},
        {"on a screen left of the primary: kept", {-1000, 50, 900, 650}, {kScreen, leftScreen},
         {-1000, 50, 900, 650}},
        {"beyond the second screen: onto the nearest", {5000, 50, 900, 650}, {kScreen, rightScreen},
         {2298, 50, 900, 650}},
        {"too big for the small second screen", {-1024, 0, 1200, 900}, {kScreen, leftScreen}, {-1024, 0, 1022, 743}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const WindowBounds fitted = fitToScreens(c.wanted, c.screens, kFrame, kMinimum);
        EXPECT_EQ(fitted, c.expected) << fitted.left << "," << fitted.top << " " << fitted.width << "x"
                                      << fitted.height;
        // Fitting what was fitted changes nothing, so an unmoved window stays put.
        EXPECT_EQ(fitToScreens(fitted, c.screens, kFrame, kMinimum), fitted);
    }
}

TEST(WindowBounds, WithoutScreensTheBoundsStay) {
    EXPECT_EQ(fitToScreens({-5, -5, 10, 10}, {}, kFrame, kMinimum), (WindowBounds{-5, -5, 10, 10}));
}

// --- side windows beside the table ------------------------------------------

// The table at the top-left of its screen: its frame, the board inside it
// and the four cards of a trick on the board.
const QRect kTable{0, 0, 788, 625};
const QRect kBoard{1, 42, 786, 563};
const QRect kTrick{133, 204, 160, 170};
const QSize kLastTrick{438, 124};
const QSize kGameLog{498, 162};

struct PlaceCase {
    std::string_view what;
    QSize window;
    QRect table;
    std::vector<QRect> taken;
    std::vector<QRect> screens;
    QPoint expected;
};

TEST(SideWindowPlace, BesideTheTableWhereThereIsRoomElseOverACornerOffTheTrick) {
    const QRect wide{0, 0, 1600, 1000};
    const QRect lastTrickOnRight{788, 0, 438, 124};
    const std::vector<PlaceCase> cases = {
        {"right of the table", kLastTrick, kTable, {}, {wide}, {788, 0}},
        {"under the window already there", kGameLog, kTable, {lastTrickOnRight}, {wide}, {788, 124}},
        {"left when the right is full", kLastTrick, kTable.translated(800, 0), {}, {wide}, {362, 0}},
        {"below when neither side has room", kLastTrick, kTable.translated(400, 0), {}, {{0, 0, 1300, 1000}},
         {400, 625}},
        {"above when only the top has room", kLastTrick, kTable.translated(300, 300), {}, {{0, 0, 1300, 925}},
         {300, 176}},
        {"on the next screen when the table fills its own", kLastTrick, kTable, {},
         {{0, 0, 800, 640}, {800, 0, 1024, 768}}, {800, 0}},
        {"a table hanging below the screen: the window goes up beside it", kGameLog, kTable.translated(0, 900), {},
         {wide}, {788, 838}},
        {"no room: over the board's top-right corner", kLastTrick, kTable, {}, {{0, 0, 800, 640}}, {349, 42}},
        {"no room and that corner taken: the bottom-right one", kLastTrick, kTable, {{349, 42, 438, 124}},
         {{0, 0, 800, 640}}, {349, 481}},
        {"both right corners taken: the top-left one, off the trick", kLastTrick, kTable,
         {{621, 42, 166, 172}, {621, 433, 166, 172}}, {{0, 0, 800, 640}}, {1, 42}},
        {"a big window would cover the trick from the top: the bottom-right corner", {498, 200}, kTable, {},
         {{0, 0, 800, 640}}, {289, 405}},
        {"on a screen narrower than the table: kept on the screen", kLastTrick, kTable, {}, {{0, 0, 700, 640}},
         {262, 42}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const QRect board = kBoard.translated(c.table.topLeft());
        const QRect trick = kTrick.translated(c.table.topLeft());
        const QPoint at = placeBesideTable(c.window, c.table, board, trick, c.taken, c.screens);
        EXPECT_EQ(at, c.expected) << at.x() << "," << at.y();
        const QRect placed(at, c.window);
        EXPECT_FALSE(placed.intersects(trick)) << "the cards of the trick stay in sight";
        for (const QRect& other : c.taken) EXPECT_FALSE(placed.intersects(other));
    }
}

}  // namespace
}  // namespace vornel::app

// What the close step stores, and the smallest client area.

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

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

}  // namespace
}  // namespace vornel::app

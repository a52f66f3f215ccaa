// A side window hidden by the program lets its window buffer go (and the
// download window its advert); shown again, it is painted whole and looks
// exactly as it did, as the screen shows it.

#include <gtest/gtest.h>

#include <QApplication>
#include <QBackingStore>
#include <QLabel>
#include <QScreen>
#include <functional>
#include <memory>

#include "app/about_window.h"
#include "app/download_window.h"
#include "app/game_log_window.h"
#include "app/help_window.h"
#include "app/last_trick_window.h"
#include "app/phrase_editor.h"
#include "table/table_window.h"
#include "table_test_support.h"

namespace vornel::app {
namespace {

using table::test::waitUntil;

struct BufferCase {
    const char* name;
    std::function<std::unique_ptr<SideWindow>(table::TableWindow&)> make;
    // False where hiding changes what the window shows (the focus frame).
    bool looksAsBefore = true;
};

void PrintTo(const BufferCase& c, std::ostream* out) { *out << c.name; }

class HiddenSideWindow : public ::testing::TestWithParam<BufferCase> {
protected:
    // What the screen shows of the window, once its buffer is at its size
    // and nothing is left to paint.
    static QImage shownOnScreen(SideWindow& window) {
        EXPECT_TRUE(waitUntil([&] {
            return window.backingStore() != nullptr && window.backingStore()->size() == window.size();
        }, 5000));
        table::test::settle();
        return window.screen()->grabWindow(window.winId()).toImage().convertToFormat(QImage::Format_RGB32);
    }
    // What the window paints of itself now, drawn afresh.
    static QImage paintedNow(SideWindow& window) { return window.grab().toImage().convertToFormat(QImage::Format_RGB32); }
};

TEST_P(HiddenSideWindow, LetsItsBufferGoAndLooksTheSameWhenShownAgain) {
    table::TableWindow table;
    table.show();
    const std::unique_ptr<SideWindow> window = GetParam().make(table);
    window->showOver();
    const QImage before = shownOnScreen(*window);
    ASSERT_EQ(before.size(), window->size());

    window->hide();
    ASSERT_NE(window->backingStore(), nullptr);
    EXPECT_EQ(window->backingStore()->size(), QSize(1, 1)) << "the hidden window's buffer is let go";
    if (auto* download = qobject_cast<DownloadWindow*>(window.get())) {
        EXPECT_FALSE(download->showsPicture()) << "the advert is let go with the window";
    }

    window->showOver();
    const QImage after = shownOnScreen(*window);
    EXPECT_EQ(after, paintedNow(*window)) << "shown again, the window is painted whole";
    if (GetParam().looksAsBefore) {
        EXPECT_EQ(after, before) << "and looks as it did";
    }

    // A second round ends as the first did: nothing is kept from the first.
    window->hide();
    window->showOver();
    EXPECT_EQ(shownOnScreen(*window), after);
}

INSTANTIATE_TEST_SUITE_P(
    Windows, HiddenSideWindow,
    ::testing::Values(
        BufferCase{"Download",
                   [](table::TableWindow& table) -> std::unique_ptr<SideWindow> {
                       return std::make_unique<DownloadWindow>(&table, DownloadWindow::Hooks{});
                   }},
        BufferCase{"Help",
                   [](table::TableWindow& table) -> std::unique_ptr<SideWindow> {
                       return std::make_unique<HelpWindow>(table.artwork().backgroundTile(), &table);
                   }},
        BufferCase{"About",
                   [](table::TableWindow& table) -> std::unique_ptr<SideWindow> {
                       return std::make_unique<AboutWindow>(table.artwork().backgroundTile(), table.artwork().logo(),
                                                            &table, QString("/data"), [](const QString&) {});
                   }},
        BufferCase{"PhraseEditor",
                   [](table::TableWindow& table) -> std::unique_ptr<SideWindow> {
                       return std::make_unique<PhraseEditor>(table.artwork().backgroundTile(), &table);
                   },
                   false},
        BufferCase{"GameLog",
                   [](table::TableWindow& table) -> std::unique_ptr<SideWindow> {
                       return std::make_unique<GameLogWindow>(table);
                   }},
        BufferCase{"LastTrick",
                   [](table::TableWindow& table) -> std::unique_ptr<SideWindow> {
                       return std::make_unique<LastTrickWindow>(table);
                   }}),
    [](const ::testing::TestParamInfo<BufferCase>& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace vornel::app

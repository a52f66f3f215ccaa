// The dialogs the player opens from the table's menus (about, game start,
// help, phrases) are made the first time they are opened, not at start-up:
// each is then the same window, part for part and pixel for pixel, as one
// made the start-up way, and stays the one window for the rest of the run.

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QAction>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QSpinBox>
#include <QTextBrowser>
#include <functional>
#include <ostream>
#include <memory>

#include "app/about_window.h"
#include "app/game_start_dialog.h"
#include "app/help_window.h"
#include "app/phrase_editor.h"
#include "program_fixture.h"

namespace vornel::app {
namespace {

// What a player can see of one part of a window.
struct Part {
    QString kind;
    QString name;
    QString text;
    QRect geometry;
    bool hidden = false;
    bool operator==(const Part&) const = default;
};

void PrintTo(const Part& part, std::ostream* out) {
    *out << part.kind.toStdString() << " '" << part.name.toStdString() << "' \"" << part.text.left(40).toStdString()
         << "\" " << part.geometry.x() << ',' << part.geometry.y() << ' ' << part.geometry.width() << 'x'
         << part.geometry.height() << (part.hidden ? " hidden" : "");
}

QString textOf(const QWidget* widget) {
    if (const auto* label = qobject_cast<const QLabel*>(widget)) return label->text() + '|' + label->toolTip();
    if (const auto* button = qobject_cast<const QAbstractButton*>(widget)) return button->text();
    if (const auto* line = qobject_cast<const QLineEdit*>(widget)) return line->text();
    if (const auto* spin = qobject_cast<const QSpinBox*>(widget)) return spin->text();
    if (const auto* browser = qobject_cast<const QTextBrowser*>(widget)) return browser->toPlainText();
    return {};
}

std::vector<Part> partsOf(const QWidget& window) {
    std::vector<Part> parts{{window.metaObject()->className(), window.objectName(), window.windowTitle(),
                             QRect(QPoint(), window.size()), false}};
    for (const QWidget* child : window.findChildren<QWidget*>())
        parts.push_back({child->metaObject()->className(), child->objectName(), textOf(child), child->geometry(),
                         child->isHidden()});
    return parts;
}

class SideWindowsOnFirstUse : public test::ProgramFixture {
protected:
    void SetUp() override {
        ProgramFixture::SetUp();
        start({});
        ASSERT_TRUE(loggedIn());
    }
    const QPixmap& tile() { return table().artwork().backgroundTile(); }
};

// What start-up made a side window with.
struct Makings {
    table::TableWindow& table;
    const QPixmap& tile;
    QString dataDirectory;
};

struct FirstUse {
    const char* className;
    const char* menuItem;
    // The window as start-up made it before, for the same table.
    std::function<std::unique_ptr<SideWindow>(const Makings&)> madeAtStart;
};

TEST_F(SideWindowsOnFirstUse, AMenuDialogIsMadeWhenFirstOpenedAndMatchesOneMadeAtStart) {
    const std::vector<FirstUse> cases{
        {"Tabout", "action_about",
         [](const Makings& m) {
             return std::make_unique<AboutWindow>(m.tile, m.table.artwork().logo(), &m.table, m.dataDirectory, nullptr);
         }},
        {"Thelp", "action_content",
         [](const Makings& m) { return std::make_unique<HelpWindow>(m.tile, &m.table); }},
        {"Tgamestart", "action_startgame",
         [](const Makings& m) {
             return std::make_unique<GameStartDialog>(m.tile, m.table.artwork().startButton(), &m.table);
         }},
        {"Tphrases", "action_phraselist",
         [](const Makings& m) {
             auto editor = std::make_unique<PhraseEditor>(m.tile, &m.table);
             std::array<QString, 10> phrases;
             for (int n = 1; n <= 9; ++n) phrases[static_cast<std::size_t>(n)] = m.table.phrase(n);
             editor->open(phrases);
             editor->hide();
             return editor;
         }},
    };
    for (const FirstUse& c : cases) {
        SCOPED_TRACE(c.className);
        EXPECT_FALSE(program->windowMade(c.className)) << "made before it was asked for";
        QAction* item = table().action(c.menuItem);
        ASSERT_NE(item, nullptr);
        ASSERT_TRUE(item->isEnabled());
        item->trigger();
        ASSERT_TRUE(program->windowMade(c.className));
        SideWindow* opened = program->window(c.className);
        ASSERT_NE(opened, nullptr);
        EXPECT_TRUE(opened->isVisible());
        EXPECT_EQ(opened->parentWidget(), &table());

        // Shown as the opened one was, so that both have been laid out.
        const std::unique_ptr<SideWindow> reference =
            c.madeAtStart({table(), tile(), QFileInfo(settingsPath()).absolutePath()});
        reference->showOver();
        EXPECT_EQ(partsOf(*opened), partsOf(*reference));
        reference->hide();
        opened->hide();
        EXPECT_EQ(opened->grab().toImage(), reference->grab().toImage()) << "drawn differently";

        // Closed and opened again: the same window, not a new one.
        item->trigger();
        EXPECT_EQ(program->window(c.className), opened);
        EXPECT_TRUE(opened->isVisible());
        opened->close();
    }
}

TEST_F(SideWindowsOnFirstUse, TheWindowsTheTableWritesToAreMadeAtStartUp) {
    for (const char* className : {"Ttallylist", "TServer", "Tspylist", "Tlasttrick", "Tscorecard", "Tdownload"})
        EXPECT_TRUE(program->windowMade(className)) << className;
    EXPECT_FALSE(program->windowMade("Tnosuchwindow"));
    EXPECT_EQ(program->window("Tnosuchwindow"), nullptr);
}

// The help window's "About" makes the about box when it is not made yet.
TEST_F(SideWindowsOnFirstUse, HelpsAboutButtonOpensAnAboutBoxNotMadeYet) {
    table().action("action_content")->trigger();
    ASSERT_FALSE(program->windowMade("Tabout"));
    program->window("Thelp")->findChild<QAbstractButton*>("button_about")->click();
    ASSERT_TRUE(program->windowMade("Tabout"));
    EXPECT_TRUE(program->window("Tabout")->isVisible());
}

}  // namespace
}  // namespace vornel::app

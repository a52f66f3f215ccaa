// The program's settings and the table's display: a table closed in full
// screen keeps the place it had before.

#include <QApplication>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include "app/program.h"
#include "players/simulation.h"
#include "table_test_support.h"

namespace vornel::app {
namespace {

using table::test::freePort;
using table::test::waitUntil;

TEST(ProgramDisplay, ClosedInFullScreenTheWindowKeepsItsNormalPlace) {
    QApplication::setQuitOnLastWindowClosed(false);
    QTemporaryDir home;
    ASSERT_TRUE(home.isValid());
    qputenv("VORNEL_HOME", home.path().toLocal8Bit());
    FixedBotSpeed speed{2};
    {
        Program program(QStringList{}, Program::Options{freePort(), &speed});
        program.start();
        ASSERT_TRUE(waitUntil([&] { return program.table().state().loggedIn && program.settingsRead(); }));
        auto& table = program.table();
        table.move(5, 6);
        table.resize(790, 590);
        QApplication::processEvents();
        table.action("action_fullscreen")->trigger();
        ASSERT_TRUE(waitUntil([&] { return table.isFullScreen(); }, 5000));
        ASSERT_TRUE(waitUntil([&] { return table.size() != QSize(790, 590); }, 5000)) << "it fills the screen";
        table.close();
        QFile file(home.filePath("zelmolobby.ini"));
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        const QByteArray text = file.readAll();
        EXPECT_TRUE(text.contains("Width=790\n")) << text.toStdString();
        EXPECT_TRUE(text.contains("Height=590\n")) << text.toStdString();
    }
    qunsetenv("VORNEL_HOME");
}

}  // namespace
}  // namespace vornel::app

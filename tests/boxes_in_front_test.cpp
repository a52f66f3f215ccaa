// Every message box comes up in front of the window it belongs to and is
// the active window: the tally's box made at start-up before the table is
// shown, the host's own reports, "You are not connected" and the download
// window's boxes.

#include <gtest/gtest.h>

#include <QApplication>
#include <QFile>
#include <QMessageBox>
#include <QPushButton>
#include <QTcpServer>
#include <QTcpSocket>
#include <QWindow>
#include <functional>

#include "app/download_window.h"
#include "app/program.h"
#include "program_fixture.h"
#include "table_test_support.h"

namespace vornel::app {
namespace {

using table::test::waitUntil;

class BoxesInFront : public test::ProgramFixture {
protected:
    void TearDown() override {
        ProgramFixture::TearDown();
        qunsetenv("VORNEL_LOBBY_PROGRAM");
    }
    QTcpServer silentHost;  // accepts, never sends the login
    QTcpSocket flood;
};

struct BoxCase {
    const char* what;
    const char* boxName;
    // Starts the program and makes it show the box.
    std::function<void()> show;
    // The window the box belongs to.
    std::function<QWidget*(Program&)> window;
    QString text;
};

QWidget* tableOf(Program& p) { return &p.table(); }

TEST_F(BoxesInFront, EveryBoxComesUpInFrontOfItsWindowAndIsActive) {
    const std::vector<BoxCase> cases = {
        {"a damaged tally file, found before the table is shown", "message_tally",
         [this] {
             QFile file(home.filePath("Vorneltally.tld"));
             ASSERT_TRUE(file.open(QIODevice::WriteOnly));
             file.write("WRZL not a tally");
             file.close();
             start({});
         },
         tableOf, ""},
        {"the host's own report", "message_host",
         [this] {
             Program& p = start({});
             ASSERT_TRUE(loggedIn());
             // A connection that never ends its message is closed, and the host says so.
             flood.connectToHost("127.0.0.1", p.port());
             ASSERT_TRUE(waitUntil([&] { return flood.state() == QAbstractSocket::ConnectedState; }));
             flood.write(QByteArray(70000, 'x'));
         },
         tableOf, "Connection 2 closed: message too long"},
        {"starting a game before login", "message_notconnected",
         [this] {
             ASSERT_TRUE(silentHost.listen(QHostAddress::LocalHost, 0));
             // The own host cannot listen on a port already taken: the table
             // reaches the silent one and waits there, not logged in.
             Program& p = start({"Ann", "127.0.0.1", "true"}, silentHost.serverPort());
             ASSERT_TRUE(waitUntil([&] { return silentHost.hasPendingConnections(); }));
             p.table().action("action_startgame")->trigger();
         },
         tableOf, "You are not connected"},
        {"the download window's advice", "message_download",
         [this] {
             qputenv("VORNEL_LOBBY_PROGRAM", home.filePath("no-lobby-here").toLocal8Bit());
             Program& p = start({});
             ASSERT_TRUE(loggedIn());
             p.download().findChild<QPushButton*>("otherbutton")->click();
         },
         [](Program& p) -> QWidget* { return &p.download(); },
         "Please close the game and open the Zelmo7 Lobby using the icon on your desktop or using the your "
         "Window's start-up menu."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        c.show();
        if (HasFatalFailure()) return;
        QMessageBox* box = nullptr;
        ASSERT_TRUE(waitUntil([&] {
            box = c.window(*program)->findChild<QMessageBox*>(c.boxName);
            return box != nullptr && box->isVisible() && QApplication::activeWindow() == box;
        }, 10000)) << "visible: " << (box != nullptr && box->isVisible()) << ", active: "
                   << (QApplication::activeWindow() ? QApplication::activeWindow()->objectName().toStdString()
                                                    : std::string("none"));
        if (!c.text.isEmpty()) EXPECT_EQ(box->text(), c.text);
        QWidget* window = c.window(*program);
        EXPECT_TRUE(window->isVisible());
        // Kept in front of its window by the window system.
        ASSERT_NE(box->windowHandle(), nullptr);
        EXPECT_EQ(box->windowHandle()->transientParent(), window->windowHandle());
        // The solo start's download window stays on top: so does the box, or it would hide it.
        if (program->download().isVisible()) {
            EXPECT_TRUE(box->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
        }
        // Still the active window once everything the start set going has run.
        table::test::settle();
        EXPECT_EQ(QApplication::activeWindow(), box);
        program.reset();
        silentHost.close();
        flood.abort();
    }
}

}  // namespace
}  // namespace vornel::app

// The lobby download window on a solo start: its panels and picture, and
// downloads from a web server this test runs on the loopback address (a
// whole file that is then run, error replies, redirects, an unreachable
// port, "Stop Download" in the middle of a slow reply), the table and the
// host going on meanwhile, and the two other ways out of the window.

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QRegularExpression>
#include <QScreen>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTimer>
#include <map>

#include "app/download_window.h"
#include "app/game_start_dialog.h"
#include "app/program.h"
#include "players/simulation.h"
#include "program_fixture.h"
#include "table_test_support.h"

namespace vornel::app {
namespace {

using table::test::chatLines;
using table::test::freePort;
using table::test::press;
using table::test::waitUntil;

// A stand-in installer: it writes the arguments it was given next to itself.
const QByteArray kInstaller = "#!/bin/sh\nprintf '%s\\n' \"$@\" > \"$0.args\"\n";

// A web server on 127.0.0.1 with a few fixed replies. A slow reply sends
// its header at once, then, once the test releases it, its body in small
// pieces a few milliseconds apart (a bounded number of them).
class LocalWebServer : public QObject {
public:
    struct Reply {
        QByteArray head;  // status line and header lines, without the empty line
        QByteArray body;
        bool slow = false;
        // The length the header announces when it is not the body's (a
        // reply cut short); -1 for the body's.
        qsizetype announced = -1;
    };

    LocalWebServer() {
        server_.listen(QHostAddress::LocalHost, 0);
        connect(&server_, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket* socket = server_.nextPendingConnection()) {
                connect(socket, &QTcpSocket::readyRead, socket, [this, socket] { serve(socket); });
                connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
            }
        });
    }
    QString address(const QString& path) const {
        return QString("http://127.0.0.1:%1%2").arg(server_.serverPort()).arg(path);
    }
    void add(const QString& path, Reply reply) { replies_[path.toLatin1()] = std::move(reply); }
    void release() {
        released_ = true;
        for (QTimer* pace : held_)
            if (pace != nullptr) pace->start(15);
    }
    const QByteArray& lastRequest() const { return lastRequest_; }
    int piecesSent() const { return piecesSent_; }

private:
    void serve(QTcpSocket* socket) {
        QByteArray& request = pending_[socket];
        request += socket->readAll();
        if (!request.contains("\r\n\r\n")) return;
        lastRequest_ = request;
        const QByteArray path = request.split(' ').value(1);
        const auto found = replies_.find(path);
        const Reply reply = found != replies_.end() ? found->second : Reply{"HTTP/1.0 404 Not Found", "none"};
        const qsizetype length = reply.announced >= 0 ? reply.announced : reply.body.size();
        socket->write(reply.head + "\r\nContent-Length: " + QByteArray::number(length) + "\r\n\r\n");
        if (!reply.slow) {
            socket->write(reply.body);
            socket->disconnectFromHost();
            return;
        }
        auto* pace = new QTimer(socket);
        auto offset = std::make_shared<qsizetype>(0);
        connect(pace, &QTimer::timeout, socket, [this, socket, pace, body = reply.body, offset] {
            socket->write(body.mid(*offset, 500));
            *offset += 500;
            ++piecesSent_;
            if (*offset >= body.size()) {
                pace->stop();
                socket->disconnectFromHost();
            }
        });
        // The header alone first, so its dots can be seen before the body.
        if (released_) pace->start(15);
        else held_.push_back(pace);
    }

    QTcpServer server_;
    std::map<QByteArray, Reply> replies_;
    std::map<QTcpSocket*, QByteArray> pending_;
    QByteArray lastRequest_;
    std::vector<QPointer<QTimer>> held_;
    bool released_ = false;
    int piecesSent_ = 0;
};

class LobbyDownload : public test::ProgramFixture {
protected:
    void SetUp() override {
        ProgramFixture::SetUp();
        qputenv("VORNEL_LOBBY_PROGRAM", home.filePath("no-lobby-here").toLocal8Bit());
        web.add("/Zelmo7LobbySetup.sh", {"HTTP/1.0 200 OK\r\nContent-Type: application/octet-stream", kInstaller});
    }
    void TearDown() override {
        ProgramFixture::TearDown();
        for (const char* name : {"VORNEL_LOBBY_URL", "VORNEL_LOBBY_PROGRAM"}) qunsetenv(name);
    }

    void startSolo() {
        start({});
        ASSERT_TRUE(loggedIn());
    }
    void download(const QString& address) {
        qputenv("VORNEL_LOBBY_URL", address.toUtf8());
        button("getbutton")->click();
    }
    DownloadWindow& window() { return program->download(); }
    QPushButton* button(const char* name) { return window().findChild<QPushButton*>(name); }
    QString line(const char* name) { return window().findChild<QLabel*>(name)->text(); }
    QString installerArguments(const QString& installer) {
        QFile file(installer + ".args");
        return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
    }
    bool ended() { return button("getbutton")->isEnabled(); }

    LocalWebServer web;
};

TEST_F(LobbyDownload, ASoloStartShowsTheWindowOnTopCentredWithItsPanelsAndPicture) {
    startSolo();
    DownloadWindow& w = window();
    ASSERT_TRUE(w.isVisible());
    EXPECT_EQ(w.windowTitle(), "Download The Zelmo7 Lobby");
    EXPECT_TRUE(w.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    EXPECT_EQ(w.size(), QSize(724, 500));
    const QRect desktop = QGuiApplication::primaryScreen()->availableGeometry();
    EXPECT_LE((w.geometry().center() - desktop.center()).manhattanLength(), 2);
    EXPECT_TRUE(w.showsPicture());
    EXPECT_EQ(w.findChild<QLabel*>("image_advert")->pixmap().size(), QSize(400, 339));
    // The program decodes it ahead while the table is made: the same picture.
    EXPECT_EQ(w.findChild<QLabel*>("image_advert")->pixmap().toImage(), DownloadWindow::decodeAdvert());
    EXPECT_EQ(w.findChild<QWidget*>("panel_download")->geometry(), QRect(8, 6, 450, 487));
    EXPECT_EQ(w.findChild<QWidget*>("panel_solo")->geometry(), QRect(460, 6, 257, 228));
    EXPECT_EQ(w.findChild<QWidget*>("panel_others")->geometry(), QRect(460, 236, 257, 257));
    EXPECT_EQ(line("label_download"),
              "Download The Zelmo7 Lobby Now to play this  and other exciting games online with other players!");
    EXPECT_EQ(button("getbutton")->text(), "Download And Install The Zelmo7 Lobby Now");
    EXPECT_EQ(button("abortbutton")->text(), "Stop Download");
    EXPECT_TRUE(button("abortbutton")->isEnabled());
    EXPECT_FALSE(w.findChild<QLabel*>("infolabel2")->isVisible());

    // Stop with nothing running only sets the texts.
    button("abortbutton")->click();
    EXPECT_EQ(line("infolabel"), "Download has been aborted.");
    EXPECT_EQ(line("infolabel3"), "Download Aborted");
    EXPECT_EQ(w.downloadState(), 2);

    button("solobutton")->click();
    EXPECT_FALSE(w.isVisible());
    EXPECT_TRUE(program->table().isVisible());
}

TEST_F(LobbyDownload, AWholeDownloadRunsTheInstallerAndClosesTheGameAsExitDoes) {
    startSolo();
    const QPoint moved = program->table().pos() + QPoint(7, 5);  // so that the close writes the settings
    program->table().move(moved);
    ASSERT_TRUE(waitUntil([&] { return program->table().pos() == moved; }));
    download(web.address("/Zelmo7LobbySetup.sh"));
    EXPECT_FALSE(button("getbutton")->isEnabled());
    EXPECT_TRUE(button("abortbutton")->isEnabled());
    EXPECT_EQ(window().downloadState(), 1);
    const QString installer = home.filePath("Zelmo7LobbySetup.sh");
    ASSERT_TRUE(waitUntil([&] { return !installerArguments(installer).isEmpty(); }));

    EXPECT_EQ(installerArguments(installer), "/SP-\n/silent\n/noicons\n");
    QFile file(installer);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), kInstaller);
    EXPECT_EQ(line("infolabel"), QString("Received %1 bytes").arg(kInstaller.size()));
    EXPECT_EQ(line("infolabel3"), "Installing");
    EXPECT_EQ(line("infolabel2"), "Zelmo7LobbySetup.sh");
    EXPECT_FALSE(program->table().isVisible()) << "the game closes once the installer runs";
    QFile settings(home.filePath("zelmolobby.ini"));
    ASSERT_TRUE(settings.open(QIODevice::ReadOnly));
    EXPECT_TRUE(settings.readAll().contains("Left=" + QByteArray::number(moved.x()) + "\n"));

    const QByteArray request = web.lastRequest();
    EXPECT_TRUE(request.startsWith("GET /Zelmo7LobbySetup.sh HTTP/1.0\r\n")) << request.toStdString();
    EXPECT_TRUE(request.contains("\r\nUser-Agent: Mozilla/3.0 (compatible)\r\n")) << request.toStdString();
    EXPECT_TRUE(request.contains("\r\nAccept: image/gif, image/x-xbitmap, image/jpeg, image/pjpeg, */*\r\n"))
        << request.toStdString();
}

struct FailedCase {
    const char* name;
    const char* path;  // on the local server; empty: a port where nothing listens
    LocalWebServer::Reply reply;
    // The body bytes that arrived before the failure and stay in the file;
    // a file that received none is removed.
    QByteArray kept;
};

inline void PrintTo(const FailedCase& c, std::ostream* os) { *os << c.name; }

class FailedDownload : public LobbyDownload, public ::testing::WithParamInterface<FailedCase> {};

TEST_P(FailedDownload, EndsAbortedWithNothingStartedAndCanBeTriedAgain) {
    const FailedCase& c = GetParam();
    startSolo();
    QString address = QString("http://127.0.0.1:%1/Zelmo7LobbySetup.sh").arg(freePort());
    if (*c.path != '\0') {
        web.add(c.path, c.reply);
        address = web.address(c.path);
    }
    download(address);
    ASSERT_TRUE(waitUntil([&] { return ended(); }));

    EXPECT_EQ(line("infolabel"), "Download Aborted");
    EXPECT_EQ(window().downloadState(), 2);
    EXPECT_FALSE(button("abortbutton")->isEnabled());
    EXPECT_TRUE(program->table().isVisible());
    const QString name = address.mid(address.lastIndexOf('/') + 1);
    QStringList files = QDir(home.path()).entryList(QDir::Files);
    files.removeAll("zelmolobby.ini");
    EXPECT_EQ(files, c.kept.isEmpty() ? QStringList{} : QStringList{name}) << "and no installer has run";
    if (!c.kept.isEmpty()) {
        QFile part(home.filePath(name));
        ASSERT_TRUE(part.open(QIODevice::ReadOnly));
        EXPECT_EQ(part.readAll(), c.kept) << "only the body of a successful reply goes into the file";
    }

    // The same window then downloads and runs the real installer.
    download(web.address("/Zelmo7LobbySetup.sh"));
    ASSERT_TRUE(waitUntil([&] { return !installerArguments(home.filePath("Zelmo7LobbySetup.sh")).isEmpty(); }));
}

INSTANTIATE_TEST_SUITE_P(
    Replies, FailedDownload,
    ::testing::Values(
        FailedCase{"NotFound", "/gone.sh", {"HTTP/1.0 404 Not Found", kInstaller}, ""},
        FailedCase{"ServerError", "/broken.sh", {"HTTP/1.0 500 Internal Server Error", kInstaller}, ""},
        FailedCase{"RedirectWithoutAddress", "/moved.sh", {"HTTP/1.0 302 Found", kInstaller}, ""},
        FailedCase{"NotModified", "/cached.sh", {"HTTP/1.0 304 Not Modified", ""}, ""},
        // A redirect may lead to https only, never back to plain http.
        FailedCase{"RedirectToPlainHttp", "/elsewhere.sh",
                   {"HTTP/1.0 301 Moved Permanently\r\nLocation: /Zelmo7LobbySetup.sh", kInstaller}, ""},
        FailedCase{"NoInstallerName", "/", {"HTTP/1.0 200 OK", kInstaller}, ""},
        // Names that would lead out of the settings directory.
        FailedCase{"ParentDirectoryName", "/..", {"HTTP/1.0 200 OK", kInstaller}, ""},
        FailedCase{"BackslashedName", "/a\\..\\setup.sh", {"HTTP/1.0 200 OK", kInstaller}, ""},
        FailedCase{"NothingListens", "", {}, ""},
        FailedCase{"EmptyBodyCutShort", "/empty.sh", {"HTTP/1.0 200 OK", "", false, 1000}, ""},
        // The part that arrived stays, as a stopped download's does.
        FailedCase{"BodyCutShort", "/cut.sh", {"HTTP/1.0 200 OK", "#!/bin/sh\npartial", false, 1000},
                   "#!/bin/sh\npartial"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(LobbyDownload, StopInTheMiddleOfASlowTransferWhileTheGameGoesOn) {
    startSolo();
    QByteArray big(400 * 500, 'x');
    web.add("/slow.sh", {"HTTP/1.0 200 OK\r\nContent-Type: application/octet-stream", big, true});
    int ticks = 0;
    QTimer ticker;
    QObject::connect(&ticker, &QTimer::timeout, [&] { ++ticks; });
    ticker.start(5);
    download(web.address("/slow.sh"));
    // Three header lines (status, type, length), a dot each, before the body.
    ASSERT_TRUE(waitUntil([&] { return line("infolabel") == "Loading..."; })) << line("infolabel").toStdString();
    web.release();
    ASSERT_TRUE(waitUntil([&] { return line("infolabel3") == "Downloading: slow.sh"; }));
    ASSERT_TRUE(waitUntil([&] { return web.piecesSent() >= 3; }));

    // The table, the host and the window are all served during the transfer:
    // a game starts and the window hides, while the bytes keep coming.
    const int ticksBefore = ticks;
    press(program->table().board().image("button_start"));
    press(program->gameStart().findChild<QWidget*>("button_start"));
    auto started = [&] {
        for (const auto& l : chatLines(program->table()))
            if (l.text == "You has started a game.") return true;
        return false;
    };
    ASSERT_TRUE(waitUntil(started));
    button("solobutton")->click();
    EXPECT_FALSE(window().isVisible());
    ASSERT_TRUE(waitUntil([&] { return ticks >= ticksBefore + 5 && web.piecesSent() >= 6; }));
    EXPECT_TRUE(window().downloading());
    const QRegularExpression bytes("^[0-9]+ bytes$");
    EXPECT_TRUE(bytes.match(line("infolabel")).hasMatch()) << line("infolabel").toStdString();
    EXPECT_LT(line("infolabel").split(' ')[0].toInt(), big.size());

    button("abortbutton")->click();
    EXPECT_FALSE(window().downloading());
    EXPECT_EQ(line("infolabel"), "Download Aborted");
    EXPECT_EQ(line("infolabel3"), "Download Aborted");
    EXPECT_EQ(window().downloadState(), 2);
    EXPECT_TRUE(button("getbutton")->isEnabled());
    EXPECT_FALSE(button("abortbutton")->isEnabled());
    QFile partial(home.filePath("slow.sh"));
    EXPECT_TRUE(partial.exists()) << "a partly received file stays";
    EXPECT_GT(partial.size(), 0);
    EXPECT_LT(partial.size(), big.size());
    EXPECT_TRUE(installerArguments(home.filePath("slow.sh")).isEmpty());
    EXPECT_TRUE(program->table().isVisible());
}

TEST_F(LobbyDownload, StopBeforeAnyOfTheBodyLeavesNoFile) {
    startSolo();
    web.add("/slow.sh", {"HTTP/1.0 200 OK", QByteArray(10 * 500, 'x'), true});
    download(web.address("/slow.sh"));
    // The status line and the length: two dots, and the body held back.
    ASSERT_TRUE(waitUntil([&] { return line("infolabel") == "Loading.."; })) << line("infolabel").toStdString();
    EXPECT_TRUE(QFile::exists(home.filePath("slow.sh"))) << "the file is made as the download starts";
    button("abortbutton")->click();
    EXPECT_EQ(line("infolabel"), "Download Aborted");
    EXPECT_FALSE(QFile::exists(home.filePath("slow.sh")));
}

TEST_F(LobbyDownload, AnInstallerThatCannotStartShowsTheErrorAndTheGameGoesOn) {
    startSolo();
    web.add("/notaprogram.exe", {"HTTP/1.0 200 OK", "no program, just text"});
    download(web.address("/notaprogram.exe"));
    QMessageBox* box = nullptr;
    ASSERT_TRUE(waitUntil([&] { return (box = window().findChild<QMessageBox*>("message_download")) != nullptr; }));
    EXPECT_EQ(box->text(), "An Error has Occurred.");
    EXPECT_EQ(line("infolabel"), "Received 21 bytes");
    EXPECT_TRUE(program->table().isVisible());
    EXPECT_TRUE(button("getbutton")->isEnabled());
}

TEST_F(LobbyDownload, ClosingTheGameDuringADownloadEndsItAndLeavesThePartialFile) {
    startSolo();
    web.add("/slow.sh", {"HTTP/1.0 200 OK", QByteArray(200 * 500, 'x'), true});
    web.release();
    download(web.address("/slow.sh"));
    ASSERT_TRUE(waitUntil([&] { return web.piecesSent() >= 2; }));
    program->table().action("action_exit")->trigger();
    EXPECT_FALSE(window().downloading());
    const qint64 kept = QFile(home.filePath("slow.sh")).size();
    EXPECT_GT(kept, 0);
    waitUntil([] { return false; }, 300);  // more pieces would arrive here, were it still running
    EXPECT_EQ(QFile(home.filePath("slow.sh")).size(), kept);
    EXPECT_LT(kept, 200 * 500);
    EXPECT_EQ(window().findChild<QMessageBox*>("message_download"), nullptr) << "nothing was started";
}

TEST_F(LobbyDownload, PlayWithOthersOpensAnInstalledLobbyOrSaysHowToFindIt) {
    startSolo();
    button("otherbutton")->click();
    auto* box = window().findChild<QMessageBox*>("message_download");
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(box->text(),
              "Please close the game and open the Zelmo7 Lobby using the icon on your desktop or using the your "
              "Window's start-up menu.");
    EXPECT_TRUE(program->table().isVisible());

    const QString lobby = home.filePath("zelmo7-lobby");
    QFile file(lobby);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(kInstaller);
    file.close();
    file.setPermissions(file.permissions() | QFile::ExeOwner);
    qputenv("VORNEL_LOBBY_PROGRAM", lobby.toLocal8Bit());
    button("otherbutton")->click();
    EXPECT_FALSE(program->table().isVisible());
    // The shell makes the file before it writes into it: wait for its line.
    ASSERT_TRUE(waitUntil([&] { return !installerArguments(lobby).isEmpty(); }));
    EXPECT_EQ(installerArguments(lobby), "\n") << "the lobby is started without arguments";
}

}  // namespace
}  // namespace vornel::app

namespace vornel::app {
namespace {

// The advert is decoded when the window is first shown, not when the
// program makes its windows at start-up.
TEST(DownloadWindowAdvert, IsDecodedWhenTheWindowIsFirstShown) {
    QWidget table;
    DownloadWindow window(&table, {});
    EXPECT_FALSE(window.showsPicture());
    window.show();
    EXPECT_TRUE(window.showsPicture());
    EXPECT_EQ(window.findChild<QLabel*>("image_advert")->pixmap().size(), QSize(400, 339));
    window.hide();
    window.show();
    EXPECT_TRUE(window.showsPicture());
}

// An advert decoded ahead is shown once, as the window would decode it;
// shown again after being hidden, the window decodes it itself.
TEST(DownloadWindowAdvert, OneDecodedAheadIsShownInsteadOfDecodingAndOnlyOnce) {
    QWidget table;
    DownloadWindow own(&table, {});
    own.show();
    const QImage decodedWhenShown = own.findChild<QLabel*>("image_advert")->pixmap().toImage();
    ASSERT_FALSE(decodedWhenShown.isNull());

    DownloadWindow window(&table, {});
    QImage ahead(400, 339, QImage::Format_RGB32);
    ahead.fill(Qt::red);  // unlike the advert, to tell which one is shown
    window.keepAdvertForShowing(ahead);
    EXPECT_FALSE(window.showsPicture());
    window.show();
    EXPECT_EQ(window.findChild<QLabel*>("image_advert")->pixmap().toImage(), ahead);
    window.hide();
    EXPECT_FALSE(window.showsPicture());
    window.show();
    EXPECT_EQ(window.findChild<QLabel*>("image_advert")->pixmap().toImage(), decodedWhenShown);
}

}  // namespace
}  // namespace vornel::app

// The lobby server's socket watch, both ways it can watch (one epoll set on
// Linux, or notifiers for each socket), on a real loopback connection: it
// reports a socket with something to read, with room to write only while
// asked to, and nothing once the socket is no longer watched.

#include <gtest/gtest.h>

#include <QHostAddress>
#include <QTcpServer>
#include <QTcpSocket>

#include <vector>

#include "lobby/socket_io.h"
#include "lobby/socket_watch.h"
#include "socket_test_client.h"

namespace vornel::lobby::test {
namespace {

using vornel::test::waitUntil;

// Keeps each accepted connection's bare descriptor, as the server does, so no
// socket object of Qt's reads it.
class BareListener final : public QTcpServer {
public:
    qintptr accepted = -1;

protected:
    void incomingConnection(qintptr descriptor) override { accepted = descriptor; }
};

// A few turns of the event loop, for what should not happen.
void turnsPass() { waitUntil([] { return false; }, 150); }

class SocketWatchTest : public ::testing::TestWithParam<bool> {
protected:
    void SetUp() override {
        ASSERT_TRUE(listener_.listen(QHostAddress::LocalHost, 0));
        peer_.connectToHost(QHostAddress::LocalHost, listener_.serverPort());
        ASSERT_TRUE(waitUntil([&] { return listener_.accepted >= 0; }));
        ASSERT_TRUE(waitUntil([&] { return peer_.state() == QAbstractSocket::ConnectedState; }));
        descriptor_ = listener_.accepted;
        ASSERT_TRUE(socket_io::prepare(descriptor_));
    }
    void TearDown() override {
        if (descriptor_ >= 0) socket_io::close(descriptor_);
    }

    // Reads what waits, as the server does, so the socket is ready no more.
    void drain() {
        char buffer[256];
        while (socket_io::receive(descriptor_, buffer, sizeof buffer).outcome == socket_io::Outcome::Done) {
        }
    }

    BareListener listener_;
    QTcpSocket peer_;
    qintptr descriptor_ = -1;
    std::vector<qintptr> readable_;
    std::vector<qintptr> writable_;
    SocketWatch watch_{[this](qintptr s) {
                           readable_.push_back(s);
                           drain();
                       },
                       [this](qintptr s) { writable_.push_back(s); }, nullptr, GetParam()};
};

TEST_P(SocketWatchTest, ReportsReadingAndWritingOnlyWhileWatched) {
    EXPECT_EQ(watch_.gathered(), GetParam()) << "Linux gathers the sockets when asked";
    watch_.add(descriptor_);
    turnsPass();
    EXPECT_TRUE(readable_.empty()) << "nothing was sent yet";
    EXPECT_TRUE(writable_.empty()) << "writing is watched only when asked";

    peer_.write("hello");
    peer_.flush();
    ASSERT_TRUE(waitUntil([&] { return !readable_.empty(); })) << "the bytes sent were not reported";
    EXPECT_EQ(readable_.front(), descriptor_);

    watch_.watchWriting(descriptor_, true);
    ASSERT_TRUE(waitUntil([&] { return !writable_.empty(); })) << "an idle connection has room to write";
    EXPECT_EQ(writable_.front(), descriptor_);
    watch_.watchWriting(descriptor_, false);
    turnsPass();
    writable_.clear();
    turnsPass();
    EXPECT_TRUE(writable_.empty()) << "writing is no longer watched";

    watch_.remove(descriptor_);
    readable_.clear();
    peer_.write("more");
    peer_.flush();
    turnsPass();
    EXPECT_TRUE(readable_.empty()) << "a socket no longer watched is not reported";

    // Watched again, what waits is reported at once; the peer's end too.
    watch_.add(descriptor_);
    ASSERT_TRUE(waitUntil([&] { return !readable_.empty(); }));
    readable_.clear();
    peer_.disconnectFromHost();
    EXPECT_TRUE(waitUntil([&] { return !readable_.empty(); })) << "the peer's end is found by reading";
    watch_.remove(descriptor_);
}

INSTANTIATE_TEST_SUITE_P(Ways, SocketWatchTest, ::testing::Values(true, false),
                         [](const ::testing::TestParamInfo<bool>& info) {
                             return info.param ? "OneSetForAll" : "NotifiersForEach";
                         });

}  // namespace
}  // namespace vornel::lobby::test

// The program's sounds: every name the table plays is carried, names are
// found in any letter case, and on a real audio server (PulseAudio with a
// null sink, whose monitor is recorded) a sound is heard and a new one
// stops the one playing.

#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <cstdlib>

#include "app/sound_player.h"
#include "table_test_support.h"

namespace vornel::app {
namespace {

using table::test::waitUntil;

TEST(SoundPlayer, CarriesEveryEventAndChatterSound) {
    QStringList expected{"entered",     "getcard",  "turn",      "turnnew", "placecard", "notvalid",
                         "trickwinner", "vorneled", "gotpoints", "nopoints", "marched",  "winner"};
    for (int n = 1; n <= 20; ++n) expected.push_back(QString("wave%1").arg(n));
    SoundPlayer player;
    const QStringList carried = player.names();
    for (const QString& name : expected) EXPECT_TRUE(carried.contains(name)) << name.toStdString();
    EXPECT_EQ(carried.size(), expected.size());
}

TEST(SoundPlayer, FindsNamesInAnyCaseAndIgnoresUnknownOnes) {
    SoundPlayer player;
    player.play("TrickWinner");
    EXPECT_EQ(player.current(), "trickwinner");
    for (const char* unknown : {"", "wave21", "../sounds/winner", "winner.wav"}) {
        player.play(unknown);
        EXPECT_EQ(player.current(), "trickwinner") << unknown;
    }
    player.play("WAVE20");
    EXPECT_EQ(player.current(), "wave20");
}

// A PulseAudio server with a null sink for the rest of the run: the one
// that answers, or one started by scripts/start_pulse.sh.
class AudioServer : public ::testing::Test {
protected:
    static constexpr const char* kSink = "vornel_null";

    static void SetUpTestSuite() {
        QProcess start;
        start.start("bash", {QStringLiteral(VORNEL_SOURCE_DIR "/scripts/start_pulse.sh")});
        if (!start.waitForFinished(30000)) start.kill();
        start.waitForFinished(2000);
        if (start.exitStatus() == QProcess::NormalExit && start.exitCode() == 0) {
            server_ = QString::fromLocal8Bit(start.readAllStandardOutput()).trimmed();
            // The player's audio library reads the address from here.
            qputenv("PULSE_SERVER", server_.toLocal8Bit());
        }
    }

    void SetUp() override {
        if (server_.isEmpty())
            GTEST_SKIP() << "No PulseAudio server could be started here (scripts/start_pulse.sh failed), "
                            "so the sounds cannot be listened to.";
    }

    // Records the null sink's monitor while `during` runs and the event loop
    // turns for `ms` milliseconds; returns the recorded samples' peak.
    int peakWhile(const std::function<void()>& during, int ms) {
        QTemporaryDir dir;
        const QString file = dir.filePath("monitor.raw");
        QProcess recorder;
        recorder.start("parecord", {"--server=" + server_, QString("--device=%1.monitor").arg(kSink), "--raw",
                                    "--format=s16le", "--rate=22050", "--channels=1", "--latency-msec=50", file});
        if (!recorder.waitForStarted(5000)) return -1;
        waitUntil([] { return false; }, 400);  // the recorder connects to the server
        during();
        waitUntil([] { return false; }, ms);
        recorder.terminate();
        if (!recorder.waitForFinished(5000)) recorder.kill();
        recorder.waitForFinished(2000);
        QFile raw(file);
        if (!raw.open(QIODevice::ReadOnly)) return -1;
        const QByteArray bytes = raw.readAll();
        int peak = 0;
        for (qsizetype i = 0; i + 1 < bytes.size(); i += 2) {
            const auto sample =
                static_cast<qint16>(static_cast<quint8>(bytes[i]) | (static_cast<quint8>(bytes[i + 1]) << 8));
            peak = std::max(peak, std::abs(static_cast<int>(sample)));
        }
        return peak;
    }

    static QString server_;
};

QString AudioServer::server_;

TEST_F(AudioServer, AnEventSoundReachesTheAudioDevice) {
    // Silence first: the monitor carries nothing while nothing plays.
    EXPECT_LT(peakWhile([] {}, 300), 100);
    SoundPlayer player;
    const int peak = peakWhile([&] { player.play("WINNER"); }, 1500);
    EXPECT_GT(peak, 3000) << "the recording of the null sink stayed (nearly) silent";
}

TEST_F(AudioServer, StartingASoundStopsTheOnePlaying) {
    SoundPlayer player;
    player.play("wave13");  // applause, the longest recording
    ASSERT_TRUE(waitUntil([&] { return player.isPlaying("wave13"); }, 10000));
    QElapsedTimer clock;
    clock.start();
    player.play("winner");
    ASSERT_TRUE(waitUntil([&] { return player.isPlaying("winner"); }, 10000));
    // The applause would still run for a good second had it not been stopped.
    if (clock.elapsed() < 1000) {
        EXPECT_FALSE(player.isPlaying("wave13"));
    }
    EXPECT_EQ(player.current(), "winner");
}

}  // namespace
}  // namespace vornel::app

// The program's sounds: every name the table plays is carried and read as
// its file holds it, names are found in any letter case, nothing plays
// without an audio server, and on a real one (PulseAudio with a null sink,
// whose monitor is recorded) a sound is heard, a new one cuts the one
// playing, and one output serves every sound and rests while none plays.
// The output's module loads on the output's thread: a player that goes
// while it loads goes cleanly, and of the sounds asked for meanwhile the
// last is the one played.

#include <gtest/gtest.h>

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <cstdlib>

#include "app/sound_player.h"
#include "app/sound_recording.h"
#include "audio_monitor.h"
#include "table_test_support.h"

namespace vornel::app {
namespace {

using table::test::waitUntil;
using test::AudioServer;
using test::msOf;
using test::samplesIn;

std::span<const qint16> opening(const std::vector<qint16>& samples) {
    return std::span(samples).first(std::min<std::size_t>(samples.size(), samplesIn(80)));
}

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

TEST(SoundPlayer, ReadsEveryRecordingAsItsFileHoldsIt) {
    SoundPlayer player;  // makes the recordings available
    for (const QString& name : player.names()) {
        QFile resource(":/sounds/" + name + ".wav");
        ASSERT_TRUE(resource.open(QIODevice::ReadOnly)) << name.toStdString();
        const std::optional<Recording> read = readWave(resource.readAll());
        ASSERT_TRUE(read) << name.toStdString();
        const std::vector<qint16> file = test::recordingSamples(name);
        ASSERT_FALSE(file.empty()) << name.toStdString();
        EXPECT_EQ(read->format.sampleRate(), test::kMonitorRate) << name.toStdString();
        EXPECT_EQ(read->format.channelCount(), 1) << name.toStdString();
        EXPECT_EQ(read->pcm, QByteArray(reinterpret_cast<const char*>(file.data()),
                                        static_cast<qsizetype>(file.size() * sizeof(qint16))))
            << name.toStdString();
    }
}

// The tests of this suite run where no audio server answers (see the main).
TEST(SoundPlayer, WithoutAnAudioServerNothingPlaysAndPlayingGoesOn) {
    SoundPlayer player;
    for (int round = 0; round < 5; ++round)
        for (const char* name : {"getcard", "placecard", "TURN", "wave13", "nosuchsound"}) player.play(name);
    EXPECT_EQ(player.current(), "wave13");
    waitUntil([] { return false; }, 300);
    for (const QString& name : player.names()) EXPECT_FALSE(player.isPlaying(name)) << name.toStdString();
}

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

TEST_F(AudioServer, ANewSoundCutsTheOnePlayingAtOnce) {
    const std::vector<qint16> applause = test::recordingSamples("wave13");
    const std::vector<qint16> fanfare = test::recordingSamples("winner");
    ASSERT_GT(applause.size(), static_cast<std::size_t>(samplesIn(1300)));
    SoundPlayer player;
    test::MonitorRecorder recorder(server_);
    ASSERT_TRUE(recorder.start());
    QElapsedTimer clock;
    clock.start();
    player.play("wave13");
    waitUntil([] { return false; }, 500);
    const qsizetype askedApart = samplesIn(static_cast<int>(clock.elapsed()));
    player.play("winner");
    waitUntil([] { return false; }, 2000);
    const std::vector<qint16> heard = recorder.take();

    const test::Match applauseStart = test::bestMatch(heard, opening(applause), 0, samplesIn(1500));
    ASSERT_GE(applauseStart.score, 0.7) << "the applause was not heard";
    const test::Match fanfareStart = test::bestMatch(heard, opening(fanfare), applauseStart.at,
                                                     applauseStart.at + askedApart + samplesIn(1000));
    ASSERT_GE(fanfareStart.score, 0.7) << "the fanfare was not heard";
    const qsizetype apart = fanfareStart.at - applauseStart.at;
    EXPECT_LT(std::abs(msOf(apart - askedApart)), 300.0)
        << "asked for " << msOf(askedApart) << " ms after the applause, heard " << msOf(apart) << " ms after it";
    // What would have followed of the applause is not heard under the fanfare.
    const qsizetype into = apart + samplesIn(200);
    const auto rest = std::span(applause).subspan(into, samplesIn(80));
    ASSERT_GT(test::peak(rest), 3000) << "the applause is loud there";
    const test::Match goesOn =
        test::bestMatch(heard, rest, applauseStart.at + into - samplesIn(40), applauseStart.at + into + samplesIn(40));
    EXPECT_LT(goesOn.score, 0.3) << "the applause went on after the fanfare started";
}

// Played once for every card, the same recording must be heard every time
// (the sounds that went missing were the ones played most often), and
// between sounds the output holds nothing open on the audio server.
TEST_F(AudioServer, TheSameSoundPlayedOverAndOverIsHeardEveryTime) {
    SoundPlayer player;
    test::MonitorRecorder recorder(server_);
    ASSERT_TRUE(recorder.start());
    std::vector<test::AskedSound> asked;
    for (int n = 1; n <= 12; ++n) {
        player.play("placecard");
        asked.push_back({"placecard", recorder.elapsedMs()});
        ASSERT_TRUE(waitUntil([&] { return player.isPlaying("placecard"); }, 10000)) << "play " << n << " did not start";
        ASSERT_TRUE(waitUntil([&] { return !player.isPlaying("placecard"); }, 10000)) << "play " << n << " did not end";
        bool resting = false;
        for (int tries = 0; tries < 30 && !resting; ++tries) {
            resting = test::ownStreams(server_).empty();
            if (!resting) waitUntil([] { return false; }, 100);
        }
        EXPECT_TRUE(resting) << "the output still runs after play " << n;
        waitUntil([] { return false; }, 500);  // plays a second apart cannot be taken for one another
    }
    const std::vector<test::HeardSound> heard = test::listenFor(recorder.take(), asked);
    ASSERT_EQ(heard.size(), asked.size()) << "none of the first plays was heard";
    for (std::size_t i = 0; i < heard.size(); ++i) {
        EXPECT_GE(heard[i].at, 0) << "play " << i + 1 << " was not heard (likeness " << heard[i].likeness << ")";
        EXPECT_TRUE(heard[i].endHeard) << "play " << i + 1 << " stopped before its end (likeness of its end "
                                       << heard[i].endLikeness << ")";
    }
}

// Going while the output's module loads: no crash, nothing left behind (the
// sanitizer's leak check at the end of the run), and a later player plays.
TEST_F(AudioServer, APlayerGoingWhileItsOutputLoadsLeavesSoundsWorking) {
    const std::vector<std::vector<const char*>> askedBeforeGoing{
        {"entered"},
        {"getcard", "placecard", "turn", "wave13"},
        {"entered", "nosuchsound"},
    };
    for (const auto& names : askedBeforeGoing) {
        auto player = std::make_unique<SoundPlayer>();
        for (const char* name : names) player->play(name);
        EXPECT_TRUE(player->outputLoading()) << names.front();
        player.reset();
    }
    SoundPlayer later;
    later.play("winner");
    EXPECT_TRUE(waitUntil([&] { return later.isPlaying("winner"); }, 10000)) << "no sound after a player went early";
    EXPECT_TRUE(waitUntil([&] { return !later.isPlaying("winner"); }, 10000)) << "the sound did not play out";
}

TEST_F(AudioServer, OfTheSoundsAskedForWhileTheOutputLoadsTheLastIsPlayed) {
    const std::vector<std::pair<std::vector<const char*>, const char*>> cases{
        {{"wave13", "winner"}, "winner"},
        {{"getcard", "placecard", "trickwinner"}, "trickwinner"},
        {{"wave13", "nosuchsound"}, "wave13"},
    };
    for (const auto& [asked, last] : cases) {
        SCOPED_TRACE(last);
        SoundPlayer player;
        for (const char* name : asked) player.play(name);
        ASSERT_TRUE(player.outputLoading());
        QStringList started;
        ASSERT_TRUE(waitUntil(
            [&] {
                for (const char* name : asked)
                    if (player.isPlaying(name) && !started.contains(name)) started << name;
                return player.isPlaying(last);
            },
            10000));
        EXPECT_FALSE(player.outputLoading());
        EXPECT_EQ(started, QStringList{last}) << "a sound cut before the output was there still started";
    }
}

}  // namespace
}  // namespace vornel::app

// A whole hand heard as a player hears it: the host in this process runs at
// the Normal bot speed with the computer playing all four seats, the table
// window dispatches the host's messages and asks a real SoundPlayer for its
// sounds, and the null sink's monitor is recorded for the whole hand. Every
// sound the table asked for that the next one did not cut must start in the
// recording, in the order asked, and play to its end when nothing cut it.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>

#include "app/sound_player.h"
#include "audio_monitor.h"
#include "net/qt_host.h"
#include "players/simulation.h"
#include "table_test_support.h"

namespace vornel::app {
namespace {

using table::test::waitUntil;
using test::AudioServer;

// Hands every sound the table asks for to the player, and keeps what was
// asked for and when.
class AskedSounds final : public table::SoundSink {
public:
    AskedSounds(table::SoundSink& player, const test::MonitorRecorder& recorder)
        : player_(player), recorder_(recorder) {}

    void play(const QString& name) override {
        requests.push_back({name.toLower(), recorder_.elapsedMs()});
        player_.play(name);
    }
    bool askedForAScore() const {
        return std::any_of(requests.begin(), requests.end(), [](const test::AskedSound& r) {
            return r.name == "gotpoints" || r.name == "nopoints" || r.name == "vorneled" || r.name == "marched";
        });
    }

    std::vector<test::AskedSound> requests;

private:
    table::SoundSink& player_;
    const test::MonitorRecorder& recorder_;
};

TEST_F(AudioServer, EverySoundOfAHandAtNormalPaceIsHeardInOrder) {
    FixedBotSpeed normal{500};
    RecordingDiagnostics diagnostics;
    net::QtHost host{normal, diagnostics, 20240611};
    ASSERT_TRUE(host.listen(0)) << host.errorString().toStdString();
    SoundPlayer player;
    test::MonitorRecorder recorder(server_);
    AskedSounds asked(player, recorder);
    table::RecordingServices others;
    table::TableWindow table{{others, others, others, others, asked}};
    table.setPlayer("You", "127.0.0.1");
    table.show();
    table.hostpress(host.serverPort());
    ASSERT_TRUE(waitUntil([&] { return table.state().loggedIn; }, 30000));

    ASSERT_TRUE(recorder.start());
    asked.requests.clear();  // the own arrival's sound is not part of the hand
    table.sendMessage("CMD_startgame", {Field::txt("You"), Field::txt("10")});
    // The computer plays the own seat too, at the same pace as the others.
    table.action("action_justwatch")->trigger();
    ASSERT_TRUE(waitUntil([&] { return asked.askedForAScore(); }, 100000)) << "the hand was not scored";
    waitUntil([] { return false; }, 3000);  // the score's sound plays out
    const std::vector<qint16> heard = recorder.take();
    ASSERT_FALSE(heard.empty()) << "nothing was recorded";

    const std::vector<test::HeardSound> sounds = test::listenFor(heard, asked.requests);
    ASSERT_FALSE(sounds.empty()) << "none of the hand's first sounds was heard";
    ASSERT_GE(sounds.size(), 20u) << "a hand asks for many more sounds";
    qsizetype previous = -1;
    int found = 0, endsChecked = 0, endsHeard = 0;
    for (const test::HeardSound& sound : sounds) {
        const std::string what =
            sound.asked.name.toStdString() + " asked for at " + std::to_string(int(sound.asked.atMs)) + " ms";
        if (sound.at < 0) {
            ADD_FAILURE() << what << " was not heard (best likeness " << sound.likeness << ")";
            continue;
        }
        ++found;
        EXPECT_GT(sound.at, previous) << what << " was heard before the sound asked for before it";
        previous = sound.at;
        endsChecked += sound.endChecked;
        endsHeard += sound.endHeard;
        EXPECT_TRUE(!sound.endChecked || sound.endHeard)
            << what << " stopped before its end (likeness of its end " << sound.endLikeness << ")";
    }
    std::printf("The hand asked for %zu sounds, %zu of them not cut by the next one; %d of those were heard in "
                "order; %d of %d that nothing cut played to their end.\n",
                asked.requests.size(), sounds.size(), found, endsHeard, endsChecked);
    EXPECT_EQ(found, static_cast<int>(sounds.size()));
}

}  // namespace
}  // namespace vornel::app

#pragma once
// Listening to what the program plays: a PulseAudio server with a null sink
// (scripts/start_pulse.sh) whose monitor is recorded with parecord, the
// program's recordings read straight from their files in assets/sounds, and
// a search for where a recording starts in what was heard.

#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QProcess>
#include <QString>
#include <QTemporaryDir>
#include <QtGlobal>
#include <functional>
#include <span>
#include <vector>

namespace vornel::test {

// What the monitor is recorded as, and what the recordings are made of.
inline constexpr int kMonitorRate = 22050;

constexpr qsizetype samplesIn(int ms) { return qsizetype{ms} * kMonitorRate / 1000; }
constexpr double msOf(qsizetype samples) { return samples * 1000.0 / kMonitorRate; }

// The samples of assets/sounds/<name>.wav (16-bit mono 22,050 Hz), read
// without the program's help; empty when the file is not such a recording.
std::vector<qint16> recordingSamples(const QString& name);

// A PulseAudio server with a null sink for the rest of the run: the one that
// answers, or one started by scripts/start_pulse.sh. Tests skip without one.
class AudioServer : public ::testing::Test {
public:
    static constexpr const char* kSink = "vornel_null";

protected:

    static void SetUpTestSuite();
    void SetUp() override;

    // Records the null sink's monitor while `during` runs and the event loop
    // turns for `ms` milliseconds; returns the recorded samples' peak.
    int peakWhile(const std::function<void()>& during, int ms);

    static QString server_;
};

// Records the null sink's monitor from start() until take().
class MonitorRecorder {
public:
    explicit MonitorRecorder(QString server);
    ~MonitorRecorder();
    // Starts parecord and waits until it records.
    bool start();
    // About where in the recording a sound starts that the server plays now,
    // in milliseconds.
    double elapsedMs() const { return startMs_ + static_cast<double>(running_.nsecsElapsed()) / 1e6; }
    // Stops the recorder and returns what it heard (empty on failure).
    std::vector<qint16> take();

private:
    QString server_;
    QTemporaryDir dir_;
    QProcess recorder_;
    QElapsedTimer running_;
    double startMs_ = 0;  // what the file held when the clock started
};

// The playback streams this process holds on the server, as `pactl` lists
// them: the server's number for each and whether it is corked (paused).
struct ServerStream {
    int index;
    bool corked;
};
std::vector<ServerStream> ownStreams(const QString& server);

int peak(std::span<const qint16> samples);

// Where `pattern` starts in `heard`, searched over the starting positions
// [from, to): the position of the highest normalised cross-correlation and
// that correlation (1 for an exact copy at any loudness, near 0 for
// unrelated sound or silence).
struct Match {
    qsizetype at = -1;
    double score = 0;
};
Match bestMatch(std::span<const qint16> heard, std::span<const qint16> pattern, qsizetype from, qsizetype to);

// A sound the program was asked to play, and when: on the recorder's clock
// (MonitorRecorder::elapsedMs()).
struct AskedSound {
    QString name;
    double atMs;
};

// What became of a sound asked for that the next one did not cut (the next
// came at least 150 ms later; one cut sooner may be heard for a moment or
// not at all).
struct HeardSound {
    AskedSound asked;
    qsizetype at = -1;        // where in the recording it starts; -1: not heard
    double likeness = 0;      // of its first 120 ms at the best place for them
    bool endChecked = false;  // nothing cut it, and it is long enough to tell its end from its start
    bool endHeard = false;    // its end followed its start at the recording's pace
    double endLikeness = 0;
};

// Looks for every such sound in what was heard: each where it was asked for
// after the usual delay (found from the first sounds), give or take the
// audio server's blocks. Empty when none of the first ten can be found near
// the time asked for, so that no delay can be told.
std::vector<HeardSound> listenFor(std::span<const qint16> heard, const std::vector<AskedSound>& asked);

}  // namespace vornel::test

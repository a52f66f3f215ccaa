#include "audio_monitor.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QtEndian>
#include <cmath>
#include <algorithm>
#include <cstdlib>
#include <optional>

#include "table_test_support.h"

namespace vornel::test {

using table::test::waitUntil;

std::vector<qint16> recordingSamples(const QString& name) {
    QFile file(QStringLiteral(VORNEL_SOURCE_DIR "/assets/sounds/") + name + ".wav");
    if (!file.open(QIODevice::ReadOnly)) return {};
    const QByteArray bytes = file.readAll();
    // Little-endian numbers of 2 or 4 bytes at a position of the file.
    const auto number = [&](qsizetype at, int length) {
        quint32 value = 0;
        for (int i = length - 1; i >= 0; --i) value = value << 8 | static_cast<quint8>(bytes[at + i]);
        return value;
    };
    if (bytes.size() < 12 || !bytes.startsWith("RIFF") || bytes.mid(8, 4) != "WAVE") return {};
    bool monoPcm16 = false;
    for (qsizetype at = 12; at + 8 <= bytes.size();) {
        const QByteArray id = bytes.mid(at, 4);
        const auto size = static_cast<qsizetype>(number(at + 4, 4));
        const qsizetype body = at + 8;
        if (body + size > bytes.size()) return {};
        if (id == "fmt " && size >= 16) {
            monoPcm16 = number(body, 2) == 1 && number(body + 2, 2) == 1 && number(body + 4, 4) == kMonitorRate &&
                        number(body + 14, 2) == 16;
        } else if (id == "data") {
            if (!monoPcm16) return {};
            std::vector<qint16> samples(static_cast<std::size_t>(size / 2));
            for (std::size_t i = 0; i < samples.size(); ++i)
                samples[i] = static_cast<qint16>(number(body + 2 * static_cast<qsizetype>(i), 2));
            return samples;
        }
        at += 8 + size + (size & 1);
    }
    return {};
}

// --- the audio server ----------------------------------------------------

QString AudioServer::server_;

void AudioServer::SetUpTestSuite() {
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

void AudioServer::SetUp() {
    if (server_.isEmpty())
        GTEST_SKIP() << "No PulseAudio server could be started here (scripts/start_pulse.sh failed), "
                        "so the sounds cannot be listened to.";
}

int AudioServer::peakWhile(const std::function<void()>& during, int ms) {
    MonitorRecorder recorder(server_);
    if (!recorder.start()) return -1;
    during();
    waitUntil([] { return false; }, ms);
    const std::vector<qint16> heard = recorder.take();
    return heard.empty() ? -1 : peak(heard);
}

// --- the recorder --------------------------------------------------------

MonitorRecorder::MonitorRecorder(QString server) : server_(std::move(server)) {}

MonitorRecorder::~MonitorRecorder() {
    if (recorder_.state() == QProcess::NotRunning) return;
    recorder_.kill();
    recorder_.waitForFinished(2000);
}

bool MonitorRecorder::start() {
    recorder_.start("parecord", {"--server=" + server_, QString("--device=%1.monitor").arg(AudioServer::kSink),
                                 "--raw", "--format=s16le", QString("--rate=%1").arg(kMonitorRate), "--channels=1",
                                 "--latency-msec=50", dir_.filePath("monitor.raw")});
    if (!recorder_.waitForStarted(5000)) return false;
    // The recorder connects to the server in its own time, slowly on a server
    // just started: the recording begins when its first samples are written,
    // and the clock is set to where the file then stands.
    const QString file = dir_.filePath("monitor.raw");
    const bool flowing = waitUntil([&] { return QFileInfo(file).size() > 0; }, 10000);
    if (!flowing || recorder_.state() != QProcess::Running) return false;
    running_.start();
    startMs_ = msOf(QFileInfo(file).size() / 2);
    return true;
}

std::vector<qint16> MonitorRecorder::take() {
    // The recorder writes what it hears some time later: stopping it at once
    // would lose the end. Wait until the file holds the time that has passed
    // since it started (less its own start-up).
    const qint64 due = samplesIn(static_cast<int>(elapsedMs()) - 200) * 2;
    const QString file = dir_.filePath("monitor.raw");
    waitUntil([&] { return QFileInfo(file).size() >= due; }, 5000);
    recorder_.terminate();
    if (!recorder_.waitForFinished(5000)) recorder_.kill();
    recorder_.waitForFinished(2000);
    QFile raw(dir_.filePath("monitor.raw"));
    if (!raw.open(QIODevice::ReadOnly)) return {};
    const QByteArray bytes = raw.readAll();
    std::vector<qint16> samples(static_cast<std::size_t>(bytes.size() / 2));
    for (std::size_t i = 0; i < samples.size(); ++i)
        samples[i] = qFromLittleEndian<qint16>(bytes.constData() + 2 * static_cast<qsizetype>(i));
    return samples;
}

std::vector<ServerStream> ownStreams(const QString& server) {
    QProcess pactl;
    pactl.start("pactl", {"--server=" + server, "list", "sink-inputs"});
    if (!pactl.waitForFinished(5000)) {
        pactl.kill();
        pactl.waitForFinished(2000);
        return {};
    }
    const QString ownProcess = QString("application.process.id = \"%1\"").arg(QCoreApplication::applicationPid());
    std::vector<ServerStream> streams;
    std::optional<ServerStream> current;
    bool own = false;
    const auto finish = [&] {
        if (current && own) streams.push_back(*current);
    };
    for (const QString& raw : QString::fromLocal8Bit(pactl.readAllStandardOutput()).split('\n')) {
        const QString line = raw.trimmed();
        if (line.startsWith("Sink Input #")) {
            finish();
            current = ServerStream{line.mid(12).toInt(), false};
            own = false;
        } else if (line.startsWith("Corked:") && current) {
            current->corked = line.endsWith("yes");
        } else if (line == ownProcess) {
            own = true;
        }
    }
    finish();
    return streams;
}

// --- listening -----------------------------------------------------------

int peak(std::span<const qint16> samples) {
    int highest = 0;
    for (const qint16 sample : samples) highest = std::max(highest, std::abs(static_cast<int>(sample)));
    return highest;
}

Match bestMatch(std::span<const qint16> heard, std::span<const qint16> pattern, qsizetype from, qsizetype to) {
    const auto length = static_cast<qsizetype>(pattern.size());
    const auto available = static_cast<qsizetype>(heard.size());
    from = std::max<qsizetype>(from, 0);
    to = std::min(to, available - length + 1);
    Match best;
    if (length == 0 || from >= to) return best;
    double patternEnergy = 0;
    for (const qint16 p : pattern) patternEnergy += double(p) * p;
    // The heard window's energy, slid along.
    double windowEnergy = 0;
    for (qsizetype k = 0; k < length; ++k) windowEnergy += double(heard[from + k]) * heard[from + k];
    // Below this the window is as good as silent: nothing to match.
    const double quiet = double(length) * 30 * 30;
    for (qsizetype at = from; at < to; ++at) {
        if (at > from) {
            const double out = heard[at - 1], in = heard[at + length - 1];
            windowEnergy = std::max(0.0, windowEnergy - out * out + in * in);
        }
        if (windowEnergy < quiet || patternEnergy <= 0) continue;
        double product = 0;
        for (qsizetype k = 0; k < length; ++k) product += double(heard[at + k]) * pattern[k];
        const double score = product / std::sqrt(windowEnergy * patternEnergy);
        if (score > best.score) best = {at, score};
    }
    return best;
}

}  // namespace vornel::test

namespace vornel::test {

namespace {
constexpr double kAudibleMs = 150;
// The start of a recording looked for in what was heard. Long enough that
// its likeness stays clear when the audio server drops the first block of
// a stream, as a null sink's monitor does now and then when a stream starts
// (it happens to other players' sounds too).
constexpr int kOnsetMs = 120;
// Where a sound may start around the time asked for plus the usual delay:
// the audio server plays in blocks, and a new sound follows what the server
// already holds of the previous one.
constexpr int kEarlyMs = 150;
constexpr int kLateMs = 350;
// Correlations with the recording: an exact copy scores near 1, other sounds
// and silence near 0.
constexpr double kSure = 0.7;
constexpr double kHeard = 0.5;

std::span<const qint16> opening(const std::vector<qint16>& samples) {
    return std::span(samples).first(std::min<std::size_t>(samples.size(), samplesIn(kOnsetMs)));
}
}  // namespace

std::vector<HeardSound> listenFor(std::span<const qint16> heard, const std::vector<AskedSound>& asked) {
    struct Audible {
        AskedSound asked;
        std::vector<qint16> samples;
        bool uncut;
    };
    std::vector<Audible> audible;
    for (std::size_t i = 0; i < asked.size(); ++i) {
        const double gap = i + 1 < asked.size() ? asked[i + 1].atMs - asked[i].atMs : 1e9;
        if (gap < kAudibleMs) continue;
        std::vector<qint16> samples = recordingSamples(asked[i].name);
        const bool uncut = gap > msOf(static_cast<qsizetype>(samples.size())) + kAudibleMs;
        audible.push_back({asked[i], std::move(samples), uncut});
    }

    // The usual delay from asking to hearing, in samples: the median over
    // the first sounds found with certainty near the time asked for (the
    // recorder needs a moment to connect; the output, its buffer).
    std::vector<qsizetype> delays;
    for (std::size_t i = 0; i < audible.size() && i < 10; ++i) {
        const qsizetype when = samplesIn(static_cast<int>(audible[i].asked.atMs));
        const Match m = bestMatch(heard, opening(audible[i].samples), when - samplesIn(300), when + samplesIn(700));
        if (m.score >= kSure) delays.push_back(m.at - when);
    }
    if (delays.empty()) return {};
    std::nth_element(delays.begin(), delays.begin() + static_cast<qsizetype>(delays.size() / 2), delays.end());
    const qsizetype delay = delays[delays.size() / 2];

    std::vector<HeardSound> result;
    for (const Audible& sound : audible) {
        HeardSound h{sound.asked};
        const qsizetype expected = samplesIn(static_cast<int>(sound.asked.atMs)) + delay;
        const Match start = bestMatch(heard, opening(sound.samples), expected - samplesIn(kEarlyMs),
                                      expected + samplesIn(kLateMs));
        h.likeness = start.score;
        if (start.score >= kHeard) h.at = start.at;
        const auto length = static_cast<qsizetype>(sound.samples.size());
        h.endChecked = h.at >= 0 && sound.uncut && length >= samplesIn(kOnsetMs + 100);
        if (h.endChecked) {
            // 60 ms from shortly before its end, where they belong, give or
            // take a server block (a busy machine may starve the output a
            // moment, and the server then skips what came late).
            const qsizetype tailFrom = length - samplesIn(100);
            const auto tail = std::span(sound.samples).subspan(tailFrom, samplesIn(60));
            const Match end = bestMatch(heard, tail, h.at + tailFrom - samplesIn(80), h.at + tailFrom + samplesIn(80));
            h.endLikeness = end.score;
            h.endHeard = end.score >= kHeard;
        }
        result.push_back(h);
    }
    return result;
}

}  // namespace vornel::test

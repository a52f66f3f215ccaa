#include "app/sound_output.h"

#include <QAudioDevice>
#include <QLoggingCategory>
#include <QMediaDevices>
#include <algorithm>
#include <cstring>

Q_LOGGING_CATEGORY(lcSounds, "vornel.sounds", QtWarningMsg)

namespace vornel::app {

namespace {
// What the output is asked to hold: enough to ride out a busy moment of the
// machine (a new sound does not wait for it: the stream is started anew).
constexpr int kRequestedBufferMs = 300;
// A little more than the buffer, for the server's own block of time.
constexpr int kDrainMarginMs = 50;
}  // namespace

// --- the output ------------------------------------------------------------

SoundOutput::SoundOutput(QObject* parent) : QObject(parent) {
    quiet_.setSingleShot(true);
    connect(&quiet_, &QTimer::timeout, this, &SoundOutput::rest);
    stream_.onFinished([this] { quiet_.start(bufferMs() + kDrainMarginMs); });
}

SoundOutput::~SoundOutput() { closeOutput(); }

void SoundOutput::play(const QString& name, const Recording& recording) {
    if (broken_) closeOutput();
    if (!sink_ && !makeOutput(recording.format)) return;
    QByteArray pcm = pcmFor(name, recording);
    if (pcm.isEmpty()) return;
    quiet_.stop();
    if (!playing_.isEmpty()) Q_EMIT ended(playing_);
    playing_.clear();
    // What the output still holds of the sound playing goes unheard: the
    // new one starts at once, whatever the size of the buffer.
    if (sink_->state() != QAudio::StoppedState) sink_->stop();
    // The silence after the sound fills the buffer past the point where the
    // server starts playing, and pushes the sound's end through it before
    // the stream runs dry.
    stream_.setSound(std::move(pcm), outputFormat_.bytesForDuration(qint64{bufferMs() + kDrainMarginMs} * 1000));
    // The same buffer every time: asked for anew, not the one granted last.
    sink_->setBufferSize(outputFormat_.bytesForDuration(qint64{kRequestedBufferMs} * 1000));
    sink_->start(&stream_);
    if (sink_->state() == QAudio::StoppedState) {
        qCWarning(lcSounds) << "the audio output would not start:" << sink_->error();
        closeOutput();  // the next sound looks for the device again
        return;
    }
    playing_ = name;
    qCDebug(lcSounds) << "playing" << name << "buffer" << sink_->bufferSize() << "bytes";
    Q_EMIT started(name);
}

bool SoundOutput::makeOutput(const QAudioFormat& wanted) {
    const QAudioDevice device = QMediaDevices::defaultAudioOutput();
    if (device.isNull()) return false;
    const QAudioFormat format = device.isFormatSupported(wanted) ? wanted : device.preferredFormat();
    sink_ = std::make_unique<QAudioSink>(device, format);
    connect(sink_.get(), &QAudioSink::stateChanged, this, &SoundOutput::outputStateChanged);
    stream_.setFormat(format);
    if (format != outputFormat_) converted_.clear();
    outputFormat_ = format;
    qCDebug(lcSounds) << "output" << device.description() << format;
    return true;
}

void SoundOutput::closeOutput() {
    quiet_.stop();
    sink_.reset();
    broken_ = false;
    if (!playing_.isEmpty()) Q_EMIT ended(playing_);
    playing_.clear();
}

void SoundOutput::outputStateChanged(QAudio::State state) {
    if (state == QAudio::IdleState && lastState_ == QAudio::ActiveState && stream_.midway())
        qCDebug(lcSounds) << "the output ran dry in the middle of" << playing_;
    lastState_ = state;
    // Stopped with an error: the output broke (the audio server went away,
    // say); the next sound makes a new one. Not deleted here, inside its own
    // signal.
    if (state != QAudio::StoppedState || !sink_ || sink_->error() == QAudio::NoError) return;
    qCWarning(lcSounds) << "the audio output failed:" << sink_->error();
    broken_ = true;
    quiet_.stop();
    if (!playing_.isEmpty()) Q_EMIT ended(playing_);
    playing_.clear();
}

void SoundOutput::rest() {
    // Nothing is left in the buffer by now: closing the stream costs nothing
    // audible, and a closed output costs nothing at all while none plays.
    if (sink_) sink_->stop();
    if (!playing_.isEmpty()) Q_EMIT ended(playing_);
    playing_.clear();
}

QByteArray SoundOutput::pcmFor(const QString& name, const Recording& recording) {
    if (recording.format == outputFormat_) return recording.pcm;
    auto found = converted_.find(name);
    if (found == converted_.end()) found = converted_.emplace(name, convertRecording(recording, outputFormat_)).first;
    return found->second;
}

int SoundOutput::bufferMs() const {
    if (!sink_) return kRequestedBufferMs;
    const auto granted = static_cast<int>(outputFormat_.durationForBytes(static_cast<qint32>(sink_->bufferSize())) / 1000);
    return std::max(kRequestedBufferMs, granted);
}

}  // namespace vornel::app

#pragma once
// The audio side of the sounds: one audio output, made on the first sound
// and kept for the whole run, on a thread of its own so that neither a busy
// table nor a slow audio server holds the other up. Each sound starts the
// output's stream anew, which drops what it still held of the sound before;
// once the sound has played out the stream is closed, so nothing runs while
// no sound plays.
//
// Why the buffer is asked for anew at every start: with Qt 6.4 on
// PulseAudio an output that is started again asks the server for the buffer
// it was granted the time before, and gets about three quarters of it.
// Restarting a sound-effect object for every play (what the table did) thus
// shrank its buffer at each play; after a few plays of the same recording
// the buffer was smaller than one 20 ms feed and not a byte was written any
// more: that recording stayed silent for the rest of the run.

#include <QAudioFormat>
#include <QAudioSink>
#include <QByteArray>
#include <QIODevice>
#include <QObject>
#include <QString>
#include <QTimer>
#include <functional>
#include <map>
#include <memory>

#include "app/sound_device.h"
#include "app/sound_recording.h"
#include "app/sound_stream.h"

namespace vornel::app {

class SoundOutput final : public QObject, public SoundDevice {
    Q_OBJECT
public:
    explicit SoundOutput(QObject* parent = nullptr);
    ~SoundOutput() override;

    QObject* object() override { return this; }
    // Starts the recording at once, cutting the one playing; nothing plays
    // when there is no audio output.
    void play(const QString& name, const Recording& recording) override;

Q_SIGNALS:
    // The sound is going to the audio output / has played out or was cut.
    void started(const QString& name);
    void ended(const QString& name);

private:
    bool makeOutput(const QAudioFormat& wanted);
    void closeOutput();
    void outputStateChanged(QAudio::State state);
    void rest();
    QByteArray pcmFor(const QString& name, const Recording& recording);
    int bufferMs() const;

    SoundStream stream_{this};
    // Runs from the last byte pulled until the output's buffer has played
    // out; then the output rests.
    QTimer quiet_{this};
    std::unique_ptr<QAudioSink> sink_;  // after the stream it pulls from: goes first
    QAudioFormat outputFormat_;
    QString playing_;
    QAudio::State lastState_ = QAudio::StoppedState;
    bool broken_ = false;
    // Recordings converted to the output's format, when it is not theirs.
    std::map<QString, QByteArray> converted_;
};

}  // namespace vornel::app

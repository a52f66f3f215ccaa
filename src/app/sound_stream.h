#pragma once
// What the audio output pulls (sound_output.h): the current recording, then
// silence, then nothing.

#include <QAudioFormat>
#include <QByteArray>
#include <QIODevice>
#include <functional>

namespace vornel::app {

// What the output pulls: the current recording, then enough silence to
// carry its end through the output's buffer, then nothing.
class SoundStream final : public QIODevice {
    Q_OBJECT
public:
    explicit SoundStream(QObject* parent = nullptr);

    // The format of what is handed out: its frames are never split, and
    // its silence is what it calls silence.
    void setFormat(const QAudioFormat& format);
    void setSound(QByteArray pcm, qint64 trailingSilence);
    // Called once the last byte of a sound has been pulled.
    void onFinished(std::function<void()> finished) { finished_ = std::move(finished); }

    // Whether part of the current sound has been pulled, and part is left.
    bool midway() const { return offset_ > 0 && bytesAvailable() > 0; }

    bool isSequential() const override { return true; }
    qint64 bytesAvailable() const override;

protected:
    qint64 readData(char* data, qint64 maxSize) override;
    qint64 writeData(const char* data, qint64 maxSize) override;

private:
    QByteArray pcm_;
    qint64 offset_ = 0;
    qint64 silenceLeft_ = 0;
    int bytesPerFrame_ = 1;
    char silence_ = 0;
    std::function<void()> finished_;
};

}  // namespace vornel::app

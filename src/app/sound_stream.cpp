#include "app/sound_stream.h"

#include <algorithm>
#include <cstring>

namespace vornel::app {

SoundStream::SoundStream(QObject* parent) : QIODevice(parent) {
    // Unbuffered: nothing of a cut sound may wait in a read-ahead buffer.
    open(QIODevice::ReadOnly | QIODevice::Unbuffered);
}

void SoundStream::setFormat(const QAudioFormat& format) {
    bytesPerFrame_ = std::max(1, format.bytesPerFrame());
    silence_ = format.sampleFormat() == QAudioFormat::UInt8 ? char(0x80) : char(0);
}

void SoundStream::setSound(QByteArray pcm, qint64 trailingSilence) {
    pcm_ = std::move(pcm);
    offset_ = 0;
    silenceLeft_ = trailingSilence - trailingSilence % bytesPerFrame_;
}

qint64 SoundStream::bytesAvailable() const {
    return pcm_.size() - offset_ + silenceLeft_ + QIODevice::bytesAvailable();
}

qint64 SoundStream::readData(char* data, qint64 maxSize) {
    const bool hadSome = offset_ < pcm_.size() || silenceLeft_ > 0;
    const qint64 room = maxSize - maxSize % bytesPerFrame_;
    const qint64 fromSound = std::min(room, pcm_.size() - offset_);
    std::memcpy(data, pcm_.constData() + offset_, static_cast<std::size_t>(fromSound));
    offset_ += fromSound;
    const qint64 silence = std::min(room - fromSound, silenceLeft_);
    std::memset(data + fromSound, silence_, static_cast<std::size_t>(silence));
    silenceLeft_ -= silence;
    if (hadSome && offset_ == pcm_.size() && silenceLeft_ == 0 && finished_) finished_();
    return fromSound + silence;
}

qint64 SoundStream::writeData(const char*, qint64) { return -1; }

}  // namespace vornel::app

#include "app/sound_recording.h"

#include <QtEndian>
#include <algorithm>
#include <cmath>
#include <cstring>

namespace vornel::app {

namespace {
constexpr quint16 kPlainPcm = 1;
constexpr int kLowestRate = 8000;
constexpr int kHighestRate = 192000;

quint16 u16(const char* at) { return qFromLittleEndian<quint16>(at); }
quint32 u32(const char* at) { return qFromLittleEndian<quint32>(at); }

// The sample `frame` of `channel`, reading between frames linearly.
double sampleAt(const qint16* samples, qsizetype frames, int channels, double frame, int channel) {
    const auto before = static_cast<qsizetype>(frame);
    const double weight = frame - static_cast<double>(before);
    const double a = samples[before * channels + channel];
    const double b = before + 1 < frames ? samples[(before + 1) * channels + channel] : a;
    return a + (b - a) * weight;
}

void store(double value, QAudioFormat::SampleFormat format, char* out) {
    const double clipped = std::clamp(value, -32768.0, 32767.0);
    switch (format) {
    case QAudioFormat::UInt8: {
        const auto v = static_cast<quint8>(std::clamp(std::lround(clipped / 256.0) + 128, 0L, 255L));
        std::memcpy(out, &v, 1);
        break;
    }
    case QAudioFormat::Int16: {
        const auto v = static_cast<qint16>(std::lround(clipped));
        std::memcpy(out, &v, 2);
        break;
    }
    case QAudioFormat::Int32: {
        const auto v = static_cast<qint32>(std::lround(clipped) * 65536);
        std::memcpy(out, &v, 4);
        break;
    }
    case QAudioFormat::Float: {
        const auto v = static_cast<float>(clipped / 32768.0);
        std::memcpy(out, &v, 4);
        break;
    }
    default:
        break;
    }
}
}  // namespace

std::optional<Recording> readWave(const QByteArray& file, WaveSamples samples) {
    if (file.size() < 12 || !file.startsWith("RIFF") || file.mid(8, 4) != "WAVE") return std::nullopt;
    std::optional<QAudioFormat> format;
    for (qsizetype at = 12; at + 8 <= file.size();) {
        const char* header = file.constData() + at;
        const qsizetype size = u32(header + 4);
        const qsizetype available = std::min(size, file.size() - at - 8);
        const char* body = header + 8;
        if (std::memcmp(header, "fmt ", 4) == 0) {
            if (available < 16) return std::nullopt;
            const int channels = u16(body + 2);
            const auto rate = static_cast<qint64>(u32(body + 4));
            const bool usable = u16(body) == kPlainPcm && u16(body + 14) == 16 && (channels == 1 || channels == 2) &&
                                u16(body + 12) == 2 * channels && rate >= kLowestRate && rate <= kHighestRate;
            if (!usable) return std::nullopt;
            format.emplace();
            format->setSampleFormat(QAudioFormat::Int16);
            format->setChannelCount(channels);
            format->setSampleRate(static_cast<int>(rate));
        } else if (std::memcmp(header, "data", 4) == 0) {
            if (!format) return std::nullopt;
            const qsizetype whole = available - available % format->bytesPerFrame();
            return Recording{*format, samples == WaveSamples::Borrowed ? QByteArray::fromRawData(body, whole)
                                                                       : QByteArray(body, whole)};
        }
        at += 8 + size + (size & 1);
    }
    return std::nullopt;
}

QByteArray convertRecording(const Recording& recording, const QAudioFormat& to) {
    const QAudioFormat& from = recording.format;
    if (to == from) return recording.pcm;
    const int inChannels = from.channelCount();
    const int outChannels = to.channelCount();
    const int outBytes = to.bytesPerSample();
    if (!to.isValid() || outChannels < 1 || outBytes == 0 || to.sampleRate() < 1 || inChannels < 1) return {};
    const auto* samples = reinterpret_cast<const qint16*>(recording.pcm.constData());
    const qsizetype inFrames = recording.pcm.size() / from.bytesPerFrame();
    if (inFrames == 0) return {};
    const double step = static_cast<double>(from.sampleRate()) / to.sampleRate();
    const auto outFrames = static_cast<qsizetype>(std::floor((inFrames - 1) / step)) + 1;
    QByteArray out(outFrames * outChannels * outBytes, Qt::Uninitialized);
    char* write = out.data();
    for (qsizetype i = 0; i < outFrames; ++i) {
        const double frame = std::min(static_cast<double>(i) * step, static_cast<double>(inFrames - 1));
        for (int c = 0; c < outChannels; ++c, write += outBytes)
            store(sampleAt(samples, inFrames, inChannels, frame, std::min(c, inChannels - 1)), to.sampleFormat(),
                  write);
    }
    return out;
}

}  // namespace vornel::app

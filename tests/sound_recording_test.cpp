// The sounds' samples without an audio device: WAV files read into PCM
// (well-formed, cut short, and refused ones), the PCM converted to what an
// output asks for, and the stream an output pulls the current sound from.

#include <gtest/gtest.h>

#include <QtEndian>
#include <cstring>
#include <optional>
#include <vector>

#include "app/sound_stream.h"
#include "app/sound_recording.h"

namespace vornel::app {
namespace {

QByteArray chunk(const char* id, const QByteArray& body) {
    QByteArray out(id, 4);
    char size[4];
    qToLittleEndian<quint32>(static_cast<quint32>(body.size()), size);
    out.append(size, 4).append(body);
    if (body.size() % 2 == 1) out.append('\0');
    return out;
}

QByteArray fmtBody(int format, int channels, int rate, int bits, int blockAlign = -1) {
    QByteArray body(16, '\0');
    char* b = body.data();
    qToLittleEndian<quint16>(static_cast<quint16>(format), b);
    qToLittleEndian<quint16>(static_cast<quint16>(channels), b + 2);
    qToLittleEndian<quint32>(static_cast<quint32>(rate), b + 4);
    qToLittleEndian<quint32>(static_cast<quint32>(rate * channels * bits / 8), b + 8);
    qToLittleEndian<quint16>(static_cast<quint16>(blockAlign >= 0 ? blockAlign : channels * bits / 8), b + 12);
    qToLittleEndian<quint16>(static_cast<quint16>(bits), b + 14);
    return body;
}

QByteArray samples(std::initializer_list<qint16> values) {
    QByteArray out;
    for (qint16 v : values) {
        char le[2];
        qToLittleEndian<qint16>(v, le);
        out.append(le, 2);
    }
    return out;
}

QByteArray riff(const QByteArray& chunks) { return chunk("RIFF", "WAVE" + chunks); }

const QByteArray kThreeFrames = samples({100, -200, 300});

TEST(ReadWave, ReadsPlainSixteenBitPcmAndRefusesEverythingElse) {
    struct Case {
        const char* what;
        QByteArray file;
        int channels;  // 0: refused
        int rate;
        QByteArray pcm;
    };
    const QByteArray mono = chunk("fmt ", fmtBody(1, 1, 22050, 16));
    QByteArray cutShort = riff(mono + chunk("data", kThreeFrames + samples({7})));
    cutShort.chop(3);  // the last sample and a half byte of the one before are missing
    const Case cases[] = {
        {"mono", riff(mono + chunk("data", kThreeFrames)), 1, 22050, kThreeFrames},
        {"stereo", riff(chunk("fmt ", fmtBody(1, 2, 44100, 16)) + chunk("data", samples({1, 2, 3, 4}))), 2, 44100,
         samples({1, 2, 3, 4})},
        {"an odd chunk and its pad byte first", riff(chunk("LIST", "abc") + mono + chunk("data", kThreeFrames)), 1,
         22050, kThreeFrames},
        {"a longer format chunk", riff(chunk("fmt ", fmtBody(1, 1, 8000, 16) + QByteArray(2, '\0')) +
                                       chunk("data", kThreeFrames)),
         1, 8000, kThreeFrames},
        {"data cut short keeps whole frames", cutShort, 1, 22050, samples({100, -200})},
        {"empty file", QByteArray(), 0, 0, {}},
        {"not RIFF", "RIFX" + riff(mono).mid(4), 0, 0, {}},
        {"not WAVE", chunk("RIFF", "AVI " + mono), 0, 0, {}},
        {"floating point", riff(chunk("fmt ", fmtBody(3, 1, 22050, 32)) + chunk("data", kThreeFrames)), 0, 0, {}},
        {"eight bits", riff(chunk("fmt ", fmtBody(1, 1, 22050, 8)) + chunk("data", kThreeFrames)), 0, 0, {}},
        {"three channels", riff(chunk("fmt ", fmtBody(1, 3, 22050, 16)) + chunk("data", kThreeFrames)), 0, 0, {}},
        {"rate too low", riff(chunk("fmt ", fmtBody(1, 1, 4000, 16)) + chunk("data", kThreeFrames)), 0, 0, {}},
        {"block size wrong", riff(chunk("fmt ", fmtBody(1, 1, 22050, 16, 4)) + chunk("data", kThreeFrames)), 0, 0, {}},
        {"format chunk too short", riff(chunk("fmt ", fmtBody(1, 1, 22050, 16).left(14)) + chunk("data", kThreeFrames)),
         0, 0, {}},
        {"data before format", riff(chunk("data", kThreeFrames) + mono), 0, 0, {}},
        {"no data", riff(mono), 0, 0, {}},
    };
    for (const Case& c : cases) {
        const std::optional<Recording> read = readWave(c.file);
        if (c.channels == 0) {
            EXPECT_FALSE(read) << c.what;
            continue;
        }
        ASSERT_TRUE(read) << c.what;
        EXPECT_EQ(read->format.sampleFormat(), QAudioFormat::Int16) << c.what;
        EXPECT_EQ(read->format.channelCount(), c.channels) << c.what;
        EXPECT_EQ(read->format.sampleRate(), c.rate) << c.what;
        EXPECT_EQ(read->pcm, c.pcm) << c.what;
        // Read from bytes that outlive it, the same samples, left where they lie.
        const std::optional<Recording> borrowed = readWave(c.file, WaveSamples::Borrowed);
        ASSERT_TRUE(borrowed) << c.what;
        EXPECT_EQ(borrowed->format, read->format) << c.what;
        EXPECT_EQ(borrowed->pcm, c.pcm) << c.what;
        const char* begin = c.file.constData();
        EXPECT_TRUE(borrowed->pcm.constData() >= begin &&
                    borrowed->pcm.constData() + borrowed->pcm.size() <= begin + c.file.size())
            << c.what;
        EXPECT_FALSE(read->pcm.constData() >= begin && read->pcm.constData() < begin + c.file.size()) << c.what;
    }
}

QAudioFormat format(int rate, int channels, QAudioFormat::SampleFormat sampleFormat) {
    QAudioFormat f;
    f.setSampleRate(rate);
    f.setChannelCount(channels);
    f.setSampleFormat(sampleFormat);
    return f;
}

template <typename T>
std::vector<T> valuesOf(const QByteArray& bytes) {
    std::vector<T> out(static_cast<std::size_t>(bytes.size()) / sizeof(T));
    std::memcpy(out.data(), bytes.constData(), out.size() * sizeof(T));
    return out;
}

TEST(ConvertRecording, ResamplesSpreadsChannelsAndRewritesSamples) {
    const Recording ramp{format(22050, 1, QAudioFormat::Int16), samples({0, 1000, 2000, 3000})};
    const Recording stereo{format(22050, 2, QAudioFormat::Int16), samples({10, -10, 20, -20})};
    const Recording extremes{format(22050, 1, QAudioFormat::Int16), samples({0, 16384, -32768, 32767})};
    EXPECT_EQ(convertRecording(ramp, ramp.format), ramp.pcm) << "its own format: unchanged";
    EXPECT_EQ(valuesOf<qint16>(convertRecording(ramp, format(44100, 1, QAudioFormat::Int16))),
              (std::vector<qint16>{0, 500, 1000, 1500, 2000, 2500, 3000}))
        << "twice the rate: a sample between each two";
    EXPECT_EQ(valuesOf<qint16>(convertRecording(ramp, format(11025, 1, QAudioFormat::Int16))),
              (std::vector<qint16>{0, 2000}))
        << "half the rate: every other sample";
    EXPECT_EQ(valuesOf<qint16>(convertRecording(ramp, format(22050, 2, QAudioFormat::Int16))),
              (std::vector<qint16>{0, 0, 1000, 1000, 2000, 2000, 3000, 3000}))
        << "mono on both channels";
    EXPECT_EQ(valuesOf<qint16>(convertRecording(stereo, format(22050, 1, QAudioFormat::Int16))),
              (std::vector<qint16>{10, 20}))
        << "stereo to mono keeps the first channel";
    EXPECT_EQ(valuesOf<float>(convertRecording(extremes, format(22050, 1, QAudioFormat::Float))),
              (std::vector<float>{0.0f, 0.5f, -1.0f, 32767.0f / 32768.0f}));
    EXPECT_EQ(valuesOf<qint32>(convertRecording(extremes, format(22050, 1, QAudioFormat::Int32))),
              (std::vector<qint32>{0, 16384 * 65536, -32768 * 65536, 32767 * 65536}));
    EXPECT_EQ(valuesOf<quint8>(convertRecording(extremes, format(22050, 1, QAudioFormat::UInt8))),
              (std::vector<quint8>{128, 192, 0, 255}));
    EXPECT_TRUE(convertRecording(ramp, QAudioFormat()).isEmpty()) << "no format: nothing";
    EXPECT_TRUE(convertRecording(Recording{ramp.format, {}}, format(44100, 2, QAudioFormat::Int16)).isEmpty());
}

// --- the stream an output pulls ---------------------------------------------

QByteArray pull(SoundStream& stream, qint64 size) {
    QByteArray out(size, '?');
    const qint64 got = stream.read(out.data(), size);
    out.truncate(std::max<qint64>(got, 0));
    return out;
}

TEST(SoundStream, HandsOutTheSoundThenSilenceThenNothing) {
    SoundStream stream;
    stream.setFormat(format(22050, 1, QAudioFormat::Int16));
    int finished = 0;
    stream.onFinished([&] { ++finished; });
    stream.setSound(samples({1, 2, 3}), 5);  // 5 bytes of silence: two whole frames
    EXPECT_EQ(stream.bytesAvailable(), 10);
    EXPECT_EQ(pull(stream, 4), samples({1, 2}));
    EXPECT_EQ(pull(stream, 5), samples({3, 0})) << "whole frames only, the silence follows the sound";
    EXPECT_EQ(finished, 0);
    EXPECT_EQ(pull(stream, 100), samples({0}));
    EXPECT_EQ(finished, 1) << "the last byte went out";
    EXPECT_EQ(pull(stream, 100), QByteArray());
    EXPECT_EQ(finished, 1) << "said once";
}

TEST(SoundStream, ANewSoundReplacesTheRestOfTheCurrentOne) {
    SoundStream stream;
    stream.setFormat(format(22050, 2, QAudioFormat::Int16));
    stream.setSound(samples({1, 1, 2, 2, 3, 3}), 0);
    EXPECT_EQ(pull(stream, 6), samples({1, 1})) << "a frame is two samples";
    stream.setSound(samples({9, 9}), 4);
    EXPECT_EQ(pull(stream, 100), samples({9, 9, 0, 0}));
}

TEST(SoundStream, EightBitSilenceIsTheMiddleValue) {
    SoundStream stream;
    stream.setFormat(format(22050, 1, QAudioFormat::UInt8));
    stream.setSound(QByteArray("\x10\x20", 2), 3);
    EXPECT_EQ(pull(stream, 100), QByteArray("\x10\x20\x80\x80\x80", 5));
}

}  // namespace
}  // namespace vornel::app

#pragma once
// The program's sound recordings as samples: a WAV file read into its PCM
// data, and that data converted to whatever an audio output asks for.
//
// A WAV file is a RIFF "WAVE" container of chunks (4-byte id, 32-bit little
// endian size, body, a pad byte after an odd size). Read here: a "fmt "
// chunk of plain PCM (format 1), 16 bits, 1 or 2 channels, 8,000 to
// 192,000 frames a second, then the "data" chunk. Anything else, or a data
// chunk before the format, is refused; a data chunk cut short by the end of
// the file keeps the whole frames that are there.

#include <QAudioFormat>
#include <QByteArray>
#include <optional>

namespace vornel::app {

struct Recording {
    QAudioFormat format;  // always Int16
    QByteArray pcm;       // whole frames only
};

// Whether a recording's samples are a copy, or point into the file's bytes
// (for files that outlive every recording, as those compiled in do).
enum class WaveSamples { Copied, Borrowed };

std::optional<Recording> readWave(const QByteArray& file, WaveSamples samples = WaveSamples::Copied);

// The recording's samples in `to`: resampled by linear interpolation,
// mono spread to every channel (or the first channels kept), and written
// in `to`'s sample format. Empty when `to` is not a usable format.
QByteArray convertRecording(const Recording& recording, const QAudioFormat& to);

}  // namespace vornel::app

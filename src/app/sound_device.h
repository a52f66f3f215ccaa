#pragma once
// The audio output as the sound player sees it. On Linux it comes from the
// module vornel-sound, loaded with the first sound, so that a program that
// has not yet made a sound maps neither Qt Multimedia nor the audio
// server's client libraries; elsewhere it is linked in.
//
// The device's object() carries the signals started(QString) and
// ended(QString) (sound_output.h): the sound is going to the audio output /
// has played out or was cut.

#include <QString>

#include "app/sound_recording.h"

class QObject;

namespace vornel::app {

class SoundDevice {
public:
    virtual ~SoundDevice() = default;
    // The device as an object: moved to the output's thread, connected to,
    // and deleted there.
    virtual QObject* object() = 0;
    // Starts the recording at once, cutting the one playing. Called on the
    // object's thread.
    virtual void play(const QString& name, const Recording& recording) = 0;
};

}  // namespace vornel::app

// The module's one entry point (also linked in where there are no modules).
// Called on the program's main thread, which also sets up Qt's audio layer,
// so that its objects belong to that thread and not to the output's.
extern "C" vornel::app::SoundDevice* vornel_make_sound_device();

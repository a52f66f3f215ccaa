// The module vornel-sound: the audio output (sound_output.h) behind the
// sound player's view of it (sound_device.h). Where there are no modules
// it is linked in.

#include <QMediaDevices>
#include <QtGlobal>

#include "app/sound_device.h"
#include "app/sound_output.h"

extern "C" Q_DECL_EXPORT vornel::app::SoundDevice* vornel_make_sound_device() {
    QMediaDevices::defaultAudioOutput();
    return new vornel::app::SoundOutput;
}

#pragma once
// The table's sounds: the recordings carried in the program as resources
// (":/sounds/<name>.wav"), played by name without regard to letter case,
// one at a time and without waiting: a new sound cuts the one playing.
//
// Nothing is done before the first sound: then one audio output is made on
// a thread of its own (sound_device.h, loaded then), which plays every later
// sound. Each recording is read when first played, its samples left where
// they lie in the program.

#include <QObject>
#include <QString>
#include <QStringList>
#include <QThread>
#include <map>
#include <optional>

#include "app/sound_recording.h"
#include "table/table_services.h"

namespace vornel::app {

class SoundDevice;

class SoundPlayer final : public QObject, public table::SoundSink {
    Q_OBJECT
public:
    explicit SoundPlayer(QObject* parent = nullptr);
    ~SoundPlayer() override;

    // Starts the named sound, stopping the one still playing; an unknown
    // name plays nothing.
    void play(const QString& name) override;

    // The names of every recording the program carries, in lower case.
    QStringList names() const;
    // The sound started last (lower case), empty before the first.
    QString current() const { return currentName_; }
    // Whether the named sound is playing on the audio device now.
    bool isPlaying(const QString& name) const;

private Q_SLOTS:
    void outputStarted(const QString& name);
    void outputEnded(const QString& name);

private:
    // The named recording, read when first asked for; null when the program
    // carries none of that name, or it is not one it can play.
    const Recording* recording(const QString& lowerName);
    bool startOutput();

    std::map<QString, std::optional<Recording>> recordings_;
    QString currentName_;
    QString playingName_;
    QThread* thread_ = nullptr;
    bool outputTried_ = false;
    SoundDevice* output_ = nullptr;  // its object lives on thread_
};

}  // namespace vornel::app

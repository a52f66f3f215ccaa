#pragma once
// The table's sounds: the recordings carried in the program as resources
// (":/sounds/<name>.wav"), played by name without regard to letter case,
// one at a time and without waiting: a new sound cuts the one playing.
//
// Nothing is done before the first sound: then the audio output's thread is
// started and loads the module of the output (sound_device.h) while the
// window goes on; once it is loaded the output is made and plays the sound
// asked for last, and every later one. A player that goes while the module
// loads waits only for the loading, and makes no output. Each recording is
// read when first played, its samples left where they lie in the program.

#include <QObject>
#include <QString>
#include <QStringList>
#include <QThread>
#include <atomic>
#include <map>
#include <memory>
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
    // Whether the audio output's module is being loaded now.
    bool outputLoading() const { return state_ == OutputState::Loading; }

private Q_SLOTS:
    void outputStarted(const QString& name);
    void outputEnded(const QString& name);

private:
    enum class OutputState { NotAsked, Loading, Ready, Unavailable };

    // The named recording, read when first asked for; null when the program
    // carries none of that name, or it is not one it can play.
    const Recording* recording(const QString& lowerName);
    void startLoading();
    // On this object's thread, with the module's entry point (null when it
    // could not be had, with the reason).
    void moduleLoaded(void* entry, const QString& error);
    void send(const QString& lowerName, const Recording& recording);

    std::map<QString, std::optional<Recording>> recordings_;
    QString currentName_;
    QString playingName_;
    QThread* thread_ = nullptr;
    OutputState state_ = OutputState::NotAsked;
    // The sound asked for last while the module loads.
    std::optional<std::pair<QString, Recording>> waiting_;
    // Set as the player goes: the loading makes nothing more.
    std::shared_ptr<std::atomic<bool>> leaving_ = std::make_shared<std::atomic<bool>>(false);
    SoundDevice* output_ = nullptr;  // its object lives on thread_
};

}  // namespace vornel::app

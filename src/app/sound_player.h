#pragma once
// The table's sounds: the recordings carried in the program as resources
// (":/sounds/<name>.wav"), played by name without regard to letter case,
// one at a time and without waiting.

#include <QObject>
#include <QSoundEffect>
#include <QString>
#include <QStringList>
#include <map>

#include "table/table_services.h"

namespace vornel::app {

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

private:
    QSoundEffect* effect(const QString& lowerName);

    // One effect per recording, made when first played (at most the number
    // of recordings, so nothing grows over a run).
    std::map<QString, QSoundEffect*> effects_;
    QSoundEffect* current_ = nullptr;
    QString currentName_;
};

}  // namespace vornel::app

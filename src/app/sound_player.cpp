#include "app/sound_player.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QFileInfo>
#include <QUrl>

// The resources live in this static library: make sure the linker keeps them.
static void loadSoundResources() { Q_INIT_RESOURCE(sounds); }

namespace vornel::app {

namespace {
const QString kSoundDirectory = QStringLiteral(":/sounds");
}

SoundPlayer::SoundPlayer(QObject* parent) : QObject(parent) { loadSoundResources(); }

SoundPlayer::~SoundPlayer() {
    // Qt reads each recording on a loader thread of its own; one dropped in
    // the middle of that read is never freed. A short wait lets it finish.
    QDeadlineTimer deadline(2000);
    const auto loading = [this] {
        for (const auto& [name, sound] : effects_)
            if (sound->status() == QSoundEffect::Loading) return true;
        return false;
    };
    while (loading() && !deadline.hasExpired()) QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
}

QStringList SoundPlayer::names() const {
    QStringList all;
    for (const QFileInfo& file : QDir(kSoundDirectory).entryInfoList({"*.wav"}, QDir::Files, QDir::Name))
        all.push_back(file.completeBaseName().toLower());
    return all;
}

QSoundEffect* SoundPlayer::effect(const QString& lowerName) {
    if (const auto found = effects_.find(lowerName); found != effects_.end()) return found->second;
    const QString path = kSoundDirectory + '/' + lowerName + ".wav";
    // The name comes from the network: only a plain file name of ours counts.
    if (lowerName.isEmpty() || lowerName.contains('/') || !QFileInfo::exists(path)) return nullptr;
    auto* sound = new QSoundEffect(this);
    sound->setSource(QUrl("qrc" + path));
    effects_.emplace(lowerName, sound);
    return sound;
}

void SoundPlayer::play(const QString& name) {
    const QString lowerName = name.toLower();
    QSoundEffect* sound = effect(lowerName);
    if (sound == nullptr) return;
    if (current_ != nullptr) current_->stop();
    current_ = sound;
    currentName_ = lowerName;
    sound->play();
}

bool SoundPlayer::isPlaying(const QString& name) const {
    const auto found = effects_.find(name.toLower());
    return found != effects_.end() && found->second->isPlaying();
}

}  // namespace vornel::app

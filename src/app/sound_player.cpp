#include "app/sound_player.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFileInfo>
#include <QLoggingCategory>
#include <QResource>

#include "app/platform.h"
#include "app/sound_device.h"

Q_LOGGING_CATEGORY(lcSoundPlayer, "vornel.sounds.player", QtWarningMsg)

// The resources live in this static library: make sure the linker keeps them.
static void loadSoundResources() { Q_INIT_RESOURCE(sounds); }

namespace vornel::app {

namespace {
const QString kSoundDirectory = QStringLiteral(":/sounds");
// How long closing waits for the audio thread; an audio server that does
// not answer must not keep the program from ending.
constexpr int kCloseWaitMs = 3000;

// The audio output's entry point: looked up in the module where there are
// modules (on the output's thread: loading maps Qt Multimedia and the audio
// server's client), linked in elsewhere. Null with the reason when it cannot
// be had.
platform::ModuleFunction findSoundDevice() {
#ifdef VORNEL_MODULES
    return platform::moduleFunction("vornel-sound", "vornel_make_sound_device");
#else
    return {reinterpret_cast<void*>(&vornel_make_sound_device), QString()};
#endif
}
}  // namespace

SoundPlayer::SoundPlayer(QObject* parent) : QObject(parent) { loadSoundResources(); }

SoundPlayer::~SoundPlayer() {
    if (thread_ == nullptr) return;
    // A module still loading finishes loading, and nothing more is made.
    leaving_->store(true);
    thread_->quit();
    // The output is deleted on its own thread as that thread finishes.
    if (!thread_->wait(QDeadlineTimer(kCloseWaitMs))) thread_->setParent(nullptr);  // left to the end of the process
}

QStringList SoundPlayer::names() const {
    QStringList all;
    for (const QFileInfo& file : QDir(kSoundDirectory).entryInfoList({"*.wav"}, QDir::Files, QDir::Name))
        all.push_back(file.completeBaseName().toLower());
    return all;
}

const Recording* SoundPlayer::recording(const QString& lowerName) {
    if (const auto found = recordings_.find(lowerName); found != recordings_.end())
        return found->second ? &*found->second : nullptr;
    // Only names the program carries are kept: the name comes from the network.
    const QResource resource(kSoundDirectory + '/' + lowerName + ".wav");
    if (!resource.isValid()) return nullptr;
    // Stored as they are, the samples are used where they lie in the program
    // rather than copied onto the heap.
    std::optional<Recording> read =
        resource.compressionAlgorithm() == QResource::NoCompression
            ? readWave(QByteArray::fromRawData(reinterpret_cast<const char*>(resource.data()), resource.size()),
                       WaveSamples::Borrowed)
            : readWave(resource.uncompressedData());
    const auto& kept = recordings_.emplace(lowerName, std::move(read)).first->second;
    return kept ? &*kept : nullptr;
}

void SoundPlayer::startLoading() {
    // Asked for once: without the module the program plays no sounds.
    state_ = OutputState::Loading;
    thread_ = new QThread(this);
    thread_->setObjectName("vornel-sounds");
    auto* loader = new QObject;
    loader->moveToThread(thread_);
    connect(thread_, &QThread::finished, loader, &QObject::deleteLater);
    thread_->start();
    QMetaObject::invokeMethod(
        loader,
        [this, leaving = leaving_] {
            if (leaving->load()) return;
            const platform::ModuleFunction entry = findSoundDevice();
            // Back on the player's thread; dropped if the player has gone.
            if (!leaving->load())
                QMetaObject::invokeMethod(
                    this, [this, entry] { moduleLoaded(entry.address, entry.error); }, Qt::QueuedConnection);
        },
        Qt::QueuedConnection);
}

void SoundPlayer::moduleLoaded(void* entry, const QString& error) {
    if (entry == nullptr) {
        qCWarning(lcSoundPlayer) << "sounds are unavailable:" << error;
        state_ = OutputState::Unavailable;
        waiting_.reset();
        return;
    }
    // Made on this thread, which also sets up Qt's audio layer (sound_device.h).
    output_ = reinterpret_cast<decltype(&vornel_make_sound_device)>(entry)();
    if (output_ == nullptr) {
        state_ = OutputState::Unavailable;
        waiting_.reset();
        return;
    }
    QObject* device = output_->object();
    device->moveToThread(thread_);
    connect(thread_, &QThread::finished, device, &QObject::deleteLater);
    // By name: the device's class lives in the module.
    connect(device, SIGNAL(started(QString)), this, SLOT(outputStarted(QString)));
    connect(device, SIGNAL(ended(QString)), this, SLOT(outputEnded(QString)));
    state_ = OutputState::Ready;
    if (waiting_) send(waiting_->first, waiting_->second);
    waiting_.reset();
}

void SoundPlayer::send(const QString& lowerName, const Recording& recording) {
    QMetaObject::invokeMethod(
        output_->object(), [output = output_, lowerName, recording] { output->play(lowerName, recording); },
        Qt::QueuedConnection);
}

void SoundPlayer::outputStarted(const QString& name) { playingName_ = name; }

void SoundPlayer::outputEnded(const QString& name) {
    if (playingName_ == name) playingName_.clear();
}

void SoundPlayer::play(const QString& name) {
    const QString lowerName = name.toLower();
    // The name comes from the network: only a plain name of ours counts.
    if (lowerName.isEmpty() || lowerName.contains('/')) return;
    const Recording* found = recording(lowerName);
    if (found == nullptr) return;
    currentName_ = lowerName;
    switch (state_) {
    case OutputState::Ready:
        send(lowerName, *found);
        return;
    case OutputState::NotAsked:
        startLoading();
        [[fallthrough]];
    case OutputState::Loading:
        // A new sound cuts the one before: only the last asked for waits.
        waiting_.emplace(lowerName, *found);
        return;
    case OutputState::Unavailable:
        return;
    }
}

bool SoundPlayer::isPlaying(const QString& name) const {
    return !playingName_.isEmpty() && playingName_ == name.toLower();
}

}  // namespace vornel::app

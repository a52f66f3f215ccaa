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

// Makes the audio output, from the module where there are modules; null
// (with the reason logged) when it cannot be had.
SoundDevice* makeSoundDevice() {
#ifdef VORNEL_MODULES
    const platform::ModuleFunction entry = platform::moduleFunction("vornel-sound", "vornel_make_sound_device");
    if (entry.address == nullptr) {
        qCWarning(lcSoundPlayer) << "sounds are unavailable:" << entry.error;
        return nullptr;
    }
    return reinterpret_cast<decltype(&vornel_make_sound_device)>(entry.address)();
#else
    return vornel_make_sound_device();
#endif
}
}  // namespace

SoundPlayer::SoundPlayer(QObject* parent) : QObject(parent) { loadSoundResources(); }

SoundPlayer::~SoundPlayer() {
    if (thread_ == nullptr) return;
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

bool SoundPlayer::startOutput() {
    // Asked for once: without the module the program plays no sounds.
    outputTried_ = true;
    output_ = makeSoundDevice();
    if (output_ == nullptr) return false;
    thread_ = new QThread(this);
    thread_->setObjectName("vornel-sounds");
    QObject* device = output_->object();
    device->moveToThread(thread_);
    connect(thread_, &QThread::finished, device, &QObject::deleteLater);
    // By name: the device's class lives in the module.
    connect(device, SIGNAL(started(QString)), this, SLOT(outputStarted(QString)));
    connect(device, SIGNAL(ended(QString)), this, SLOT(outputEnded(QString)));
    thread_->start();
    return true;
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
    if (output_ == nullptr && (outputTried_ || !startOutput())) return;
    QMetaObject::invokeMethod(
        output_->object(),
        [output = output_, lowerName, recording = *found] { output->play(lowerName, recording); },
        Qt::QueuedConnection);
}

bool SoundPlayer::isPlaying(const QString& name) const {
    return !playingName_.isEmpty() && playingName_ == name.toLower();
}

}  // namespace vornel::app

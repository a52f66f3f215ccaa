#include "app/sound_player.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMediaDevices>

#include "app/sound_output.h"

// The resources live in this static library: make sure the linker keeps them.
static void loadSoundResources() { Q_INIT_RESOURCE(sounds); }

namespace vornel::app {

namespace {
const QString kSoundDirectory = QStringLiteral(":/sounds");
// How long closing waits for the audio thread; an audio server that does
// not answer must not keep the program from ending.
constexpr int kCloseWaitMs = 3000;
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

void SoundPlayer::readRecordings() {
    read_ = true;
    for (const QString& name : names()) {
        QFile file(kSoundDirectory + '/' + name + ".wav");
        if (!file.open(QIODevice::ReadOnly)) continue;
        if (std::optional<Recording> recording = readWave(file.readAll()))
            recordings_.emplace(name, std::move(*recording));
    }
}

void SoundPlayer::startOutput() {
    // Qt's audio layer is set up here, so that its objects belong to this
    // thread and not to the output's.
    QMediaDevices::defaultAudioOutput();
    thread_ = new QThread(this);
    thread_->setObjectName("vornel-sounds");
    output_ = new SoundOutput;
    output_->moveToThread(thread_);
    connect(thread_, &QThread::finished, output_, &QObject::deleteLater);
    connect(output_, &SoundOutput::started, this, [this](const QString& name) { playingName_ = name; });
    connect(output_, &SoundOutput::ended, this, [this](const QString& name) {
        if (playingName_ == name) playingName_.clear();
    });
    thread_->start();
}

void SoundPlayer::play(const QString& name) {
    const QString lowerName = name.toLower();
    // The name comes from the network: only a plain name of ours counts.
    if (lowerName.isEmpty() || lowerName.contains('/')) return;
    if (!read_) readRecordings();
    const auto found = recordings_.find(lowerName);
    if (found == recordings_.end()) return;
    currentName_ = lowerName;
    if (output_ == nullptr) startOutput();
    QMetaObject::invokeMethod(
        output_, [output = output_, lowerName, recording = found->second] { output->play(lowerName, recording); },
        Qt::QueuedConnection);
}

bool SoundPlayer::isPlaying(const QString& name) const {
    return !playingName_.isEmpty() && playingName_ == name.toLower();
}

}  // namespace vornel::app

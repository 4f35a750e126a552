#include "QtSound.h"

#include <QAudioDevice>
#include <QFile>
#include <QMediaDevices>
#include <QSoundEffect>
#include <QUrl>
#include <cstring>

namespace trelk {

namespace {

// The RIFF header of a PCM WAV file: enough to tell a sound from anything else before the
// sound effect, which reads the file later and asynchronously, would fail without a word.
bool LooksLikePcmWav(QFile& file, std::string& error) {
    const QByteArray header = file.read(36);
    if (header.size() < 36 || std::memcmp(header.constData(), "RIFF", 4) != 0 ||
        std::memcmp(header.constData() + 8, "WAVE", 4) != 0 ||
        std::memcmp(header.constData() + 12, "fmt ", 4) != 0) {
        error = "not a WAV file";
        return false;
    }
    const auto format = static_cast<unsigned>(static_cast<unsigned char>(header[20])) |
                        (static_cast<unsigned>(static_cast<unsigned char>(header[21])) << 8);
    // 1 PCM, 3 floating point, 0xFFFE the extensible form of either.
    if (format != 1 && format != 3 && format != 0xFFFE) {
        error = "a compressed WAV file, which cannot be played";
        return false;
    }
    return true;
}

} // namespace

class QtSoundClip final : public SoundClip {
public:
    QtSoundClip(QtSound& owner, QString path) : owner_(owner), path_(std::move(path)) {}

    void play() override {
        if (!owner_.canPlay()) {
            return;
        }
        if (!effect_) {
            effect_ = std::make_unique<QSoundEffect>(QMediaDevices::defaultAudioOutput());
            effect_->setSource(QUrl::fromLocalFile(path_));
        } else if (effect_->audioDevice().isNull()) {
            // A device that came after the clip was made.
            effect_->setAudioDevice(QMediaDevices::defaultAudioOutput());
        }
        // While the file still loads the effect remembers the request and plays when ready.
        effect_->stop();
        effect_->play();
    }

private:
    QtSound& owner_;
    QString path_;
    std::unique_ptr<QSoundEffect> effect_;
};

QtSound::QtSound() = default;
QtSound::~QtSound() = default;

std::unique_ptr<SoundClip> QtSound::loadWav(const std::string& path, std::string& error) {
    const QString name = QString::fromLocal8Bit(path.c_str());
    QFile file(name);
    if (!file.open(QIODevice::ReadOnly)) {
        error = "cannot read " + path + ": " + file.errorString().toStdString();
        return nullptr;
    }
    std::string why;
    if (!LooksLikePcmWav(file, why)) {
        error = path + " is " + why;
        return nullptr;
    }
    return std::make_unique<QtSoundClip>(*this, name);
}

void QtSound::setUnavailableHandler(std::function<void(const std::string&)> handler) {
    unavailable_ = std::move(handler);
}

bool QtSound::audioDeviceAvailable() {
    return !QMediaDevices::defaultAudioOutput().isNull();
}

bool QtSound::canPlay() {
    if (audioDeviceAvailable()) {
        return true;
    }
    if (!saidUnavailable_ && unavailable_) {
        saidUnavailable_ = true;
        unavailable_("no audio device");
    }
    return false;
}

} // namespace trelk

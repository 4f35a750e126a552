#pragma once

#include "platform/ports/Sound.h"

#include <functional>
#include <memory>
#include <string>

namespace trelk {

// One of the program's own short sounds (the camera's click on Print Screen), read from its
// file the first time it is heard. A file that cannot be read is said once; the sound then
// stays silent and nothing else changes.
class ProgramSound {
public:
    ProgramSound(Sound& sound, std::string path, std::function<void(const std::string&)> report)
        : sound_(sound), path_(std::move(path)), report_(std::move(report)) {}

    void Play() {
        if (!clip_ && !failed_) {
            std::string error;
            clip_ = sound_.loadWav(path_, error);
            failed_ = !clip_;
            if (failed_ && report_) {
                report_("The sound " + path_ + " cannot be played: " + error);
            }
        }
        if (clip_) {
            clip_->play();
        }
    }

private:
    Sound& sound_;
    std::string path_;
    std::function<void(const std::string&)> report_;
    std::unique_ptr<SoundClip> clip_;
    bool failed_ = false;
};

} // namespace trelk

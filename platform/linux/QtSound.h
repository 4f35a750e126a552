#pragma once

#include "platform/ports/Sound.h"

#include <functional>
#include <memory>
#include <string>

namespace trelk {

// Sounds through Qt Multimedia's sound effect, which plays on the sound server (PulseAudio, or
// PipeWire's PulseAudio service) from a thread of its own. Nothing of Qt Multimedia is loaded
// before the first sound is played, so an idle program that never plays one stays small.
class QtSound final : public Sound {
public:
    QtSound();
    ~QtSound() override;
    QtSound(const QtSound&) = delete;
    QtSound& operator=(const QtSound&) = delete;

    std::unique_ptr<SoundClip> loadWav(const std::string& path, std::string& error) override;
    void setUnavailableHandler(std::function<void(const std::string&)> handler) override;

    // True when the sound server names an output device now.
    static bool audioDeviceAvailable();

private:
    friend class QtSoundClip;
    // A clip asks before it plays; false (said once) where nothing would be heard.
    bool canPlay();

    std::function<void(const std::string&)> unavailable_;
    bool saidUnavailable_ = false;
};

} // namespace trelk

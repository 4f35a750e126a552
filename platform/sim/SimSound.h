#pragma once

#include "platform/ports/Sound.h"

#include <map>
#include <memory>
#include <string>
#include <vector>

namespace trelk {

// Sounds that are "heard" by being recorded: every play names the file its clip was read
// from. A file plays when a test has put it here (addSoundFile); without an audio device the
// plays are silent and the platform says so once, as the real one does.
class SimSound final : public Sound {
public:
    std::unique_ptr<SoundClip> loadWav(const std::string& path, std::string& error) override {
        if (readable_.count(path) == 0) {
            error = "cannot read the sound file " + path;
            return nullptr;
        }
        ++loads_;
        return std::make_unique<Clip>(*this, path);
    }

    void setUnavailableHandler(std::function<void(const std::string&)> handler) override {
        unavailable_ = std::move(handler);
    }

    // The test's side.
    void addSoundFile(const std::string& path) { readable_[path] = true; }
    void removeSoundFile(const std::string& path) { readable_.erase(path); }
    void setAudioDevice(bool present) { device_ = present; }
    // The files of the clips heard, in order.
    const std::vector<std::string>& played() const { return played_; }
    void clearPlayed() { played_.clear(); }
    int loads() const { return loads_; }

private:
    class Clip final : public SoundClip {
    public:
        Clip(SimSound& owner, std::string path) : owner_(owner), path_(std::move(path)) {}
        void play() override { owner_.heard(path_); }

    private:
        SimSound& owner_;
        std::string path_;
    };

    void heard(const std::string& path) {
        if (device_) {
            played_.push_back(path);
            return;
        }
        if (!saidUnavailable_ && unavailable_) {
            saidUnavailable_ = true;
            unavailable_("no audio device");
        }
    }

    std::map<std::string, bool> readable_;
    std::vector<std::string> played_;
    std::function<void(const std::string&)> unavailable_;
    bool device_ = true;
    bool saidUnavailable_ = false;
    int loads_ = 0;
};

} // namespace trelk

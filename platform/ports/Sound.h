#pragma once

#include <functional>
#include <memory>
#include <string>

namespace trelk {

// A sound decoded from a file, ready to be played.
class SoundClip {
public:
    virtual ~SoundClip() = default;
    // Plays the sound once and returns at once; played again while it still sounds, it starts
    // over.
    virtual void play() = 0;
};

// Short sounds (the radar alarm, the camera's click).
class Sound {
public:
    virtual ~Sound() = default;

    // Reads a WAV file. Returns nullptr and says why in error when it cannot be read or is not
    // a sound this platform can play.
    virtual std::unique_ptr<SoundClip> loadWav(const std::string& path, std::string& error) = 0;

    // Where there is no audio device, clips play silently and the platform says so once, the
    // first time one should have been heard, through this handler: "no audio device".
    virtual void setUnavailableHandler(std::function<void(const std::string&)> handler) = 0;
};

} // namespace trelk

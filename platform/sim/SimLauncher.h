#pragma once

#include "platform/ports/Launcher.h"

#include <functional>
#include <string>
#include <vector>

namespace trelk {

class SimLauncher final : public Launcher {
public:
    bool openDocument(const std::string& path) override {
        openedDocuments_.push_back(path);
        return succeeds_;
    }

    bool startProgram(const std::string& path, const std::string& workingFolder) override {
        startedPrograms_.push_back({path, workingFolder});
        if (!succeeds_) {
            lastLaunchError_ = "cannot start " + path;
        } else if (onStart_) {
            onStart_(path);
        }
        return succeeds_;
    }
    std::string lastLaunchError() const override { return lastLaunchError_; }

    struct Started {
        std::string path;
        std::string workingFolder;
    };
    const std::vector<Started>& startedPrograms() const { return startedPrograms_; }
    const std::vector<std::string>& openedDocuments() const { return openedDocuments_; }
    void setSucceeds(bool succeeds) { succeeds_ = succeeds; }
    // What a started program does, e.g. the stand-in game's window appears.
    void setOnStart(std::function<void(const std::string& path)> onStart) {
        onStart_ = std::move(onStart);
    }

private:
    std::vector<std::string> openedDocuments_;
    std::vector<Started> startedPrograms_;
    std::string lastLaunchError_;
    bool succeeds_ = true;
    std::function<void(const std::string&)> onStart_;
};

} // namespace trelk

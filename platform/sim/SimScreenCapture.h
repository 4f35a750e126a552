#pragma once

#include "platform/ports/ScreenCapture.h"

#include <string>
#include <vector>

namespace trelk {

// Records the paths asked for; a test can make the next captures fail.
class SimScreenCapture final : public ScreenCapture {
public:
    bool saveScreenAsJpeg(const std::string& path, std::string& error) override {
        if (!failure_.empty()) {
            error = failure_;
            return false;
        }
        savedPaths_.push_back(path);
        return true;
    }

    const std::vector<std::string>& savedPaths() const { return savedPaths_; }
    void setFailure(std::string message) { failure_ = std::move(message); }
    void clearFailure() { failure_.clear(); }

private:
    std::vector<std::string> savedPaths_;
    std::string failure_;
};

} // namespace trelk

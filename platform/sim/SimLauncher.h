#pragma once

#include "platform/ports/Launcher.h"

#include <string>
#include <vector>

namespace trelk {

class SimLauncher final : public Launcher {
public:
    bool openDocument(const std::string& path) override {
        openedDocuments_.push_back(path);
        return succeeds_;
    }

    const std::vector<std::string>& openedDocuments() const { return openedDocuments_; }
    void setSucceeds(bool succeeds) { succeeds_ = succeeds; }

private:
    std::vector<std::string> openedDocuments_;
    bool succeeds_ = true;
};

} // namespace trelk

#pragma once

#include "platform/ports/DebugOutput.h"

#include <string>
#include <string_view>
#include <vector>

namespace trelk {

class SimDebugOutput final : public DebugOutput {
public:
    void write(std::string_view line) override { lines_.emplace_back(line); }

    const std::vector<std::string>& lines() const { return lines_; }
    void clear() { lines_.clear(); }

private:
    std::vector<std::string> lines_;
};

} // namespace trelk

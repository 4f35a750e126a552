#pragma once

#include <cstdint>
#include <string>

namespace trelk {

// The console's page record: what the page shows besides its lines.
struct TMMFRecord {
    std::int32_t LineCount = 0; // lines added since the last ClearPage
    std::int32_t TopLine = 0;   // index of the first line drawn
    std::string StatusLine;
    std::string TitleLine;
};

} // namespace trelk

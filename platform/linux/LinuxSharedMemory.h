#pragma once

#include "platform/ports/SharedMemory.h"

namespace trelk {

// Named blocks as POSIX shared memory "/<name>" (plus $TRELK_SHM_SUFFIX when set), created
// with mode 0600. A block is mapped for each read or write only, so no view outlives a call.
class LinuxSharedMemory final : public SharedMemory {
public:
    SharedBlockResult createOrOpen(const std::string& name, std::size_t size) override;
    void unlink(const std::string& name) override;

    // The object name a block name stands for ("/TrkHookMMF").
    static std::string ObjectName(const std::string& name);
};

} // namespace trelk

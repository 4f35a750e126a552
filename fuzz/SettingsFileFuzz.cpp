// The settings file as it lies on disk, written by any hand: loaded, every group saved into it
// and loaded again. A save writes only its own keys, so what the first load read must come
// back unchanged from the second.

#include "FuzzInput.h"
#include "core/SettingsStore.h"
#include "platform/sim/SimFileSystem.h"

namespace {

using namespace trelk;

constexpr const char* Ini = "/opt/trelk/trelkpro.ini";

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    SimFileSystem files;
    files.addFile(Ini, std::string(fuzz::Text(data, size)));
    const SettingsStore store(files, Ini, "/opt/trelk/");
    std::string problem;
    const Settings loaded = store.Load(problem);
    fuzz::Expect(problem.empty());
    const SaveResult saved = store.SaveGroups({SettingsGroup::Setup, SettingsGroup::Scanner,
                                               SettingsGroup::KeyMap, SettingsGroup::Console},
                                              loaded);
    fuzz::Expect(saved.ok);
    fuzz::Expect(store.Load() == loaded);
    return 0;
}

// The settings file as it lies on disk, written by any hand: loaded, every group saved into it,
// loaded and saved again. The first save may change what it stores (a line break in a value
// becomes a blank); after it, saving what was loaded changes neither the file nor the values.

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
    const auto saveAll = [&store](const Settings& settings) {
        fuzz::Expect(store
                         .SaveGroups({SettingsGroup::Setup, SettingsGroup::Scanner,
                                      SettingsGroup::KeyMap, SettingsGroup::Console},
                                     settings)
                         .ok);
    };
    saveAll(loaded);
    const Settings stored = store.Load();
    const std::optional<std::string> file = files.file(Ini);
    saveAll(stored);
    fuzz::Expect(files.file(Ini) == file);
    fuzz::Expect(store.Load() == stored);
    return 0;
}

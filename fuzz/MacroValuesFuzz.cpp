// The "Macros" and "Commands" sections of the settings file, written by any hand: the twelve
// macros loaded and listed, one of them replayed into the stand-in game (how the keys of any
// text are typed is the key string harness's part); the command list loaded, walked and saved.
// A saved list loads back as it was saved (the first save of a hand-written list may change it:
// a line break inside an entry is stored as a blank).

#include "FuzzInput.h"
#include "MacroRig.h"
#include "macros/CommandList.h"
#include "macros/MacroLine.h"

namespace {

using namespace trelk;

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // An empty file would leave the rig's settings file missing: an input of its own kind.
    testing::MacroRig rig(std::string(fuzz::Text(data, size)));
    // The key trace is the dispatcher's part; formatting it for every typed key would halve the
    // inputs tried here.
    rig.keys.keys.trace.setEnabled(false);
    rig.table.RefreshMacroList();
    for (int n = 1; n <= MacroTable::Count; ++n) {
        (void)SplitMacroEntry(rig.table.entry(n));
    }
    rig.table.ReplayMacro(static_cast<int>(size % MacroTable::Count) + 1);

    const auto ignore = [](const std::string&) {};
    CommandList commands(
        rig.keys.keys.platform.fileSystem(), rig.folder.file("trelkpro.ini"), ignore, [] {},
        ignore);
    commands.Load();
    const std::vector<std::string> loaded = commands.Entries();
    fuzz::Expect(CommandList::ParseStored(CommandList::ToStored(loaded)) == loaded);
    (void)commands.SteppingList();
    fuzz::Expect(commands.Save());
    commands.Load();
    const std::vector<std::string> saved = commands.Entries();
    fuzz::Expect(saved.size() == loaded.size());
    fuzz::Expect(commands.Save());
    commands.Load();
    fuzz::Expect(commands.Entries() == saved);
    return 0;
}

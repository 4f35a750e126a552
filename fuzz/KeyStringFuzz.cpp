// A key string as a macro stores it: its channel and Return taken apart, made typable as a new
// macro's text is, and typed into the stand-in game on each of the sim keyboard's layouts,
// as a key string (function keys from byte 228 up) and as plain text.

#include "FuzzInput.h"
#include "KeyDispatcherRig.h"
#include "macros/MacroLine.h"

namespace {

using namespace trelk;

constexpr const char* LayoutNames[] = {"us", "de", "us,ru"};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) {
        return 0;
    }
    const std::string keys(fuzz::Text(data + 1, size - 1));
    if (const auto parts = SplitMacroEntry(keys)) {
        fuzz::Expect(BuildMacroEntry(parts->channel, parts->text, parts->addReturn) == keys);
    }
    (void)MacroLine::Parse(keys);
    const TypableText typable = MakeTypable(keys);
    fuzz::Expect(IsTypable(typable.text));

    testing::KeyDispatcherRig rig;
    // The key trace is the dispatcher's part; formatting it for every typed key would take a
    // good share of each input's time.
    rig.keys.trace.setEnabled(false);
    rig.keyboard().setLayout(LayoutNames[data[0] % std::size(LayoutNames)]);
    rig.sender.SendKeyString(keys);
    rig.sender.TypeText(keys);
    // The sixty Backspaces that clear the chat line first are always the same keys.
    rig.sender.SendToChannel(typable.text, false, data[0] % 7);
    return 0;
}

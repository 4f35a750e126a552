// The values add-on programs write into the interface key between two polls: each part of the
// input "<n><value>" (parts separated by NUL) writes one value, n choosing its name, then the
// poll runs over them with the console shown, as the pilot would have it on an add-on page.

#include "FuzzInput.h"
#include "addons/AddOnModules.h"
#include "addons/AddOnText.h"
#include "core/TraceOutput.h"
#include "platform/sim/ManualClock.h"
#include "platform/sim/SimDebugOutput.h"
#include "platform/sim/SimTimerFactory.h"
#include "platform/sim/SimUserStore.h"
#include "support/NullOverlay.h"

#include <QGuiApplication>
#include <QImage>
#include <array>

namespace {

using namespace trelk;

constexpr const char* Interface = "Software\\TrelkPro\\Interface";

const std::array<std::string, 29> Names = {
    "AppReg",       "AppUnReg",      "AppExe",          "ActiveAddon",   "DataReady",
    "Title",        "Line1",         "Line2",           "Line3",         "Line4",
    "Line5",        "Line6",         "Line7",           "Line8",         "Line9",
    "Line10",       "Line11",        "Line12",          "Line13",        "Line14",
    "Line15",       "ListHighLight", "RequestPopUp",    "RequestPopOff", "RequestWide",
    "AddOnRelease", "AddOnRegList",  "TrelkProStartUp", "Line16"};

// The console the pages are drawn on, made once: text is drawn with Qt's fonts (the offscreen
// platform gives them without a display), and a page drawn replaces all the last one showed.
struct Console {
    Console() { page.ShowConsole(); }
    bool offscreen = qputenv("QT_QPA_PLATFORM", "offscreen");
    int argc = 1;
    char name[16] = "fuzz_addon_poll";
    char* argv[2] = {name, nullptr};
    QGuiApplication app{argc, argv};
    SimDebugOutput output;
    TraceOutput trace{output};
    testing::NullOverlay overlay;
    ConsolePage page{overlay, trace, {}};
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static Console console;
    ConsolePage& page = console.page;
    SimUserStore store;
    ManualClock clock;
    SimTimerFactory timers{clock};
    std::string typed;
    AddOnModules addOns{
        store,
        timers,
        page,
        {.addonListShown = [] { return true; },
         .redrawAddonList = [] {},
         .resetMenu = [] {},
         .popupRequest = [] {},
         .popupOff = [] {},
         .showConsole = [] {},
         .hideConsole = [] {},
         .setWideConsole = [](bool) {},
         .sendToChannel = [&typed](const std::string& text, bool, int) { typed = text; },
         .reportDuringPlay = [](const std::string&) {}}};
    // A registered add-on whose page is open, before the fuzzed writes.
    store.setString(Interface, "AppReg", "Miner");
    addOns.tmrAddonTimer();
    store.setString(Interface, "ActiveAddon", "Miner");
    addOns.ActiveAddonWritten("Miner");

    for (const std::string& part : fuzz::Parts(fuzz::Text(data, size))) {
        if (part.empty()) {
            addOns.tmrAddonTimer();
            continue;
        }
        const auto name = static_cast<unsigned char>(part.front()) % Names.size();
        store.setString(Interface, Names[name], part.substr(1));
    }
    addOns.tmrAddonTimer();
    addOns.TypeHighlightedEntry();
    for (const std::string& line : addOns.PageLines()) {
        fuzz::Expect(line.size() <= addontext::MaxLineLength);
    }
    fuzz::Expect(typed.find_first_of("\r\n\b") == std::string::npos);
    (void)addontext::HighlightFromStore(fuzz::Text(data, size));
    (void)addontext::LineFromStore(fuzz::Text(data, size));
    return 0;
}

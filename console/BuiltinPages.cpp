#include "console/BuiltinPages.h"

#include <algorithm>
#include <utility>

namespace trelk {

namespace {

const char* OnOff(bool on) {
    return on ? "ON" : "OFF";
}

const char* TargetName(int code) {
    switch (code) {
    case 0:
        return "FLUX";
    case 1:
        return "ARTIFACT/STRUCTURE";
    case 2:
        return "SOL";
    case 3:
        return "OCT";
    case 4:
        return "QUAN";
    default:
        return "ARTIFACT/STRUCTURE"; // an unknown code scans for objects
    }
}

char NextSpinner(char c) {
    switch (c) {
    case '-':
        return '\\';
    case '/':
        return '-';
    case '|':
        return '/';
    case '\\':
        return '|';
    default:
        return '/';
    }
}

} // namespace

std::string Bracketed(std::string_view name) {
    std::string title;
    title.reserve(name.size() + 2);
    title += '[';
    title += name;
    title += ']';
    return title;
}

std::int32_t& LevelSlot(std::array<std::int32_t, 6>& levelSelection, int level) {
    return levelSelection[static_cast<std::size_t>(std::clamp(level, 0, 5))];
}

BuiltinPages::BuiltinPages(ConsolePage& page, Sources sources)
    : page_(page), sources_(std::move(sources)) {}

void BuiltinPages::ShowModeList(const std::vector<std::string>& modeNames, std::int32_t currentMode,
                                std::int32_t& selection) {
    if (sources_.stopWebView) {
        sources_.stopWebView();
    }
    page_.SetPageTitle("** Select Mode **");
    page_.ClearPage();
    page_.SizeLines(static_cast<std::int64_t>(modeNames.size()));
    for (const std::string& name : modeNames) {
        page_.AddPageLine(name, CodeOrdinary);
    }
    selection = currentMode;
    page_.SelectLine(currentMode);
}

void BuiltinPages::AddonListPage(const std::string& modeName, std::int32_t savedGroup,
                                 std::int32_t& selection) {
    page_.SetPageTitle(Bracketed(modeName));
    page_.ClearPage();
    const std::vector<std::string> names =
        sources_.addonNames ? sources_.addonNames() : std::vector<std::string>{};
    page_.SizeLines(static_cast<std::int64_t>(names.size()));
    for (const std::string& name : names) {
        page_.AddPageLine(name, CodeOrdinary);
    }
    selection = savedGroup;
    page_.SelectLine(savedGroup);
}

void BuiltinPages::LogPage(const std::string& modeName, std::int32_t selection) {
    page_.SetPageTitle(Bracketed(modeName));
    page_.ClearPage();
    const std::deque<std::string>* lines = sources_.logLines ? sources_.logLines() : nullptr;
    const std::size_t n = lines != nullptr ? lines->size() : 0;
    page_.SizeLines(static_cast<std::int64_t>(n));
    if (!(sources_.loggingOn && sources_.loggingOn())) {
        page_.AddPageLine("Logger NOT Enabled", CodeMarked);
        page_.SelectLine(0);
        return;
    }
    if (n < 1) {
        page_.AddPageLine("**** Empty Log ****", CodeMarked);
        page_.SelectLine(0);
        return;
    }
    for (const std::string& line : *lines) {
        page_.AddPageLine(line, CodeOrdinary);
    }
    page_.SelectLine(selection);
}

void BuiltinPages::RadarOptionsPage(const std::string& modeName, int& currentLevel,
                                    std::int32_t selection) {
    page_.SetPageTitle(Bracketed(modeName));
    currentLevel = 1;
    page_.ClearPage();
    page_.SizeLines(4); // five lines and always room for fifteen rows
    const RadarOptions radar = sources_.radar ? sources_.radar() : RadarOptions{};
    page_.AddPageLine(std::string("Radar Scanning: ") + OnOff(radar.Scanning), CodeOrdinary);
    page_.AddPageLine(std::string("Scan For: ") + TargetName(radar.TargetCode), CodeOrdinary);
    if (sources_.tickTarget && radar.TargetCode >= 0 && radar.TargetCode <= 4) {
        sources_.tickTarget(radar.TargetCode);
    }
    page_.AddPageLine(std::string("Target Found Sound: ") + OnOff(radar.PlaySound), CodeOrdinary);
    page_.AddPageLine(std::string("Repeat Alarm Sound: ") + OnOff(radar.RepeatSound), CodeOrdinary);
    page_.AddPageLine(std::string("Target Popup Msg: ") + OnOff(radar.DisplayMessage),
                      CodeOrdinary);
    page_.SelectLine(selection);
}

void BuiltinPages::PageListPage(std::int32_t selection) {
    if (spinnerChar_ == 0) {
        spinnerChar_ = '/';
    }
    const std::vector<std::string> captions =
        sources_.pageCaptions ? sources_.pageCaptions() : std::vector<std::string>{};
    page_.SetPageTitle("** Select page to view **");
    page_.ClearPage();
    page_.SizeLines(static_cast<std::int64_t>(captions.size()));
    if (captions.empty()) {
        page_.AddPageLine("**** Empty List ****", CodeMarked);
        page_.SelectLine(0);
        return;
    }
    const bool busy = sources_.browserBusy && sources_.browserBusy();
    for (std::size_t j = 0; j < captions.size(); ++j) {
        if (busy && static_cast<std::int64_t>(j) == selection) {
            spinnerChar_ = NextSpinner(spinnerChar_);
            page_.AddPageLine(std::string(1, spinnerChar_) + " " + captions[j], CodeOrdinary);
        } else {
            page_.AddPageLine("  " + captions[j], CodeOrdinary);
        }
    }
    page_.SelectLine(selection);
}

} // namespace trelk

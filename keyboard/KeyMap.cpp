#include "KeyMap.h"

#include "platform/ports/VirtualKeys.h"

#include <algorithm>

namespace trelk {

namespace {

constexpr std::size_t MaxKeyNameLength = 31;
constexpr std::uint32_t ExtendedFlag = 1U << 24;

} // namespace

KeyMap::KeyMap(std::array<int, kKeyMapSize>& codes, Keyboard& keyboard, EventLoop& loop,
               const std::atomic<bool>& shuttingDown)
    : codes_(codes), keyboard_(keyboard), loop_(loop), shuttingDown_(shuttingDown) {}

void KeyMap::setCode(std::size_t index, int code) {
    if (index >= kKeyMapSize) {
        return;
    }
    codes_[index] = code < 0 ? Unmapped : code;
    changed();
}

std::string KeyMap::KeyName(int code) {
    if (code < 0) {
        return {};
    }
    const int virtualKey = code & 0xFF;
    switch (virtualKey) {
    case Vk::LButton:
        return "L_Button";
    case Vk::RButton:
        return "R_Button";
    case Vk::MButton:
        return "M_Button";
    case Vk::Pause:
        return "Pause";
    default:
        break;
    }
    std::string name = keyboard_.keyName(virtualKey, (code & ExtendedBit) != 0);
    if (name.size() > MaxKeyNameLength) {
        name.resize(MaxKeyNameLength);
    }
    return name;
}

int KeyMap::FirstPressedKey(int from) {
    const auto state = keyboard_.currentState();
    if (!state) {
        return -1;
    }
    for (int key = std::max(from, 0); key <= 255; ++key) {
        if (((*state)[static_cast<std::size_t>(key)] & 0x80) != 0) {
            return key;
        }
    }
    return -1;
}

void KeyMap::FilterKeyMessage(int virtualKey, std::uint32_t flags) {
    if (!tabActive_) {
        return;
    }
    pauseSeen_ = virtualKey == Vk::Pause;
    extendedKey_ = (flags & ExtendedFlag) != 0;
}

void KeyMap::SetKeyMapTabActive(bool active) {
    tabActive_ = active;
}

void KeyMap::changed() const {
    for (const auto& view : views_) {
        view();
    }
}

bool KeyMap::captureMustEnd() const {
    return shuttingDown_.load() || !tabActive_;
}

int KeyMap::readCapturedKey() {
    if (pauseSeen_) {
        pauseSeen_ = false;
        return Vk::Pause;
    }
    int key = FirstPressedKey(0);
    if (key < 0) {
        return -1;
    }
    if (extendedKey_) {
        key |= ExtendedBit;
    }
    // 255 is "no key" on some keyboards' state: keep waiting.
    return (key & 0xFF) == 0xFF ? -1 : key;
}

int KeyMap::pnlKMDisplayClick(std::size_t index) {
    // The loop below processes messages, so a click on another panel can arrive inside it:
    // one capture at a time.
    if (index >= kKeyMapSize || capturing_ >= 0) {
        return code(index);
    }
    const int previous = codes_[index];
    capturing_ = static_cast<int>(index);
    lblKeyMapping_ = TypeKeyText;
    codes_[index] = Unmapped;
    // A Pause seen before the click is not the key the user is about to press.
    pauseSeen_ = false;
    changed();

    int tag = Unmapped;
    bool abandoned = false;
    while (tag < 0) {
        loop_.processMessagesFor(1);
        // The tab was left or the program closes: nothing is captured, the old key stays.
        if (captureMustEnd()) {
            abandoned = true;
            break;
        }
        tag = readCapturedKey();
    }

    if (abandoned) {
        codes_[index] = previous;
    } else if ((tag & 0xFF) == Vk::Escape) {
        codes_[index] = Unmapped;
    } else {
        codes_[index] = tag;
    }
    lblKeyMapping_ = ClickBelowText;
    capturing_ = -1;
    changed();
    return codes_[index];
}

} // namespace trelk

#pragma once

#include "core/TraceOutput.h"
#include "platform/ports/SharedMemory.h"

#include <array>
#include <cstdint>
#include <functional>
#include <memory>

namespace trelk {

// The program's mirror of the key record bytes 0..11. Only Reserved and ConsoleVisible
// persist between writes; the rest is read from the key map and the debug option each time.
struct TKeyMMFRec {
    std::uint8_t Reserved = 0;
    std::uint8_t ConsoleVisible = 0;
    std::uint8_t KeyDisplay = 0;     // KM1
    std::uint8_t KeyUpLevel = 0;     // KM2
    std::uint8_t KeyDownLevel = 0;   // KM3
    std::uint8_t KeyUpList = 0;      // KM4
    std::uint8_t KeyDownList = 0;    // KM5
    std::uint8_t KeyCmdList = 0;     // KM6
    std::uint8_t KeyMacHot = 0;      // KM7
    std::uint8_t KeyNextLumacor = 0; // KM9 (before KM8)
    std::uint8_t KeyStartScan = 0;   // KM8
    std::uint8_t DebugOutput = 0;

    static constexpr std::size_t Size = 12;
    std::array<std::uint8_t, Size> bytes() const;
};

// The shared key record "trlkeymmf" through which the hook library learns the mapped keys,
// whether the console is shown and whether debug output is on. A block that cannot be had is
// traced only: the program then runs without one and every later write is skipped.
class KeyRecord {
public:
    using KeyMapSource = std::function<std::array<int, 21>()>; // KM1..KM21, -1 = unmapped
    using DebugSource = std::function<bool()>;                 // the debug-output option

    KeyRecord(SharedMemory& memory, TraceOutput& trace, KeyMapSource keyMap, DebugSource debugOn);

    void CreateKeyRecord();
    void WriteKeyRecord();
    void SetConsoleShownFlag(bool shown);
    // Releases the block and removes its name, so the next run starts from a fresh one.
    void CloseKeyRecord();

    bool held() const { return block_ != nullptr; }
    const TKeyMMFRec& record() const { return record_; }

private:
    SharedMemory& memory_;
    TraceOutput& trace_;
    KeyMapSource keyMap_;
    DebugSource debugOn_;
    TKeyMMFRec record_;
    std::unique_ptr<SharedBlock> block_;
};

} // namespace trelk

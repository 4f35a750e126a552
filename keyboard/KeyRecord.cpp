#include "KeyRecord.h"

#include "plugins/trkhook/TrkHookAbi.h"

namespace trelk {

namespace {

std::uint8_t LowByte(int code) {
    return static_cast<std::uint8_t>(code & 0xFF);
}

} // namespace

std::array<std::uint8_t, TKeyMMFRec::Size> TKeyMMFRec::bytes() const {
    return {Reserved,    ConsoleVisible, KeyDisplay, KeyUpLevel,     KeyDownLevel, KeyUpList,
            KeyDownList, KeyCmdList,     KeyMacHot,  KeyNextLumacor, KeyStartScan, DebugOutput};
}

KeyRecord::KeyRecord(SharedMemory& memory, TraceOutput& trace, KeyMapSource keyMap,
                     DebugSource debugOn)
    : memory_(memory), trace_(trace), keyMap_(std::move(keyMap)), debugOn_(std::move(debugOn)) {}

void KeyRecord::CreateKeyRecord() {
    record_.Reserved = 0;
    record_.ConsoleVisible = 0;
    block_.reset();
    SharedBlockResult result =
        memory_.createOrOpen(TRKHOOK_KEY_RECORD_BLOCK, TRKHOOK_KEY_RECORD_SIZE);
    if (!result.block) {
        trace_.Trace("TrelkPro: KeyMMF create failed.");
        if (!result.error.empty()) {
            trace_.Trace("TrelkPro: " + result.error);
        }
        return;
    }
    block_ = std::move(result.block);
    trace_.Trace(result.alreadyExisted ? "TrkHook: KeyMMF was already created."
                                       : "TrelkPro: KeyMMF created.");
    WriteKeyRecord();
}

void KeyRecord::WriteKeyRecord() {
    if (!block_) {
        return;
    }
    const std::array<int, 21> keys = keyMap_ ? keyMap_() : std::array<int, 21>{};
    record_.KeyDisplay = LowByte(keys[0]);
    record_.KeyUpLevel = LowByte(keys[1]);
    record_.KeyDownLevel = LowByte(keys[2]);
    record_.KeyUpList = LowByte(keys[3]);
    record_.KeyDownList = LowByte(keys[4]);
    record_.KeyCmdList = LowByte(keys[5]);
    record_.KeyMacHot = LowByte(keys[6]);
    record_.KeyNextLumacor = LowByte(keys[8]);
    record_.KeyStartScan = LowByte(keys[7]);
    record_.DebugOutput = debugOn_ && debugOn_() ? 1 : 0;
    const auto bytes = record_.bytes();
    if (!block_->write(0, bytes.data(), bytes.size())) {
        trace_.Trace("TrelkPro: KeyMMF write failed.");
    }
}

void KeyRecord::SetConsoleShownFlag(bool shown) {
    record_.ConsoleVisible = shown ? 1 : 0;
    WriteKeyRecord();
}

void KeyRecord::CloseKeyRecord() {
    if (block_) {
        block_.reset();
        memory_.unlink(TRKHOOK_KEY_RECORD_BLOCK);
    }
}

} // namespace trelk

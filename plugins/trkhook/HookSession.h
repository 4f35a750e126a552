#pragma once

#include "GameFocus.h"
#include "HookBlocks.h"
#include "platform/linux/X11KeyTable.h"
#include "plugins/trkhook/TrkHookAbi.h"

#include <array>
#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <thread>

struct _XDisplay;
struct _XkbDesc;

namespace trkhook {

// One HookOn..HookOff period: records the X server's key events (RECORD extension) on a
// thread of its own and turns each into the hook message for the program's window.
//
// Connections: control (this thread: create, disable and free the recording), data (the
// recording thread, blocked in XRecordEnableContext), keys (the recording thread: the XKB
// layout, so letters get the virtual key the layout gives them) and the XCB connection of
// GameFocus (the recording thread: focus check and delivery).
//
// When the X server goes away (log-out) none of them ends the process: the recording returns,
// its thread ends, and the program's own shutdown decides what happens next.
class HookSession {
public:
    HookSession() = default;
    ~HookSession();
    HookSession(const HookSession&) = delete;
    HookSession& operator=(const HookSession&) = delete;

    // False (and a line on stderr) when there is no display or no RECORD extension.
    bool start();
    // Returns once the recording thread has ended: no message is sent after it.
    void stop();

    // Called by the recording callback for each key event, in server order.
    void keyEvent(int keycode, bool released);
    // Called when the recording runs (first callback) and when it has ended.
    void recordingState(bool running);

private:
    void run();
    void refreshLayout(bool force);
    bool onlyFollowsState(std::uint8_t virtualKey);
    void releaseModifiersLetGoOutside(std::uint32_t window, std::size_t current, bool altDown);
    bool debugOn();
    void debugLine(const char* text);

    _XDisplay* control_ = nullptr;
    _XDisplay* data_ = nullptr;
    _XDisplay* keys_ = nullptr;
    unsigned long context_ = 0;
    std::thread thread_;
    std::mutex stateMutex_;
    std::condition_variable stateChanged_;
    bool recording_ = false;
    bool recordingEnded_ = false;
    std::atomic<bool> serverLost_{false};

    std::unique_ptr<GameFocus> focus_;
    BlockView windowBlock_{TRKHOOK_WINDOW_BLOCK, TRKHOOK_WINDOW_BLOCK_SIZE};
    BlockView keyRecord_{TRKHOOK_KEY_RECORD_BLOCK, TRKHOOK_KEY_RECORD_SIZE};

    bool stderrIsTerminal_ = false;
    int xkbEventBase_ = -1;
    trelk::x11keys::KeycodeTable table_{};
    std::array<bool, 256> down_{};
    // Per keycode: the virtual key of a press the program was told of and not yet of its
    // release; 0 for none.
    std::array<std::uint8_t, 256> deliveredKey_{};
    // Whether the game had the focus at the latest key event.
    bool lastEventInGame_ = true;
};

} // namespace trkhook

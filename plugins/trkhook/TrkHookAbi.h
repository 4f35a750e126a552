#pragma once

// What the program and the hook library agree on. Both sides include this header; nothing in
// it may change without changing both.

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

// Exports, called without arguments; results unused.
typedef void (*TrkHookOnFunction)(void);
typedef void (*TrkHookOffFunction)(void);
#define TRKHOOK_EXPORT_ON "HookOn"
#define TRKHOOK_EXPORT_OFF "HookOff"

// The library file in the application folder.
#define TRKHOOK_LIBRARY_NAME "TrkHook.so"

// Named shared blocks (POSIX shared memory "/<name>", mode 0600).
#define TRKHOOK_WINDOW_BLOCK "TrkHookMMF" /* 4 bytes: the window to notify, little-endian */
#define TRKHOOK_WINDOW_BLOCK_SIZE 4
#define TRKHOOK_KEY_RECORD_BLOCK "trlkeymmf" /* 200 bytes: the key record */
#define TRKHOOK_KEY_RECORD_SIZE 200
// When this environment variable is set, its value is appended to every block name on both
// sides, so concurrent test runs on one machine never share blocks.
#define TRKHOOK_BLOCK_SUFFIX_ENV "TRELK_SHM_SUFFIX"

// The notification: an X11 ClientMessage of this type, format 32, sent to the window whose id
// stands in the window block, with data.l[0] = the message number, data.l[1] = the virtual
// key (1..254), data.l[2] = the keystroke flags (bits 0..15 repeat count, 16..23 scan code,
// 24 extended, 29 Alt, 30 previous state, 31 released).
#define TRKHOOK_MESSAGE_ATOM "TRELK_HOOK_MESSAGE"
#define TRKHOOK_MESSAGE 0x1400u

// The window whose focus lets key events through: the game's.
#define TRKHOOK_GAME_WINDOW_TITLE "Voidline"

#ifdef __cplusplus
}
#endif

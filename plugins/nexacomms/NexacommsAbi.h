#pragma once

// What the program and the overlay library nexacomms.so agree on. Both sides include this
// header; nothing in it may change without changing both.
//
// Every argument is one 32-bit slot: Booleans are 0 or 1, "byte" arguments lie in 0..255 (the
// library clamps anything else). The program never uses a result.
//
// Units and behaviour of our library (plugins/nexacomms):
// - Position: x and y are 255ths of the room the picture leaves on the screen (the screen's
//   width or height less the picture's): 0 puts it against the left (top) edge, 255 against
//   the right (bottom) edge, each value between has its own place; a picture larger than the
//   screen sits at the left (top) edge. "The screen" is the monitor that shows most of the
//   game's window (the top-level window titled NEXACOMMS_GAME_TITLE) where RandR lists
//   several monitors; with one, or no game window, it is the whole X screen. It is looked at
//   again whenever the console changes, so the console follows the game to another monitor.
// - Opacity: 255 is opaque; it becomes the window's _NET_WM_WINDOW_OPACITY (seen only where a
//   compositor runs). The colour arguments after it are accepted and unused.
// - Opening speed: the console fades in over speed x 4 ms (0: at once, 255: about 1 s).
// - Transparent colour: pixels of exactly 0x010101 are left out of the window's shape.
// - Docked state: the CARDINAL property VOIDLINE_DOCKED on the root window, published by the
//   game; 1 is docked, anything else or no property is in flight.
// - NEXACOMMS_RECORD=DIR: every call appends one line to DIR/calls.log (the function's name,
//   then its arguments separated by blanks; a picture as its width and height, a text last and
//   as given with control characters as '?', the docked answer as 0 or 1), and every picture
//   handed over is saved as DIR/console.png before its line is written.
// Without an X display every call still records and otherwise does nothing.

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

// The picture handed to NexaCSetNewBitmap: width x height pixels, rows top to bottom, each
// pixel 0x00RRGGBB (the high byte is ignored, so a QImage of Format_RGB32 can be handed as it
// is). stride is the distance in bytes from one row to the next (at least 4 * width). The
// program keeps owning the pixels; the library copies them before the call returns.
typedef struct NexacommsBitmap {
    uint32_t width;
    uint32_t height;
    uint32_t stride;
    const uint32_t* pixels;
} NexacommsBitmap;

// Pictures larger than this in either direction are refused.
#define NEXACOMMS_MAX_PICTURE_SIDE 4096u
// The pixel value left out of the shown console.
#define NEXACOMMS_TRANSPARENT_PIXEL 0x010101u

// The library file in the application folder.
#define NEXACOMMS_LIBRARY_NAME "nexacomms.so"
// The title of the game's window, whose monitor the console is shown on.
#define NEXACOMMS_GAME_TITLE "Voidline"
// The root-window property that says whether the ship is docked.
#define NEXACOMMS_DOCKED_ATOM "VOIDLINE_DOCKED"
// The folder that receives calls.log and console.png.
#define NEXACOMMS_RECORD_ENV "NEXACOMMS_RECORD"

// The nineteen exports, in the order the program binds them. "Get" functions answer with a
// value the program does not use; the ones returning int32_t answer 1 when the call was
// taken.
typedef void (*NexaCSetShowTimeStringFunction)(int32_t show);
typedef int32_t (*NexaCGetShowTimeStringFunction)(void);
typedef int32_t (*NexaCGetStatusFunction)(void);
typedef int32_t (*NexaCSetNewBitmapFunction)(const NexacommsBitmap* bitmap);
typedef int32_t (*NexaCSetConsolePositionFunction)(int32_t x, int32_t y);
typedef int32_t (*NexaCSetColorValueFunction)(int32_t opacity, int32_t red, int32_t green,
                                              int32_t blue);
typedef int32_t (*NexaCShowConsoleFunction)(int32_t show);
typedef void (*NexaCSetTrelkVersionFunction)(const char* text);
typedef const char* (*NexaCGetNexaCommsVersionFunction)(void);
typedef const char* (*NexaCGetNexaVersionFunction)(void);
typedef void (*NexaCSetPopupSpeedFunction)(int32_t speed);
typedef void (*NexaCSetScanModeFunction)(int32_t indicator);
typedef void (*NexaCSetAntiAliasingFailsafeModeFunction)(int32_t on);
typedef void (*NexaCSetHeadlightModeFunction)(int32_t on);
// Stores 1 in *docked when the ship is docked, else 0.
typedef void (*NexaCGetOnStationModeFunction)(uint8_t* docked);
typedef void (*NexaCSetConsoleModeFunction)(int32_t mode);
typedef int32_t (*NexaCGetConsoleModeFunction)(void);
typedef void (*NexaCChannelF5ActiveFunction)(void);
typedef void (*NexaCSetDebugModeFunction)(int32_t on);

#ifdef __cplusplus
}
#endif

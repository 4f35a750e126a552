#pragma once

// What TrelkPro and its page helper (trelk-webview, the off-screen browser) say to each other
// over the helper's standard input and output. One command or reply per line; a picture reply
// is its line followed by width x height 32-bit pixels (0xAARRGGBB, row by row). Replies come in
// the order of the commands; "complete" arrives by itself whenever a page has loaded; a navigate
// replaced by a later one before it completed gets none.
//
//   to the helper             from the helper
//   navigate N URL            complete N 1 | complete N 0  (page N loaded, or failed)
//   scroll DX DY              scrolled                  (once the view shows the new place)
//   width                     width N                   (the document body's scroll width)
//   size W H                  (none)                    (the browser control's size)
//   draw                      picture W H + pixels      (picture 0 0: nothing to draw)
//
// The helper ends when its input ends.
namespace trelk::webview {

inline constexpr const char* HelperName = "trelk-webview";
// More than any view the program sizes; a reply announcing more is broken.
inline constexpr int MaxPictureSide = 4096;

} // namespace trelk::webview

#pragma once

namespace trelk {

// Where the game draws its radar: a rectangle of the screen in pixels, from (Left, Top) to
// (Left + Width, Top + Height), the right and bottom edges outside.
struct CaptureRectangle {
    int Left = 0;
    int Top = 0;
    int Width = 0;
    int Height = 0;

    bool operator==(const CaptureRectangle&) const = default;
};

// The radar's rectangle on a screen of screenWidth x screenHeight pixels: 150 x 75 on a
// 1024 x 768 screen, scaled with the screen, centred horizontally and moved down by the
// offsets, which count in pixels of a 640 x 480 screen. Each of width, height, left and top is
// rounded to the nearest integer, halves to the even one, once it has been computed from the
// unrounded values before it (left and top from the rounded width and height).
CaptureRectangle RadarCaptureRectangle(int screenWidth, int screenHeight, double offsetX,
                                       double offsetY);

} // namespace trelk

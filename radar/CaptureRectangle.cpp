#include "radar/CaptureRectangle.h"

#include <cmath>

namespace trelk {

namespace {

// Nearest integer, halves to the even one, whatever rounding mode the process runs in.
int RoundHalfEven(double value) {
    const double lower = std::floor(value);
    const double fraction = value - lower;
    double result = lower;
    if (fraction > 0.5 || (fraction == 0.5 && std::fmod(lower, 2.0) != 0.0)) {
        result = lower + 1.0;
    }
    return static_cast<int>(result);
}

} // namespace

CaptureRectangle RadarCaptureRectangle(int screenWidth, int screenHeight, double offsetX,
                                       double offsetY) {
    const double w = screenWidth;
    const double h = screenHeight;
    CaptureRectangle rectangle;
    rectangle.Width = RoundHalfEven(w / 1024.0 * 150.0);
    rectangle.Height = RoundHalfEven(h / 768.0 * 75.0);
    rectangle.Left = RoundHalfEven(w / 2.0 - rectangle.Width / 2.0 + w / 640.0 * offsetX);
    rectangle.Top = RoundHalfEven(h / 2.0 - rectangle.Height / 2.0 + h / 480.0 * offsetY);
    return rectangle;
}

} // namespace trelk

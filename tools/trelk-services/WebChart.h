#pragma once

#include <string>

namespace trelk::services {

// The colour of block (column, row) of the chart page: every block of 64 x 50 pixels has its
// own, so a picture of the page shows which part of it is in view.
struct ChartColour {
    int red;
    int green;
    int blue;
};
inline constexpr int ChartBlockWidth = 64;
inline constexpr int ChartBlockHeight = 50;
inline constexpr int ChartColumns = 20; // 1280 pixels wide
inline constexpr int ChartRows = 40;    // 2000 pixels high
ChartColour ChartBlockColour(int column, int row);
std::string ChartPage();

} // namespace trelk::services

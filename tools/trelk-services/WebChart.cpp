#include "WebChart.h"

namespace trelk::services {

namespace {

std::string Hex(int value) {
    static constexpr char Digits[] = "0123456789abcdef";
    return {Digits[(value >> 4) & 15], Digits[value & 15]};
}

} // namespace

ChartColour ChartBlockColour(int column, int row) {
    return {(column * 12 + 16) % 256, (row * 6 + 8) % 256, ((column + row) % 2) * 128 + 64};
}

std::string ChartPage() {
    std::string page = "<!DOCTYPE html><html><head><title>Block chart</title></head>"
                       "<body style=\"margin:0;width:" +
                       std::to_string(ChartColumns * ChartBlockWidth) +
                       "px;height:" + std::to_string(ChartRows * ChartBlockHeight) +
                       "px;position:relative;background:#000\">";
    for (int row = 0; row < ChartRows; ++row) {
        for (int column = 0; column < ChartColumns; ++column) {
            const ChartColour colour = ChartBlockColour(column, row);
            page +=
                "<div style=\"position:absolute;left:" + std::to_string(column * ChartBlockWidth) +
                "px;top:" + std::to_string(row * ChartBlockHeight) +
                "px;width:" + std::to_string(ChartBlockWidth) +
                "px;height:" + std::to_string(ChartBlockHeight) + "px;background:#" +
                Hex(colour.red) + Hex(colour.green) + Hex(colour.blue) + "\"></div>";
        }
    }
    return page + "</body></html>";
}

} // namespace trelk::services

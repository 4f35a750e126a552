#include "ChatChannels.h"

#include <array>

namespace voidline {

namespace {

const std::array<ChatChannel, ChannelCount> Channels = {{
    {1, "Local", QColor(0xd6, 0xe2, 0xf2)},
    {2, "Squad", QColor(0x5f, 0xe0, 0x8a)},
    {3, "Trade", QColor(0xf4, 0xc1, 0x52)},
    {4, "Help", QColor(0x59, 0xc9, 0xf5)},
    {5, "Faction", QColor(0xc7, 0x92, 0xff)},
}};

// Windows-1252 bytes 0x80..0x9F; 0 where the code page has no character.
constexpr std::array<char16_t, 32> HighControls = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

int ByteOf(QChar c) {
    const char16_t code = c.unicode();
    if (code < 0x80 || (code >= 0xA0 && code <= 0xFF)) {
        return code;
    }
    for (std::size_t i = 0; i < HighControls.size(); ++i) {
        if (HighControls[i] != 0 && HighControls[i] == code) {
            return static_cast<int>(0x80 + i);
        }
    }
    return -1;
}

} // namespace

const ChatChannel& Channel(int number) {
    if (number < 1 || number > ChannelCount) {
        number = 1;
    }
    return Channels[static_cast<std::size_t>(number - 1)];
}

bool IsWindows1252(QChar c) {
    return ByteOf(c) >= 0;
}

QByteArray ToWindows1252(const QString& text) {
    QByteArray bytes;
    bytes.reserve(text.size());
    for (const QChar c : text) {
        const int byte = ByteOf(c);
        bytes.append(static_cast<char>(byte >= 0 ? byte : '?'));
    }
    return bytes;
}

} // namespace voidline

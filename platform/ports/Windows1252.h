#pragma once

#include <cstdint>

// The program's text is single-byte Windows-1252: the stored files, the key strings and every
// text the console draws. Bytes below 0x80 and from 0xA0 on are the Unicode code points of the
// same value; 0x80..0x9F hold the euro sign, curly quotes, dashes and a few letters.
namespace trelk::cp1252 {

// Unicode for 0x80..0x9F; 0 where the code page assigns no character (0x81, 0x8D, 0x8F, 0x90,
// 0x9D).
inline constexpr std::uint16_t HighControls[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

// The character a byte stands for; 0 for the five unassigned bytes.
constexpr std::uint32_t ToUnicode(unsigned char byte) {
    if (byte >= 0x80 && byte < 0xA0) {
        return HighControls[byte - 0x80];
    }
    return byte;
}

// The byte for a character; -1 when the code page has none.
constexpr int FromUnicode(std::uint32_t unicode) {
    if (unicode < 0x80 || (unicode >= 0xA0 && unicode <= 0xFF)) {
        return static_cast<int>(unicode);
    }
    for (int i = 0; i < 32; ++i) {
        if (HighControls[i] != 0 && HighControls[i] == unicode) {
            return 0x80 + i;
        }
    }
    return -1;
}

} // namespace trelk::cp1252

#include "PngWriter.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <string_view>

namespace nexacomms {

namespace {

const std::array<std::uint32_t, 256>& CrcTable() {
    static const std::array<std::uint32_t, 256> table = [] {
        std::array<std::uint32_t, 256> entries{};
        for (std::uint32_t n = 0; n < 256; ++n) {
            std::uint32_t c = n;
            for (int k = 0; k < 8; ++k) {
                c = (c & 1u) != 0 ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            }
            entries[n] = c;
        }
        return entries;
    }();
    return table;
}

std::uint32_t Crc(std::string_view bytes, std::uint32_t crc = 0xFFFFFFFFu) {
    const auto& table = CrcTable();
    for (const char byte : bytes) {
        crc = table[(crc ^ static_cast<unsigned char>(byte)) & 0xFFu] ^ (crc >> 8);
    }
    return crc;
}

void Put32(std::string& out, std::uint32_t value) {
    out.push_back(static_cast<char>(value >> 24));
    out.push_back(static_cast<char>(value >> 16));
    out.push_back(static_cast<char>(value >> 8));
    out.push_back(static_cast<char>(value));
}

void Chunk(std::string& out, const char* type, std::string_view data) {
    Put32(out, static_cast<std::uint32_t>(data.size()));
    std::string typed(type);
    typed.append(data);
    out.append(typed);
    Put32(out, Crc(typed) ^ 0xFFFFFFFFu);
}

// A zlib stream of stored (uncompressed) blocks.
std::string StoredZlib(std::string_view raw) {
    std::string out = {'\x78', '\x01'};
    std::size_t offset = 0;
    do {
        const std::size_t length = std::min<std::size_t>(raw.size() - offset, 65535);
        const bool last = offset + length == raw.size();
        out.push_back(last ? '\x01' : '\x00');
        const auto len = static_cast<std::uint16_t>(length);
        const auto nlen = static_cast<std::uint16_t>(~len);
        out.push_back(static_cast<char>(len & 0xFFu));
        out.push_back(static_cast<char>(len >> 8));
        out.push_back(static_cast<char>(nlen & 0xFFu));
        out.push_back(static_cast<char>(nlen >> 8));
        out.append(raw.substr(offset, length));
        offset += length;
    } while (offset < raw.size());
    std::uint32_t a = 1;
    std::uint32_t b = 0;
    for (const char byte : raw) {
        a = (a + static_cast<unsigned char>(byte)) % 65521u;
        b = (b + a) % 65521u;
    }
    Put32(out, (b << 16) | a);
    return out;
}

} // namespace

bool WritePng(const Picture& picture, const std::string& path) {
    if (picture.width == 0 || picture.height == 0) {
        return false;
    }
    std::string raw;
    raw.reserve((std::size_t{picture.width} * 3 + 1) * picture.height);
    for (std::uint32_t y = 0; y < picture.height; ++y) {
        raw.push_back('\0'); // filter: none
        for (std::uint32_t x = 0; x < picture.width; ++x) {
            const std::uint32_t pixel = picture.pixels[std::size_t{y} * picture.width + x];
            raw.push_back(static_cast<char>((pixel >> 16) & 0xFFu));
            raw.push_back(static_cast<char>((pixel >> 8) & 0xFFu));
            raw.push_back(static_cast<char>(pixel & 0xFFu));
        }
    }
    std::string png = "\x89PNG\r\n\x1a\n";
    std::string header;
    Put32(header, picture.width);
    Put32(header, picture.height);
    header.append({'\x08', '\x02', '\x00', '\x00', '\x00'}); // 8 bits, RGB
    Chunk(png, "IHDR", header);
    Chunk(png, "IDAT", StoredZlib(raw));
    Chunk(png, "IEND", {});

    const std::string temporary = path + ".tmp";
    std::FILE* file = std::fopen(temporary.c_str(), "wb");
    if (file == nullptr) {
        return false;
    }
    const bool written = std::fwrite(png.data(), 1, png.size(), file) == png.size();
    const bool closed = std::fclose(file) == 0;
    if (!written || !closed || std::rename(temporary.c_str(), path.c_str()) != 0) {
        std::remove(temporary.c_str());
        return false;
    }
    return true;
}

} // namespace nexacomms

// make-vorel FILE: draws the default console background, a 256 x 256 picture with 256
// colours: a dark panel with rounded corners over a starfield, a faint nebula and a planet on
// the right, a frame and a rule under the title. Columns 96..127 hold only sky and stars, so
// the wide console, which repeats that strip, shows no seams. Deterministic: the same bytes on
// every build.

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <vector>

namespace {

constexpr int kSize = 256;

struct Rgb {
    double r = 0, g = 0, b = 0;
};

Rgb Mix(Rgb a, Rgb b, double t) {
    return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t};
}

double SmoothStep(double edge0, double edge1, double x) {
    const double t = std::clamp((x - edge0) / (edge1 - edge0), 0.0, 1.0);
    return t * t * (3 - 2 * t);
}

// Index 0 is the console's transparent colour (1,1,1); the rest are ramps for the scene.
std::array<std::array<std::uint8_t, 3>, 256> MakePalette() {
    std::array<std::array<std::uint8_t, 3>, 256> palette{};
    const auto ramp = [&](int first, int count, Rgb from, Rgb to) {
        for (int i = 0; i < count; ++i) {
            const Rgb c = Mix(from, to, count > 1 ? double(i) / (count - 1) : 0.0);
            palette[static_cast<std::size_t>(first + i)] = {
                static_cast<std::uint8_t>(std::lround(c.r)),
                static_cast<std::uint8_t>(std::lround(c.g)),
                static_cast<std::uint8_t>(std::lround(c.b))};
        }
    };
    palette[0] = {1, 1, 1};
    ramp(1, 64, {3, 4, 12}, {22, 30, 64});        // deep space
    ramp(65, 48, {20, 16, 48}, {96, 52, 120});    // violet nebula
    ramp(113, 32, {12, 40, 56}, {40, 120, 140});  // teal nebula
    ramp(145, 48, {20, 10, 6}, {150, 84, 42});    // planet
    ramp(193, 32, {50, 56, 70}, {255, 255, 255}); // stars
    ramp(225, 24, {16, 50, 72}, {110, 210, 250}); // frame and atmosphere
    ramp(249, 7, {70, 60, 50}, {190, 170, 140});  // ring
    return palette;
}

std::uint8_t Nearest(const std::array<std::array<std::uint8_t, 3>, 256>& palette, Rgb c) {
    int best = 1;
    double bestDistance = 1e30;
    for (int i = 1; i < 256; ++i) { // never the transparent colour
        const auto& p = palette[static_cast<std::size_t>(i)];
        const double dr = c.r - p[0];
        const double dg = c.g - p[1];
        const double db = c.b - p[2];
        const double d = 2 * dr * dr + 4 * dg * dg + 3 * db * db;
        if (d < bestDistance) {
            bestDistance = d;
            best = i;
        }
    }
    return static_cast<std::uint8_t>(best);
}

// A small fixed generator, so the stars never move between builds.
struct Lcg {
    std::uint32_t state = 0x5EED1234u;
    double Next() {
        state = state * 1664525u + 1013904223u;
        return double(state >> 8) / double(1u << 24);
    }
};

bool InsidePanel(int x, int y) {
    constexpr double radius = 12;
    const double cx = std::clamp(double(x) + 0.5, radius, kSize - radius);
    const double cy = std::clamp(double(y) + 0.5, radius, kSize - radius);
    return std::hypot(x + 0.5 - cx, y + 0.5 - cy) <= radius;
}

double PanelEdgeDistance(int x, int y) {
    constexpr double radius = 12;
    const double cx = std::clamp(double(x) + 0.5, radius, kSize - radius);
    const double cy = std::clamp(double(y) + 0.5, radius, kSize - radius);
    const double corner = radius - std::hypot(x + 0.5 - cx, y + 0.5 - cy);
    const double straight = std::min({x + 0.5, y + 0.5, kSize - x - 0.5, kSize - y - 0.5});
    return (cx == x + 0.5 && cy == y + 0.5) ? straight : std::min(corner, straight);
}

std::vector<Rgb> DrawScene() {
    std::vector<Rgb> image(kSize * kSize);
    const auto at = [&](int x, int y) -> Rgb& {
        return image[std::size_t(y) * kSize + std::size_t(x)];
    };

    for (int y = 0; y < kSize; ++y) {
        const Rgb top{4, 5, 14};
        const Rgb bottom{12, 16, 38};
        for (int x = 0; x < kSize; ++x) {
            Rgb c = Mix(top, bottom, y / 255.0);
            // The nebula only right of the repeated strip.
            const double reach = SmoothStep(140, 190, x);
            const double violet =
                std::exp(-(std::pow(x - 200.0, 2) + std::pow(y - 70.0, 2)) / 1800);
            const double teal = std::exp(-(std::pow(x - 175.0, 2) + std::pow(y - 130.0, 2)) / 1200);
            c = Mix(c, {70, 40, 100}, 0.55 * reach * violet);
            c = Mix(c, {30, 95, 115}, 0.45 * reach * teal);
            at(x, y) = c;
        }
    }

    Lcg random;
    for (int i = 0; i < 190; ++i) {
        const int x = static_cast<int>(random.Next() * kSize);
        const int y = static_cast<int>(random.Next() * kSize);
        const double brightness = 0.25 + 0.75 * std::pow(random.Next(), 2.5);
        const Rgb star{90 + 165 * brightness, 95 + 160 * brightness, 110 + 145 * brightness};
        at(x, y) = Mix(at(x, y), star, brightness);
        if (brightness > 0.8 && x > 1 && y > 1 && x < kSize - 2 && y < kSize - 2) {
            for (const auto& [dx, dy] : {std::pair{1, 0}, {-1, 0}, {0, 1}, {0, -1}}) {
                at(x + dx, y + dy) = Mix(at(x + dx, y + dy), star, 0.35);
            }
        }
    }

    // The planet, lit from the upper left, with a thin ring and a glowing rim.
    constexpr double px = 236, py = 232, pr = 64;
    for (int y = 0; y < kSize; ++y) {
        for (int x = 0; x < kSize; ++x) {
            const double dx = x + 0.5 - px;
            const double dy = y + 0.5 - py;
            const double d = std::hypot(dx, dy);
            // The ring: an ellipse tilted with the planet, hidden where the planet is in front.
            const double rx = dx * 0.94 + dy * 0.34;
            const double ry = -dx * 0.34 + dy * 0.94;
            const double ring = std::hypot(rx / 1.7, ry * 1.1);
            const bool ringBand = ring > 50 && ring < 56;
            const bool ringInFront = ry > 0;
            if (d < pr) {
                const double nz = std::sqrt(1 - (d / pr) * (d / pr));
                const double light =
                    std::clamp((-dx * 0.6 - dy * 0.55 + nz * pr * 0.58) / pr, 0.0, 1.0);
                const double bands = 0.85 + 0.15 * std::sin(dy * 0.35 + std::sin(dx * 0.05) * 2);
                Rgb c = Mix({14, 8, 6}, {140, 78, 40}, light * bands);
                if (d > pr - 3) {
                    c = Mix(c, {60, 150, 190}, 0.5 * (d - (pr - 3)) / 3);
                }
                at(x, y) = (ringBand && ringInFront) ? Mix(c, {170, 150, 120}, 0.7) : c;
            } else if (ringBand) {
                at(x, y) = Mix(at(x, y), {150, 135, 110}, 0.6);
            } else if (d < pr + 4) {
                at(x, y) = Mix(at(x, y), {40, 120, 160}, 0.35 * (pr + 4 - d) / 4);
            }
        }
    }

    // The frame, and the rule between the title and the page's rows.
    for (int y = 0; y < kSize; ++y) {
        for (int x = 0; x < kSize; ++x) {
            const double edge = PanelEdgeDistance(x, y);
            if (edge < 2.2) {
                at(x, y) =
                    Mix({40, 120, 170}, {100, 200, 240}, std::clamp(1.2 - edge / 2, 0.0, 1.0));
            } else if (edge < 4.5) {
                at(x, y) = Mix(at(x, y), {30, 80, 110}, 0.3);
            }
        }
    }
    for (int x = 6; x < kSize - 6; ++x) {
        at(x, 33) = Mix(at(x, 33), {60, 160, 210}, 0.8);
        at(x, 34) = Mix(at(x, 34), {30, 80, 110}, 0.5);
    }
    return image;
}

void Put16(std::vector<std::uint8_t>& out, std::uint32_t value) {
    out.push_back(static_cast<std::uint8_t>(value & 0xFF));
    out.push_back(static_cast<std::uint8_t>((value >> 8) & 0xFF));
}

void Put32(std::vector<std::uint8_t>& out, std::uint32_t value) {
    Put16(out, value & 0xFFFF);
    Put16(out, value >> 16);
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make-vorel FILE\n");
        return 2;
    }
    const auto palette = MakePalette();
    const std::vector<Rgb> scene = DrawScene();

    constexpr std::uint32_t headers = 14 + 40 + 256 * 4;
    constexpr std::uint32_t pixels = kSize * kSize; // rows of 256 bytes need no padding
    std::vector<std::uint8_t> out;
    out.reserve(headers + pixels);
    out.push_back('B');
    out.push_back('M');
    Put32(out, headers + pixels);
    Put32(out, 0);
    Put32(out, headers);
    Put32(out, 40);
    Put32(out, kSize);
    Put32(out, kSize); // positive height: rows bottom-up
    Put16(out, 1);
    Put16(out, 8);
    Put32(out, 0); // uncompressed
    Put32(out, pixels);
    Put32(out, 3780); // 96 dots per inch
    Put32(out, 3780);
    Put32(out, 256);
    Put32(out, 0);
    for (const auto& c : palette) {
        out.push_back(c[2]);
        out.push_back(c[1]);
        out.push_back(c[0]);
        out.push_back(0);
    }
    for (int y = kSize - 1; y >= 0; --y) {
        for (int x = 0; x < kSize; ++x) {
            const Rgb& c = scene[std::size_t(y) * kSize + std::size_t(x)];
            out.push_back(InsidePanel(x, y) ? Nearest(palette, c) : 0);
        }
    }

    std::FILE* file = std::fopen(argv[1], "wb");
    if (file == nullptr || std::fwrite(out.data(), 1, out.size(), file) != out.size()) {
        std::fprintf(stderr, "make-vorel: cannot write %s\n", argv[1]);
        if (file != nullptr) {
            std::fclose(file);
        }
        return 1;
    }
    return std::fclose(file) == 0 ? 0 : 1;
}

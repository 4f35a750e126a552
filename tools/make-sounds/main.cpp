// make-sounds FOLDER: writes the program's own short sounds as 16-bit mono PCM WAV files:
//   radar-alarm.wav   the radar alarm: three rising two-tone chirps, about 0.9 s
//   camera-click.wav  the click of a screen picture: two short decaying noise bursts, 0.12 s
// Deterministic: the same bytes on every build.

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace {

constexpr int kRate = 44100;
constexpr double kPi = 3.14159265358979323846;

using Samples = std::vector<double>;

void Put16(std::FILE* file, std::uint16_t value) {
    const unsigned char bytes[2] = {static_cast<unsigned char>(value & 0xff),
                                    static_cast<unsigned char>(value >> 8)};
    std::fwrite(bytes, 1, 2, file);
}

void Put32(std::FILE* file, std::uint32_t value) {
    Put16(file, static_cast<std::uint16_t>(value & 0xffff));
    Put16(file, static_cast<std::uint16_t>(value >> 16));
}

bool WriteWav(const std::string& path, const Samples& samples) {
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) {
        std::perror(path.c_str());
        return false;
    }
    const auto dataBytes = static_cast<std::uint32_t>(samples.size() * 2);
    std::fwrite("RIFF", 1, 4, file);
    Put32(file, 36 + dataBytes);
    std::fwrite("WAVEfmt ", 1, 8, file);
    Put32(file, 16);
    Put16(file, 1); // PCM
    Put16(file, 1); // mono
    Put32(file, kRate);
    Put32(file, kRate * 2);
    Put16(file, 2);
    Put16(file, 16);
    std::fwrite("data", 1, 4, file);
    Put32(file, dataBytes);
    for (const double sample : samples) {
        const double clamped = std::clamp(sample, -1.0, 1.0);
        Put16(file,
              static_cast<std::uint16_t>(static_cast<std::int16_t>(std::lround(clamped * 32767))));
    }
    const bool ok = std::fclose(file) == 0;
    if (!ok) {
        std::perror(path.c_str());
    }
    return ok;
}

// A tone gliding from one frequency to another, with soft edges so it starts and ends
// without a click.
void AddChirp(Samples& out, double start, double seconds, double fromHz, double toHz,
              double level) {
    const int first = static_cast<int>(start * kRate);
    const int count = static_cast<int>(seconds * kRate);
    const int edge = kRate / 200; // 5 ms
    double phase = 0;
    out.resize(std::max(out.size(), static_cast<std::size_t>(first + count)), 0.0);
    for (int i = 0; i < count; ++i) {
        const double t = static_cast<double>(i) / count;
        const double hz = fromHz + (toHz - fromHz) * t;
        phase += 2 * kPi * hz / kRate;
        const double envelope =
            std::min({1.0, static_cast<double>(i) / edge, static_cast<double>(count - i) / edge});
        // A little of the octave makes it cut through engine noise.
        const double wave = 0.8 * std::sin(phase) + 0.2 * std::sin(2 * phase);
        out[static_cast<std::size_t>(first + i)] += level * envelope * wave;
    }
}

Samples RadarAlarm() {
    Samples out;
    for (int i = 0; i < 3; ++i) {
        const double start = i * 0.3;
        AddChirp(out, start, 0.12, 880, 1175, 0.55);
        AddChirp(out, start + 0.13, 0.12, 1175, 1568, 0.55);
    }
    return out;
}

// A decaying burst of noise: the shutter's blades.
void AddBurst(Samples& out, double start, double seconds, double level, std::uint32_t& seed) {
    const int first = static_cast<int>(start * kRate);
    const int count = static_cast<int>(seconds * kRate);
    out.resize(std::max(out.size(), static_cast<std::size_t>(first + count)), 0.0);
    double low = 0;
    for (int i = 0; i < count; ++i) {
        seed = seed * 1664525u + 1013904223u;
        const double noise = static_cast<double>(seed >> 8) / (1u << 24) * 2 - 1;
        low += 0.35 * (noise - low); // softened, less hiss
        const double envelope = std::exp(-static_cast<double>(i) / (count / 6.0));
        out[static_cast<std::size_t>(first + i)] += level * envelope * low;
    }
}

Samples CameraClick() {
    Samples out;
    std::uint32_t seed = 2026;
    AddBurst(out, 0.0, 0.04, 0.9, seed);
    AddBurst(out, 0.065, 0.05, 0.6, seed);
    out.resize(static_cast<std::size_t>(0.12 * kRate), 0.0);
    return out;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make-sounds FOLDER\n");
        return 2;
    }
    const std::string folder = std::string(argv[1]) + "/";
    const bool ok = WriteWav(folder + "radar-alarm.wav", RadarAlarm()) &&
                    WriteWav(folder + "camera-click.wav", CameraClick());
    return ok ? 0 : 1;
}

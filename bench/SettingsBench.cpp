#include "core/SettingsStore.h"
#include "platform/linux/LinuxFileSystem.h"
#include "support/TempFolder.h"

#include <benchmark/benchmark.h>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

namespace {

namespace fs = std::filesystem;

// The product's file system: the cost of a save is the disk's.
trelk::FileSystem& Disk() {
    static trelk::LinuxFileSystem disk;
    return disk;
}

// A settings file as a pilot's would look after some use: every group, twelve macros and a
// command list.
std::string WriteRealisticFile(const fs::path& dir) {
    const std::string path = (dir / "TrelkPro.ini").string();
    {
        std::ofstream out(path, std::ios::binary);
        out << "[Macros]\n";
        for (int i = 1; i <= 12; ++i) {
            out << 'F' << i << "Channel=" << i % 5 << "\nF" << i << "String=/lumacor " << i * 11
                << ' ' << i * 7 << ' ' << i * 3 << "\nF" << i << "Return=1\n";
        }
        out << "\n[Commands]\nCmdList=/who;/time;/dock;/undock;/scan;/where;\n";
    }
    const trelk::SettingsStore store(Disk(), path, dir.string() + "/");
    trelk::Settings settings = store.Defaults();
    settings.Setup.InstallCode = "0123456789abcdefghijkl";
    settings.Scanner.RadarWavFileName = dir.string() + "/alarm.wav";
    settings.DataList.RoidFiles = "MyLumacor.dat;extra.txt;";
    store.SaveSetupGroup(settings);
    store.SaveKeyMapGroup(settings);
    store.SaveConsoleGroup(settings);
    store.SaveScannerGroup(settings);
    return path;
}

// Range 0: the temporary folder on disk, where every save waits for fsync. Range 1: a folder in
// memory (/dev/shm), which shows the cost of the code without the disk.
fs::path BenchRoot(const benchmark::State& state) {
    return state.range(0) == 1 && fs::is_directory("/dev/shm") ? fs::path("/dev/shm")
                                                               : fs::temp_directory_path();
}

// A fresh folder holding a realistic settings file, removed at the end of the benchmark.
class BenchFolder {
public:
    explicit BenchFolder(const fs::path& root)
        : folder_(root), iniPath_(WriteRealisticFile(folder_.path())) {}

    trelk::SettingsStore store() const { return {Disk(), iniPath_, folder_.dir()}; }

private:
    trelk::testing::TempFolder folder_;
    std::string iniPath_;
};

void BM_LoadAndSaveAllGroups(benchmark::State& state) {
    const BenchFolder folder(BenchRoot(state));
    const trelk::SettingsStore store = folder.store();
    for (auto _ : state) {
        trelk::Settings settings = store.Load();
        settings.Console.PositionX ^= 1;
        const bool ok = store.SaveSetupGroup(settings).ok && store.SaveKeyMapGroup(settings).ok &&
                        store.SaveConsoleGroup(settings).ok && store.SaveScannerGroup(settings).ok;
        if (!ok) {
            state.SkipWithError("save failed");
            break;
        }
        benchmark::DoNotOptimize(settings);
    }
}
BENCHMARK(BM_LoadAndSaveAllGroups)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

// What a close does: load, then the four groups in one replacement of the file. Range 0 = 1
// changes a value each time (one fsync pair per close); 0 saves what is already stored, which
// writes nothing.
void BM_LoadAndCloseSave(benchmark::State& state) {
    const BenchFolder folder(fs::temp_directory_path());
    const trelk::SettingsStore store = folder.store();
    using trelk::SettingsGroup;
    for (auto _ : state) {
        trelk::Settings settings = store.Load();
        if (state.range(0) == 1) {
            settings.Console.PositionX ^= 1;
        }
        if (!store
                 .SaveGroups({SettingsGroup::Setup, SettingsGroup::KeyMap, SettingsGroup::Console,
                              SettingsGroup::Scanner},
                             settings)
                 .ok) {
            state.SkipWithError("save failed");
            break;
        }
    }
}
BENCHMARK(BM_LoadAndCloseSave)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

void BM_LoadOnly(benchmark::State& state) {
    const BenchFolder folder(fs::temp_directory_path());
    const trelk::SettingsStore store = folder.store();
    for (auto _ : state) {
        benchmark::DoNotOptimize(store.Load());
    }
}
BENCHMARK(BM_LoadOnly)->Unit(benchmark::kMicrosecond);

} // namespace

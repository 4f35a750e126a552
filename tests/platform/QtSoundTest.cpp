// QtSound through a real sound server: a PulseAudio of the test's own with a null sink, whose
// monitor is recorded while the program's alarm plays; and, with no server at all, a silent
// play that says "no audio device" once.

#include "platform/linux/QtSound.h"

#include "support/LinuxTestSupport.h"
#include "support/TempFolder.h"

#include <algorithm>
#include <csignal>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace trelk {
namespace {

namespace fs = std::filesystem;

// Starts a shell command in the background; its process id.
pid_t Spawn(const std::string& command) {
    const std::string line = "sh -c '" + command + "' >/dev/null 2>&1 & echo $!";
    FILE* pipe = popen(line.c_str(), "r");
    if (pipe == nullptr) {
        return -1;
    }
    int pid = -1;
    if (std::fscanf(pipe, "%d", &pid) != 1) {
        pid = -1;
    }
    pclose(pipe);
    return pid;
}

void Stop(pid_t pid) {
    if (pid > 0) {
        kill(pid, SIGINT);
        for (int i = 0; i < 200 && kill(pid, 0) == 0; ++i) {
            usleep(10000);
        }
        kill(pid, SIGKILL);
    }
}

bool HaveProgram(const char* name) {
    return std::system((std::string("command -v ") + name + " >/dev/null 2>&1").c_str()) == 0;
}

// The loudest sample of raw 16-bit mono audio, 0..1.
double Peak(const std::string& raw) {
    int peak = 0;
    for (std::size_t i = 0; i + 1 < raw.size(); i += 2) {
        const auto sample = static_cast<std::int16_t>(
            static_cast<std::uint16_t>(static_cast<unsigned char>(raw[i])) |
            static_cast<std::uint16_t>(static_cast<unsigned char>(raw[i + 1]) << 8));
        peak = std::max(peak, std::abs(static_cast<int>(sample)));
    }
    return peak / 32768.0;
}

class QtSoundTest : public ::testing::Test {
protected:
    void SetUp() override { linuxtest::TestApplication(); }
    void TearDown() override {
        Stop(recorder_);
        Stop(server_);
    }

    // A server on a socket of this test's own: Qt's sound connects there.
    bool startServer() {
        fs::create_directories(folder_.path() / "run");
        fs::permissions(folder_.path() / "run", fs::perms::owner_all);
        socket_ = folder_.file("run/native");
        server_ = Spawn("XDG_RUNTIME_DIR=" + folder_.file("run") +
                        " pulseaudio -n --daemonize=no --exit-idle-time=-1 --use-pid-file=no"
                        " --load=\"module-native-protocol-unix socket=" +
                        socket_ + "\" --load=\"module-null-sink sink_name=null\"");
        return linuxtest::WaitUntil([&] {
            return std::system(
                       ("pactl --server=unix:" + socket_ + " info >/dev/null 2>&1").c_str()) == 0;
        });
    }

    // The program's alarm, with what the port says kept in said_.
    std::unique_ptr<SoundClip> loadAlarm() {
        sound_.setUnavailableHandler([this](const std::string& text) { said_.push_back(text); });
        std::string error;
        auto clip = sound_.loadWav(TRELK_SOUNDS_DIR "/radar-alarm.wav", error);
        EXPECT_TRUE(error.empty()) << error;
        return clip;
    }

    testing::TempFolder folder_;
    QtSound sound_;
    std::vector<std::string> said_;
    std::string socket_;
    pid_t server_ = -1;
    pid_t recorder_ = -1;
};

TEST_F(QtSoundTest, TheAlarmReachesTheSoundServer) {
    if (!HaveProgram("pulseaudio") || !HaveProgram("parecord")) {
        GTEST_SKIP() << "PulseAudio is not installed";
    }
    ASSERT_TRUE(startServer());
    const linuxtest::ScopedEnv server("PULSE_SERVER", "unix:" + socket_);
    const std::string recording = folder_.file("monitor.raw");
    recorder_ =
        Spawn("parecord --server=unix:" + socket_ +
              " -d null.monitor --raw --format=s16le --channels=1 --rate=44100 " + recording);
    ASSERT_TRUE(linuxtest::WaitUntil([&] { return fs::exists(recording); }));

    const auto alarm = loadAlarm();
    ASSERT_NE(alarm, nullptr);
    alarm->play();
    // The recording fills while the sound plays, about a second; silence stays at 0.
    EXPECT_TRUE(linuxtest::WaitUntil([&] { return Peak(linuxtest::ReadFile(recording)) > 0.2; },
                                     std::chrono::seconds(15)))
        << "peak " << Peak(linuxtest::ReadFile(recording));
    EXPECT_TRUE(said_.empty());
}

TEST_F(QtSoundTest, WithoutAServerTheSoundIsSilentAndSaysSoOnce) {
    const std::string config = folder_.file("client.conf");
    linuxtest::WriteFile(config, "autospawn = no\n");
    const linuxtest::ScopedEnv noSpawn("PULSE_CLIENTCONFIG", config);
    const linuxtest::ScopedEnv server("PULSE_SERVER", "unix:" + folder_.file("nobody-listens"));

    const auto alarm = loadAlarm();
    ASSERT_NE(alarm, nullptr);
    alarm->play();
    alarm->play();
    EXPECT_EQ(said_, std::vector<std::string>{"no audio device"});
}

TEST_F(QtSoundTest, AFileThatIsNoSoundIsRefusedWithAReason) {
    QtSound sound;
    std::string error;
    EXPECT_EQ(sound.loadWav(folder_.file("missing.wav"), error), nullptr);
    EXPECT_NE(error.find("missing.wav"), std::string::npos) << error;
    linuxtest::WriteFile(folder_.file("notes.wav"), "these are not samples at all, only words");
    EXPECT_EQ(sound.loadWav(folder_.file("notes.wav"), error), nullptr);
    EXPECT_NE(error.find("not a WAV file"), std::string::npos) << error;
}

} // namespace
} // namespace trelk

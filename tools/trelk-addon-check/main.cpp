// trelk-addon-check: runs an add-on program against a headless TrelkPro and says, step by
// step, which parts of the add-on exchange it honours.
//
//   trelk-addon-check [--wait SECONDS] -- PROGRAM [ARGUMENT...]
//
// TrelkPro runs here without windows or a game (the deterministic platform, keys pressed by
// this tool), over a real per-user store in a temporary folder; the add-on gets that store as
// TRELK_REGISTRY. Each step prints PASS or FAIL with what was seen. Exit 0 when every step
// passed, 1 when one failed, 2 on wrong arguments.

#include "app/TrelkApp.h"
#include "platform/linux/SqliteUserStore.h"
#include "platform/ports/VirtualKeys.h"
#include "platform/sim/SimMainWindow.h"
#include "platform/sim/SimPlatform.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QProcess>
#include <QTemporaryDir>
#include <chrono>
#include <cstdio>
#include <functional>
#include <string>
#include <thread>

namespace trelk {
namespace {

using WallClock = std::chrono::steady_clock;
constexpr const char* Interface = "Software\\TrelkPro\\Interface";

// The deterministic platform with the real store in place of its in-memory one.
class CheckPlatform final : public Platform {
public:
    CheckPlatform(SimPlatform& sim, UserStore& store) : sim_(sim), store_(store) {}
    Clock& clock() override { return sim_.clock(); }
    TimerFactory& timers() override { return sim_.timers(); }
    EventLoop& eventLoop() override { return sim_.eventLoop(); }
    DebugOutput& debugOutput() override { return sim_.debugOutput(); }
    FileSystem& fileSystem() override { return sim_.fileSystem(); }
    UserStore& userStore() override { return store_; }
    Desktop& desktop() override { return sim_.desktop(); }
    Launcher& launcher() override { return sim_.launcher(); }
    SharedMemory& sharedMemory() override { return sim_.sharedMemory(); }
    LibraryLoader& libraryLoader() override { return sim_.libraryLoader(); }
    Keyboard& keyboard() override { return sim_.keyboard(); }
    ScreenCapture& screenCapture() override { return sim_.screenCapture(); }
    Sound& sound() override { return sim_.sound(); }
    HookMessageReceiver& hookMessages() override { return sim_.hookMessages(); }
    Http& http() override { return sim_.http(); }
    WebView& webView() override { return sim_.webView(); }
    void setSessionEndHandler(std::function<void()> handler) override {
        sim_.setSessionEndHandler(std::move(handler));
    }
    void markStartupComplete() override {}
    const PlatformPaths& paths() const override { return sim_.paths(); }

private:
    SimPlatform& sim_;
    UserStore& store_;
};

class Check {
public:
    Check(const std::string& storePath, double waitSeconds)
        : store_(storePath), platform_(sim_, store_),
          wait_(std::chrono::milliseconds(static_cast<long long>(waitSeconds * 1000))) {
        sim_.registerWindow(window_);
        files().addFolder("/sim/TrelkPro");
        files().addFile("/sim/TrelkPro/trelkpro.ini", "[Setup]\nLogEnabled=0\n");
        sim_.installHookLibrary("/sim/TrelkPro/TrkHook.so");
        sim_.installOverlayLibrary("/sim/TrelkPro/nexacomms.so");
        app_ = std::make_unique<TrelkApp>(
            platform_, window_, prompts_,
            AppPaths::FromAppDir("/sim/TrelkPro/", "/sim/TrelkPro/trelkpro.ini"),
            MakeVersionInfo("Trelk Pro", 1, 0, 1, "check"));
    }

    bool startTrelkPro() { return app_->core().FormCreate().ok; }

    int run(const QString& program, const QStringList& arguments, const std::string& storePath) {
        QProcess addon;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("TRELK_REGISTRY", QString::fromStdString(storePath));
        addon.setProcessEnvironment(environment);
        addon.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        addon.setStandardOutputFile(QProcess::nullDevice());
        addon.start(program, arguments);
        if (!addon.waitForStarted(5000)) {
            report(false, "starts", addon.errorString().toStdString());
            return 1;
        }
        steps(addon);
        if (addon.state() != QProcess::NotRunning) {
            addon.terminate();
            if (!addon.waitForFinished(3000)) {
                addon.kill();
                addon.waitForFinished(3000);
            }
        }
        std::printf("%s: %d of %d steps passed\n", failures_ == 0 ? "PASS" : "FAIL", passes_,
                    passes_ + failures_);
        return failures_ == 0 ? 0 : 1;
    }

private:
    void steps(QProcess& addon) {
        AddOnModules& addOns = app_->addOns();
        const bool registered = runUntil([&] { return !addOns.Names().empty(); }, wait_);
        if (!report(registered, "registers (AppReg, within the wait)",
                    registered ? "as \"" + addOns.Names().front() + "\""
                               : "no registration seen")) {
            return;
        }
        name_ = addOns.Names().front();

        runFor(std::chrono::milliseconds(1500));
        report(value("DataReady").empty() && addOns.PagesDrawn() == 0,
               "writes DataReady only while its page is open",
               "DataReady = \"" + value("DataReady") + "\" before the pilot opened the page");

        openPage();
        const bool drawn = runUntil([&] { return addOns.PagesDrawn() > 0; }, wait_);
        report(drawn, "draws its page when the pilot opens it",
               drawn ? "title \"" + app_->consolePage().Record().TitleLine + "\""
                     : "no DataReady with its name");

        std::uint64_t pages = addOns.PagesDrawn();
        press(Vk::Down);
        const bool answered = runUntil([&] { return addOns.PagesDrawn() > pages; }, wait_);
        report(answered, "answers a navigation key with a new page",
               answered ? "Cursor = DownList answered" : "no page after Cursor = DownList");

        // TrelkPro busy: the page it was handed stays unread while the pilot presses another
        // key. The add-on must leave the page alone until DataReady is empty again.
        addOns.Stop();
        press(Vk::Down);
        runUntil([&] { return !value("DataReady").empty(); }, wait_);
        const std::string held = pageValues();
        press(Vk::Down);
        runFor(std::chrono::milliseconds(1500));
        const bool waited = pageValues() == held;
        addOns.Start();
        pages = addOns.PagesDrawn();
        runUntil([&] { return addOns.PagesDrawn() >= pages + 2; }, wait_);
        report(waited, "waits for DataReady to be empty before writing the next page",
               waited ? "the page stayed as handed over until it was read"
                      : "the page or DataReady changed while DataReady was still full");
        report(addOns.PagesDrawn() >= pages + 2, "answers the key pressed meanwhile",
               std::to_string(addOns.PagesDrawn() - pages) + " page(s) after the store was read "
                                                             "again");

        // The pilot leaves the page (Shift with the console key: back to the mode list).
        sim_.simKeyboard().pilotPress(Vk::Shift);
        press(Vk::Insert);
        sim_.simKeyboard().pilotRelease(Vk::Shift);
        sim_.simLoop().processPendingMessages();
        runFor(std::chrono::milliseconds(300));
        pages = addOns.PagesDrawn();
        const std::string after = value("DataReady");
        runFor(std::chrono::milliseconds(1500));
        report(value("DataReady").empty() && after.empty(),
               "stops writing pages when the page is closed",
               "DataReady = \"" + value("DataReady") + "\" after the pilot left");

        // TrelkPro closes: the add-on says goodbye and ends.
        sim_.step(AppCore::StartupCompletedMs);
        app_->core().Close();
        const bool unregistered = runUntil([&] { return value("AppUnReg") == name_; }, wait_);
        report(unregistered, "unregisters when TrelkPro closes (AppUnReg)",
               "AppUnReg = \"" + value("AppUnReg") + "\"");
        const bool ended = addon.waitForFinished(static_cast<int>(wait_.count()));
        report(ended, "ends when TrelkPro closes",
               ended ? "exit code " + std::to_string(addon.exitCode()) : "still running");
    }

    void openPage() {
        press(Vk::Insert);
        for (int i = 0; i < ConsoleMenu::AddonMode; ++i) {
            press(Vk::Down);
        }
        press(Vk::Right);
        press(Vk::Right);
    }
    void press(int key) {
        sim_.simKeyboard().pilotPress(key);
        sim_.simKeyboard().pilotRelease(key);
        sim_.simLoop().processPendingMessages();
    }
    std::string value(const std::string& name) {
        return store_.getString(Interface, name).value_or("");
    }
    std::string pageValues() {
        std::string page =
            value("DataReady") + '\n' + value("Title") + '\n' + value("ListHighLight");
        for (int n = 1; n <= 15; ++n) {
            page += '\n' + value("Line" + std::to_string(n));
        }
        return page;
    }
    // The program's clock follows the wall clock while the add-on works.
    bool runUntil(const std::function<bool()>& done, std::chrono::milliseconds limit) {
        const auto end = WallClock::now() + limit;
        while (!done()) {
            if (WallClock::now() > end) {
                return false;
            }
            step();
        }
        return true;
    }
    void runFor(std::chrono::milliseconds time) {
        const auto end = WallClock::now() + time;
        while (WallClock::now() < end) {
            step();
        }
    }
    void step() {
        std::this_thread::sleep_for(std::chrono::milliseconds(StepMs));
        sim_.step(StepMs);
    }
    bool report(bool passed, const std::string& step, const std::string& detail) {
        std::printf("%s %s: %s\n", passed ? "PASS" : "FAIL", step.c_str(), detail.c_str());
        std::fflush(stdout);
        (passed ? passes_ : failures_)++;
        return passed;
    }
    SimFileSystem& files() { return sim_.simFiles(); }

    static constexpr int StepMs = 10;

    SqliteUserStore store_;
    SimPlatform sim_;
    CheckPlatform platform_;
    SimMainWindow window_;
    SimPrompts prompts_;
    std::unique_ptr<TrelkApp> app_;
    std::chrono::milliseconds wait_;
    std::string name_;
    int passes_ = 0;
    int failures_ = 0;
};

} // namespace
} // namespace trelk

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication application(argc, argv);
    QStringList args = QCoreApplication::arguments().mid(1);
    double wait = 10.0;
    if (args.size() >= 2 && args[0] == "--wait") {
        wait = args[1].toDouble();
        args = args.mid(2);
    }
    if (args.size() < 2 || args[0] != "--" || wait <= 0) {
        std::fputs("usage: trelk-addon-check [--wait SECONDS] -- PROGRAM [ARGUMENT...]\n", stderr);
        return 2;
    }
    QTemporaryDir folder;
    if (!folder.isValid()) {
        std::fputs("trelk-addon-check: no temporary folder\n", stderr);
        return 1;
    }
    const std::string storePath = folder.filePath("registry.db").toStdString();
    trelk::Check check(storePath, wait);
    if (!check.startTrelkPro()) {
        std::fputs("trelk-addon-check: the headless TrelkPro did not start\n", stderr);
        return 1;
    }
    return check.run(args[1], args.mid(2), storePath);
}

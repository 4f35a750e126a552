// Process entry: one instance per desktop, then the main window and its message loop.

#include "TerminationSignals.h"
#include "TrelkApp.h"
#include "gui/QtPrompts.h"
#include "gui/QtText.h"
#include "gui/TForm1.h"
#include "platform/linux/LinuxPaths.h"
#include "platform/linux/X11ServerLoss.h"

#include <QApplication>
#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QTimer>
#include <ctime>

namespace {

constexpr const char* ApplicationTitle = "Trelk-Pro";

std::string executableDate() {
    const QFileInfo exe(QCoreApplication::applicationFilePath());
    return exe.lastModified().toString("dd-MMM-yyyy").toStdString();
}

// For the start-up benchmark: the monotonic time at which the tray icon was shown and the
// event loop ran once, written to the file named by TRELK_STARTUP_REPORT.
void reportStartupTime() {
    const QByteArray path = qgetenv("TRELK_STARTUP_REPORT");
    if (path.isEmpty()) {
        return;
    }
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    QFile file(QString::fromLocal8Bit(path));
    if (file.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        const long long ns = static_cast<long long>(now.tv_sec) * 1000000000LL + now.tv_nsec;
        file.write(QByteArray::number(ns));
    }
}

} // namespace

int main(int argc, char* argv[]) {
    trelk::TerminationSignals::HoldUntilHandled();
    QApplication app(argc, argv);
    // When the X server ends (log-out), Qt notices on this thread and quits; the program's
    // other X connections (hook, overlay, keyboard, window search) must not exit on theirs.
    trelk::x11::ReportServerLossOnly();
    const trelk::PlatformPaths platformPaths = trelk::ResolvePlatformPaths();
    auto platform = trelk::CreatePlatform(platformPaths);

    // Single instance: the first copy carries a window with the application title.
    if (platform->desktop().topLevelWindowExists(ApplicationTitle)) {
        return 0;
    }
    platform->desktop().publishApplicationWindow(ApplicationTitle);

    QApplication::setApplicationName("TrelkPro");
    QApplication::setQuitOnLastWindowClosed(false);
    // Numbers are read and written with '.' whatever the user's locale.
    QLocale::setDefault(QLocale::c());
    std::setlocale(LC_NUMERIC, "C");

    trelk::TForm1 form;
    trelk::QtPrompts prompts(&form);
    trelk::TrelkApp trelkApp(*platform, form, prompts,
                             trelk::AppPaths::FromAppDir(platformPaths.appDir,
                                                         platformPaths.settingsFile,
                                                         platformPaths.programDir),
                             trelk::BuildVersionInfo(executableDate()));
    trelk::AppCore& core = trelkApp.core();
    form.bind(trelkApp);

    const trelk::StartupResult started = core.FormCreate();
    if (!started.ok) {
        prompts.showError(started.message);
        return 1;
    }
    form.show();
    core.FormShow();

    // Logging off or shutting down: close without a question, settings saved.
    trelk::TerminationSignals termination([&core] { core.Close(trelk::CloseReason::SessionEnd); });
    QObject::connect(&app, &QGuiApplication::commitDataRequest, &form,
                     [&core] { core.Close(trelk::CloseReason::SessionEnd); });

    QTimer::singleShot(0, &form, reportStartupTime);
    // The window's destruction sequence runs when trelkApp goes out of scope.
    return QApplication::exec();
}

// Process entry: one instance per desktop, then the main window and its message loop.

#include "InformationOptions.h"
#include "TrelkApp.h"
#include "gui/QtPrompts.h"
#include "gui/QtText.h"
#include "gui/TForm1.h"
#include "platform/ports/Platform.h"

#include <QApplication>
#include <QDateTime>
#include <QFileInfo>
#include <QLocale>
#include <QTimer>
#include <clocale>
#include <cstdio>
#include <string>

namespace {

constexpr const char* ApplicationTitle = "Trelk-Pro";

std::string executableDate() {
    const QFileInfo exe(QCoreApplication::applicationFilePath());
    return exe.lastModified().toString("dd-MMM-yyyy").toStdString();
}

} // namespace

int main(int argc, char* argv[]) {
    // Asked from a terminal or a package's scripts: no display, no tray, nothing started.
    if (const auto information = trelk::InformationRequested(argc, argv)) {
        std::fputs(information->c_str(), stdout);
        return 0;
    }
    if (const std::string problem = trelk::PrepareProcess(); !problem.empty()) {
        // No window system: standard error is all there is to say it on.
        std::fprintf(stderr, "%s\n", problem.c_str());
        return 1;
    }
    QApplication app(argc, argv);
    // The one platform linked into the program; it comes after the application object.
    auto platform = trelk::CreatePlatform(trelk::DefaultPlatformPaths());
    const trelk::PlatformPaths& platformPaths = platform->paths();

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

    trelk::TForm1 form(platform->hookMessages(), platform->desktop());
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
    platform->setSessionEndHandler([&core] { core.Close(trelk::CloseReason::SessionEnd); });
    QObject::connect(&app, &QGuiApplication::commitDataRequest, &form,
                     [&core] { core.Close(trelk::CloseReason::SessionEnd); });

    QTimer::singleShot(0, &form, [&platform] { platform->markStartupComplete(); });
    const int status = QApplication::exec();
    // The platform outlives the program it would call; the window's destruction sequence runs
    // when trelkApp goes out of scope.
    platform->setSessionEndHandler({});
    return status;
}

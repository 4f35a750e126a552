// trelk-webview: TrelkPro's off-screen browser, a process of its own so that the web engine
// (and its own processes) exists only while pages are shown, and whatever a page does cannot
// stop the program. Commands on standard input, replies on standard output
// (platform/linux/WebViewProtocol.h).

#include "OffscreenBrowser.h"
#include "platform/linux/WebViewProtocol.h"

#include <QApplication>
#include <QByteArray>
#include <QLoggingCategory>
#include <QSocketNotifier>
#include <QStringList>
#include <csignal>
#include <cstdlib>
#include <sys/prctl.h>
#include <unistd.h>

namespace {

using trelk::OffscreenBrowser;

void WriteAll(const char* data, std::size_t size) {
    while (size > 0) {
        const ssize_t written = ::write(STDOUT_FILENO, data, size);
        if (written <= 0) {
            std::_Exit(0); // TrelkPro is gone
        }
        data += written;
        size -= static_cast<std::size_t>(written);
    }
}

void Reply(const QByteArray& line) {
    WriteAll(line.constData(), static_cast<std::size_t>(line.size()));
    WriteAll("\n", 1);
}

void ReplyPicture(const QImage& picture) {
    if (picture.isNull()) {
        Reply("picture 0 0");
        return;
    }
    Reply("picture " + QByteArray::number(picture.width()) + " " +
          QByteArray::number(picture.height()));
    for (int y = 0; y < picture.height(); ++y) {
        WriteAll(reinterpret_cast<const char*>(picture.constScanLine(y)),
                 static_cast<std::size_t>(picture.width()) * 4);
    }
}

void Run(OffscreenBrowser& browser, const QByteArray& line) {
    const qsizetype blank = line.indexOf(' ');
    const QByteArray command = blank < 0 ? line : line.left(blank);
    const QByteArray rest = blank < 0 ? QByteArray() : line.mid(blank + 1);
    const QList<QByteArray> numbers = rest.split(' ');
    auto numberAt = [&numbers](qsizetype i) { return i < numbers.size() ? numbers[i].toInt() : 0; };
    if (command == "navigate") {
        const qsizetype space = rest.indexOf(' ');
        const QByteArray number = rest.left(space);
        browser.navigate(QString::fromUtf8(space < 0 ? QByteArray() : rest.mid(space + 1)),
                         [number](bool ok) { Reply("complete " + number + (ok ? " 1" : " 0")); });
    } else if (command == "scroll") {
        browser.scrollBy(numberAt(0), numberAt(1), [] { Reply("scrolled"); });
    } else if (command == "width") {
        browser.bodyScrollWidth([](int width) { Reply("width " + QByteArray::number(width)); });
    } else if (command == "size") {
        browser.setViewSize(qBound(1, numberAt(0), trelk::webview::MaxPictureSide),
                            qBound(1, numberAt(1), trelk::webview::MaxPictureSide));
    } else if (command == "draw") {
        ReplyPicture(browser.draw());
    }
}

} // namespace

int main(int argc, char** argv) {
    // The helper never outlives the program that started it.
    ::prctl(PR_SET_PDEATHSIG, SIGTERM);
    // WORKAROUND: the engine's sandbox cannot run for root and the engine refuses to start with
    // it. There it runs without, and pages then get none of their own scripts, so nothing a
    // page brings runs as root outside a sandbox. Everyone else keeps the sandbox.
    const bool root = ::geteuid() == 0;
    if (root) {
        ::setenv("QTWEBENGINE_DISABLE_SANDBOX", "1", 1);
    }
    // Software drawing: the picture is read back for the console, and a display without a
    // graphics card (a virtual X server) has nothing better.
    ::setenv("QTWEBENGINE_CHROMIUM_FLAGS", "--disable-gpu --disable-features=Translate", 0);
    // The engine's report of how it set itself up would fill the program's standard error at
    // every start.
    QLoggingCategory::setFilterRules("qt.webenginecontext.info=false\n"
                                     "qt.webenginecontext.debug=false");
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication application(argc, argv);
    application.setQuitOnLastWindowClosed(false);

    // --load-timeout-ms N: how long a page may take (tests shorten it).
    int loadTimeoutMs = 30000;
    const QStringList arguments = application.arguments();
    const qsizetype timeoutAt = arguments.indexOf("--load-timeout-ms");
    if (timeoutAt >= 0 && timeoutAt + 1 < arguments.size()) {
        loadTimeoutMs = qMax(100, arguments[timeoutAt + 1].toInt());
    }
    OffscreenBrowser browser({.pageScripts = !root, .loadTimeoutMs = loadTimeoutMs});

    QByteArray pending;
    QSocketNotifier input(STDIN_FILENO, QSocketNotifier::Read);
    QObject::connect(&input, &QSocketNotifier::activated, &application, [&] {
        char buffer[4096];
        const ssize_t got = ::read(STDIN_FILENO, buffer, sizeof buffer);
        if (got <= 0) {
            input.setEnabled(false);
            application.quit();
            return;
        }
        pending.append(buffer, static_cast<qsizetype>(got));
        for (qsizetype end = pending.indexOf('\n'); end >= 0; end = pending.indexOf('\n')) {
            const QByteArray line = pending.left(end).trimmed();
            pending.remove(0, end + 1);
            Run(browser, line);
        }
    });
    return application.exec();
}

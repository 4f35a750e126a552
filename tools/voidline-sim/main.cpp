// voidline-sim: the stand-in for the game. A window titled "Voidline" with a chat line; see
// VoidlineWindow. `--transcript FILE` appends "channel<TAB>text" for every line sent;
// `--docked` starts on the station screens (F12 or the "Docked" switch changes it);
// `--blips LIST` starts with radar contacts shown (Ctrl+1..Ctrl+5 switch them);
// `--monitor N` opens the window in the middle of monitor N as `xrandr --listmonitors` numbers
// them (a pilot with two monitors).
// Started by path without arguments (TrelkPro's auto start, a desktop launcher), it takes the
// transcript from VOIDLINE_TRANSCRIPT.

#include "DockedProperty.h"
#include "GameMonitors.h"
#include "RadarDisplay.h"
#include "Transcript.h"
#include "VoidlineWindow.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QSocketNotifier>
#include <csignal>
#include <cstdio>
#include <optional>
#include <sys/socket.h>
#include <unistd.h>
#include <vector>

namespace {

int signalPipe[2] = {-1, -1};

void OnTerminate(int /*number*/) {
    const char byte = 1;
    [[maybe_unused]] const ssize_t written = write(signalPipe[1], &byte, 1);
}

// SIGTERM and SIGINT end the event loop, so the docked property is removed on the way out.
void QuitOnTerminationSignals(QApplication& app) {
    if (socketpair(AF_UNIX, SOCK_STREAM, 0, signalPipe) != 0) {
        return;
    }
    auto* notifier = new QSocketNotifier(signalPipe[0], QSocketNotifier::Read, &app);
    QObject::connect(notifier, &QSocketNotifier::activated, &app, [] { QApplication::quit(); });
    struct sigaction action {};
    action.sa_handler = OnTerminate;
    sigemptyset(&action.sa_mask);
    sigaction(SIGTERM, &action, nullptr);
    sigaction(SIGINT, &action, nullptr);
}

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName("voidline-sim");

    QCommandLineParser parser;
    parser.setApplicationDescription(
        "Voidline, the stand-in game: a chat line with five channels (F1..F5); Enter sends, "
        "Escape clears. F12 docks and undocks; the state is published as the root window's "
        "VOIDLINE_DOCKED property (1 docked, 0 in flight) and removed at exit.");
    parser.addHelpOption();
    const QCommandLineOption transcriptOption(
        "transcript",
        "Append every line sent with Enter to FILE as channel<TAB>text (default: "
        "$VOIDLINE_TRANSCRIPT, none when unset).",
        "FILE");
    const QCommandLineOption dockedOption("docked", "Start docked (on the station screens).");
    const QCommandLineOption blipsOption(
        "blips",
        "Start with these radar contacts shown, comma-separated: flux, object, sol, oct, "
        "quan (Ctrl+1..Ctrl+5 switch them).",
        "LIST");
    parser.addOption(transcriptOption);
    parser.addOption(dockedOption);
    const QCommandLineOption monitorOption(
        "monitor",
        "Open the window in the middle of monitor N, numbered from 0 as `xrandr --listmonitors` "
        "lists them.",
        "N");
    parser.addOption(blipsOption);
    parser.addOption(monitorOption);
    parser.process(app);
    const QString transcriptFile = parser.isSet(transcriptOption)
                                       ? parser.value(transcriptOption)
                                       : qEnvironmentVariable("VOIDLINE_TRANSCRIPT");

    voidline::Transcript transcript;
    if (!transcript.open(transcriptFile)) {
        std::fprintf(stderr, "voidline-sim: cannot open the transcript %s: %s\n",
                     qPrintable(transcriptFile), qPrintable(transcript.error()));
        return 2;
    }

    QList<int> blips;
    for (const QString& name : parser.value(blipsOption).split(',', Qt::SkipEmptyParts)) {
        const int contact = voidline::RadarDisplay::ContactNamed(name.trimmed());
        if (contact < 0) {
            std::fprintf(stderr, "voidline-sim: no radar contact named %s\n", qPrintable(name));
            return 2;
        }
        blips.append(contact);
    }

    std::optional<QRect> monitor;
    if (parser.isSet(monitorOption)) {
        bool number = false;
        const int index = parser.value(monitorOption).toInt(&number);
        const std::vector<trelk::Monitor> monitors = voidline::GameMonitors().list();
        if (!number || index < 0 || static_cast<std::size_t>(index) >= monitors.size()) {
            std::fprintf(stderr, "voidline-sim: no monitor %s (the screen lists %zu)\n",
                         qPrintable(parser.value(monitorOption)), monitors.size());
            return 2;
        }
        const trelk::ScreenArea& area = monitors[static_cast<std::size_t>(index)].Area;
        monitor = QRect(area.Left, area.Top, area.Width, area.Height);
    }

    voidline::DockedProperty dockedProperty;
    if (!dockedProperty.available()) {
        std::fprintf(stderr, "voidline-sim: no X display; the docked state is not published\n");
    }
    QuitOnTerminationSignals(app);
    int result = 0;
    {
        voidline::VoidlineWindow window(transcript, dockedProperty, parser.isSet(dockedOption));
        for (const int contact : blips) {
            window.radar().setContact(contact, true);
        }
        if (monitor) {
            QRect place(QPoint(0, 0), window.size());
            place.moveCenter(monitor->center());
            window.move(place.topLeft());
        }
        window.show();
        result = QApplication::exec();
    }
    dockedProperty.remove();
    return result;
}

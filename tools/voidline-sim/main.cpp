// voidline-sim: the stand-in for the game. A window titled "Voidline" with a chat line; see
// VoidlineWindow. `--transcript FILE` appends "channel<TAB>text" for every line sent.

#include "Transcript.h"
#include "VoidlineWindow.h"

#include <QApplication>
#include <QCommandLineParser>
#include <cstdio>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName("voidline-sim");

    QCommandLineParser parser;
    parser.setApplicationDescription("Voidline, the stand-in game: a chat line with five "
                                     "channels (F1..F5); Enter sends, Escape clears.");
    parser.addHelpOption();
    const QCommandLineOption transcriptOption(
        "transcript", "Append every line sent with Enter to FILE as channel<TAB>text.", "FILE");
    parser.addOption(transcriptOption);
    parser.process(app);

    voidline::Transcript transcript;
    if (!transcript.open(parser.value(transcriptOption))) {
        std::fprintf(stderr, "voidline-sim: cannot open the transcript %s: %s\n",
                     qPrintable(parser.value(transcriptOption)), qPrintable(transcript.error()));
        return 2;
    }

    voidline::VoidlineWindow window(transcript);
    window.show();
    return QApplication::exec();
}

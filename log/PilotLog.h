#pragma once

#include "core/CheckOption.h"
#include "log/LogFileWriter.h"
#include "platform/ports/Clock.h"

#include <cstddef>
#include <deque>
#include <functional>
#include <string>
#include <vector>

namespace trelk {

// One change of the scroll-back buffer, for the views that mirror it.
struct LogBufferChange {
    enum class Kind { Appended, Removed };
    Kind kind = Kind::Appended;
    std::size_t index = 0; // Removed: 0-based position of the first removed line
    std::size_t count = 0; // Removed: number of lines
    std::string text;      // Appended: the new last line
};

// The pilot log: the chat lines and status lines of a run, written to one file per run in
// LogDir and kept in a bounded scroll-back buffer that the Log tab and the console show.
// Main thread only.
class PilotLog {
public:
    using SendToChannel =
        std::function<void(const std::string& text, bool clearFirst, int channel)>;
    using Reporter = std::function<void(const std::string& message)>;

    static constexpr int DefaultLogBufSize = 100;
    // The stored size is the user's; these keep a damaged or absurd value from emptying the
    // buffer or letting it grow without end.
    static constexpr int MinLogBufSize = 1;
    static constexpr int MaxLogBufSize = 100000;
    static constexpr std::size_t ShownTail = 60;

    // logEnabled is the "Enable " check box, logBufSize the stored "LogBufSize" value; both
    // belong to the settings and must outlive the log. logDir ends with the separator; the log
    // files are written there through fileSystem. reportError shows a failure to the pilot, trace
    // writes a diagnostic line.
    PilotLog(Clock& clock, FileSystem& fileSystem, CheckOption& logEnabled, int& logBufSize,
             std::string logDir, SendToChannel sendToChannel, Reporter reportError,
             Reporter trace = {});

    // The one way into the log. Does nothing while logging is off or for fewer than two
    // characters.
    void AddLogLine(const std::string& message);

    // Moves the log-view cursor by step and types the entry there into the chat line on
    // channel 1, without Enter.
    void ShowLogEntry(int step);
    // Removes the entry at the cursor from the buffer (not from the file), then shows the one
    // before it.
    void DeleteCurrentLogEntry();

    // The buffer size in effect: the stored value, clamped.
    int LogBufSize() const;
    // Stores the new size and trims the buffer to it at once.
    void SetLogBufSize(int lines);

    bool Enabled() const { return logEnabled_.checked(); }
    const std::deque<std::string>& Lines() const { return lines_; }
    int LogViewCursor() const { return cursor_; }
    // Empty until the first line of the run is logged.
    const std::string& LogFileName() const { return fileName_; }
    std::string LogFilePath() const { return logDir_ + fileName_; }

    // Views of the buffer; each is told every change after it happened.
    void addBufferView(std::function<void(const LogBufferChange&)> view);

private:
    struct LocalTime {
        int year, month, day, hour, minute, second;
    };
    LocalTime now() const;
    // Creates the folder (one level) and writes the header; false after reporting a failure.
    bool openRunFile(const LocalTime& time);
    void appendToBuffer(std::string line);
    void removeFront(std::size_t count);
    void notify(const LogBufferChange& change);
    void report(const std::string& message);
    void clearReported() { lastReported_.clear(); }
    static int Clamp(int lines);

    Clock& clock_;
    CheckOption& logEnabled_;
    int& logBufSize_;
    std::string logDir_;
    SendToChannel sendToChannel_;
    Reporter reportError_;
    Reporter trace_;
    LogFileWriter writer_;

    std::deque<std::string> lines_;
    std::string fileName_;
    bool headerWritten_ = false;
    int cursor_ = 0;
    std::string lastReported_;
    std::vector<std::function<void(const LogBufferChange&)>> views_;
};

} // namespace trelk

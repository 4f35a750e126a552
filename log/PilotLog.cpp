#include "PilotLog.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <ctime>

namespace trelk {

namespace {

std::string TwoDigits(int value) {
    char text[8];
    std::snprintf(text, sizeof text, "%02d", value % 100);
    return text;
}

// The file keeps printable ASCII only: tabs, line breaks and control bytes would break its
// one-entry-per-line layout, and bytes from 127 up have no fixed meaning for its readers.
std::string Printable(const std::string& message) {
    std::string result;
    result.reserve(message.size());
    for (const char c : message) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte >= 32 && byte <= 126) {
            result.push_back(c);
        }
    }
    return result;
}

} // namespace

PilotLog::PilotLog(Clock& clock, FileSystem& fileSystem, CheckOption& logEnabled, int& logBufSize,
                   std::string logDir, SendToChannel sendToChannel, Reporter reportError,
                   Reporter trace)
    : clock_(clock), logEnabled_(logEnabled), logBufSize_(logBufSize), logDir_(std::move(logDir)),
      sendToChannel_(std::move(sendToChannel)), reportError_(std::move(reportError)),
      trace_(std::move(trace)), writer_(fileSystem) {}

PilotLog::LocalTime PilotLog::now() const {
    const std::int64_t ms = clock_.wallClockMs();
    const std::time_t seconds = static_cast<std::time_t>(ms >= 0 ? ms / 1000 : (ms - 999) / 1000);
    std::tm parts{};
    if (localtime_r(&seconds, &parts) == nullptr) {
        return {1970, 1, 1, 0, 0, 0};
    }
    return {parts.tm_year + 1900, parts.tm_mon + 1, parts.tm_mday,
            parts.tm_hour,        parts.tm_min,     parts.tm_sec};
}

void PilotLog::AddLogLine(const std::string& message) {
    if (!Enabled() || message.size() < 2) {
        return;
    }
    const LocalTime time = now();
    if (fileName_.empty()) {
        fileName_ = TwoDigits(time.year) + TwoDigits(time.month) + TwoDigits(time.day) + "_" +
                    TwoDigits(time.hour) + TwoDigits(time.minute) + ".log";
    }
    const std::string line =
        TwoDigits(time.hour) + ":" + TwoDigits(time.minute) + "; " + Printable(message);
    // A file that failed does not cost the line its place in the buffer: the pilot can still
    // see it in the Log tab and the console.
    if (headerWritten_ || openRunFile(time)) {
        const LogWriteResult result = writer_.Append(LogFilePath(), line + "\r\n");
        if (result.ok) {
            clearReported();
        } else {
            report(result.message);
        }
    }
    appendToBuffer(line);
}

bool PilotLog::openRunFile(const LocalTime& time) {
    const LogWriteResult folder = writer_.CreateFolder(logDir_);
    if (!folder.ok) {
        report(folder.message);
        return false;
    }
    const std::string header = "Log created " + std::to_string(time.year) + "-" +
                               TwoDigits(time.month) + "-" + TwoDigits(time.day) + "; " +
                               TwoDigits(time.hour) + ":" + TwoDigits(time.minute) + ":" +
                               TwoDigits(time.second);
    // Appended, never truncated: a second run started in the same minute shares the file
    // name and must not wipe the first run's log. A line cut short by a killed run is ended
    // first, so the header starts a line of its own.
    const std::string lineEnd = writer_.EndsInsideALine(LogFilePath()) ? "\r\n" : "";
    const LogWriteResult result = writer_.Append(LogFilePath(), lineEnd + header + "\r\n");
    if (!result.ok) {
        report(result.message);
        return false;
    }
    headerWritten_ = true;
    appendToBuffer(header);
    return true;
}

void PilotLog::ShowLogEntry(int step) {
    std::string text = "Log is Empty";
    if (!lines_.empty()) {
        const long long count = static_cast<long long>(lines_.size());
        const long long moved = static_cast<long long>(cursor_) + step;
        cursor_ = static_cast<int>(std::clamp(moved, 1LL, count));
        text = lines_[static_cast<std::size_t>(cursor_ - 1)];
        // The chat line is short: keep the end of a long entry, where the message is.
        if (text.rfind("Log", 0) != 0 && text.size() > ShownTail) {
            text = text.substr(text.size() - ShownTail);
        }
    }
    if (sendToChannel_) {
        sendToChannel_(text, true, 1);
    }
}

void PilotLog::DeleteCurrentLogEntry() {
    if (cursor_ >= 1 && static_cast<std::size_t>(cursor_) <= lines_.size()) {
        const auto index = static_cast<std::size_t>(cursor_ - 1);
        lines_.erase(lines_.begin() + static_cast<std::ptrdiff_t>(index));
        notify({LogBufferChange::Kind::Removed, index, 1, {}});
    }
    ShowLogEntry(-1);
}

int PilotLog::Clamp(int lines) {
    return std::clamp(lines, MinLogBufSize, MaxLogBufSize);
}

int PilotLog::LogBufSize() const {
    return Clamp(logBufSize_);
}

void PilotLog::SetLogBufSize(int lines) {
    const int size = Clamp(lines);
    if (size != lines && trace_) {
        trace_("TrelkPro: LogBufSize " + std::to_string(lines) + " is out of range, using " +
               std::to_string(size));
    }
    logBufSize_ = size;
    const auto limit = static_cast<std::size_t>(size);
    if (lines_.size() > limit) {
        removeFront(lines_.size() - limit);
    }
}

void PilotLog::appendToBuffer(std::string line) {
    lines_.push_back(std::move(line));
    notify({LogBufferChange::Kind::Appended, lines_.size() - 1, 1, lines_.back()});
    // The stored size may have been changed by a settings load since the last line.
    SetLogBufSize(logBufSize_);
}

void PilotLog::removeFront(std::size_t count) {
    lines_.erase(lines_.begin(), lines_.begin() + static_cast<std::ptrdiff_t>(count));
    notify({LogBufferChange::Kind::Removed, 0, count, {}});
}

void PilotLog::addBufferView(std::function<void(const LogBufferChange&)> view) {
    views_.push_back(std::move(view));
}

void PilotLog::notify(const LogBufferChange& change) {
    for (const auto& view : views_) {
        view(change);
    }
}

void PilotLog::report(const std::string& message) {
    if (trace_) {
        trace_("TrelkPro: " + message);
    }
    // A full disk fails every line: one message until writing works again, not a box per
    // chat line while the pilot is in the game.
    if (message == lastReported_) {
        return;
    }
    lastReported_ = message;
    if (reportError_) {
        reportError_(message);
    }
}

} // namespace trelk

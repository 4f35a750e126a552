#include "DatabaseDownload.h"

#include "downloads/DatabaseConversion.h"

#include <utility>

namespace trelk {

namespace {

const std::string ShuttingDownText = "Please wait. Trelk is Shutting Down!";

} // namespace

DatabaseDownload::DatabaseDownload(EventLoop& loop, TimerFactory& timers, FileSystem& files,
                                   HttpClients& clients, const std::atomic<bool>& shuttingDown,
                                   std::string dataDir, Settings settings, Hooks hooks)
    : files_(files), clients_(clients), shuttingDown_(shuttingDown), dataDir_(std::move(dataDir)),
      settings_(settings), hooks_(std::move(hooks)),
      closeTimer_(timers.createTimer("tmrConvClose", CloseDelayMs)),
      alive_(std::make_shared<DatabaseDownload*>(this)),
      worker_(loop, {.start = {},
                     .execute = [this](Worker&) { BMDThread1Execute(); },
                     .terminate = [this] { BMDThread1Terminate(); }}) {
    closeTimer_->setHandler([this] {
        closeTimer_->setEnabled(false);
        closeDialog();
    });
}

DatabaseDownload::~DatabaseDownload() {
    cancel_ = true;
    clients_.HTTP1().disconnect();
    worker_.Stop();
}

void DatabaseDownload::changed() {
    for (const auto& view : views_) {
        view();
    }
}

void DatabaseDownload::status(const std::string& text) {
    statusText_ = text;
    changed();
}

void DatabaseDownload::mainStatus(const std::string& text) {
    if (hooks_.setStatusText) {
        hooks_.setStatusText(text);
    }
}

void DatabaseDownload::RetrieveDatabase(std::function<void()> afterClose) {
    if (afterClose) {
        afterClose_.push_back(std::move(afterClose));
    }
    if (open_) {
        return;
    }
    mainStatus(RetrievingText);
    open_ = true;
    caption_ = CaptionText + SiteName(settings_.DatabaseURL);
    progressPosition_ = 0;
    progressMax_ = 100;
    statusText_.clear();
    if (hooks_.showDialog) {
        hooks_.showDialog();
    }
    FormShow();
}

void DatabaseDownload::AfterClose(std::function<void()> step) {
    if (open_) {
        afterClose_.push_back(std::move(step));
    } else if (step) {
        step();
    }
}

void DatabaseDownload::WhenDownloadEnds(std::function<void()> step) {
    if (open_) {
        afterDownload_.push_back(std::move(step));
    } else if (step) {
        step();
    }
}

void DatabaseDownload::downloadEnded() {
    std::vector<std::function<void()>> steps = std::exchange(afterDownload_, {});
    for (const auto& step : steps) {
        step();
    }
}

void DatabaseDownload::FormShow() {
    outputPath_ = dataDir_ + FileName;
    clients_.CopyProxyToDatabaseClient();
    requestUrl_ = RequestUrl(settings_.DatabaseURL);
    HTTP1Status("Connecting to " + SiteName(requestUrl_));
    worker_.Start();
}

void DatabaseDownload::FormClose() {
    if (!open_) {
        return;
    }
    // The transfer ends within a poll of the client; its completion must not run afterwards.
    cancel_ = true;
    clients_.HTTP1().disconnect();
    worker_.Stop();
    cancel_ = false;
    closeTimer_->setEnabled(false);
    closeDialog();
}

void DatabaseDownload::closeDialog() {
    open_ = false;
    DatabaseText.clear();
    DatabaseText.shrink_to_fit();
    if (hooks_.closeDialog) {
        hooks_.closeDialog();
    }
    mainStatus("");
    downloadEnded();
    // A step may open the dialog again; what it hands in then waits for that one.
    std::vector<std::function<void()>> steps = std::exchange(afterClose_, {});
    for (const auto& step : steps) {
        step();
    }
}

void DatabaseDownload::HTTP1Status(const std::string& text) {
    status(text);
}

void DatabaseDownload::HTTP1WorkBegin(std::int64_t expected) {
    if (!open_) {
        return;
    }
    progressPosition_ = 0;
    progressMax_ = expected;
    if (expected > 0) {
        statusText_ = "Transfering: " + std::to_string(expected);
    }
    changed();
}

void DatabaseDownload::HTTP1Work(std::int64_t received) {
    if (shuttingDown_) {
        clients_.HTTP1().disconnect();
        return;
    }
    if (!open_) {
        return;
    }
    if (progressMax_ <= 0) {
        statusText_ = std::to_string(received) + " bytes.";
    } else {
        statusText_ =
            std::to_string(received) + " bytes of " + std::to_string(progressMax_) + " bytes.";
        progressPosition_ = received;
    }
    changed();
}

void DatabaseDownload::HTTP1WorkEnd() {
    if (!open_) {
        return;
    }
    progressPosition_ = 0;
    status("Data Saved");
}

void DatabaseDownload::BMDThread1Execute() {
    DatabaseText.clear();
    downloadError_.clear();
    if (shuttingDown_ || cancel_) {
        return;
    }
    const HttpProgress progress =
        ProgressWhileAlive(alive_, &DatabaseDownload::HTTP1WorkBegin, &DatabaseDownload::HTTP1Work,
                           &DatabaseDownload::HTTP1WorkEnd);
    HttpResult result = clients_.HTTP1().get(
        requestUrl_, progress, [this] { return shuttingDown_.load() || cancel_.load(); });
    if (result.ok) {
        DatabaseText = std::move(result.body);
    } else {
        downloadError_ = result.error;
    }
}

void DatabaseDownload::BMDThread1Terminate() {
    clients_.HTTP1().disconnect();
    if (shuttingDown_) {
        status(ShuttingDownText);
        return;
    }
    if (!open_) {
        return;
    }
    if (DatabaseText.size() > MinimumCharacters) {
        ConvertDatabase();
        downloadEnded();
        return;
    }
    if (hooks_.trace) {
        hooks_.trace("TrelkPro: database download failed: " +
                     (downloadError_.empty() ? "the reply holds no database" : downloadError_));
    }
    if (hooks_.addLogLine) {
        hooks_.addLogLine(FailedText);
    }
    progressPosition_ = 0;
    status(FailedText);
    downloadEnded();
}

void DatabaseDownload::ConvertDatabase() {
    status("Parsing Data");
    const DatabaseConversion conversion = trelk::ConvertDatabase(DatabaseText);
    DatabaseText.clear();
    DatabaseText.shrink_to_fit();
    if (!conversion.ok) {
        if (hooks_.addLogLine) {
            hooks_.addLogLine(conversion.error);
        }
        status(conversion.error);
        return;
    }
    status("Saving data file");
    // The previous database stays whole until the new one is complete on the disk.
    const FileWriteResult written = files_.replaceFile(outputPath_, conversion.fileText);
    if (!written.ok) {
        const std::string message = "Unable to write " + outputPath_ + " (" + written.error +
                                    "); the database was not changed.";
        if (hooks_.addLogLine) {
            hooks_.addLogLine(message);
        }
        status(message);
        return;
    }
    settings_.TrkDate = conversion.date;
    ShowTrkDate();
    if (hooks_.saveTrkDate) {
        hooks_.saveTrkDate();
    }
    status("Data Conversion Complete!");
    closeTimer_->setInterval(CloseDelayMs);
    closeTimer_->setEnabled(true);
}

void DatabaseDownload::ShowTrkDate() {
    for (const auto& view : dateViews_) {
        view(settings_.TrkDate);
    }
}

void DatabaseDownload::StopWorker() {
    cancel_ = true;
    clients_.HTTP1().disconnect();
    worker_.Stop();
    cancel_ = false;
    closeTimer_->setEnabled(false);
    afterDownload_.clear();
    if (open_) {
        open_ = false;
        afterClose_.clear();
        if (hooks_.closeDialog) {
            hooks_.closeDialog();
        }
    }
}

} // namespace trelk

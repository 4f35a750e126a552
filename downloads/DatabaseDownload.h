#pragma once

#include "core/HookSlots.h"
#include "core/Worker.h"
#include "downloads/HttpClients.h"
#include "platform/ports/EventLoop.h"
#include "platform/ports/FileSystem.h"
#include "platform/ports/Timers.h"

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace trelk {

// The coordinate database download: the dialog fmTrelkConv without its widgets (caption,
// progress bar, status text), its worker BMDThread1 that fetches the document, the conversion
// into "MyLumacor.dat" and the database date "TrkDate" with its label lblTrkFileDate.
// Main thread only, except the worker's execute step.
//
// The dialog is modal for the pilot, but the program does not wait in it: RetrieveDatabase
// returns once the dialog is shown, and what has to follow the dialog is handed in to run when
// it closes.
class DatabaseDownload {
public:
    struct Hooks {
        std::function<void(const std::string&)> setStatusText{}; // main status bar, panel 1
        std::function<void()> showDialog{};                      // the main window shows it
        std::function<void()> closeDialog{};
        std::function<bool()> saveTrkDate{}; // SettingsController::SaveTrkDate
        std::function<void(const std::string&)> addLogLine{};
        std::function<void(const std::string&)> trace{};
    };
    // The values of the "Setup" section the download reads and writes.
    struct Settings {
        const std::string& DatabaseURL;
        std::string& TrkDate;
    };

    static constexpr const char* CaptionText = "Downloading Lumacor Database from ";
    static constexpr const char* RetrievingText = "Retrieving Roid Database";
    static constexpr const char* FailedText =
        "Unable to Retrieve Data! Check Internet connection or proxy settings.";
    static constexpr const char* FileName = "MyLumacor.dat";
    static constexpr int ClientWidth = 554;
    static constexpr int ClientHeight = 128;
    static constexpr int ProgressPanelWidth = 200;
    // A reply of this size or less is no database.
    static constexpr std::size_t MinimumCharacters = 100;
    static constexpr int CloseDelayMs = 1000;

    DatabaseDownload(EventLoop& loop, TimerFactory& timers, FileSystem& files, HttpClients& clients,
                     const std::atomic<bool>& shuttingDown, std::string dataDir, Settings settings,
                     Hooks hooks);
    ~DatabaseDownload();
    DatabaseDownload(const DatabaseDownload&) = delete;
    DatabaseDownload& operator=(const DatabaseDownload&) = delete;

    // Shows the dialog, which downloads and converts at once; afterClose runs when it has
    // closed, whichever way. While the dialog is open already, only afterClose is taken.
    void RetrieveDatabase(std::function<void()> afterClose = {});
    // Runs step when the dialog has closed (now, when it is not open).
    void AfterClose(std::function<void()> step);
    // Runs step once the download is over: the file written, or the failure shown (the dialog
    // may still be open), or the dialog closed; now, when the dialog is not open.
    void WhenDownloadEnds(std::function<void()> step);
    bool DialogOpen() const { return open_; }

    // The dialog's events.
    void FormShow();
    // The window's close box (and the hidden "Exit" button): a transfer still running is
    // dropped, and its end changes nothing.
    void FormClose();
    void HTTP1Status(const std::string& text);
    void HTTP1WorkBegin(std::int64_t expected);
    void HTTP1Work(std::int64_t received);
    void HTTP1WorkEnd();

    // What the dialog shows; the view subscribes and reads them on every change.
    const std::string& Caption() const { return caption_; }
    std::int64_t ProgressPosition() const { return progressPosition_; }
    std::int64_t ProgressMax() const { return progressMax_; }
    const std::string& StatusText() const { return statusText_; }
    void addView(std::function<void()> changed) { views_.push_back(std::move(changed)); }

    // The "Roid Database" group's "Date Created:" label.
    const std::string& TrkFileDate() const { return settings_.TrkDate; }
    void addDateView(std::function<void(const std::string&)> view) {
        dateViews_.push_back(std::move(view));
    }
    // The date as the settings hold it now (after they were loaded).
    void ShowTrkDate();

    // FormClose of the main window: the transfer dropped, the worker stopped, the dialog gone.
    void StopWorker();
    bool DownloadRunning() const { return worker_.Running(); }
    Timer& CloseTimer() { return *closeTimer_; }
    const Hooks& hooks() const { return hooks_; }
    const std::string& OutputPath() const { return outputPath_; }

private:
    void BMDThread1Execute();
    void BMDThread1Terminate();
    void ConvertDatabase();
    void closeDialog();
    void downloadEnded();
    void changed();
    void status(const std::string& text);
    void mainStatus(const std::string& text);

    FileSystem& files_;
    HttpClients& clients_;
    const std::atomic<bool>& shuttingDown_;
    const std::string dataDir_;
    Settings settings_;
    Hooks hooks_;
    std::unique_ptr<Timer> closeTimer_;

    bool open_ = false;
    std::vector<std::function<void()>> afterClose_;
    std::vector<std::function<void()>> afterDownload_;
    std::string caption_;
    std::string outputPath_;
    std::int64_t progressPosition_ = 0;
    std::int64_t progressMax_ = 100;
    std::string statusText_;
    std::vector<std::function<void()>> views_;
    std::vector<std::function<void(const std::string&)>> dateViews_;

    // Written by the worker, read on the main thread after its completion ran.
    std::string requestUrl_;
    std::string DatabaseText;
    std::string downloadError_;
    // The worker stops at once (the dialog closed, destruction, FormClose).
    std::atomic<bool> cancel_{false};
    // Progress events posted by the HTTP client run only while this object lives.
    std::shared_ptr<DatabaseDownload*> alive_;
    Worker worker_; // BMDThread1
};

template <> struct HookSlotList<DatabaseDownload::Hooks> {
    using S = DatabaseDownload::Hooks;
    static constexpr const char* Name = "DatabaseDownload::Hooks";
    static constexpr std::tuple Slots{
        TRELK_HOOK_SLOT(S, setStatusText), TRELK_HOOK_SLOT(S, showDialog),
        TRELK_HOOK_SLOT(S, closeDialog),   TRELK_HOOK_SLOT(S, saveTrkDate),
        TRELK_HOOK_SLOT(S, addLogLine),    TRELK_HOOK_SLOT(S, trace),
    };
};
static_assert(ListsEverySlot<DatabaseDownload::Hooks>());

} // namespace trelk

#pragma once

#include "core/HookSlots.h"
#include "core/VersionInfo.h"
#include "core/Worker.h"
#include "platform/ports/EventLoop.h"
#include "platform/ports/Http.h"

#include <atomic>
#include <functional>
#include <string>

namespace trelk {

// The version and database update check: the worker BMDThread3 asks the database service for
// the date of its newest database and the update service for the newest program version; the
// completion fetches a newer database and announces a newer program in the caption. Started
// at start-up, by the "Roid Database" group's "Update" button and by "//getroid".
//
// Dates are compared as numbers once their '-' are gone. A reply that is not such a number is
// no answer ("Unable to verify version of database"); a local date that is not one counts as
// older than any. A version reply that is not digits and dots is no answer either.
class UpdateCheck {
public:
    struct Hooks {
        std::function<void(const std::string&)> setStatusText{}; // main status bar, panel 1
        std::function<void(const std::string&)> setCaption{};
        std::function<void()> flashWindow{}; // the main window asks for attention
        std::function<bool(const std::string&)> confirm{};
        // DatabaseDownload::RetrieveDatabase; then runs when its dialog has closed.
        std::function<void(std::function<void()> then)> retrieveDatabase{};
        std::function<void(const std::string&)> trace{};
    };
    // The values of the "Setup" section the check reads.
    struct Settings {
        const std::string& DBDateURL;
        const std::string& TrelkVersionURL;
        const std::string& TrkDate;
        const std::string& InstallCode;
    };

    static constexpr const char* CheckingText = "Checking for new versions";
    static constexpr const char* RetrieveAnywayQuestion =
        "You all ready have the latest Data. Do you want to retrieve anyway?";

    UpdateCheck(EventLoop& loop, HttpClient& http2, const std::atomic<bool>& shuttingDown,
                const VersionInfo& version, Settings settings, Hooks hooks);
    ~UpdateCheck();
    UpdateCheck(const UpdateCheck&) = delete;
    UpdateCheck& operator=(const UpdateCheck&) = delete;

    // Starts the worker; nothing happens while it runs.
    void StartUpdateCheck();
    // The "Update" button: a current database asks whether to fetch it anyway.
    void btnDownloadClick();
    // "//getroid": the database is fetched whatever its date.
    void ForceUpdateCheck();

    // "host:port" of the update service, named in the update caption.
    std::string MakerWebSite() const;
    // What the version request asks: the address with "3.11.3_" and the installation code,
    // encoded for the request line.
    std::string VersionRequestUrl() const;

    // FormClose: the requests dropped, the worker stopped (its completion does not run).
    void StopWorker();
    bool Running() const { return worker_.Running(); }
    bool ManualCheck() const { return manualCheck_; }
    bool ForceDownload() const { return forceDownload_; }
    const Hooks& hooks() const { return hooks_; }

private:
    void BMDThread3Execute(Worker& worker);
    void BMDThread3Terminate();
    void checkProgram();
    void finish();
    void status(const std::string& text);
    void trace(const std::string& text);

    HttpClient& http_;
    const std::atomic<bool>& shuttingDown_;
    const VersionInfo& version_;
    Settings settings_;
    Hooks hooks_;
    bool manualCheck_ = false;
    bool forceDownload_ = false;

    // Written by the worker, read on the main thread after its completion ran.
    std::string dateUrl_;
    std::string versionUrl_;
    std::string DateReply;
    std::string VersionReply;
    std::atomic<bool> cancel_{false};
    Worker worker_; // BMDThread3
};

template <> struct HookSlotList<UpdateCheck::Hooks> {
    using S = UpdateCheck::Hooks;
    static constexpr const char* Name = "UpdateCheck::Hooks";
    static constexpr std::tuple Slots{
        TRELK_HOOK_SLOT(S, setStatusText),    TRELK_HOOK_SLOT(S, setCaption),
        TRELK_HOOK_SLOT(S, flashWindow),      TRELK_HOOK_SLOT(S, confirm),
        TRELK_HOOK_SLOT(S, retrieveDatabase), TRELK_HOOK_SLOT(S, trace),
    };
};
static_assert(ListsEverySlot<UpdateCheck::Hooks>());

} // namespace trelk

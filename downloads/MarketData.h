#pragma once

#include "console/ConsoleNavigation.h"
#include "console/ConsolePage.h"
#include "core/CheckOption.h"
#include "core/HookSlots.h"
#include "core/Worker.h"
#include "downloads/MarketTables.h"
#include "platform/ports/EventLoop.h"
#include "platform/ports/Http.h"
#include "platform/ports/Timers.h"

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

namespace trelk {

// The market: the "Market" group of the Setup tab (the switch and the refresh interval), the
// download and parse workers with their status texts, and the three console pages of the
// "Market Database" mode. Main thread only, except the two workers' execute steps.
//
// Enabling the updates loads the market once and arms the refresh timer, which then loads it
// again every interval while the updates stay on.
class MarketData {
public:
    struct Hooks {
        std::function<void(const std::string&)> setStatusText{}; // status bar, second panel
        std::function<void(const std::string&)> setTrayHint{};   // the tray icon's hint
        std::function<std::string()> caption{};                  // the window caption
        std::function<void(const std::string&)> addLogLine{};    // PilotLog::AddLogLine
        // RegistryValues::WriteInterfaceValue.
        std::function<void(const std::string& name, const std::string& value)>
            writeInterfaceValue{};
        std::function<void(const std::string&)> trace{}; // TraceOutput::Trace
    };
    // The values of the "Setup" section the market reads and writes.
    struct Settings {
        int& MarketUpdateInterval; // minutes
        const std::string& ALDWYNURL;
        std::function<MarketTableSizes()> sizes{};
    };

    static constexpr const char* ServerName = "US"; // MarketServerName
    static constexpr const char* UnavailableLine = "**** Market Data Unavailable ****";
    static constexpr int SkippedCharacters = 48;
    static constexpr int MinInterval = 3;
    static constexpr int MaxInterval = 30;
    static constexpr int StatusClearMs = 2000;

    MarketData(EventLoop& loop, TimerFactory& timers, HttpClient& http,
               const std::atomic<bool>& shuttingDown, CheckOption& marketEnable, Settings settings,
               ConsoleNavigation& nav, ConsolePage& page, Hooks hooks);
    ~MarketData();
    MarketData(const MarketData&) = delete;
    MarketData& operator=(const MarketData&) = delete;

    // The Setup tab's "Market" group.
    void cbMarketEnableClick();
    void ApplyMarketEnable();
    void StartMarketLoad(); // also the refresh timer and "//getmarket"
    void Timer1Timer();
    void Timer2Timer();
    // The spin edit's value (kept within 3..30, as the control is).
    void seMarketUpdateIntervalChange(int minutes);
    // What the spin edit shows: the setting, kept within the control's range.
    int SpinValue() const { return interval(); }
    // The spin edit shows this value; the view subscribes.
    void addSpinView(std::function<void(int)> view) { spinViews_.push_back(std::move(view)); }

    // Transfer progress of the market client (main thread).
    void HTTPWorkBegin(std::int64_t expected);
    void HTTPWork(std::int64_t received);
    void HTTPWorkEnd();

    // The console pages of the "Market Database" mode: page 1 categories, 2 items of the
    // chosen category, 3 one cell line per location of the chosen item.
    void MarketPage(int page, bool up);
    void ShowMarketCategories();
    void ShowMarketItems(bool up);
    void ShowMarketLocations(bool up);

    // FormClose: the connection dropped, both workers stopped (their completions do not run).
    void Disconnect();
    void StopWorkers();

    const Hooks& hooks() const { return hooks_; }
    bool MarketEnabled() const { return marketEnabled_; }
    bool MarketLoaded() const { return marketLoaded_; }
    const std::string& MarketUrl() const { return marketUrl_; }
    const MarketTables& Tables() const { return *tables_; }
    bool DownloadRunning() const { return download_.Running(); }
    bool ParseRunning() const { return parse_.Running(); }
    Timer& RefreshTimer() { return *timer1_; }
    Timer& StatusTimer() { return *timer2_; }

private:
    void BMDThread1Execute();
    void BMDThread1Terminate();
    void BMDThread2Execute();
    void BMDThread2Terminate();
    void status(const std::string& text);
    void trayHint(const std::string& text);
    void log(const std::string& text);
    bool showsData() const { return marketEnabled_ && marketLoaded_; }
    int interval() const;
    void setSpin(int minutes);

    EventLoop& loop_;
    HttpClient& http_;
    const std::atomic<bool>& shuttingDown_;
    CheckOption& marketEnable_;
    Settings settings_;
    ConsoleNavigation& nav_;
    ConsolePage& page_;
    Hooks hooks_;
    std::unique_ptr<Timer> timer1_;
    std::unique_ptr<Timer> timer2_;

    bool marketEnabled_ = false;
    bool marketLoaded_ = false;
    std::string marketUrl_;
    std::vector<std::function<void(int)>> spinViews_;
    std::int64_t expectedSize_ = 0;

    // Written by a worker, read on the main thread after its completion ran.
    std::string requestUrl_;
    std::string marketText_;
    std::string downloadError_;
    MarketTableSizes parseSizes_;
    MarketParseResult parsed_;
    // What the console shows: replaced whole by a complete parse only.
    std::shared_ptr<const MarketTables> tables_;
    // Set by ApplyMarketEnable while a download still runs: it loads again when that ends.
    bool reloadPending_ = false;
    // The workers stop at once (destruction, FormClose).
    std::atomic<bool> cancel_{false};
    // Progress events posted by the HTTP client run only while this object lives.
    std::shared_ptr<MarketData*> alive_;

    Worker download_; // BMDThread1
    Worker parse_;    // BMDThread2
};

template <> struct HookSlotList<MarketData::Hooks> {
    using S = MarketData::Hooks;
    static constexpr const char* Name = "MarketData::Hooks";
    static constexpr std::tuple Slots{
        TRELK_HOOK_SLOT(S, setStatusText),
        TRELK_HOOK_SLOT(S, setTrayHint),
        TRELK_HOOK_SLOT(S, caption),
        TRELK_HOOK_SLOT(S, addLogLine),
        TRELK_HOOK_SLOT(S, writeInterfaceValue),
        TRELK_HOOK_SLOT(S, trace),
    };
};
static_assert(ListsEverySlot<MarketData::Hooks>());

} // namespace trelk

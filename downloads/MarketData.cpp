#include "MarketData.h"

#include "console/BuiltinPages.h"
#include "console/ConsoleLines.h"
#include "downloads/HttpClients.h"

#include <algorithm>

namespace trelk {

namespace {

const std::string Server = MarketData::ServerName;
const std::string ShuttingDownText = "Please wait. Trelk is Shutting Down!";

int PageCount(int count) {
    return std::clamp(count, 0, ConsoleLines::MaxLength);
}

} // namespace

MarketData::MarketData(EventLoop& loop, TimerFactory& timers, HttpClient& http,
                       const std::atomic<bool>& shuttingDown, CheckOption& marketEnable,
                       Settings settings, ConsoleNavigation& nav, ConsolePage& page, Hooks hooks)
    : loop_(loop), http_(http), shuttingDown_(shuttingDown), marketEnable_(marketEnable),
      settings_(std::move(settings)), nav_(nav), page_(page), hooks_(std::move(hooks)),
      timer1_(timers.createTimer("Timer1", 0)),
      timer2_(timers.createTimer("Timer2", StatusClearMs)),
      tables_(std::make_shared<const MarketTables>()), alive_(std::make_shared<MarketData*>(this)),
      download_(loop, {.start = [this] { requestUrl_ = marketUrl_; },
                       .execute = [this](Worker&) { BMDThread1Execute(); },
                       .terminate = [this] { BMDThread1Terminate(); }}),
      parse_(loop, {.start =
                        [this] {
                            status("Sorting " + Server + " Market Data");
                            parseSizes_ = settings_.sizes ? settings_.sizes() : MarketTableSizes{};
                        },
                    .execute = [this](Worker&) { BMDThread2Execute(); },
                    .terminate = [this] { BMDThread2Terminate(); }}) {
    timer1_->setHandler([this] { Timer1Timer(); });
    timer2_->setHandler([this] { Timer2Timer(); });
    marketEnable_.setOnClick([this] { cbMarketEnableClick(); });
}

MarketData::~MarketData() {
    StopWorkers();
}

int MarketData::interval() const {
    return std::clamp(settings_.MarketUpdateInterval, MinInterval, MaxInterval);
}

void MarketData::setSpin(int minutes) {
    const int value = std::clamp(minutes, MinInterval, MaxInterval);
    for (const auto& view : spinViews_) {
        view(value);
    }
}

void MarketData::status(const std::string& text) {
    if (hooks_.setStatusText) {
        hooks_.setStatusText(text);
    }
}

void MarketData::trayHint(const std::string& text) {
    if (hooks_.setTrayHint) {
        hooks_.setTrayHint((hooks_.caption ? hooks_.caption() : std::string()) + "\r" + text);
    }
}

void MarketData::log(const std::string& text) {
    if (hooks_.addLogLine) {
        hooks_.addLogLine(text);
    }
}

void MarketData::cbMarketEnableClick() {
    if (hooks_.writeInterfaceValue) {
        hooks_.writeInterfaceValue("Server", Server);
    }
    marketEnabled_ = marketEnable_.checked();
    marketUrl_ = marketEnabled_ ? settings_.ALDWYNURL : std::string();
    ApplyMarketEnable();
}

void MarketData::ApplyMarketEnable() {
    std::string text;
    if (marketEnabled_) {
        // The refresh runs from here on, every interval, until the updates are switched off.
        timer1_->setInterval(interval() * 60000);
        timer1_->setEnabled(true);
        setSpin(settings_.MarketUpdateInterval);
        text = "Loading " + Server + " Market Data";
        status(text);
        http_.disconnect();
        // The dropped download ends first; its completion starts the new one.
        if (!download_.Start()) {
            reloadPending_ = true;
        }
    } else {
        timer1_->setInterval(0);
        timer1_->setEnabled(false);
        text = "Market Updates Disabled";
        status(text);
    }
    trayHint(text);
    log(text);
}

void MarketData::StartMarketLoad() {
    const std::string text = "Loading " + Server + " Market Data";
    status(text);
    trayHint(text);
    log(text);
    download_.Start();
}

void MarketData::Timer1Timer() {
    timer1_->setInterval(interval() * 60000);
    StartMarketLoad();
    timer1_->setEnabled(true);
}

void MarketData::Timer2Timer() {
    timer2_->setEnabled(false);
    status("");
    if (hooks_.setTrayHint) {
        hooks_.setTrayHint(hooks_.caption ? hooks_.caption() : std::string());
    }
}

void MarketData::seMarketUpdateIntervalChange(int minutes) {
    settings_.MarketUpdateInterval = std::clamp(minutes, MinInterval, MaxInterval);
    setSpin(settings_.MarketUpdateInterval);
    timer1_->setInterval(settings_.MarketUpdateInterval * 60000);
}

void MarketData::HTTPWorkBegin(std::int64_t expected) {
    expectedSize_ = expected;
    if (expected > 0) {
        status("Transfering: " + std::to_string(expected));
    }
}

void MarketData::HTTPWork(std::int64_t received) {
    if (shuttingDown_) {
        status(ShuttingDownText);
        trayHint(ShuttingDownText);
        http_.disconnect();
        return;
    }
    status(std::to_string(received) + " bytes of " + std::to_string(expectedSize_) + " bytes.");
}

void MarketData::HTTPWorkEnd() {
    status("");
}

void MarketData::BMDThread1Execute() {
    marketText_.clear();
    downloadError_.clear();
    if (shuttingDown_ || cancel_) {
        return;
    }
    const HttpProgress progress = ProgressWhileAlive(
        alive_, &MarketData::HTTPWorkBegin, &MarketData::HTTPWork, &MarketData::HTTPWorkEnd);
    HttpResult result =
        http_.get(requestUrl_, progress, [this] { return shuttingDown_.load() || cancel_.load(); });
    if (!result.ok) {
        downloadError_ = result.error;
        return;
    }
    marketText_ = std::move(result.body);
    if (marketText_.size() <= static_cast<std::size_t>(SkippedCharacters)) {
        marketText_.clear();
    } else {
        marketText_.erase(0, SkippedCharacters);
    }
}

void MarketData::BMDThread1Terminate() {
    http_.disconnect();
    if (shuttingDown_) {
        status(ShuttingDownText);
        return;
    }
    marketLoaded_ = false;
    if (reloadPending_) {
        reloadPending_ = false;
        marketText_.clear();
        download_.Start();
        return;
    }
    if (!marketText_.empty()) {
        parse_.Start();
        return;
    }
    if (hooks_.trace && !downloadError_.empty()) {
        hooks_.trace("TrelkPro: market download failed: " + downloadError_);
    }
    log(Server + " Market Data Unavailable. Could not download from server.");
    const std::string text = Server + " Market Data Unavailable";
    status(text);
    trayHint(text);
}

void MarketData::BMDThread2Execute() {
    parsed_ = ParseMarket(marketText_, parseSizes_,
                          [this] { return shuttingDown_.load() || cancel_.load(); });
}

void MarketData::BMDThread2Terminate() {
    marketText_.clear();
    marketText_.shrink_to_fit();
    if (shuttingDown_) {
        status(ShuttingDownText);
        return;
    }
    if (parsed_.End == MarketParseEnd::Complete) {
        tables_ = std::make_shared<const MarketTables>(std::move(parsed_.Tables));
        marketLoaded_ = true;
        const std::string text = "Finished Market Load";
        status(text);
        trayHint(text);
        timer2_->setInterval(StatusClearMs);
        timer2_->setEnabled(true);
    } else {
        // A market the tables cannot hold is not loaded: said so, and the last tables stay.
        log(Server + " Market Data Unavailable. The market data does not fit the tables.");
        const std::string text = Server + " Market Data Unavailable";
        status(text);
        trayHint(text);
    }
    parsed_ = MarketParseResult{};
}

void MarketData::MarketPage(int page, bool up) {
    switch (page) {
    case 1:
        ShowMarketCategories();
        break;
    case 2:
        ShowMarketItems(up);
        break;
    case 3:
        ShowMarketLocations(up);
        break;
    default:
        break;
    }
}

void MarketData::ShowMarketCategories() {
    page_.SetPageTitle(Bracketed(nav_.CurrentModeName));
    page_.ClearPage();
    std::int32_t& selection = LevelSlot(nav_.LevelSelection, nav_.CurrentLevel);
    if (!showsData()) {
        page_.SizeLines(1);
        page_.AddPageLine(UnavailableLine, BuiltinPages::CodeMarked);
        selection = 0;
        page_.SelectLine(0);
        return;
    }
    const MarketTables& tables = *tables_;
    const int count = PageCount(tables.CategoryCount);
    page_.SizeLines(count);
    for (int c = 0; c < count; ++c) {
        page_.AddPageLine(c < static_cast<int>(tables.Categories.size())
                              ? tables.Categories[static_cast<std::size_t>(c)]
                              : std::string(),
                          BuiltinPages::CodeOrdinary);
    }
    selection = std::clamp(nav_.MarketSelection1, 0, std::max(count - 1, 0));
    page_.SelectLine(selection);
}

void MarketData::ShowMarketItems(bool up) {
    if (!up) {
        nav_.MarketSelection1 = LevelSlot(nav_.LevelSelection, 1);
    }
    page_.ClearPage();
    std::int32_t& selection = LevelSlot(nav_.LevelSelection, nav_.CurrentLevel);
    if (!showsData()) {
        page_.SetPageTitle(Bracketed(nav_.CurrentModeName));
        selection = 0;
        page_.SelectLine(0);
        return;
    }
    const MarketTables& tables = *tables_;
    const int c = nav_.MarketSelection1;
    const std::string category = c >= 0 && c < static_cast<int>(tables.Categories.size())
                                     ? tables.Categories[static_cast<std::size_t>(c)]
                                     : std::string();
    page_.SetPageTitle(Bracketed(nav_.CurrentModeName + "/" + category));
    const int count = PageCount(tables.ItemCount(c));
    page_.SizeLines(count);
    for (int i = 0; i < count; ++i) {
        page_.AddPageLine(tables.Item(c, i), BuiltinPages::CodeOrdinary);
    }
    selection = std::clamp(nav_.MarketSelection2, 0, std::max(count - 1, 0));
    page_.SelectLine(selection);
}

void MarketData::ShowMarketLocations(bool up) {
    if (!up) {
        nav_.MarketSelection2 = LevelSlot(nav_.LevelSelection, 2);
    }
    if (!showsData()) {
        return;
    }
    const MarketTables& tables = *tables_;
    const int c = nav_.MarketSelection1;
    const int i = nav_.MarketSelection2;
    const std::string category = c >= 0 && c < static_cast<int>(tables.Categories.size())
                                     ? tables.Categories[static_cast<std::size_t>(c)]
                                     : std::string();
    page_.SetPageTitle(Bracketed(nav_.CurrentModeName + "/" + category + "/" + tables.Item(c, i)));
    page_.ClearPage();
    const int count = PageCount(tables.LocationCount);
    page_.SizeLines(count);
    for (int l = 0; l < count; ++l) {
        page_.AddPageLine(tables.Cell(c, i, l), BuiltinPages::CodeOrdinary);
    }
    std::int32_t& selection = LevelSlot(nav_.LevelSelection, nav_.CurrentLevel);
    selection = std::clamp(selection, 0, std::max(count - 1, 0));
    page_.SelectLine(selection);
}

void MarketData::Disconnect() {
    http_.disconnect();
}

void MarketData::StopWorkers() {
    cancel_ = true;
    http_.disconnect();
    download_.Stop();
    parse_.Stop();
    cancel_ = false;
}

} // namespace trelk

#include "UpdateCheck.h"

#include "downloads/DatabaseConversion.h"
#include "downloads/HttpClients.h"

namespace trelk {

namespace {

constexpr std::size_t LongestVersion = 32;

std::string_view TrimLine(std::string_view text) {
    const auto first = text.find_first_not_of(" \t\r\n");
    if (first == std::string_view::npos) {
        return {};
    }
    return text.substr(first, text.find_last_not_of(" \t\r\n") - first + 1);
}

// "3.11.3": digits in groups separated by single dots.
bool IsVersion(std::string_view text) {
    if (text.empty() || text.size() > LongestVersion || text.front() == '.' || text.back() == '.' ||
        text.find("..") != std::string_view::npos) {
        return false;
    }
    return text.find_first_not_of("0123456789.") == std::string_view::npos;
}

} // namespace

UpdateCheck::UpdateCheck(EventLoop& loop, HttpClient& http2, const std::atomic<bool>& shuttingDown,
                         const VersionInfo& version, Settings settings, Hooks hooks)
    : http_(http2), shuttingDown_(shuttingDown), version_(version), settings_(settings),
      hooks_(std::move(hooks)),
      worker_(loop, {.start =
                         [this] {
                             dateUrl_ = RequestUrl(settings_.DBDateURL);
                             versionUrl_ = VersionRequestUrl();
                         },
                     .execute = [this](Worker& worker) { BMDThread3Execute(worker); },
                     .terminate = [this] { BMDThread3Terminate(); }}) {}

UpdateCheck::~UpdateCheck() {
    StopWorker();
}

void UpdateCheck::status(const std::string& text) {
    if (hooks_.setStatusText) {
        hooks_.setStatusText(text);
    }
}

void UpdateCheck::trace(const std::string& text) {
    if (hooks_.trace) {
        hooks_.trace(text);
    }
}

std::string UpdateCheck::MakerWebSite() const {
    return SiteName(settings_.TrelkVersionURL);
}

std::string UpdateCheck::VersionRequestUrl() const {
    return RequestUrl(settings_.TrelkVersionURL) +
           PercentEncoded(version_.versionText + "." + version_.buildText + "_" +
                          settings_.InstallCode);
}

void UpdateCheck::StartUpdateCheck() {
    worker_.Start();
}

void UpdateCheck::btnDownloadClick() {
    manualCheck_ = true;
    StartUpdateCheck();
}

void UpdateCheck::ForceUpdateCheck() {
    forceDownload_ = true;
    StartUpdateCheck();
}

void UpdateCheck::BMDThread3Execute(Worker& worker) {
    DateReply.clear();
    VersionReply.clear();
    auto cancelled = [this] { return shuttingDown_.load() || cancel_.load(); };
    worker.Update([this] { status(CheckingText); });
    if (!cancelled()) {
        HttpResult date = http_.get(dateUrl_, {}, cancelled);
        if (date.ok) {
            DateReply = std::move(date.body);
        }
    }
    if (!cancelled()) {
        HttpResult version = http_.get(versionUrl_, {}, cancelled);
        if (version.ok) {
            VersionReply = std::move(version.body);
        }
    }
}

void UpdateCheck::BMDThread3Terminate() {
    if (shuttingDown_) {
        status("Please wait. Trelk is Shutting Down!");
        return;
    }
    http_.disconnect();

    const std::optional<std::int64_t> server = DateNumber(DateReply);
    if (!server) {
        if (!DateReply.empty()) {
            trace("TrelkPro: the database date reply is not a date");
        }
        status("Unable to verify version of database");
    } else {
        const std::int64_t local = DateNumber(settings_.TrkDate).value_or(-1);
        if (*server > local || forceDownload_) {
            if (hooks_.retrieveDatabase) {
                hooks_.retrieveDatabase([this] { checkProgram(); });
                return;
            }
        } else {
            status("Database is current");
            if (manualCheck_ && hooks_.confirm && hooks_.confirm(RetrieveAnywayQuestion) &&
                hooks_.retrieveDatabase) {
                hooks_.retrieveDatabase([this] { checkProgram(); });
                return;
            }
        }
    }
    checkProgram();
}

void UpdateCheck::checkProgram() {
    const std::string_view reply = TrimLine(VersionReply);
    if (!IsVersion(reply)) {
        if (!reply.empty()) {
            trace("TrelkPro: the version reply is not a version");
        }
        status("Unable to verify version of Trelk");
    } else {
        const std::string local = version_.versionText + "." + version_.buildText;
        // By characters, as the service has always compared them: "3.9.1" is after "3.11.3".
        if (std::string_view(local) < reply) {
            if (hooks_.setCaption) {
                hooks_.setCaption(version_.productName + " " + local + "  *** Update Available @ " +
                                  MakerWebSite() + " ***");
            }
            if (hooks_.flashWindow) {
                hooks_.flashWindow();
            }
        }
    }
    finish();
}

void UpdateCheck::finish() {
    manualCheck_ = false;
    forceDownload_ = false;
}

void UpdateCheck::StopWorker() {
    cancel_ = true;
    http_.disconnect();
    worker_.Stop();
    cancel_ = false;
}

} // namespace trelk

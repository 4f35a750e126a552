#pragma once

#include "core/HookSlots.h"
#include "platform/ports/Timers.h"
#include "platform/ports/WebView.h"

#include <QImage>
#include <atomic>
#include <functional>
#include <memory>
#include <string>

namespace trelk {

// The hidden browser window (TForm2) as the console uses it: navigate, document complete and
// the capture of the page's top-left 512 x 256 pixels into the console picture
// (CopyWebToBMP), the busy indicator (tmrBrowserActive) and the release of the engine once it
// has not been used for a minute. Main thread only.
class WebBrowser {
public:
    struct Hooks {
        // UrlList: no capture after a load while the list is empty.
        std::function<bool()> urlListEmpty{};
        // The console shows a web page now (WebViewActive): a capture that arrives after the
        // pilot left the page is not pushed over the page he is on.
        std::function<bool()> webViewActive{};
        // The console is open: a page shown there counts as in use.
        std::function<bool()> consoleVisible{};
        // Image1 and ConsoleBitmapHandle take the capture; PushCapturedBitmap hands it over.
        std::function<void(const QImage&)> pushCapturedBitmap{};
        std::function<void()> inStationRefresh{}; // ConsoleAppearance::InStationRefresh
        // Each tick of tmrBrowserActive: the page list again, with its turning mark.
        std::function<void()> redrawPageList{};
        // A page that could not be loaded, in words (the status bar and the log).
        std::function<void(const std::string&)> reportDuringPlay{};
    };

    static constexpr int CaptureWidth = 512;
    static constexpr int CaptureHeight = 256;
    static constexpr int BusyIntervalMs = 250;
    static constexpr int ReleaseAfterMs = 60000;
    // After a load the page is scrolled back towards its top before the capture.
    static constexpr int CompleteScrollY = -100;

    WebBrowser(WebView& view, TimerFactory& timers, const std::atomic<bool>& shuttingDown,
               Hooks hooks);
    ~WebBrowser();

    // Loads the address into the browser; the engine starts if it is not running.
    void Navigate(const std::string& url);
    // The browser holds a document.
    bool HasDocument() const { return view_.hasDocument(); }
    // Scrolls the page by (dx, dy) pixels and captures it again.
    void ScrollBy(int dx, int dy);
    void CopyWebToBMP();

    // tmrBrowserActive.
    void SetBusy(bool run);
    bool Busy() const { return tmrBrowserActive_->enabled(); }
    // Shutting down: no engine, no timers.
    void Stop();

    const Hooks& hooks() const { return hooks_; }

private:
    void WebBrowser1DocumentComplete(bool ok);
    void Capture(int generation);
    void Used();
    void ReleaseIfIdle();

    WebView& view_;
    const std::atomic<bool>& shuttingDown_;
    Hooks hooks_;
    std::unique_ptr<Timer> tmrBrowserActive_;
    std::unique_ptr<Timer> releaseTimer_;
    std::string url_;
    // Counts navigations: a capture begun for an earlier page is dropped.
    int generation_ = 0;
};

template <> struct HookSlotList<WebBrowser::Hooks> {
    using S = WebBrowser::Hooks;
    static constexpr const char* Name = "WebBrowser::Hooks";
    static constexpr std::tuple Slots{
        TRELK_HOOK_SLOT(S, urlListEmpty),     TRELK_HOOK_SLOT(S, webViewActive),
        TRELK_HOOK_SLOT(S, consoleVisible),   TRELK_HOOK_SLOT(S, pushCapturedBitmap),
        TRELK_HOOK_SLOT(S, inStationRefresh), TRELK_HOOK_SLOT(S, redrawPageList),
        TRELK_HOOK_SLOT(S, reportDuringPlay),
    };
};
static_assert(ListsEverySlot<WebBrowser::Hooks>());

} // namespace trelk

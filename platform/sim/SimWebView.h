#pragma once

#include "platform/ports/EventLoop.h"
#include "platform/ports/WebView.h"

#include <map>
#include <string>
#include <vector>

namespace trelk {

// A page the sim browser shows: the whole document as one picture, or a load that fails.
struct SimWebPage {
    WebPicture document{};
    bool loads = true;
};

// The hidden browser without an engine: each address shows the picture the test set, and the
// view is the window of viewWidth x viewHeight over it at the scroll position. Answers come
// through the loop, as a real engine's do; a load completes at once or when the test says so.
class SimWebView final : public WebView {
public:
    explicit SimWebView(EventLoop& loop) : loop_(loop) {}

    void setCompletionHandler(std::function<void(bool ok)> handler) override;
    void navigate(const std::string& url) override;
    bool hasDocument() const override { return hasDocument_; }
    void scrollBy(int dx, int dy, std::function<void()> done) override;
    void bodyScrollWidth(std::function<void(int width)> answer) override;
    void setViewSize(int width, int height) override;
    int viewWidth() const override { return width_; }
    int viewHeight() const override { return height_; }
    void drawView(std::function<void(WebPicture picture)> done) override;
    void release() override;
    bool engineRunning() const override { return running_; }

    // The test's side.
    void setPage(const std::string& url, SimWebPage page);
    // While held, loads wait until completeHeld(); never released, a page never finishes.
    void holdLoads(bool hold) { holdLoads_ = hold; }
    void completeHeld();
    const std::vector<std::string>& navigations() const { return navigations_; }
    int engineStarts() const { return engineStarts_; }
    int scrollX() const { return scrollX_; }
    int scrollY() const { return scrollY_; }

    // A document of width x height whose pixel (x, y) is PixelAt(x, y): every place tells
    // where it is, so a picture shows which part of the page it holds.
    static WebPicture PatternDocument(int width, int height);
    static std::uint32_t PixelAt(int x, int y);
    static constexpr std::uint32_t Blank = 0xFFFFFFFF;

private:
    void finishLoad(int navigation);

    EventLoop& loop_;
    std::map<std::string, SimWebPage> pages_;
    std::function<void(bool)> completion_;
    std::string url_;
    const SimWebPage* shown_ = nullptr;
    std::vector<std::string> navigations_;
    bool running_ = false;
    bool hasDocument_ = false;
    bool holdLoads_ = false;
    int navigation_ = 0;
    int engineStarts_ = 0;
    int width_ = 512;
    int height_ = 256;
    int scrollX_ = 0;
    int scrollY_ = 0;
};

} // namespace trelk

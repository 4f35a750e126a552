#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace trelk {

// A 32-bit picture: pixels row by row, 0xAARRGGBB (the top byte is not used).
struct WebPicture {
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> pixels{};

    bool empty() const { return width <= 0 || height <= 0; }
};

// The hidden browser: one page at a time in a view of a given size, off the screen. The engine
// behind it starts with the first navigate and ends with release(), so it costs nothing while
// no page is shown. Main thread only; every answer arrives later on the main thread, in the
// order the questions were asked. A question asked while no engine runs is answered at once
// (scrolled; width 0; an empty picture).
class WebView {
public:
    virtual ~WebView() = default;

    // Runs once per navigate that was not replaced by a later one: ok when the page loaded and
    // the view shows it, false when it could not be loaded (no server, a redirect loop, no end
    // within the engine's time limit).
    virtual void setCompletionHandler(std::function<void(bool ok)> handler) = 0;
    // Starts the engine when none runs, then loads the address.
    virtual void navigate(const std::string& url) = 0;
    // A page has loaded and is in the view.
    virtual bool hasDocument() const = 0;
    // Scrolls the page by (dx, dy) pixels, as far as it goes; done once the view shows it.
    virtual void scrollBy(int dx, int dy, std::function<void()> done) = 0;
    // The document body's scroll width in pixels (0 without a document).
    virtual void bodyScrollWidth(std::function<void(int width)> answer) = 0;
    // The browser control's size; 512 x 256 when the engine starts.
    virtual void setViewSize(int width, int height) = 0;
    virtual int viewWidth() const = 0;
    virtual int viewHeight() const = 0;
    // The current view, viewWidth() x viewHeight(); empty when there is nothing to draw.
    virtual void drawView(std::function<void(WebPicture picture)> done) = 0;

    // Ends the engine and everything it started; the next navigate starts it again. Answers
    // still owed are given as if no engine ran.
    virtual void release() = 0;
    virtual bool engineRunning() const = 0;
};

} // namespace trelk

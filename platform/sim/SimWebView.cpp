#include "SimWebView.h"

#include <algorithm>

namespace trelk {

namespace {

std::size_t Index(int x, int y, int width) {
    return static_cast<std::size_t>(y) * static_cast<std::size_t>(width) +
           static_cast<std::size_t>(x);
}

} // namespace

void SimWebView::setCompletionHandler(std::function<void(bool ok)> handler) {
    completion_ = std::move(handler);
}

void SimWebView::navigate(const std::string& url) {
    if (!running_) {
        running_ = true;
        ++engineStarts_;
    }
    navigations_.push_back(url);
    url_ = url;
    shown_ = nullptr;
    hasDocument_ = false;
    scrollX_ = 0;
    scrollY_ = 0;
    const int navigation = ++navigation_;
    if (!holdLoads_) {
        loop_.post([this, navigation] { finishLoad(navigation); });
    }
}

void SimWebView::completeHeld() {
    const int navigation = navigation_;
    loop_.post([this, navigation] { finishLoad(navigation); });
}

void SimWebView::finishLoad(int navigation) {
    if (navigation != navigation_ || !running_) {
        return; // replaced or released meanwhile
    }
    const auto page = pages_.find(url_);
    const bool ok = page != pages_.end() && page->second.loads;
    shown_ = ok ? &page->second : nullptr;
    hasDocument_ = ok;
    if (completion_) {
        completion_(ok);
    }
}

void SimWebView::scrollBy(int dx, int dy, std::function<void()> done) {
    if (shown_ != nullptr) {
        const WebPicture& document = shown_->document;
        scrollX_ = std::clamp(scrollX_ + dx, 0, std::max(0, document.width - width_));
        scrollY_ = std::clamp(scrollY_ + dy, 0, std::max(0, document.height - height_));
    }
    loop_.post(std::move(done));
}

void SimWebView::bodyScrollWidth(std::function<void(int width)> answer) {
    const int width = shown_ != nullptr ? shown_->document.width : 0;
    loop_.post([answer = std::move(answer), width] { answer(width); });
}

void SimWebView::setViewSize(int width, int height) {
    width_ = std::max(1, width);
    height_ = std::max(1, height);
}

void SimWebView::drawView(std::function<void(WebPicture picture)> done) {
    WebPicture view;
    if (shown_ != nullptr) {
        const WebPicture& document = shown_->document;
        view.width = width_;
        view.height = height_;
        view.pixels.assign(Index(0, height_, width_), Blank);
        for (int y = 0; y < height_ && scrollY_ + y < document.height; ++y) {
            for (int x = 0; x < width_ && scrollX_ + x < document.width; ++x) {
                view.pixels[Index(x, y, width_)] =
                    document.pixels[Index(scrollX_ + x, scrollY_ + y, document.width)];
            }
        }
    }
    loop_.post(
        [done = std::move(done), view = std::move(view)]() mutable { done(std::move(view)); });
}

void SimWebView::release() {
    running_ = false;
    shown_ = nullptr;
    hasDocument_ = false;
    width_ = 512;
    height_ = 256;
}

void SimWebView::setPage(const std::string& url, SimWebPage page) {
    pages_[url] = std::move(page);
}

WebPicture SimWebView::PatternDocument(int width, int height) {
    WebPicture document{width, height, {}};
    document.pixels.resize(Index(0, height, width));
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            document.pixels[Index(x, y, width)] = PixelAt(x, y);
        }
    }
    return document;
}

std::uint32_t SimWebView::PixelAt(int x, int y) {
    return 0xFF000000u | (static_cast<std::uint32_t>(x & 0xFFF) << 12) |
           static_cast<std::uint32_t>(y & 0xFFF);
}

} // namespace trelk

#pragma once

#include "platform/ports/WebView.h"

#include <QByteArray>
#include <QObject>
#include <deque>
#include <functional>
#include <memory>
#include <string>

class QProcess;

namespace trelk {

// The hidden browser on Qt WebEngine, run in the helper program trelk-webview
// (WebViewProtocol.h): the engine and its processes exist only between the first navigate and
// release(), and a page that hangs or crashes the engine never holds the program.
class EngineWebView final : public QObject, public WebView {
public:
    // helperPath: the trelk-webview program; a page still loading after loadTimeoutMs fails.
    explicit EngineWebView(std::string helperPath, int loadTimeoutMs = 30000);
    ~EngineWebView() override;

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
    bool engineRunning() const override;

    // The helper's process id, 0 while none runs (for tests and benchmarks).
    qint64 helperProcessId() const;

private:
    // One answer owed by the helper: it is given the reply's line (and, for a picture, its
    // pixels); an empty line when the helper went away first.
    struct Pending {
        std::function<void(const QByteArray& line, const QByteArray& pixels)> answer;
    };

    bool start();
    void send(const QByteArray& line);
    void readReplies();
    void helperEnded();
    void failPending();

    std::string helperPath_;
    int loadTimeoutMs_;
    QProcess* process_ = nullptr;
    std::function<void(bool)> completion_;
    std::deque<Pending> pending_;
    QByteArray received_;
    // The picture whose pixels are still arriving: its byte count, 0 when none.
    qsizetype pictureBytes_ = 0;
    QByteArray pictureLine_;
    bool hasDocument_ = false;
    // The latest navigate's number: a completion of an earlier one is not reported.
    int navigation_ = 0;
    int width_ = 512;
    int height_ = 256;
};

} // namespace trelk

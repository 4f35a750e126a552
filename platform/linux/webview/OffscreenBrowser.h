#pragma once

#include <QElapsedTimer>
#include <QImage>
#include <QObject>
#include <QTimer>
#include <QWidget>
#include <functional>

class QWebEngineProfile;
class QWebEngineView;

namespace trelk {

class QuietWebPage;

// TForm2: an ordinary top-level window of 582 x 392 kept off the screen at x = -1000, holding
// the browser control, 512 x 256 at its top-left corner. It never takes the focus: the pilot is
// in the game while it loads.
class OffscreenBrowser final : public QWidget {
public:
    static constexpr int WindowWidth = 582;
    static constexpr int WindowHeight = 392;
    static constexpr int OffScreenX = -1000;

    struct Options {
        // The page's own scripts. Off where the engine runs without its sandbox.
        bool pageScripts = true;
        // A page still loading after this long is stopped and reported as failed.
        int loadTimeoutMs = 30000;
    };

    explicit OffscreenBrowser(Options options);
    ~OffscreenBrowser() override;

    // Reports the outcome once, when the page has loaded (and the view shows it) or failed;
    // not at all when a later navigate replaced it first.
    void navigate(const QString& url, std::function<void(bool ok)> complete);
    // done once the view shows the new place (at once when the page could not move).
    void scrollBy(int dx, int dy, std::function<void()> done);
    void bodyScrollWidth(std::function<void(int)> answer);
    void setViewSize(int width, int height);
    // The view as shown now; a null picture when nothing was drawn yet.
    QImage draw();

private:
    // Runs then once the view's picture is as shown() wants it, or after waitMs when it never
    // gets there. The engine draws in its own time, so the view is looked at until then. A
    // wait still running is finished first.
    void untilShown(std::function<bool(const QImage&)> shown, int waitMs,
                    std::function<void()> then);
    void pollView();
    void finishWait();
    // A fresh page (and renderer) in the view in place of the one there.
    void newPage();

    Options options_;
    QWebEngineProfile* profile_ = nullptr;
    QuietWebPage* page_ = nullptr;
    QWebEngineView* view_ = nullptr;
    QTimer loadTimeout_;
    QTimer viewPoll_;
    QElapsedTimer waited_;
    int waitMs_ = 0;
    std::function<bool(const QImage&)> shown_;
    std::function<void()> afterShown_;
    std::function<void(bool)> complete_;
};

} // namespace trelk

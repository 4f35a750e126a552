#include "OffscreenBrowser.h"

#include "QuietWebPage.h"

#include <QVariant>
#include <QWebEngineLoadingInfo>
#include <QWebEngineProfile>
#include <QWebEngineScript>
#include <QWebEngineSettings>
#include <QWebEngineView>

namespace trelk {

namespace {

constexpr int ViewWidth = 512;
constexpr int ViewHeight = 256;
// How long a view that moved may take to show it; past that the picture is taken as it is.
constexpr int ScrollFrameWaitMs = 250;
// After a load the first frame may come some time after the load's end; until then the view is
// one colour all over (white or black). A page of one colour is taken as it is after this long.
constexpr int FirstFrameWaitMs = 1000;
// How often the view is looked at while a wait runs.
constexpr int ViewPollMs = 10;

bool Uniform(const QImage& picture) {
    if (picture.isNull()) {
        return true;
    }
    const QRgb first = picture.pixel(0, 0);
    for (int y = 0; y < picture.height(); ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(picture.constScanLine(y));
        for (int x = 0; x < picture.width(); ++x) {
            if (line[x] != first) {
                return false;
            }
        }
    }
    return true;
}
// The helper's scripts run in a world of their own, so they work with the page's scripts off.
constexpr quint32 HelperWorld = QWebEngineScript::ApplicationWorld;

} // namespace

OffscreenBrowser::OffscreenBrowser(Options options) : options_(options) {
    setObjectName("Form2");
    setWindowTitle("Form2");
    // Bypassing the window manager keeps it where it is put (off the screen) and out of the
    // task bar; it is never activated.
    setWindowFlags(Qt::Window | Qt::FramelessWindowHint | Qt::X11BypassWindowManagerHint |
                   Qt::WindowDoesNotAcceptFocus);
    setAttribute(Qt::WA_ShowWithoutActivating);
    setFixedSize(WindowWidth, WindowHeight);

    // Nothing of the pilot's browsing stays on the disk: no cookies, no cache files.
    profile_ = new QWebEngineProfile(this);
    profile_->setHttpCacheType(QWebEngineProfile::MemoryHttpCache);
    profile_->setPersistentCookiesPolicy(QWebEngineProfile::NoPersistentCookies);
    QWebEngineSettings* settings = profile_->settings();
    settings->setAttribute(QWebEngineSettings::JavascriptEnabled, options_.pageScripts);
    settings->setAttribute(QWebEngineSettings::JavascriptCanOpenWindows, false);
    settings->setAttribute(QWebEngineSettings::JavascriptCanAccessClipboard, false);
    settings->setAttribute(QWebEngineSettings::PluginsEnabled, false);
    settings->setAttribute(QWebEngineSettings::PdfViewerEnabled, false);
    settings->setAttribute(QWebEngineSettings::PlaybackRequiresUserGesture, true);
    settings->setAttribute(QWebEngineSettings::ShowScrollBars, true);

    view_ = new QWebEngineView(this);
    newPage();
    view_->setGeometry(0, 0, ViewWidth, ViewHeight);
    view_->setFocusPolicy(Qt::NoFocus);

    loadTimeout_.setSingleShot(true);
    connect(&loadTimeout_, &QTimer::timeout, this, [this] {
        // A page that took this long may still hold its renderer busy (half of 50 MB to
        // lay out): a new page gets a renderer of its own, so the next page is not held too.
        newPage();
        if (auto complete = std::exchange(complete_, {})) {
            complete(false);
        }
    });
    viewPoll_.setSingleShot(true);
    connect(&viewPoll_, &QTimer::timeout, this, &OffscreenBrowser::pollView);

    move(OffScreenX, 0);
    show();
}

OffscreenBrowser::~OffscreenBrowser() {
    // The page goes before its profile.
    delete view_;
    delete page_;
}

void OffscreenBrowser::newPage() {
    auto* page = new QuietWebPage(profile_, this);
    page->setAudioMuted(true);
    // Each navigation ends once: succeeded, failed, or stopped (by a later navigation or the
    // time limit, whose outcome is given elsewhere).
    connect(page, &QWebEnginePage::loadingChanged, this,
            [this](const QWebEngineLoadingInfo& loading) {
                const auto status = loading.status();
                if (status == QWebEngineLoadingInfo::LoadStartedStatus ||
                    status == QWebEngineLoadingInfo::LoadStoppedStatus || !complete_) {
                    return;
                }
                loadTimeout_.stop();
                if (status == QWebEngineLoadingInfo::LoadFailedStatus) {
                    std::exchange(complete_, {})(false);
                    return;
                }
                untilShown([](const QImage& now) { return !Uniform(now); }, FirstFrameWaitMs,
                           [this] {
                               if (auto loaded = std::exchange(complete_, {})) {
                                   loaded(true);
                               }
                           });
            });
    view_->setPage(page);
    delete std::exchange(page_, page);
}

void OffscreenBrowser::navigate(const QString& url, std::function<void(bool ok)> complete) {
    // A wait still running ends first: its answer is the earlier page's.
    finishWait();
    complete_ = std::move(complete);
    // Kept off the screen whenever it is shown again.
    move(OffScreenX, 0);
    loadTimeout_.start(options_.loadTimeoutMs);
    page_->load(QUrl::fromUserInput(url));
}

void OffscreenBrowser::scrollBy(int dx, int dy, std::function<void()> done) {
    const QString script = QString("(function(){var x=window.scrollX,y=window.scrollY;"
                                   "window.scrollBy(%1,%2);"
                                   "return x!==window.scrollX||y!==window.scrollY;})()")
                               .arg(dx)
                               .arg(dy);
    page_->runJavaScript(script, HelperWorld,
                         [this, done = std::move(done), before = draw()](const QVariant& moved) {
                             if (moved.toBool()) {
                                 untilShown([before](const QImage& now) { return now != before; },
                                            ScrollFrameWaitMs, done);
                             } else {
                                 done();
                             }
                         });
}

void OffscreenBrowser::bodyScrollWidth(std::function<void(int)> answer) {
    page_->runJavaScript(
        "document.body ? document.body.scrollWidth : 0", HelperWorld,
        [answer = std::move(answer)](const QVariant& width) { answer(width.toInt()); });
}

void OffscreenBrowser::setViewSize(int width, int height) {
    view_->resize(width, height);
}

QImage OffscreenBrowser::draw() {
    return view_->grab().toImage().convertToFormat(QImage::Format_RGB32);
}

void OffscreenBrowser::untilShown(std::function<bool(const QImage&)> shown, int waitMs,
                                  std::function<void()> then) {
    finishWait();
    shown_ = std::move(shown);
    afterShown_ = std::move(then);
    waitMs_ = waitMs;
    waited_.start();
    viewPoll_.start(0);
}

void OffscreenBrowser::pollView() {
    if (!afterShown_) {
        return;
    }
    if (waited_.elapsed() < waitMs_ && !shown_(draw())) {
        viewPoll_.start(ViewPollMs);
        return;
    }
    finishWait();
}

void OffscreenBrowser::finishWait() {
    viewPoll_.stop();
    shown_ = {};
    if (auto then = std::exchange(afterShown_, {})) {
        then();
    }
}

} // namespace trelk

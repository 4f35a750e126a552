#include "OffscreenBrowser.h"

#include "QuietWebPage.h"

#include <QChildEvent>
#include <QEvent>
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
constexpr int FirstFramePollMs = 15;

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
    view_->installEventFilter(this);

    loadTimeout_.setSingleShot(true);
    connect(&loadTimeout_, &QTimer::timeout, this, [this] {
        // A page that took this long may still hold its renderer busy (half of 50 MB to
        // lay out): a new page gets a renderer of its own, so the next page is not held too.
        newPage();
        if (auto complete = std::exchange(complete_, {})) {
            complete(false);
        }
    });
    // Polled after a load until the view shows the page.
    connect(&firstFramePoll_, &QTimer::timeout, this, [this] {
        if (!complete_) {
            firstFramePoll_.stop();
            return;
        }
        if (firstFrameWaited_.elapsed() < FirstFrameWaitMs && Uniform(draw())) {
            firstFramePoll_.start(FirstFramePollMs);
            return;
        }
        firstFramePoll_.stop();
        std::exchange(complete_, {})(true);
    });
    firstFramePoll_.setSingleShot(true);
    frameWait_.setSingleShot(true);
    connect(&frameWait_, &QTimer::timeout, this, &OffscreenBrowser::frameShown);
    move(OffScreenX, 0);
    show();
    watchRenderWidget();
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
                firstFrameWaited_.start();
                firstFramePoll_.start(0);
            });
    view_->setPage(page);
    delete std::exchange(page_, page);
}

void OffscreenBrowser::navigate(const QString& url, std::function<void(bool ok)> complete) {
    // A page replaced before it completed is never reported.
    complete_ = std::move(complete);
    firstFramePoll_.stop();
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
                         [this, done = std::move(done)](const QVariant& moved) {
                             if (moved.toBool()) {
                                 afterNextFrame(ScrollFrameWaitMs, done);
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

bool OffscreenBrowser::eventFilter(QObject* watched, QEvent* event) {
    if (watched == view_ && event->type() == QEvent::ChildAdded) {
        // The engine puts its render widget in once the first page exists.
        QMetaObject::invokeMethod(this, &OffscreenBrowser::watchRenderWidget, Qt::QueuedConnection);
    } else if (watched == renderWidget_ && event->type() == QEvent::Paint) {
        if (afterFrame_) {
            // The paint has drawn the new frame once it returns.
            QMetaObject::invokeMethod(this, &OffscreenBrowser::frameShown, Qt::QueuedConnection);
        }
    }
    return QWidget::eventFilter(watched, event);
}

void OffscreenBrowser::afterNextFrame(int waitMs, std::function<void()> then) {
    if (auto earlier = std::exchange(afterFrame_, std::move(then))) {
        earlier();
    }
    frameWait_.start(waitMs);
}

void OffscreenBrowser::frameShown() {
    frameWait_.stop();
    if (auto then = std::exchange(afterFrame_, {})) {
        then();
    }
}

void OffscreenBrowser::watchRenderWidget() {
    QWidget* render = view_->focusProxy();
    if (render != nullptr && render != renderWidget_) {
        renderWidget_ = render;
        render->installEventFilter(this);
    }
}

} // namespace trelk

#include "EngineWebView.h"

#include "WebViewProtocol.h"

#include <QProcess>
#include <QTimer>
#include <algorithm>
#include <cstring>

namespace trelk {

namespace {

constexpr int DefaultWidth = 512;
constexpr int DefaultHeight = 256;
// A helper that does not end when its input closes is ended after this long.
constexpr int QuitGraceMs = 3000;

// "picture W H": the size, or {0, 0} when the line is not a sane picture.
std::pair<int, int> PictureSize(const QByteArray& line) {
    const QList<QByteArray> words = line.split(' ');
    if (words.size() != 3 || words[0] != "picture") {
        return {0, 0};
    }
    const int width = words[1].toInt();
    const int height = words[2].toInt();
    if (width <= 0 || height <= 0 || width > webview::MaxPictureSide ||
        height > webview::MaxPictureSide) {
        return {0, 0};
    }
    return {width, height};
}

} // namespace

EngineWebView::EngineWebView(std::string helperPath, int loadTimeoutMs)
    : helperPath_(std::move(helperPath)), loadTimeoutMs_(loadTimeoutMs) {}

EngineWebView::~EngineWebView() {
    release();
    // Helpers still ending when the program ends are ended now, not left behind.
    for (QProcess* helper : findChildren<QProcess*>()) {
        if (!helper->waitForFinished(1000)) {
            helper->kill();
            helper->waitForFinished(1000);
        }
    }
}

void EngineWebView::setCompletionHandler(std::function<void(bool ok)> handler) {
    completion_ = std::move(handler);
}

void EngineWebView::navigate(const std::string& url) {
    hasDocument_ = false;
    const int number = ++navigation_;
    if (!start()) {
        // Answered later, as a real load is.
        QMetaObject::invokeMethod(
            this,
            [this, number] {
                if (number == navigation_ && completion_) {
                    completion_(false);
                }
            },
            Qt::QueuedConnection);
        return;
    }
    // One line per command: a line break in the address would be a second command.
    QByteArray address = QByteArray::fromStdString(url);
    address.replace('\r', ' ').replace('\n', ' ');
    send("navigate " + QByteArray::number(number) + " " + address.trimmed());
}

void EngineWebView::scrollBy(int dx, int dy, std::function<void()> done) {
    if (!engineRunning()) {
        done();
        return;
    }
    pending_.push_back(
        {[done = std::move(done)](const QByteArray&, const QByteArray&) { done(); }});
    send("scroll " + QByteArray::number(dx) + " " + QByteArray::number(dy));
}

void EngineWebView::bodyScrollWidth(std::function<void(int width)> answer) {
    if (!engineRunning()) {
        answer(0);
        return;
    }
    pending_.push_back({[answer = std::move(answer)](const QByteArray& line, const QByteArray&) {
        answer(line.startsWith("width ") ? line.mid(6).toInt() : 0);
    }});
    send("width");
}

void EngineWebView::setViewSize(int width, int height) {
    width_ = std::clamp(width, 1, webview::MaxPictureSide);
    height_ = std::clamp(height, 1, webview::MaxPictureSide);
    if (engineRunning()) {
        send("size " + QByteArray::number(width_) + " " + QByteArray::number(height_));
    }
}

void EngineWebView::drawView(std::function<void(WebPicture picture)> done) {
    if (!engineRunning()) {
        done({});
        return;
    }
    pending_.push_back({[done = std::move(done)](const QByteArray& line, const QByteArray& pixels) {
        const auto [width, height] = PictureSize(line);
        WebPicture picture;
        if (width > 0 && pixels.size() == qsizetype{width} * height * 4) {
            picture.width = width;
            picture.height = height;
            picture.pixels.resize(static_cast<std::size_t>(width) *
                                  static_cast<std::size_t>(height));
            std::memcpy(picture.pixels.data(), pixels.constData(),
                        static_cast<std::size_t>(pixels.size()));
        }
        done(std::move(picture));
    }});
    send("draw");
}

void EngineWebView::release() {
    if (process_ == nullptr) {
        return;
    }
    QProcess* process = std::exchange(process_, nullptr);
    process->disconnect(this);
    hasDocument_ = false;
    received_.clear();
    pictureBytes_ = 0;
    // Its input ends, so it ends with its engine; one that does not is ended.
    process->closeWriteChannel();
    QObject::connect(process, &QProcess::finished, process, &QObject::deleteLater);
    QTimer::singleShot(QuitGraceMs, process, [process] {
        if (process->state() != QProcess::NotRunning) {
            process->kill();
        }
    });
    failPending();
}

bool EngineWebView::engineRunning() const {
    return process_ != nullptr && process_->state() != QProcess::NotRunning;
}

qint64 EngineWebView::helperProcessId() const {
    return engineRunning() ? process_->processId() : 0;
}

bool EngineWebView::start() {
    if (engineRunning()) {
        return true;
    }
    release();
    process_ = new QProcess(this);
    // Its standard error is the program's: the engine's own warnings go where the program's do.
    process_->setProcessChannelMode(QProcess::ForwardedErrorChannel);
    QObject::connect(process_, &QProcess::readyReadStandardOutput, this,
                     &EngineWebView::readReplies);
    QObject::connect(process_, &QProcess::finished, this, &EngineWebView::helperEnded);
    QObject::connect(process_, &QProcess::errorOccurred, this,
                     [this](QProcess::ProcessError error) {
                         if (error == QProcess::FailedToStart) {
                             helperEnded();
                         }
                     });
    process_->start(QString::fromStdString(helperPath_),
                    {"--load-timeout-ms", QString::number(loadTimeoutMs_)});
    if (!process_->waitForStarted(5000)) {
        helperEnded();
        return false;
    }
    if (width_ != DefaultWidth || height_ != DefaultHeight) {
        send("size " + QByteArray::number(width_) + " " + QByteArray::number(height_));
    }
    return true;
}

void EngineWebView::send(const QByteArray& line) {
    process_->write(line + "\n");
}

void EngineWebView::readReplies() {
    if (process_ == nullptr) {
        return;
    }
    received_.append(process_->readAllStandardOutput());
    for (;;) {
        if (pictureBytes_ > 0) {
            if (received_.size() < pictureBytes_) {
                return;
            }
            const QByteArray pixels = received_.left(pictureBytes_);
            received_.remove(0, pictureBytes_);
            pictureBytes_ = 0;
            if (!pending_.empty()) {
                Pending owed = std::move(pending_.front());
                pending_.pop_front();
                owed.answer(pictureLine_, pixels);
            }
            continue;
        }
        const qsizetype end = received_.indexOf('\n');
        if (end < 0) {
            return;
        }
        const QByteArray line = received_.left(end);
        received_.remove(0, end + 1);
        if (line.startsWith("complete ")) {
            // "complete N OK": only the latest navigate's counts.
            const QList<QByteArray> words = line.split(' ');
            if (words.size() == 3 && words[1].toInt() == navigation_) {
                hasDocument_ = words[2] == "1";
                if (completion_) {
                    completion_(hasDocument_);
                }
            }
            continue;
        }
        if (line.startsWith("picture ")) {
            const auto [width, height] = PictureSize(line);
            if (width > 0) {
                pictureLine_ = line;
                pictureBytes_ = qsizetype{width} * height * 4;
                continue;
            }
        }
        if (!pending_.empty()) {
            Pending owed = std::move(pending_.front());
            pending_.pop_front();
            owed.answer(line, {});
        }
    }
}

void EngineWebView::helperEnded() {
    if (process_ == nullptr) {
        return;
    }
    process_->disconnect(this);
    process_->deleteLater();
    process_ = nullptr;
    hasDocument_ = false;
    received_.clear();
    pictureBytes_ = 0;
    failPending();
}

void EngineWebView::failPending() {
    std::deque<Pending> owed = std::exchange(pending_, {});
    for (Pending& answer : owed) {
        answer.answer({}, {});
    }
}

} // namespace trelk

#include "CurlHttp.h"

#include <algorithm>
#include <chrono>
#include <curl/curl.h>
#include <memory>
#include <mutex>

namespace trelk {

namespace {

using SteadyClock = std::chrono::steady_clock;

// Work events reach the main thread at most this often; the last one always does.
constexpr auto WorkEventPeriod = std::chrono::milliseconds(50);
constexpr int PollMs = 100;

void InitCurlOnce() {
    static std::once_flag once;
    std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

// What one transfer collects on the worker thread.
struct Transfer {
    Transfer(EventLoop& l, const HttpClientOptions& o, const HttpProgress& p, CURL* e)
        : loop(l), options(o), progress(p), easy(e) {}

    EventLoop& loop;
    const HttpClientOptions& options;
    const HttpProgress& progress;
    CURL* easy;
    std::string body;
    bool tooLarge = false;
    bool begun = false;
    SteadyClock::time_point lastWork{};

    void post(std::function<void()> work) { loop.post(std::move(work)); }

    void begin() {
        if (begun) {
            return;
        }
        begun = true;
        curl_off_t expected = -1;
        curl_easy_getinfo(easy, CURLINFO_CONTENT_LENGTH_DOWNLOAD_T, &expected);
        // One allocation for an announced body instead of a doubling series of copies.
        if (expected > 0 && expected <= options.maxBodyBytes) {
            body.reserve(static_cast<std::size_t>(expected));
        }
        if (progress.begin) {
            post([handler = progress.begin, size = std::max<curl_off_t>(expected, 0)] {
                handler(size);
            });
        }
    }

    void work(bool force) {
        const auto now = SteadyClock::now();
        if (!progress.work || (!force && now - lastWork < WorkEventPeriod)) {
            return;
        }
        lastWork = now;
        post([handler = progress.work, size = static_cast<std::int64_t>(body.size())] {
            handler(size);
        });
    }

    void end() {
        if (begun && progress.end) {
            post(progress.end);
        }
    }
};

size_t WriteBody(char* data, size_t size, size_t count, void* user) {
    auto& transfer = *static_cast<Transfer*>(user);
    const size_t bytes = size * count;
    if (static_cast<std::int64_t>(transfer.body.size() + bytes) > transfer.options.maxBodyBytes) {
        transfer.tooLarge = true;
        return 0; // ends the transfer with a write error
    }
    transfer.begin();
    const size_t at = transfer.body.size();
    transfer.body.append(data, bytes);
    if (transfer.options.sevenBit) {
        auto* byte = reinterpret_cast<unsigned char*>(transfer.body.data() + at);
        for (size_t i = 0; i < bytes; ++i) {
            byte[i] &= 0x7F;
        }
    }
    transfer.work(false);
    return bytes;
}

class CurlHttpClient final : public HttpClient {
public:
    CurlHttpClient(EventLoop& loop, HttpClientOptions options)
        : loop_(loop), options_(std::move(options)) {}

    const HttpClientOptions& options() const override { return options_; }

    void setProxy(HttpProxy proxy) override {
        std::lock_guard lock(mutex_);
        proxy_ = std::move(proxy);
    }
    HttpProxy proxy() const override {
        std::lock_guard lock(mutex_);
        return proxy_;
    }

    void disconnect() override {
        std::lock_guard lock(mutex_);
        if (active_ != nullptr) {
            dropped_ = true;
            curl_multi_wakeup(active_);
        }
    }

    HttpResult get(const std::string& url, const HttpProgress& progress,
                   const std::function<bool()>& cancelledBy) override {
        HttpResult result;
        CURL* easy = curl_easy_init();
        CURLM* multi = curl_multi_init();
        if (easy == nullptr || multi == nullptr) {
            curl_easy_cleanup(easy);
            curl_multi_cleanup(multi);
            result.error = "the HTTP library could not start a transfer";
            return result;
        }
        Transfer transfer(loop_, options_, progress, easy);
        const HttpProxy proxy = this->proxy();
        const auto headers = configure(easy, url, proxy, transfer);

        curl_multi_add_handle(multi, easy);
        {
            std::lock_guard lock(mutex_);
            active_ = multi;
            dropped_ = false;
        }
        bool cancelled = false;
        int running = 1;
        while (running > 0) {
            if (curl_multi_perform(multi, &running) != CURLM_OK) {
                break;
            }
            if (running == 0) {
                break;
            }
            if ((cancelledBy && cancelledBy()) || droppedNow()) {
                cancelled = true;
                break;
            }
            curl_multi_poll(multi, nullptr, 0, PollMs, nullptr);
            if ((cancelledBy && cancelledBy()) || droppedNow()) {
                cancelled = true;
                break;
            }
        }
        {
            std::lock_guard lock(mutex_);
            active_ = nullptr;
        }

        CURLcode code = CURLE_OK;
        bool done = false;
        int left = 0;
        while (CURLMsg* message = curl_multi_info_read(multi, &left)) {
            if (message->msg == CURLMSG_DONE && message->easy_handle == easy) {
                code = message->data.result;
                done = true;
            }
        }
        long status = 0;
        curl_easy_getinfo(easy, CURLINFO_RESPONSE_CODE, &status);
        result.status = static_cast<int>(status);
        if (status > 0) {
            transfer.begin();
        }
        transfer.work(true);
        transfer.end();

        if (cancelled) {
            result.error = "the transfer was cancelled";
        } else if (transfer.tooLarge) {
            result.error =
                "the reply is larger than " + std::to_string(options_.maxBodyBytes) + " bytes";
        } else if (!done) {
            result.error = "the transfer did not finish";
        } else if (code != CURLE_OK) {
            result.error = curl_easy_strerror(code);
        } else if (status < 200 || status > 299) {
            result.error = "the server answered with status " + std::to_string(status);
        } else {
            result.ok = true;
            result.body = std::move(transfer.body);
        }
        curl_multi_remove_handle(multi, easy);
        curl_easy_cleanup(easy);
        curl_multi_cleanup(multi);
        return result;
    }

private:
    bool droppedNow() {
        std::lock_guard lock(mutex_);
        return dropped_;
    }

    struct SlistFree {
        void operator()(curl_slist* list) const { curl_slist_free_all(list); }
    };
    using Headers = std::unique_ptr<curl_slist, SlistFree>;

    Headers configure(CURL* easy, const std::string& url, const HttpProxy& proxy,
                      Transfer& transfer) {
        curl_easy_setopt(easy, CURLOPT_URL, url.c_str());
        curl_easy_setopt(easy, CURLOPT_NOSIGNAL, 1L);
        // Fewer, larger writes: a big document costs fewer calls and copies.
        curl_easy_setopt(easy, CURLOPT_BUFFERSIZE, 512L * 1024);
        curl_easy_setopt(easy, CURLOPT_FOLLOWLOCATION, 1L);
        curl_easy_setopt(easy, CURLOPT_MAXREDIRS, static_cast<long>(options_.maxRedirects));
        curl_easy_setopt(easy, CURLOPT_PROTOCOLS_STR, "http,https");
        curl_easy_setopt(easy, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
        curl_easy_setopt(easy, CURLOPT_HTTP_VERSION,
                         options_.http10 ? CURL_HTTP_VERSION_1_0 : CURL_HTTP_VERSION_1_1);
        curl_easy_setopt(easy, CURLOPT_USERAGENT, options_.userAgent.c_str());
        curl_easy_setopt(easy, CURLOPT_CONNECTTIMEOUT_MS,
                         static_cast<long>(options_.connectTimeoutMs));
        curl_easy_setopt(easy, CURLOPT_LOW_SPEED_LIMIT, static_cast<long>(options_.lowSpeedBytes));
        curl_easy_setopt(easy, CURLOPT_LOW_SPEED_TIME,
                         static_cast<long>(std::max(1, options_.lowSpeedTimeMs / 1000)));
        curl_easy_setopt(easy, CURLOPT_MAXFILESIZE_LARGE,
                         static_cast<curl_off_t>(options_.maxBodyBytes));
        // Only the proxy the pilot set counts, never one from the environment.
        curl_easy_setopt(easy, CURLOPT_PROXY, proxy.host.c_str());
        curl_easy_setopt(easy, CURLOPT_NOPROXY, "");
        if (!proxy.host.empty()) {
            curl_easy_setopt(easy, CURLOPT_PROXYTYPE, static_cast<long>(CURLPROXY_HTTP));
            curl_easy_setopt(easy, CURLOPT_PROXYPORT, static_cast<long>(proxy.port));
        }
        Headers headers(options_.accept.empty()
                            ? nullptr
                            : curl_slist_append(nullptr, ("Accept: " + options_.accept).c_str()));
        curl_easy_setopt(easy, CURLOPT_HTTPHEADER, headers.get());
        curl_easy_setopt(easy, CURLOPT_WRITEFUNCTION, &WriteBody);
        curl_easy_setopt(easy, CURLOPT_WRITEDATA, &transfer);
        return headers;
    }

    EventLoop& loop_;
    const HttpClientOptions options_;
    mutable std::mutex mutex_;
    HttpProxy proxy_;
    CURLM* active_ = nullptr;
    bool dropped_ = false;
};

} // namespace

CurlHttp::CurlHttp(EventLoop& loop) : loop_(loop) {
    InitCurlOnce();
}

std::unique_ptr<HttpClient> CurlHttp::createClient(HttpClientOptions options) {
    return std::make_unique<CurlHttpClient>(loop_, std::move(options));
}

} // namespace trelk

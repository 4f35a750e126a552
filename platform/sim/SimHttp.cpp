#include "SimHttp.h"

#include <algorithm>
#include <chrono>

namespace trelk {

class SimHttpClient final : public HttpClient {
public:
    SimHttpClient(SimHttp& http, HttpClientOptions options)
        : http_(http), options_(std::move(options)) {}

    const HttpClientOptions& options() const override { return options_; }
    void setProxy(HttpProxy proxy) override {
        std::lock_guard lock(mutex_);
        proxy_ = std::move(proxy);
    }
    HttpProxy proxy() const override {
        std::lock_guard lock(mutex_);
        return proxy_;
    }
    HttpResult get(const std::string& url, const HttpProgress& progress,
                   const std::function<bool()>& cancelled) override {
        dropped_ = false;
        return http_.serve(*this, url, progress, cancelled, dropped_);
    }
    void disconnect() override {
        dropped_ = true;
        std::lock_guard lock(http_.mutex_);
        http_.changed_.notify_all();
    }

private:
    SimHttp& http_;
    const HttpClientOptions options_;
    mutable std::mutex mutex_;
    HttpProxy proxy_;
    std::atomic<bool> dropped_{false};
};

std::unique_ptr<HttpClient> SimHttp::createClient(HttpClientOptions options) {
    return std::make_unique<SimHttpClient>(*this, std::move(options));
}

void SimHttp::setReply(const std::string& url, SimHttpReply reply) {
    std::lock_guard lock(mutex_);
    replies_[url] = std::move(reply);
}

void SimHttp::hold() {
    std::lock_guard lock(mutex_);
    held_ = true;
}

void SimHttp::release() {
    std::lock_guard lock(mutex_);
    held_ = false;
    changed_.notify_all();
}

void SimHttp::waitForActive(int n) const {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [&] { return active_ >= n; });
}

int SimHttp::active() const {
    std::lock_guard lock(mutex_);
    return active_;
}

std::vector<SimHttpRequest> SimHttp::requests() const {
    std::lock_guard lock(mutex_);
    return requests_;
}

void SimHttp::clearRequests() {
    std::lock_guard lock(mutex_);
    requests_.clear();
}

HttpResult SimHttp::serve(const SimHttpClient& client, const std::string& url,
                          const HttpProgress& progress, const std::function<bool()>& cancelledBy,
                          const std::atomic<bool>& dropped) {
    const HttpClientOptions& options = client.options();
    auto cancelled = [&] { return dropped.load() || (cancelledBy && cancelledBy()); };
    SimHttpReply reply;
    bool known = false;
    {
        std::unique_lock lock(mutex_);
        requests_.push_back(
            {options.name, url, client.proxy(), options.userAgent, options.accept, options.http10});
        ++active_;
        changed_.notify_all();
        // A cancel has no way to wake us: look at it every few milliseconds.
        while (held_ && !cancelled()) {
            changed_.wait_for(lock, std::chrono::milliseconds(5));
        }
        --active_;
        if (auto it = replies_.find(url); it != replies_.end()) {
            reply = it->second;
            known = true;
        }
    }
    HttpResult result;
    if (cancelled()) {
        result.error = "the transfer was cancelled";
        return result;
    }
    if (!known || !reply.connectError.empty()) {
        result.error = known ? reply.connectError : "Couldn't connect to server";
        return result;
    }
    result.status = reply.status;
    const std::int64_t size = static_cast<std::int64_t>(reply.body.size());
    const std::int64_t announced = reply.announced < 0 ? size : reply.announced;
    if (announced > options.maxBodyBytes || size > options.maxBodyBytes) {
        result.error =
            "the reply is larger than " + std::to_string(options.maxBodyBytes) + " bytes";
        return result;
    }
    if (progress.begin) {
        loop_.post([handler = progress.begin, announced] { handler(announced); });
    }
    const int parts = std::max(1, reply.parts);
    for (int part = 1; part <= parts; ++part) {
        if (progress.work) {
            const std::int64_t received = size * part / parts;
            loop_.post([handler = progress.work, received] { handler(received); });
        }
    }
    if (progress.end) {
        loop_.post(progress.end);
    }
    if (reply.status < 200 || reply.status > 299) {
        result.error = "the server answered with status " + std::to_string(reply.status);
        return result;
    }
    result.ok = true;
    result.body = std::move(reply.body);
    if (options.sevenBit) {
        for (char& c : result.body) {
            c = static_cast<char>(c & 0x7F);
        }
    }
    return result;
}

} // namespace trelk

#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

namespace trelk {

// How one HTTP client talks: what it says it is, what it accepts, and how long it waits.
struct HttpClientOptions {
    std::string name{};      // for traces and tests ("HTTP", "HTTP2", "HTTP1")
    std::string userAgent{}; // the User-Agent header
    std::string accept{};    // the Accept header
    bool http10 = false;     // HTTP/1.0 requests; HTTP/1.1 otherwise
    // Each byte of a reply body loses its top bit, as a 7-bit transport delivers it.
    bool sevenBit = false;
    int maxRedirects = 5;
    // No connection within this time is a failure.
    int connectTimeoutMs = 10000;
    // A transfer that moves fewer than lowSpeedBytes in lowSpeedTimeMs is a failure, so a
    // stalled server never holds the caller.
    int lowSpeedBytes = 1;
    int lowSpeedTimeMs = 30000;
    // A reply body beyond this size is a failure, never a memory exhaustion.
    std::int64_t maxBodyBytes = 64LL * 1024 * 1024;
};

// A proxy in effect: an empty host and port 0 mean none.
struct HttpProxy {
    std::string host{}; // host name or address, no scheme
    int port = 0;
    bool operator==(const HttpProxy&) const = default;
};

// Transfer progress. The client posts every event to the main thread (the EventLoop it was made
// with), in order: begin once with the size the server announced (0: unknown), work with the
// bytes received so far (throttled), end once when the transfer is over, whatever its outcome.
struct HttpProgress {
    std::function<void(std::int64_t expected)> begin{};
    std::function<void(std::int64_t received)> work{};
    std::function<void()> end{};
};

struct HttpResult {
    bool ok = false;     // a complete 2xx reply
    int status = 0;      // the last HTTP status, 0 when none arrived
    std::string body{};  // the reply body when ok, empty otherwise
    std::string error{}; // why not, in words, when !ok
};

// One client: its own options and proxy. get() blocks; it is meant for worker threads.
class HttpClient {
public:
    virtual ~HttpClient() = default;

    virtual const HttpClientOptions& options() const = 0;
    // Takes effect at the next request. Any thread.
    virtual void setProxy(HttpProxy proxy) = 0;
    virtual HttpProxy proxy() const = 0;

    // A GET of url, following redirects. Returns early, as a failure, when disconnect() is
    // called or cancelled() answers true (asked on the calling thread every 100 ms at most).
    virtual HttpResult get(const std::string& url, const HttpProgress& progress,
                           const std::function<bool()>& cancelled = {}) = 0;
    // Drops the transfer running now, if any, from any thread: its get() returns within
    // 200 ms. A later get() starts afresh.
    virtual void disconnect() = 0;
};

class Http {
public:
    virtual ~Http() = default;
    virtual std::unique_ptr<HttpClient> createClient(HttpClientOptions options) = 0;
};

} // namespace trelk

// trelk-services: the web services TrelkPro downloads from, as a real HTTP server on loopback,
// with generated documents, fault modes and a record of every request.
//
//   trelk-services [--address A] [--port P] [--port-file FILE] [--record FILE]
//                  [--locations N] [--categories N] [--items N] [--padding N]
//                  [--db-records N] [--db-date D] [--db-rate BYTES] [--version V]
//                  [--fault MODE]
//
// --port 0 takes a free port; --port-file receives it once the server listens. Fault modes
// (for the document endpoints; GET /_control/fault?mode=MODE changes it while running):
// none, refuse (the port is bound but never accepts: connections are refused; start-up only),
// 404, 500, slow (one byte every 200 ms), close (the connection ends in the middle of the
// body), huge (a 200 MB body), huge-chunked (the same without a length), garbage (binary
// bytes), redirect (302 to the same document).
// The database date and the version reply change while running: GET /_control/db-date?value=D
// and GET /_control/version?value=V (the database document's header follows the date).
// --record appends one line per request: method, target, HTTP version, User-Agent, Accept,
// Via, X-Forwarded-For, separated by tabs.

#include "DatabaseService.h"
#include "ServiceDocuments.h"
#include "WebPages.h"

#include <arpa/inet.h>
#include <atomic>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <httplib.h>
#include <iostream>
#include <mutex>
#include <netinet/in.h>
#include <string>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>

namespace {

using namespace trelk::services;

struct Options {
    std::string address = "127.0.0.1";
    int port = 47821;
    std::string portFile;
    std::string recordFile;
    MarketShape market;
    int dbRecords = 3000;
    std::string dbDate = "05-08-17";
    int dbRate = 0; // bytes per second of the database document; 0: unthrottled
    std::string version = "1.00.1";
    std::string fault = "none";
};

constexpr long long HugeSize = 200LL * 1024 * 1024;

[[noreturn]] void Usage(const std::string& problem) {
    std::cerr << "trelk-services: " << problem << "\n";
    std::exit(2);
}

int Number(const std::string& text, const std::string& option) {
    try {
        std::size_t used = 0;
        const int value = std::stoi(text, &used);
        if (used == text.size() && value >= 0) {
            return value;
        }
    } catch (const std::exception&) {
    }
    Usage(option + " needs a number, not '" + text + "'");
}

bool KnownFault(const std::string& mode) {
    for (const char* known : {"none", "refuse", "404", "500", "slow", "close", "huge",
                              "huge-chunked", "garbage", "redirect"}) {
        if (mode == known) {
            return true;
        }
    }
    return false;
}

Options Parse(int argc, char** argv) {
    Options options;
    for (int i = 1; i < argc; ++i) {
        const std::string option = argv[i];
        if (i + 1 >= argc) {
            Usage(option + " needs a value");
        }
        const std::string value = argv[++i];
        if (option == "--address") {
            options.address = value;
        } else if (option == "--port") {
            options.port = Number(value, option);
        } else if (option == "--port-file") {
            options.portFile = value;
        } else if (option == "--record") {
            options.recordFile = value;
        } else if (option == "--locations") {
            options.market.locations = Number(value, option);
        } else if (option == "--categories") {
            options.market.categories = Number(value, option);
        } else if (option == "--items") {
            options.market.items = Number(value, option);
        } else if (option == "--padding") {
            options.market.padding = Number(value, option);
        } else if (option == "--db-records") {
            options.dbRecords = Number(value, option);
        } else if (option == "--db-date") {
            options.dbDate = value;
        } else if (option == "--db-rate") {
            options.dbRate = Number(value, option);
        } else if (option == "--version") {
            options.version = value;
        } else if (option == "--fault") {
            if (!KnownFault(value)) {
                Usage("unknown fault mode '" + value + "'");
            }
            options.fault = value;
        } else {
            Usage("unknown option " + option);
        }
    }
    return options;
}

void WritePortFile(const std::string& path, int port) {
    if (path.empty()) {
        return;
    }
    // Written whole under another name and renamed, so a reader never sees half a number.
    const std::string temporary = path + ".part";
    std::ofstream(temporary) << port << "\n";
    std::rename(temporary.c_str(), path.c_str());
}

std::atomic<bool> Quit{false};

void OnSignal(int) {
    Quit = true;
}

// Refused connections: the port is held (so nobody else takes it) but never listens.
int RefuseForever(const Options& options) {
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<uint16_t>(options.port));
    if (fd < 0 || ::inet_pton(AF_INET, options.address.c_str(), &address.sin_addr) != 1 ||
        ::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
        std::cerr << "trelk-services: cannot bind " << options.address << ":" << options.port
                  << "\n";
        return 1;
    }
    socklen_t length = sizeof address;
    ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length);
    WritePortFile(options.portFile, ntohs(address.sin_port));
    while (!Quit) {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    ::close(fd);
    return 0;
}

class Services {
public:
    explicit Services(const Options& options)
        : options_(options), fault_(options.fault), market_(MarketDocument(options.market)),
          database_(options.dbRecords, options.dbDate, options.version, options.dbRate) {}

    void install(httplib::Server& server) {
        // Recorded as it arrives, so a test sees a request while its reply still runs.
        server.set_pre_routing_handler([this](const httplib::Request& request, httplib::Response&) {
            record(request);
            return httplib::Server::HandlerResponse::Unhandled;
        });
        server.Get("/_control/fault",
                   [this](const httplib::Request& request, httplib::Response& response) {
                       const std::string mode = request.get_param_value("mode");
                       if (!KnownFault(mode) || mode == "refuse") {
                           response.status = 400;
                           response.set_content("unknown fault mode\n", "text/plain");
                           return;
                       }
                       setFault(mode);
                       response.set_content("fault " + mode + "\n", "text/plain");
                   });
        serveDocument(server, "/trlp/inv/vinventory.txt", [this] { return market_; });
        // Only the stored addresses end in a blank; the request leaves it out.
        server.Get(R"(/html/rawdata2\.php)",
                   [this](const httplib::Request& request, httplib::Response& response) {
                       const std::string mode = request.has_param("redirected") ? "none" : fault();
                       if (mode != "none" || !database_.sendAtRate(response)) {
                           respond(mode, database_.document(), request, response);
                       }
                   });
        serveDocument(server, R"(/dblastchange\.txt)", [this] { return database_.date(); });
        serveDocument(server, "/trelkbeta/_tracking1.php", [this] { return database_.version(); });
        database_.installControls(server);
        InstallWebPages(server, Quit);
    }

private:
    std::string fault() {
        std::lock_guard lock(mutex_);
        return fault_;
    }
    void setFault(const std::string& mode) {
        std::lock_guard lock(mutex_);
        fault_ = mode;
    }

    void record(const httplib::Request& request) {
        if (options_.recordFile.empty()) {
            return;
        }
        std::lock_guard lock(recordMutex_);
        std::ofstream out(options_.recordFile, std::ios::app);
        out << request.method << '\t' << request.target << '\t' << request.version << '\t'
            << request.get_header_value("User-Agent") << '\t' << request.get_header_value("Accept")
            << '\t' << request.get_header_value("Via") << '\t'
            << request.get_header_value("X-Forwarded-For") << '\n';
    }

    template <typename Document>
    void serveDocument(httplib::Server& server, const std::string& pattern, Document document) {
        server.Get(pattern,
                   [this, document](const httplib::Request& request, httplib::Response& response) {
                       const std::string mode = request.has_param("redirected") ? "none" : fault();
                       respond(mode, document(), request, response);
                   });
    }

    static void respond(const std::string& mode, std::string body, const httplib::Request& request,
                        httplib::Response& response) {
        if (mode == "404") {
            response.status = 404;
            response.set_content("Not Found\n", "text/plain");
        } else if (mode == "500") {
            response.status = 500;
            response.set_content("Internal Server Error\n", "text/plain");
        } else if (mode == "redirect") {
            const char separator = request.target.find('?') == std::string::npos ? '?' : '&';
            response.set_redirect(request.target + separator + "redirected=1", 302);
        } else if (mode == "garbage") {
            response.set_content(BinaryGarbage(64 * 1024, 99u), "application/octet-stream");
        } else if (mode == "slow") {
            auto text = std::make_shared<std::string>(std::move(body));
            response.set_content_provider(
                text->size(), "text/plain", [text](size_t offset, size_t, httplib::DataSink& sink) {
                    std::this_thread::sleep_for(std::chrono::milliseconds(200));
                    return !Quit && sink.write(text->data() + offset, 1);
                });
        } else if (mode == "close") {
            auto text = std::make_shared<std::string>(std::move(body));
            response.set_content_provider(
                text->size(), "text/plain", [text](size_t offset, size_t, httplib::DataSink& sink) {
                    const size_t half = text->size() / 2;
                    if (offset >= half) {
                        return false; // the connection ends here
                    }
                    return sink.write(text->data() + offset, half - offset);
                });
        } else if (mode == "huge" || mode == "huge-chunked") {
            auto block = std::make_shared<std::string>(64 * 1024, 'A');
            auto provide = [block](size_t offset, httplib::DataSink& sink) {
                if (Quit || static_cast<long long>(offset) >= HugeSize) {
                    sink.done();
                    return !Quit;
                }
                const size_t size =
                    std::min<size_t>(block->size(), static_cast<size_t>(HugeSize) - offset);
                return sink.write(block->data(), size);
            };
            if (mode == "huge") {
                response.set_content_provider(
                    static_cast<size_t>(HugeSize), "text/plain",
                    [provide](size_t offset, size_t, httplib::DataSink& sink) {
                        return provide(offset, sink);
                    });
            } else {
                response.set_chunked_content_provider("text/plain", provide);
            }
        } else {
            response.set_content(std::move(body), "text/plain");
        }
    }

    const Options& options_;
    std::mutex mutex_;
    std::string fault_;
    std::mutex recordMutex_;
    const std::string market_;
    DatabaseService database_;
};

} // namespace

int main(int argc, char** argv) {
    const Options options = Parse(argc, argv);
    std::signal(SIGTERM, OnSignal);
    std::signal(SIGINT, OnSignal);
    std::signal(SIGPIPE, SIG_IGN);
    if (options.fault == "refuse") {
        return RefuseForever(options);
    }
    httplib::Server server;
    Services services(options);
    services.install(server);
    const int port = options.port == 0
                         ? server.bind_to_any_port(options.address)
                         : (server.bind_to_port(options.address, options.port) ? options.port : -1);
    if (port < 0) {
        std::cerr << "trelk-services: cannot listen on " << options.address << ":" << options.port
                  << "\n";
        return 1;
    }
    // A signal only sets the flag; this thread ends the server.
    std::thread watcher([&server] {
        while (!Quit) {
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
        server.stop();
    });
    WritePortFile(options.portFile, port);
    std::cout << "trelk-services: listening on http://" << options.address << ":" << port
              << std::endl;
    server.listen_after_bind();
    Quit = true;
    watcher.join();
    return 0;
}

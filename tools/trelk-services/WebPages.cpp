#include "WebPages.h"

#include "ServiceDocuments.h"
#include "WebChart.h"

#include <chrono>
#include <httplib.h>
#include <memory>
#include <thread>

namespace trelk::services {

namespace {

constexpr std::size_t BigPageBytes = 50u * 1024 * 1024;

void Page(httplib::Server& server, const std::string& path, std::string html) {
    server.Get(path,
               [html = std::move(html)](const httplib::Request&, httplib::Response& response) {
                   response.set_content(html, "text/html");
               });
}

std::string DialogsPage() {
    return "<!DOCTYPE html><html><head><title>Dialogs</title>"
           "<script>alert('an alert');confirm('a question');prompt('a prompt','');"
           "window.open('/web/index.html');"
           "window.onbeforeunload=function(){return 'stay';};</script></head>"
           "<body style=\"margin:0;background:#3060c0\">"
           "<div style=\"width:512px;height:256px;background:#30c060\"></div>"
           "<script>window.open('/web/wide.html','_blank');alert('another');</script>"
           "</body></html>";
}

} // namespace

void InstallWebPages(httplib::Server& server, const std::atomic<bool>& quit) {
    Page(server, "/web/index.html", IndexPage());
    Page(server, "/web/wide.html", WidePage());
    Page(server, "/web/long.html", LongPage());
    Page(server, "/web/chart.html", ChartPage());
    Page(server, "/web/dialogs.html", DialogsPage());
    // The head arrives, then nothing more, ever: the page never finishes loading.
    server.Get("/web/never.html", [&quit](const httplib::Request&, httplib::Response& response) {
        response.set_chunked_content_provider(
            "text/html", [&quit, sent = false](size_t, httplib::DataSink& sink) mutable {
                if (!sent) {
                    sent = true;
                    const std::string head = "<!DOCTYPE html><html><body><p>Loading";
                    return sink.write(head.data(), head.size());
                }
                std::this_thread::sleep_for(std::chrono::milliseconds(100));
                return !quit && sink.is_writable();
            });
    });
    server.Get("/web/loop.html", [](const httplib::Request&, httplib::Response& response) {
        response.set_redirect("/web/loop.html", 302);
    });
    server.Get("/web/big.html", [](const httplib::Request&, httplib::Response& response) {
        auto block = std::make_shared<std::string>();
        for (int i = 0; block->size() < 64 * 1024; ++i) {
            *block += "<p>Cargo manifest line " + std::to_string(i) + ": ore, ice, salvage.</p>";
        }
        response.set_chunked_content_provider("text/html",
                                              [block](size_t offset, httplib::DataSink& sink) {
                                                  if (offset >= BigPageBytes) {
                                                      sink.done();
                                                      return true;
                                                  }
                                                  return sink.write(block->data(), block->size());
                                              });
    });
}

} // namespace trelk::services

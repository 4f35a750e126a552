#include "DatabaseService.h"

#include "DatabaseDocument.h"

#include <algorithm>
#include <chrono>
#include <httplib.h>
#include <memory>
#include <thread>

namespace trelk::services {

DatabaseService::DatabaseService(int records, std::string date, std::string version, int rate)
    : records_(DatabaseRecords(records)), date_(std::move(date)), version_(std::move(version)),
      rate_(rate) {}

bool DatabaseService::sendAtRate(httplib::Response& response) const {
    if (rate_ <= 0) {
        return false;
    }
    constexpr int TicksPerSecond = 20;
    auto text = std::make_shared<std::string>(document());
    const auto chunk = static_cast<std::size_t>(std::max(rate_ / TicksPerSecond, 1));
    response.set_content_provider(
        text->size(), "text/plain",
        [text, chunk](std::size_t offset, std::size_t, httplib::DataSink& sink) {
            std::this_thread::sleep_for(std::chrono::milliseconds(1000 / TicksPerSecond));
            return sink.write(text->data() + offset, std::min(chunk, text->size() - offset));
        });
    return true;
}

std::string DatabaseService::document() const {
    std::lock_guard lock(mutex_);
    return DatabaseHeader(date_) + records_;
}

std::string DatabaseService::date() const {
    std::lock_guard lock(mutex_);
    return date_;
}

std::string DatabaseService::version() const {
    std::lock_guard lock(mutex_);
    return version_;
}

void DatabaseService::installControls(httplib::Server& server) {
    auto setter = [this](std::string DatabaseService::*field) {
        return [this, field](const httplib::Request& request, httplib::Response& response) {
            if (!request.has_param("value")) {
                response.status = 400;
                response.set_content("value missing\n", "text/plain");
                return;
            }
            const std::string value = request.get_param_value("value");
            {
                std::lock_guard lock(mutex_);
                this->*field = value;
            }
            response.set_content(value + "\n", "text/plain");
        };
    };
    server.Get("/_control/db-date", setter(&DatabaseService::date_));
    server.Get("/_control/version", setter(&DatabaseService::version_));
}

} // namespace trelk::services

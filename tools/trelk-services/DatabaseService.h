#pragma once

#include <mutex>
#include <string>

namespace httplib {
class Server;
struct Response;
} // namespace httplib

namespace trelk::services {

// The database service and the update service: the document, the date of the newest database
// and the newest program version. The date and the version can be changed while the server
// runs (GET /_control/db-date?value=D, GET /_control/version?value=V), so a test makes either
// newer or older than the program's; the document's header follows the date.
class DatabaseService {
public:
    // rate: bytes per second the document is sent at (0: as fast as it goes), so a client's
    // progress can be watched.
    DatabaseService(int records, std::string date, std::string version, int rate);

    std::string document() const;
    // The document at the rate, when there is one; false when the caller sends it.
    bool sendAtRate(httplib::Response& response) const;
    std::string date() const;
    std::string version() const;

    void installControls(httplib::Server& server);

private:
    mutable std::mutex mutex_;
    const std::string records_;
    std::string date_;
    std::string version_;
    const int rate_;
};

} // namespace trelk::services

#pragma once

#include <mutex>
#include <string>

namespace httplib {
class Server;
}

namespace trelk::services {

// The coordinate database document: a header line with the date ("Trelk Database: 05-08-17 ;
// ..."), then LF-separated records "id;region;object;x;y;z;category;size" with the coordinates
// in thousandths. Regions hold objects, objects hold records; every category and size the
// program maps appears, and some it does not know; a few names carry the quotes and
// backslashes the program removes. Deterministic for a count.
std::string DatabaseRecords(int records);
std::string DatabaseDocument(int records, const std::string& date);

// The database service and the update service: the document, the date of the newest database
// and the newest program version. The date and the version can be changed while the server
// runs (GET /_control/db-date?value=D, GET /_control/version?value=V), so a test makes either
// newer or older than the program's; the document's header follows the date.
class DatabaseService {
public:
    DatabaseService(int records, std::string date, std::string version);

    std::string document() const;
    std::string date() const;
    std::string version() const;

    void installControls(httplib::Server& server);

private:
    mutable std::mutex mutex_;
    const std::string records_;
    std::string date_;
    std::string version_;
};

} // namespace trelk::services

// The two replies of the update check, "date\0version\0local date": the database service's
// date and the update service's version as the completion weighs them against the stored
// database date and the program's version.

#include "FuzzInput.h"
#include "downloads/DatabaseConversion.h"
#include "downloads/HttpClients.h"
#include "downloads/UpdateCheck.h"
#include "platform/sim/SimEventLoop.h"
#include "platform/sim/SimHttp.h"

#include <thread>

namespace {

using namespace trelk;

const std::string DateUrl = "http://db.test/dblastchange.txt";
const std::string VersionUrl = "http://updates.test/v.php?id=";

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::vector<std::string> parts = fuzz::Parts(fuzz::Text(data, size));
    parts.resize(std::max<std::size_t>(parts.size(), 3));
    (void)DateNumber(parts[0]);
    (void)DateNumber(parts[2]);

    SimEventLoop loop;
    SimHttp http{loop};
    HttpClients clients{http};
    const std::atomic<bool> shuttingDown{false};
    const VersionInfo version = MakeVersionInfo("Trelk Pro", 3, 11, 3, "09-Dec-2026");
    const std::string installCode = "0123456789abcdefghijkl";
    http.setReply(DateUrl, {.body = parts[0]});
    http.setReply(VersionUrl + "3.11.3_" + installCode, {.body = parts[1]});
    int downloads = 0;
    UpdateCheck check(loop, clients.HTTP2(), shuttingDown, version,
                      {DateUrl, VersionUrl, parts[2], installCode},
                      {.setStatusText = [](const std::string&) {},
                       .setCaption = [](const std::string&) {},
                       .flashWindow = [] {},
                       .confirm = [](const std::string&) { return true; },
                       .retrieveDatabase =
                           [&downloads](const std::function<void()>& then) {
                               ++downloads;
                               then();
                           },
                       .trace = [](const std::string&) {}});
    check.btnDownloadClick();
    while (check.Running() || loop.pendingCount() > 0) {
        loop.processPendingMessages();
        std::this_thread::yield();
    }
    // A date reply that is a date downloads (newer, or asked for anyway); anything else not.
    // The update client reads seven-bit text, as the services have always sent it.
    std::string received = parts[0];
    for (char& c : received) {
        c = static_cast<char>(c & 0x7F);
    }
    fuzz::Expect(downloads == (DateNumber(received) ? 1 : 0));
    return 0;
}

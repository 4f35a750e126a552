#pragma once

#include <atomic>

namespace httplib {
class Server;
}

namespace trelk::services {

// The sample web pages under /web/: the pages the console shows (an index, a wide chart, a long
// bulletin, the block chart) and the ones a browser must survive: a page that never ends, a
// redirect loop, a page of 50 MB, a page that opens dialogs and windows.
void InstallWebPages(httplib::Server& server, const std::atomic<bool>& quit);

} // namespace trelk::services

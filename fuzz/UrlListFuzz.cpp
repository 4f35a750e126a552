// The Web tab's address file as it lies on disk: loaded, saved and loaded again. What the
// first load read comes back from the file it saved.

#include "FuzzInput.h"
#include "platform/sim/SimFileSystem.h"
#include "web/UrlList.h"

namespace {

using namespace trelk;

constexpr const char* File = "/opt/trelk/TRLP_URL.dat";

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text = fuzz::Text(data, size);
    (void)UrlList::Parse(text);

    SimFileSystem files;
    files.addFile(File, std::string(text));
    UrlList list(files, File, {});
    list.LoadList();
    const std::vector<UrlListRow> loaded = list.Rows();
    fuzz::Expect(UrlList::Parse(UrlList::ToFile(loaded)) == loaded);
    fuzz::Expect(list.SaveList());
    UrlList again(files, File, {});
    again.LoadList();
    fuzz::Expect(again.Rows() == loaded);
    list.SetPilotUrl("http://pilot.test/");
    return 0;
}

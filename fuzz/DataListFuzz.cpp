// A coordinate data file as the pilot drops it into the data folder: the list built from it
// (once as an ordinary file, once as a waypoint file), then walked as the database pages walk
// it, the group index checked against the word rules it stands in for.

#include "FuzzInput.h"
#include "data/DataFile.h"
#include "data/DflrText.h"
#include "data/ListTextIndex.h"
#include "data/ListTextWords.h"
#include "platform/sim/SimFileSystem.h"

#include <algorithm>

namespace {

using namespace trelk;

// Bounds the walk: each group checked against the word rules costs a pass over the text.
constexpr int GroupsChecked = 64;

void Walk(const std::string& text) {
    const ListTextIndex groups(text);
    fuzz::Expect(groups.Covers(text));
    const LumacorOrigin origin{.X = 10, .Y = -20, .Z = 30, .Valid = true};
    for (int n = 1; n <= std::min(groups.Count(), GroupsChecked); ++n) {
        const std::string_view word = groups.Group(text, n);
        fuzz::Expect(word == NthWord(n, text, "("));
        fuzz::Expect(groups.Title(text, n) == NthBetween(n, text, '(', ')'));
        const ListGroup group = ParseListGroup(word);
        for (const std::string_view subgroupWord : group.subgroups) {
            const ListSubgroup subgroup = ParseListSubgroup(subgroupWord);
            (void)UpTo(subgroupWord, ']');
            for (const std::string_view entry : subgroup.entries) {
                (void)FormatDflrText(entry, origin);
                (void)FormatDflrText(entry, LumacorOrigin{});
            }
        }
    }
    // Past the last group: the pages ask for words that do not exist.
    fuzz::Expect(groups.Group(text, groups.Count() + 1).empty());
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string content(fuzz::Text(data, size));
    SimFileSystem files;
    files.addFolder("/data");
    files.addFile("/data/belt.dat", content);
    files.addFile("/data/route.trk", content);
    const DataListBuild build =
        BuildDataList(files, DataKind::Roid, "/data/", {"belt.dat", "route.trk"});
    Walk(build.text);
    return 0;
}

// A coordinate data file as the pilot drops it into the data folder, "<kind><content>": the
// list built from it (an ordinary or a waypoint file, for one of the three lists), then walked as
// the database pages walk it, the group index checked against the word rules it stands in for.

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
constexpr int GroupsChecked = 16;

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
            }
        }
    }
    // Past the last group: the pages ask for words that do not exist.
    fuzz::Expect(groups.Group(text, groups.Count() + 1).empty());
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) {
        return 0;
    }
    const int kind = DataKind::Roid + data[0] % 3;
    const std::string name = (data[0] & 0x10) != 0 ? "route.trk" : "belt.dat";
    SimFileSystem files;
    files.addFile("/data/" + name, std::string(fuzz::Text(data + 1, size - 1)));
    // The file twice: the second of two files without a group joins the first one's group.
    const DataListBuild build = BuildDataList(files, kind, "/data/", {name, name});
    Walk(build.text);
    return 0;
}

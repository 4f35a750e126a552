// The coordinate database conversion of the sample services' document (targets: 100,000
// records under 100 ms, 200,000 at most 2.2 times that), and side by side in the same run the
// same conversion from a file into a file, ours and a shell pipeline of awk for the fields,
// sort without regard to case and awk for the lines (target: ours at least 3 times faster).
//
//   build/bin/bench_databaseconvertbench

#include "DatabaseDocument.h"
#include "downloads/DatabaseConversion.h"
#include "support/TempFolder.h"

#include <benchmark/benchmark.h>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <map>

namespace {

using namespace trelk;

const std::string& DocumentOf(int records) {
    static std::map<int, std::string> documents;
    auto [it, added] = documents.try_emplace(records);
    if (added) {
        it->second = services::DatabaseDocument(records, "05-08-17");
    }
    return it->second;
}

void BM_ConvertDatabase(benchmark::State& state) {
    const std::string& document = DocumentOf(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        DatabaseConversion conversion = ConvertDatabase(document);
        if (!conversion.ok) {
            state.SkipWithError(conversion.error.c_str());
        }
        benchmark::DoNotOptimize(conversion.fileText.data());
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_ConvertDatabase)->Arg(100000)->Arg(200000)->Unit(benchmark::kMillisecond);

// Both read the document from a file and write the data file.
struct Files {
    testing::TempFolder folder;
    std::string input = folder.file("rawdata2.txt");
    std::string output = folder.file("MyLumacor.dat");
    explicit Files(int records) { std::ofstream(input, std::ios::binary) << DocumentOf(records); }
};

void BM_OursFileToFile(benchmark::State& state) {
    Files files(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        std::ifstream in(files.input, std::ios::binary);
        const std::string document{std::istreambuf_iterator<char>(in), {}};
        const DatabaseConversion conversion = ConvertDatabase(document);
        std::ofstream(files.output, std::ios::binary) << conversion.fileText;
    }
}
BENCHMARK(BM_OursFileToFile)->Arg(100000)->Unit(benchmark::kMillisecond)->UseRealTime();

// The fields with awk (line cut, removed characters, thousandths rounded half away from zero,
// the mapping, blank runs), sort -f, then the group, sub-group and entry lines with awk.
const char* const Pipeline = R"SH(LC_ALL=C awk -F';' '
BEGIN { c["prec. metals"]="prec"; c["semifluxor"]="semi"; c["radioactive"]="rad";
        c["ice"]="ice"; c["custom"]="cust"; s["chip"]="chip "; s["small"]="small";
        s["med."]="med  "; s["big"]="big  " }
function th(v,  a, q) { a = v < 0 ? -v : v; q = int((a + 50) / 100);
        return (v < 0 && q > 0 ? "-" : "") int(q / 10) "." (q % 10) }
NR == 1 { next }
{ line = substr($0, 1, 119); gsub(/[\\'\''`]/, "", line); if (line == "") exit
  split(line, f, ";"); w = f[2] "; " f[3] ";" th(f[4]) " " th(f[5]) " " th(f[6]) " "
  w = w ((f[7] in c) ? c[f[7]] : "---") "  " ((f[8] in s) ? s[f[8]] : "---")
  gsub(/ +/, " ", w); print w }' "$1" | LC_ALL=C sort -f | LC_ALL=C awk '
BEGIN { ORS = "\r\n" }
{ i = index($0, ";"); g = substr($0, 1, i - 1); r = substr($0, i + 1)
  gsub(/^ +| +$/, "", g); i = index(r, ";"); sg = substr(r, 1, i - 1); r = substr(r, i + 1)
  gsub(/^ +| +$/, "", sg)
  if (g != pg) { print "(" g ")"; pg = g; ps = "" }
  if (sg != ps) { print "[" sg "]"; ps = sg; n = 0 }
  print substr(r, 1, 44) " <" ++n ">" }' > "$2")SH";

void BM_ShellPipelineFileToFile(benchmark::State& state) {
    Files files(static_cast<int>(state.range(0)));
    const std::string script = files.folder.file("convert.sh");
    std::ofstream(script) << Pipeline << "\n";
    const std::string command = "sh " + script + " " + files.input + " " + files.output;
    for (auto _ : state) {
        if (std::system(command.c_str()) != 0) {
            state.SkipWithError("the pipeline failed");
        }
    }
}
BENCHMARK(BM_ShellPipelineFileToFile)->Arg(100000)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

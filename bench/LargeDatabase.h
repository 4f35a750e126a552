#pragma once

#include <sstream>
#include <string>

namespace trelk::bench {

// A 10 MB coordinate database: 5,000 groups of four sub-groups of twelve entries, CR LF lines
// as the download conversion writes them, with the runs of blanks and tabs hand-made files
// have.
inline std::string LargeDatabase() {
    std::ostringstream out;
    out << "SEND=NO\r\n";
    unsigned seed = 17;
    const auto next = [&seed] {
        seed = seed * 1103515245U + 12345U;
        return (seed >> 8) % 100000U;
    };
    for (int group = 1; group <= 5000; ++group) {
        out << "(Sector " << group << ")\r\n";
        for (int sub = 1; sub <= 4; ++sub) {
            out << "[Field " << sub << "]\r\n";
            for (int entry = 0; entry < 12; ++entry) {
                out << next() / 10 << '.' << next() % 10 << "  -" << next() / 10 << ".5\t"
                    << next() / 100 << ".2 Lumacite large, rich\r\n";
            }
        }
    }
    return out.str();
}

} // namespace trelk::bench

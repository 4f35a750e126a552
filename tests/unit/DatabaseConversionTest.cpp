// The coordinate database document becoming "MyLumacor.dat": the header date, the records'
// fields, the mapping, the sorted working list and the lines written from it.

#include "downloads/DatabaseConversion.h"

#include <algorithm>
#include <cctype>
#include <gtest/gtest.h>
#include <limits>
#include <vector>

namespace trelk {
namespace {

const std::string Header = "Trelk Database: 05-08-17 ; sample\n";

std::string Document(std::initializer_list<const char*> records) {
    std::string text = Header;
    for (const char* record : records) {
        text += record;
        text += '\n';
    }
    return text;
}

// The data file as lines without their CR LF.
std::vector<std::string> Lines(const DatabaseConversion& conversion) {
    std::vector<std::string> lines;
    const std::string& text = conversion.fileText;
    for (std::size_t start = 0; start < text.size();) {
        const std::size_t end = text.find("\r\n", start);
        EXPECT_NE(end, std::string::npos) << "every line ends in CR LF";
        lines.push_back(text.substr(start, end - start));
        start = end + 2;
    }
    return lines;
}

std::vector<std::string> Convert(std::initializer_list<const char*> records) {
    const DatabaseConversion conversion = ConvertDatabase(Document(records));
    EXPECT_TRUE(conversion.ok) << conversion.error;
    return Lines(conversion);
}

using Strings = std::vector<std::string>;

TEST(DatabaseConversionTest, ARecordBecomesItsGroupSubGroupAndEntryWithTheHeaderDate) {
    const DatabaseConversion conversion = ConvertDatabase(
        Document({"7;Sector A;Field 1;12340;-6790;100;prec. metals;med.;ignored;too"}));
    ASSERT_TRUE(conversion.ok) << conversion.error;
    EXPECT_EQ(conversion.date, "05-08-17");
    EXPECT_EQ(conversion.records, 1U);
    EXPECT_EQ(conversion.fileText, "(Sector A)\r\n[Field 1]\r\n12.3 -6.8 0.1 prec med  <1>\r\n");
}

TEST(DatabaseConversionTest, TheDateIsTheSecondFieldOfTheHeaderUpToABlank) {
    auto date = [](const std::string& header) {
        return ConvertDatabase(header + "\n1;A;B;1;2;3;ice;big\n").date;
    };
    EXPECT_EQ(date("Trelk Database:   06-01-02 built nightly"), "06-01-02");
    EXPECT_EQ(date("db;07-11-30;x"), "07-11-30");
    EXPECT_EQ(date("db:07-11-30:x"), "07-11-30");

    // No date where it belongs: an error page, say. Nothing is made of it.
    for (const char* header :
         {"<html><body>Service unavailable</body></html>", "db:;x", "db: not-a-date ;x", "db:"}) {
        const DatabaseConversion conversion =
            ConvertDatabase(std::string(header) + "\n1;A;B;1;2;3;ice;big\n");
        EXPECT_FALSE(conversion.ok) << header;
        EXPECT_TRUE(conversion.fileText.empty());
        EXPECT_EQ(conversion.error,
                  "The database has no date in its first line; the database was not changed.");
    }
}

TEST(DatabaseConversionTest, CategoriesAndSizesMapExactlyAndAnythingElseIsDashes) {
    const Strings lines =
        Convert({"1;R;O;0;0;0;prec. metals;chip", "2;R;O;0;0;0;semifluxor;small",
                 "3;R;O;0;0;0;radioactive;med.", "4;R;O;0;0;0;ice;big", "5;R;O;0;0;0;custom;huge",
                 "6;R;O;0;0;0;Ice;Big", "7;R;O;0;0;0;ore;", "8;R;O;0;0;0"});
    // Blank runs collapse, so "chip " and "med  " end in one blank before the counter's.
    EXPECT_EQ(lines, (Strings{"(R)", "[O]", "0.0 0.0 0.0 --- --- <1>", "0.0 0.0 0.0 --- --- <2>",
                              "0.0 0.0 0.0 --- --- <3>", "0.0 0.0 0.0 cust --- <4>",
                              "0.0 0.0 0.0 ice big  <5>", "0.0 0.0 0.0 prec chip  <6>",
                              "0.0 0.0 0.0 rad med  <7>", "0.0 0.0 0.0 semi small <8>"}));
}

TEST(DatabaseConversionTest, RecordsSortWithoutRegardToCaseAndEqualOnesKeepBothNewestFirst) {
    const Strings lines =
        Convert({"1;sector b;Field;1000;0;0;ice;big", "2;Sector A;Field 2;2000;0;0;ice;big",
                 "3;SECTOR A;field 1;3000;0;0;ice;big", "4;Sector A;Field 1;3000;0;0;ice;big",
                 "5;Sector A;Field 1;3000;0;0;ice;big"});
    // "SECTOR A; field 1" equals "Sector A; Field 1" without regard to case: the three equal
    // lines come newest first, and each change of the exact name writes its heading again.
    EXPECT_EQ(
        lines,
        (Strings{"(Sector A)", "[Field 1]", "3.0 0.0 0.0 ice big  <1>", "3.0 0.0 0.0 ice big  <2>",
                 "(SECTOR A)", "[field 1]", "3.0 0.0 0.0 ice big  <1>", "(Sector A)", "[Field 2]",
                 "2.0 0.0 0.0 ice big  <1>", "(sector b)", "[Field]", "1.0 0.0 0.0 ice big  <1>"}));
}

TEST(DatabaseConversionTest, EachGroupWritesItsFirstSubGroupEvenWhenTheNameRepeats) {
    const Strings lines = Convert({"1;A;Belt;1000;0;0;ice;big", "2;A;Belt;2000;0;0;ice;big",
                                   "3;B;Belt;3000;0;0;ice;big", "4;B;Ring;4000;0;0;ice;big"});
    EXPECT_EQ(lines, (Strings{"(A)", "[Belt]", "1.0 0.0 0.0 ice big  <1>",
                              "2.0 0.0 0.0 ice big  <2>", "(B)", "[Belt]",
                              "3.0 0.0 0.0 ice big  <1>", "[Ring]", "4.0 0.0 0.0 ice big  <1>"}));
}

TEST(DatabaseConversionTest, LinesAreCutAt119CharactersAndEntriesAt44) {
    // The object's name pushes the category and size past character 119: they are lost.
    const std::string object(100, 'o');
    const std::string record = "1;R;" + object + ";1000;2000;3000;ice;big;" + std::string(72, 'x');
    ASSERT_EQ(record.size(), 200U);
    const DatabaseConversion cut = ConvertDatabase(Header + record + "\n");
    ASSERT_TRUE(cut.ok) << cut.error;
    EXPECT_EQ(Lines(cut), (Strings{"(R)", "[" + object + "]", "1.0 2.0 3.0 --- --- <1>"}));

    // Long coordinates make an entry longer than 44 characters: the counter follows the cut.
    const Strings lines =
        Convert({"1;R;O;-123456789012345;-123456789012345;-123456789012345;radioactive;small"});
    EXPECT_EQ(lines[2], "-123456789012.3 -123456789012.3 -12345678901 <1>");
}

TEST(DatabaseConversionTest, QuotesBackticksAndBackslashesAreRemoved) {
    EXPECT_EQ(Convert({"1;O'Malley\\s `Reach`;Tw\\ins;1000;0;0;ice;big"}),
              (Strings{"(OMalleys Reach)", "[Twins]", "1.0 0.0 0.0 ice big  <1>"}));
}

TEST(DatabaseConversionTest, AnEmptyLineEndsTheRecordsAndAFinalLineWithoutLfCounts) {
    EXPECT_EQ(
        ConvertDatabase(Header + "1;A;B;1000;0;0;ice;big\n\n2;C;D;1000;0;0;ice;big\n").records, 1U);
    // A line of removed characters only is empty too.
    EXPECT_EQ(
        ConvertDatabase(Header + "1;A;B;1000;0;0;ice;big\n''\\\n2;C;D;1;0;0;ice;big\n").records,
        1U);
    EXPECT_EQ(ConvertDatabase(Header + "1;A;B;1000;0;0;ice;big\n2;C;D;1000;0;0;ice;big").records,
              2U);
    // A last character alone is not a record.
    EXPECT_EQ(ConvertDatabase(Header + "1;A;B;1000;0;0;ice;big\nx").records, 1U);
}

TEST(DatabaseConversionTest, ACoordinateThatIsNotAWholeNumberStopsTheConversion) {
    for (const char* bad : {"12.5", "", "1e3", "12a", "--3", "99999999999999999999"}) {
        const std::string record = std::string("2;A;B;1000;") + bad + ";0;ice;big";
        const DatabaseConversion conversion =
            ConvertDatabase(Header + "1;A;B;1000;0;0;ice;big\n" + record + "\n");
        EXPECT_FALSE(conversion.ok) << bad;
        EXPECT_TRUE(conversion.fileText.empty());
        EXPECT_EQ(conversion.error, "Line 3 of the database has a coordinate that is not a whole "
                                    "number (\"" +
                                        std::string(bad) + "\"); the database was not changed.");
    }
    // Fields missing from the end: no z.
    EXPECT_FALSE(ConvertDatabase(Header + "1;A;B;1000;0\n").ok);
    // Signs and blanks around the digits are whole numbers still.
    EXPECT_EQ(Convert({"1;A;B; 1000;+2000;-3000 ;ice;big"})[2], "1.0 2.0 -3.0 ice big  <1>");
}

TEST(DatabaseConversionTest, ThousandthsRoundHalvesAwayFromZero) {
    EXPECT_EQ(Thousandths(12340), "12.3");
    EXPECT_EQ(Thousandths(-6790), "-6.8");
    EXPECT_EQ(Thousandths(100), "0.1");
    EXPECT_EQ(Thousandths(12350), "12.4");
    EXPECT_EQ(Thousandths(-12350), "-12.4");
    EXPECT_EQ(Thousandths(12349), "12.3");
    EXPECT_EQ(Thousandths(50), "0.1");
    EXPECT_EQ(Thousandths(-49), "0.0") << "no negative zero";
    EXPECT_EQ(Thousandths(0), "0.0");
    EXPECT_EQ(Thousandths(std::numeric_limits<std::int64_t>::max()), "9223372036854775.8");
    EXPECT_EQ(Thousandths(std::numeric_limits<std::int64_t>::min()), "-9223372036854775.8");
}

TEST(DatabaseConversionTest, DatesAreNumbersWithoutTheirDashes) {
    EXPECT_EQ(DateNumber("05-08-17"), 50817);
    EXPECT_EQ(DateNumber("00-00-00"), 0);
    EXPECT_EQ(DateNumber(" 06-01-02\r\n"), 60102);
    EXPECT_EQ(DateNumber("2026-12-09"), 20261209);
    for (const char* bad :
         {"", "  ", "--", "05/08/17", "05-08-17 x", "<html>", "1234567890123456789"}) {
        EXPECT_EQ(DateNumber(bad), std::nullopt) << bad;
    }
}

// The conversion as first written: the document consumed from its front, each working line
// inserted into a list kept sorted (before the equal ones already there).
std::string LiteralConversion(std::string document) {
    auto less = [](const std::string& a, const std::string& b) {
        return std::lexicographical_compare(
            a.begin(), a.end(), b.begin(), b.end(),
            [](unsigned char x, unsigned char y) { return std::toupper(x) < std::toupper(y); });
    };
    auto cutAt = [](std::string& s, char c) {
        const std::size_t at = std::min(s.find(c), s.size());
        std::string head = s.substr(0, at);
        s.erase(0, std::min(at + 1, s.size()));
        return head;
    };
    auto trim = [](std::string s) {
        s.erase(0, std::min(s.find_first_not_of(' '), s.size()));
        s.erase(s.find_last_not_of(' ') + 1);
        return s;
    };
    cutAt(document, '\n');
    std::vector<std::string> sorted;
    while (document.size() > 1) {
        std::string line = cutAt(document, '\n').substr(0, 119);
        std::erase_if(line, [](char c) { return c == '\\' || c == '\'' || c == '`'; });
        if (line.empty()) {
            break;
        }
        std::vector<std::string> f;
        for (std::string rest = line + ";"; !rest.empty();) {
            f.push_back(cutAt(rest, ';'));
        }
        f.resize(8);
        std::string working = f[1] + "; " + f[2] + ";";
        for (int i = 3; i < 6; ++i) {
            working += Thousandths(std::stoll(f[static_cast<std::size_t>(i)])) + " ";
        }
        working += std::string(CategoryText(f[6])) + "  " + std::string(SizeText(f[7]));
        std::string collapsed;
        for (const char c : working) {
            if (!(c == ' ' && !collapsed.empty() && collapsed.back() == ' ')) {
                collapsed += c;
            }
        }
        sorted.insert(std::lower_bound(sorted.begin(), sorted.end(), collapsed, less), collapsed);
    }
    std::string out, group, subGroup;
    int counter = 0;
    while (!sorted.empty()) {
        std::string rest = sorted.front();
        sorted.erase(sorted.begin());
        if (const std::string g = trim(cutAt(rest, ';')); g != group) {
            out += "(" + g + ")\r\n";
            group = g;
            subGroup.clear();
        }
        if (const std::string s = trim(cutAt(rest, ';')); s != subGroup) {
            out += "[" + s + "]\r\n";
            subGroup = s;
            counter = 0;
        }
        out += rest.substr(0, 44) + " <" + std::to_string(++counter) + ">\r\n";
    }
    return out;
}

TEST(DatabaseConversionTest, TheResultIsTheOneTheSortedInsertionGave) {
    // Names that differ in case only, repeats, and the characters around the letters.
    const char* regions[] = {"Rim", "rim", "RIM", "Rim_2", "Rim[2]", "Core", "core 2", "Ørn"};
    const char* objects[] = {"Belt", "belt", "Belt ", "Moon^", "Moon", "Moon`s"};
    std::string document = Header;
    std::uint32_t state = 7;
    for (int n = 0; n < 3000; ++n) {
        state = state * 1103515245u + 12345u;
        const std::uint32_t r = state >> 8;
        document += std::to_string(n) + ";" + regions[r % 8] + ";" + objects[(r / 8) % 6] + ";" +
                    std::to_string(static_cast<int>(r % 2000) - 1000) + ";" +
                    std::to_string(static_cast<int>(r % 7) * 50) + ";" + std::to_string(r % 3) +
                    (r % 5 == 0 ? ";ice;big\n" : ";prec. metals;med.\n");
    }
    const DatabaseConversion conversion = ConvertDatabase(document);
    ASSERT_TRUE(conversion.ok) << conversion.error;
    EXPECT_EQ(conversion.fileText, LiteralConversion(document));
}

} // namespace
} // namespace trelk

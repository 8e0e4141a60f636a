// Number layout, file sizes in every display, name masks and UTF-8 column helpers.
#include <gtest/gtest.h>

#include "engine/field_format.h"
#include "engine/records.h"
#include "platform/name_mask.h"
#include "platform/number_format.h"
#include "platform/utf8.h"

namespace quillary {
namespace {

NumberFormat Format(unsigned digits, std::string thousand, std::string decimal = ".") {
    NumberFormat format;
    format.numDigits = digits;
    format.thousandSep = std::move(thousand);
    format.decimalSep = std::move(decimal);
    return format;
}

TEST(NumberFormatTest, LaysOutDecimalTexts) {
    struct Row {
        const char* input;
        unsigned digits;
        const char* thousand;
        const char* decimal;
        const char* expected;
    } rows[] = {
        {"1234567", 0, ",", ".", "1,234,567"},
        {"1234567", 0, "", ".", "1234567"},
        {"1023", 0, " ", ".", "1 023"},
        {"999", 0, " ", ".", "999"},
        {"0", 0, " ", ".", "0"},
        {"1.500000", 1, " ", ".", "1.5"},
        {"1.500000", 0, " ", ".", "2"}, // half away from zero
        {"2.500000", 0, " ", ".", "3"}, // not to even
        {"1.449999", 1, " ", ".", "1.4"},
        {"9.999999", 2, " ", ".", "10.00"}, // carry into a new digit
        {"999.999", 0, ",", ".", "1,000"},
        {"1.500000", 2, " ", ",", "1,50"},
        {"0.000977", 4, " ", ".", "0.0010"},
        {".5", 1, " ", ".", "0.5"}, // leading zero added
        {"007", 0, " ", ".", "7"},
        {"-1234", 0, " ", ".", "(1 234)"},
        {"1234.5", 3, ".", ",", "1.234,500"},
    };
    for (const Row& row : rows) {
        std::string out;
        ASSERT_TRUE(FormatNumber(row.input, Format(row.digits, row.thousand, row.decimal), out)) << row.input;
        EXPECT_EQ(out, row.expected) << row.input << " digits " << row.digits;
    }
}

TEST(NumberFormatTest, RejectsJunkAndOverlongResults) {
    std::string out = "unchanged";
    for (const char* junk : {"", "-", "12a", "1.2.3", " 1", "."})
        EXPECT_FALSE(FormatNumber(junk, Format(0, " "), out)) << junk;
    // 18446744073709551615 grouped with spaces is 26 characters: fits.
    EXPECT_TRUE(FormatNumber("18446744073709551615", Format(0, " "), out));
    // 25 digits with three-character separators and four decimals overflow 31 characters.
    EXPECT_FALSE(FormatNumber("1234567890123456789012345", Format(4, ",,,"), out));
}

TEST(FormatSizeTest, EveryDisplay) {
    const NumberFormat space = Format(0, " ");
    const NumberFormat none = Format(0, "");
    const NumberFormat comma = Format(0, ",");
    const NumberFormat decimalComma = Format(0, " ", ",");
    struct Row {
        std::uint64_t value;
        SizeDisplay display;
        int precision;
        const NumberFormat* format;
        const char* expected;
    } rows[] = {
        {1536, SizeDisplay::Kilobytes, 1, &space, "1.5 KB"},
        {1536, SizeDisplay::Kilobytes, 0, &space, "2 KB"},
        {1536, SizeDisplay::Kilobytes, 2, &decimalComma, "1,50 KB"},
        {1023, SizeDisplay::Dynamic, 0, &space, "1 023 B"},
        {1023, SizeDisplay::Dynamic, 0, &none, "1023 B"},
        {1024, SizeDisplay::Dynamic, 1, &space, "1.0 KB"},
        {0x100000, SizeDisplay::Dynamic, 0, &space, "1 MB"},
        {0x40000000, SizeDisplay::Dynamic, 2, &space, "1.00 GB"},
        {1234567, SizeDisplay::Bytes, 0, &comma, "1,234,567"},
        {1234567, SizeDisplay::Bytes, 3, &comma, "1,234,567"}, // bytes never have decimals
        {3u << 20, SizeDisplay::Megabytes, 0, &space, "3 MB"},
        {1u << 30, SizeDisplay::Gigabytes, 1, &space, "1.0 GB"},
        {1u << 30, static_cast<SizeDisplay>(17), 0, &space, "1 GB"}, // unknown display counts as gigabytes
        {0, SizeDisplay::Kilobytes, 0, &space, "0 KB"},
        {18446744073709551615ull, SizeDisplay::Bytes, 0, &space, "18 446 744 073 709 551 615"},
        // 2^63 bytes in every display.
        {1ull << 63, SizeDisplay::Bytes, 2, &space, "9 223 372 036 854 775 808"},
        {1ull << 63, SizeDisplay::Kilobytes, 2, &space, "9 007 199 254 740 992.00 KB"},
        {1ull << 63, SizeDisplay::Megabytes, 2, &space, "8 796 093 022 208.00 MB"},
        {1ull << 63, SizeDisplay::Gigabytes, 2, &space, "8 589 934 592.00 GB"},
        {1ull << 63, SizeDisplay::Dynamic, 2, &space, "8 589 934 592.00 GB"},
    };
    for (const Row& row : rows)
        EXPECT_EQ(FormatSize(row.value, row.display, row.precision, *row.format), row.expected) << row.value;
}

TEST(FormatSizeTest, FallsBackToRawTextWhenTheLayoutOverflows) {
    // 2^64 bytes in kilobytes with four decimals and a long separator: longer than 31 characters.
    const std::string text = FormatSize(18446744073709551615ull, SizeDisplay::Kilobytes, 4, Format(0, ",,,"));
    EXPECT_EQ(text, "18014398509481984.000000 KB");
}

TEST(FormatSizeTest, FolderTotalsStopAtTheLargestNumber) {
    EXPECT_EQ(SaturatingAdd(1ull << 63, 1ull << 63), UINT64_MAX); // would wrap round to 0
    EXPECT_EQ(SaturatingAdd(UINT64_MAX, 1), UINT64_MAX);
    EXPECT_EQ(SaturatingAdd(UINT64_MAX - 1, 1), UINT64_MAX);
    EXPECT_EQ(SaturatingAdd(2, 3), 5u);
}

TEST(FormatSizeTest, CountsAreGroupedLikeBytes) {
    EXPECT_EQ(FormatCount(1234, Format(0, " ")), "1 234");
    EXPECT_EQ(FormatCount(0, Format(0, " ")), "0");
}

TEST(PathStyleTest, ReducesDirectoryPaths) {
    EXPECT_EQ(ApplyPathStyle("/data/docs/sub/", PathStyle::Full, 5), "/data/docs/sub/");
    EXPECT_EQ(ApplyPathStyle("/data/docs/sub/", PathStyle::NoDrive, 5), "/data/docs/sub/");
    EXPECT_EQ(ApplyPathStyle("/data/docs/sub/", PathStyle::FromTopChecked, 5), "/docs/sub/");
    EXPECT_EQ(ApplyPathStyle("/sub/", PathStyle::FromTopChecked, 0), "/sub/"); // the root selected
    EXPECT_EQ(ApplyPathStyle("/data/docs/sub/", static_cast<PathStyle>(9), 5), "/data/docs/sub/");
    EXPECT_EQ(ApplyPathStyle("c:/x/", PathStyle::NoDrive, 0, kPosixPaths), "c:/x/"); // a name on POSIX

    const PathSyntax& windows = kWindowsPaths;
    EXPECT_EQ(ApplyPathStyle("c:\\Data\\Docs\\Sub\\", PathStyle::Full, 7, windows), "c:\\Data\\Docs\\Sub\\");
    EXPECT_EQ(ApplyPathStyle("c:\\Data\\Docs\\Sub\\", PathStyle::NoDrive, 7, windows), "\\Data\\Docs\\Sub\\");
    EXPECT_EQ(ApplyPathStyle("c:\\Data\\Docs\\Sub\\", PathStyle::FromTopChecked, 7, windows),
              "\\Docs\\Sub\\");
    EXPECT_EQ(ApplyPathStyle("c:\\Sub\\", PathStyle::FromTopChecked, 2, windows),
              "\\Sub\\"); // the drive selected
    EXPECT_EQ(ApplyPathStyle("c:\\", PathStyle::NoDrive, 2, windows), "\\");
    EXPECT_EQ(ApplyPathStyle("\\\\srv\\share\\x\\", PathStyle::NoDrive, 13, windows), "\\\\srv\\share\\x\\");
}

TEST(NameMaskTest, MatchesLikeTheShell) {
    struct Row {
        const char* mask;
        const char* name;
        bool matches;
    } rows[] = {
        {"*.*", "README", true}, // the lone "*.*" matches names without a dot
        {"*.*", ".hidden", true},
        {"*.txt;*.*", "README", false}, // in a list "*.*" needs a dot
        {"*.txt;*.*", "a.b", true},
        {"*.txt", "notes.TXT", true},
        {"*.txt", "notes.txt.bak", false},
        {"*.TXT", "über.txt", true},
        {"ÜBER*", "über.txt", true}, // UTF-8 aware case folding
        {"?.c", "ä.c", true},        // "?" is one character, not one byte
        {"?.c", "ab.c", false},
        {"*.", "name.", true},
        {"*.", "name", false},
        {"", "anything", false},
        {"*", "", true},
        {"a*b*c", "aXXbYYc", true},
        {"a*b*c", "aXXbYY", false},
        {"*.doc; *.txt", "x.txt", true}, // leading spaces of a pattern are skipped
        {"*.txt ", "x.txt", false},      // trailing ones are part of it
        {"[ab].txt", "[ab].txt", true},  // no character classes
        {"[ab].txt", "a.txt", false},
        {";;", "x", false},
    };
    for (const Row& row : rows)
        EXPECT_EQ(NameMask(row.mask).Matches(row.name), row.matches) << row.mask << " vs " << row.name;
}

TEST(NameMaskTest, InvalidUtf8NamesDoNotBreakMatching) {
    EXPECT_TRUE(NameMask("*.txt").Matches("bad\xFF\xFEname.txt"));
    EXPECT_TRUE(NameMask("?").Matches("\xC3"));
}

TEST(Utf8Test, CountsAndCutsWholeCharacters) {
    EXPECT_EQ(Utf8Length("abc"), 3u);
    EXPECT_EQ(Utf8Length("Überblick"), 9u);
    EXPECT_EQ(Utf8Length("\xFF\xFE"), 2u); // invalid bytes count one each
    EXPECT_EQ(Utf8Length("\xE2\x82"), 2u); // truncated sequence
    EXPECT_EQ(Utf8Prefix("Überblick", 2), "Üb");
    EXPECT_EQ(Utf8Prefix("日本語", 1), "日");
    EXPECT_EQ(Utf8Prefix("ab", 5), "ab");
}

} // namespace
} // namespace quillary

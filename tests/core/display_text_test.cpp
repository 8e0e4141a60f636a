// Text as a terminal or a fixed-width listing shows it: control characters neutralised, columns
// counted by display width.
#include <gtest/gtest.h>

#include "platform/display_width.h"
#include "platform/utf8.h"

namespace quillary {
namespace {

TEST(ShowableTextTest, ControlCharactersBecomeQuestionMarks) {
    struct Row {
        const char* text;
        const char* shown;
    } rows[] = {
        {"plain Überblick 日本", "plain Überblick 日本"},
        {"a\nb\tc\rd", "a?b?c?d"},
        {"\x1B]0;owned\x07title", "?]0;owned?title"}, // sets the terminal title when printed raw
        {"\x1B[2J", "?[2J"},                          // clears the screen
        {"del\x7F", "del?"},
        {"c1\xC2\x9B"
         "31m",
         "c1?31m"},                                  // U+009B, the one-character CSI
        {"raw\x9B", "raw?"},                         // the same byte outside UTF-8 (an 8-bit terminal's CSI)
        {"evil\xE2\x80\xAEtxt.exe", "evil?txt.exe"}, // U+202E right-to-left override
        {"\xE2\x80\xAA\xE2\x81\xA6\xE2\x81\xA9", "???"},
        {"\xE2\x80\xA9keep\xE2\x81\xAA", "\xE2\x80\xA9keep\xE2\x81\xAA"}, // neighbours of the ranges
        {"bad\xFF\xFE", "bad\xFF\xFE"},                                   // other invalid bytes stay
    };
    for (const Row& row : rows)
        EXPECT_EQ(ShowableText(row.text), row.shown) << row.text;
}

TEST(DisplayWidthTest, WideCharactersTakeTwoColumnsAndCombiningMarksNone) {
    EXPECT_EQ(DisplayWidth("abc"), 3u);
    EXPECT_EQ(DisplayWidth("日本語.txt"), 10u);
    EXPECT_EQ(DisplayWidth("한국어"), 6u);
    EXPECT_EQ(DisplayWidth("ｆｕｌｌ"), 8u);            // full-width Latin
    EXPECT_EQ(DisplayWidth("e\xCC\x81te\xCC\x81"), 3u); // e + combining acute, twice
    EXPECT_EQ(DisplayWidth("\xF0\x9F\x98\x80"), 2u);    // emoji
    EXPECT_EQ(DisplayWidth("\xFF\xFE"), 2u);            // invalid bytes one column each
    std::size_t used = 0;
    EXPECT_EQ(DisplayPrefix("日本語", 5, used), "日本");
    EXPECT_EQ(used, 4u);
    EXPECT_EQ(DisplayPrefix("e\xCC\x81x", 1, used), "e\xCC\x81"); // a mark stays with its letter
    EXPECT_EQ(used, 1u);
    EXPECT_EQ(DisplayPrefix("ab", 5, used), "ab");
}

} // namespace
} // namespace quillary

// Case-insensitive comparison of UTF-8 names.
#include <gtest/gtest.h>

#include <random>

#include "platform/case_fold.h"
#include "platform/utf8.h"

namespace quillary {
namespace {

int Sign(int value) {
    return (value > 0) - (value < 0);
}

TEST(CaseFoldTest, ComparesFoldedCharacters) {
    struct Case {
        const char* a;
        const char* b;
        int expected;
    };
    const Case cases[] = {
        {"Windows", "wINDOWS", 0},
        {"abc", "abd", -1},
        {"abc", "ab", 1},
        {"_x", "Ax", -1}, // letters compare as lower case, so "_" comes first
        {"Été", "éTÉ", 0},
        {"Łódź", "łÓDŹ", 0},
        {"ΣΊΣ", "σίς", 0}, // final sigma
        {"ЁЖ", "ёж", 0},
        {"ẞ", "ß", 0},
        {"\u212A", "k", 0}, // Kelvin sign
        {"Ա", "ա", 0},
        {"Ａ", "ａ", 0},
        {"xÉ", "xéz", -1}, // the common prefix ends inside a character
        {"é", "éa", -1},
        {"z", "é", -1},
        // Bytes that are not UTF-8 compare as bytes, after every character, and never equal one.
        {"caf\xE9", "café", 1},
        {"\xC9", "\xE9", -1},
        {"\U0010FFFF", "\x80", -1},
        {"\xC3", "é", 1},
        {"\xE2\x82", "€", 1},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Sign(CompareNoCase(c.a, c.b)), c.expected) << c.a << " vs " << c.b;
        EXPECT_EQ(Sign(CompareNoCase(c.b, c.a)), -c.expected) << c.b << " vs " << c.a;
        std::string keyA, keyB;
        AppendFoldedKey(c.a, keyA);
        AppendFoldedKey(c.b, keyB);
        EXPECT_EQ(Sign(keyA.compare(keyB)), c.expected) << "keys of " << c.a << " vs " << c.b;
    }
    EXPECT_TRUE(EqualsNoCase("MÜNCHEN", "münchen"));
    EXPECT_FALSE(EqualsNoCase("a", "a "));
}

// Folds the whole text from its start: what CompareNoCase must agree with.
std::u32string Folded(std::string_view text) {
    std::u32string folded;
    for (std::size_t pos = 0; pos < text.size();) {
        const bool invalid = static_cast<unsigned char>(text[pos]) >= 0x80 && Utf8CharLength(text, pos) == 1;
        const char32_t c = DecodeUtf8(text, pos);
        folded += invalid ? 0x110000 + c : FoldCodePoint(c);
    }
    return folded;
}

TEST(CaseFoldTest, AgreesWithFoldingTheWholeText) {
    // Texts from pieces that share bytes at their starts and ends, valid or not, so that common
    // prefixes end inside characters.
    const char* pieces[] = {"a",        "A", "é", "É", "\xC3", "\xA9", "€",
                            "\xE2\x82", "ς", "Σ", "ẞ", "ß",    "😀",    "\x80"};
    std::mt19937 random(7);
    auto text = [&](std::size_t count) {
        std::string out;
        for (std::size_t i = 0; i < count; ++i)
            out += pieces[random() % std::size(pieces)];
        return out;
    };
    for (int round = 0; round < 20000; ++round) {
        const std::string common = text(random() % 3);
        const std::string a = common + text(random() % 4);
        const std::string b = common + text(random() % 4);
        const std::u32string foldedA = Folded(a);
        const std::u32string foldedB = Folded(b);
        const int expected = foldedA < foldedB ? -1 : foldedA == foldedB ? 0 : 1;
        ASSERT_EQ(Sign(CompareNoCase(a, b)), expected)
            << testing::PrintToString(a) << " vs " << testing::PrintToString(b);
        // The sort keys give the same order, also when each is made in two parts cut after an ASCII
        // character (a name and its extension).
        std::string keyA, keyB;
        AppendFoldedKey(a, keyA);
        AppendFoldedKey(b, keyB);
        ASSERT_EQ(Sign(keyA.compare(keyB)), expected)
            << testing::PrintToString(a) << " vs " << testing::PrintToString(b);
        const std::string withDot = a + "." + b;
        std::string whole, parts;
        AppendFoldedKey(withDot, whole);
        AppendFoldedKey(a + ".", parts);
        AppendFoldedKey(b, parts);
        ASSERT_EQ(whole, parts) << testing::PrintToString(withDot);
        // The head is the key's first eight bytes, and heads that differ order as the texts do.
        std::uint64_t head = 0;
        for (std::size_t i = 0; i < 8; ++i)
            head = (head << 8) | (i < keyA.size() ? static_cast<unsigned char>(keyA[i]) : 0u);
        ASSERT_EQ(FoldedKeyHead(a), head) << testing::PrintToString(a);
        if (FoldedKeyHead(a) != FoldedKeyHead(b)) {
            ASSERT_EQ(FoldedKeyHead(a) < FoldedKeyHead(b) ? -1 : 1, expected);
        }
    }
}

} // namespace
} // namespace quillary

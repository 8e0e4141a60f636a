// JSON text: strings escaped for any bytes, times with their offset, and the reader of listing lines.
#include <gtest/gtest.h>

#include <set>
#include <string>

#include "engine/run_result.h"
#include "writers/json_text.h"

namespace quillary {
namespace {

TEST(JsonTextTest, StringsAreEscapedAndInvalidBytesReported) {
    struct Case {
        std::string text;
        const char* expected;
        bool valid;
    };
    const Case cases[] = {
        {"plain", "\"plain\"", true},
        {"q\"b\\s/", "\"q\\\"b\\\\s/\"", true},
        {"n\nr\rt\t", "\"n\\nr\\rt\\t\"", true},
        {std::string("nul\0esc\x1B del\x7F", 13), "\"nul\\u0000esc\\u001b del\\u007f\"", true},
        {"\xC3\x9C \xE2\x80\xAE \xF0\x9F\x93\x81", "\"\xC3\x9C \xE2\x80\xAE \xF0\x9F\x93\x81\"", true},
        {"a\xFF"
         "b\xC3",
         "\"a\xEF\xBF\xBD"
         "b\xEF\xBF\xBD\"",
         false},
        {"\xED\xA0\x80", "\"\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD\"", false}, // an encoded surrogate
    };
    for (const Case& c : cases) {
        std::string out;
        EXPECT_EQ(AppendJsonString(out, c.text), c.valid) << c.text;
        EXPECT_EQ(out, c.expected) << c.text;
    }
    std::string field;
    AppendJsonField(field, "name", "x\xFF");
    EXPECT_EQ(field, "\"name\":\"x\xEF\xBF\xBD\",\"nameHex\":\"78ff\"");
    EXPECT_EQ(BytesFromHex("78ff"), std::string("x\xFF"));
    EXPECT_EQ(BytesFromHex("7"), std::nullopt);
    EXPECT_EQ(BytesFromHex("zz"), std::nullopt);
}

TEST(JsonTextTest, TimesCarryTheirOffsetAndOutsideTheCalendarAreNull) {
    std::string out; // the tests run with TZ=UTC
    AppendJsonTime(out, 1083827289);
    AppendJsonTime(out, -62135596800 - 86400 * 3);
    AppendJsonTime(out, 253402300799);
    EXPECT_EQ(out, "\"2004-05-06T07:08:09+00:00\"null\"9999-12-31T23:59:59+00:00\"");
}

TEST(JsonTextTest, TheReaderTakesTopLevelScalarsAndRefusesBrokenLines) {
    JsonObjectReader reader;
    ASSERT_TRUE(reader.Parse(" {\"type\":\"file\", \"size\" : 12,\"ok\":true,\"none\":null,"
                             "\"nested\":{\"size\":99,\"list\":[1,{\"a\":\"b\"},[]]},"
                             "\"name\":\"a\\\"\\\\\\n\\u00fc\\ud83d\\udcc1\\ud800\"} "));
    EXPECT_EQ(reader.Get("type"), "file");
    EXPECT_EQ(reader.Get("size"), "12"); // the nested "size" is not taken
    EXPECT_EQ(reader.Get("ok"), "true");
    EXPECT_EQ(reader.Get("none"), "null");
    EXPECT_EQ(reader.Get("nested"), std::nullopt);
    EXPECT_EQ(reader.GetNested("nested"), "{\"size\":99,\"list\":[1,{\"a\":\"b\"},[]]}");
    std::vector<std::string_view> elements;
    ASSERT_TRUE(JsonObjectReader::SplitArray("[1, {\"a\":[2]} ,\"x,y\"]", elements));
    EXPECT_EQ(elements, (std::vector<std::string_view>{"1", "{\"a\":[2]}", "\"x,y\""}));
    EXPECT_FALSE(JsonObjectReader::SplitArray("[1,", elements));
    EXPECT_EQ(reader.Get("name"), "a\"\\\n\xC3\xBC\xF0\x9F\x93\x81\xEF\xBF\xBD");
    // A second line replaces the first one's members.
    ASSERT_TRUE(reader.Parse("{}"));
    EXPECT_EQ(reader.Get("type"), std::nullopt);
    for (const char* broken : {"", "[]", "{", "{\"a\":}", "{\"a\":1,}", "{\"a\":1} x", "{\"a\":\"\n\"}",
                               "{\"a\":\"\\x\"}", "{\"a\":bogus}", "{\"a\" 1}", "{\"a\":[1,2}"})
        EXPECT_FALSE(reader.Parse(broken)) << broken;
}

} // namespace
} // namespace quillary

namespace quillary {
namespace {

// Every kind of problem has a word of its own in a JSON Lines listing, so a reader can tell them apart.
TEST(JsonTextTest, EveryProblemKindHasItsOwnWord) {
    std::set<std::string> words;
    for (const ProblemKind kind :
         {ProblemKind::FolderUnreadable, ProblemKind::EntryUnreadable, ProblemKind::ChecksumUnreadable,
          ProblemKind::VersionUnreadable, ProblemKind::ListingFileFailed, ProblemKind::ListingFileSkipped,
          ProblemKind::ListingNameUnusable}) {
        const std::string word = ProblemKindWord(kind);
        EXPECT_NE(word, "problem");
        EXPECT_TRUE(words.insert(word).second) << word;
    }
}

} // namespace
} // namespace quillary

// INI files: the reading and writing rules, encodings and broken files; the UTF-8 / Windows-1252 helpers.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <optional>
#include <random>

#include "persistence/profile_file.h"
#include "platform/text_encoding.h"
#include "support/scratch_dir.h"

namespace quillary {
namespace {

namespace fs = std::filesystem;

ProfileFile Parsed(std::string_view text) {
    ProfileFile profile;
    profile.Parse(text);
    return profile;
}

TEST(TextEncodingTest, ChecksUtf8AndConvertsWindows1252) {
    for (const char* valid : {"", "plain",
                              "Gr\xC3\xB6\xC3\x9F"
                              "e",
                              "\xE2\x82\xAC", "\xF0\x9F\x98\x80"})
        EXPECT_TRUE(IsValidUtf8(valid)) << valid;
    EXPECT_TRUE(IsValidUtf8(std::string("a\0b", 3)));
    for (const char* invalid : {"\xC0\x80", "\xED\xA0\x80", "\xC3", "ab\x80", "\xF5\x80\x80\x80", "\xFF"})
        EXPECT_FALSE(IsValidUtf8(invalid)) << invalid;

    EXPECT_EQ(Cp1252ToUtf8("Gr\xF6\xDF"
                           "e \x80 \x93q\x94 \x81"),
              "Gr\xC3\xB6\xC3\x9F"
              "e \xE2\x82\xAC \xE2\x80\x9Cq\xE2\x80\x9D \xC2\x81");
    EXPECT_EQ(DecodeProgramFileText("\xEF\xBB\xBFk=\xC3\xA4"), "k=\xC3\xA4"); // BOM dropped, UTF-8 kept
    EXPECT_EQ(DecodeProgramFileText("k=\xE4"), "k=\xC3\xA4");                 // not UTF-8: Windows-1252
}

TEST(ProfileFileTest, ReadsByTheProfileRules) {
    const std::string text = "; comment=1\n"
                             "outside=no section\n"
                             "[ Settings ]\n"
                             "  Mask = *.txt  \n"
                             "mask=second copy of the key\n"
                             "quoted=\"  padded  \"\n"
                             "single='x'\n"
                             "mismatched=\"x'\n"
                             "lonequote=\"\n"
                             "no equals sign\n"
                             ";1064=commented out\n"
                             "empty=\n"
                             "a=b=c\n"
                             "[other]\n"
                             "K=v\n"
                             "[SETTINGS]\n"
                             "late=second copy of the section\n";
    struct Row {
        const char* section;
        const char* key;
        std::optional<std::string> expected;
    } rows[] = {
        {"settings", "MASK", "*.txt"},
        {" Settings ", " mask ", "*.txt"},
        {"Settings", "quoted", "  padded  "},
        {"Settings", "single", "x"},
        {"Settings", "mismatched", "\"x'"},
        {"Settings", "lonequote", "\""},
        {"Settings", "no equals sign", std::nullopt},
        {"Settings", ";1064", std::nullopt},
        {"Settings", "1064", std::nullopt},
        {"Settings", "empty", ""},
        {"Settings", "a", "b=c"},
        {"Settings", "late", std::nullopt},
        {"Other", "k", "v"},
        {"", "outside", std::nullopt},
        {"missing", "k", std::nullopt},
    };
    std::string crlf;
    for (char c : text)
        crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
    for (const std::string& variant : {text, crlf}) {
        const ProfileFile profile = Parsed(variant);
        for (const Row& row : rows)
            EXPECT_EQ(profile.Find(row.section, row.key), row.expected) << row.section << "/" << row.key;
    }
}

TEST(ProfileFileTest, CutsLongValuesAtACharacterBoundary) {
    const ProfileFile ascii = Parsed("[s]\nk=" + std::string(5000, 'a') + "\n");
    EXPECT_EQ(ascii.Get("s", "k"), std::string(ProfileFile::kMaxValueBytes, 'a'));

    // 1022 ASCII bytes, then two-byte characters: the one across the limit is left out whole.
    const ProfileFile wide = Parsed("[s]\nk=" + std::string(1022, 'a') + "\xC3\xA4\xC3\xA4\n");
    EXPECT_EQ(wide.Get("s", "k"), std::string(1022, 'a'));
}

TEST(ProfileFileTest, WritesInPlaceAndKeepsEveryOtherLine) {
    const std::string base = "; head\n[Settings]\nMASK = a\n\nOther=1\n; tail comment\n[Next]\nx=1\n";
    struct Row {
        const char* name;
        std::string before;
        const char* section;
        const char* key;
        const char* value;
        std::string after;
    } rows[] = {
        {"update keeps the key's spelling", base, "settings", "mask", "b",
         "; head\n[Settings]\nMASK=b\n\nOther=1\n; tail comment\n[Next]\nx=1\n"},
        {"new key after the section's last key", base, "Settings", "New", "v",
         "; head\n[Settings]\nMASK = a\n\nOther=1\nNew=v\n; tail comment\n[Next]\nx=1\n"},
        {"new section at the end", base, "Fresh", "k", "v", base + "\n[Fresh]\nk=v\n"},
        {"section without keys", "[A]\n[B]\nk=1\n", "a", "k", "v", "[A]\nk=v\n[B]\nk=1\n"},
        {"first copy of a repeated section", "[A]\nk=1\n[A]\nk=2\n", "A", "k", "3", "[A]\nk=3\n[A]\nk=2\n"},
        {"first of two equal keys", "[A]\nk=1\nK=2\n", "A", "k", "3", "[A]\nk=3\nK=2\n"},
        {"empty file", "", "Settings", "1064", "", "[Settings]\n1064=\n"},
        {"CR LF file is written with LF", "[A]\r\nk=1\r\n", "A", "k", "2", "[A]\nk=2\n"},
        {"last line without a line end", "[A]\nk=1", "A", "j", "2", "[A]\nk=1\nj=2\n"},
    };
    for (const Row& row : rows) {
        ProfileFile profile = Parsed(row.before);
        profile.Set(row.section, row.key, row.value);
        EXPECT_EQ(profile.Text(), row.after) << row.name;
    }
}

TEST(ProfileFileTest, ValuesReadBackAsTheyWereWritten) {
    for (const char* value :
         {" ", "\t", " leading", "trailing ", "\"quoted\"", "'single'", "a\"", "\"", ""}) {
        ProfileFile profile;
        profile.Set("s", "k", value);
        EXPECT_EQ(Parsed(profile.Text()).Get("s", "k"), value) << "[" << value << "]";
    }
    // A line break cannot smuggle a key or section into the file.
    ProfileFile profile;
    profile.Set("s", "k", "first\n[s]\ninjected=1");
    const ProfileFile reread = Parsed(profile.Text());
    EXPECT_EQ(reread.Get("s", "k"), "first");
    EXPECT_FALSE(reread.Find("s", "injected").has_value());
}

TEST(ProfileFileTest, FilesOnDisk) {
    test::ScratchDir dir;
    const std::string path = dir.File("new.ini");

    ProfileFile profile;
    EXPECT_FALSE(profile.Load(path));
    profile.Set("Settings", "1064", "*.txt");
    ASSERT_TRUE(profile.Save(path)); // a missing file is created
    EXPECT_EQ(test::ReadTextFile(path), "[Settings]\n1064=*.txt\n");

    // A Windows-1252 file reads as UTF-8 and is written back in UTF-8.
    test::WriteFile(path, "[Settings]\r\n1028=Gr\xF6\xDF"
                          "e\r\n");
    ASSERT_TRUE(profile.Load(path));
    EXPECT_EQ(profile.Get("settings", "1028"), "Gr\xC3\xB6\xC3\x9F"
                                               "e");
    ASSERT_TRUE(profile.Save(path));
    EXPECT_EQ(test::ReadTextFile(path), "[Settings]\n1028=Gr\xC3\xB6\xC3\x9F"
                                        "e\n");

    EXPECT_FALSE(profile.Save(dir.File("no/such/dir/x.ini")));
    EXPECT_FALSE(profile.Save(dir.Path().string()));
}

TEST(ProfileFileTest, BrokenFilesReadSilently) {
    test::ScratchDir dir;
    ProfileFile profile;

    EXPECT_FALSE(profile.Load(dir.Path().string())); // a directory
    EXPECT_FALSE(profile.Find("Settings", "1064").has_value());

    const std::string nuls = dir.File("nuls.ini"); // "nul.ini" is the NUL device on Windows
    static constexpr char kWithNuls[] = "[Settings]\n10\0"
                                        "64=a\0b\n1028=x\n";
    test::WriteFile(nuls, std::string(kWithNuls, sizeof kWithNuls - 1));
    ASSERT_TRUE(profile.Load(nuls));
    EXPECT_EQ(profile.Get("Settings", "1028"), "x");

    const std::string huge = dir.File("huge.ini");
    test::WriteFile(huge, "[Settings]\n1064=" + std::string(10 << 20, 'x') + "\n1028=after\n");
    ASSERT_TRUE(profile.Load(huge));
    EXPECT_EQ(profile.Get("Settings", "1064").size(), ProfileFile::kMaxValueBytes);
    EXPECT_EQ(profile.Get("Settings", "1028"), "after");

    std::mt19937 random(7);
    std::string garbage(1 << 16, '\0');
    for (char& c : garbage)
        c = static_cast<char>(random());
    const std::string noise = dir.File("noise.ini");
    test::WriteFile(noise, garbage);
    EXPECT_TRUE(profile.Load(noise));
    profile.Get("Settings", "1064");
    profile.Set("Settings", "1064", "*.*");
    EXPECT_EQ(Parsed(profile.Text()).Get("Settings", "1064"), "*.*");
}

} // namespace
} // namespace quillary

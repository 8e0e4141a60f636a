// Fixed-width text rows.
#include <gtest/gtest.h>

#include "support/writer_fixture.h"
#include "writers/text_writer.h"

namespace quillary {
namespace {

using TextWriterTest = test::WriterFixture<TextWriter>;

TEST_F(TextWriterTest, HeaderIsOneLineAndAnEmptyOne) {
    EXPECT_EQ(Header(), "# Generated on 2004-05-06 07:08:09 by Quillary v0.7\n");
    EXPECT_EQ(Footer(), "");
}

TEST_F(TextWriterTest, DirectoryLineIsFramedOnlyWhenFilesAreListed) {
    DirectoryRow row;
    row[Column::Name] = "/data/";
    row[Column::Count] = "2";
    row.Width(Column::Name) = 12;
    row[Column::Size] = "1 234";
    row.Width(Column::Size) = 7;
    row[Column::Date] = "2004-05-01";
    const std::string line = "/data/ (2)     1 234 2004-05-01";
    const std::string rule(line.size(), '-');
    EXPECT_EQ(Dir(row), rule + "\n" + line + "\n" + rule);
    context.filesListed = false;
    EXPECT_EQ(Dir(row), "/data/ (2)     1 234 2004-05-01");
}

TEST_F(TextWriterTest, NamesAreCutButNumbersNever) {
    context.filesListed = false;
    DirectoryRow row;
    row[Column::Name] = "/a/very/long/path/";
    row[Column::Count] = "12";
    row.Width(Column::Name) = 20;
    row[Column::Size] = "123456789";
    row.Width(Column::Size) = 4;
    // The path gives way to its count; a size wider than its column makes the row longer.
    EXPECT_EQ(Dir(row), "/a/very/long/pa (12) 123456789");
    row[Column::Size] = "5 242 880.02 KB";
    row.Width(Column::Size) = 14;
    EXPECT_EQ(Dir(row), "/a/very/long/pa (12) 5 242 880.02 KB");
    row[Column::Count] = "4 294 967 295 000";
    EXPECT_EQ(Dir(row), " (4 294 967 295 000) 5 242 880.02 KB");

    FileRow file;
    file[Column::Number] = "1 000 000. ";
    file[Column::Name] = "a-long-file-name";
    file.Width(Column::Name) = 14;
    file[Column::Size] = "1 181 116 006 400";
    file.Width(Column::Size) = 14;
    EXPECT_EQ(File(file), "1 000 000. a-l 1 181 116 006 400");
    file[Column::Version] = "1.2.3.4567";
    file.Width(Column::Version) = 5;
    EXPECT_EQ(File(file), "1 000 000. a-l 1 181 116 006 400 1.2.3"); // a version is text: cut
}

TEST_F(TextWriterTest, ColumnsAlignByDisplayWidth) {
    FileRow row;
    row.Width(Column::Name) = 12;
    row[Column::Size] = "1";
    row.Width(Column::Size) = 3;
    row[Column::Name] = "日本語.txt";
    EXPECT_EQ(File(row), "日本語.txt     1");
    row[Column::Name] = "Cafe\xCC\x81.txt";
    EXPECT_EQ(File(row), "Cafe\xCC\x81.txt       1");
    row[Column::Name] = "日本語日本語日本語";
    EXPECT_EQ(File(row), "日本語日本語   1"); // cut by columns, never inside a character
    row[Column::Name] = "ab日本語日本語日本語";
    row.Width(Column::Name) = 5;
    EXPECT_EQ(File(row), "ab日    1"); // a wide character that does not fit leaves a space
}

// Runs of plain ASCII are taken whole: what follows them, where the cut falls, is still read one
// character at a time.
TEST_F(TextWriterTest, ACutAfterPlainTextKeepsCombiningMarksAndNeutralisesControls) {
    const struct {
        const char* text;
        unsigned width;
        const char* shown;
    } rows[] = {
        {"Cafe\xCC\x81x", 4, "Cafe\xCC\x81"}, // the accent takes no column: it stays with its letter
        {"abc\x01"
         "def",
         5, "abc?d"},
        {"abc\x1B", 3, "abc"},
        {"ab", 4, "ab  "},
        {"", 2, "  "},
        {"abcd\xE6\x97\xA5", 5, "abcd "},
    };
    for (const auto& row : rows) {
        std::string out;
        AppendLeftAligned(out, row.text, row.width);
        EXPECT_EQ(out, row.shown) << row.text;
    }
}

TEST_F(TextWriterTest, ControlCharactersInNamesAndTextsAreShownAsQuestionMarks) {
    FileRow row;
    row[Column::Name] = "evil\xE2\x80\xAEtxt.exe\x1B[2J";
    row.Width(Column::Name) = 18;
    EXPECT_EQ(File(row), "evil?txt.exe?[2J  ");
    messages.Set(MSG_GENERATED_ON, "Made\x1B]0;x\x07 on");
    EXPECT_EQ(Header(), "# Made?]0;x? on 2004-05-06 07:08:09 by Quillary v0.7\n");
}

TEST_F(TextWriterTest, FileRowColumns) {
    FileRow row;
    row[Column::Number] = "1. ";
    row[Column::Name] = "report";
    row[Column::Extension] = "doc";
    row.Width(Column::Name) = 16;
    row[Column::Size] = "1200000";
    row.Width(Column::Size) = 9;
    row[Column::Date] = "2004-04-30";
    row[Column::Time] = "10:00";
    row[Column::Version] = "1.2.3.4";
    row.Width(Column::Version) = 9;
    row[Column::Crc32] = "cbf43926";
    row[Column::Attributes] = "r----";
    EXPECT_EQ(File(row), "1. report.doc      1200000 2004-04-30 10:00   1.2.3.4 cbf43926 r----");
}

TEST_F(TextWriterTest, SubdirectoryEntryAndNameOnlyRow) {
    FileRow dir;
    dir[Column::Name] = "Old";
    dir.isDirectory = true;
    dir.Width(Column::Name) = 8;
    dir[Column::Size] = "<DIR>";
    dir.Width(Column::Size) = 6;
    EXPECT_EQ(File(dir), "<Old>     <DIR>");
    FileRow plain;
    plain[Column::Name] = "x";
    plain.Width(Column::Name) = 4;
    EXPECT_EQ(File(plain), "x   "); // padded, trailing spaces kept
}

TEST_F(TextWriterTest, CountsCharactersAndNeutralisesControlCharacters) {
    FileRow row;
    row[Column::Name] = "Über\nname";
    row.Width(Column::Name) = 6;
    EXPECT_EQ(File(row), "Über?n");
    row[Column::Name] = "日本語";
    row.Width(Column::Name) = 5;
    EXPECT_EQ(File(row), "日本 "); // two columns each
    row[Column::Name] = "\xFF\xFE";
    row.Width(Column::Name) = 3;
    EXPECT_EQ(File(row), "\xFF\xFE ");
}

} // namespace
} // namespace quillary

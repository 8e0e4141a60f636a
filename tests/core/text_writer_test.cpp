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
    row.path = "/data/";
    row.count = "2";
    row.pathWidth = 12;
    row.size = "1 234";
    row.sizeWidth = 7;
    row.date = "2004-05-01";
    const std::string line = "/data/ (2)     1 234 2004-05-01";
    const std::string rule(line.size(), '-');
    EXPECT_EQ(Dir(row), rule + "\n" + line + "\n" + rule);
    context.filesListed = false;
    EXPECT_EQ(Dir(row), "/data/ (2)     1 234 2004-05-01");
}

TEST_F(TextWriterTest, NamesAreCutButNumbersNever) {
    context.filesListed = false;
    DirectoryRow row;
    row.path = "/a/very/long/path/";
    row.count = "12";
    row.pathWidth = 20;
    row.size = "123456789";
    row.sizeWidth = 4;
    // The path gives way to its count; a size wider than its column makes the row longer.
    EXPECT_EQ(Dir(row), "/a/very/long/pa (12) 123456789");
    row.size = "5 242 880.02 KB";
    row.sizeWidth = 14;
    EXPECT_EQ(Dir(row), "/a/very/long/pa (12) 5 242 880.02 KB");
    row.count = "4 294 967 295 000";
    EXPECT_EQ(Dir(row), " (4 294 967 295 000) 5 242 880.02 KB");

    FileRow file;
    file.number = "1 000 000. ";
    file.name = "a-long-file-name";
    file.nameWidth = 14;
    file.size = "1 181 116 006 400";
    file.sizeWidth = 14;
    EXPECT_EQ(File(file), "1 000 000. a-l 1 181 116 006 400");
    file.version = "1.2.3.4567";
    file.versionWidth = 5;
    EXPECT_EQ(File(file), "1 000 000. a-l 1 181 116 006 400 1.2.3"); // a version is text: cut
}

TEST_F(TextWriterTest, ColumnsAlignByDisplayWidth) {
    FileRow row;
    row.nameWidth = 12;
    row.size = "1";
    row.sizeWidth = 3;
    row.name = "日本語.txt";
    EXPECT_EQ(File(row), "日本語.txt     1");
    row.name = "Cafe\xCC\x81.txt";
    EXPECT_EQ(File(row), "Cafe\xCC\x81.txt       1");
    row.name = "日本語日本語日本語";
    EXPECT_EQ(File(row), "日本語日本語   1"); // cut by columns, never inside a character
    row.name = "ab日本語日本語日本語";
    row.nameWidth = 5;
    EXPECT_EQ(File(row), "ab日    1"); // a wide character that does not fit leaves a space
}

TEST_F(TextWriterTest, ControlCharactersInNamesAndTextsAreShownAsQuestionMarks) {
    FileRow row;
    row.name = "evil\xE2\x80\xAEtxt.exe\x1B[2J";
    row.nameWidth = 18;
    EXPECT_EQ(File(row), "evil?txt.exe?[2J  ");
    messages.Set(MSG_GENERATED_ON, "Made\x1B]0;x\x07 on");
    EXPECT_EQ(Header(), "# Made?]0;x? on 2004-05-06 07:08:09 by Quillary v0.7\n");
}

TEST_F(TextWriterTest, FileRowColumns) {
    FileRow row;
    row.number = "1. ";
    row.name = "report";
    row.extension = "doc";
    row.nameWidth = 16;
    row.size = "1200000";
    row.sizeWidth = 9;
    row.date = "2004-04-30";
    row.time = "10:00";
    row.version = "1.2.3.4";
    row.versionWidth = 9;
    row.crc = "cbf43926";
    row.attributes = "r----";
    EXPECT_EQ(File(row), "1. report.doc      1200000 2004-04-30 10:00   1.2.3.4 cbf43926 r----");
}

TEST_F(TextWriterTest, SubdirectoryEntryAndNameOnlyRow) {
    FileRow dir;
    dir.name = "Old";
    dir.isDirectory = true;
    dir.nameWidth = 8;
    dir.size = "<DIR>";
    dir.sizeWidth = 6;
    EXPECT_EQ(File(dir), "<Old>     <DIR>");
    FileRow plain;
    plain.name = "x";
    plain.nameWidth = 4;
    EXPECT_EQ(File(plain), "x   "); // padded, trailing spaces kept
}

TEST_F(TextWriterTest, CountsCharactersAndNeutralisesControlCharacters) {
    FileRow row;
    row.name = "Über\nname";
    row.nameWidth = 6;
    EXPECT_EQ(File(row), "Über?n");
    row.name = "日本語";
    row.nameWidth = 5;
    EXPECT_EQ(File(row), "日本 "); // two columns each
    row.name = "\xFF\xFE";
    row.nameWidth = 3;
    EXPECT_EQ(File(row), "\xFF\xFE ");
}

} // namespace
} // namespace quillary

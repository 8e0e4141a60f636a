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

TEST_F(TextWriterTest, LongLabelsAreCutAndSizesLoseTheirEnd) {
    context.filesListed = false;
    DirectoryRow row;
    row.path = "/a/very/long/path/";
    row.count = "12";
    row.pathWidth = 20;
    row.size = "123456789";
    row.sizeWidth = 4;
    EXPECT_EQ(Dir(row), "/a/very/long/path/ ( 1234");
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
    row.nameWidth = 2;
    EXPECT_EQ(File(row), "日本");
    row.name = "\xFF\xFE";
    row.nameWidth = 3;
    EXPECT_EQ(File(row), "\xFF\xFE ");
}

} // namespace
} // namespace quillary

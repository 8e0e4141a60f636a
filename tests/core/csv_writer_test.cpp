// CSV lines: active columns, separators and quoting.
#include <gtest/gtest.h>

#include "support/writer_fixture.h"
#include "writers/csv_writer.h"

namespace quillary {
namespace {

using CsvWriterTest = test::WriterFixture<CsvWriter>;

TEST_F(CsvWriterTest, ColumnNamesOfTheActiveColumns) {
    EXPECT_EQ(Header(), "NAME");
    columns = ColumnSet{true, true, true, true, true, true, true, true, true, true, true};
    EXPECT_EQ(Header(), "NUMBER;PATH;NAME;COUNT;EXT;SIZE;DATE;TIME;VERSION;CRC32;ATTR");
    columns = ColumnSet{};
    columns.size = columns.attr = true;
    options.m_strCsvSeparator = ",";
    EXPECT_EQ(Header(), "NAME,SIZE,ATTR");
    options.m_bCsvColumnNames = false;
    EXPECT_EQ(Header(), "");
}

TEST_F(CsvWriterTest, QuotingAndSeparators) {
    struct Case {
        const char* value;
        const char* separator;
        const char* expected;
    };
    const Case cases[] = {
        {"plain name", ";", "plain name"},
        {"1,234,567", ",", "\"1,234,567\""},
        {"1,234,567", ";", "1,234,567"},
        {"semi;colon", ";", "\"semi;colon\""},
        {"say \"hi\"", ";", "\"say \"\"hi\"\"\""}, // a quote alone forces quoting
        {"two\nlines", ";", "\"two\nlines\""},
        {"cr\r", ";", "\"cr\r\""},
        {"a\xC2\xA7"
         "b",
         "\xC2\xA7",
         "\"a\xC2\xA7"
         "b\""},
        {"", ";", ""},
    };
    for (const Case& c : cases) {
        std::string out;
        AppendCsvValue(out, c.value, c.separator);
        EXPECT_EQ(out, c.expected) << c.value;
    }

    // Only the first character of the option separates; a missing or unusable one falls back to ";".
    EXPECT_EQ(CsvSeparator(","), ",");
    EXPECT_EQ(CsvSeparator("\t"), "\t");
    EXPECT_EQ(CsvSeparator("ab"), "a");
    EXPECT_EQ(CsvSeparator("\xC2\xA7x"), "\xC2\xA7");
    EXPECT_EQ(CsvSeparator(""), ";");
    EXPECT_EQ(CsvSeparator("\""), ";");
}

TEST_F(CsvWriterTest, DirectoryLines) {
    columns = ColumnSet{true, true, true, true, true, true, true, false, true, true, true};
    options.m_strCsvSeparator = ",";
    DirectoryRow row;
    row.path = "/data/a,b/";
    row.count = "1,234";
    row.size = "5,678,901";
    row.date = "2004-05-01";
    row.attributes = "r----";
    // NUMBER and PATH are empty for directories, so the line starts with two separators.
    EXPECT_EQ(Dir(row), ",,\"/data/a,b/\",\"1,234\",,\"5,678,901\",2004-05-01,,,r----");

    columns = ColumnSet{};
    columns.count = true;
    options.m_strCsvSeparator = "";
    row.count = "7";
    EXPECT_EQ(Dir(row), "/data/a,b/;7");
}

TEST_F(CsvWriterTest, FileLines) {
    columns = ColumnSet{true, true, true, false, true, true, false, false, false, true, false};
    FileRow file;
    file.number = "12. ";
    file.pathPrefix = "/data/";
    file.name = "semi;colon \"q\"";
    file.extension = "csv";
    file.size = "5";
    file.crc = "cbf43926";
    EXPECT_EQ(File(file), "12. ;/data/;\"semi;colon \"\"q\"\"\";csv;5;cbf43926");

    FileRow sub;
    sub.pathPrefix = "/data/";
    sub.name = "Old";
    sub.size = "<DIR>";
    sub.crc = "        ";
    sub.isDirectory = true;
    EXPECT_EQ(File(sub), ";/data/;<Old>;;<DIR>;        ");
}

} // namespace
} // namespace quillary

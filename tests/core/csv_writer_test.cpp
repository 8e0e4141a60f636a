// CSV lines: active columns, separators and quoting.
#include <gtest/gtest.h>

#include "support/writer_fixture.h"
#include "writers/csv_writer.h"

namespace quillary {
namespace {

using CsvWriterTest = test::WriterFixture<CsvWriter>;

TEST_F(CsvWriterTest, ColumnNamesOfTheActiveColumns) {
    EXPECT_EQ(Header(), "NAME");
    columns = ColumnSet::All();
    EXPECT_EQ(Header(), "NUMBER;PATH;NAME;COUNT;EXT;SIZE;DATE;TIME;VERSION;CRC32;XXH3;SHA256;ATTR");
    columns = ColumnSet{Column::Name, Column::Size, Column::Attributes};
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

// Spreadsheets run a cell that starts with one of these as a formula; the guard makes it text, and
// quoting still applies to the guarded value.
TEST_F(CsvWriterTest, FormulaGuard) {
    const std::pair<const char*, const char*> cases[] = {
        {"=HYPERLINK(\"x\")", "\"'=HYPERLINK(\"\"x\"\")\""},
        {"+1", "'+1"},
        {"-----", "'-----"},
        {"@sum", "'@sum"},
        {"\tx", "'\tx"},
        {"\rx", "\"'\rx\""},
        {"a=b", "a=b"},
        {"", ""},
    };
    for (const auto& [value, expected] : cases) {
        std::string out;
        AppendCsvValue(out, value, ";", true);
        EXPECT_EQ(out, expected) << value;
    }
    // Off (the default), the value is written as it is; the column names are never guarded.
    FileRow file;
    file[Column::Name] = "=1+1";
    EXPECT_EQ(File(file), "=1+1");
    options.m_bCsvFormulaGuard = true;
    EXPECT_EQ(File(file), "'=1+1");
}

TEST_F(CsvWriterTest, DirectoryLines) {
    columns = ColumnSet::All();
    columns.Set(Column::Time, false);
    columns.Set(Column::Xxh3, false);
    columns.Set(Column::Sha256, false);
    options.m_strCsvSeparator = ",";
    DirectoryRow row;
    row[Column::Name] = "/data/a,b/";
    row[Column::Count] = "1,234";
    row[Column::Size] = "5,678,901";
    row[Column::Date] = "2004-05-01";
    row[Column::Attributes] = "r----";
    // NUMBER and PATH are empty for directories, so the line starts with two separators.
    EXPECT_EQ(Dir(row), ",,\"/data/a,b/\",\"1,234\",,\"5,678,901\",2004-05-01,,,r----");

    columns = ColumnSet{Column::Name, Column::Count};
    options.m_strCsvSeparator = "";
    row[Column::Count] = "7";
    EXPECT_EQ(Dir(row), "/data/a,b/;7");
}

TEST_F(CsvWriterTest, FileLines) {
    columns =
        ColumnSet{Column::Number, Column::Path, Column::Name, Column::Extension, Column::Size, Column::Crc32};
    FileRow file;
    file[Column::Number] = "12. ";
    file[Column::Path] = "/data/";
    file[Column::Name] = "semi;colon \"q\"";
    file[Column::Extension] = "csv";
    file[Column::Size] = "5";
    file[Column::Crc32] = "cbf43926";
    EXPECT_EQ(File(file), "12. ;/data/;\"semi;colon \"\"q\"\"\";csv;5;cbf43926");

    FileRow sub;
    sub[Column::Path] = "/data/";
    sub[Column::Name] = "Old";
    sub[Column::Size] = "<DIR>";
    sub[Column::Crc32] = "        ";
    sub.isDirectory = true;
    EXPECT_EQ(File(sub), ";/data/;<Old>;;<DIR>;        ");
}

} // namespace
} // namespace quillary

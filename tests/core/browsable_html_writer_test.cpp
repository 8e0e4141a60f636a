// The browsable HTML listing: strings that can stand in a script element whatever a name holds, and
// the embedded rows as JSON the page reads (checked here with the listing's own JSON reader).
#include <gtest/gtest.h>

#include "platform/path_syntax.h"
#include "support/writer_fixture.h"
#include "writers/browsable_html_writer.h"
#include "writers/json_text.h"

namespace quillary {
namespace {

TEST(ScriptJsonStringTest, NothingCanEndTheElementOrTheScript) {
    const struct {
        std::string text;
        const char* expected;
    } cases[] = {
        {"plain.txt", "\"plain.txt\""},
        {"</script><script>x()</script>",
         "\"\\u003c/script\\u003e\\u003cscript\\u003ex()\\u003c/script\\u003e\""},
        {"<!--a-->", "\"\\u003c!--a--\\u003e\""},
        {"a&b\"c\\", "\"a\\u0026b\\\"c\\\\\""},
        // Everything beyond ASCII is escaped (U+2028 and U+2029 would end a line of script), characters
        // beyond U+FFFF as two surrogates, invalid bytes as U+FFFD.
        {"l\xE2\x80\xA8p\xE2\x80\xA9", "\"l\\u2028p\\u2029\""},
        {"\xC3\x9C\xE2\x80\xAE\xE2\x82\xAC", "\"\\u00dc\\u202e\\u20ac\""},
        {"\xF0\x9F\x93\x81.txt", "\"\\ud83d\\udcc1.txt\""},
        {"caf\xE9<", "\"caf\\ufffd\\u003c\""},
        {"\xE2\x80", "\"\\ufffd\\ufffd\""},
    };
    for (const auto& c : cases) {
        std::string out = "[";
        AppendScriptJsonString(out, c.text);
        EXPECT_EQ(out, "[" + std::string(c.expected)) << c.text;
    }
}

class BrowsableHtmlWriterTest : public test::WriterFixture<BrowsableHtmlWriter> {
protected:
    BrowsableHtmlWriterTest() {
        columns = ColumnSet{Column::Name, Column::Count, Column::Extension, Column::Size, Column::Date};
    }
    // The whole listing of `dirs` and `files` through one writer, lines joined as the engine does.
    std::string Listing(const std::vector<DirectoryRow>& dirs, const std::vector<FileRow>& files) {
        BrowsableHtmlWriter writer(context);
        std::string text, line;
        writer.FormatHeader(columns, line);
        text += line + "\n";
        for (const DirectoryRow& dir : dirs) {
            line.clear();
            writer.FormatDirectoryRow(dir, line);
            text += line + "\n";
        }
        for (const FileRow& file : files) {
            line.clear();
            writer.FormatFileRow(file, line);
            text += line + "\n";
        }
        line.clear();
        writer.FormatFooter(line);
        return text + line;
    }
    // The text of the JSON script element `id`.
    static std::string Element(const std::string& html, const std::string& id) {
        const std::string start = "<script type=\"application/json\" id=\"" + id + "\">";
        const std::size_t at = html.find(start);
        if (at == std::string::npos)
            return {};
        const std::size_t from = at + start.size();
        return html.substr(from, html.find("</script>", from) - from);
    }
    static std::vector<std::string> Split(const std::string& array) {
        std::vector<std::string_view> parts;
        EXPECT_TRUE(JsonObjectReader::SplitArray(array, parts)) << array;
        return {parts.begin(), parts.end()};
    }
    static FileRow Entry(const std::string& folderLink, const std::string& name, std::uint64_t size) {
        FileRow row;
        row.linkPath = folderLink;
        row[Column::Name] = name;
        row[Column::Size] = std::to_string(size);
        row[Column::Date] = "06.05.2004";
        row.size = size;
        row.time = 1083827289;
        return row;
    }
};

TEST_F(BrowsableHtmlWriterTest, RowsAreJsonArraysThatReferToTheirFolders) {
    DirectoryRow dir;
    dir[Column::Name] = "/data/</script>/";
    dir[Column::Count] = "2";
    dir[Column::Size] = "1.2 MB";
    dir.linkPath = "/data/</script>/";
    dir.size = 1200003;
    FileRow sub = Entry("/data/</script>/", "deep", 0);
    sub.isDirectory = true;
    sub[Column::Size] = "<DIR>";
    FileRow file = Entry("/data/</script>/", "a b & <c>", 3);
    file[Column::Extension] = "txt";
    file.time.reset();
    // An entry of a folder without a folder line, as when folder lines are off.
    const std::string html = Listing({dir}, {sub, file, Entry("/other/", "x\xE2\x80\xA8y", 7)});

    // No name reaches the markup: the JSON holds no "<" at all, so nothing can end its element.
    for (const char* id : {"q-meta", "q-data", "q-folders", "q-texts"}) {
        EXPECT_FALSE(Element(html, id).empty()) << id;
        EXPECT_EQ(Element(html, id).find_first_of("<>&"), std::string::npos) << id;
    }
    EXPECT_EQ(html.find("<c>"), std::string::npos);

    const std::string meta = Element(html, "q-meta");
    EXPECT_NE(
        meta.find("\"columns\":[{\"name\":\"NAME\",\"kind\":\"text\"},{\"name\":\"EXT\",\"kind\":\"text\"},"
                  "{\"name\":\"SIZE\",\"kind\":\"size\"},{\"name\":\"DATE\",\"kind\":\"time\"}]"),
        std::string::npos)
        << meta;
    const std::vector<std::string> rows = Split(Element(html, "q-data"));
    ASSERT_EQ(rows.size(), 5u);
    EXPECT_EQ(rows[0], "[0,0,\"/data/\\u003c/script\\u003e/\",\"2\",\"1.2 MB\",\"\",\"\",\"\",1200003,null]");
    // Extensions, dates and a subfolder's size are numbers of texts.
    EXPECT_EQ(rows[1], "[2,0,\"deep\",0,1,2,0,1083827289]");
    EXPECT_EQ(rows[2], "[1,0,\"a b \\u0026 \\u003cc\\u003e\",3,\"3\",2,3,null]");
    EXPECT_EQ(rows[3], "[1,1,\"x\\u2028y\",0,\"7\",2,7,1083827289]");
    EXPECT_EQ(rows[4], "null");
    EXPECT_EQ(Element(html, "q-folders"), "[[1,\"/other/\"]]");
    EXPECT_EQ(Element(html, "q-texts"), "[\"\",\"\\u003cDIR\\u003e\",\"06.05.2004\",\"txt\"]");
    EXPECT_NE(html.find("script-src 'sha256-"), std::string::npos);
}

TEST_F(BrowsableHtmlWriterTest, FolderPathsOfEntriesFollowThePathStyle) {
    options.m_pathStyle = PathStyle::FromTopChecked;
    // Paths in the system's own syntax ("\\" in JSON on Windows).
    const auto path = [](const char* a, const char* b) {
        return std::string(a) + kPathSeparator + b + kPathSeparator;
    };
    const std::string json = kPathSeparator == '\\' ? "\\\\" : "/";
    FileRow fromLink = Entry(path("top", "a"), "f", 1); // the link path drops the leading separator
    FileRow withPath = Entry(path("top", "b"), "g", 2);
    columns.Set(Column::Path, true);
    withPath[Column::Path] = kPathSeparator + path("top", "b");
    FileRow again = Entry(path("top", "a"), "h", 3);
    const std::string html = Listing({}, {fromLink, withPath, again});
    EXPECT_EQ(Element(html, "q-folders"), "[[0,\"" + json + "top" + json + "a" + json + "\"],[1,\"" + json +
                                              "top" + json + "b" + json + "\"]]");
    const std::vector<std::string> rows = Split(Element(html, "q-data"));
    ASSERT_EQ(rows.size(), 4u);
    EXPECT_EQ(rows[2].substr(0, 5), "[1,0,");
}

} // namespace
} // namespace quillary

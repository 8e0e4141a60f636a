// HTML rows, style sheet, escaping and links.
#include <gtest/gtest.h>

#include "engine/field_format.h"
#include "support/writer_fixture.h"
#include "writers/html_writer.h"

namespace quillary {
namespace {

std::size_t CountOf(const std::string& text, const std::string& part) {
    std::size_t count = 0;
    for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1))
        ++count;
    return count;
}

// HTML rows depend on the rows before them (odd and even rows), so these calls share one writer.
class HtmlWriterTest : public test::WriterFixture<HtmlWriter> {
protected:
    std::string Header(HtmlWriter& w) {
        return Call([&](std::string& out) { w.FormatHeader(columns, out); });
    }
    std::string Dir(HtmlWriter& w, const DirectoryRow& row) {
        return Call([&](std::string& out) { w.FormatDirectoryRow(row, out); });
    }
    std::string File(HtmlWriter& w, const FileRow& row) {
        return Call([&](std::string& out) { w.FormatFileRow(row, out); });
    }
    template <typename F> static std::string Call(F format) {
        std::string out;
        format(out);
        return out;
    }
};

TEST_F(HtmlWriterTest, HeaderWithDefaultStyle) {
    HtmlWriter writer(context);
    const std::string header = Header(writer);
    EXPECT_EQ(header.rfind("<HTML>\n<HEAD>\n<META HTTP-EQUIV=\"Content-Type\" CONTENT=\"text/html; "
                           "charset=utf-8\">\n<TITLE>Quillary v0.7 listing</TITLE>\n",
                           0),
              0u);
    for (const char* line : {
             "\nBODY{background:#efefef;}\n",
             "\nA{text-decoration:none;color:#404080;}\n",
             "\n.h{background-color:#404080;color:#ffffff;text-align:center;font-size:8pt;"
             "font-family:\"MS Sans Serif\", sans-serif;font-style:normal;font-weight:normal;}\n",
             "\n.o{background-color:#e8e8ff;color:#080000;font-size:8pt;",
         })
        EXPECT_NE(header.find(line), std::string::npos) << line;
    const std::string caption =
        "<tr>\n<td colspan=7 class=\"h\">\nGenerated on 2004-05-06 07:08:09 by <A class=\"h\" "
        "HREF=\"https://quillary.example.org/\">Quillary</a> v0.7\n</td>\n</tr>\n";
    EXPECT_EQ(header.substr(header.size() - caption.size()), caption);

    std::string footer;
    writer.FormatFooter(footer);
    EXPECT_EQ(footer, "</TABLE>\n</BODY>\n</HTML>");
}

TEST_F(HtmlWriterTest, ColumnElementsHideSwitchedOffColumns) {
    HtmlWriter writer(context);
    const std::string onlyName = Header(writer);
    EXPECT_EQ(CountOf(onlyName, "<COL class=\"i\">\n"), 6u);
    EXPECT_NE(onlyName.find("<TABLE>\n<COL>\n<COL class=\"i\">"), std::string::npos);

    columns = ColumnSet::All();
    EXPECT_NE(Header(writer).find(
                  "<TABLE>\n<COL>\n<COL class=\"r\">\n<COL>\n<COL>\n<COL>\n<COL>\n<COL>\n<COL>\n<COL>\n<tr>"),
              std::string::npos);
}

TEST_F(HtmlWriterTest, ColourAndFontTexts) {
    EXPECT_EQ(HtmlColorText(0x804040), "404080");
    EXPECT_EQ(HtmlColorText(0xFF0A0B0C), "0c0b0a"); // the unused high byte is ignored

    struct Case {
        int weight;
        std::uint8_t italic, underline, strikeOut;
        const char* tail; // the text after the family
    };
    const Case cases[] = {
        {500, 0, 0, 0, "font-style:normal;font-weight:normal;"},
        {501, 0, 0, 0, "font-style:normal;font-weight:bold;"},
        {400, 1, 0, 0, "font-style:italic;font-weight:normal;"},
        {700, 0, 1, 1,
         "font-style:normal;font-weight:bold;text-decoration:line-through;text-decoration:underline;"},
    };
    for (const Case& c : cases) {
        FontSpec font;
        font.lfWeight = c.weight;
        font.lfItalic = c.italic;
        font.lfUnderline = c.underline;
        font.lfStrikeOut = c.strikeOut;
        font.pointSize = 10;
        font.lfFaceName = "Arial";
        EXPECT_EQ(HtmlFontText(font),
                  std::string("font-size:10pt;font-family:\"Arial\", sans-serif;") + c.tail)
            << c.weight;
    }

    // The generic family follows the face: from the LOGFONT family bits, else from a fixed pitch.
    const std::pair<std::uint8_t, const char*> families[] = {
        {0x00, "sans-serif"}, {0x01, "monospace"},  {0x02, "sans-serif"},
        {0x12, "serif"},      {0x22, "sans-serif"}, {0x31, "monospace"},
        {0x42, "cursive"},    {0x52, "fantasy"},    {0x60, "sans-serif"},
    };
    for (const auto& [bits, family] : families) {
        FontSpec font;
        font.lfPitchAndFamily = bits;
        EXPECT_EQ(GenericFontFamily(font), std::string(family)) << int{bits};
    }

    // A face name from a shared configuration cannot leave the CSS string or the STYLE element.
    FontSpec hostile;
    hostile.lfFaceName = "x\";}</STYLE><script>";
    const std::string text = HtmlFontText(hostile);
    EXPECT_NE(text.find("font-family:\"x\\22 ;}\\3C /STYLE\\3E \\3C script\\3E \", sans-serif;"),
              std::string::npos)
        << text;
}

TEST_F(HtmlWriterTest, CharsetIsThePlatformsUnlessItIsUnknown) {
    struct Case {
        const char* platform;
        std::uint8_t fontCharset;
        const char* expected;
    };
    const Case cases[] = {
        {"utf-8", 0, "utf-8"},   {"utf-8", 204, "utf-8"},   {"", 0, "iso-8859-1"},
        {"", 255, "iso-8859-1"}, {"", 204, "windows-1251"}, {"", 77, ""},
    };
    for (const Case& c : cases) {
        context.charsetName = c.platform;
        options.m_htmlStyle.oddFont.lfCharSet = c.fontCharset;
        options.m_htmlStyle.evenFont.lfCharSet = 128; // only the odd-row font counts
        HtmlWriter writer(context);
        const std::string meta = std::string("text/html; charset=") + c.expected + "\">\n";
        EXPECT_NE(Header(writer).find(meta), std::string::npos) << c.platform << " " << int(c.fontCharset);
    }
}

TEST_F(HtmlWriterTest, EveryDirectoryStartsWithAnOddRow) {
    HtmlWriter writer(context);
    DirectoryRow dir;
    dir[Column::Name] = "/d/";
    FileRow file;
    file[Column::Name] = "f";
    file.linkPath = "/d/";
    std::string classes;
    auto add = [&](const std::string& row) {
        classes += row.find("<td class=\"o\">") != std::string::npos ? 'o' : 'e';
    };
    Header(writer);
    add(File(writer, file));
    add(File(writer, file));
    Dir(writer, dir);
    add(File(writer, file));
    add(File(writer, file));
    add(File(writer, file));
    Dir(writer, dir);
    add(File(writer, file));
    // A per-directory file is written by the same object and carries on from here.
    add(File(writer, file));
    EXPECT_EQ(classes, "oeoeooe");
}

TEST_F(HtmlWriterTest, RowsEscapeEveryValue) {
    HtmlWriter writer(context);
    DirectoryRow dir;
    dir[Column::Name] = "/a&b/";
    dir[Column::Count] = "3";
    dir[Column::Size] = "1 234";
    dir[Column::Attributes] = "r-<>-";
    EXPECT_EQ(Dir(writer, dir),
              "<tr><td class=\"d\">/a&amp;b/ (3)</td><td class=\"d\">1 234</td><td class=\"d\">"
              "</td><td class=\"d\"></td><td class=\"d\"></td><td class=\"d\"></td>"
              "<td class=\"d\">r-&lt;&gt;-</td></tr>");

    FileRow file;
    file[Column::Number] = "1. ";
    file[Column::Name] = "a b & <c> \"q\"";
    file[Column::Extension] = "txt";
    file.linkPath = "/a&b/";
    file[Column::Size] = "3";
    file[Column::Crc32] = "cbf43926";
    EXPECT_EQ(File(writer, file),
              "<tr><td class=\"o\">1. a b &amp; &lt;c&gt; &quot;q&quot;.txt</td>"
              "<td class=\"o\">3</td><td class=\"o\"></td><td class=\"o\"></td>"
              "<td class=\"o\"></td><td class=\"o\">cbf43926</td><td class=\"o\"></td></tr>");

    // The engine hands a subdirectory's size as plain "<DIR>"; it is escaped exactly once.
    FileRow sub;
    sub[Column::Name] = "Sub";
    sub.linkPath = "/a&b/";
    sub[Column::Size] = "<DIR>";
    sub.isDirectory = true;
    EXPECT_EQ(File(writer, sub),
              "<tr><td>&lt;Sub&gt;</td><td>&lt;DIR&gt;</td><td></td><td></td><td></td><td></td>"
              "<td></td></tr>");
}

TEST_F(HtmlWriterTest, LinksArePercentEncodedAndFollowThePathStyle) {
    options.m_bHtmlLinksToDirs = true;
    options.m_bHtmlLinksToFiles = true;
    struct Case {
        PathStyle pathStyle;
        std::string directory;
        std::string name;
        std::optional<std::string> extension;
        const char* dirHref;
        const char* fileHref;
    };
    const Case cases[] = {
#ifdef _WIN32
        {PathStyle::Full, "c:\\data\\x y\\", "a b & <c>", "txt", "file:///c:/data/x%20y/",
         "file:///c:/data/x%20y/a%20b%20&amp;%20%3Cc%3E.txt"},
        {PathStyle::NoDrive, "\\Data\\", "x", "md", "/Data/", "/Data/x.md"},
        {PathStyle::FromTopChecked, "\\Data\\Sub\\", "x", "md", "Data/Sub/", "Data/Sub/x.md"},
        {PathStyle::FromTopChecked, "\\", "javascript:alert(1)", std::nullopt, "./", "javascript%3Aalert(1)"},
#else
        {PathStyle::Full, "/data/x y/", "a b & <c>", "txt", "file:///data/x%20y/",
         "file:///data/x%20y/a%20b%20&amp;%20%3Cc%3E.txt"},
        {PathStyle::Full, "/h/#1?/", "100%\"", std::nullopt, "file:///h/%231%3F/",
         "file:///h/%231%3F/100%25%22"},
        {PathStyle::Full, "/\xC3\x9C/", "back\\slash", std::nullopt, "file:///%C3%9C/",
         "file:///%C3%9C/back%5Cslash"},
        {PathStyle::FromTopChecked, "/Data/Sub/", "x", "md", "Data/Sub/", "Data/Sub/x.md"},
        {PathStyle::FromTopChecked, "/", "javascript:alert(1)", std::nullopt, "./", "javascript%3Aalert(1)"},
#endif
    };
    for (const Case& c : cases) {
        options.m_pathStyle = c.pathStyle;
        HtmlWriter writer(context);
        DirectoryRow dir;
        dir[Column::Name] = c.directory;
        dir.linkPath = LinkPathFor(c.directory, c.pathStyle);
        const std::string dirRow = Dir(writer, dir);
        EXPECT_NE(dirRow.find(std::string("<a class=\"a\" href=\"") + c.dirHref + "\">"), std::string::npos)
            << dirRow;
        FileRow file;
        file[Column::Name] = c.name;
        file[Column::Extension] = c.extension;
        file.linkPath = dir.linkPath;
        const std::string fileRow = File(writer, file);
        EXPECT_NE(fileRow.find(std::string("<td class=\"o\"><a class=\"p\" href=\"") + c.fileHref + "\">"),
                  std::string::npos)
            << fileRow;
    }
}

// Link targets of both path syntaxes, on any system.
TEST(HtmlLinkTargetTest, PathsOfEitherSystem) {
    const std::pair<const char*, const char*> windows[] = {
        {"c:\\Data\\x.txt", "file:///c:/Data/x.txt"},
        {"D:\\caf\xC3\xA9 #1\\", "file:///D:/caf%C3%A9%20%231/"},
        {"\\\\server\\share\\dir\\", "file://server/share/dir/"},
        {"\\Data\\x\\", "/Data/x/"}, // "No drive": a browser keeps the listing's drive
        {"Sub\\a:b.txt", "Sub/a%3Ab.txt"},
        {"", "./"},
    };
    for (const auto& [path, target] : windows)
        EXPECT_EQ(HtmlLinkTarget(path, kWindowsPaths), target) << path;
    EXPECT_EQ(HtmlLinkTarget("/data/c:\\x", kPosixPaths), "file:///data/c%3A%5Cx");
    EXPECT_EQ(HtmlLinkTarget("Sub/x", kPosixPaths), "Sub/x");
}

} // namespace
} // namespace quillary

// The preview's line index of text listings and the cut of big HTML listings.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "listing/listing_preview.h"
#include "platform/file_io.h"

namespace quillary {
namespace {

std::vector<std::string> AllLines(const LineIndex& index) {
    std::vector<std::string> lines;
    for (std::size_t line = 0; line < index.LineCount(); ++line)
        lines.emplace_back(index.Line(line));
    return lines;
}

TEST(LineIndex, LinesAndTheWidestLine) {
    struct Case {
        std::string text;
        std::vector<std::string> lines;
        std::size_t widest;
    };
    const Case cases[] = {
        {"", {}, 0},
        {"one\ntwo\n", {"one", "two"}, 3},
        {"one\ntwo", {"one", "two"}, 3},         // no line end after the last line
        {"a\r\nlonger\r\n", {"a", "longer"}, 6}, // CR LF line ends
        {"\n\nx", {"", "", "x"}, 1},             // empty lines
        {"\xC3\xBC\xE2\x82\xAC\xF0\x9F\x98\x80\nab\n", {"\xC3\xBC\xE2\x82\xAC\xF0\x9F\x98\x80", "ab"}, 3},
        {"\xFF\xFE\n", {"\xFF\xFE"}, 2},     // stray bytes count one each
        {"cr\rinside\n", {"cr\rinside"}, 9}, // a lone CR is text
    };
    for (const Case& c : cases) {
        const LineIndex index(c.text);
        EXPECT_EQ(AllLines(index), c.lines) << c.text;
        EXPECT_EQ(index.WidestLine(), c.widest) << c.text;
        EXPECT_EQ(index.Text(), c.text);
    }
}

TEST(LineIndex, CopiedLinesEndWithALineEndAndStopAtTheLast) {
    const LineIndex index("first\r\nsecond\nthird");
    EXPECT_EQ(index.Lines(0, 1), "first\n");
    EXPECT_EQ(index.Lines(1, 3), "second\nthird\n");
    EXPECT_EQ(index.Lines(2, 99), "third\n");
    EXPECT_EQ(index.Lines(3, 99), "");
    EXPECT_EQ(LineIndex().Lines(0, 1), "");
}

// A document laid out as the listings' HTML: head, caption row, `rows` rows, end; `eol` between lines.
std::string Listing(std::size_t rows, const std::string& eol = "\n") {
    std::string html = "<HTML>" + eol + "<HEAD><STYLE>TD{}</STYLE></HEAD>" + eol + "<BODY>" + eol +
                       "<TABLE>" + eol + "<COL>" + eol + "<tr>" + eol + "<td colspan=7 class=\"h\">" + eol +
                       "caption" + eol + "</td>" + eol + "</tr>" + eol;
    for (std::size_t row = 0; row < rows; ++row)
        html += "<tr><td>file" + std::to_string(row) + "</td></tr>" + eol;
    return html + "</TABLE>" + eol + "</BODY>" + eol + "</HTML>";
}

TEST(HtmlListingCut, KeepsTheHeadTheFirstRowsAndTheEnd) {
    struct Case {
        std::string html;
        std::size_t maxRows;
        std::string document;
        std::size_t shown;
        std::size_t total;
    };
    const std::string twoLineName = "<tr><td>one\n&lt;tr>two</td></tr>\n"; // a name with a line end
    std::string withTwoLineName = Listing(1);
    withTwoLineName.insert(withTwoLineName.find("<tr><td>file0"), twoLineName);
    std::string cutAfterTwoLineName = Listing(0);
    cutAfterTwoLineName.insert(cutAfterTwoLineName.find("</TABLE>"), twoLineName);
    const Case cases[] = {
        {Listing(3), 5, Listing(3), 3, 3}, // fewer rows than the limit: whole
        {Listing(5), 5, Listing(5), 5, 5}, // exactly the limit: whole
        {Listing(6), 5, Listing(5), 5, 6}, // one more: cut
        {Listing(1000), 10, Listing(10), 10, 1000},
        {Listing(4), 0, Listing(0), 0, 4},                 // only the caption
        {Listing(7, "\r\n"), 2, Listing(2, "\r\n"), 2, 7}, // CR LF line ends
        {withTwoLineName, 1, cutAfterTwoLineName, 1, 2},
        {"<html><body>no table</body></html>", 0, "<html><body>no table</body></html>", 0, 0},
        {"", 0, "", 0, 0},
        {"<tr>\n<tr>\n<tr>", 1, "<tr>\n<tr>\n<tr>", 2, 2}, // no row end: shown as it is
    };
    for (const Case& c : cases) {
        const HtmlPreview preview = CutHtmlListing(c.html, c.maxRows);
        EXPECT_EQ(preview.document, c.document) << c.html;
        EXPECT_EQ(preview.shownRows, c.shown) << c.html;
        EXPECT_EQ(preview.totalRows, c.total) << c.html;
        EXPECT_EQ(preview.IsCut(), c.shown < c.total) << c.html;
    }
}

TEST(HtmlListingCut, AWrittenListingKeepsItsHeadAndEnd) {
    std::string html;
    ASSERT_TRUE(ReadWholeFile(std::string(QUILLARY_TEST_DATA_DIR) + "/golden/default.html", html));
    const HtmlPreview whole = CutHtmlListing(html, 1000);
    ASSERT_FALSE(whole.IsCut());
    ASSERT_GT(whole.totalRows, 3u);
    EXPECT_EQ(whole.document, html);

    // The line ends before the caption row and each listing row; the cut keeps three rows.
    std::vector<std::size_t> rowLines;
    for (std::size_t at = html.find("\n<tr"); at != std::string::npos; at = html.find("\n<tr", at + 1))
        rowLines.push_back(at);
    ASSERT_EQ(rowLines.size(), whole.totalRows + 1);
    const HtmlPreview cut = CutHtmlListing(html, 3);
    EXPECT_EQ(cut.shownRows, 3u);
    EXPECT_EQ(cut.document, html.substr(0, rowLines[4]) + html.substr(html.rfind("</tr>") + 5));
}

TEST(FillPlaceholders, ReplacesNumberedArguments) {
    struct Case {
        const char* text;
        std::vector<std::string> arguments;
        const char* filled;
    };
    const Case cases[] = {
        {"the first %1 of %2 rows", {"5 000", "210 000"}, "the first 5 000 of 210 000 rows"},
        {"%2 before %1", {"a", "b"}, "b before a"},
        {"%1%1", {"x"}, "xx"},
        {"%3 stays, 100% too, and a final %", {"a", "b"}, "%3 stays, 100% too, and a final %"},
        {"%1 holds %2", {"%2", "y"}, "%2 holds y"}, // an argument is not filled again
    };
    for (const Case& c : cases)
        EXPECT_EQ(FillPlaceholders(c.text, c.arguments), c.filled) << c.text;
}

} // namespace
} // namespace quillary

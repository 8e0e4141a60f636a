// HTML and CSV listings of the fixture tree, compared with expected files. Default options go through
// quillary-cli; options the command line cannot set (links, path styles, CSV separator and column names,
// per-folder listings) go through the listing engine the program runs.
#include <cstdio>

#include "engine/listing_engine.h"
#include "fixture_tree.h"
#include "support/environment.h"

namespace quillary::test {
namespace {

class HtmlCsvListingTest : public ::testing::Test {
protected:
    void SetUp() override { SetEnvironment("TZ", "UTC"); }

    std::string ListWithCli(const std::string& outName) {
        const fs::path out = output.Path() / outName;
        const CliResult result = RunCli({"--output", out.string(), "Data"}, tree.Root());
        EXPECT_EQ(result.exitCode, 0) << result.err;
        return tree.Normalise(ReadFile(out));
    }

    std::string ListWithEngine(const ListingOptions& options, const std::string& outName) {
        const fs::path out = output.Path() / outName;
        RunTarget target;
        target.options = options;
        target.checkedDirs = {"3|" + tree.Data().string()};
        target.outputPath = out.string();
        target.headerTime = kFixtureTime;
        ListingEngine engine;
        engine.SetRunTarget(std::move(target));
        EXPECT_EQ(engine.Run().status, RunStatus::Written);
        return tree.Normalise(ReadFile(out));
    }

    static ListingOptions Html(bool links, PathStyle pathStyle) {
        ListingOptions options;
        options.m_outputType = OutputType::Html;
        options.m_bHtmlLinksToDirs = options.m_bHtmlLinksToFiles = links;
        options.m_pathStyle = pathStyle;
        return options;
    }

    FixtureTree tree;
    ScratchDir output;
};

TEST_F(HtmlCsvListingTest, HtmlListings) {
    ExpectGolden("default.html", ListWithCli("out.html"));
    ExpectGolden("links_full_paths.html", ListWithEngine(Html(true, PathStyle::Full), "links.html"));
    ExpectGolden("links_from_top.html", ListWithEngine(Html(true, PathStyle::FromTopChecked), "top.html"));
}

TEST_F(HtmlCsvListingTest, PerFolderHtmlFilesHoldOnlyRows) {
    ListingOptions options = Html(true, PathStyle::FromTopChecked);
    options.m_bListingInEachDir = true;
    const std::string main = ListWithEngine(options, "main.html");
    ASSERT_NE(main.find("<HTML>"), std::string::npos);
    ExpectGolden("per_folder_sub.html", tree.Normalise(ReadFile(tree.Data() / "Sub" / "_thisdir.html")));
}

TEST_F(HtmlCsvListingTest, CsvListings) {
    ExpectGolden("default.csv", ListWithCli("out.csv"));

    ListingOptions options;
    options.m_outputType = OutputType::Csv;
    options.m_bCsvColumnNames = false;
    options.m_strCsvSeparator = ",";
    options.m_bFileNumber = options.m_bFilePath = options.m_bFileCrc32 = true;
    options.m_nThousandSeparator = 2;
    ExpectGolden("all_columns_comma.csv", ListWithEngine(options, "all.csv"));
}

// Reads a listing back with Python's csv module and prints each record as its field count and fields
// joined by "|".
std::string ParseWithPython(const fs::path& csvFile, const std::string& separator) {
    const std::string script = "import csv, sys\n"
                               "with open(sys.argv[1], newline=\"\", encoding=\"utf-8\") as f:\n"
                               "    for r in csv.reader(f, delimiter=sys.argv[2]):\n"
                               "        print(len(r), \"|\".join(r))";
    const ProgramResult result = RunProgram(
        "/usr/bin/env", {"python3", "-c", script, csvFile.string(), separator}, fs::current_path());
    return result.exitCode == 0 ? result.out : "python3 failed";
}

// The byte-order mark starts the listing and every per-folder listing once, also without a line of
// column names (no empty first line); off, the file starts with its first line as before.
TEST_F(HtmlCsvListingTest, TheByteOrderMarkStartsEveryCsvFile) {
    const std::string mark = "\xEF\xBB\xBF";
    ListingOptions options;
    options.m_outputType = OutputType::Csv;
    options.m_bCsvColumnNames = false;
    options.m_bListingInEachDir = true;
    options.m_bCsvByteOrderMark = true;
    const std::string listing = ListWithEngine(options, "marked.csv");
    const std::string dataRow = std::string("<ROOT>") + kSeparator + "Data" + kSeparator + ";";
    EXPECT_EQ(listing.rfind(mark + dataRow, 0), 0u) << listing;
    EXPECT_EQ(Count(listing, mark), 1u);
    for (const fs::path& folder : {tree.Data(), tree.Data() / "Sub" / "deep"}) {
        const std::string own = ReadFile(folder / "_thisdir.csv");
        EXPECT_EQ(own.rfind(mark, 0), 0u) << folder;
        EXPECT_EQ(Count(own, mark), 1u) << folder;
        EXPECT_NE(own.substr(3, 1), "\n") << folder;
    }
    options.m_bCsvByteOrderMark = false;
    options.m_bListingInEachDir = false;
    EXPECT_EQ(ListWithEngine(options, "plain.csv").rfind(dataRow, 0), 0u);
}

TEST_F(HtmlCsvListingTest, PythonReadsTheColumnsBack) {
    if (kOnWindows)
        GTEST_SKIP() << "Python is a Linux program here; the same CSV writer is read back on Linux";
    if (RunProgram("/usr/bin/env", {"python3", "-c", ""}, fs::current_path()).exitCode != 0)
        GTEST_SKIP() << "python3 is not installed";
    ListingOptions options;
    options.m_outputType = OutputType::Csv;
    options.m_bFilePath = true;
    for (const char* separator : {";", ","}) {
        options.m_strCsvSeparator = separator;
        options.m_nThousandSeparator = 2; // "," groups the digits, so sizes contain a comma
        ListWithEngine(options, "check.csv");
        const std::string records = tree.Normalise(ParseWithPython(output.Path() / "check.csv", separator));
        const std::string dataDir = "<ROOT>/Data/";
        for (const std::string& expected : {
                 std::string("8 PATH|NAME|COUNT|EXT|SIZE|DATE|TIME|ATTR\n"),
                 "8 |" + dataDir + "|8||2,288,280|2004-04-23|07:08|-----\n",
                 "8 " + dataDir + "|semi;colon \"q\"||csv|5|2004-05-01|07:08|-----\n",
                 "8 " + dataDir + "|a b & <c>||txt|3|2004-05-02|07:08|-----\n",
                 "8 " + dataDir + "|<Old>|||<DIR>|2004-04-24|07:08|-----\n",
                 "8 " + dataDir + "|report||doc|1,200,000|2004-05-06|07:08|-----\n",
             })
            EXPECT_NE(records.find(expected), std::string::npos) << separator << " " << expected << records;
        // Every record has the header's eight fields.
        std::istringstream lines(records);
        for (std::string line; std::getline(lines, line);)
            EXPECT_EQ(line.rfind("8 ", 0), 0u) << line;
    }
}

} // namespace
} // namespace quillary::test
